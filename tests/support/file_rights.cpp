#include "file_rights.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace test_support {

namespace {

struct Capabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
};

Capabilities Get() {
    Capabilities caps;
    if (syscall(SYS_capget, &caps.header, caps.data) != 0) {
        throw std::runtime_error(std::string("capget: ") + std::strerror(errno));
    }
    return caps;
}

void Set(Capabilities& caps) {
    if (syscall(SYS_capset, &caps.header, caps.data) != 0) {
        throw std::runtime_error(std::string("capset: ") + std::strerror(errno));
    }
}

constexpr unsigned kFileRights =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

}  // namespace

ScopedFileRightsDrop::ScopedFileRightsDrop() {
    Capabilities caps = Get();
    savedEffective_[0] = caps.data[0].effective;
    savedEffective_[1] = caps.data[1].effective;
    caps.data[0].effective &= ~kFileRights;
    Set(caps);
}

ScopedFileRightsDrop::~ScopedFileRightsDrop() {
    Capabilities caps = Get();
    caps.data[0].effective = savedEffective_[0];
    caps.data[1].effective = savedEffective_[1];
    Set(caps);
}

}  // namespace test_support
