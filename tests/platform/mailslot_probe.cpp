// A small tool for tests of the mailslot layer across processes and computers.
//
//   mailslot-probe listen NAME [MAXSIZE]  holds \\.\Mailslot\NAME, prints "ready", then one line
//                                         "msg TEXT" per message until its input ends; then
//                                         "dropped ..." with the receiver's counters and "end"
//   mailslot-probe write PATH TEXT [N]    writes TEXT N times (default 1) to PATH; a "%" in TEXT
//                                         becomes the write's number, 1 to N
//   mailslot-probe udp ADDRESS HEX...     sends each HEX string as one UDP datagram to port 138
//   mailslot-probe name                   prints the computer name and the primary domain
//
// Failures print "error CODE TEXT" and end with exit code 1.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "computer_name.h"
#include "kernel.h"
#include "mailslot_receiver.h"

namespace {

int Failure(const char* what) {
    const DWORD code = GetLastError();
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    std::string line(text);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.pop_back();
    }
    std::printf("error %u %s (%s)\n", code, line.c_str(), what);
    std::fflush(stdout);
    return 1;
}

std::string Printable(const char* bytes, DWORD size) {
    std::string text;
    for (DWORD i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text.push_back(static_cast<char>(c));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            text += escaped;
        }
    }
    return text;
}

// True once standard input has reached its end.
bool InputEnded() {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, 0) <= 0) {
        return false;
    }
    char scratch[256];
    return read(STDIN_FILENO, scratch, sizeof scratch) <= 0;
}

int Listen(const std::string& name, DWORD maxSize) {
    const std::string path = "\\\\.\\mailslot\\" + name;
    const HANDLE slot = CreateMailslotA(path.c_str(), maxSize, 100, nullptr);
    if (slot == INVALID_HANDLE_VALUE) {
        return Failure("CreateMailslotA");
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::vector<char> buffer(1 << 16);
    for (;;) {
        DWORD size = 0;
        if (ReadFile(slot, buffer.data(), static_cast<DWORD>(buffer.size()), &size, nullptr)) {
            std::printf("msg %s\n", Printable(buffer.data(), size).c_str());
            std::fflush(stdout);
            continue;
        }
        if (GetLastError() != ERROR_SEM_TIMEOUT) {
            return Failure("ReadFile");
        }
        if (InputEnded()) {
            break;
        }
    }
    const corvane::kernel::ReceiveCounters dropped =
        corvane::kernel::MailslotReceiver::Instance().Counters();
    std::printf("dropped malformed=%llu other=%llu own=%llu notheld=%llu toolarge=%llu full=%llu\n",
                static_cast<unsigned long long>(dropped.malformed),
                static_cast<unsigned long long>(dropped.otherComputer),
                static_cast<unsigned long long>(dropped.ownComputer),
                static_cast<unsigned long long>(dropped.notHeld),
                static_cast<unsigned long long>(dropped.tooLarge),
                static_cast<unsigned long long>(dropped.queueFull));
    std::printf("end\n");
    std::fflush(stdout);
    CloseHandle(slot);
    return 0;
}

int Write(const std::string& path, const std::string& text, long count) {
    const HANDLE target = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (target == INVALID_HANDLE_VALUE) {
        return Failure("CreateFileA");
    }
    for (long i = 1; i <= count; ++i) {
        std::string message = text;
        const std::size_t mark = message.find('%');
        if (mark != std::string::npos) {
            message.replace(mark, 1, std::to_string(i));
        }
        DWORD written = 0;
        if (!WriteFile(target, message.data(), static_cast<DWORD>(message.size()), &written,
                       nullptr)) {
            return Failure("WriteFile");
        }
    }
    CloseHandle(target);
    std::printf("wrote %ld\n", count);
    return 0;
}

// Writes once, then again when its input ends: in between, the test changes the network.
int WriteTwice(const std::string& path, const std::string& text) {
    const HANDLE target = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (target == INVALID_HANDLE_VALUE) {
        return Failure("CreateFileA");
    }
    DWORD written = 0;
    if (!WriteFile(target, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        return Failure("WriteFile");
    }
    std::printf("wrote 1\n");
    std::fflush(stdout);
    while (!InputEnded()) {
        poll(nullptr, 0, 5);
    }
    if (!WriteFile(target, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        return Failure("WriteFile");
    }
    CloseHandle(target);
    std::printf("wrote 2\n");
    return 0;
}

int SendUdp(const char* address, int count, char** hex) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(138);
    if (fd < 0 || inet_pton(AF_INET, address, &to.sin_addr) != 1) {
        std::printf("error bad address or no socket\n");
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        std::vector<unsigned char> bytes;
        for (const char* at = hex[i]; at[0] != '\0' && at[1] != '\0'; at += 2) {
            bytes.push_back(
                static_cast<unsigned char>(std::strtoul(std::string(at, 2).c_str(), nullptr, 16)));
        }
        if (sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) <
            0) {
            std::printf("error sendto: %s\n", std::strerror(errno));
            return 1;
        }
    }
    close(fd);
    std::printf("sent %d\n", count);
    return 0;
}

int PrintName() {
    char name[16] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) {
        return Failure("GetComputerNameA");
    }
    std::printf("%s %s\n", name, corvane::kernel::PrimaryDomainName().c_str());
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: mailslot-probe listen NAME [MAXSIZE] | write PATH TEXT [N] |"
                 " write-twice PATH TEXT | udp ADDRESS HEX... | name\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "listen" && (argc == 3 || argc == 4)) {
        return Listen(argv[2],
                      argc == 4 ? static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) : 0);
    }
    if (command == "write" && (argc == 4 || argc == 5)) {
        return Write(argv[2], argv[3], argc == 5 ? std::strtol(argv[4], nullptr, 10) : 1);
    }
    if (command == "write-twice" && argc == 4) {
        return WriteTwice(argv[2], argv[3]);
    }
    if (command == "udp" && argc >= 4) {
        return SendUdp(argv[2], argc - 3, argv + 3);
    }
    if (command == "name" && argc == 2) {
        return PrintName();
    }
    return Usage();
}
