// Pure conversions between the calendar record and POSIX time, and the record check that
// SetSystemTime applies before it touches the clock. Proleptic Gregorian calendar, UTC.
#pragma once

#include <ctime>

#include "windows_types.h"

namespace system_time_calc {

constexpr WORD kFirstYear = 1601;
constexpr WORD kLastYear = 30827;

constexpr bool IsLeapYear(unsigned year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

constexpr unsigned DaysInMonth(unsigned year, unsigned month) {
    constexpr unsigned kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kLengths[month - 1];
}

// The fields a Windows system would accept; wDayOfWeek is not looked at.
constexpr bool IsValidSystemTime(const SYSTEMTIME& t) {
    return t.wYear >= kFirstYear && t.wYear <= kLastYear && t.wMonth >= 1 && t.wMonth <= 12 &&
           t.wDay >= 1 && t.wDay <= DaysInMonth(t.wYear, t.wMonth) && t.wHour <= 23 &&
           t.wMinute <= 59 && t.wSecond <= 59 && t.wMilliseconds <= 999;
}

// Days since 1970-01-01 of a date (negative before it).
constexpr long long DaysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

// Seconds and nanoseconds since the epoch of a record that IsValidSystemTime accepts.
constexpr timespec SystemTimeToTimespec(const SYSTEMTIME& t) {
    const long long days = DaysFromCivil(t.wYear, t.wMonth, t.wDay);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(days * 86400 + t.wHour * 3600LL + t.wMinute * 60LL + t.wSecond);
    ts.tv_nsec = static_cast<long>(t.wMilliseconds) * 1000000L;
    return ts;
}

// The record of a POSIX time from 1601 to 30827, milliseconds truncated, day of week filled in.
constexpr SYSTEMTIME TimespecToSystemTime(const timespec& ts) {
    const long long seconds = ts.tv_sec;
    long long days = seconds / 86400;
    long long secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    // Inverse of DaysFromCivil, with years starting on 1 March.
    const long long shifted = days + 719468;
    const long long era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(shifted - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned marchMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * marchMonth + 2) / 5 + 1;
    const unsigned month = marchMonth < 10 ? marchMonth + 3 : marchMonth - 9;
    const long long year = static_cast<long long>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
    // 1970-01-01 was a Thursday (4).
    const long long weekday = ((days % 7) + 7 + 4) % 7;

    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDayOfWeek = static_cast<WORD>(weekday);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(secondOfDay / 3600);
    t.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    t.wSecond = static_cast<WORD>(secondOfDay % 60);
    t.wMilliseconds = static_cast<WORD>(ts.tv_nsec / 1000000);
    return t;
}

}  // namespace system_time_calc
