#include "line_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace platform_tests {

LineProcess::LineProcess(const std::vector<std::string>& argv) {
    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    std::vector<std::string> args = argv;
    std::vector<char*> pointers;
    for (std::string& arg : args) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    const int spawned =
        posix_spawn(&pid_, args.at(0).c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    input_ = toChild[1];
    output_ = fromChild[0];
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " + args.at(0) + ": " + std::strerror(spawned));
    }
}

LineProcess::~LineProcess() {
    if (pid_ > 0 && !exitCode_) {
        Kill();
    }
    CloseInput();
    if (output_ >= 0) {
        close(output_);
    }
}

std::optional<std::string> LineProcess::ReadLine(std::chrono::seconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        const std::size_t newline = pending_.find('\n');
        if (newline != std::string::npos) {
            std::string line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            lines_.push_back(line);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || output_ < 0) {
            return std::nullopt;
        }
        pollfd entry{output_, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char chunk[4096];
        const ssize_t got = read(output_, chunk, sizeof chunk);
        if (got <= 0) {
            close(output_);
            output_ = -1;
            return std::nullopt;
        }
        pending_.append(chunk, static_cast<std::size_t>(got));
    }
}

bool LineProcess::WaitFor(const std::string& line, std::chrono::seconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::seconds>(
            end - std::chrono::steady_clock::now());
        const std::optional<std::string> next = ReadLine(std::max(left, std::chrono::seconds(1)));
        if (!next) {
            return false;
        }
        if (*next == line) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
    }
}

void LineProcess::CloseInput() {
    if (input_ >= 0) {
        close(input_);
        input_ = -1;
    }
}

int LineProcess::Wait(std::chrono::seconds deadline) {
    if (exitCode_) {
        return *exitCode_;
    }
    const auto end = std::chrono::steady_clock::now() + deadline;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            break;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= end) {
            Kill();
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return *exitCode_;
}

void LineProcess::Kill() {
    if (pid_ > 0 && !exitCode_) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        exitCode_ = -1;
    }
}

}  // namespace platform_tests
