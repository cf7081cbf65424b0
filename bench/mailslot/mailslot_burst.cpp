// How many of a burst of datagrams reach a mailslot whose reader is between two polls, written
// on the same computer and from another computer of a simulated network.
//
//   mailslot_burst                      runs both measurements (the network one needs root)
//   mailslot_burst send PATH COUNT      writes COUNT datagrams to PATH, then an end marker
//   mailslot_burst receive NAME         holds NAME, prints "ready", reads nothing until a line
//                                       arrives on its input, then drains up to the end marker
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "error_text.h"
#include "kernel.h"

extern char** environ;

namespace {

constexpr int kBurst = 10000;
constexpr DWORD kPayloadSize = 25;  // a framed time reply: 8-byte header, 17-byte body
constexpr const char* kEnd = "end of burst";
constexpr const char* kSlotName = "BurstBench";

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string Payload(int index) {
    char text[kPayloadSize + 1];
    std::snprintf(text, sizeof text, "burst %019d", index);
    return std::string(text, kPayloadSize);
}

// A child process with its standard input and output connected to this one.
class Child {
public:
    explicit Child(std::vector<std::string> argv) {
        int in[2];
        int out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
            std::perror("pipe");
            std::exit(1);
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        std::vector<char*> pointers;
        for (std::string& arg : argv) {
            pointers.push_back(arg.data());
        }
        pointers.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, pointers.data(), environ) != 0) {
            std::fprintf(stderr, "cannot start %s\n", argv[0].c_str());
            std::exit(1);
        }
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }

    ~Child() {
        close(input_);
        close(output_);
        if (!ended_) {
            kill(pid_, SIGKILL);
            Wait();
        }
    }

    std::optional<std::string> ReadLine(int timeoutSeconds = 120) {
        const auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
        for (;;) {
            const std::size_t newline = pending_.find('\n');
            if (newline != std::string::npos) {
                std::string line = pending_.substr(0, newline);
                pending_.erase(0, newline + 1);
                return line;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd entry{output_, POLLIN, 0};
            if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
                return std::nullopt;
            }
            char chunk[512];
            const ssize_t got = read(output_, chunk, sizeof chunk);
            if (got <= 0) {
                return std::nullopt;
            }
            pending_.append(chunk, static_cast<std::size_t>(got));
        }
    }

    void Say(const std::string& line) {
        const std::string text = line + "\n";
        if (write(input_, text.data(), text.size()) < 0) {
            std::perror("write to child");
        }
    }

    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        ended_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    bool ended_ = false;
    std::string pending_;
};

int Send(const std::string& path, int count) {
    const HANDLE target = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (target == INVALID_HANDLE_VALUE) {
        std::printf("error open: %s\n", ErrorText(GetLastError()).c_str());
        return 1;
    }
    const auto start = Clock::now();
    DWORD written = 0;
    for (int i = 0; i < count; ++i) {
        const std::string payload = Payload(i);
        if (!WriteFile(target, payload.data(), kPayloadSize, &written, nullptr)) {
            std::printf("error write %d: %s\n", i, ErrorText(GetLastError()).c_str());
            return 1;
        }
    }
    const double took = MillisecondsSince(start);
    if (!WriteFile(target, kEnd, static_cast<DWORD>(std::strlen(kEnd)), &written, nullptr)) {
        std::printf("error write end: %s\n", ErrorText(GetLastError()).c_str());
        return 1;
    }
    CloseHandle(target);
    std::printf("sent %d %.1f\n", count, took);
    return 0;
}

// Reads up to the end marker; the number of distinct burst datagrams, -1 on an error.
int Drain(HANDLE slot, int expected) {
    std::vector<bool> seen(static_cast<std::size_t>(expected), false);
    int distinct = 0;
    char buffer[512];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(slot, buffer, sizeof buffer, &got, nullptr)) {
            // The end marker itself was lost: what came before it is all there is.
            return GetLastError() == ERROR_SEM_TIMEOUT ? distinct : -1;
        }
        const std::string message(buffer, got);
        if (message == kEnd) {
            return distinct;
        }
        const int index = std::atoi(message.c_str() + 6);
        if (index >= 0 && index < expected && !seen[static_cast<std::size_t>(index)]) {
            seen[static_cast<std::size_t>(index)] = true;
            ++distinct;
        }
    }
}

