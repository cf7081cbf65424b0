// Last error per thread, the system texts of FormatMessageA, and errno translation.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include "kernel.h"
#include "win_error_map.h"

namespace {

constexpr DWORD kSystemFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY;

struct ExpectedText {
    DWORD code;
    const char* text;
};

// Every code this layer reports, with the English system text.
constexpr ExpectedText kTexts[] = {
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {4, "The system cannot open the file."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough memory resources are available to process this command."},
    {17, "The system cannot move the file to a different disk drive."},
    {31, "A device attached to the system is not functioning."},
    {32, "The process cannot access the file because it is being used by another process."},
    {50, "The request is not supported."},
    {53, "The network path was not found."},
    {59, "An unexpected network error occurred."},
    {67, "The network name cannot be found."},
    {87, "The parameter is incorrect."},
    {111, "The file name is too long."},
    {112, "There is not enough space on the disk."},
    {121, "The semaphore timeout period has expired."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {145, "The directory is not empty."},
    {161, "The specified path is invalid."},
    {183, "Cannot create a file when that file already exists."},
    {206, "The filename or extension is too long."},
    {223, "The file size exceeds the limit allowed and cannot be saved."},
    {998, "Invalid access to memory location."},
    {1117, "The request could not be performed because of an I/O device error."},
    {1314, "A required privilege is not held by the client."},
    {1450, "Insufficient system resources exist to complete the requested service."},
    {1460, "This operation returned because the timeout period expired."},
    {1815, "The specified resource language ID cannot be found in the image file."},
    {1921, "The name of the file cannot be resolved by the system."},
};

std::string Format(DWORD code, DWORD flags = kSystemFlags, DWORD language = 0, DWORD size = 256) {
    std::string buffer(size, '#');
    const DWORD length =
        FormatMessageA(flags, nullptr, code, language, buffer.data(), size, nullptr);
    return buffer.substr(0, length);
}

TEST(FormatMessageTest, GivesTheEnglishTextWithLineEndForEveryCode) {
    for (const ExpectedText& expected : kTexts) {
        EXPECT_EQ(Format(expected.code), std::string(expected.text) + "\r\n") << expected.code;
    }
}

TEST(FormatMessageTest, StoresTheTerminatingNulAndCountsWithoutIt) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    const DWORD length = FormatMessageA(kSystemFlags, nullptr, ERROR_ACCESS_DENIED, 0, buffer,
                                        sizeof buffer, nullptr);
    EXPECT_EQ(length, 19u);
    EXPECT_STREQ(buffer, "Access is denied.\r\n");
}

TEST(FormatMessageTest, AWidthLimitLeavesTheLineEndOff) {
    EXPECT_EQ(Format(ERROR_ACCESS_DENIED, FORMAT_MESSAGE_FROM_SYSTEM | 0xFF), "Access is denied.");
}

TEST(FormatMessageTest, FailsWithItsReasonAndLeavesNoText) {
    struct Case {
        const char* what;
        DWORD code;
        DWORD flags;
        DWORD language;
        DWORD size;
        DWORD error;
    };
    const Case cases[] = {
        {"unknown code", 4242, kSystemFlags, 0, 256, 317},
        {"buffer one short of the NUL", ERROR_ACCESS_DENIED, kSystemFlags, 0, 19, 122},
        {"not from the system", ERROR_ACCESS_DENIED, FORMAT_MESSAGE_IGNORE_INSERTS, 0, 256, 87},
        {"German", ERROR_ACCESS_DENIED, kSystemFlags, 0x0407, 256, 1815},
        {"text with inserts", 317, kSystemFlags, 0, 256, 87},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        char buffer[256] = "untouched";
        EXPECT_EQ(FormatMessageA(c.flags, nullptr, c.code, c.language, buffer, c.size, nullptr), 0u)
            << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
}

TEST(FormatMessageTest, EnglishLanguagesAndIgnoredInsertsAreServed) {
    EXPECT_EQ(Format(ERROR_ACCESS_DENIED, kSystemFlags, 0x0409), "Access is denied.\r\n");
    EXPECT_EQ(Format(ERROR_ACCESS_DENIED, kSystemFlags, 0x0809), "Access is denied.\r\n");
    EXPECT_EQ(Format(317, FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS),
              "The system cannot find message text for message number 0x%1 in the message file "
              "for %2.\r\n");
}

TEST(LastErrorTest, BelongsToTheCallingThread) {
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seenByOther = 0xDEAD;
    std::thread other([&] {
        seenByOther = GetLastError();
        SetLastError(ERROR_BAD_NETPATH);
    });
    other.join();
    EXPECT_EQ(seenByOther, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(WindowsErrorFromErrnoTest, MapsFileAndSystemErrors) {
    const std::pair<int, DWORD> cases[] = {
        {0, 0},          {ENOENT, 2},       {ENOTDIR, 3},     {EMFILE, 4},      {ENFILE, 4},
        {EACCES, 5},     {EPERM, 5},        {EROFS, 5},       {EISDIR, 5},      {EBADF, 6},
        {ENOMEM, 8},     {ENOSPC, 112},     {EDQUOT, 112},    {EEXIST, 183},    {ENAMETOOLONG, 206},
        {EINVAL, 87},    {EBUSY, 32},       {EXDEV, 17},      {ENOTEMPTY, 145}, {EFBIG, 223},
        {EIO, 1117},     {EFAULT, 998},     {ELOOP, 1921},    {ENOSYS, 50},     {ETIMEDOUT, 1460},
        {ENOBUFS, 1450}, {ENETUNREACH, 53}, {ECONNRESET, 59}, {EPROTO, 31},
    };
    for (const auto& [err, code] : cases) {
        EXPECT_EQ(WindowsErrorFromErrno(err), code) << "errno " << err;
    }
}

TEST(WindowsErrorFromErrnoTest, EveryMappedCodeHasASystemText) {
    for (int err = 0; err < 134; ++err) {
        const DWORD code = WindowsErrorFromErrno(err);
        EXPECT_FALSE(Format(code).empty()) << "errno " << err << " -> " << code;
    }
}

}  // namespace
