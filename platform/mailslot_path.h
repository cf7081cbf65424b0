// Parsing of mailslot paths: \\.\Mailslot\NAME, \\*\Mailslot\NAME and \\OTHER\Mailslot\NAME.
#pragma once

#include <string>

#include "windows_types.h"

namespace corvane::kernel {

enum class MailslotScope {
    local,          // \\.\ : this computer
    primaryDomain,  // \\*\ : every computer of the primary domain
    named,          // \\OTHER\ : the computer, or every computer of the domain, called OTHER
};

struct MailslotPath {
    MailslotScope scope = MailslotScope::local;
    std::string server;  // upper case; only for MailslotScope::named
    std::string name;    // as given, with backslashes between its parts
};

struct MailslotPathParse {
    DWORD error = ERROR_SUCCESS;  // the code a create or open of this path fails with
    MailslotPath path;
};

// The keyword "mailslot" is matched in any letter case; slashes count as backslashes.
MailslotPathParse ParseMailslotPath(const char* path);

// The key under which a mailslot name is held: names match in any letter case.
std::string MailslotKey(const std::string& name);

}  // namespace corvane::kernel
