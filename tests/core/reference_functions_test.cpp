// Published check values and one value inside every sub-range of every function. The
// sub-range values were computed independently: exact rational arithmetic over the
// coefficient listing at the single-precision argument, rounded half to even.
#include <gtest/gtest.h>

#include <string>

#include "core/its90.h"
#include "core/sensors.h"

namespace its90 {
namespace {

struct Case {
    const char* name;
    ReferenceFunction f;
    float argument;
    double expected;
};

std::string describe(const Case& c) { return std::string(c.name) + "(" + std::to_string(c.argument) + ")"; }

void expect_exact(const Case& c) {
    const Result r = c.f(c.argument);
    ASSERT_TRUE(r.accepted()) << describe(c);
    EXPECT_EQ(r.value(), c.expected) << describe(c);
}

TEST(EmfFromTemperature, PublishedCheckValues) {
    const Case cases[] = {
        {"E90_S", E90_S, -50, -0.23556},     {"E90_S", E90_S, 100, 0.64591},
        {"E90_S", E90_S, 419.527f, 3.44689}, {"E90_S", E90_S, 660.323f, 5.86013},
        {"E90_S", E90_S, 1000, 9.5871},      {"E90_S", E90_S, 1064.18f, 10.33421},
        {"E90_S", E90_S, 1084.62f, 10.5748}, {"E90_S", E90_S, 1200, 11.95055},
        {"E90_S", E90_S, 1664.5f, 17.53596}, {"E90_S", E90_S, 1768.1f, 18.69354},
        {"E90_R", E90_R, -50, -0.22647},     {"E90_R", E90_R, 100, 0.6474},
        {"E90_R", E90_R, 1064.18f, 11.36375}, {"E90_R", E90_R, 1768.1f, 21.1027},
        {"E90_B", E90_B, 100, 0.0332},       {"E90_B", E90_B, 630.615f, 1.97837},
        {"E90_B", E90_B, 1000, 4.83434},     {"E90_B", E90_B, 1820, 13.82028},
        {"E90_K", E90_K, -270, -6.45774},    {"E90_K", E90_K, -200, -5.8914},
        {"E90_K", E90_K, -100, -3.55363},    {"E90_K", E90_K, 100, 4.09623},
        {"E90_K", E90_K, 500, 20.64429},     {"E90_K", E90_K, 1000, 41.27561},
        {"E90_K", E90_K, 1372, 54.88636},    {"E90_N", E90_N, -270, -4.34514},
        {"E90_N", E90_N, 100, 2.77412},      {"E90_N", E90_N, 1300, 47.51277},
        {"E90_J", E90_J, -210, -8.09538},    {"E90_J", E90_J, 100, 5.26892},
        {"E90_J", E90_J, 760, 42.91864},     {"E90_J", E90_J, 1200, 69.55318},
        {"E90_E", E90_E, -270, -9.83495},    {"E90_E", E90_E, 100, 6.31893},
        {"E90_E", E90_E, 1000, 76.37283},    {"E90_T", E90_T, -270, -6.25751},
        {"E90_T", E90_T, 100, 4.27852},      {"E90_T", E90_T, 400, 20.87197},
    };
    for (const Case& c : cases) expect_exact(c);
}

TEST(EmfFromTemperature, EverySubRange) {
    const Case cases[] = {
        {"E90_S", E90_S, 500, 4.23329},    {"E90_S", E90_S, 1500, 15.58167},
        {"E90_S", E90_S, 1700, 17.9473},   {"E90_R", E90_R, 500, 4.47126},
        {"E90_R", E90_R, 1500, 17.45065},  {"E90_R", E90_R, 1700, 20.2217},
        {"E90_B", E90_B, 300, 0.43065},    {"E90_B", E90_B, 1500, 10.09906},
        {"E90_K", E90_K, -50, -1.88938},   {"E90_K", E90_K, 800, 33.27538},
        {"E90_N", E90_N, -100, -2.40681},  {"E90_N", E90_N, 600, 20.61311},
        {"E90_J", E90_J, 300, 16.32721},   {"E90_J", E90_J, 1000, 57.95341},
        {"E90_E", E90_E, -150, -7.27934},  {"E90_E", E90_E, 500, 37.00535},
        {"E90_T", E90_T, -150, -4.64847},  {"E90_T", E90_T, 200, 9.2881},
    };
    for (const Case& c : cases) expect_exact(c);
}

TEST(EmfFromTemperature, ZeroDegreesGivesZeroForEveryType) {
    for (Thermocouple type : kAllThermocouples) {
        const Result r = emf_function(type)(0.0f);
        ASSERT_TRUE(r.accepted()) << letter(type);
        EXPECT_EQ(r.value(), 0.0) << letter(type);
    }
}

TEST(EmfFromTemperature, InnerBoundsBelongToTheLowerSubRange) {
    // 1064.18 and 630.615 are compared at single precision and use the first sub-range; the
    // second sub-range's polynomial would give a different last digit at the same argument.
    EXPECT_EQ(E90_S(1064.18f).value(), 10.33421);
    EXPECT_EQ(E90_R(1064.18f).value(), 11.36375);
    EXPECT_EQ(E90_B(630.615f).value(), 1.97837);
    // Type K is the exception: just below 0 the first sub-range, at 0 the second.
    EXPECT_EQ(E90_K(-0.0001f).value(), -0.0);
    EXPECT_EQ(E90_K(-1.0f).value(), -0.03943);
    EXPECT_EQ(E90_K(1.0f).value(), 0.03947);
}

TEST(TemperatureFromEmf, PublishedCheckValues) {
    const Case cases[] = {
        {"T90_S", T90_S, -0.236f, -50.092},   {"T90_S", T90_S, 1.874f, 250.0564},
        {"T90_S", T90_S, 5, 576.5332},        {"T90_S", T90_S, 11, 1120.5352},
        {"T90_S", T90_S, 11.95f, 1199.964},   {"T90_S", T90_S, 12, 1204.1102},
        {"T90_S", T90_S, 17.536f, 1664.5034}, {"T90_S", T90_S, 18.693f, 1768.046},
        {"T90_R", T90_R, -0.226f, -49.8566},  {"T90_R", T90_R, 1, 145.0032},
        {"T90_R", T90_R, 1.923f, 249.9498},   {"T90_R", T90_R, 12, 1111.02},
        {"T90_R", T90_R, 13.228f, 1200.0074}, {"T90_R", T90_R, 13.3f, 1205.1748},
        {"T90_R", T90_R, 19.739f, 1664.5126}, {"T90_R", T90_R, 21.103f, 1768.1233},
        {"T90_B", T90_B, 0.291f, 249.9161},   {"T90_B", T90_B, 1, 449.5577},
        {"T90_B", T90_B, 2.431f, 700.0404},   {"T90_B", T90_B, 13.82f, 1819.964},
        {"T90_K", T90_K, -5.891f, -199.9331}, {"T90_K", T90_K, 4.096f, 99.9633},
        {"T90_K", T90_K, 10, 246.222},        {"T90_K", T90_K, 20.644f, 499.9805},
        {"T90_K", T90_K, 54.886f, 1372.0428}, {"T90_N", T90_N, -3.99f, -199.936},
        {"T90_N", T90_N, 10, 318.4957},       {"T90_N", T90_N, 20.613f, 599.9836},
        {"T90_N", T90_N, 47.513f, 1299.9676}, {"T90_J", T90_J, -8.059f, -208.1276},
        {"T90_J", T90_J, -7.89f, -200.0258},  {"T90_J", T90_J, 10, 185.9606},
        {"T90_J", T90_J, 42.919f, 760.0431},  {"T90_J", T90_J, 69.553f, 1199.9603},
        {"T90_E", T90_E, -8.825f, -199.9948}, {"T90_E", T90_E, 10, 152.9689},
        {"T90_E", T90_E, 76.373f, 1000.0178}, {"T90_T", T90_T, -5.603f, -199.9641},
        {"T90_T", T90_T, 10, 213.2932},       {"T90_T", T90_T, 20.872f, 399.9751},
    };
    for (const Case& c : cases) expect_exact(c);
}

TEST(TemperatureFromEmf, EverySubRange) {
    const Case cases[] = {
        {"T90_S", T90_S, 1.0f, 146.3058},  {"T90_S", T90_S, 8, 859.693},
        {"T90_S", T90_S, 15, 1451.7959},   {"T90_S", T90_S, 18, 1704.6121},
        {"T90_R", T90_R, 1.5f, 203.5501},  {"T90_R", T90_R, 8, 804.0697},
        {"T90_R", T90_R, 16, 1397.1621},   {"T90_R", T90_R, 20.5f, 1720.874},
        {"T90_B", T90_B, 1.5f, 549.0189},  {"T90_B", T90_B, 8, 1313.9256},
        {"T90_K", T90_K, -3, -82.447},     {"T90_K", T90_K, 15, 366.8305},
        {"T90_K", T90_K, 40, 967.404},     {"T90_N", T90_N, -2, -81.2374},
        {"T90_N", T90_N, 15, 454.0667},    {"T90_N", T90_N, 35, 967.5564},
        {"T90_J", T90_J, -5, -109.0602},   {"T90_J", T90_J, 30, 546.189},
        {"T90_J", T90_J, 60, 1034.7557},   {"T90_E", T90_E, -5, -94.7951},
        {"T90_E", T90_E, 40, 536.9866},    {"T90_T", T90_T, -3, -86.998},
        {"T90_T", T90_T, 15, 302.3762},
    };
    for (const Case& c : cases) expect_exact(c);
}

TEST(TemperatureFromEmf, ZeroMillivoltsGivesZeroExceptTypeB) {
    for (Thermocouple type : kAllThermocouples) {
        const Result r = temperature_function(type)(0.0f);
        EXPECT_EQ(r.value(), 0.0) << letter(type);
        EXPECT_EQ(r.accepted(), type != Thermocouple::B) << letter(type);
    }
}

TEST(Pt100Resistance, CheckValues) {
    struct PtCase {
        float t;
        double expected;
    };
    const PtCase cases[] = {{-200, 18.52008},       {-150, 39.723184375}, {-100, 60.25584},
                            {-50, 80.306281875},    {0, 100.0},           {100, 138.5055},
                            {400, 247.092},         {419.527f, 253.799572478},
                            {850, 390.481125}};
    for (const PtCase& c : cases) {
        const Result r = R_Pt100(c.t);
        ASSERT_TRUE(r.accepted()) << c.t;
        EXPECT_NEAR(r.value(), c.expected, 1e-9 * c.expected) << c.t;
    }
    EXPECT_EQ(R_Pt100(0.0f).value(), 100.0);
    EXPECT_NEAR(R_Pt100(100.5f).value() - R_Pt100(99.5f).value(), 0.37928, 1e-9);
}

TEST(Rounding, HalfwayGoesToTheEvenDigit) {
    EXPECT_EQ(round_half_even(0.125, 2), 0.12);
    EXPECT_EQ(round_half_even(0.375, 2), 0.38);
    EXPECT_EQ(round_half_even(-2.5, 0), -2.0);
    EXPECT_EQ(round_half_even(41.3700000001, 2), 41.37);
}

}  // namespace
}  // namespace its90
