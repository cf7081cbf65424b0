// This computer's NetBIOS identity: its computer name and its primary domain (workgroup).
#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace corvane::kernel {

constexpr std::size_t kMaxComputerNameLength = 15;

// The NetBIOS form of a host name: its first label, upper case, at most 15 characters.
std::string NetbiosNameFromHostName(std::string_view hostName);

// This computer's name from its current host name; empty when the host name cannot be read.
std::string ComputerNetbiosName();

// The workgroup that an smb.conf text configures in its global section, upper case; empty when
// it configures none.
std::string WorkgroupFromSmbConf(std::istream& conf);

// The primary domain: the workgroup configured in /etc/samba/smb.conf, else "WORKGROUP".
std::string PrimaryDomainName();

}  // namespace corvane::kernel
