// Datagrams per second through the receive path: the checks of a datagram from the network, the
// mailslot's queue, the terminal's framing and duplicate rule, and the event, with 10 and with
// 10,000 senders already in the terminal's table, and with a new sender for every datagram. Holds
// the mailslot TimeTerminal, so run it in a network namespace of its own:
//   tests/isolation/run-isolated build/bench/receive/receive_path_bench
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "computer_name.h"
#include "mailslot_receiver.h"
#include "netbios_datagram.h"
#include "sender_table.h"
#include "timeslot_terminal.h"

namespace {

constexpr std::uint32_t kOtherComputer = 0x0A4D0063;  // 10.77.0.99
constexpr int kMeasured = 200000;
// Datagrams waiting in the mailslot before each drain, as after one busy polling interval.
constexpr int kBatch = 1000;

std::vector<std::uint8_t> WireDatagram(std::uint32_t sender, std::int32_t sequence) {
    corvane::netbios::MailslotWrite write;
    write.source = {"SENDER", 0};
    write.destination = {corvane::kernel::PrimaryDomainName(), 0};
    write.mailslotName = "\\MAILSLOT\\TimeTerminal";
    std::uint8_t datagram[8 + 17] = {};
    std::memcpy(datagram, &sender, 4);
    std::memcpy(datagram + 4, &sequence, 4);
    write.data.assign(datagram, datagram + sizeof datagram);
    return corvane::netbios::EncodeMailslotWrite(write);
}

double Measure(int senders) {
    TTimeslotTerminal terminal(nullptr);
    terminal.SetInterval(0);  // drained here, not by the polling thread
    long events = 0;
    terminal.SetOnNewMessage([&](TObject*, std::int32_t, std::uint16_t) { ++events; });
    auto& receiver = corvane::kernel::MailslotReceiver::Instance();
    // The wire bytes are made before the clock starts: a sender's datagrams differ only in
    // their sequence number.
    std::vector<std::vector<std::uint8_t>> wire;
    wire.reserve(kMeasured);
    for (int i = 0; i < kMeasured; ++i) {
        wire.push_back(
            WireDatagram(0x10000u + static_cast<std::uint32_t>(i % senders), 2 + i / senders));
    }
    for (int s = 0; s < senders; ++s) {
        const auto first = WireDatagram(0x10000u + static_cast<std::uint32_t>(s), 1);
        receiver.InjectNetworkDatagram(first.data(), first.size(), kOtherComputer);
        if (s % kBatch == kBatch - 1) {
            terminal.ReceiveMessages(nullptr);
        }
    }
    terminal.ReceiveMessages(nullptr);
    events = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kMeasured; ++i) {
        receiver.InjectNetworkDatagram(wire[i].data(), wire[i].size(), kOtherComputer);
        if (i % kBatch == kBatch - 1) {
            terminal.ReceiveMessages(nullptr);
        }
    }
    terminal.ReceiveMessages(nullptr);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (events != kMeasured) {
        const auto dropped = receiver.Counters();
        std::fprintf(stderr,
                     "receive_path_bench: %ld events for %d datagrams (dropped: %llu malformed, "
                     "%llu for another computer, %llu own, %llu not held, %llu queue full)\n",
                     events, kMeasured, static_cast<unsigned long long>(dropped.malformed),
                     static_cast<unsigned long long>(dropped.otherComputer),
                     static_cast<unsigned long long>(dropped.ownComputer),
                     static_cast<unsigned long long>(dropped.notHeld),
                     static_cast<unsigned long long>(dropped.queueFull));
    }
    return kMeasured / seconds;
}

}  // namespace

int main() {
    for (int senders : {10, 10000}) {
        std::printf(
            "%5d known senders: %.0f datagrams/s through decode, duplicate rule and event\n",
            senders, Measure(senders));
    }
    // Every datagram from a sender the full table does not know, as in a flood of made-up ids.
    std::printf("a new sender each time, table full (%d): %.0f datagrams/s\n", kMaxSenders,
                Measure(kMeasured));
    return 0;
}
