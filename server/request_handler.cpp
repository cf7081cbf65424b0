#include "request_handler.h"

#include <vector>

#include "kernel.h"
#include "time_messages.h"
#include "timeslot_terminal.h"

void AnswerTimeRequest(TTimeslotTerminal& terminal, std::uint16_t msgSize) {
    std::vector<BYTE> payload(msgSize);
    const std::int32_t read = terminal.MessageStream().Read(payload.data(), msgSize);
    if (!IsTimeRequest(payload.data(), static_cast<std::size_t>(read))) {
        return;
    }
    SYSTEMTIME now{};
    GetSystemTime(&now);
    const auto reply = BuildTimeReply(now);
    terminal.Send(reply.data(), static_cast<std::uint16_t>(reply.size()));
}
