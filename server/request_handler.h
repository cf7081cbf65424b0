// What the server does with each message its terminal delivers.
#pragma once

#include <cstdint>

class TTimeslotTerminal;

// Reads the message's payload from the terminal's stream and, when it is a time request,
// answers it to the whole domain with this computer's clock in UTC, read now.
void AnswerTimeRequest(TTimeslotTerminal& terminal, std::uint16_t msgSize);
