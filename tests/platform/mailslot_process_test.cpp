// Mailslots between processes of one computer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>

#include "kernel.h"
#include "line_process.h"

namespace {

using platform_tests::LineProcess;

std::string LocalPath(const std::string& name) {
    return "\\\\.\\mailslot\\" + name;
}

std::string ReadOne(HANDLE slot) {
    char buffer[256];
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(slot, buffer, sizeof buffer, &got, nullptr)) << GetLastError();
    return std::string(buffer, got);
}

DWORD Queued(HANDLE slot) {
    DWORD queued = 0;
    EXPECT_TRUE(GetMailslotInfo(slot, nullptr, nullptr, &queued, nullptr));
    return queued;
}

TEST(MailslotProcessTest, AWriteFromAnotherProcessArrives) {
    const HANDLE slot = CreateMailslotA(LocalPath("FromChild").c_str(), 0, 30000, nullptr);
    ASSERT_NE(slot, INVALID_HANDLE_VALUE);
    LineProcess child({MAILSLOT_PROBE, "write", "\\\\.\\MAILSLOT\\fromchild", "child %", "3"});
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_EQ(Queued(slot), 3u);
    EXPECT_EQ(ReadOne(slot), "child 1");
    EXPECT_EQ(ReadOne(slot), "child 2");
    EXPECT_EQ(ReadOne(slot), "child 3");
    CloseHandle(slot);
}

TEST(MailslotProcessTest, AWriteToAnotherProcessArrivesAndItsNameIsTaken) {
    LineProcess child({MAILSLOT_PROBE, "listen", "InChild"});
    ASSERT_TRUE(child.WaitFor("ready"));
    SetLastError(0);
    EXPECT_EQ(CreateMailslotA(LocalPath("inchild").c_str(), 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    const HANDLE writer = CreateFileA(LocalPath("INCHILD").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, 0);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, "to the child", 12, &written, nullptr));
    CloseHandle(writer);
    EXPECT_TRUE(child.WaitFor("msg to the child"));
    child.CloseInput();
    EXPECT_TRUE(child.WaitFor("end"));
    EXPECT_EQ(child.Wait(), 0);
}

TEST(MailslotProcessTest, TheNameIsFreeOnceItsHolderDies) {
    LineProcess child({MAILSLOT_PROBE, "listen", "Mortal"});
    ASSERT_TRUE(child.WaitFor("ready"));
    EXPECT_EQ(CreateMailslotA(LocalPath("Mortal").c_str(), 0, 0, nullptr), INVALID_HANDLE_VALUE);
    child.Kill();
    const HANDLE slot = CreateMailslotA(LocalPath("Mortal").c_str(), 0, 0, nullptr);
    EXPECT_NE(slot, INVALID_HANDLE_VALUE) << GetLastError();
    CloseHandle(slot);
}

TEST(MailslotProcessTest, ABurstFromAnotherProcessIsAllThereAfterwards) {
    constexpr DWORD kBurst = 10000;
    const HANDLE slot = CreateMailslotA(LocalPath("ProcessBurst").c_str(), 0, 0, nullptr);
    ASSERT_NE(slot, INVALID_HANDLE_VALUE);
    LineProcess child(
        {MAILSLOT_PROBE, "write", LocalPath("ProcessBurst"), "burst %", std::to_string(kBurst)});
    ASSERT_EQ(child.Wait(std::chrono::seconds(120)), 0);
    // The writer has ended: every write it made has returned, and so is in the mailslot.
    ASSERT_EQ(Queued(slot), kBurst);
    for (DWORD i = 1; i <= kBurst; ++i) {
        ASSERT_EQ(ReadOne(slot), "burst " + std::to_string(i));
    }
    CloseHandle(slot);
}

// Root of the machine, not root of a user namespace in which other users have no ids.
bool IsRealRoot() {
    std::ifstream map("/proc/self/uid_map");
    unsigned long inside = 1, outside = 1, count = 0;
    map >> inside >> outside >> count;
    return geteuid() == 0 && inside == 0 && outside == 0 && count == 4294967295UL;
}

TEST(MailslotProcessTest, WithoutTheRightToPort138OneLineSaysSoAndLocalWritesStillArrive) {
    if (!IsRealRoot()) {
        GTEST_SKIP() << "needs root (outside a user namespace) to start a process as nobody";
    }
    LineProcess child({"/bin/sh", "-c",
                       "exec setpriv --reuid=65534 --regid=65534 --clear-groups "
                       "--inh-caps=-all --bounding-set=-all '" MAILSLOT_PROBE
                       "' listen Unprivileged 2>&1"});
    // The warning comes first: it is printed when the mailslot is created.
    const auto warning = child.ReadLine();
    ASSERT_TRUE(warning.has_value());
    EXPECT_NE(warning->find("UDP port 138"), std::string::npos) << *warning;
    EXPECT_NE(warning->find("cap_net_bind_service"), std::string::npos) << *warning;
    ASSERT_TRUE(child.WaitFor("ready"));

    const HANDLE writer = CreateFileA(LocalPath("Unprivileged").c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, 0);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, "still local", 11, &written, nullptr));
    CloseHandle(writer);
    EXPECT_TRUE(child.WaitFor("msg still local"));
    child.CloseInput();
    EXPECT_TRUE(child.WaitFor("end"));
    EXPECT_EQ(child.Wait(), 0);
    int warnings = 0;
    for (const std::string& line : child.Lines()) {
        warnings += line.find("UDP port 138") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(warnings, 1);
}

}  // namespace
