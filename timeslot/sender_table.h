// The table of senders a terminal has heard from, and the rule that drops repeated datagrams.
#pragma once

#include <cstdint>

#include "list.h"

struct TSenderEntry {
    std::uint32_t SenderId;
    std::int32_t LastSequence;
};

// Whether the datagram (senderId, sequence) is new; enters or updates its sender. New senders go
// in front; the search is linear from the front; numbers compare as signed values.
bool AcceptDatagram(TList& senderTable, std::uint32_t senderId, std::int32_t sequence);

// Frees every entry, from the front, and empties the table.
void FreeSenderEntries(TList& senderTable);
