#include "timeslot_client.h"

#include <algorithm>
#include <cstring>

#include "kernel.h"
#include "system_text.h"

namespace {

constexpr std::size_t kMaxPathLength = 200;

}  // namespace

TTimeslotClient::TTimeslotClient(TComponent* owner) : TComponent(owner) {}

TTimeslotClient::~TTimeslotClient() {
    CloseSlot();
}

void TTimeslotClient::SetTimeslotName(const std::string& name) {
    CloseSlot();
    timeslotName_ = name;
}

void TTimeslotClient::SetReceiverName(const std::string& name) {
    CloseSlot();
    receiverName_ = name;
}

void TTimeslotClient::SetReceiver(TReceiverType receiver) {
    CloseSlot();
    receiver_ = receiver;
}

void TTimeslotClient::CloseSlot() {
    if (handle_ != 0) {
        CloseHandle(handle_);
        handle_ = 0;
    }
}

void TTimeslotClient::OpenSlot() {
    if (handle_ != 0) {
        return;
    }
    std::string path;
    switch (receiver_) {
        case rcLocalComputer:
            path = "\\\\.\\Mailslot\\" + timeslotName_;
            break;
        case rcPrimaryDomain:
            path = "\\\\*\\Mailslot\\" + timeslotName_;
            break;
        case rcDomainOrComputer:
            path = "\\\\" + receiverName_ + "\\Mailslot\\" + timeslotName_;
            break;
    }
    char name[kMaxPathLength + 1] = {};
    std::memcpy(name, path.data(), std::min(path.size(), kMaxPathLength));
    handle_ = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, 0);
    if (handle_ == INVALID_HANDLE_VALUE) {
        handle_ = 0;
        throw ETimeslotClientError(SystemText(GetLastError()));
    }
}

std::int32_t TTimeslotClient::WriteMessage(const void* data, std::int32_t count) {
    DWORD written = 0;
    OpenSlot();
    if (handle_ != 0) {
        if (!WriteFile(handle_, data, static_cast<DWORD>(count), &written, nullptr)) {
            throw ETimeslotClientError(SystemText(GetLastError()));
        }
    }
    return static_cast<std::int32_t>(written);
}
