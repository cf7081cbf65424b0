#include <gtest/gtest.h>

#include <climits>

#include "sender_table.h"

namespace {

struct Arrival {
    std::uint32_t sender;
    std::int32_t sequence;
    bool accepted;
};

struct DuplicateCase {
    const char* name;
    std::vector<Arrival> arrivals;
};

class DuplicateRule : public testing::TestWithParam<DuplicateCase> {};

TEST_P(DuplicateRule, AcceptsOnlyNumbersAboveTheLastAcceptedOfTheirSender) {
    TList table;
    for (const Arrival& a : GetParam().arrivals) {
        EXPECT_EQ(AcceptDatagram(table, a.sender, a.sequence), a.accepted)
            << "sender " << a.sender << " number " << a.sequence;
    }
    FreeSenderEntries(table);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DuplicateRule,
    testing::Values(
        DuplicateCase{"FirstWithZero", {{1, 0, true}, {1, 0, false}, {1, 1, true}}},
        DuplicateCase{"FirstNegative", {{1, -5, true}, {1, -6, false}, {1, -4, true}}},
        DuplicateCase{"Copies", {{1, 1, true}, {1, 1, false}, {1, 1, false}}},
        DuplicateCase{"OutOfOrder", {{1, 1, true}, {1, 3, true}, {1, 2, false}, {1, 4, true}}},
        DuplicateCase{"Skips", {{1, 1, true}, {1, 10, true}, {1, 1000, true}}},
        DuplicateCase{"SendersAreApart", {{1, 5, true}, {2, 1, true}, {1, 5, false}, {2, 2, true}}},
        DuplicateCase{"WrapDropsEverythingAfter",
                      {{1, INT_MAX - 1, true},
                       {1, INT_MAX, true},
                       {1, INT_MIN, false},
                       {1, INT_MIN + 1, false},
                       {1, 1, false}}},
        DuplicateCase{"RestartedPeerIsANewSender", {{1, 50, true}, {2, 1, true}, {2, 2, true}}}),
    [](const testing::TestParamInfo<DuplicateCase>& info) { return info.param.name; });

TEST(SenderTable, NewSendersGoInFrontAndEntriesAreNeverMoved) {
    TList table;
    AcceptDatagram(table, 10, 1);
    AcceptDatagram(table, 20, 1);
    AcceptDatagram(table, 30, 1);
    AcceptDatagram(table, 10, 2);
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(static_cast<TSenderEntry*>(table.Items(0))->SenderId, 30u);
    EXPECT_EQ(static_cast<TSenderEntry*>(table.Items(1))->SenderId, 20u);
    const auto* last = static_cast<TSenderEntry*>(table.Items(2));
    EXPECT_EQ(last->SenderId, 10u);
    EXPECT_EQ(last->LastSequence, 2);
    FreeSenderEntries(table);
    EXPECT_EQ(table.Count(), 0);
}

TEST(SenderTable, AFullTableForgetsItsOldestSender) {
    TList table;
    for (std::uint32_t id = 1; id <= kMaxSenders; ++id) {
        ASSERT_TRUE(AcceptDatagram(table, id, 7));
    }
    EXPECT_TRUE(AcceptDatagram(table, 0xFFFF0000u, 1));
    ASSERT_EQ(table.Count(), kMaxSenders);
    EXPECT_EQ(static_cast<TSenderEntry*>(table.Items(0))->SenderId, 0xFFFF0000u);
    EXPECT_EQ(static_cast<TSenderEntry*>(table.Items(kMaxSenders - 1))->SenderId, 2u);
    // The second oldest is still known; the forgotten one counts as new again.
    EXPECT_FALSE(AcceptDatagram(table, 2, 7));
    EXPECT_TRUE(AcceptDatagram(table, 1, 7));
    EXPECT_EQ(table.Count(), kMaxSenders);
    FreeSenderEntries(table);
}

}  // namespace
