#include "system_time_calc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

namespace {

using system_time_calc::IsValidSystemTime;
using system_time_calc::SystemTimeToTimespec;
using system_time_calc::TimespecToSystemTime;

TEST(SystemTimeCheckTest, AcceptsWhatWindowsAcceptsAndNothingElse) {
    struct Case {
        const char* name;
        SYSTEMTIME time;
        bool valid;
    };
    // Fields: year, month, day of week, day, hour, minute, second, milliseconds.
    const Case cases[] = {
        {"ordinary", {2024, 6, 6, 15, 12, 30, 45, 500}, true},
        {"first day", {1601, 1, 1, 1, 0, 0, 0, 0}, true},
        {"last moment", {30827, 12, 4, 31, 23, 59, 59, 999}, true},
        {"year 1600", {1600, 12, 0, 31, 23, 59, 59, 999}, false},
        {"year 30828", {30828, 1, 0, 1, 0, 0, 0, 0}, false},
        {"year 0", {0, 1, 0, 1, 0, 0, 0, 0}, false},
        {"month 0", {2024, 0, 0, 1, 0, 0, 0, 0}, false},
        {"month 13", {2024, 13, 0, 1, 0, 0, 0, 0}, false},
        {"day 0", {2024, 1, 0, 0, 0, 0, 0, 0}, false},
        {"31 January", {2023, 1, 0, 31, 0, 0, 0, 0}, true},
        {"32 January", {2023, 1, 0, 32, 0, 0, 0, 0}, false},
        {"30 April", {2023, 4, 0, 30, 0, 0, 0, 0}, true},
        {"31 April", {2023, 4, 0, 31, 0, 0, 0, 0}, false},
        {"31 June", {2023, 6, 0, 31, 0, 0, 0, 0}, false},
        {"31 September", {2023, 9, 0, 31, 0, 0, 0, 0}, false},
        {"31 November", {2023, 11, 0, 31, 0, 0, 0, 0}, false},
        {"31 December", {2023, 12, 0, 31, 0, 0, 0, 0}, true},
        {"29 February of a leap year", {2024, 2, 0, 29, 0, 0, 0, 0}, true},
        {"29 February of a common year", {2023, 2, 0, 29, 0, 0, 0, 0}, false},
        {"29 February 2000 (divisible by 400)", {2000, 2, 0, 29, 0, 0, 0, 0}, true},
        {"29 February 1900 (century)", {1900, 2, 0, 29, 0, 0, 0, 0}, false},
        {"30 February of a leap year", {2024, 2, 0, 30, 0, 0, 0, 0}, false},
        {"hour 24", {2024, 1, 0, 1, 24, 0, 0, 0}, false},
        {"minute 60", {2024, 1, 0, 1, 0, 60, 0, 0}, false},
        {"second 60 (no leap second)", {2024, 1, 0, 1, 23, 59, 60, 0}, false},
        {"millisecond 1000", {2024, 1, 0, 1, 0, 0, 0, 1000}, false},
        {"day of week is not looked at", {2024, 1, 65535, 1, 0, 0, 0, 0}, true},
        {"all fields 65535", {65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidSystemTime(c.time), c.valid) << c.name;
    }
}

TEST(SystemTimeConversionTest, KnownInstants) {
    struct Case {
        SYSTEMTIME time;
        long long seconds;
        long nanoseconds;
    };
    const Case cases[] = {
        {{1970, 1, 4, 1, 0, 0, 0, 0}, 0, 0},
        {{1601, 1, 1, 1, 0, 0, 0, 0}, -11644473600LL, 0},
        {{1969, 12, 3, 31, 23, 59, 59, 999}, -1, 999000000},
        {{2000, 3, 3, 1, 0, 0, 0, 0}, 951868800LL, 0},
        {{2038, 1, 2, 19, 3, 14, 8, 0}, 2147483648LL, 0},
        {{2031, 5, 4, 8, 7, 8, 9, 123}, 1935990489LL, 123000000},
        {{30827, 12, 5, 31, 23, 59, 59, 999}, 910670515199LL, 999000000},
    };
    for (const Case& c : cases) {
        const timespec ts = SystemTimeToTimespec(c.time);
        EXPECT_EQ(ts.tv_sec, c.seconds) << c.time.wYear;
        EXPECT_EQ(ts.tv_nsec, c.nanoseconds) << c.time.wYear;
        const SYSTEMTIME back = TimespecToSystemTime(ts);
        EXPECT_EQ(std::memcmp(&back, &c.time, sizeof back), 0)
            << c.time.wYear << "-" << back.wMonth << "-" << back.wDay << " dow " << back.wDayOfWeek;
    }
}

TEST(SystemTimeConversionTest, AgreesWithTheCLibraryAcrossTheWholeRange) {
    const long long first = SystemTimeToTimespec({1601, 1, 1, 1, 0, 0, 0, 0}).tv_sec;
    const long long last = SystemTimeToTimespec({30827, 12, 4, 31, 23, 59, 59, 0}).tv_sec;
    // A step that is prime to a day visits every time of day and every day of the week.
    const long long step = 86400LL * 97 + 3637;
    for (long long s = first; s <= last; s += step) {
        const time_t t = static_cast<time_t>(s);
        tm expected{};
        ASSERT_NE(gmtime_r(&t, &expected), nullptr);
        const SYSTEMTIME got = TimespecToSystemTime(timespec{t, 456789012});
        ASSERT_EQ(got.wYear, expected.tm_year + 1900) << s;
        ASSERT_EQ(got.wMonth, expected.tm_mon + 1) << s;
        ASSERT_EQ(got.wDay, expected.tm_mday) << s;
        ASSERT_EQ(got.wDayOfWeek, expected.tm_wday) << s;
        ASSERT_EQ(got.wHour, expected.tm_hour) << s;
        ASSERT_EQ(got.wMinute, expected.tm_min) << s;
        ASSERT_EQ(got.wSecond, expected.tm_sec) << s;
        ASSERT_EQ(got.wMilliseconds, 456) << s;
        ASSERT_TRUE(IsValidSystemTime(got)) << s;
        const timespec back = SystemTimeToTimespec(got);
        ASSERT_EQ(back.tv_sec, t) << s;
        ASSERT_EQ(back.tv_nsec, 456000000) << s;
    }
}

TEST(SystemTimeConversionTest, EveryDayOfALeapCycleRoundTrips) {
    // 400 years from 1 March 1600 cover every calendar rule once.
    SYSTEMTIME day{2000, 3, 0, 1, 0, 0, 0, 0};
    long long expectedSeconds = SystemTimeToTimespec(day).tv_sec;
    for (int i = 0; i < 146097; ++i) {
        const SYSTEMTIME got = TimespecToSystemTime(timespec{expectedSeconds, 0});
        ASSERT_TRUE(IsValidSystemTime(got)) << i;
        ASSERT_EQ(SystemTimeToTimespec(got).tv_sec, expectedSeconds) << i;
        // Consecutive days: the date advances by exactly one valid day.
        if (i > 0) {
            const bool nextInMonth = got.wDay == day.wDay + 1 && got.wMonth == day.wMonth;
            const bool nextMonth =
                got.wDay == 1 && day.wDay == system_time_calc::DaysInMonth(day.wYear, day.wMonth);
            ASSERT_TRUE(nextInMonth || nextMonth) << i;
            ASSERT_EQ(got.wDayOfWeek, (day.wDayOfWeek + 1) % 7) << i;
        }
        day = got;
        expectedSeconds += 86400;
    }
}

}  // namespace
