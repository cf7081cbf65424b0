#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "endpoint_fixture.h"
#include "event_pump.h"
#include "sender_table.h"
#include "timeslot_terminal.h"
#include "timeslot_thread.h"

namespace {

struct Report {
    std::int32_t senderId;
    std::uint16_t size;
    std::string payload;
};

class TerminalTest : public testing::Test {
protected:
    void SetUp() override {
        terminal = std::make_unique<TTimeslotTerminal>(nullptr);
        terminal->SetOnNewMessage([this](TObject* sender, std::int32_t id, std::uint16_t size) {
            EXPECT_EQ(sender, terminal.get());
            std::string payload(size, '\0');
            terminal->MessageStream().Read(payload.data(), size);
            reports.push_back({id, size, payload});
        });
    }
    // Holds the polling back so that datagrams wait together for one call.
    void HoldPolling() { terminal->SetInterval(0); }

    std::unique_ptr<TTimeslotTerminal> terminal;
    std::vector<Report> reports;
};

TEST_F(TerminalTest, ReceivesFromConstructionOnWithTheDefaults) {
    EXPECT_EQ(terminal->Interval(), 250);
    EXPECT_EQ(terminal->TimeslotName(), "TimeTerminal");
    EXPECT_EQ(terminal->Receiver(), rcPrimaryDomain);
    EXPECT_EQ(terminal->ReceivingEndpoint().Interval(), 250);
    EXPECT_EQ(terminal->ReceivingEndpoint().TimeslotName(), "TimeTerminal");
    EXPECT_EQ(terminal->SendingEndpoint().TimeslotName(), "TimeTerminal");
    EXPECT_EQ(terminal->SendingEndpoint().Handle(), 0u);
    EXPECT_EQ(terminal->SendCount(), 0);
    LocalWriter("timeterminal").WriteFramed(99, 1, "hello");
    ASSERT_TRUE(PumpUntil([&] { return reports.size() == 1; }));
    EXPECT_EQ(reports[0].senderId, 99);
    EXPECT_EQ(reports[0].payload, "hello");
}

TEST_F(TerminalTest, ItsOwnDomainWriteComesBackOnceWithItsOwnId) {
    EXPECT_EQ(terminal->Send("GIVE ZEIT", 10), 18);
    EXPECT_EQ(terminal->SendCount(), 1);
    ASSERT_TRUE(PumpUntil([&] { return reports.size() == 1; }));
    PumpFor(600);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].senderId, static_cast<std::int32_t>(terminal->TerminalId()));
    EXPECT_EQ(reports[0].size, 10);
    EXPECT_EQ(reports[0].payload, std::string("GIVE ZEIT\0", 10));
}

TEST_F(TerminalTest, AnEmptyPayloadGoesOutAsEightBytesAndIsReportedAsSizeZero) {
    EXPECT_EQ(terminal->Send(nullptr, 0), 8);
    ASSERT_TRUE(PumpUntil([&] { return reports.size() == 1; }));
    EXPECT_EQ(reports[0].size, 0);
}

TEST_F(TerminalTest, WaitingMessagesAreHandledInOneCallInOrderAndCopiesOnce) {
    HoldPolling();
    LocalWriter writer("TimeTerminal");
    writer.WriteFramed(7, 1, "one");
    writer.WriteFramed(7, 1, "one");
    writer.WriteFramed(8, 5, "two");
    writer.WriteFramed(7, 2, "three");
    writer.WriteFramed(7, 2, "three again");
    terminal->ReceiveMessages(nullptr);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].payload, "one");
    EXPECT_EQ(reports[1].payload, "two");
    EXPECT_EQ(reports[2].payload, "three");
    EXPECT_EQ(terminal->ReceivingEndpoint().MessageCount(), 0);
    // The stream holds the copy read last.
    EXPECT_EQ(terminal->MessageStream().Size(), 8 + 11);
    EXPECT_EQ(terminal->SenderTable().Count(), 2);
}

