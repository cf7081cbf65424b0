// Makes one clock-setting call as its arguments say and prints "<result> <errno>":
//   clock_settime SECONDS NANOSECONDS | monotonic SECONDS NANOSECONDS |
//   settimeofday SECONDS MICROSECONDS | settimeofday-none
#include <sys/time.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "clock_guard.h"

int main(int argc, char** argv) {
    test_support::RefuseToRunWithClockRight(argv[0]);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CALL [SECONDS FRACTION]\n", argv[0]);
        return 64;
    }
    const char* call = argv[1];
    const long long seconds = argc > 2 ? std::atoll(argv[2]) : 0;
    const long fraction = argc > 3 ? std::atol(argv[3]) : 0;
    errno = 0;
    int rc = 0;
    if (std::strcmp(call, "clock_settime") == 0 || std::strcmp(call, "monotonic") == 0) {
        const timespec t{static_cast<time_t>(seconds), fraction};
        rc = clock_settime(call[0] == 'c' ? CLOCK_REALTIME : CLOCK_MONOTONIC, &t);
    } else if (std::strcmp(call, "settimeofday") == 0) {
        const timeval t{static_cast<time_t>(seconds), static_cast<suseconds_t>(fraction)};
        rc = settimeofday(&t, nullptr);
    } else if (std::strcmp(call, "settimeofday-none") == 0) {
        const struct timezone zone {};
        rc = settimeofday(nullptr, &zone);
    } else {
        std::fprintf(stderr, "%s: unknown call %s\n", argv[0], call);
        return 64;
    }
    std::printf("%d %d\n", rc, rc == 0 ? 0 : errno);
    return 0;
}
