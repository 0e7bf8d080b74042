// Range rejections with their exact messages, the power function and the floating-point check.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string_view>

#include "core/its90.h"
#include "core/sensors.h"

namespace its90 {
namespace {

struct Rejection {
    const char* name;
    ReferenceFunction f;
    float argument;
    std::string_view message;
};

constexpr std::string_view kS = "F输入温度值不在本程序计算范围-50到1768.1℃内!";
constexpr std::string_view kR = "输入温度值不在本程序计算范围-50到1768.1℃内!";
constexpr std::string_view kB = "输入温度值不在本程序计算范围0到1820℃内!";
constexpr std::string_view kK = "输入温度值不在本程序计算范围-270到1372℃内!";
constexpr std::string_view kN = "输入温度值不在本程序计算范围-270到1300℃内!";
constexpr std::string_view kJ = "输入温度值不在本程序计算范围-210到1200℃内!";
constexpr std::string_view kE = "输入温度值不在本程序计算范围-270到1000℃内!";
constexpr std::string_view kT = "输入温度值不在本程序计算范围-270到400℃内!";
constexpr std::string_view kPt = "输入温度值不在本程序计算范围-200到850℃内!";

TEST(RangeRejection, EveryFunctionRejectsBelowAndAboveWithItsMessage) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Rejection cases[] = {
        {"E90_S", E90_S, -50.5f, kS},   {"E90_S", E90_S, 1768.2f, kS},
        {"E90_R", E90_R, -50.5f, kR},   {"E90_R", E90_R, 1769.0f, kR},
        {"E90_B", E90_B, -0.5f, kB},    {"E90_B", E90_B, 1820.5f, kB},
        {"E90_K", E90_K, -270.5f, kK},  {"E90_K", E90_K, 1372.5f, kK},
        {"E90_N", E90_N, -270.5f, kN},  {"E90_N", E90_N, 1300.5f, kN},
        {"E90_J", E90_J, -210.5f, kJ},  {"E90_J", E90_J, 1200.5f, kJ},
        {"E90_E", E90_E, -270.5f, kE},  {"E90_E", E90_E, 1000.5f, kE},
        {"E90_T", E90_T, -270.5f, kT},  {"E90_T", E90_T, 400.5f, kT},
        {"E90_T", E90_T, inf, kT},      {"E90_K", E90_K, nan, kK},
        {"R_Pt100", R_Pt100, -200.5f, kPt}, {"R_Pt100", R_Pt100, 850.5f, kPt},
        {"R_Pt100", R_Pt100, -inf, kPt},
        {"T90_S", T90_S, -0.237f, "输入电势值不在本程序计算范围-0.236到18.693mV内!"},
        {"T90_S", T90_S, 18.694f, "输入电势值不在本程序计算范围-0.236到18.693mV内!"},
        {"T90_R", T90_R, -0.227f, "输入电势值不在本程序计算范围-0.226到21.103mV内!"},
        {"T90_R", T90_R, 21.104f, "输入电势值不在本程序计算范围-0.226到21.103mV内!"},
        {"T90_K", T90_K, -5.9f, "输入电势值不在本程序计算范围-5.891到54.886mV内!"},
        {"T90_K", T90_K, 54.9f, "输入电势值不在本程序计算范围-5.891到54.886mV内!"},
        {"T90_N", T90_N, -4.0f, "输入电势值不在本程序计算范围-3.990到47.513mV内!"},
        {"T90_N", T90_N, 47.6f, "输入电势值不在本程序计算范围-3.990到47.513mV内!"},
        {"T90_J", T90_J, -8.08f, "输入电势值不在本程序计算范围-8.059到 69.553mV内!"},
        {"T90_J", T90_J, 69.6f, "输入电势值不在本程序计算范围-8.059到 69.553mV内!"},
        {"T90_E", T90_E, -8.9f, "输入电势值不在本程序计算范围-8.825到 76.373mV内!"},
        {"T90_E", T90_E, 76.4f, "输入电势值不在本程序计算范围-8.825到 76.373mV内!"},
        {"T90_T", T90_T, -5.7f, "输入电势值不在本程序计算范围-5.603到20.872mV内!"},
        {"T90_T", T90_T, 20.9f, "输入电势值不在本程序计算范围-5.603到20.872mV内!"},
        // Type B has no message at all: below 0.291 mV it has no formula.
        {"T90_B", T90_B, 0.0f, ""},     {"T90_B", T90_B, 0.29f, ""},
        {"T90_B", T90_B, 13.83f, ""},   {"T90_B", T90_B, -1.0f, ""},
    };
    for (const Rejection& c : cases) {
        const Result r = c.f(c.argument);
        EXPECT_TRUE(r.rejected()) << c.name << "(" << c.argument << ")";
        EXPECT_EQ(r.value(), 0.0) << c.name;
        EXPECT_EQ(r.message(), c.message) << c.name << "(" << c.argument << ")";
    }
}

TEST(RangeRejection, BoundsAreIncludedAtSinglePrecision) {
    // Each bound is the single nearest to its decimal, so the typed bound itself is accepted.
    EXPECT_TRUE(E90_S(1768.1f).accepted());
    EXPECT_TRUE(E90_R(1768.1f).accepted());
    EXPECT_TRUE(R_Pt100(-200.0f).accepted());
    EXPECT_TRUE(R_Pt100(850.0f).accepted());
    EXPECT_TRUE(T90_J(-8.059f).accepted());
    EXPECT_TRUE(T90_S(-0.236f).accepted());
    EXPECT_TRUE(T90_B(0.291f).accepted());
    EXPECT_TRUE(T90_B(13.82f).accepted());
    EXPECT_TRUE(E90_S(std::nextafter(1768.1f, 2000.0f)).rejected());
}

TEST(PowN, EdgeCases) {
    EXPECT_EQ(Pow_n(0, 7.5f), 1.0);
    EXPECT_EQ(Pow_n(0, std::numeric_limits<float>::quiet_NaN()), 1.0);  // x is not read
    EXPECT_EQ(Pow_n(-1, 2.0f), 1.0);
    EXPECT_EQ(Pow_n(3, -2.0f), -8.0);
    EXPECT_EQ(Pow_n(1, 0.1f), static_cast<double>(0.1f));
    EXPECT_EQ(Pow_n(14, -270.0f), 1.0941898913151236e34);
}

TEST(FloatingPointCheck, FaultsThrowOneTypedException) {
    EXPECT_NO_THROW(Pow_n(2, FLT_MAX));
    EXPECT_THROW(Pow_n(9, FLT_MAX), FloatingPointError);   // 3.4e38^9 overflows a double
    EXPECT_THROW(Pow_n(32767, 1.0f), FloatingPointError);  // the 16-bit counter overflows
    EXPECT_EQ(Pow_n(32766, 1.0f), 1.0);
    EXPECT_THROW(Pow_n(2, std::numeric_limits<float>::infinity()), FloatingPointError);
}

TEST(Narrowing, BeyondSingleRangeBecomesInfinity) {
    EXPECT_EQ(to_single(1e39), std::numeric_limits<float>::infinity());
    EXPECT_EQ(to_single(-1e300), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(to_single(1768.1), 1768.1f);
    EXPECT_TRUE(E90_K(to_single(1e39)).rejected());
}

TEST(Types, LettersInEitherCase) {
    EXPECT_EQ(thermocouple_from_letter('k'), Thermocouple::K);
    EXPECT_EQ(thermocouple_from_letter('R'), Thermocouple::R);
    EXPECT_EQ(thermocouple_from_letter('X'), std::nullopt);
    for (Thermocouple type : kAllThermocouples) {
        EXPECT_EQ(thermocouple_from_letter(letter(type)), type);
    }
}

// The entry ranges of the sensor table against the functions they guard: every temperature
// the entry accepts, and both offsets of every differential value, lie inside the function's
// range; so do the accepted EMFs, but for the two known gaps (B below 0.291 mV, J below
// -8.059 mV), where the function itself rejects.
TEST(SensorTable, EntryRangesLieInsideTheFunctions) {
    for (const Sensor& s : kSensors) {
        for (double t : {s.lowest_temperature, s.highest_temperature}) {
            EXPECT_TRUE(s.output(to_single(t)).accepted()) << s.caption << " " << t;
        }
        EXPECT_TRUE(differential_value(s, s.lowest_differential()).has_value()) << s.caption;
        EXPECT_TRUE(differential_value(s, s.highest_differential()).has_value()) << s.caption;
        EXPECT_FALSE(differential_value(s, s.lowest_differential() - 0.001).has_value());
        EXPECT_FALSE(differential_value(s, s.highest_differential() + 0.001).has_value());
        if (!s.has_inverse()) continue;
        EXPECT_TRUE(s.inverse(to_single(s.highest_emf)).accepted()) << s.caption;
        const bool gap = &s == &sensor_of(Thermocouple::B) || &s == &sensor_of(Thermocouple::J);
        EXPECT_EQ(s.inverse(to_single(s.lowest_emf)).accepted(), !gap) << s.caption;
    }
    EXPECT_FALSE(pt100().has_inverse());
    EXPECT_EQ(differential_value(sensor_of(Thermocouple::K), 100), 41.37);
    EXPECT_EQ(differential_value(pt100(), 0), 0.39);
}

}  // namespace
}  // namespace its90
