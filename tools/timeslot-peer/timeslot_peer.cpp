// A terminal on the command line: sends payloads and prints what it receives, so that tests and
// people can exchange messages between computers.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <string>

#include "exceptions.h"
#include "main_thread.h"
#include "peer_options.h"
#include "timeslot_terminal.h"

namespace {

TReceiverType ReceiverTypeOf(const std::string& receiver) {
    if (receiver == "domain") {
        return rcPrimaryDomain;
    }
    if (receiver == "local") {
        return rcLocalComputer;
    }
    return rcDomainOrComputer;
}

// The real clock, as seconds since the epoch with microseconds: computers of the test bed share it.
std::string Now() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    char text[40];
    std::snprintf(text, sizeof text, "%lld.%06ld", static_cast<long long>(now.tv_sec),
                  now.tv_nsec / 1000);
    return text;
}

void PrintReceived(TTimeslotTerminal& terminal, std::int32_t senderId, std::uint16_t size) {
    std::string hex;
    char pair[3];
    for (std::uint16_t i = 0; i < size; ++i) {
        unsigned char byte = 0;
        if (terminal.MessageStream().Read(&byte, 1) != 1) {
            break;
        }
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    std::printf("recv sender=%08x size=%u at=%s hex=%s\n", static_cast<unsigned>(senderId), size,
                Now().c_str(), hex.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    PeerOptions options;
    if (auto error = ParsePeerOptions(argc, argv, options)) {
        std::fprintf(stderr, "timeslot-peer: %s\n%s", error->c_str(), kPeerUsage);
        return 2;
    }
    QCoreApplication app(argc, argv);
    MainThread::Register();
    try {
        TTimeslotTerminal terminal(nullptr);
        terminal.SetTimeslotName(options.slotName);
        terminal.SetReceiver(ReceiverTypeOf(options.receiver));
        if (terminal.Receiver() == rcDomainOrComputer) {
            terminal.SetReceiverName(options.receiver);
        }
        terminal.SetInterval(options.interval);
        terminal.SetOnNewMessage([&terminal](TObject*, std::int32_t id, std::uint16_t size) {
            PrintReceived(terminal, id, size);
        });
        std::printf("id %08x\n", terminal.TerminalId());
        std::fflush(stdout);

        int failures = 0;
        auto sendAll = [&] {
            for (int round = 0; round < options.repeat; ++round) {
                for (const auto& payload : options.payloads) {
                    try {
                        const std::string at = Now();
                        const int written = terminal.Send(
                            payload.data(), static_cast<std::uint16_t>(payload.size()));
                        std::printf("sent %d at=%s\n", written, at.c_str());
                    } catch (const Exception& error) {
                        std::fprintf(stderr, "timeslot-peer: send failed: %s\n",
                                     error.Message().c_str());
                        ++failures;
                    }
                }
                if (options.gapMs > 0 && round + 1 < options.repeat) {
                    QTimer wait;
                    wait.setSingleShot(true);
                    QEventLoop loop;
                    QObject::connect(&wait, &QTimer::timeout, &loop, &QEventLoop::quit);
                    wait.start(options.gapMs);
                    loop.exec();
                }
            }
            for (const auto& datagram : options.rawDatagrams) {
                try {
                    const int written = terminal.SendingEndpoint().WriteMessage(
                        datagram.data(), static_cast<std::int32_t>(datagram.size()));
                    std::printf("sent raw %d\n", written);
                } catch (const Exception& error) {
                    std::fprintf(stderr, "timeslot-peer: raw send failed: %s\n",
                                 error.Message().c_str());
                    ++failures;
                }
            }
            std::fflush(stdout);
            QTimer::singleShot(options.listenMs, &app, [&] { app.exit(failures ? 1 : 0); });
        };
        QTimer::singleShot(options.sendDelayMs, &app, sendAll);
        return app.exec();
    } catch (const Exception& error) {
        std::fprintf(stderr, "timeslot-peer: %s\n", error.Message().c_str());
        return 1;
    }
}
