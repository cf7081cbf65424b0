#include "mailslot_path.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "netbios_datagram.h"

namespace corvane::kernel {

namespace {

// Longest name part: the kernel's object name, "\??\mailslot\" and the name, stays below 260.
constexpr std::size_t kMaxNameLength = 246;

std::string Upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return result;
}

bool HasBadPart(std::string_view name) {
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('\\', start), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool IsBadServerCharacter(char c) {
    return std::string_view("\"*+,/:;<=>?[]|").find(c) != std::string_view::npos;
}

MailslotPathParse Failure(DWORD error) {
    MailslotPathParse result;
    result.error = error;
    return result;
}

}  // namespace

MailslotPathParse ParseMailslotPath(const char* path) {
    if (path == nullptr) {
        return Failure(ERROR_PATH_NOT_FOUND);
    }
    std::string text(path);
    std::replace(text.begin(), text.end(), '/', '\\');
    const std::string_view view(text);
    if (view.substr(0, 2) != "\\\\") {
        return Failure(ERROR_INVALID_NAME);
    }
    const std::size_t serverEnd = view.find('\\', 2);
    if (serverEnd == std::string_view::npos) {
        return Failure(ERROR_INVALID_NAME);
    }
    const std::size_t keywordEnd = view.find('\\', serverEnd + 1);
    if (keywordEnd == std::string_view::npos ||
        Upper(view.substr(serverEnd + 1, keywordEnd - serverEnd - 1)) != "MAILSLOT") {
        return Failure(ERROR_INVALID_NAME);
    }
    const std::string_view server = view.substr(2, serverEnd - 2);
    const std::string_view name = view.substr(keywordEnd + 1);
    if (HasBadPart(name)) {
        return Failure(ERROR_INVALID_NAME);
    }
    if (name.size() > kMaxNameLength) {
        return Failure(ERROR_FILENAME_EXCED_RANGE);
    }
    MailslotPathParse result;
    result.path.name = std::string(name);
    if (server == ".") {
        result.path.scope = MailslotScope::local;
    } else if (server == "*") {
        result.path.scope = MailslotScope::primaryDomain;
    } else {
        // A computer or domain must be a NetBIOS name to be reached by a datagram.
        const std::string upper = Upper(server);
        if (!netbios::IsValidNetbiosName(upper) ||
            std::any_of(upper.begin(), upper.end(), IsBadServerCharacter) ||
            upper.find('.') != std::string::npos) {
            return Failure(ERROR_BAD_NETPATH);
        }
        result.path.scope = MailslotScope::named;
        result.path.server = upper;
    }
    return result;
}

std::string MailslotKey(const std::string& name) {
    std::string key(name);
    for (char& c : key) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

}  // namespace corvane::kernel
