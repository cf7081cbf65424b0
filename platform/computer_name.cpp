#include "computer_name.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "kernel.h"
#include "win_error_map.h"

namespace corvane::kernel {

namespace {

constexpr const char* kSmbConfPath = "/etc/samba/smb.conf";
constexpr const char* kDefaultWorkgroup = "WORKGROUP";

std::string UpperNetbiosName(std::string_view name) {
    std::string result(name.substr(0, kMaxComputerNameLength));
    for (char& c : result) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return result;
}

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Samba's parameter names ignore case, blanks and underscores ("work group" is "workgroup").
std::string CanonicalKey(std::string_view key) {
    std::string result;
    for (char c : key) {
        if (c != ' ' && c != '\t' && c != '_') {
            result.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    return result;
}

}  // namespace

std::string NetbiosNameFromHostName(std::string_view hostName) {
    return UpperNetbiosName(hostName.substr(0, hostName.find('.')));
}

std::string ComputerNetbiosName() {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) {
        return {};
    }
    return NetbiosNameFromHostName(host);
}

std::string WorkgroupFromSmbConf(std::istream& conf) {
    std::string workgroup;
    bool inGlobal = true;  // parameters before the first section count as global
    std::string line;
    while (std::getline(conf, line)) {
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == '#' || text.front() == ';') {
            continue;
        }
        if (text.front() == '[') {
            const std::size_t close = text.find(']');
            inGlobal = close != std::string_view::npos &&
                       EqualsIgnoringCase(Trim(text.substr(1, close - 1)), "global");
            continue;
        }
        const std::size_t equals = text.find('=');
        if (!inGlobal || equals == std::string_view::npos ||
            CanonicalKey(text.substr(0, equals)) != "workgroup") {
            continue;
        }
        const std::string_view value = Trim(text.substr(equals + 1));
        if (!value.empty()) {
            workgroup = UpperNetbiosName(value);  // the last setting wins, as in Samba
        }
    }
    return workgroup;
}

std::string PrimaryDomainName() {
    std::ifstream conf(kSmbConfPath);
    if (conf) {
        std::string workgroup = WorkgroupFromSmbConf(conf);
        if (!workgroup.empty()) {
            return workgroup;
        }
    }
    return kDefaultWorkgroup;
}

}  // namespace corvane::kernel

BOOL GetComputerNameA(char* lpBuffer, DWORD* nSize) {
    if (nSize == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WIN_FALSE;
    }
    errno = 0;
    const std::string name = corvane::kernel::ComputerNetbiosName();
    if (name.empty()) {
        SetLastError(errno != 0 ? WindowsErrorFromErrno(errno) : ERROR_GEN_FAILURE);
        return WIN_FALSE;
    }
    const DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (*nSize < needed) {
        // The buffer stays untouched; the caller learns the size it needs, NUL included.
        *nSize = needed;
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return WIN_FALSE;
    }
    if (lpBuffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WIN_FALSE;
    }
    std::memcpy(lpBuffer, name.c_str(), needed);
    *nSize = static_cast<DWORD>(name.size());
    return WIN_TRUE;
}
