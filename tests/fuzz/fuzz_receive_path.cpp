// Arbitrary bytes through the whole receive path: the checks of a datagram from the network,
// the mailslot's queue, the terminal's framing and duplicate rule, and a handler that reads the
// payload as the programs do.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "computer_name.h"
#include "mailslot_receiver.h"
#include "netbios_datagram.h"
#include "time_messages.h"
#include "timeslot_terminal.h"

namespace {

// A computer of the network other than this one: 10.77.0.99.
constexpr std::uint32_t kOtherComputer = 0x0A4D0063;
// The table of senders only grows; a fresh terminal now and then keeps its search short.
constexpr int kRunsPerTerminal = 4096;

std::unique_ptr<TTimeslotTerminal> NewTerminal() {
    auto terminal = std::make_unique<TTimeslotTerminal>(nullptr);
    terminal->SetInterval(0);  // the fuzzer drains the mailslot itself
    TTimeslotTerminal* self = terminal.get();
    terminal->SetOnNewMessage([self](TObject*, std::int32_t, std::uint16_t size) {
        std::vector<BYTE> payload(size);
        const std::int32_t got = self->MessageStream().Read(payload.data(), size);
        if (got != size) {
            std::abort();  // a well-formed datagram always holds its whole payload
        }
        IsTimeRequest(payload.data(), payload.size());
        ReadSystemTime(payload.data(), payload.size());
    });
    return terminal;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::unique_ptr<TTimeslotTerminal> terminal;
    static int runs = 0;
    if (runs++ % kRunsPerTerminal == 0) {
        terminal.reset();
        terminal = NewTerminal();
    }
    auto& receiver = corvane::kernel::MailslotReceiver::Instance();
    if (size > 0 && (data[0] & 1) != 0) {
        // Arbitrary mailslot data in a well-formed write to this computer's domain.
        corvane::netbios::MailslotWrite write;
        write.source = {"FUZZER", 0};
        write.destination = {corvane::kernel::PrimaryDomainName(), 0};
        write.mailslotName = "\\MAILSLOT\\TimeTerminal";
        write.data.assign(data + 1, data + size);
        const std::vector<std::uint8_t> datagram = corvane::netbios::EncodeMailslotWrite(write);
        receiver.InjectNetworkDatagram(datagram.data(), datagram.size(), kOtherComputer);
    } else if (size > 0) {
        receiver.InjectNetworkDatagram(data + 1, size - 1, kOtherComputer);
    }
    terminal->ReceiveMessages(nullptr);
    return 0;
}
