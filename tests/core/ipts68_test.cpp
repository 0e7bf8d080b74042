// IPTS-68 and ITS-90: the published differences checked against the two scales' own assigned
// temperatures of the same fixed points, the inverse against the function, and the refusals
// with the bounds they name.
#include <gtest/gtest.h>

#include <cmath>

#include "core/ipts68.h"

namespace its90 {
namespace {

// Each point as ITS-90 assigns it and as IPTS-68 did (defining points: steam, Sn, Zn, Ag, Au;
// secondary: Ar, Ga, In). The functions reproduce the differences to 1.5 mK below 0 degC and
// 1 mK above, and the points that bound IPTS-68's thermocouple range, Ag and Au, closely.
TEST(Ipts68, TheFixedPointsOfBothScales) {
    struct Case {
        const char* point;
        double t90, t68, within;
    };
    const Case cases[] = {
        {"Ar", -189.3442, -189.352, 0.0015}, {"TPW", 0.01, 0.01, 1e-5},      {"Ga", 29.7646, 29.772, 0.001},
        {"steam", 99.9743, 100.0, 0.0001},   {"In", 156.5985, 156.634, 0.001}, {"Sn", 231.928, 231.9681, 0.001},
        {"Zn", 419.527, 419.58, 0.001},      {"Ag", 961.78, 961.93, 0.00005}, {"Au", 1064.18, 1064.43, 0.0002},
    };
    for (const Case& c : cases) {
        const Outcome<double> t68 = ipts68::t68_of(c.t90);
        ASSERT_TRUE(t68.ok()) << c.point;
        EXPECT_NEAR(*t68, c.t68, c.within) << c.point;
        const Outcome<double> t90 = ipts68::t90_of(c.t68);
        ASSERT_TRUE(t90.ok()) << c.point;
        EXPECT_NEAR(*t90, c.t90, c.within) << c.point;
    }
}

// t90 -> t68 -> t90 returns to 1e-9 degC over both functions, up to their ends.
TEST(Ipts68, TheInverseIsTheFunctions) {
    for (double t = -200; t <= 1064.18; t += 3.7) {
        if (t > 630 && t < 630.615) continue;
        const Outcome<double> t68 = ipts68::t68_of(t);
        ASSERT_TRUE(t68.ok()) << t;
        EXPECT_NEAR(*ipts68::t90_of(*t68), t, 1e-9) << t;
    }
    for (double end : {-200.0, 630.0, 630.615, 1064.18}) EXPECT_NEAR(*ipts68::t90_of(*ipts68::t68_of(end)), end, 1e-9);
}

TEST(Ipts68, WhatHasNoPublishedDifference) {
    using Cause = Rejection::Cause;
    struct Case {
        bool from_t90;
        double t;
        Cause cause;
        double lowest, highest;
    };
    const double t68_top_of_low = 630 + 0.125408, t68_start_of_high = 630.615 - ipts68::difference(630.615).value();
    const Case cases[] = {
        {true, -200.0001, Cause::OutOfRange, -200, 1064.18},
        {true, 1064.1801, Cause::OutOfRange, -200, 1064.18},
        {true, 630.3, Cause::Unpublished, 630, 630.615},
        {true, std::nan(""), Cause::OutOfRange, -200, 1064.18},
        {false, 1064.4301, Cause::OutOfRange, -200 - ipts68::difference(-200).value(), 1064.43},
        {false, 630.5, Cause::Unpublished, t68_top_of_low, t68_start_of_high},
    };
    for (const Case& c : cases) {
        const Outcome<double> r = c.from_t90 ? ipts68::t68_of(c.t) : ipts68::t90_of(c.t);
        ASSERT_FALSE(r.ok()) << c.t;
        EXPECT_EQ(r.rejection().cause, c.cause) << c.t;
        EXPECT_NEAR(r.rejection().lowest, c.lowest, 1e-9) << c.t;
        EXPECT_NEAR(r.rejection().highest, c.highest, 1e-9) << c.t;
    }
    // IPTS-68's antimony point, 630.74 degC, is where the second function begins.
    EXPECT_NEAR(t68_start_of_high, 630.74, 0.0001);
    EXPECT_TRUE(ipts68::t90_of(1064.43).ok());  // IPTS-68's gold point itself
}

}  // namespace
}  // namespace its90
