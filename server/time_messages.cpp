#include "time_messages.h"

#include <algorithm>

namespace {

constexpr BYTE kRequestText[9] = {'G', 'I', 'V', 'E', ' ', 'Z', 'E', 'I', 'T'};

void PutWord(BYTE* out, WORD value) {
    out[0] = static_cast<BYTE>(value & 0xFF);
    out[1] = static_cast<BYTE>(value >> 8);
}

WORD GetWord(const BYTE* in) {
    return static_cast<WORD>(in[0] | (in[1] << 8));
}

}  // namespace

std::array<BYTE, kTimeRequestSize> BuildTimeRequest() {
    std::array<BYTE, kTimeRequestSize> request{};
    std::copy(std::begin(kRequestText), std::end(kRequestText), request.begin());
    request[9] = 0;
    return request;
}

bool IsTimeRequest(const BYTE* payload, std::size_t size) {
    if (size < sizeof kRequestText) {
        return false;
    }
    for (std::size_t i = 0; i < sizeof kRequestText; ++i) {
        if (payload[i] != kRequestText[i]) {
            return false;
        }
    }
    return true;
}

std::array<BYTE, kTimeReplySize> BuildTimeReply(const SYSTEMTIME& utc) {
    std::array<BYTE, kTimeReplySize> reply{};
    const WORD fields[8] = {utc.wYear, utc.wMonth,  utc.wDayOfWeek, utc.wDay,
                            utc.wHour, utc.wMinute, utc.wSecond,    utc.wMilliseconds};
    for (std::size_t i = 0; i < 8; ++i) {
        PutWord(&reply[2 * i], fields[i]);
    }
    reply[16] = 0;
    return reply;
}

std::optional<SYSTEMTIME> ReadSystemTime(const BYTE* payload, std::size_t size) {
    if (size < kSystemTimeSize) {
        return std::nullopt;
    }
    SYSTEMTIME time{};
    time.wYear = GetWord(payload + 0);
    time.wMonth = GetWord(payload + 2);
    time.wDayOfWeek = GetWord(payload + 4);
    time.wDay = GetWord(payload + 6);
    time.wHour = GetWord(payload + 8);
    time.wMinute = GetWord(payload + 10);
    time.wSecond = GetWord(payload + 12);
    time.wMilliseconds = GetWord(payload + 14);
    return time;
}
