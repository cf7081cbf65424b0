#include "sender_table.h"

bool AcceptDatagram(TList& senderTable, std::uint32_t senderId, std::int32_t sequence) {
    for (int i = 0; i < senderTable.Count(); ++i) {
        auto* entry = static_cast<TSenderEntry*>(senderTable.Items(i));
        if (entry->SenderId == senderId) {
            if (entry->LastSequence < sequence) {
                entry->LastSequence = sequence;
                return true;
            }
            return false;
        }
    }
    if (senderTable.Count() >= kMaxSenders) {
        const int oldest = senderTable.Count() - 1;
        delete static_cast<TSenderEntry*>(senderTable.Items(oldest));
        senderTable.Delete(oldest);
    }
    senderTable.Insert(0, new TSenderEntry{senderId, sequence});
    return true;
}

void FreeSenderEntries(TList& senderTable) {
    for (int i = 0; i < senderTable.Count(); ++i) {
        delete static_cast<TSenderEntry*>(senderTable.Items(i));
    }
    senderTable.Clear();
}
