// Calls SetSystemTime with the eight fields given as arguments and prints "TRUE" or
// "FALSE <GetLastError>".
#include <cstdio>
#include <cstdlib>

#include "clock_guard.h"
#include "kernel.h"

int main(int argc, char** argv) {
    test_support::RefuseToRunWithClockRight(argv[0]);
    if (argc != 9) {
        std::fprintf(stderr, "usage: %s YEAR MONTH DAYOFWEEK DAY HOUR MINUTE SECOND MILLISECONDS\n",
                     argv[0]);
        return 64;
    }
    WORD fields[8];
    for (int i = 0; i < 8; ++i) {
        fields[i] = static_cast<WORD>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    const SYSTEMTIME time{fields[0], fields[1], fields[2], fields[3],
                          fields[4], fields[5], fields[6], fields[7]};
    if (SetSystemTime(&time)) {
        std::printf("TRUE\n");
    } else {
        std::printf("FALSE %u\n", GetLastError());
    }
    return 0;
}
