// A child process that a test talks to line by line: reads what it prints as it prints it, and
// closes its input to tell it to finish.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace platform_tests {

class LineProcess {
public:
    // Starts argv[0] (a path) with stdin and stdout connected to this process.
    explicit LineProcess(const std::vector<std::string>& argv);
    ~LineProcess();
    LineProcess(const LineProcess&) = delete;
    LineProcess& operator=(const LineProcess&) = delete;

    // The next line the child prints, or nothing when it ends or the deadline passes first.
    std::optional<std::string> ReadLine(std::chrono::seconds deadline = std::chrono::seconds(30));
    // Reads lines until one equals line; false when the child ends or the deadline passes first.
    bool WaitFor(const std::string& line, std::chrono::seconds deadline = std::chrono::seconds(30));
    // Lines read so far, in order.
    const std::vector<std::string>& Lines() const { return lines_; }

    void CloseInput();
    // Waits for the child's end (killing it after the deadline); its exit code, -1 if killed.
    int Wait(std::chrono::seconds deadline = std::chrono::seconds(30));
    void Kill();
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
    std::vector<std::string> lines_;
    std::optional<int> exitCode_;
};

}  // namespace platform_tests
