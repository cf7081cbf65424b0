#include "date_time.h"

#include "system_time_calc.h"

double SystemTimeToDateTime(const SYSTEMTIME& time) {
    constexpr double kMillisecondsPerDay = 86400000.0;
    const long long days = system_time_calc::DaysFromCivil(time.wYear, time.wMonth, time.wDay) -
                           system_time_calc::DaysFromCivil(1899, 12, 30);
    const double timeOfDay = (time.wHour * 3600000.0 + time.wMinute * 60000.0 +
                              time.wSecond * 1000.0 + time.wMilliseconds) /
                             kMillisecondsPerDay;
    return static_cast<double>(days) + timeOfDay;
}
