#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "exceptions.h"
#include "text_conversion.h"

namespace {

// Runs each test with a chosen decimal separator and puts the previous one back.
class WithSeparator {
public:
    explicit WithSeparator(char separator) : previous_(DecimalSeparator()) {
        SetDecimalSeparator(separator);
    }
    ~WithSeparator() { SetDecimalSeparator(previous_); }

private:
    char previous_;
};

// Sets or clears environment variables for a test and restores them afterwards.
class ScopedEnvironment {
public:
    void Set(const char* name, const char* value) {
        Save(name);
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                setenv(it->first.c_str(), it->second->c_str(), 1);
            } else {
                unsetenv(it->first.c_str());
            }
        }
    }

private:
    void Save(const char* name) {
        const char* value = std::getenv(name);
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

struct NumberCase {
    const char* text;
    long double value;
};

void ExpectNumbers(const std::vector<NumberCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("input \"") + c.text + "\"");
        long double value = 0;
        EXPECT_NO_THROW(value = StrToFloat(c.text));
        // Exact: the result must be the nearest long double, not a double widened.
        EXPECT_EQ(value, c.value);
    }
}

void ExpectNoNumbers(const std::vector<std::string>& texts) {
    for (const auto& text : texts) {
        SCOPED_TRACE("input \"" + text + "\"");
        try {
            StrToFloat(text);
            ADD_FAILURE() << "accepted";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + text + "' is not a valid floating point value");
        }
    }
}

}  // namespace

TEST(Trim, CutsControlCharactersAndBlanksAtBothEndsOnly) {
    EXPECT_EQ(Trim("  2.5 \t\r\n"), "2.5");
    EXPECT_EQ(Trim("\x01\x1f 8 03 \x1f"), "8 03");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(Trim(""), "");
    // Characters above 32, also bytes of UTF-8 text, stay.
    EXPECT_EQ(Trim("\xC3\xA9!"), "\xC3\xA9!");
}

TEST(StrToFloat, ReadsNumbersWithThePointAsSeparator) {
    WithSeparator point('.');
    ExpectNumbers({
        {"2", 2.0L},
        {" 2.5 ", 2.5L},
        {"1e2", 100.0L},
        {"8.03", 8.03L},
        {"0.99", 0.99L},
        {"999.01", 999.01L},
        {"-5", -5.0L},
        {"+5", 5.0L},
        {"1000", 1000.0L},
        {"0.1", 0.1L},
        {"1E+2", 100.0L},
        {"1e-2", 0.01L},
        {".5", 0.5L},
        {"5.", 5.0L},
        {"1e", 1.0L},
        {"1E+", 1.0L},
        {"  -0.685", -0.685L},
        {"123456789012345678901234567890", 123456789012345678901234567890.0L},
    });
}

TEST(StrToFloat, RefusesWhatIsNoNumberWithThePointAsSeparator) {
    WithSeparator point('.');
    ExpectNoNumbers({"abc", "",      " ",       "1,5",    ".",   "+",    "-",
                     "e5",  "1.2.3", "1,000.5", "10 E 2", "$FF", "0x10", "inf",
                     "nan", "1e5x",  "\t1",     "1\t",    "1 2", "--5",  "1e99999"});
}

TEST(StrToFloat, UsesTheCommaWhenThatIsTheSeparator) {
    WithSeparator comma(',');
    ExpectNumbers({
        {"1,5", 1.5L},
        {" 2,5 ", 2.5L},
        {"8,03", 8.03L},
        {"2", 2.0L},
        {"1e2", 100.0L},
        {"-5", -5.0L},
    });
    ExpectNoNumbers({"1.5", "2.5", "1,000,5", "abc", ""});
}

TEST(StrToFloat, KeepsTheExtendedPrecisionTheIntervalArithmeticNeeds) {
    WithSeparator point('.');
    // 8.03 minutes in milliseconds, each product rounded to a long double and then truncated:
    // one millisecond less than the exact 481800, and shown again as 8.03.
    long double minutes = StrToFloat("8.03");
    long double seconds = minutes * 1000.0L;
    long double milliseconds = seconds * 60.0L;
    auto interval = static_cast<std::int32_t>(milliseconds);
    EXPECT_EQ(interval, 481799);
    EXPECT_EQ(Format("%6.2f", interval * 0.001L * (1.0L / 60.0L)), "  8.03");
}

