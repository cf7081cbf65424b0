// Text and number conversion as the framework does it: blanks trimmed the framework's way, the
// decimal separator of the system's locale, extended precision (long double, 64-bit mantissa)
// and the framework's rounding of decimal digits, halves away from zero.
#pragma once

#include <string>
#include <string_view>

// Removes the characters with codes up to 32 from both ends.
std::string Trim(const std::string& text);

// "[blanks][+|-]digits[sep digits][(E|e)[+|-][digits]][blanks]" with at least one digit before
// the exponent and the current DecimalSeparator as sep; the nearest long double. Anything else,
// and a value too large for a long double, raises EConvertError
// "'<text>' is not a valid floating point value".
long double StrToFloat(const std::string& text);

// Formats one value by a format of literal text, "%%" and one "%[-][width][.precision]f"
// (precision 2 when omitted, at most 18). The value is taken to 18 significant decimal digits,
// rounded at the precision halves away from zero, padded with blanks to the width (on the left,
// or on the right with "-"). Values of 1e18 and more come out in exponent form ("1.5E20"), NaN
// and infinities as "NAN", "INF", "-INF". Any other format raises EConvertError
// "Format '<format>' invalid or incompatible with argument".
std::string Format(std::string_view format, long double value);

// The decimal separator of StrToFloat and Format: the system locale's, until set otherwise.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// The system locale for numbers as POSIX chooses it: LC_ALL, else LC_NUMERIC, else LANG.
std::string SystemLocaleName();
// The decimal separator of a locale name such as "de_DE.UTF-8"; "." for the C locale, for a
// name no locale goes by, and where the locale's separator is not a single ASCII character.
char LocaleDecimalSeparator(const std::string& localeName);
// Takes the decimal separator from the system locale again.
void ReadLocaleSettings();
