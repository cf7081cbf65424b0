// The mailslot calls within one process: creation, names, reads, writes, time-outs, handles.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "computer_name.h"
#include "kernel.h"
#include "network_sender.h"

namespace {

constexpr DWORD kDontWait = 0;

std::string LocalPath(const std::string& name) {
    return "\\\\.\\mailslot\\" + name;
}

HANDLE OpenForWriting(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, 0);
}

// A mailslot with a writer to it; both closed at the end.
class MailslotTest : public ::testing::Test {
protected:
    void Hold(const std::string& name, DWORD maxSize = 0, DWORD timeout = kDontWait) {
        slot_ = CreateMailslotA(LocalPath(name).c_str(), maxSize, timeout, nullptr);
        ASSERT_NE(slot_, INVALID_HANDLE_VALUE) << GetLastError();
        writer_ = OpenForWriting(LocalPath(name));
        ASSERT_NE(writer_, INVALID_HANDLE_VALUE) << GetLastError();
    }

    void TearDown() override {
        if (writer_ != INVALID_HANDLE_VALUE) {
            CloseHandle(writer_);
        }
        if (slot_ != INVALID_HANDLE_VALUE) {
            CloseHandle(slot_);
        }
    }

    static void Write(HANDLE to, const std::string& text) {
        DWORD written = 0xDEAD;
        ASSERT_TRUE(WriteFile(to, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
            << GetLastError();
        EXPECT_EQ(written, text.size());
    }

    // A local write that has returned is in the mailslot at once, as on Windows.
    void ExpectQueued(DWORD count) {
        DWORD queued = 0;
        ASSERT_TRUE(GetMailslotInfo(slot_, nullptr, nullptr, &queued, nullptr));
        ASSERT_EQ(queued, count);
    }

    std::string Read(DWORD bufferSize = 1024) {
        std::string buffer(bufferSize, '\0');
        DWORD got = 0xDEAD;
        EXPECT_TRUE(ReadFile(slot_, buffer.data(), bufferSize, &got, nullptr)) << GetLastError();
        return buffer.substr(0, got);
    }

    HANDLE slot_ = INVALID_HANDLE_VALUE;
    HANDLE writer_ = INVALID_HANDLE_VALUE;
};

TEST_F(MailslotTest, NamesAndTheKeywordMatchInAnyLetterCase) {
    Hold("CaseTest");
    const HANDLE other = OpenForWriting("\\\\.\\MAILSLOT\\casetest");
    ASSERT_NE(other, INVALID_HANDLE_VALUE) << GetLastError();
    Write(other, "upper");
    CloseHandle(other);
    ExpectQueued(1);
    EXPECT_EQ(Read(), "upper");

    SetLastError(0);
    EXPECT_EQ(CreateMailslotA("\\\\.\\MailSlot\\CASETEST", 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
}

TEST_F(MailslotTest, ANameIsFreeAgainOnceItsHolderClosesIt) {
    for (int round = 0; round < 20; ++round) {
        const HANDLE first = CreateMailslotA(LocalPath("Reuse").c_str(), 0, 0, nullptr);
        ASSERT_NE(first, INVALID_HANDLE_VALUE) << round << ": " << GetLastError();
        // Another held name keeps the receiver thread running through the close.
        const HANDLE keep = CreateMailslotA(LocalPath("Keep").c_str(), 0, 0, nullptr);
        ASSERT_NE(keep, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(CloseHandle(first));
        const HANDLE second = CreateMailslotA(LocalPath("Reuse").c_str(), 0, 0, nullptr);
        ASSERT_NE(second, INVALID_HANDLE_VALUE) << round << ": " << GetLastError();
        CloseHandle(second);
        CloseHandle(keep);
    }
}

TEST_F(MailslotTest, AnEmptyMailslotReportsNoMessageAndItsSettings) {
    slot_ = CreateMailslotA(LocalPath("Settings").c_str(), MAILSLOT_WAIT_FOREVER,
                            MAILSLOT_WAIT_FOREVER, nullptr);
    ASSERT_NE(slot_, INVALID_HANDLE_VALUE);
    DWORD max = 0, next = 0, count = 7, timeout = 0;
    ASSERT_TRUE(GetMailslotInfo(slot_, &max, &next, &count, &timeout));
    EXPECT_EQ(max, 0xFFFFFFFFu);
    EXPECT_EQ(next, MAILSLOT_NO_MESSAGE);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(timeout, MAILSLOT_WAIT_FOREVER);
    EXPECT_TRUE(GetMailslotInfo(slot_, nullptr, nullptr, nullptr, nullptr));

    ASSERT_TRUE(SetMailslotInfo(slot_, 250));
    ASSERT_TRUE(GetMailslotInfo(slot_, nullptr, nullptr, nullptr, &timeout));
    EXPECT_EQ(timeout, 250u);
}

TEST_F(MailslotTest, AReadWithoutTimeOutFailsAtOnceOnAnEmptyMailslot) {
    Hold("NoWait");
    for (DWORD size : {DWORD{0}, DWORD{64}}) {
        char buffer[64];
        DWORD got = 0xDEAD;
        SetLastError(0);
        EXPECT_FALSE(ReadFile(slot_, buffer, size, &got, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
        EXPECT_EQ(got, 0u);
    }
}

TEST_F(MailslotTest, AFiniteTimeOutWaitsThatLongThenFails) {
    Hold("Finite", 0, 400);
    char buffer[16];
    DWORD got = 0xDEAD;
    const auto start = std::chrono::steady_clock::now();
    SetLastError(0);
    EXPECT_FALSE(ReadFile(slot_, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(350));
    EXPECT_EQ(got, 0u);
}

TEST_F(MailslotTest, SetMailslotInfoChangesTheTimeOutOfLaterReads) {
    Hold("Changed", 0, MAILSLOT_WAIT_FOREVER);
    ASSERT_TRUE(SetMailslotInfo(slot_, kDontWait));
    char buffer[16];
    DWORD got = 0;
    SetLastError(0);
    EXPECT_FALSE(ReadFile(slot_, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
}

TEST_F(MailslotTest, WaitForeverReturnsWithAMessageWrittenByAnotherThread) {
    Hold("Forever", 0, MAILSLOT_WAIT_FOREVER);
    std::atomic<bool> written{false};
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        written = true;
        Write(writer_, "late");
    });
    const std::string message = Read();
    EXPECT_TRUE(written.load()) << "the read returned before anything was written";
    EXPECT_EQ(message, "late");
    writer.join();
}

TEST_F(MailslotTest, ClosingTheMailslotEndsAWaitingRead) {
    const HANDLE slot =
        CreateMailslotA(LocalPath("Closing").c_str(), 0, MAILSLOT_WAIT_FOREVER, nullptr);
    ASSERT_NE(slot, INVALID_HANDLE_VALUE);
    std::atomic<DWORD> error{0};
    std::atomic<BOOL> result{WIN_TRUE};
    std::thread reader([&] {
        char buffer[16];
        DWORD got = 0;
        result = ReadFile(slot, buffer, sizeof buffer, &got, nullptr);
        error = GetLastError();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(CloseHandle(slot));
    reader.join();
    EXPECT_FALSE(result.load());
    EXPECT_EQ(error.load(), ERROR_INVALID_HANDLE);
}

TEST_F(MailslotTest, AReturnedWriteIsCountedAtOnce) {
    Hold("AtOnce");
    for (DWORD i = 1; i <= 40; ++i) {
        Write(writer_, "n");
        ExpectQueued(i);
    }
}

TEST_F(MailslotTest, ASmallBufferFailsAndLeavesTheMessage) {
    Hold("Small");
    Write(writer_, "0123456789");
    ExpectQueued(1);
    char buffer[4] = {'#', '#', '#', '#'};
    DWORD got = 0xDEAD;
    SetLastError(0);
    EXPECT_FALSE(ReadFile(slot_, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(got, 0u);
    DWORD next = 0, count = 0;
    ASSERT_TRUE(GetMailslotInfo(slot_, nullptr, &next, &count, nullptr));
    EXPECT_EQ(next, 10u);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(Read(10), "0123456789");
}

TEST_F(MailslotTest, MessagesComeInOrderWholeAndEmptyOnesCount) {
    Hold("Order");
    const std::vector<std::string> sent = {std::string(10, 'a'), "bcd", "", std::string(21, 'e'),
                                           std::string(60000, 'f')};
    for (const std::string& message : sent) {
        Write(writer_, message);
    }
    ExpectQueued(static_cast<DWORD>(sent.size()));
    for (const std::string& expected : sent) {
        DWORD next = 0;
        ASSERT_TRUE(GetMailslotInfo(slot_, nullptr, &next, nullptr, nullptr));
        EXPECT_EQ(next, expected.size());
        EXPECT_EQ(Read(65536), expected);
    }
    DWORD next = 0;
    ASSERT_TRUE(GetMailslotInfo(slot_, nullptr, &next, nullptr, nullptr));
    EXPECT_EQ(next, MAILSLOT_NO_MESSAGE);
}

TEST_F(MailslotTest, AZeroByteReadTakesAnEmptyMessage) {
    Hold("Empty");
    Write(writer_, "");
    ExpectQueued(1);
    DWORD got = 0xDEAD;
    EXPECT_TRUE(ReadFile(slot_, nullptr, 0, &got, nullptr));
    EXPECT_EQ(got, 0u);
}

TEST_F(MailslotTest, AWriteLargerThanTheMaximumFailsAndQueuesNothing) {
    Hold("Limited", 8);
    DWORD written = 0xDEAD;
    SetLastError(0);
    EXPECT_FALSE(WriteFile(writer_, "123456789", 9, &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(written, 0u);
    Write(writer_, "12345678");
    ExpectQueued(1);
    EXPECT_EQ(Read(), "12345678");
}

TEST_F(MailslotTest, AWriterFollowsTheNameToANewHolder) {
    Hold("Successor");
    ASSERT_TRUE(CloseHandle(slot_));
    slot_ = CreateMailslotA(LocalPath("Successor").c_str(), 0, 0, nullptr);
    ASSERT_NE(slot_, INVALID_HANDLE_VALUE);
    Write(writer_, "to the new one");
    ExpectQueued(1);
    EXPECT_EQ(Read(), "to the new one");
}

TEST_F(MailslotTest, AWriteAfterTheHolderHasGoneFailsWithFileNotFound) {
    Hold("Gone");
    ASSERT_TRUE(CloseHandle(slot_));
    slot_ = INVALID_HANDLE_VALUE;
    DWORD written = 0xDEAD;
    SetLastError(0);
    EXPECT_FALSE(WriteFile(writer_, "x", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(MailslotTest, ABurstWhileTheReaderIsAwayIsAllThereAfterwards) {
    Hold("Burst");
    constexpr int kBurst = 10000;
    std::thread writer([&] {
        for (int i = 0; i < kBurst; ++i) {
            const std::string message = "datagram " + std::to_string(i);
            Write(writer_, message);
        }
    });
    writer.join();
    ExpectQueued(kBurst);
    for (int i = 0; i < kBurst; ++i) {
        ASSERT_EQ(Read(), "datagram " + std::to_string(i));
    }
}

TEST(MailslotHandleTest, HandlesAreSmallDistinctAndNeverTheReservedValues) {
    std::vector<HANDLE> handles;
    for (int i = 0; i < 50; ++i) {
        const HANDLE h = CreateMailslotA(LocalPath("H" + std::to_string(i)).c_str(), 0, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_NE(h, 0u);
        EXPECT_LT(h, 0x01000000u);
        for (HANDLE earlier : handles) {
            EXPECT_NE(h, earlier);
        }
        handles.push_back(h);
    }
    for (HANDLE h : handles) {
        EXPECT_TRUE(CloseHandle(h));
    }
}

TEST(MailslotHandleTest, NoneInvalidAndClosedHandlesFailWithInvalidHandle) {
    const HANDLE closed = CreateMailslotA(LocalPath("Closed").c_str(), 0, 0, nullptr);
    ASSERT_NE(closed, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CloseHandle(closed));
    for (HANDLE h : {HANDLE{0}, INVALID_HANDLE_VALUE, closed, HANDLE{0x123458}}) {
        char buffer[8];
        DWORD count = 0xDEAD;
        SetLastError(0);
        EXPECT_FALSE(ReadFile(h, buffer, sizeof buffer, &count, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_EQ(count, 0u);
        count = 0xDEAD;
        SetLastError(0);
        EXPECT_FALSE(WriteFile(h, "x", 1, &count, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_EQ(count, 0u);
        SetLastError(0);
        EXPECT_FALSE(GetMailslotInfo(h, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(0);
        EXPECT_FALSE(SetMailslotInfo(h, 0));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(h));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

TEST(MailslotHandleTest, EachEndRefusesTheOtherEndsOperations) {
    const HANDLE slot = CreateMailslotA(LocalPath("Ends").c_str(), 0, 0, nullptr);
    ASSERT_NE(slot, INVALID_HANDLE_VALUE);
    const HANDLE writer = OpenForWriting(LocalPath("Ends"));
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const HANDLE readOnly = CreateFileA(LocalPath("Ends").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
    char buffer[8];
    DWORD count = 0;
    SetLastError(0);
    EXPECT_FALSE(WriteFile(slot, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    SetLastError(0);
    EXPECT_FALSE(WriteFile(readOnly, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    SetLastError(0);
    EXPECT_FALSE(ReadFile(writer, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    SetLastError(0);
    EXPECT_FALSE(GetMailslotInfo(writer, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    for (HANDLE h : {slot, writer, readOnly}) {
        EXPECT_TRUE(CloseHandle(h));
    }
}

TEST(MailslotPathTest, BadPathsFailWithTheirCodes) {
    struct Case {
        const char* path;
        DWORD create;  // CreateMailslotA
        DWORD open;    // CreateFileA
    };
    const std::string longName = "\\\\.\\mailslot\\" + std::string(247, 'n');
    const Case cases[] = {
        {nullptr, ERROR_PATH_NOT_FOUND, ERROR_PATH_NOT_FOUND},
        {"blah", ERROR_INVALID_NAME, ERROR_INVALID_NAME},
        {"C:\\corvane\\Velnaro.inf", ERROR_INVALID_NAME, ERROR_INVALID_NAME},
        {"\\\\.\\pipe\\x", ERROR_INVALID_NAME, ERROR_INVALID_NAME},
        {"\\\\.\\mailslots\\x", ERROR_INVALID_NAME, ERROR_INVALID_NAME},
        {"\\\\.\\mailslot", ERROR_INVALID_NAME, ERROR_INVALID_NAME},
        {"\\\\.\\mailslot\\", ERROR_INVALID_NAME, ERROR_INVALID_NAME},
        {"\\\\.\\mailslot\\a\\\\b", ERROR_INVALID_NAME, ERROR_INVALID_NAME},
        {"\\\\.\\mailslot\\..\\x", ERROR_INVALID_NAME, ERROR_INVALID_NAME},
        {"\\\\\\Mailslot\\x", ERROR_BAD_NETPATH, ERROR_BAD_NETPATH},
        {"\\\\SIXTEENCHARSNAME\\mailslot\\x", ERROR_BAD_NETPATH, ERROR_BAD_NETPATH},
        {"\\\\host.example\\mailslot\\x", ERROR_BAD_NETPATH, ERROR_BAD_NETPATH},
        {"\\\\*\\mailslot\\x", ERROR_INVALID_NAME, ERROR_SUCCESS},
        {"\\\\OTHERPC\\mailslot\\x", ERROR_INVALID_NAME, ERROR_SUCCESS},
        {"\\\\.\\mailslot\\nobody-holds-this", ERROR_SUCCESS, ERROR_FILE_NOT_FOUND},
        {longName.c_str(), ERROR_FILENAME_EXCED_RANGE, ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Case& c : cases) {
        const std::string what = c.path == nullptr ? "NULL" : c.path;
        SetLastError(0);
        const HANDLE created = CreateMailslotA(c.path, 0, 0, nullptr);
        if (c.create == ERROR_SUCCESS) {
            EXPECT_NE(created, INVALID_HANDLE_VALUE) << what;
            CloseHandle(created);
        } else {
            EXPECT_EQ(created, INVALID_HANDLE_VALUE) << what;
            EXPECT_EQ(GetLastError(), c.create) << what;
        }
        SetLastError(0);
        const HANDLE opened = CreateFileA(c.path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
        if (c.open == ERROR_SUCCESS) {
            EXPECT_NE(opened, INVALID_HANDLE_VALUE) << what;
            CloseHandle(opened);
        } else {
            EXPECT_EQ(opened, INVALID_HANDLE_VALUE) << what;
            EXPECT_EQ(GetLastError(), c.open) << what;
        }
    }
}

TEST(MailslotPathTest, SlashesCountAsBackslashes) {
    const HANDLE slot = CreateMailslotA("//./mailslot/slashed", 0, 0, nullptr);
    ASSERT_NE(slot, INVALID_HANDLE_VALUE);
    const HANDLE writer = OpenForWriting("\\\\.\\mailslot\\SLASHED");
    EXPECT_NE(writer, INVALID_HANDLE_VALUE);
    CloseHandle(writer);
    CloseHandle(slot);
}

TEST(MailslotPathTest, OnlyOpeningAnExistingMailslotIsAllowed) {
    const HANDLE slot = CreateMailslotA(LocalPath("Disposition").c_str(), 0, 0, nullptr);
    ASSERT_NE(slot, INVALID_HANDLE_VALUE);
    for (DWORD disposition : {CREATE_NEW, CREATE_ALWAYS, OPEN_ALWAYS}) {
        SetLastError(0);
        EXPECT_EQ(CreateFileA(LocalPath("Disposition").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, disposition, FILE_ATTRIBUTE_NORMAL, 0),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    CloseHandle(slot);
}

// Writes to the domain or to a computer, on a computer with no broadcast interface: nothing
// leaves it, and this computer's own holder gets its copy once.
class LoneComputerTest : public MailslotTest {
protected:
    void SetUp() override {
        if (!corvane::kernel::BroadcastTargets().empty()) {
            GTEST_SKIP() << "this computer has broadcast interfaces: these tests must run in a "
                            "network namespace of their own (tests/isolation/run-isolated)";
        }
    }
};

std::string ThisComputer() {
    char name[16] = {};
    DWORD size = sizeof name;
    GetComputerNameA(name, &size);
    return name;
}

TEST_F(LoneComputerTest, DomainAndOwnNameWritesArriveOnceAndOthersNot) {
    Hold("Lone");
    const std::string paths[] = {
        "\\\\*\\mailslot\\Lone",
        "\\\\" + corvane::kernel::PrimaryDomainName() + "\\mailslot\\LONE",
        "\\\\" + ThisComputer() + "\\mailslot\\lone",
        "\\\\OTHERPC\\mailslot\\Lone",
    };
    for (const std::string& path : paths) {
        const HANDLE h = OpenForWriting(path);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << path << ": " << GetLastError();
        Write(h, path);
        CloseHandle(h);
    }
    Write(writer_, "marker");
    ExpectQueued(4);
    EXPECT_EQ(Read(), paths[0]);
    EXPECT_EQ(Read(), paths[1]);
    EXPECT_EQ(Read(), paths[2]);
    EXPECT_EQ(Read(), "marker");
}

TEST_F(LoneComputerTest, NetworkWritesSucceedWithNobodyListening) {
    const HANDLE h = OpenForWriting("\\\\*\\mailslot\\NobodyListens");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    Write(h, "into the void");
    CloseHandle(h);
}

TEST_F(LoneComputerTest, NetworkWritesAreLimitedToWhatOneDatagramCarries) {
    struct Case {
        const char* path;
        std::size_t size;
        DWORD error;
    };
    const Case cases[] = {
        {"\\\\*\\mailslot\\12345678", 424, ERROR_SUCCESS},
        {"\\\\*\\mailslot\\12345678", 425, ERROR_BAD_NETPATH},
        {"\\\\*\\mailslot\\TimeTerminal", 420, ERROR_SUCCESS},
        {"\\\\*\\mailslot\\TimeTerminal", 421, ERROR_BAD_NETPATH},
        {"\\\\OTHERPC\\mailslot\\x", 424, ERROR_SUCCESS},
        {"\\\\OTHERPC\\mailslot\\x", 425, ERROR_BAD_NETPATH},
        {"\\\\OTHERPC\\mailslot\\x", 70000, ERROR_BAD_NETPATH},
    };
    for (const Case& c : cases) {
        const HANDLE h = OpenForWriting(c.path);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        const std::string data(c.size, 'd');
        DWORD written = 0xDEAD;
        SetLastError(0);
        const BOOL ok =
            WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
        EXPECT_EQ(ok != 0, c.error == ERROR_SUCCESS) << c.path << " " << c.size;
        if (c.error != ERROR_SUCCESS) {
            EXPECT_EQ(GetLastError(), c.error) << c.path << " " << c.size;
            EXPECT_EQ(written, 0u);
        }
        CloseHandle(h);
    }
}

}  // namespace
