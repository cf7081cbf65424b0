#include "text_conversion.h"

#include <locale.h>
#include <QLocale>
#include <QString>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "exceptions.h"

namespace {

constexpr int kSignificantDigits = 18;

std::atomic<char>& SeparatorCell() {
    static std::atomic<char> separator{LocaleDecimalSeparator(SystemLocaleName())};
    return separator;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The C locale, so that the process locale Qt sets up never changes how numbers are read.
locale_t CLocale() {
    static locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

// Checks the framework's number syntax and rewrites the number for strtold in the C locale.
bool ToCanonicalNumber(const std::string& text, char separator, std::string& canonical) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') {
        ++i;
    }
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        canonical += text[i++];
    }
    int digits = 0;
    while (i < n && IsDigit(text[i])) {
        canonical += text[i++];
        ++digits;
    }
    if (i < n && text[i] == separator) {
        canonical += '.';
        ++i;
        while (i < n && IsDigit(text[i])) {
            canonical += text[i++];
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        std::string exponent;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            exponent += text[i++];
        }
        bool exponentDigits = false;
        while (i < n && IsDigit(text[i])) {
            exponent += text[i++];
            exponentDigits = true;
        }
        // An exponent without digits counts as 0.
        if (exponentDigits) {
            canonical += 'e' + exponent;
        }
    }
    while (i < n && text[i] == ' ') {
        ++i;
    }
    return i == n;
}

// A magnitude as decimal digits (no leading zero unless the value is 0) and the number of
// digits before the decimal point, which is 0 or negative for values below 0.1.
struct DecimalDigits {
    std::vector<int> digits;
    int integerDigits = 0;
};

DecimalDigits ToDecimalDigits(long double magnitude) {
    DecimalDigits result;
    if (magnitude == 0) {
        result.digits = {0};
        result.integerDigits = 1;
        return result;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Le", kSignificantDigits - 1, magnitude);
    // "d.ddd...e+XX"; the point may be another character in the process locale.
    const char* p = buffer;
    for (; *p != '\0' && *p != 'e'; ++p) {
        if (IsDigit(*p)) {
            result.digits.push_back(*p - '0');
        }
    }
    int exponent = (*p == 'e') ? std::atoi(p + 1) : 0;
    result.integerDigits = exponent + 1;
    return result;
}

// Keeps `precision` digits after the point, rounding halves away from zero.
void RoundAt(DecimalDigits& number, int precision) {
    const int keep = number.integerDigits + precision;
    auto& d = number.digits;
    if (keep >= static_cast<int>(d.size())) {
        return;
    }
    if (keep < 0) {
        d = {0};
        number.integerDigits = 1;
        return;
    }
    const bool up = d[keep] >= 5;
    d.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d[i] == 9) {
            d[i--] = 0;
        }
        if (i >= 0) {
            ++d[i];
        } else {
            d.insert(d.begin(), 1);
            ++number.integerDigits;
        }
    }
    if (d.empty()) {
        d = {0};
        number.integerDigits = 1;
    }
}

bool AllZero(const std::vector<int>& digits) {
    for (int d : digits) {
        if (d != 0) {
            return false;
        }
    }
    return true;
}

int DigitAt(const DecimalDigits& number, int position) {
    return position >= 0 && position < static_cast<int>(number.digits.size())
               ? number.digits[position]
               : 0;
}

std::string FixedText(long double value, int precision, char separator) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    DecimalDigits number = ToDecimalDigits(std::fabs(value));
    std::string text;
    if (number.integerDigits > kSignificantDigits) {
        auto& d = number.digits;
        while (d.size() > 1 && d.back() == 0) {
            d.pop_back();
        }
        text += static_cast<char>('0' + d[0]);
        if (d.size() > 1) {
            text += separator;
            for (std::size_t i = 1; i < d.size(); ++i) {
                text += static_cast<char>('0' + d[i]);
            }
        }
        text += 'E' + std::to_string(number.integerDigits - 1);
    } else {
        RoundAt(number, precision);
        if (number.integerDigits <= 0) {
            text += '0';
        }
        for (int i = 0; i < number.integerDigits; ++i) {
            text += static_cast<char>('0' + DigitAt(number, i));
        }
        if (precision > 0) {
            text += separator;
            for (int i = 0; i < precision; ++i) {
                text += static_cast<char>('0' + DigitAt(number, number.integerDigits + i));
            }
        }
    }
    // A result of zero carries no sign.
    if (value < 0 && !AllZero(number.digits)) {
        text.insert(text.begin(), '-');
    }
    return text;
}

[[noreturn]] void InvalidFormat(std::string_view format) {
    throw EConvertError("Format '" + std::string(format) +
                        "' invalid or incompatible with argument");
}

}  // namespace

std::string Trim(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') {
        ++first;
    }
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') {
        --last;
    }
    return text.substr(first, last - first);
}

long double StrToFloat(const std::string& text) {
    std::string canonical;
    if (ToCanonicalNumber(text, DecimalSeparator(), canonical)) {
        long double value = strtold_l(canonical.c_str(), nullptr, CLocale());
        // Too small for a long double becomes 0 or a subnormal; too large is an error.
        if (!std::isinf(value)) {
            return value;
        }
    }
    throw EConvertError("'" + text + "' is not a valid floating point value");
}

std::string Format(std::string_view format, long double value) {
    std::string result;
    bool valueUsed = false;
    std::size_t i = 0;
    while (i < format.size()) {
        char c = format[i++];
        if (c != '%') {
            result += c;
            continue;
        }
        if (i < format.size() && format[i] == '%') {
            result += '%';
            ++i;
            continue;
        }
        bool leftJustify = false;
        if (i < format.size() && format[i] == '-') {
            leftJustify = true;
            ++i;
        }
        std::size_t width = 0;
        while (i < format.size() && IsDigit(format[i])) {
            width = std::min<std::size_t>(width * 10 + (format[i++] - '0'), 1000);
        }
        int precision = 2;
        if (i < format.size() && format[i] == '.') {
            ++i;
            precision = 0;
            while (i < format.size() && IsDigit(format[i])) {
                precision = std::min(precision * 10 + (format[i++] - '0'), 1000);
            }
        }
        if (i >= format.size() || (format[i] != 'f' && format[i] != 'F') || valueUsed) {
            InvalidFormat(format);
        }
        ++i;
        valueUsed = true;
        std::string text =
            FixedText(value, std::min(precision, kSignificantDigits), DecimalSeparator());
        if (text.size() < width) {
            std::string blanks(width - text.size(), ' ');
            text = leftJustify ? text + blanks : blanks + text;
        }
        result += text;
    }
    return result;
}

char DecimalSeparator() {
    return SeparatorCell().load();
}

void SetDecimalSeparator(char separator) {
    SeparatorCell().store(separator);
}

std::string SystemLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "C";
}

char LocaleDecimalSeparator(const std::string& localeName) {
    if (localeName.empty() || localeName == "C" || localeName == "POSIX" ||
        localeName.rfind("C.", 0) == 0) {
        return '.';
    }
    QLocale locale(QString::fromStdString(localeName));
    if (locale.language() == QLocale::C) {
        return '.';
    }
    QString point = locale.decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() > ' ' && point.at(0).unicode() < 0x7F) {
        return static_cast<char>(point.at(0).unicode());
    }
    return '.';
}

void ReadLocaleSettings() {
    SetDecimalSeparator(LocaleDecimalSeparator(SystemLocaleName()));
}