TEST(Format, RoundsDecimalDigitsHalfAwayFromZeroAndPadsToTheWidth) {
    WithSeparator point('.');
    struct Case {
        const char* format;
        long double value;
        const char* text;
    };
    const Case cases[] = {
        {"%6.2f", 1.0L, "  1.00"},
        {"%6.2f", 999.0L, "999.00"},
        {"%6.2f", 60000 * 0.001L * (1.0L / 60.0L), "  1.00"},
        {"%6.2f", 3.14159L, "  3.14"},
        {"%6.2f", -123.456L, "-123.46"},
        {"%6.2f", 123456.789L, "123456.79"},
        // Decimal halves go up where printf would round the binary value to even.
        {"%6.2f", 0.125L, "  0.13"},
        {"%6.2f", -0.125L, " -0.13"},
        {"%.0f", 2.5L, "3"},
        {"%.0f", 0.5L, "1"},
        // The 18-digit image of the long double 1.005 ends in 5; the double 1.005 lies below.
        {"%6.2f", 1.005L, "  1.01"},
        {"%6.2f", static_cast<long double>(1.005), "  1.00"},
        {"%6.2f", 9.995L, " 10.00"},
        {"%6.2f", 99.995L, "100.00"},
        // A value that rounds to zero has no sign.
        {"%6.2f", -0.001L, "  0.00"},
        {"%6.2f", -0.0L, "  0.00"},
        {"%6.2f", 0.0L, "  0.00"},
        {"%6.2f", 0.005L, "  0.01"},
        {"%6.2f", 0.004L, "  0.00"},
        {"%-8.2f", 1.5L, "1.50    "},
        {"%f", 1.5L, "1.50"},
        {"%.3f", 2.0005L, "2.001"},
        {"%2.2f", 12.5L, "12.50"},
        {"Value: %6.2f min, 100%%", 1.0L, "Value:   1.00 min, 100%"},
        {"%6.2f", 123456789012345678.0L, "123456789012345678.00"},
        {"%6.2f", 1e18L, "  1E18"},
        {"%6.2f", -1.5e20L, "-1.5E20"},
        {"%6.2f", std::numeric_limits<long double>::quiet_NaN(), "   NAN"},
        {"%6.2f", std::numeric_limits<long double>::infinity(), "   INF"},
        {"%6.2f", -std::numeric_limits<long double>::infinity(), "  -INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " of " + std::to_string(static_cast<double>(c.value)));
        EXPECT_EQ(Format(c.format, c.value), c.text);
    }
}

TEST(Format, WritesTheCommaWhenThatIsTheSeparator) {
    WithSeparator comma(',');
    EXPECT_EQ(Format("%6.2f", 1.0L), "  1,00");
    EXPECT_EQ(Format("%6.2f", -123.456L), "-123,46");
    EXPECT_EQ(Format("%6.2f", 481799 * 0.001L * (1.0L / 60.0L)), "  8,03");
    EXPECT_EQ(Format("%6.2f", 1.5e20L), "1,5E20");
}

TEST(Format, RefusesFormatsOtherThanOneFixedPointValue) {
    for (const char* format : {"%d", "%s", "%6.2f %6.2f", "%", "%6.2", "%*f", "%e", "%6.2g"}) {
        SCOPED_TRACE(format);
        try {
            Format(format, 1.0L);
            ADD_FAILURE() << "accepted";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(),
                      std::string("Format '") + format + "' invalid or incompatible with argument");
        }
    }
}

TEST(DecimalSeparator, ComesFromTheLocaleName) {
    struct Case {
        const char* locale;
        char separator;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", ','}, {"fr_FR", ','},   {"es_ES.UTF-8@euro", ','},
        {"en_US.UTF-8", '.'}, {"en_GB", '.'},   {"C", '.'},
        {"POSIX", '.'},       {"C.UTF-8", '.'}, {"", '.'},
        {"qq_QQ", '.'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(LocaleDecimalSeparator(c.locale), c.separator);
    }
}

TEST(DecimalSeparator, FollowsTheSystemLocaleInPosixOrder) {
    WithSeparator restore(DecimalSeparator());
    ScopedEnvironment environment;
    environment.Set("LC_ALL", nullptr);
    environment.Set("LC_NUMERIC", "de_DE.UTF-8");
    environment.Set("LANG", "en_US.UTF-8");
    EXPECT_EQ(SystemLocaleName(), "de_DE.UTF-8");
    ReadLocaleSettings();
    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_EQ(StrToFloat("1,5"), 1.5L);
    EXPECT_EQ(Format("%6.2f", 2.5L), "  2,50");

    environment.Set("LC_ALL", "en_US.UTF-8");
    ReadLocaleSettings();
    EXPECT_EQ(DecimalSeparator(), '.');

    environment.Set("LC_ALL", "");
    environment.Set("LC_NUMERIC", nullptr);
    environment.Set("LANG", "fr_FR.UTF-8");
    EXPECT_EQ(SystemLocaleName(), "fr_FR.UTF-8");

    environment.Set("LANG", nullptr);
    EXPECT_EQ(SystemLocaleName(), "C");
    ReadLocaleSettings();
    EXPECT_EQ(DecimalSeparator(), '.');
}
