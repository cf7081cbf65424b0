// What the client does with each message its terminal delivers.
#pragma once

#include <cstdint>

class TTimeslotTerminal;

// Takes the message as a time reply and hands its first 16 bytes to SetSystemTime. Payloads
// shorter than that are ignored; a record the system refuses leaves the clock alone. The first
// refusal for lack of the right to set the clock is reported once on standard error.
void SetClockFromReply(TTimeslotTerminal& terminal, std::uint16_t msgSize);
