// Error codes this layer reports beyond those the programs name in windows_types.h.
#pragma once

#include "windows_types.h"

constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
constexpr DWORD ERROR_MR_MID_NOT_FOUND = 317;
constexpr DWORD ERROR_NOACCESS = 998;
constexpr DWORD ERROR_IO_DEVICE = 1117;
constexpr DWORD ERROR_NO_SYSTEM_RESOURCES = 1450;
constexpr DWORD ERROR_RESOURCE_LANG_NOT_FOUND = 1815;
constexpr DWORD ERROR_CANT_RESOLVE_FILENAME = 1921;

// FormatMessageA flags that this layer does not implement but must recognise to refuse.
constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x00000100u;
constexpr DWORD FORMAT_MESSAGE_FROM_STRING = 0x00000400u;
constexpr DWORD FORMAT_MESSAGE_FROM_HMODULE = 0x00000800u;
constexpr DWORD FORMAT_MESSAGE_MAX_WIDTH_MASK = 0x000000FFu;
