// The system text of an error code, as the messaging layer's exceptions carry it.
#pragma once

#include <string>

#include "windows_types.h"

// FormatMessageA's text for code, without trailing blanks, control characters and full stops;
// empty when the system has no text for the code.
std::string SystemText(DWORD code);
