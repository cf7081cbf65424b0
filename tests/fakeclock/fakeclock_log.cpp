#include "fakeclock_log.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace fakeclock {

namespace {

long long Nanoseconds(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

Attempt ParseLine(const std::string& line) {
    Attempt attempt;
    char call[32] = {};
    long long targetSeconds = 0;
    long targetNanoseconds = 0;
    long long wallSeconds = 0;
    long wallNanoseconds = 0;
    int consumed = 0;
    if (std::sscanf(line.c_str(), "%31s %lld.%9ld wall %lld.%9ld%n", call, &targetSeconds,
                    &targetNanoseconds, &wallSeconds, &wallNanoseconds, &consumed) == 5 &&
        consumed == static_cast<int>(line.size())) {
        attempt.hasTarget = true;
        attempt.target = {static_cast<time_t>(targetSeconds), targetNanoseconds};
    } else if (std::sscanf(line.c_str(), "%31s none wall %lld.%9ld%n", call, &wallSeconds,
                           &wallNanoseconds, &consumed) == 3 &&
               consumed == static_cast<int>(line.size())) {
        attempt.hasTarget = false;
    } else {
        throw std::runtime_error("not a fakeclock record: \"" + line + "\"");
    }
    attempt.call = call;
    attempt.wall = {static_cast<time_t>(wallSeconds), wallNanoseconds};
    if (attempt.call != "clock_settime" && attempt.call != "settimeofday") {
        throw std::runtime_error("unknown call in fakeclock record: \"" + line + "\"");
    }
    return attempt;
}

}  // namespace

long long Attempt::StepNanoseconds() const {
    return Nanoseconds(target) - Nanoseconds(wall);
}

std::vector<std::string> PreloadEnvironment(const std::string& libraryPath,
                                            const std::string& logPath) {
    std::string asanOptions = "verify_asan_link_order=0";
    if (const char* existing = std::getenv("ASAN_OPTIONS"); existing != nullptr && *existing) {
        asanOptions = std::string(existing) + ":" + asanOptions;
    }
    return {"LD_PRELOAD=" + libraryPath, "CORVANE_FAKECLOCK_LOG=" + logPath,
            "ASAN_OPTIONS=" + asanOptions};
}

long long RealClockOffsetNanoseconds() {
    timespec real{};
    timespec boot{};
    clock_gettime(CLOCK_REALTIME, &real);
    clock_gettime(CLOCK_BOOTTIME, &boot);
    return Nanoseconds(real) - Nanoseconds(boot);
}

std::vector<Attempt> ReadLog(const std::string& path) {
    std::vector<Attempt> attempts;
    std::ifstream log(path);
    std::string line;
    while (std::getline(log, line)) {
        attempts.push_back(ParseLine(line));
    }
    return attempts;
}

}  // namespace fakeclock
