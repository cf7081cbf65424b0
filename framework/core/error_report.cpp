#include "error_report.h"

#include <cerrno>
#include <cstdio>
#include <mutex>

void ReportError(const std::string& message) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
    std::fflush(stderr);
}
