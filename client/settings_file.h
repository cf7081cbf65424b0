// The client's settings file "Velnaro.inf" in the current directory: 8 bytes, of which bytes 4 to
// 7 hold the synchronisation interval in milliseconds, little-endian. Failures raise EInOutError.
#pragma once

#include <cstdint>
#include <string>

constexpr const char* kSettingsFileName = "Velnaro.inf";

// Error codes the procedures set themselves.
constexpr int kReadBeyondEndOfFile = 100;
constexpr int kDiskFull = 101;

// The message of an EInOutError with this code.
std::string InOutErrorMessage(int code);

// True when an entry of that name exists and is not a directory.
bool SettingsFileExists();

// The interval in bytes 4 to 7; the file must also be writable.
std::uint32_t ReadSettingsInterval();

// Replaces the file with 00 00 00 00 and the interval. The replacement is atomic: when it
// fails, the file is as it was before.
void WriteSettingsInterval(std::uint32_t interval);
