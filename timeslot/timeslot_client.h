// The sending endpoint: writes datagrams to the mailslot of its name on this computer, on every
// computer of the primary domain, or on one named computer or domain.
#pragma once

#include <cstdint>
#include <string>

#include "component.h"
#include "exceptions.h"
#include "windows_types.h"

CORVANE_EXCEPTION_CLASS(ETimeslotClientError, Exception);

enum TReceiverType : std::uint8_t {
    rcLocalComputer = 0,
    rcPrimaryDomain = 1,
    rcDomainOrComputer = 2
};

class TTimeslotClient : public TComponent {
public:
    explicit TTimeslotClient(TComponent* owner);
    ~TTimeslotClient() override;

    const std::string& TimeslotName() const { return timeslotName_; }
    void SetTimeslotName(const std::string& name);
    const std::string& ReceiverName() const { return receiverName_; }
    void SetReceiverName(const std::string& name);
    TReceiverType Receiver() const { return receiver_; }
    void SetReceiver(TReceiverType receiver);
    HANDLE Handle() const { return handle_; }

    void OpenSlot();
    void CloseSlot();
    std::int32_t WriteMessage(const void* data, std::int32_t count);

private:
    std::string timeslotName_ = "timebox";
    std::string receiverName_;
    TReceiverType receiver_ = rcPrimaryDomain;
    HANDLE handle_ = 0;
};
