// The calibration arithmetic: deviations, coefficients, the graduation table and the EMF at
// a temperature, with the reasons a value is missing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "calibration/type_s_calibration.h"
#include "core/its90.h"

namespace its90::calibration {
namespace {

const GraduationTable kZeroTable = {2.32304, 3.25936, 4.23329, 5.23869, 6.27525,
                                    7.34498, 8.44924, 9.5871,  10.75654};
const GraduationTable kOffsetTable = {2.33304, 3.26936, 4.24329, 5.24869, 6.28525,
                                      7.35498, 8.45924, 9.5971,  10.76654};

// The reference EMFs at the fixed points, so that all deviations are zero, plus an offset.
Calibration reference(MiddlePoint middle, double offset = 0) {
    const Outcome<Calibration> c =
        calibrate(3.44689 + offset, (middle == MiddlePoint::Aluminium ? 5.86013 : 5.5528) + offset,
                  10.5748 + offset, middle);
    EXPECT_TRUE(c.ok());
    return *c;
}

double six_digits(double x) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.5e", x);
    return std::strtod(buffer, nullptr);
}

TEST(Weights, AreTheLagrangeCoefficientsToSixDigits) {
    for (MiddlePoint middle : {MiddlePoint::Aluminium, MiddlePoint::Antimony}) {
        const double t[3] = {419.527, middle == MiddlePoint::Aluminium ? 660.323 : 630.63, 1084.62};
        const WeightSet& w = weights(middle);
        for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3, k = (i + 2) % 3;
            const double p = (t[i] - t[j]) * (t[i] - t[k]);
            const auto weight_of = [i](const std::array<Term, 3>& terms) {
                for (const Term& term : terms) {
                    if (term.deviation == i) return term.weight;
                }
                return std::nan("");
            };
            EXPECT_EQ(weight_of(w.a), six_digits(t[j] * t[k] / p)) << i;
            EXPECT_EQ(weight_of(w.b), six_digits(-(t[j] + t[k]) / p)) << i;
            EXPECT_EQ(weight_of(w.c), six_digits(1e6 / p)) << i;
        }
    }
}

TEST(Table, ZeroDeviationsGiveTheReferenceTableWithEitherSet) {
    for (MiddlePoint middle : {MiddlePoint::Aluminium, MiddlePoint::Antimony}) {
        const Calibration c = reference(middle);
        EXPECT_EQ(c.deviations, (std::array<double, 3>{0, 0, 0}));
        EXPECT_EQ(*graduation_table(c), kZeroTable);
    }
}

TEST(Table, UniformOffsetShiftsEveryRowRoundedOnlyWithAluminium) {
    EXPECT_EQ(*graduation_table(reference(MiddlePoint::Aluminium, 0.01)), kOffsetTable);
    const GraduationTable antimony = *graduation_table(reference(MiddlePoint::Antimony, 0.01));
    bool any_unrounded = false;
    for (std::size_t r = 0; r < antimony.size(); ++r) {
        EXPECT_NEAR(antimony[r], kOffsetTable[r], 0.000001) << r;
        any_unrounded = any_unrounded || antimony[r] != round_half_even(antimony[r], 5);
    }
    EXPECT_TRUE(any_unrounded);
}

TEST(EmfAt, ValuesAndBounds) {
    struct Case {
        double temperature;
        double expected;  // NAN: out of range
    };
    const Case cases[] = {
        {100, 0.64591},    {-50, -0.23556},  {1664.5, 17.53596}, {0, 0},
        {-50.001, NAN},    {1664.6, NAN},    {INFINITY, NAN},    {-INFINITY, NAN},
    };
    for (MiddlePoint middle : {MiddlePoint::Aluminium, MiddlePoint::Antimony}) {
        for (const Case& c : cases) {
            const Outcome<double> v = emf_at(reference(middle), c.temperature);
            if (std::isnan(c.expected)) {
                ASSERT_FALSE(v.ok()) << c.temperature;
                EXPECT_EQ(v.rejection().cause, Rejection::Cause::OutOfRange) << c.temperature;
            } else {
                ASSERT_TRUE(v.ok()) << c.temperature;
                EXPECT_EQ(*v, c.expected) << c.temperature;
            }
        }
    }
    // At 0 degC only A remains, rounded to 5 places.
    EXPECT_EQ(*emf_at(reference(MiddlePoint::Aluminium, 0.01), 0), 0.01);
}

TEST(EmfAt, CurvePassesThroughTheFixedPoints) {
    for (MiddlePoint middle : {MiddlePoint::Aluminium, MiddlePoint::Antimony}) {
        const double emfs[3] = {3.46123, middle == MiddlePoint::Aluminium ? 5.83911 : 5.5701,
                                10.6012};
        const double points[3] = {419.527, middle == MiddlePoint::Aluminium ? 660.323 : 630.63,
                                  1084.62};
        const Calibration c = *calibrate(emfs[0], emfs[1], emfs[2], middle);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(*emf_at(c, points[i]), emfs[i]) << points[i];
    }
}

