// The date-time as a double: the integer part counts days since 30 December 1899, the fraction
// is the time of day.
#pragma once

#include "windows_types.h"

double SystemTimeToDateTime(const SYSTEMTIME& time);
