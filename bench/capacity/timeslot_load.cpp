// Load generator: sends COUNT time requests, each from a terminal id of its own, as one burst to
// the mailslot TimeTerminal of the domain, then counts the time server's replies.
//
//   timeslot-load COUNT [QUIET_MS]
//
// Prints "sent COUNT in MS ms", then "replies R from S servers; last reply MS ms after the burst
// began" once COUNT replies are in or nothing arrived for QUIET_MS (default 5000).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "error_text.h"
#include "kernel.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kRequest[] = "GIVE ZEIT";  // sent with its terminating zero
constexpr DWORD kHeaderSize = 8;
constexpr DWORD kReplySize = kHeaderSize + 17;

double MillisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void PutLittleEndian(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t GetLittleEndian(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// COUNT distinct terminal ids, none of them 0.
std::vector<std::uint32_t> DistinctIds(int count) {
    std::mt19937 random(std::random_device{}());
    std::set<std::uint32_t> ids;
    while (static_cast<int>(ids.size()) < count) {
        const std::uint32_t id = random();
        if (id != 0) {
            ids.insert(id);
        }
    }
    return {ids.begin(), ids.end()};
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc >= 2 ? std::atoi(argv[1]) : 0;
    const int quietMs = argc >= 3 ? std::atoi(argv[2]) : 5000;
    if (argc < 2 || argc > 3 || count <= 0 || quietMs <= 0) {
        std::fprintf(stderr, "usage: timeslot-load COUNT [QUIET_MS]\n");
        return 2;
    }
    // The replies come to this computer's TimeTerminal, as they would to a client's.
    const HANDLE slot = CreateMailslotA("\\\\.\\mailslot\\TimeTerminal", 0, 100, nullptr);
    if (slot == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "timeslot-load: cannot hold TimeTerminal: %s\n",
                     ErrorText(GetLastError()).c_str());
        return 1;
    }
    const HANDLE domain =
        CreateFileA("\\\\*\\mailslot\\TimeTerminal", GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (domain == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "timeslot-load: cannot open the domain's TimeTerminal: %s\n",
                     ErrorText(GetLastError()).c_str());
        return 1;
    }

    const std::vector<std::uint32_t> ids = DistinctIds(count);
    std::uint8_t request[kHeaderSize + sizeof kRequest];
    std::memcpy(request + kHeaderSize, kRequest, sizeof kRequest);
    PutLittleEndian(request + 4, 1);
    const auto burstStart = Clock::now();
    for (const std::uint32_t id : ids) {
        PutLittleEndian(request, id);
        DWORD written = 0;
        if (!WriteFile(domain, request, sizeof request, &written, nullptr)) {
            std::fprintf(stderr, "timeslot-load: write failed: %s\n",
                         ErrorText(GetLastError()).c_str());
            return 1;
        }
    }
    std::printf("sent %d in %.1f ms\n", count, MillisecondsBetween(burstStart, Clock::now()));
    std::fflush(stdout);

    // Replies per server, told apart by their sequence numbers.
    std::map<std::uint32_t, std::set<std::uint32_t>> replies;
    std::size_t total = 0;
    auto lastReply = burstStart;
    auto lastArrival = Clock::now();
    std::uint8_t buffer[512];
    while (static_cast<int>(total) < count &&
           MillisecondsBetween(lastArrival, Clock::now()) < quietMs) {
        DWORD got = 0;
        if (!ReadFile(slot, buffer, sizeof buffer, &got, nullptr)) {
            if (GetLastError() == ERROR_SEM_TIMEOUT) {
                continue;
            }
            std::fprintf(stderr, "timeslot-load: read failed: %s\n",
                         ErrorText(GetLastError()).c_str());
            return 1;
        }
        lastArrival = Clock::now();
        if (got != kReplySize) {
            continue;  // our own requests, served to this computer too
        }
        if (replies[GetLittleEndian(buffer)].insert(GetLittleEndian(buffer + 4)).second) {
            ++total;
            lastReply = lastArrival;
        }
    }
    std::printf("replies %zu from %zu servers; last reply %.1f ms after the burst began\n", total,
                replies.size(), MillisecondsBetween(burstStart, lastReply));
    CloseHandle(domain);
    CloseHandle(slot);
    return 0;
}
