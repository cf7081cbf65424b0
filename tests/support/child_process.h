// Runs another program to completion and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace test_support {

struct ChildResult {
    bool exited = false;  // false: killed by a signal (or by the deadline)
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Starts argv[0] (a path) with this process's environment plus `environment` ("NAME=value",
// replacing variables of the same name). A child still running after deadlineSeconds is killed.
ChildResult RunChild(const std::vector<std::string>& argv,
                     const std::vector<std::string>& environment = {}, int deadlineSeconds = 60);

}  // namespace test_support
