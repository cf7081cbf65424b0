// Command line of the test peer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PeerOptions {
    std::string slotName = "TimeTerminal";
    std::string receiver = "domain";  // "domain", "local", or a computer or domain name
    std::int32_t interval = 250;
    std::vector<std::vector<std::uint8_t>> payloads;
    // Written as they are, without a header, through the terminal's sending endpoint.
    std::vector<std::vector<std::uint8_t>> rawDatagrams;
    int repeat = 1;
    int sendDelayMs = 0;
    int gapMs = 0;
    int listenMs = 1000;
};

// Fills options from argv; on a usage error returns the message.
std::optional<std::string> ParsePeerOptions(int argc, char** argv, PeerOptions& options);

extern const char* const kPeerUsage;
