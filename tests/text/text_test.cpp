#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::text {
namespace {

TEST(TextToNum, ReadsTheLeadingNumber) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"", 0},          {"abc", 0},       {"-", 0},          {".", 0},
        {"1,5", 1},       {"1 5", 15},      {"12abc", 12},     {"1e3", 1000},
        {" -49.5", -49.5}, {"+7", 7},       {"-.5", -0.5},     {"5.", 5},
        {"1D2", 100},     {"2.5e-1", 0.25}, {"1e", 1},         {"1e+", 1},
        {"1E 2", 100},    {"\t1\n2", 12},   {"- 3", -3},       {"&H1F", 31},
        {"&hff", 255},    {"&O17", 15},     {"&X1", 0},        {"&H", 0},
        {"1768.1", 1768.1}, {"1.2.3", 1.2}, {"--1", 0},        {"0x10", 0},
        {"1\r2", 1},      {"１２", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Text_to_num(c.text), c.value) << "[" << c.text << "]";
}

// What is read and what is left: the window marks a box whose text was read only in part.
TEST(TextToNum, SaysWhatItReadAndWhetherAnythingWasLeft) {
    struct Case {
        const char* text;
        const char* read;
        bool whole;
    };
    const Case cases[] = {
        {"", "", true},           {"  \t", "", true},      {"3.26", "3.26", true},
        {"3,26", "3", false},     {"abc", "", false},       {"3.26\n4.5", "3.264", false},
        {"1 5", "15", true},      {" -49.5 ", "-49.5", true}, {"1e", "1", false},
        {"1e-", "1", false},      {"1E 2", "1e2", true},    {"-", "", false},
        {".", "", false},         {"5.", "5.", true},       {"&H1F", "&H1F", true},
        {"&H", "", false},        {"&H1G", "&H1", false},   {"12abc", "12", false},
        {"1\r", "1", false},      {"1.2.3", "1.2", false},
    };
    for (const Case& c : cases) {
        const LeadingNumber n = read_leading_number(c.text);
        EXPECT_EQ(n.read, c.read) << "[" << c.text << "]";
        EXPECT_EQ(n.whole, c.whole) << "[" << c.text << "]";
        EXPECT_EQ(n.value, Text_to_num(c.text)) << "[" << c.text << "]";
    }
}

TEST(TextToNum, BeyondTheDoubleRangeIsInfinite) {
    EXPECT_EQ(Text_to_num("1e400"), INFINITY);
    EXPECT_EQ(Text_to_num("-1e400"), -INFINITY);
    EXPECT_EQ(Text_to_num("1e39"), 1e39);
    EXPECT_EQ(Text_to_num("1e-400"), 0.0);
}

TEST(NumToTextSign, Forms) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {6.27442, " 6.27442"},  {0.5, " .5"},           {-0.5, "-.5"},
        {100, " 100"},          {0, " 0"},              {-0.0, " 0"},
        {-3.37868, "-3.37868"}, {2e-05, " 2E-05"},      {-1.5e-05, "-1.5E-05"},
        {1e15, " 1E+15"},       {0.0001, " .0001"},     {999999999999999, " 999999999999999"},
        {-0.00188, "-.00188"},  {18.69354, " 18.69354"}, {1768.046, " 1768.046"},
        {0.1 + 0.2, " .3"},     {2.32304, " 2.32304"},  {1.23456789012345678, " 1.23456789012346"},
        {1e300, " 1E+300"},     {1234.5, " 1234.5"},    {120, " 120"},
    };
    for (const Case& c : cases) EXPECT_EQ(Num_to_text_sign(c.value), c.text) << c.value;
}

TEST(NumToText, Forms) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {5.4, "5.4"},    {0.39, "0.39"}, {-0.17, "-0.17"}, {40, "40"},  {-0.0, "0"},
        {0, "0"},        {-0.13, "-0.13"}, {41.37, "41.37"}, {2e-05, "2E-05"},
    };
    for (const Case& c : cases) EXPECT_EQ(Num_to_text(c.value, "."), c.text) << c.value;
    EXPECT_EQ(Num_to_text(0.39, ","), "0,39");
    EXPECT_EQ(Num_to_text(-1.5e-05, ","), "-1,5E-05");
}

TEST(NumToTextSign, ReadsBackToTheSameValue) {
    for (double x : {-0.23556, 10.75654, 1e-7, 123456.789, -9.8765432109876e10}) {
        const std::string text = Num_to_text_sign(x);
        EXPECT_DOUBLE_EQ(Text_to_num(text), x) << text;
    }
}

TEST(NumToTextSign, LargestDoublesReadBackAsInfinity) {
    // Found by fuzzing: 15 digits of the largest doubles round up beyond the double range.
    EXPECT_EQ(Num_to_text_sign(-1.7976931348623157e308), "-1.79769313486232E+308");
    EXPECT_EQ(Text_to_num(Num_to_text_sign(-1.7976931348623157e308)), -INFINITY);
    EXPECT_EQ(Text_to_num(Num_to_text_sign(1.7976931348623e308)), 1.7976931348623e308);
}

