// The duplex terminal: one mailslot name, a receiving and a sending endpoint. Send frames and
// writes a payload; received datagrams are drained, filtered by the duplicate rule and reported
// once each through OnNewMessage with the datagram in MessageStream, positioned at its payload.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "component.h"
#include "list.h"
#include "memory_stream.h"
#include "message_framing.h"
#include "timeslot_client.h"
#include "timeslot_server.h"

using TNewMessageEvent =
    std::function<void(TObject* Sender, std::int32_t SenderId, std::uint16_t MsgSize)>;

class TTimeslotTerminal : public TComponent {
public:
    explicit TTimeslotTerminal(TComponent* owner);
    ~TTimeslotTerminal() override;

    const TNewMessageEvent& OnNewMessage() const { return onNewMessage_; }
    void SetOnNewMessage(TNewMessageEvent handler) { onNewMessage_ = std::move(handler); }
    std::int32_t Interval() const { return interval_; }
    void SetInterval(std::int32_t interval);
    const std::string& TimeslotName() const { return timeslotName_; }
    void SetTimeslotName(const std::string& name);
    TReceiverType Receiver() const { return receiver_; }
    void SetReceiver(TReceiverType receiver);
    const std::string& ReceiverName() const { return receiverName_; }
    void SetReceiverName(const std::string& name);

    TMemoryStream& MessageStream() { return *messageStream_; }

    // Returns the bytes written, header included.
    std::int32_t Send(const void* payload, std::uint16_t size);
    // Bound to the receiving endpoint's OnNewMessage; not for the application.
    void ReceiveMessages(TObject* Sender);

    std::uint32_t TerminalId() const { return sendHeader_.SenderId; }
    std::int32_t SendCount() const { return sendHeader_.Sequence; }
    const TMessageHeader& LastReceivedHeader() const { return lastReceived_; }
    const TList& SenderTable() const { return *senderTable_; }
    TTimeslotServer& ReceivingEndpoint() { return *server_; }
    TTimeslotClient& SendingEndpoint() { return *client_; }

private:
    std::int32_t interval_ = 250;
    std::string timeslotName_ = "TimeTerminal";
    std::unique_ptr<TMemoryStream> messageStream_;
    TReceiverType receiver_ = rcPrimaryDomain;
    std::string receiverName_;
    TNewMessageEvent onNewMessage_;
    TTimeslotServer* server_ = nullptr;
    TTimeslotClient* client_ = nullptr;
    TMessageHeader sendHeader_;
    TMessageHeader lastReceived_;
    std::unique_ptr<TList> senderTable_;
    std::unique_ptr<TMemoryStream> sendBuffer_;
};
