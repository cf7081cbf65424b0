#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "child_process.h"
#include "fakeclock_log.h"
#include "kernel.h"
#include "system_time_calc.h"
#include "temp_dir.h"

namespace {

long long Milliseconds(const SYSTEMTIME& t) {
    const timespec ts = system_time_calc::SystemTimeToTimespec(t);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

long long NowMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

constexpr long long kClockUnmovedToleranceNs = 60LL * 1000000000LL;

TEST(GetSystemTimeTest, ReadsTheRealClockInUtc) {
    const long long before = NowMilliseconds();
    SYSTEMTIME now{};
    GetSystemTime(&now);
    const long long after = NowMilliseconds();
    ASSERT_TRUE(system_time_calc::IsValidSystemTime(now));
    EXPECT_LE(before, Milliseconds(now));
    EXPECT_LE(Milliseconds(now), after);

    const time_t seconds = static_cast<time_t>(Milliseconds(now) / 1000);
    tm utc{};
    gmtime_r(&seconds, &utc);
    EXPECT_EQ(now.wDayOfWeek, utc.tm_wday);
}

class LocalZoneTest : public testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) {
            savedTz_ = tz;
            hadTz_ = true;
        }
    }
    void TearDown() override {
        if (hadTz_) {
            setenv("TZ", savedTz_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    void UseZone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }

private:
    std::string savedTz_;
    bool hadTz_ = false;
};

TEST_F(LocalZoneTest, GetLocalTimeFollowsTheLocalTimeZone) {
    struct Case {
        const char* tz;
        long long offsetMs;
    };
    // POSIX zone strings give the offset west of Greenwich, so "-05:30" is ahead of UTC.
    const Case cases[] = {{"UTC0", 0},
                          {"IST-05:30", 5 * 3600000LL + 30 * 60000LL},
                          {"NST+03:30", -(3 * 3600000LL + 30 * 60000LL)},
                          {"LINT-14", 14 * 3600000LL}};
    for (const Case& c : cases) {
        UseZone(c.tz);
        SYSTEMTIME before{};
        SYSTEMTIME local{};
        SYSTEMTIME after{};
        GetSystemTime(&before);
        GetLocalTime(&local);
        GetSystemTime(&after);
        ASSERT_TRUE(system_time_calc::IsValidSystemTime(local)) << c.tz;
        EXPECT_LE(Milliseconds(before) + c.offsetMs, Milliseconds(local)) << c.tz;
        EXPECT_LE(Milliseconds(local), Milliseconds(after) + c.offsetMs) << c.tz;
        // The day of week is that of the local date.
        const SYSTEMTIME recomputed =
            system_time_calc::TimespecToSystemTime(system_time_calc::SystemTimeToTimespec(local));
        EXPECT_EQ(local.wDayOfWeek, recomputed.wDayOfWeek) << c.tz;
    }
}

TEST(GetCurrentProcessIdTest, IsThisProcess) {
    EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
}

std::string AccountName(uid_t uid) {
    const passwd* entry = getpwuid(uid);
    return entry != nullptr ? entry->pw_name : std::to_string(uid);
}

TEST(GetUserNameTest, BufferSizesBehaveAsOnWindows) {
    const std::string name = AccountName(geteuid());
    const DWORD needed = static_cast<DWORD>(name.size() + 1);
    struct Case {
        DWORD size;
        bool fits;
    };
    const Case cases[] = {{0, false}, {needed - 1, false}, {needed, true}, {needed + 20, true}};
    for (const Case& c : cases) {
        std::vector<char> buffer(needed + 32, '#');
        DWORD size = c.size;
        SetLastError(0);
        const BOOL ok = GetUserNameA(buffer.data(), &size);
        EXPECT_EQ(size, needed) << c.size;
        if (c.fits) {
            EXPECT_TRUE(ok) << c.size;
            EXPECT_EQ(std::string(buffer.data()), name);
            EXPECT_EQ(buffer[needed], '#') << "wrote past the name";
        } else {
            EXPECT_FALSE(ok) << c.size;
            EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER) << c.size;
            EXPECT_EQ(buffer, std::vector<char>(needed + 32, '#')) << "buffer altered";
        }
    }
}

