#include <gtest/gtest.h>

#include <memory>

#include "kernel.h"
#include "timeslot_client.h"
#include "timeslot_server.h"

namespace {

TEST(SendingEndpoint, StartsClosedWritingToTimeboxInLowerCaseOnTheDomain) {
    TTimeslotClient client(nullptr);
    EXPECT_EQ(client.TimeslotName(), "timebox");
    EXPECT_EQ(client.Receiver(), rcPrimaryDomain);
    EXPECT_EQ(client.ReceiverName(), "");
    EXPECT_EQ(client.Handle(), 0u);
}

TEST(SendingEndpoint, ALocalWriteToANameNobodyHoldsFailsAtTheOpen) {
    TTimeslotClient client(nullptr);
    client.SetReceiver(rcLocalComputer);
    client.SetTimeslotName("Nobody");
    try {
        client.WriteMessage("x", 1);
        FAIL() << "the write went through";
    } catch (const ETimeslotClientError& error) {
        EXPECT_EQ(error.Message(), "The system cannot find the file specified");
    }
    EXPECT_EQ(client.Handle(), 0u);
}

TEST(SendingEndpoint, AnEmptyReceiverNameIsRaisedAsTheSystemSaysIt) {
    TTimeslotClient client(nullptr);
    client.SetReceiver(rcDomainOrComputer);
    client.SetReceiverName("");
    try {
        client.OpenSlot();
        FAIL() << "three leading backslashes were accepted";
    } catch (const ETimeslotClientError& error) {
        EXPECT_EQ(error.Message(), "The network path was not found");
    }
}

class HeldSlot : public testing::Test {
protected:
    void SetUp() override {
        server = std::make_unique<TTimeslotServer>(nullptr);
        server->SetTimeslotName("Held");
        client.SetReceiver(rcLocalComputer);
        client.SetTimeslotName("Held");
    }
    std::unique_ptr<TTimeslotServer> server;
    TTimeslotClient client{nullptr};
};

TEST_F(HeldSlot, TwoWritesInARowUseOneHandle) {
    EXPECT_EQ(client.WriteMessage("ab", 2), 2);
    const HANDLE first = client.Handle();
    EXPECT_NE(first, 0u);
    EXPECT_EQ(client.WriteMessage("cde", 3), 3);
    EXPECT_EQ(client.Handle(), first);
    EXPECT_EQ(server->MessageCount(), 2);
}

TEST_F(HeldSlot, EveryAssignmentClosesTheHandleEvenOfTheSameValue) {
    client.OpenSlot();
    ASSERT_NE(client.Handle(), 0u);
    client.SetReceiver(rcLocalComputer);
    EXPECT_EQ(client.Handle(), 0u);
    client.OpenSlot();
    client.SetReceiverName("");
    EXPECT_EQ(client.Handle(), 0u);
    client.OpenSlot();
    client.SetTimeslotName("Held");
    EXPECT_EQ(client.Handle(), 0u);
    EXPECT_EQ(client.WriteMessage("z", 1), 1);
    EXPECT_EQ(server->MessageCount(), 1);
}

TEST_F(HeldSlot, AFailedWriteKeepsTheHandleForTheNextWrite) {
    client.OpenSlot();
    const HANDLE handle = client.Handle();
    server.reset();  // the holder goes away: writes now fail
    EXPECT_THROW(client.WriteMessage("x", 1), ETimeslotClientError);
    EXPECT_EQ(client.Handle(), handle);
    EXPECT_THROW(client.WriteMessage("x", 1), ETimeslotClientError);
    EXPECT_EQ(client.Handle(), handle);
}

TEST(SendingEndpoint, APathLongerThan200CharactersIsCutBeforeTheOpen) {
    const std::string kept(187, 'n');
    TTimeslotServer server(nullptr);
    server.SetTimeslotName(kept);
    TTimeslotClient client(nullptr);
    client.SetReceiver(rcLocalComputer);
    client.SetTimeslotName(kept + "beyond");
    EXPECT_EQ(client.WriteMessage("q", 1), 1);
    EXPECT_EQ(server.MessageCount(), 1);
}

}  // namespace
