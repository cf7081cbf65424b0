#include "peer_options.h"

#include <cstdlib>
#include <cstring>

const char* const kPeerUsage =
    "usage: timeslot-peer [--name SLOT] [--receiver domain|local|NAME] [--interval MS]\n"
    "                     [--send-text TEXT] [--send-hex HEX] [--repeat N] [--gap MS]\n"
    "                     [--send-raw-hex HEX] [--send-delay MS] [--listen MS]\n"
    "Holds a terminal on SLOT (default TimeTerminal), sends each payload (in order, N times,\n"
    "GAP ms apart, after SEND-DELAY ms), then each raw datagram (no header added), prints\n"
    "every datagram the terminal reports, and\n"
    "exits after listening LISTEN ms (default 1000) past the last send.\n"
    "Output: 'id XXXXXXXX' first, then 'sent N at=UNIXTIME', 'sent raw N' and\n"
    "'recv sender=XXXXXXXX size=N at=UNIXTIME hex=...' lines.\n";

namespace {

std::optional<std::vector<std::uint8_t>> ParseHex(const std::string& text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        char* end = nullptr;
        const std::string pair = text.substr(i, 2);
        const long value = std::strtol(pair.c_str(), &end, 16);
        if (*end != '\0') {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

bool ParseCount(const char* text, int& out) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < 0 || value > 100000000) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

}  // namespace

std::optional<std::string> ParsePeerOptions(int argc, char** argv, PeerOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return "missing value after " + option;
        }
        const char* value = argv[++i];
        int number = 0;
        if (option == "--name") {
            options.slotName = value;
        } else if (option == "--receiver") {
            options.receiver = value;
        } else if (option == "--send-text") {
            options.payloads.emplace_back(value, value + std::strlen(value));
        } else if (option == "--send-hex") {
            auto bytes = ParseHex(value);
            if (!bytes) {
                return std::string("not hexadecimal bytes: ") + value;
            }
            options.payloads.push_back(*bytes);
        } else if (option == "--send-raw-hex") {
            auto bytes = ParseHex(value);
            if (!bytes) {
                return std::string("not hexadecimal bytes: ") + value;
            }
            options.rawDatagrams.push_back(*bytes);
        } else if (option == "--interval" && ParseCount(value, number)) {
            options.interval = number;
        } else if (option == "--repeat" && ParseCount(value, number)) {
            options.repeat = number;
        } else if (option == "--gap" && ParseCount(value, number)) {
            options.gapMs = number;
        } else if (option == "--send-delay" && ParseCount(value, number)) {
            options.sendDelayMs = number;
        } else if (option == "--listen" && ParseCount(value, number)) {
            options.listenMs = number;
        } else {
            return "bad option or value: " + option + " " + value;
        }
    }
    return std::nullopt;
}