HANDLE HoldSlot() {
    const std::string path = std::string("\\\\.\\mailslot\\") + kSlotName;
    const HANDLE slot = CreateMailslotA(path.c_str(), 0, 5000, nullptr);
    if (slot == INVALID_HANDLE_VALUE) {
        std::printf("error create: %s\n", ErrorText(GetLastError()).c_str());
    }
    return slot;
}

int Receive() {
    const HANDLE slot = HoldSlot();
    if (slot == INVALID_HANDLE_VALUE) {
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    // Between polls: nothing is read until told to.
    char go[64];
    if (std::fgets(go, sizeof go, stdin) == nullptr) {
        return 1;
    }
    const int distinct = Drain(slot, kBurst);
    CloseHandle(slot);
    std::printf("received %d\n", distinct);
    return distinct < 0 ? 1 : 0;
}

// Parses "sent COUNT MILLISECONDS".
bool ParseSent(const std::optional<std::string>& line, double& milliseconds) {
    int count = 0;
    return line && std::sscanf(line->c_str(), "sent %d %lf", &count, &milliseconds) == 2;
}

void Report(const char* where, int received, double milliseconds) {
    std::printf("%s: %d/%d received; the burst took %.1f ms (%.0f datagrams/s)\n", where, received,
                kBurst, milliseconds, kBurst / (milliseconds / 1000.0));
    std::fflush(stdout);
}

int MeasureLocal(const std::string& self) {
    const HANDLE slot = HoldSlot();
    if (slot == INVALID_HANDLE_VALUE) {
        return 1;
    }
    Child sender(
        {self, "send", std::string("\\\\.\\mailslot\\") + kSlotName, std::to_string(kBurst)});
    double milliseconds = 0;
    const std::optional<std::string> line = sender.ReadLine();
    if (sender.Wait() != 0 || !ParseSent(line, milliseconds)) {
        std::printf("local: the sender failed: %s\n", line.value_or("no output").c_str());
        return 1;
    }
    const int received = Drain(slot, kBurst);
    CloseHandle(slot);
    Report("local", received, milliseconds);
    return 0;
}

int MeasureNetwork(const std::string& self) {
    if (geteuid() != 0) {
        std::printf("network: skipped (the test bed of network namespaces needs root)\n");
        return 0;
    }
    const std::string lan = NETNS_LAN;
    const std::string tag = "bench" + std::to_string(getpid());
    const auto run = [](std::vector<std::string> argv) {
        Child child(std::move(argv));
        while (child.ReadLine()) {
        }
        return child.Wait();
    };
    if (run({lan, "up", tag, "BENCHA", "BENCHB"}) != 0) {
        std::printf("network: the test bed could not be set up\n");
        run({lan, "down", tag});
        return 1;
    }
    int result = 1;
    {
        Child receiver({lan, "exec", tag, "BENCHB", self, "receive", kSlotName});
        if (receiver.ReadLine() == std::optional<std::string>("ready")) {
            Child sender({lan, "exec", tag, "BENCHA", self, "send",
                          std::string("\\\\*\\mailslot\\") + kSlotName, std::to_string(kBurst)});
            double milliseconds = 0;
            const std::optional<std::string> sent = sender.ReadLine();
            if (sender.Wait() == 0 && ParseSent(sent, milliseconds)) {
                receiver.Say("read");
                const std::optional<std::string> got = receiver.ReadLine();
                int received = -1;
                if (got && std::sscanf(got->c_str(), "received %d", &received) == 1) {
                    Report("network", received, milliseconds);
                    result = 0;
                } else {
                    std::printf("network: the receiver failed: %s\n",
                                got.value_or("no output").c_str());
                }
            } else {
                std::printf("network: the sender failed: %s\n", sent.value_or("no output").c_str());
            }
        } else {
            std::printf("network: the receiver did not start\n");
        }
    }
    run({lan, "down", tag});
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "send") == 0) {
        return Send(argv[2], std::atoi(argv[3]));
    }
    if (argc == 3 && std::strcmp(argv[1], "receive") == 0) {
        return Receive();
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: mailslot_burst [send PATH COUNT | receive NAME]\n");
        return 2;
    }
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        std::perror("readlink /proc/self/exe");
        return 1;
    }
    const std::string program(path, static_cast<std::size_t>(length));
    const int local = MeasureLocal(program);
    const int network = MeasureNetwork(program);
    return local != 0 || network != 0 ? 1 : 0;
}
