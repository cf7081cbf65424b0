#include "clock_guard.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace test_support {

namespace {

constexpr unsigned kCapSysTime = 25;

}  // namespace

bool HoldsClockRight() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("CapEff:", 0) == 0) {
            try {
                const unsigned long long effective = std::stoull(line.substr(7), nullptr, 16);
                return (effective >> kCapSysTime) & 1u;
            } catch (const std::exception&) {
                return true;
            }
        }
    }
    return true;
}

void RefuseToRunWithClockRight(const char* program) {
    if (!HoldsClockRight()) {
        return;
    }
    std::fprintf(stderr,
                 "%s: refusing to run: this process may set the machine's clock (CAP_SYS_TIME is "
                 "effective or the capabilities cannot be read). Run it through "
                 "tests/support/run-without-clock-right or "
                 "'setpriv --bounding-set=-sys_time --inh-caps=-sys_time'.\n",
                 program);
    std::fflush(stderr);
    std::_Exit(2);
}

}  // namespace test_support