TEST(Overflow, AbsurdEmfsHaveNoValue) {
    for (MiddlePoint middle : {MiddlePoint::Aluminium, MiddlePoint::Antimony}) {
        for (double absurd : {1e308, double(INFINITY), -double(INFINITY), double(NAN)}) {
            const Outcome<Calibration> c = calibrate(3.44689, 5.6, absurd, middle);
            ASSERT_FALSE(c.ok()) << absurd;
            EXPECT_EQ(c.rejection().cause, Rejection::Cause::NotFinite);
        }
        // Finite coefficients whose C t^2 term overflows at the upper end of the table.
        const Outcome<Calibration> large = calibrate(3.44689, 5.6, 5e307, middle);
        ASSERT_TRUE(large.ok());
        EXPECT_EQ(graduation_table(*large).rejection().cause, Rejection::Cause::NotFinite);
        EXPECT_FALSE(graduation_table(*large).ok());
        EXPECT_EQ(emf_at(*large, 1664).rejection().cause, Rejection::Cause::NotFinite);
        EXPECT_EQ(emf_at(*large, 1700).rejection().cause, Rejection::Cause::OutOfRange);
    }
}

// JJG 75-1995: copper 10.575 +- 0.015 mV; the middle point and zinc follow copper's offset
// (0.37 and 0.18 of it) within +- 0.005 mV. The limits are included.
TEST(Acceptance, AtJustInsideAndJustOutsideEachLimit) {
    struct Case {
        double zinc, middle, copper;
        MiddlePoint point;
        bool copper_pass, middle_pass, zinc_pass;
    };
    const Case cases[] = {
        {3.447, 5.860, 10.575, MiddlePoint::Aluminium, true, true, true},
        {3.447, 5.553, 10.575, MiddlePoint::Antimony, true, true, true},
        // Copper at its limits, the others following it.
        {3.4497, 5.86555, 10.590, MiddlePoint::Aluminium, true, true, true},
        {3.4443, 5.54745, 10.560, MiddlePoint::Antimony, true, true, true},
        {3.4497, 5.86555, 10.590001, MiddlePoint::Aluminium, false, true, true},
        {3.4443, 5.85445, 10.559999, MiddlePoint::Aluminium, false, true, true},
        // The middle point and zinc at, just inside and just outside +- 0.005 mV.
        {3.452, 5.865, 10.575, MiddlePoint::Aluminium, true, true, true},
        {3.442, 5.855, 10.575, MiddlePoint::Aluminium, true, true, true},
        {3.4519, 5.5579, 10.575, MiddlePoint::Antimony, true, true, true},
        {3.452001, 5.865001, 10.575, MiddlePoint::Aluminium, true, false, false},
        {3.441999, 5.547999, 10.575, MiddlePoint::Antimony, true, false, false},
    };
    for (const Case& c : cases) {
        const AcceptanceCheck check = *acceptance_check(c.zinc, c.middle, c.copper, c.point);
        EXPECT_EQ(check.copper.pass, c.copper_pass) << c.copper;
        EXPECT_EQ(check.middle.pass, c.middle_pass) << c.middle << " dev " << check.middle.deviation;
        EXPECT_EQ(check.zinc.pass, c.zinc_pass) << c.zinc << " dev " << check.zinc.deviation;
        EXPECT_EQ(check.pass, c.copper_pass && c.middle_pass && c.zinc_pass);
    }
    const AcceptanceCheck shifted = *acceptance_check(3.45689, 5.87013, 10.5848, MiddlePoint::Aluminium);
    EXPECT_EQ(shifted.middle.required, 5.860 + 0.37 * (10.5848 - 10.575));
    EXPECT_EQ(shifted.zinc.deviation, 0.008126);
    EXPECT_FALSE(shifted.pass);
}

// EMFs so large that a deviation cannot be rounded to 6 places give no check, and nothing
// ends the program; each point alone, with either middle point.
TEST(Acceptance, AbsurdEmfsGiveNoCheck) {
    for (MiddlePoint middle : {MiddlePoint::Aluminium, MiddlePoint::Antimony}) {
        for (int point = 0; point < 3; ++point) {
            for (double absurd : {1e303, -1e303, double(INFINITY), double(NAN)}) {
                double emfs[3] = {3.447, 5.86, 10.575};
                emfs[point] = absurd;
                const Outcome<AcceptanceCheck> check =
                    acceptance_check(emfs[0], emfs[1], emfs[2], middle);
                ASSERT_FALSE(check.ok()) << point << " " << absurd;
                EXPECT_EQ(check.rejection().cause, Rejection::Cause::NotFinite);
            }
        }
        EXPECT_TRUE(acceptance_check(1e290, 5.86, 10.575, middle).ok());
    }
}

TEST(Record, OneDegreeTableAndDeviationFunction) {
    // Zero deviations: the reference function's own table to 3 places, as published.
    const Calibration zero = reference(MiddlePoint::Aluminium);
    EXPECT_EQ(*emf_to_3_places(zero, 300), 2.323);
    EXPECT_EQ(*emf_to_3_places(zero, 1100), 10.757);
    EXPECT_EQ(deviation_at(zero, 700), 0.0);
    // A uniform offset of 0.01 mV is a deviation of 10 uV at every temperature, to within the
    // six-digit weights.
    const Calibration offset = reference(MiddlePoint::Aluminium, 0.01);
    for (double t : {300.0, 419.527, 660.323, 1084.62}) EXPECT_NEAR(deviation_at(offset, t), 0.01, 1e-6);
    EXPECT_EQ(*emf_to_3_places(offset, 1100), 10.767);
}

}  // namespace
}  // namespace its90::calibration
