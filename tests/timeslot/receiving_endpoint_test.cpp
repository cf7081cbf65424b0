#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "endpoint_fixture.h"
#include "event_pump.h"
#include "kernel.h"
#include "timeslot_server.h"
#include "timeslot_thread.h"

namespace {

const char* const kAlreadyExists = "Cannot create a file when that file already exists";

std::unique_ptr<TTimeslotServer> ServerNamed(const std::string& name) {
    auto server = std::make_unique<TTimeslotServer>(nullptr);
    server->SetTimeslotName(name);
    return server;
}

TEST(ReceivingEndpoint, HoldsTimeboxFromConstructionAndMovesOnRenaming) {
    auto server = std::make_unique<TTimeslotServer>(nullptr);
    EXPECT_NE(server->Handle(), 0u);
    EXPECT_EQ(server->TimeslotName(), "Timebox");
    { LocalWriter writer("timebox"); }
    server->SetTimeslotName("Renamed");
    EXPECT_NE(server->Handle(), 0u);
    // Timebox is free again; the new name is held.
    TTimeslotServer other(nullptr);
    EXPECT_THROW(other.SetTimeslotName("RENAMED"), ETimeslotServerError);
}

TEST(ReceivingEndpoint, ConstructionFailsWhenTimeboxIsTaken) {
    TTimeslotServer first(nullptr);
    try {
        TTimeslotServer second(nullptr);
        FAIL() << "a second holder of Timebox was constructed";
    } catch (const ETimeslotServerError& error) {
        EXPECT_EQ(error.Message(), kAlreadyExists);
    }
}

TEST(ReceivingEndpoint, RenamingComparesExactlySoLetterCaseCreatesTheSlotAnew) {
    auto server = ServerNamed("CaseSlot");
    const HANDLE before = server->Handle();
    server->SetTimeslotName("CaseSlot");
    EXPECT_EQ(server->Handle(), before);
    server->SetTimeslotName("caseslot");
    EXPECT_NE(server->Handle(), 0u);
    EXPECT_NE(server->Handle(), before);
}

TEST(ReceivingEndpoint, ANameLongerThan187CharactersIsCutTo200WithThePrefix) {
    const std::string kept(187, 'k');
    auto server = ServerNamed(kept + "dropped-part");
    // A writer that names only the first 187 characters reaches the slot.
    LocalWriter writer(kept);
    writer.Write({1, 2, 3});
    EXPECT_EQ(server->MessageCount(), 1);
}

TEST(ReceivingEndpoint, WithoutASlotNothingFailsAndEverythingIsZero) {
    auto holder = ServerNamed("Taken");
    auto server = ServerNamed("Free");
    EXPECT_THROW(server->SetTimeslotName("Taken"), ETimeslotServerError);
    EXPECT_EQ(server->Handle(), 0u);
    EXPECT_EQ(server->TimeslotName(), "Taken");
    char buffer[4];
    EXPECT_EQ(server->MessageCount(), 0);
    EXPECT_EQ(server->NextMessageSize(), 0);
    EXPECT_EQ(server->ReadMessage(buffer, sizeof buffer), 0);
    server->SetReadTimeOut(10);
    EXPECT_EQ(server->ReadTimeOut(), 10);
    holder.reset();
    // A later change of a creating setting opens the slot again, with the stored time-out.
    server->SetTimeslotName("Taken2");
    ASSERT_NE(server->Handle(), 0u);
    EXPECT_THROW(server->ReadMessage(buffer, sizeof buffer), ETimeslotServerError);
}

TEST(ReceivingEndpoint, AnOpenEmptySlotCountsZeroWithNoNextMessage) {
    auto server = ServerNamed("Empty");
    EXPECT_EQ(server->MessageCount(), 0);
    EXPECT_EQ(server->NextMessageSize(), -1);
    LocalWriter("Empty").Write({});
    EXPECT_EQ(server->MessageCount(), 1);
    EXPECT_EQ(server->NextMessageSize(), 0);
}

TEST(ReceivingEndpoint, AFiniteReadTimeOutFailsWithTheSystemText) {
    auto server = ServerNamed("TimeOut");
    server->SetReadTimeOut(50);
    char buffer[8];
    try {
        server->ReadMessage(buffer, sizeof buffer);
        FAIL() << "read on an empty slot returned";
    } catch (const ETimeslotServerError& error) {
        EXPECT_EQ(error.Message(), "The semaphore timeout period has expired");
    }
}

TEST(ReceivingEndpoint, ChangingTheReadTimeOutKeepsTheOpenSlot) {
    auto server = ServerNamed("KeepSlot");
    LocalWriter("KeepSlot").Write({9});
    const HANDLE before = server->Handle();
    server->SetReadTimeOut(0);
    EXPECT_EQ(server->Handle(), before);
    EXPECT_EQ(server->MessageCount(), 1);
}

TEST(ReceivingEndpoint, ForeverWaitsForAMessage) {
    auto server = ServerNamed("Forever");
    std::thread writer([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        LocalWriter("Forever").Write({'h', 'i'});
    });
    char buffer[8] = {};
    EXPECT_EQ(server->ReadMessage(buffer, sizeof buffer), 2);
    EXPECT_EQ(std::string(buffer, 2), "hi");
    writer.join();
}

TEST(ReceivingEndpoint, EachSuccessfulReadLowersLastCountByOne) {
    auto server = ServerNamed("Lower");
    LocalWriter writer("Lower");
    writer.Write({1, 2, 3, 4});
    writer.Write({5});
    server->Thread()->LastCount = 2;
    char small[2];
    EXPECT_THROW(server->ReadMessage(small, sizeof small), ETimeslotServerError);
    EXPECT_EQ(server->Thread()->LastCount, 2);
    char buffer[8];
    EXPECT_EQ(server->ReadMessage(buffer, sizeof buffer), 4);
    EXPECT_EQ(server->ReadMessage(buffer, sizeof buffer), 1);
    EXPECT_EQ(server->Thread()->LastCount, 0);
}

class PollingTest : public testing::Test {
protected:
    void SetUp() override {
        server = ServerNamed("Polled");
        server->SetInterval(20);
        writer = std::make_unique<LocalWriter>("Polled");
    }
    std::unique_ptr<TTimeslotServer> server;
    std::unique_ptr<LocalWriter> writer;
    int events = 0;
};

TEST_F(PollingTest, TheEventComesWhenTheCountChangesNotWhileMessagesWait) {
    server->SetOnNewMessage([&](TObject* sender) {
        EXPECT_EQ(sender, server.get());
        ++events;
    });
    writer->Write({1});
    ASSERT_TRUE(PumpUntil([&] { return events == 1; }));
    PumpFor(150);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(server->Thread()->LastCount, 1);
    writer->Write({2});
    ASSERT_TRUE(PumpUntil([&] { return events == 2; }));
}

TEST_F(PollingTest, AHandlerThatReadsOneOfThreeLeavesLastCountAtTwo) {
    server->SetMessagePolling(false);
    for (std::uint8_t i = 0; i < 3; ++i) {
        writer->Write({i});
    }
    server->SetOnNewMessage([&](TObject*) {
        char buffer[4];
        server->ReadMessage(buffer, sizeof buffer);
        ++events;
    });
    server->SetMessagePolling(true);
    ASSERT_TRUE(PumpUntil([&] { return events == 1; }));
    PumpFor(150);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(server->Thread()->LastCount, 2);
    EXPECT_EQ(server->MessageCount(), 2);
}

TEST_F(PollingTest, NoEventWithoutHandlerWithIntervalZeroOrWithPollingOff) {
    server->SetOnNewMessage([&](TObject*) { ++events; });
    server->SetInterval(0);
    EXPECT_TRUE(server->Thread()->Suspended());
    writer->Write({1});
    PumpFor(150);
    server->SetInterval(20);
    server->SetMessagePolling(false);
    EXPECT_TRUE(server->Thread()->Suspended());
    writer->Write({2});
    PumpFor(150);
    server->SetMessagePolling(true);
    server->SetOnNewMessage(nullptr);
    EXPECT_TRUE(server->Thread()->Suspended());
    PumpFor(100);
    EXPECT_EQ(events, 0);
    server->SetOnNewMessage([&](TObject*) { ++events; });
    EXPECT_FALSE(server->Thread()->Suspended());
    EXPECT_TRUE(PumpUntil([&] { return events == 1; }));
}

TEST_F(PollingTest, AfterAPauseTheFirstCheckComparesWithTheCountFromBefore) {
    server->SetOnNewMessage([&](TObject*) { ++events; });
    writer->Write({1});
    ASSERT_TRUE(PumpUntil([&] { return events == 1; }));
    server->SetMessagePolling(false);
    PumpFor(50);
    server->SetMessagePolling(true);
    PumpFor(150);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(server->Thread()->LastCount, 1);
}

TEST_F(PollingTest, ABrokenHandlerDoesNotStopPolling) {
    server->SetOnNewMessage([&](TObject*) {
        ++events;
        char buffer[1];
        server->ReadMessage(buffer, sizeof buffer);  // too small: raises
    });
    writer->Write({1, 2, 3});
    ASSERT_TRUE(PumpUntil([&] { return events == 1; }));
    writer->Write({4});
    EXPECT_TRUE(PumpUntil([&] { return events == 2; }));
}

TEST(PollingLifetime, TheThreadPollsEverySecondWithoutHandlerUntilTheFirstSetting) {
    auto server = std::make_unique<TTimeslotServer>(nullptr);
    EXPECT_EQ(server->Thread()->Interval(), 1000);
    EXPECT_FALSE(server->Thread()->Suspended());
    LocalWriter("Timebox").Write({1});
    ASSERT_TRUE(PumpUntil([&] { return server->Thread()->LastCount == 1; }, 3000));
    int events = 0;
    server->SetOnNewMessage([&](TObject*) { ++events; });
    server->SetInterval(20);
    PumpFor(150);
    EXPECT_EQ(events, 0);
}

TEST(PollingLifetime, DestroyingTheEndpointWhileItsThreadRunsIsSafe) {
    for (int i = 0; i < 5; ++i) {
        auto server = ServerNamed("Short");
        server->SetInterval(1);
        server->SetOnNewMessage([](TObject*) {});
        LocalWriter("Short").Write({1});
        PumpFor(5);
        server.reset();
        PumpFor(20);
    }
}

}  // namespace
