#include "endpoint_fixture.h"

#include <gtest/gtest.h>

#include "kernel.h"
#include "message_framing.h"

LocalWriter::LocalWriter(const std::string& slotName) {
    const std::string path = "\\\\.\\Mailslot\\" + slotName;
    handle_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, 0);
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << "open " << path << ": " << GetLastError();
}

LocalWriter::~LocalWriter() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_);
    }
}

void LocalWriter::Write(const std::vector<std::uint8_t>& bytes) {
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        << GetLastError();
    ASSERT_EQ(written, bytes.size());
}

void LocalWriter::WriteFramed(std::uint32_t senderId, std::int32_t sequence,
                              const std::string& payload) {
    Write(Framed(senderId, sequence, payload));
}

std::vector<std::uint8_t> Framed(std::uint32_t senderId, std::int32_t sequence,
                                 const std::string& payload) {
    TMemoryStream stream;
    FrameDatagram(stream, {senderId, sequence}, payload.data(),
                  static_cast<std::uint16_t>(payload.size()));
    return std::vector<std::uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}