TEST(StrictNumber, AcceptsOnlyWholeDecimalNumbers) {
    EXPECT_EQ(parse_strict_number("12"), 12.0);
    EXPECT_EQ(parse_strict_number("-0.236"), -0.236);
    EXPECT_EQ(parse_strict_number("+1.5e3"), 1500.0);
    EXPECT_EQ(parse_strict_number(".5"), 0.5);
    EXPECT_EQ(parse_strict_number("5."), 5.0);
    for (const char* bad : {"", " ", "-", ".", "1e", "1e+", "1,5", "1 5", "12abc", "nan", "inf",
                            "0x1p3", "1e400", "--1", "1d3"}) {
        EXPECT_EQ(parse_strict_number(bad), std::nullopt) << bad;
    }
}


// A coefficient known to a resolution: down to the resolution's first digit, zeros kept; what
// rounds to nothing there is 0.
TEST(ToResolution, DigitsDownToTheResolution) {
    const struct {
        double x;
        double resolution;
        const char* text;
    } cases[] = {
        {0.0100001, 4.95e-5, "0.01000"}, {-8e-10, 1.47e-7, "0"},          {2.7825e-21, 9.79e-11, "0"},
        {8.9812e-5, 1.47e-7, "8.98e-05"}, {-4.4721e-8, 9.79e-11, "-4.472e-08"}, {-0.0248149, 4.95e-5, "-0.02481"},
        {1.23456e-4, 1.47e-7, "0.0001235"}, {7e-8, 1.47e-7, "0"},          {1.5e-7, 1.47e-7, "2e-07"},
        {123.456, 0.5, "123.5"},           {-0.0000049, 4.95e-5, "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(to_resolution(c.x, c.resolution), c.text) << c.x << ", " << c.resolution;
}

// A number in a label: a power of ten written out, never "e-06".
TEST(ForReading, PowersOfTenWrittenOut) {
    const struct {
        double x;
        int digits;
        const char* text;
    } cases[] = {{-9.919e-6, 6, "-9.919×10⁻⁶"}, {3.9083e-3, 8, "0.0039083"}, {1.5e7, 2, "1.5×10⁷"},
                 {-1.2134e-4, 8, "-0.00012134"}, {2e-10, 3, "2×10⁻¹⁰"}, {100, 6, "100"}, {0, 3, "0"}};
    for (const auto& c : cases) EXPECT_EQ(for_reading(c.x, c.digits), c.text) << c.x;
}

// An uncertainty keeps the digits it is stated to, zeros too, after rounding moved its decade.
TEST(Stated, KeepsTrailingZeros) {
    const struct {
        double x;
        int digits;
        const char* text;
    } cases[] = {
        {0.396, 2, "0.40"}, {0.4, 2, "0.40"},     {1.5, 2, "1.5"},      {12.3, 2, "12"},
        {123.0, 2, "120"},  {0.0996, 2, "0.10"},  {9.96, 2, "10"},      {0.00047, 2, "0.00047"},
        {2.0, 3, "2.00"},   {-0.396, 2, "-0.40"}, {-0.0001, 1, "-0.0001"}, {0.0, 2, "0"},
        // No digit a double does not carry: a power of ten beyond 10^15.
        {1.8e149, 3, "1.80e+149"}, {9.996e14, 3, "1.00e+15"}, {9.9e14, 3, "990000000000000"},
    };
    for (const auto& c : cases) EXPECT_EQ(stated(c.x, c.digits), c.text) << c.x << ", " << c.digits;
}

}  // namespace
}  // namespace its90::text

namespace its90::text {
namespace {

// A meter's reply in volts becomes an EMF in mV with every digit it gave, never rounded.
TEST(DecimalShifted, MovesThePointAndKeepsEveryDigit) {
    const struct {
        const char* reply;
        int places;
        const char* shifted;
    } cases[] = {
        {"+1.638544E-02", 3, "16.38544"}, {"-2.50E-04", 3, "-0.250"},  {"+3.2E+00\r", 3, "3200"},
        {"1.5", 0, "1.5"},                {"0.000001", 3, "0.001"},    {"12", 3, "12000"},
        {".5E-3", 3, "0.5"},              {"  +2.322962E-03 ", 3, "2.322962"}, {"7e2", -3, "0.7"},
        {"\n16.382\n", 0, "16.382"},  {"\t-1.0E-3\r\n", 3, "-1.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        const std::optional<std::string> s = decimal_shifted(c.reply, c.places);
        ASSERT_TRUE(s);
        EXPECT_EQ(*s, c.shifted);
    }
    for (const char* no : {"", "#?OVLD-garbage", "1,5", "nan", "0x10", "1e5000", "1.0E-02V"}) {
        EXPECT_FALSE(decimal_shifted(no, 3)) << no;
    }
}

}  // namespace
}  // namespace its90::text
