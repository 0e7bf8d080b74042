// The uncertainty arithmetic: the GUM's own example H.3 (a thermometer calibrated by least
// squares), the budget's distributions and Welch-Satterthwaite, the deviation function's
// weights (a Lagrange basis: 1 at its own point, 0 at the others), u(dE) at the fixed points,
// u(dt) of the comparison, the verdict with the uncertainty, and the input it refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calibration/least_squares.h"
#include "calibration/uncertainty.h"

namespace its90::calibration {
namespace {

double rounded(double x, int places) { return std::round(x * std::pow(10, places)) / std::pow(10, places); }

// GUM H.3: corrections b_k of a thermometer at t_k, fitted as b = y1 + y2 (t - 20 degC).
TEST(Gum, H3CalibrationOfAThermometer) {
    const double t[] = {21.521, 22.012, 22.512, 23.003, 23.507, 23.999, 24.513, 25.002, 25.503, 26.010, 26.511};
    const double b[] = {-0.171, -0.169, -0.166, -0.159, -0.164, -0.165, -0.156, -0.157, -0.159, -0.161, -0.160};
    std::vector<std::vector<double>> design;
    for (double tk : t) design.push_back({1.0, tk - 20});
    const Outcome<LeastSquares> fit = least_squares(design, b);
    ASSERT_TRUE(fit.ok());
    // The published results.
    EXPECT_EQ(rounded(fit->coefficients[0], 4), -0.1712);
    EXPECT_EQ(rounded(fit->coefficients[1], 5), 0.00218);
    EXPECT_EQ(rounded(std::sqrt(fit->covariance[0][0]), 4), 0.0029);
    EXPECT_EQ(rounded(std::sqrt(fit->covariance[1][1]), 5), 0.00067);
    EXPECT_EQ(rounded(correlation(*fit, 0, 1), 3), -0.930);
    EXPECT_EQ(fit->degrees_of_freedom, 9);
    // The correction at 30 degC and its uncertainty, the correlation included.
    const double gradient[] = {1.0, 10.0};
    EXPECT_EQ(rounded(fit->coefficients[0] + 10 * fit->coefficients[1], 4), -0.1494);
    EXPECT_EQ(rounded(combined_uncertainty(*fit, gradient), 4), 0.0041);
}

TEST(Budget, DistributionsAndWelchSatterthwaite) {
    struct Case {
        Distribution d;
        double coverage;
        double expected;  // u of a value of 1
    };
    const Case cases[] = {{Distribution::Normal, 1, 1.0}, {Distribution::Normal, 2, 0.5},
                          {Distribution::Rectangular, 1, 0.5773502691896258},
                          {Distribution::Triangular, 1, 0.4082482904638631},
                          {Distribution::UShaped, 1, 0.7071067811865476}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(standard_uncertainty({"x", 1.0, Unit::Microvolt, c.d, c.coverage}), c.expected);
    }
    // A type A component of 5 readings (u = 1 uV, 4 dof), 1.2 uV rectangular, 0.1 degC at
    // 10 uV/degC normal with k = 2: u_c^2 = 1 + 0.48 + 0.25; nu_eff = u_c^4 / (1 / 4).
    const std::vector<Component> parts = {
        {"repeatability", 1.0, Unit::Microvolt, Distribution::Normal, 1, 4},
        {"voltmeter", 1.2, Unit::Microvolt, Distribution::Rectangular},
        {"reference junction", 0.1, Unit::Degree, Distribution::Normal, 2}};
    const Outcome<Budget> b = evaluate(parts, 10.0);
    ASSERT_TRUE(b.ok());
    EXPECT_DOUBLE_EQ(b->combined, std::sqrt(1.73));
    EXPECT_NEAR(b->effective_dof, 1.73 * 1.73 * 4, 1e-12);
    EXPECT_DOUBLE_EQ(b->lines[2].sensitivity, 10.0);
    EXPECT_DOUBLE_EQ(b->lines[2].contribution, 0.5);
    EXPECT_DOUBLE_EQ(b->expanded, 2 * std::sqrt(1.73));
    EXPECT_TRUE(std::isinf(evaluate(std::vector<Component>{parts[1]}, 10.0)->effective_dof));
    // Welch-Satterthwaite with contributions other than 1, where the exponent shows: u = 2 uV
    // (4 dof) and 3 uV (9 dof): u_c^2 = 13, nu_eff = 13^2 / (2^4/4 + 3^4/9) = 169/13 = 13 by
    // hand (squares in place of fourth powers would give 6.5).
    const std::vector<Component> two = {{"a", 2.0, Unit::Microvolt, Distribution::Normal, 1, 4},
                                        {"b", 3.0, Unit::Microvolt, Distribution::Normal, 1, 9}};
    EXPECT_NEAR(evaluate(two, 1.0)->effective_dof, 13.0, 1e-12);
    // Contributions whose fourth powers overflow a double: the same nu_eff.
    const std::vector<Component> huge = {{"a", 2e100, Unit::Microvolt, Distribution::Normal, 1, 4},
                                         {"b", 3e100, Unit::Microvolt, Distribution::Normal, 1, 9}};
    EXPECT_NEAR(evaluate(huge, 1.0)->effective_dof, 13.0, 1e-9);
}

// The effective degrees of freedom of u(dE(t)) by Welch-Satterthwaite over the weighted
// points, against the Lagrange basis through the points formed here.
TEST(DeviationFunction, EffectiveDegreesOfFreedomOverTheWeightedPoints) {
    FixedPointUncertainties u{{2.0, 3.0, 4.0}, 1.0, 2, {4, 9, kInfinite}, 20};
    const double t1 = 419.527, t2 = 660.323, t3 = 1084.62;
    for (const double t : {300.0, 700.0, 1100.0}) {
        const double l[] = {(t - t2) * (t - t3) / ((t1 - t2) * (t1 - t3)), (t - t1) * (t - t3) / ((t2 - t1) * (t2 - t3)),
                            (t - t1) * (t - t2) / ((t3 - t1) * (t3 - t2))};
        const double c[] = {l[0] * 2, l[1] * 3, l[2] * 4, 1.0};
        const double uc2 = c[0] * c[0] + c[1] * c[1] + c[2] * c[2] + c[3] * c[3];
        const double nu = uc2 * uc2 / (std::pow(c[0], 4) / 4 + std::pow(c[1], 4) / 9 + std::pow(c[3], 4) / 20);
        const Outcome<DeviationUncertainty> d = deviation_uncertainty(MiddlePoint::Aluminium, u, t);
        ASSERT_TRUE(d.ok());
        EXPECT_NEAR(d->effective_dof, nu, 1e-3 * nu) << t;
    }
    u.dof = {kInfinite, kInfinite, kInfinite};
    u.common_dof = kInfinite;
    EXPECT_TRUE(std::isinf(deviation_uncertainty(MiddlePoint::Aluminium, u, 500)->effective_dof));
}

TEST(Budget, RefusesWhatIsNoUncertainty) {
    const Component bad[] = {{"negative", -0.1}, {"not finite", INFINITY},
                             {"k zero", 1.0, Unit::Microvolt, Distribution::Normal, 0},
                             {"no freedom", 1.0, Unit::Microvolt, Distribution::Normal, 1, 0}};
    for (const Component& c : bad) {
        const Outcome<Budget> b = evaluate(std::vector<Component>{c}, 1.0);
        EXPECT_FALSE(b.ok()) << c.name;
    }
    EXPECT_EQ(evaluate(std::vector<Component>{{"ok", 1.0}}, 1.0, 0).rejection().quantity, Quantity::CoverageFactor);
    EXPECT_FALSE(deviation_uncertainty(MiddlePoint::Aluminium, {{0.5, -0.1, 0.5}}, 500).ok());
    EXPECT_FALSE(deviation_uncertainty(MiddlePoint::Aluminium, {{0.5, 0.5, 0.5}, 0, 0}, 500).ok());
}

TEST(DeviationFunction, TheWeightsAreTheLagrangeBasis) {
    for (MiddlePoint middle : {MiddlePoint::Aluminium, MiddlePoint::Antimony}) {
        const std::array<double, 3> points = fixed_point_temperatures(middle);
        for (int j = 0; j < 3; ++j) {
            const std::array<double, 3> l = deviation_weights(middle, points[j]);
            // To the six significant digits of the weights.
            for (int i = 0; i < 3; ++i) EXPECT_NEAR(l[i], i == j ? 1.0 : 0.0, 5e-5) << i << " at " << j;
        }
        for (double t : {-50.0, 300.0, 1100.0, 1664.5}) {
            const std::array<double, 3> l = deviation_weights(middle, t);
            EXPECT_NEAR(l[0] + l[1] + l[2], 1.0, 2e-4) << t;  // a common shift shifts dE alike
        }
        // At each fixed point u(dE) is that point's own, with the common part.
        const FixedPointUncertainties u{{0.5, 0.7, 0.9}, 0.3, 2};
        for (int j = 0; j < 3; ++j) {
            const Outcome<DeviationUncertainty> d = deviation_uncertainty(middle, u, points[j]);
            ASSERT_TRUE(d.ok());
            EXPECT_NEAR(d->u_uV, std::hypot(u.points[j], 0.3), 1e-4);
            EXPECT_DOUBLE_EQ(d->U_uV, 2 * d->u_uV);
        }
        // Beyond copper the curve widens.
        EXPECT_GT(deviation_uncertainty(middle, u, 1500)->u_uV, 2 * deviation_uncertainty(middle, u, 1084.62)->u_uV);
        // At -50 degC u and U are there; U in degC is not, without a differential value.
        const Outcome<DeviationUncertainty> cold = deviation_uncertainty(middle, u, -50);
        ASSERT_TRUE(cold.ok());
        EXPECT_GT(cold->u_uV, 0);
        EXPECT_FALSE(cold->U_C);
        EXPECT_TRUE(deviation_uncertainty(middle, u, -49.5)->U_C);
        EXPECT_FALSE(deviation_uncertainty(middle, u, -50.5).ok());
        EXPECT_FALSE(deviation_uncertainty(middle, u, 1700).ok());
    }
}

TEST(Comparison, TheUncertaintyOfDeltaT) {
    const std::vector<double> standard = {3.26046, 3.26050, 3.26041};
    const std::vector<double> working = {16.38544, 16.38560, 16.38531};
    const ComparisonInput in{400, Thermocouple::K, standard, working, 3.2587};
    const ComparisonResult r = *compare(in);
    const ComparisonUncertainties u{1.5, 0.5, 0.1, 2};
    const Outcome<DeltaTUncertainty> du = delta_t_uncertainty(in, r, u);
    ASSERT_TRUE(du.ok());
    // The type A parts by hand: s / sqrt(3) of each column, in uV.
    const double s_std = std::sqrt(((0.00046 - 0.0004566666666667) * (0.00046 - 0.0004566666666667) +
                                    (0.0005 - 0.0004566666666667) * (0.0005 - 0.0004566666666667) +
                                    (0.00041 - 0.0004566666666667) * (0.00041 - 0.0004566666666667)) / 2) * 1000;
    EXPECT_NEAR(du->standard_type_a, s_std / std::sqrt(3.0), 1e-9);
    const double expected = std::sqrt((du->working_type_a * du->working_type_a + 0.25) / (42.24 * 42.24) +
                                      (du->standard_type_a * du->standard_type_a + 0.25 + 2.25) / (9.57 * 9.57) + 0.01);
    EXPECT_NEAR(du->u_C, expected, 1e-15);
    EXPECT_DOUBLE_EQ(du->U_C, 2 * du->u_C);
    // One reading each: no type A part.
    const std::vector<double> one_std = {3.26046}, one_uut = {16.38544};
    const ComparisonInput single{400, Thermocouple::K, one_std, one_uut, 3.2587};
    EXPECT_EQ(delta_t_uncertainty(single, *compare(single), u)->standard_type_a, 0.0);
}

TEST(Conformity, WithTheUncertaintyAsIlacG8Describes) {
    struct Case {
        double delta_t, U, allowance;
        Conformity expected;
    };
    const Case cases[] = {{1.0, 0.5, 1.5, Conformity::Pass},    {1.0, 0.6, 1.5, Conformity::Undecided},
                          {-1.4, 0.2, 1.5, Conformity::Undecided}, {2.1, 0.5, 1.5, Conformity::Fail},
                          {-2.0, 0.5, 1.5, Conformity::Undecided}, {0.0, 1.5, 1.5, Conformity::Pass}};
    for (const Case& c : cases) EXPECT_EQ(conformity(c.delta_t, c.U, c.allowance), c.expected) << c.delta_t;
}

}  // namespace
}  // namespace its90::calibration
