#include "system_text.h"

#include "kernel.h"

std::string SystemText(DWORD code) {
    char buffer[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                        nullptr, code, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty()) {
        const unsigned char last = static_cast<unsigned char>(text.back());
        if (last > ' ' && last != '.') {
            break;
        }
        text.pop_back();
    }
    return text;
}