TEST(GetUserNameTest, NamesTheEffectiveUser) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to change the effective user";
    }
    struct Case {
        uid_t uid;
        std::string expected;
    };
    // 4294000 has no account here: its number stands in for the name.
    const Case cases[] = {{65534, AccountName(65534)}, {4294000, "4294000"}};
    for (const Case& c : cases) {
        ASSERT_EQ(seteuid(c.uid), 0);
        char buffer[64] = {};
        DWORD size = sizeof buffer;
        const BOOL ok = GetUserNameA(buffer, &size);
        ASSERT_EQ(seteuid(0), 0);
        EXPECT_TRUE(ok);
        EXPECT_EQ(std::string(buffer), c.expected);
        EXPECT_EQ(size, c.expected.size() + 1);
    }
}

TEST(SetSystemTimeTest, RefusesABadRecordWithInvalidParameter) {
    const SYSTEMTIME bad[] = {
        {2023, 2, 0, 29, 0, 0, 0, 0},
        {1600, 12, 0, 31, 0, 0, 0, 0},
        {2024, 1, 0, 1, 24, 0, 0, 0},
        {0x4947, 0x4556, 0x5A20, 0x4945, 0x0054, 0, 0, 0},  // "GIVE ZEIT" read as a record
    };
    for (const SYSTEMTIME& t : bad) {
        SetLastError(0);
        EXPECT_FALSE(SetSystemTime(&t));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    SetLastError(0);
    EXPECT_FALSE(SetSystemTime(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(SetSystemTimeTest, WithoutTheRightToSetTheClockFailsWithPrivilegeNotHeld) {
    // The time it asks for is the current one, so even a clock that let it through would not
    // move noticeably.
    SYSTEMTIME now{};
    GetSystemTime(&now);
    SetLastError(0);
    EXPECT_FALSE(SetSystemTime(&now));
    EXPECT_EQ(GetLastError(), ERROR_PRIVILEGE_NOT_HELD);
}

class SetSystemTimeWithFakeClockTest : public testing::Test {
protected:
    std::string Run(const std::vector<std::string>& fields) {
        std::vector<std::string> argv{SET_SYSTEM_TIME_PROBE};
        argv.insert(argv.end(), fields.begin(), fields.end());
        const test_support::ChildResult result = test_support::RunChild(
            argv, fakeclock::PreloadEnvironment(FAKECLOCK_LIBRARY, LogPath()));
        EXPECT_TRUE(result.exited && result.exitCode == 0) << result.err;
        return result.out;
    }
    std::string LogPath() const { return (dir_.Path() / "clock.log").string(); }

    test_support::TemporaryDirectory dir_;
};

TEST_F(SetSystemTimeWithFakeClockTest, StepsTheRealTimeClockToTheRecordExactly) {
    const long long offsetBefore = fakeclock::RealClockOffsetNanoseconds();
    EXPECT_EQ(Run({"2031", "5", "0", "8", "7", "8", "9", "123"}), "TRUE\n");
    EXPECT_EQ(Run({"2024", "2", "6", "29", "23", "59", "59", "999"}), "TRUE\n");

    const std::vector<fakeclock::Attempt> log = fakeclock::ReadLog(LogPath());
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].call, "clock_settime");
    EXPECT_EQ(log[0].target.tv_sec, 1935990489);
    EXPECT_EQ(log[0].target.tv_nsec, 123000000);
    EXPECT_EQ(log[1].target.tv_sec, 1709251199);
    EXPECT_EQ(log[1].target.tv_nsec, 999000000);
    EXPECT_NEAR(fakeclock::RealClockOffsetNanoseconds(), offsetBefore, kClockUnmovedToleranceNs);
}

TEST_F(SetSystemTimeWithFakeClockTest, BadRecordsAndTimesTheKernelCannotHoldNeverReachTheClock) {
    struct Case {
        std::vector<std::string> fields;
        const char* expected;
    };
    const Case cases[] = {
        {{"2023", "2", "0", "29", "0", "0", "0", "0"}, "FALSE 87\n"},
        {{"2024", "13", "0", "1", "0", "0", "0", "0"}, "FALSE 87\n"},
        {{"2024", "1", "0", "1", "0", "0", "0", "1000"}, "FALSE 87\n"},
        // Valid records outside what the kernel's clock can be set to.
        {{"1601", "1", "1", "1", "0", "0", "0", "0"}, "FALSE 87\n"},
        {{"30827", "12", "5", "31", "23", "59", "59", "999"}, "FALSE 87\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.fields), c.expected) << c.fields[0] << "-" << c.fields[1];
    }
    EXPECT_TRUE(fakeclock::ReadLog(LogPath()).empty());
}

}  // namespace
