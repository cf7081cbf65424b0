#include "timeslot_terminal.h"

#include "sender_table.h"
#include "terminal_identity.h"

TTimeslotTerminal::TTimeslotTerminal(TComponent* owner) : TComponent(owner) {
    sendHeader_.SenderId = TerminalIdOf(CurrentIdentityRecord());
    sendHeader_.Sequence = 0;
    sendBuffer_ = std::make_unique<TMemoryStream>();
    senderTable_ = std::make_unique<TList>();
    messageStream_ = std::make_unique<TMemoryStream>();

    // The endpoints are owned components: when a step below fails, the component base frees
    // whatever was made, and the receiving endpoint tells its thread to stop.
    server_ = new TTimeslotServer(this);
    server_->SetInterval(interval_);
    server_->SetTimeslotName(timeslotName_);
    server_->SetMessagePolling(true);
    server_->SetOnNewMessage([this](TObject* sender) { ReceiveMessages(sender); });

    client_ = new TTimeslotClient(this);
    client_->SetTimeslotName(timeslotName_);
    client_->SetReceiver(receiver_);
    client_->SetReceiverName(receiverName_);
}

TTimeslotTerminal::~TTimeslotTerminal() {
    FreeSenderEntries(*senderTable_);
    senderTable_.reset();
    sendBuffer_.reset();
    messageStream_.reset();
    delete client_;
    delete server_;
}

void TTimeslotTerminal::SetInterval(std::int32_t interval) {
    if (interval == interval_) {
        return;
    }
    interval_ = interval;
    server_->SetInterval(interval);
}

void TTimeslotTerminal::SetTimeslotName(const std::string& name) {
    if (name == timeslotName_) {
        return;
    }
    timeslotName_ = name;
    server_->SetTimeslotName(name);
    client_->SetTimeslotName(name);
}

void TTimeslotTerminal::SetReceiver(TReceiverType receiver) {
    receiver_ = receiver;
    client_->SetReceiver(receiver);
}

void TTimeslotTerminal::SetReceiverName(const std::string& name) {
    receiverName_ = name;
    client_->SetReceiverName(name);
}

std::int32_t TTimeslotTerminal::Send(const void* payload, std::uint16_t size) {
    // The counter wraps in two's complement.
    sendHeader_.Sequence =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(sendHeader_.Sequence) + 1u);
    FrameDatagram(*sendBuffer_, sendHeader_, payload, size);
    client_->OpenSlot();
    return client_->WriteMessage(sendBuffer_->Memory(), sendBuffer_->Size());
}

void TTimeslotTerminal::ReceiveMessages(TObject* /*Sender*/) {
    while (server_->MessageCount() > 0) {
        messageStream_->SetSize(server_->NextMessageSize());
        messageStream_->SetPosition(0);
        std::uint8_t none = 0;
        const std::int32_t size = messageStream_->Size();
        server_->ReadMessage(size > 0 ? messageStream_->Memory() : &none, size);
        // Datagrams outside the format are taken out of the mailslot and dropped unreported,
        // leaving the table of senders and the last header alone.
        if (!IsWellFormedSize(size)) {
            continue;
        }
        lastReceived_ = ReadHeader(*messageStream_);
        if (AcceptDatagram(*senderTable_, lastReceived_.SenderId, lastReceived_.Sequence) &&
            onNewMessage_) {
            onNewMessage_(this, static_cast<std::int32_t>(lastReceived_.SenderId),
                          static_cast<std::uint16_t>(size - kHeaderSize));
        }
    }
}
