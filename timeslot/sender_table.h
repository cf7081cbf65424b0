// The table of senders a terminal has heard from, and the rule that drops repeated datagrams.
#pragma once

#include <cstdint>

#include "list.h"

struct TSenderEntry {
    std::uint32_t SenderId;
    std::int32_t LastSequence;
};

// A full table forgets its oldest sender to make room, so that a stream of made-up sender ids from
// the network cannot grow it (and every later search) without end. A copy of a datagram arrives
// within moments of the first, long before that many new senders could push its sender out.
constexpr int kMaxSenders = 16384;

// Whether the datagram (senderId, sequence) is new; enters or updates its sender. New senders go
// in front; the search is linear from the front; numbers compare as signed values.
bool AcceptDatagram(TList& senderTable, std::uint32_t senderId, std::int32_t sequence);

// Frees every entry, from the front, and empties the table.
void FreeSenderEntries(TList& senderTable);
