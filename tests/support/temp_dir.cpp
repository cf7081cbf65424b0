#include "temp_dir.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

namespace test_support {

TemporaryDirectory::TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp " + pattern + ": " + std::strerror(errno));
    }
    path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
    if (error) {
        std::fprintf(stderr, "cannot remove %s: %s\n", path_.c_str(), error.message().c_str());
    }
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::filesystem::path& directory)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(directory);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
    std::error_code error;
    std::filesystem::current_path(previous_, error);
    if (error) {
        std::fprintf(stderr, "cannot return to %s: %s\n", previous_.c_str(),
                     error.message().c_str());
    }
}

}  // namespace test_support
