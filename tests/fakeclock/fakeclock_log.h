// Reads what the corvane_fakeclock preload library recorded.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace fakeclock {

struct Attempt {
    std::string call;        // "clock_settime" or "settimeofday"
    bool hasTarget = false;  // false for settimeofday without a time
    timespec target{};       // the time the program asked for
    timespec wall{};         // the real clock when it asked

    // By how much the clock would have moved, in nanoseconds.
    long long StepNanoseconds() const;
};

// The environment entries ("NAME=value") that make a started program use the preload library
// at libraryPath and record into logPath; sanitizer runtimes are told to accept a library
// loaded ahead of them.
std::vector<std::string> PreloadEnvironment(const std::string& libraryPath,
                                            const std::string& logPath);

// CLOCK_REALTIME less CLOCK_BOOTTIME in nanoseconds: steady while nobody sets the clock.
long long RealClockOffsetNanoseconds();

// The attempts in the order they were made; none when the file does not exist. Throws
// std::runtime_error on a line that is not the library's.
std::vector<Attempt> ReadLog(const std::string& path);

}  // namespace fakeclock
