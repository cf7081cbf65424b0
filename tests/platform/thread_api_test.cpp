// SleepEx, thread ids and thread priorities.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "kernel.h"

namespace {

constexpr int kErrorReturn = 0x7FFFFFFF;
constexpr long kNoSuchThread = 0x3FFFFFF0;  // above the kernel's largest thread id

TEST(SleepExTest, SleepsAtLeastTheGivenTime) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SleepEx(120, WIN_TRUE), 0u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
}

// A child that calls SleepEx with the value is still asleep when looked at again later.
void ExpectStillAsleepInChild(DWORD milliseconds) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SleepEx(milliseconds, WIN_FALSE);
        _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, WNOHANG), 0) << "SleepEx(" << milliseconds << ") returned";
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
}

TEST(SleepExTest, InfiniteAndHugeValuesDoNotReturnEarly) {
    ExpectStillAsleepInChild(INFINITE);
    ExpectStillAsleepInChild(0xFFFFFFFEu);
    ExpectStillAsleepInChild(86400000u);
}

TEST(ThreadIdTest, IsTheKernelThreadIdAndDiffersBetweenThreads) {
    const long mine = GetCurrentThreadId();
    EXPECT_EQ(mine, static_cast<long>(gettid()));
    long other = 0;
    std::thread([&] { other = GetCurrentThreadId(); }).join();
    EXPECT_NE(other, 0);
    EXPECT_NE(other, mine);
}

TEST(ThreadPriorityTest, LoweringIsAppliedAndRecorded) {
    std::thread([] {
        const long self = GetCurrentThreadId();
        EXPECT_EQ(GetThreadPriority(self), THREAD_PRIORITY_NORMAL);
        const int before = getpriority(PRIO_PROCESS, static_cast<id_t>(self));
        ASSERT_TRUE(SetThreadPriority(self, THREAD_PRIORITY_BELOW_NORMAL));
        EXPECT_EQ(GetThreadPriority(self), THREAD_PRIORITY_BELOW_NORMAL);
        EXPECT_GT(getpriority(PRIO_PROCESS, static_cast<id_t>(self)), before);
        ASSERT_TRUE(SetThreadPriority(self, THREAD_PRIORITY_IDLE));
        EXPECT_EQ(GetThreadPriority(self), THREAD_PRIORITY_IDLE);
        EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(self)), 19);
    }).join();
}

TEST(ThreadPriorityTest, AFailedRaiseKeepsTheRecordedPriority) {
    std::thread([] {
        const long self = GetCurrentThreadId();
        ASSERT_TRUE(SetThreadPriority(self, THREAD_PRIORITY_LOWEST));
        // Whether raising is allowed depends on the process's rights; either way the record
        // must match what the thread really runs at.
        const BOOL raised = SetThreadPriority(self, THREAD_PRIORITY_TIME_CRITICAL);
        EXPECT_EQ(GetThreadPriority(self),
                  raised ? THREAD_PRIORITY_TIME_CRITICAL : THREAD_PRIORITY_LOWEST);
    }).join();
}

TEST(ThreadPriorityTest, RefusesUnknownValuesAndThreads) {
    const long self = GetCurrentThreadId();
    for (int value : {3, -3, 14, -16, 100}) {
        SetLastError(0);
        EXPECT_FALSE(SetThreadPriority(self, value)) << value;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << value;
    }
    SetLastError(0);
    EXPECT_FALSE(SetThreadPriority(kNoSuchThread, THREAD_PRIORITY_LOWEST));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    SetLastError(0);
    EXPECT_EQ(GetThreadPriority(kNoSuchThread), kErrorReturn);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(ThreadPriorityTest, AnEndedThreadIsNoLongerKnown) {
    long ended = 0;
    std::thread([&] {
        ended = GetCurrentThreadId();
        SetThreadPriority(ended, THREAD_PRIORITY_IDLE);
    }).join();
    SetLastError(0);
    EXPECT_EQ(GetThreadPriority(ended), kErrorReturn);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
