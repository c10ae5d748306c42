#include "settings_file.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace korvex::settings {
namespace {

TEST(StoredNumber, ReadsTheLeadingNumberOnly) {
    struct Case {
        const char* text;
        double expected;
    } const cases[] = {
        {"1.5", 1.5},    {" 1.5abc", 1.5}, {"\t+2.25", 2.25}, {"2e-1", 0.2},     {"2d-1", 0.2},  {"2D+1", 20.0},
        {"2E1", 20.0},   {"-0.5", -0.5},   {".5", 0.5},       {"5.", 5.0},       {"0x10", 0.0},  {"inf", 0.0},
        {"nan", 0.0},    {"abc", 0.0},     {"", 0.0},         {"0.000000", 0.0}, {"1e", 1.0},    {"1e+", 1.0},
        {"1.25d", 1.25}, {"-", 0.0},       {".", 0.0},        {"1,5", 1.0},      {"1.2.3", 1.2}, {"  -.75e1x", -7.5},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(ParseStoredNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(StoredNumber, OutOfRangeExponentsSaturateAsTheCLibraryDoes) {
    EXPECT_TRUE(std::isinf(ParseStoredNumber("1e999")));
    EXPECT_LT(ParseStoredNumber("-1d999"), 0.0);
    EXPECT_EQ(ParseStoredNumber("1e-999"), 0.0);
    // A long run of digits that still fits a 249-character value.
    EXPECT_DOUBLE_EQ(ParseStoredNumber(("1." + std::string(240, '0') + "1").c_str()), 1.0);
}

TEST(StoredNumber, WritesSixDecimalsWithAPointWhateverTheLocale) {
    EXPECT_EQ(FormatStoredRatio(1.0), "1.000000");
    EXPECT_EQ(FormatStoredRatio(0.875), "0.875000");
    EXPECT_EQ(FormatStoredRatio(1.2345678), "1.234568");
    EXPECT_EQ(FormatStoredRatio(-0.5), "-0.500000");
    EXPECT_EQ(FormatStoredRatio(0.0), "0.000000");
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(FormatStoredRatio(1.25), "1.250000");
        std::setlocale(LC_NUMERIC, "C");
    }
    // The largest double still formats without running out of room.
    EXPECT_EQ(FormatStoredRatio(1.0e308).size(), 309u + 7u);
}

}  // namespace
}  // namespace korvex::settings
