// Range rejections with the ranges they name, the power function and the floating-point check.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "core/its90.h"
#include "core/sensors.h"

namespace its90 {
namespace {

struct RangeCase {
    const char* name;
    ReferenceFunction f;
    float argument;
    Rejection expected;  // the range the argument left, in numbers
};

constexpr Rejection temperatures(double lowest, double highest) {
    return Rejection::out_of_range(Quantity::Temperature, lowest, highest);
}
constexpr Rejection emfs(double lowest, double highest) {
    return Rejection::out_of_range(Quantity::Emf, lowest, highest);
}

TEST(RangeRejection, EveryFunctionRejectsBelowAndAboveNamingItsRange) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Rejection kS = temperatures(-50, 1768.1), kB = temperatures(0, 1820),
                    kK = temperatures(-270, 1372), kN = temperatures(-270, 1300),
                    kJ = temperatures(-210, 1200), kE = temperatures(-270, 1000),
                    kT = temperatures(-270, 400), kPt = temperatures(-200, 850);
    const RangeCase cases[] = {
        {"E90_S", E90_S, -50.5f, kS},   {"E90_S", E90_S, 1768.2f, kS},
        {"E90_R", E90_R, -50.5f, kS},   {"E90_R", E90_R, 1769.0f, kS},
        {"E90_B", E90_B, -0.5f, kB},    {"E90_B", E90_B, 1820.5f, kB},
        {"E90_K", E90_K, -270.5f, kK},  {"E90_K", E90_K, 1372.5f, kK},
        {"E90_N", E90_N, -270.5f, kN},  {"E90_N", E90_N, 1300.5f, kN},
        {"E90_J", E90_J, -210.5f, kJ},  {"E90_J", E90_J, 1200.5f, kJ},
        {"E90_E", E90_E, -270.5f, kE},  {"E90_E", E90_E, 1000.5f, kE},
        {"E90_T", E90_T, -270.5f, kT},  {"E90_T", E90_T, 400.5f, kT},
        {"E90_T", E90_T, inf, kT},      {"E90_K", E90_K, nan, kK},
        {"R_Pt100", R_Pt100, -200.5f, kPt}, {"R_Pt100", R_Pt100, 850.5f, kPt},
        {"R_Pt100", R_Pt100, -inf, kPt},
        {"T90_S", T90_S, -0.237f, emfs(-0.236, 18.693)}, {"T90_S", T90_S, 18.694f, emfs(-0.236, 18.693)},
        {"T90_R", T90_R, -0.227f, emfs(-0.226, 21.103)}, {"T90_R", T90_R, 21.104f, emfs(-0.226, 21.103)},
        {"T90_K", T90_K, -5.9f, emfs(-5.891, 54.886)},   {"T90_K", T90_K, 54.9f, emfs(-5.891, 54.886)},
        {"T90_N", T90_N, -4.0f, emfs(-3.99, 47.513)},    {"T90_N", T90_N, 47.6f, emfs(-3.99, 47.513)},
        {"T90_J", T90_J, -8.08f, emfs(-8.059, 69.553)},  {"T90_J", T90_J, 69.6f, emfs(-8.059, 69.553)},
        {"T90_E", T90_E, -8.9f, emfs(-8.825, 76.373)},   {"T90_E", T90_E, 76.4f, emfs(-8.825, 76.373)},
        {"T90_T", T90_T, -5.7f, emfs(-5.603, 20.872)},   {"T90_T", T90_T, 20.9f, emfs(-5.603, 20.872)},
        // Type B has no formula below 0.291 mV.
        {"T90_B", T90_B, 0.0f, emfs(0.291, 13.82)},      {"T90_B", T90_B, 0.29f, emfs(0.291, 13.82)},
        {"T90_B", T90_B, 13.83f, emfs(0.291, 13.82)},    {"T90_B", T90_B, -1.0f, emfs(0.291, 13.82)},
    };
    for (const RangeCase& c : cases) {
        const Result r = c.f(c.argument);
        EXPECT_TRUE(r.rejected()) << c.name << "(" << c.argument << ")";
        EXPECT_EQ(r.value(), 0.0) << c.name;
        EXPECT_EQ(r.rejection(), c.expected) << c.name << "(" << c.argument << ")";
    }
}

// The unrounded functions meet their bounds as the published decimals: type S and R reach
// 1768.1 degC itself, which their single-precision bound lies below.
TEST(RangeRejection, UnroundedFunctionsTakeTheDecimalBounds) {
    EXPECT_TRUE(emf_unrounded(Thermocouple::S, 1768.1).accepted());
    EXPECT_TRUE(emf_unrounded(Thermocouple::R, 1768.1).accepted());
    EXPECT_TRUE(emf_unrounded(Thermocouple::S, std::nextafter(1768.1, 2000.0)).rejected());
    EXPECT_TRUE(emf_unrounded(Thermocouple::K, -270).accepted());
    EXPECT_EQ(emf_unrounded(Thermocouple::B, 1820.001).rejection(), temperatures(0, 1820));
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
    std::vector<const Sensor*> sensors = {&pt100()};
    for (Thermocouple type : kAllThermocouples) sensors.push_back(&sensor_of(type));
    for (const Sensor* sensor : sensors) {
        const Sensor& s = *sensor;
        for (double t : {s.temperatures.lowest, s.temperatures.highest}) {
            EXPECT_TRUE(s.output(to_single(t)).accepted()) << s.name << " " << t;
        }
        EXPECT_TRUE(differential_value(s, s.lowest_differential()).has_value()) << s.name;
        EXPECT_TRUE(differential_value(s, s.highest_differential()).has_value()) << s.name;
        EXPECT_FALSE(differential_value(s, s.lowest_differential() - 0.001).has_value());
        EXPECT_FALSE(differential_value(s, s.highest_differential() + 0.001).has_value());
        if (!s.has_inverse()) continue;
        EXPECT_TRUE(s.inverse(to_single(s.emfs.highest)).accepted()) << s.name;
        const bool gap = &s == &sensor_of(Thermocouple::B) || &s == &sensor_of(Thermocouple::J);
        EXPECT_EQ(s.inverse(to_single(s.emfs.lowest)).accepted(), !gap) << s.name;
    }
    EXPECT_FALSE(pt100().has_inverse());
    EXPECT_EQ(differential_value(sensor_of(Thermocouple::K), 100), 41.37);
    EXPECT_EQ(differential_value(pt100(), 0), 0.39);
}

}  // namespace
}  // namespace its90
