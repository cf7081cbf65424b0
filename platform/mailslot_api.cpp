// The mailslot and handle calls: CreateMailslotA, GetMailslotInfo, SetMailslotInfo, CreateFileA,
// ReadFile, WriteFile and CloseHandle.
#include <memory>

#include "handle_table.h"
#include "held_mailslot.h"
#include "kernel.h"
#include "mailslot_client.h"
#include "mailslot_path.h"
#include "mailslot_receiver.h"

namespace corvane::kernel {

namespace {

// The reading end: the mailslot this process holds.
class MailslotServer : public KernelObject {
public:
    explicit MailslotServer(std::shared_ptr<HeldMailslot> slot) : slot_(std::move(slot)) {}
    // The mailslot with every local write that has returned so far in its queue.
    HeldMailslot& Slot() {
        MailslotReceiver::Instance().Collect(slot_);
        return *slot_;
    }
    HeldMailslot& SlotAsItIs() { return *slot_; }
    void Close() override { MailslotReceiver::Instance().Release(slot_); }

private:
    std::shared_ptr<HeldMailslot> slot_;
};

HANDLE FailHandle(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return WIN_FALSE;
}

BOOL Result(DWORD error) {
    return error == ERROR_SUCCESS ? WIN_TRUE : Fail(error);
}

HANDLE Register(const std::shared_ptr<KernelObject>& object) {
    const HANDLE handle = HandleTable::Instance().Insert(object);
    if (handle == 0) {
        object->Close();
        return FailHandle(ERROR_TOO_MANY_OPEN_FILES);
    }
    return handle;
}

}  // namespace

}  // namespace corvane::kernel

using corvane::kernel::HandleTable;
using corvane::kernel::MailslotClient;
using corvane::kernel::MailslotServer;

HANDLE CreateMailslotA(const char* lpName, DWORD nMaxMessageSize, DWORD lReadTimeout,
                       const SECURITY_ATTRIBUTES* /*lpSecurityAttributes*/) {
    const corvane::kernel::MailslotPathParse parsed = corvane::kernel::ParseMailslotPath(lpName);
    if (parsed.error != ERROR_SUCCESS) {
        return corvane::kernel::FailHandle(parsed.error);
    }
    // Only this computer's mailslots can be created.
    if (parsed.path.scope != corvane::kernel::MailslotScope::local) {
        return corvane::kernel::FailHandle(ERROR_INVALID_NAME);
    }
    std::shared_ptr<corvane::kernel::HeldMailslot> slot;
    const DWORD held = corvane::kernel::MailslotReceiver::Instance().Hold(
        corvane::kernel::MailslotKey(parsed.path.name), nMaxMessageSize, lReadTimeout, slot);
    if (held != ERROR_SUCCESS) {
        return corvane::kernel::FailHandle(held);
    }
    return corvane::kernel::Register(std::make_shared<MailslotServer>(std::move(slot)));
}

BOOL GetMailslotInfo(HANDLE hMailslot, DWORD* lpMaxMessageSize, DWORD* lpNextSize,
                     DWORD* lpMessageCount, DWORD* lpReadTimeout) {
    const auto object = HandleTable::Instance().Find(hMailslot);
    if (object == nullptr) {
        return corvane::kernel::Fail(ERROR_INVALID_HANDLE);
    }
    auto* server = dynamic_cast<MailslotServer*>(object.get());
    if (server == nullptr) {
        return corvane::kernel::Fail(ERROR_INVALID_PARAMETER);
    }
    server->Slot().Info(lpMaxMessageSize, lpNextSize, lpMessageCount, lpReadTimeout);
    return WIN_TRUE;
}

BOOL SetMailslotInfo(HANDLE hMailslot, DWORD lReadTimeout) {
    const auto object = HandleTable::Instance().Find(hMailslot);
    if (object == nullptr) {
        return corvane::kernel::Fail(ERROR_INVALID_HANDLE);
    }
    auto* server = dynamic_cast<MailslotServer*>(object.get());
    if (server == nullptr) {
        return corvane::kernel::Fail(ERROR_INVALID_PARAMETER);
    }
    server->SlotAsItIs().SetReadTimeout(lReadTimeout);
    return WIN_TRUE;
}

HANDLE CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD /*dwShareMode*/,
                   const SECURITY_ATTRIBUTES* /*lpSecurityAttributes*/, DWORD dwCreationDisposition,
                   DWORD /*dwFlagsAndAttributes*/, HANDLE /*hTemplateFile*/) {
    const corvane::kernel::MailslotPathParse parsed =
        corvane::kernel::ParseMailslotPath(lpFileName);
    if (parsed.error != ERROR_SUCCESS) {
        return corvane::kernel::FailHandle(parsed.error);
    }
    // The writing end of a mailslot exists only as long as its mailslot: it can only be opened.
    if (dwCreationDisposition != OPEN_EXISTING) {
        return corvane::kernel::FailHandle(ERROR_INVALID_PARAMETER);
    }
    auto client = std::make_shared<MailslotClient>(parsed.path, dwDesiredAccess);
    const DWORD opened = client->Open();
    if (opened != ERROR_SUCCESS) {
        return corvane::kernel::FailHandle(opened);
    }
    return corvane::kernel::Register(client);
}

BOOL ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
              void* lpOverlapped) {
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = 0;
    }
    const auto object = HandleTable::Instance().Find(hFile);
    if (object == nullptr) {
        return corvane::kernel::Fail(ERROR_INVALID_HANDLE);
    }
    // Overlapped reads are not implemented.
    if (lpOverlapped != nullptr) {
        return corvane::kernel::Fail(ERROR_INVALID_PARAMETER);
    }
    auto* server = dynamic_cast<MailslotServer*>(object.get());
    if (server == nullptr) {
        return corvane::kernel::Fail(ERROR_ACCESS_DENIED);
    }
    DWORD bytesRead = 0;
    const DWORD error = server->Slot().Read(lpBuffer, nNumberOfBytesToRead, bytesRead);
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = bytesRead;
    }
    return corvane::kernel::Result(error);
}

BOOL WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
               DWORD* lpNumberOfBytesWritten, void* lpOverlapped) {
    if (lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = 0;
    }
    const auto object = HandleTable::Instance().Find(hFile);
    if (object == nullptr) {
        return corvane::kernel::Fail(ERROR_INVALID_HANDLE);
    }
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToWrite != 0)) {
        return corvane::kernel::Fail(ERROR_INVALID_PARAMETER);
    }
    auto* client = dynamic_cast<MailslotClient*>(object.get());
    if (client == nullptr || !client->CanWrite()) {
        return corvane::kernel::Fail(ERROR_ACCESS_DENIED);
    }
    const DWORD error = client->Write(lpBuffer, nNumberOfBytesToWrite);
    if (error == ERROR_SUCCESS && lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
    }
    return corvane::kernel::Result(error);
}

BOOL CloseHandle(HANDLE hObject) {
    const auto object = HandleTable::Instance().Remove(hObject);
    if (object == nullptr) {
        return corvane::kernel::Fail(ERROR_INVALID_HANDLE);
    }
    object->Close();
    return WIN_TRUE;
}
