#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "child_process.h"
#include "fakeclock_log.h"
#include "temp_dir.h"

namespace {

long long Nanoseconds(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long long NowNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

// A moved clock would show a jump of years; a slewing time daemon moves it by milliseconds.
constexpr long long kClockUnmovedToleranceNs = 60LL * 1000000000LL;

class FakeClockTest : public testing::Test {
protected:
    std::string LogPath() const { return (dir_.Path() / "clock.log").string(); }

    // Runs the probe with the library preloaded and returns what it printed ("<rc> <errno>").
    std::string Probe(const std::vector<std::string>& args,
                      std::vector<std::string> environment = {}) {
        if (environment.empty()) {
            environment = fakeclock::PreloadEnvironment(FAKECLOCK_LIBRARY, LogPath());
        }
        std::vector<std::string> argv{FAKECLOCK_PROBE};
        argv.insert(argv.end(), args.begin(), args.end());
        lastRun_ = test_support::RunChild(argv, environment);
        EXPECT_TRUE(lastRun_.exited && lastRun_.exitCode == 0) << lastRun_.err;
        return lastRun_.out;
    }

    test_support::TemporaryDirectory dir_;
    test_support::ChildResult lastRun_;
};

TEST_F(FakeClockTest, RecordsTheRequestedRealTimeExactlyAndLeavesTheClockAlone) {
    const long long offsetBefore = fakeclock::RealClockOffsetNanoseconds();
    const long long before = NowNanoseconds();
    EXPECT_EQ(Probe({"clock_settime", "1935990489", "123000000"}), "0 0\n");
    EXPECT_EQ(Probe({"settimeofday", "1000000000", "999999"}), "0 0\n");
    EXPECT_EQ(Probe({"settimeofday-none"}), "0 0\n");
    const long long after = NowNanoseconds();

    const std::vector<fakeclock::Attempt> log = fakeclock::ReadLog(LogPath());
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].call, "clock_settime");
    ASSERT_TRUE(log[0].hasTarget);
    EXPECT_EQ(log[0].target.tv_sec, 1935990489);
    EXPECT_EQ(log[0].target.tv_nsec, 123000000);
    EXPECT_EQ(log[1].call, "settimeofday");
    ASSERT_TRUE(log[1].hasTarget);
    EXPECT_EQ(log[1].target.tv_sec, 1000000000);
    EXPECT_EQ(log[1].target.tv_nsec, 999999000);
    EXPECT_EQ(log[2].call, "settimeofday");
    EXPECT_FALSE(log[2].hasTarget);
    for (const fakeclock::Attempt& attempt : log) {
        EXPECT_LE(before, Nanoseconds(attempt.wall));
        EXPECT_LE(Nanoseconds(attempt.wall), after);
    }
    EXPECT_EQ(log[0].StepNanoseconds(), 1935990489123000000LL - Nanoseconds(log[0].wall));

    EXPECT_NEAR(fakeclock::RealClockOffsetNanoseconds(), offsetBefore, kClockUnmovedToleranceNs);
}

TEST_F(FakeClockTest, RefusesWhatTheKernelWouldRefuseWithoutRecordingIt) {
    struct Case {
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {{"clock_settime", "-1", "0"}},       {{"clock_settime", "100", "1000000000"}},
        {{"clock_settime", "100", "-1"}},     {{"clock_settime", "8277292036", "0"}},
        {{"settimeofday", "100", "1000000"}}, {{"settimeofday", "-5", "0"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Probe(c.args), "-1 " + std::to_string(EINVAL) + "\n") << c.args[1];
    }
    EXPECT_TRUE(fakeclock::ReadLog(LogPath()).empty());
    // The last second the kernel accepts is recorded.
    EXPECT_EQ(Probe({"clock_settime", "8277292035", "999999999"}), "0 0\n");
    EXPECT_EQ(fakeclock::ReadLog(LogPath()).size(), 1u);
}

TEST_F(FakeClockTest, OtherClocksGoToTheRealCall) {
    // The kernel does not let anyone set the monotonic clock: EINVAL comes from the real call.
    EXPECT_EQ(Probe({"monotonic", "100", "0"}), "-1 " + std::to_string(EINVAL) + "\n");
    EXPECT_TRUE(fakeclock::ReadLog(LogPath()).empty());
}

TEST_F(FakeClockTest, WithoutALogItStillRefusesToTouchTheClockAndSaysSo) {
    const std::vector<std::string> environment{
        "LD_PRELOAD=" + std::string(FAKECLOCK_LIBRARY),
        "CORVANE_FAKECLOCK_LOG=", "ASAN_OPTIONS=verify_asan_link_order=0"};
    const long long offsetBefore = fakeclock::RealClockOffsetNanoseconds();
    EXPECT_EQ(Probe({"clock_settime", "1935990489", "0"}, environment), "0 0\n");
    EXPECT_NE(lastRun_.err.find("not recorded"), std::string::npos) << lastRun_.err;
    EXPECT_NEAR(fakeclock::RealClockOffsetNanoseconds(), offsetBefore, kClockUnmovedToleranceNs);
}

TEST(FakeClockLogTest, RejectsLinesThatAreNotRecords) {
    test_support::TemporaryDirectory dir;
    const std::string path = (dir.Path() / "log").string();
    for (const char* line : {"clock_settime 1.000000001 wall 2.5x", "adjtime 1.0 wall 2.0",
                             "clock_settime 1.0", "garbage"}) {
        FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "%s\n", line);
        std::fclose(f);
        EXPECT_THROW(fakeclock::ReadLog(path), std::runtime_error) << line;
    }
}

}  // namespace