TEST_F(TerminalTest, WithoutAHandlerMessagesAreStillReadAndTheirSendersEntered) {
    HoldPolling();
    terminal->SetOnNewMessage(nullptr);
    LocalWriter("TimeTerminal").WriteFramed(5, 3, "unheard");
    terminal->ReceiveMessages(nullptr);
    EXPECT_EQ(terminal->ReceivingEndpoint().MessageCount(), 0);
    ASSERT_EQ(terminal->SenderTable().Count(), 1);
    const auto* entry = static_cast<TSenderEntry*>(terminal->SenderTable().Items(0));
    EXPECT_EQ(entry->SenderId, 5u);
    EXPECT_EQ(entry->LastSequence, 3);
}

TEST_F(TerminalTest, DatagramsOutsideTheFormatAreDroppedAndTouchNothing) {
    HoldPolling();
    LocalWriter writer("TimeTerminal");
    writer.WriteFramed(11, 4, "good");
    terminal->ReceiveMessages(nullptr);
    ASSERT_EQ(reports.size(), 1u);
    writer.Write({});
    writer.Write({1, 2, 3, 4, 5, 6, 7});
    writer.Write(std::vector<std::uint8_t>(8 + 65536, 0xAB));
    terminal->ReceiveMessages(nullptr);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(terminal->ReceivingEndpoint().MessageCount(), 0);
    EXPECT_EQ(terminal->LastReceivedHeader().SenderId, 11u);
    EXPECT_EQ(terminal->LastReceivedHeader().Sequence, 4);
    EXPECT_EQ(terminal->SenderTable().Count(), 1);
}

TEST_F(TerminalTest, IntervalZeroStopsReceivingUntilANewInterval) {
    HoldPolling();
    LocalWriter("TimeTerminal").WriteFramed(3, 1, "late");
    PumpFor(600);
    EXPECT_TRUE(reports.empty());
    terminal->SetInterval(250);
    EXPECT_TRUE(PumpUntil([&] { return reports.size() == 1; }));
}

TEST_F(TerminalTest, SameNameChangesNothingButSameReceiverClosesTheSendHandle) {
    const HANDLE slot = terminal->ReceivingEndpoint().Handle();
    terminal->SetTimeslotName("TimeTerminal");
    EXPECT_EQ(terminal->ReceivingEndpoint().Handle(), slot);
    terminal->Send("a", 1);
    ASSERT_NE(terminal->SendingEndpoint().Handle(), 0u);
    terminal->SetReceiver(rcPrimaryDomain);
    EXPECT_EQ(terminal->SendingEndpoint().Handle(), 0u);
    terminal->Send("a", 1);
    terminal->SetReceiverName("");
    EXPECT_EQ(terminal->SendingEndpoint().Handle(), 0u);
}

TEST_F(TerminalTest, AFailedSendUsesUpItsSequenceNumber) {
    terminal->SetReceiver(rcLocalComputer);
    terminal->SendingEndpoint().SetTimeslotName("NobodyHasThis");
    EXPECT_THROW(terminal->Send("x", 1), ETimeslotClientError);
    EXPECT_EQ(terminal->SendCount(), 1);
    terminal->SendingEndpoint().SetTimeslotName("TimeTerminal");
    EXPECT_EQ(terminal->Send("y", 1), 9);
    EXPECT_EQ(terminal->SendCount(), 2);
}

TEST_F(TerminalTest, ASecondTerminalWithTheSameNameFailsConstruction) {
    try {
        TTimeslotTerminal second(nullptr);
        FAIL() << "two terminals hold TimeTerminal";
    } catch (const ETimeslotServerError& error) {
        EXPECT_EQ(error.Message(), "Cannot create a file when that file already exists");
    }
    // The first one is unharmed.
    LocalWriter("TimeTerminal").WriteFramed(1, 1, "still here");
    EXPECT_TRUE(PumpUntil([&] { return reports.size() == 1; }));
}

TEST(TerminalOwnership, TheOwnerFreesTheTerminalAndAFailedOneLeavesTheOwnerClean) {
    TComponent owner(nullptr);
    new TTimeslotTerminal(&owner);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_THROW(new TTimeslotTerminal(&owner), ETimeslotServerError);
    EXPECT_EQ(owner.ComponentCount(), 1);
}

}  // namespace
