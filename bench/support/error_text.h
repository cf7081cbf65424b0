// The number and system text of an error code, for the benchmarks' messages.
#pragma once

#include <string>

#include "kernel.h"

inline std::string ErrorText(DWORD code) {
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    std::string line(text);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    return std::to_string(code) + " " + line;
}
