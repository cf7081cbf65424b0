#include "settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "error_report.h"
#include "exceptions.h"
#include "win_error_map.h"

namespace {

constexpr off_t kIntervalOffset = 4;
constexpr std::size_t kFileSize = 8;
constexpr const char* kRead = "read";
constexpr const char* kWrite = "write";

// The path from the root: the bare name is relative to the current directory, which whoever
// reads the message cannot see.
std::string ShownPath(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    char folder[PATH_MAX];
    if (::getcwd(folder, sizeof folder) == nullptr) {
        return path;
    }
    return std::string(folder) + "/" + path;
}

// The error box shows only the message of the code, which does not say which file or why: the
// error output gets both, so that whoever reads it can put things right.
[[noreturn]] void Fail(int code, const char* action, const std::string& path,
                       const std::string& reason) {
    ReportError(std::string("cannot ") + action + " the settings file " + ShownPath(path) + ": " +
                reason);
    throw EInOutError(InOutErrorMessage(code), code);
}

[[noreturn]] void FailWithErrno(int err, const char* action, const std::string& path) {
    Fail(static_cast<int>(WindowsErrorFromErrno(err)), action, path, std::strerror(err));
}

// Closes on every path; a failed close of a file that was written is an error of its own.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    // False, with errno set, when the close failed.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

int OpenRetryingInterrupts(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Where the file really lies: a symbolic link is followed, so the link stays a link and its
// target gets the new contents.
std::string TargetPath() {
    struct stat entry {};
    if (::lstat(kSettingsFileName, &entry) == 0 && S_ISLNK(entry.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(kSettingsFileName, resolved) != nullptr) {
            return resolved;
        }
    }
    return kSettingsFileName;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A new file beside the target, created exclusively so that nobody else's file is reused.
int CreateTemporary(const std::string& target, std::string& temporaryPath, mode_t mode) {
    const std::string base =
        DirectoryOf(target) + "/." + kSettingsFileName + "." + std::to_string(::getpid()) + ".";
    for (int attempt = 0;; ++attempt) {
        temporaryPath = base + std::to_string(attempt);
        const int fd = OpenRetryingInterrupts(temporaryPath.c_str(),
                                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST || attempt == 99) {
            return fd;
        }
    }
}

}  // namespace

std::string InOutErrorMessage(int code) {
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        case kReadBeyondEndOfFile:
            return "Read beyond end of file";
        case kDiskFull:
            return "Disk full";
        default:
            return "I/O error " + std::to_string(code);
    }
}

bool SettingsFileExists() {
    struct stat entry {};
    return ::stat(kSettingsFileName, &entry) == 0 && !S_ISDIR(entry.st_mode);
}

std::uint32_t ReadSettingsInterval() {
    // Opened for writing as well, so a file that cannot be written cannot be read either.
    FileDescriptor file(OpenRetryingInterrupts(kSettingsFileName, O_RDWR));
    if (file.Get() < 0) {
        FailWithErrno(errno, kRead, kSettingsFileName);
    }
    std::array<unsigned char, 4> bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(file.Get(), bytes.data() + got, bytes.size() - got,
                                  kIntervalOffset + static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            FailWithErrno(errno, kRead, kSettingsFileName);
        }
        if (n == 0) {
            Fail(kReadBeyondEndOfFile, kRead, kSettingsFileName, "it ends before byte 8");
        }
        got += static_cast<std::size_t>(n);
    }
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void WriteSettingsInterval(std::uint32_t interval) {
    const std::string target = TargetPath();

    // An existing file must be writable (a read-only one is refused as before); the new one
    // keeps its permissions.
    mode_t mode = 0666;
    FileDescriptor existing(OpenRetryingInterrupts(target.c_str(), O_RDWR));
    if (existing.Get() >= 0) {
        struct stat entry {};
        if (::fstat(existing.Get(), &entry) != 0) {
            FailWithErrno(errno, kWrite, target);
        }
        mode = entry.st_mode & 0777;
    } else if (errno != ENOENT) {
        FailWithErrno(errno, kWrite, target);
    }

    std::string temporaryPath;
    FileDescriptor temporary(CreateTemporary(target, temporaryPath, mode));
    if (temporary.Get() < 0) {
        const int err = errno;
        Fail(static_cast<int>(WindowsErrorFromErrno(err)), kWrite, target,
             "cannot create " + ShownPath(temporaryPath) + " beside it: " + std::strerror(err));
    }
    try {
        if (existing.Get() >= 0 && ::fchmod(temporary.Get(), mode) != 0) {
            FailWithErrno(errno, kWrite, target);
        }
        const std::array<unsigned char, kFileSize> contents{
            0,
            0,
            0,
            0,
            static_cast<unsigned char>(interval & 0xFF),
            static_cast<unsigned char>(interval >> 8 & 0xFF),
            static_cast<unsigned char>(interval >> 16 & 0xFF),
            static_cast<unsigned char>(interval >> 24 & 0xFF)};
        ssize_t written;
        do {
            written = ::write(temporary.Get(), contents.data(), contents.size());
        } while (written < 0 && errno == EINTR);
        if (written < 0) {
            FailWithErrno(errno, kWrite, target);
        }
        if (static_cast<std::size_t>(written) != contents.size()) {
            Fail(kDiskFull, kWrite, target,
                 std::to_string(written) + " of " + std::to_string(contents.size()) +
                     " bytes written");
        }
        if (::fsync(temporary.Get()) != 0 || !temporary.Close() ||
            ::rename(temporaryPath.c_str(), target.c_str()) != 0) {
            FailWithErrno(errno, kWrite, target);
        }
    } catch (...) {
        ::unlink(temporaryPath.c_str());
        throw;
    }
}
