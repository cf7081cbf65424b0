// The computer's NetBIOS name, its primary domain and GetComputerNameA's buffer rules.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <sstream>

#include "computer_name.h"
#include "kernel.h"

namespace {

using corvane::kernel::NetbiosNameFromHostName;
using corvane::kernel::WorkgroupFromSmbConf;

TEST(ComputerNameTest, TakesTheUpperCasedFirstLabelOfAtMostFifteenCharacters) {
    const std::pair<const char*, const char*> cases[] = {
        {"vm", "VM"},
        {"compa", "COMPA"},
        {"build-7.example.org", "BUILD-7"},
        {"fifteen-chars-x", "FIFTEEN-CHARS-X"},
        {"sixteen-chars-xy.lan", "SIXTEEN-CHARS-X"},
        {"MiXeD", "MIXED"},
    };
    for (const auto& [host, expected] : cases) {
        EXPECT_EQ(NetbiosNameFromHostName(host), expected) << host;
    }
}

std::string ThisComputer() {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    return NetbiosNameFromHostName(host);
}

TEST(GetComputerNameTest, ReturnsTheNameAndItsLengthWithoutNul) {
    const std::string expected = ThisComputer();
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    DWORD size = sizeof buffer;
    ASSERT_TRUE(GetComputerNameA(buffer, &size));
    EXPECT_STREQ(buffer, expected.c_str());
    EXPECT_EQ(size, expected.size());
}

TEST(GetComputerNameTest, ASmallBufferStaysUntouchedAndLearnsTheSizeWithNul) {
    const std::string expected = ThisComputer();
    for (DWORD given : {DWORD{0}, static_cast<DWORD>(expected.size())}) {
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        DWORD size = given;
        SetLastError(0);
        EXPECT_FALSE(GetComputerNameA(buffer, &size));
        EXPECT_EQ(GetLastError(), ERROR_BUFFER_OVERFLOW);
        EXPECT_EQ(size, expected.size() + 1);
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(16, '#'));
    }
}

TEST(GetComputerNameTest, NoSizeIsAnInvalidParameter) {
    char buffer[16];
    SetLastError(0);
    EXPECT_FALSE(GetComputerNameA(buffer, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(WorkgroupTest, ReadsTheGlobalWorkgroupOfAnSmbConf) {
    const std::pair<const char*, const char*> cases[] = {
        {"[global]\n   workgroup = Office\n", "OFFICE"},
        {"[global]\nWORKGROUP=lab\n", "LAB"},
        {"[global]\n  work group = spaced\n", "SPACED"},
        {"workgroup = before-any-section\n", "BEFORE-ANY-SECT"},
        {"[global]\n# workgroup = commented\n; workgroup = too\n", ""},
        {"[homes]\nworkgroup = notglobal\n", ""},
        {"[global]\nworkgroup = first\n[printers]\nworkgroup = x\n[global]\nworkgroup = last\n",
         "LAST"},
        {"[global]\nworkgroup =\n", ""},
        {"[global]\nnetbios name = pc\n", ""},
    };
    for (const auto& [text, expected] : cases) {
        std::istringstream conf(text);
        EXPECT_EQ(WorkgroupFromSmbConf(conf), expected) << text;
    }
}

TEST(WorkgroupTest, PrimaryDomainIsWorkgroupUnlessConfigured) {
    std::istringstream none("");
    EXPECT_EQ(WorkgroupFromSmbConf(none), "");
    const std::string domain = corvane::kernel::PrimaryDomainName();
    EXPECT_FALSE(domain.empty());
    EXPECT_LE(domain.size(), 15u);
    if (access("/etc/samba/smb.conf", R_OK) != 0) {
        EXPECT_EQ(domain, "WORKGROUP");
    }
}

}  // namespace
