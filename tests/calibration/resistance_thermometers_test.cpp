// Resistance thermometers against the published figures: every Wr of the defining fixed points
// to 8 decimals, the deviation examples of the ITS-90 text, the certificate example, the
// IEC 60751 resistances, exact inverses round trip within 1e-6 degC over every range, and the
// fits (exact at their points, refusing what they cannot fit).
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <vector>

#include "calibration/resistance_fit.h"
#include "core/bisection.h"
#include "core/cvd.h"
#include "core/its90.h"
#include "core/sprt.h"

namespace its90 {
namespace {

double rounded(double x, int places) { return std::round(x * std::pow(10, places)) / std::pow(10, places); }

// dWr/dt term by term against central differences of Wr on both functions, and at the triple
// point of water against the C function differentiated in Python (0.003988528485014766).
TEST(Sprt, TheReferenceFunctionsSlope) {
    for (double t : {-259.0, -200.0, -38.8344, -0.5, 0.5, 231.928, 660.323, 961.0}) {
        const double h = 1e-4;
        EXPECT_NEAR(*sprt::reference_slope(t), (*sprt::Wr(t + h) - *sprt::Wr(t - h)) / (2 * h),
                    3e-9 * *sprt::reference_slope(t))  // the differences' own rounding, 1e-12
            << t;
    }
    EXPECT_NEAR(*sprt::reference_slope(0.01), 0.003988528485014766, 1e-15);
    EXPECT_FALSE(sprt::reference_slope(962).ok());
}

TEST(Sprt, EveryFixedPointsWrToEightDecimals) {
    struct Case {
        double t90, wr;
    };
    const Case cases[] = {{-259.3467, 0.00119007}, {-248.5939, 0.00844974}, {-218.7916, 0.09171804},
                          {-189.3442, 0.21585975}, {-38.8344, 0.84414211},  {0.01, 1.00000000},
                          {29.7646, 1.11813889},   {156.5985, 1.60980185},  {231.928, 1.89279768},
                          {419.527, 2.56891730},   {660.323, 3.37600860},   {961.78, 4.28642053}};
    for (const Case& c : cases) {
        ASSERT_TRUE(sprt::Wr(c.t90).ok()) << c.t90;
        EXPECT_EQ(rounded(*sprt::Wr(c.t90), 8), c.wr) << c.t90;
    }
    EXPECT_FALSE(sprt::Wr(-260).ok());
    EXPECT_FALSE(sprt::Wr(962).ok());
}

TEST(Sprt, TheInverseIsExact) {
    for (double t = -259.3467; t <= 961.78; t += 3.7) {
        const Outcome<double> back = sprt::t90_of_Wr(*sprt::Wr(t));
        ASSERT_TRUE(back.ok()) << t;
        EXPECT_NEAR(*back, t, 1e-6) << t;
    }
    EXPECT_FALSE(sprt::t90_of_Wr(5).ok());
}

// Through the triple point of water each side's function meets W = 1 exactly: rising without a
// step on a grid finer than any reading, the inverse of 1 is 0.01 degC, and away from the join
// the published functions are untouched.
TEST(Sprt, WrRisesThroughTheTriplePointOfWater) {
    double previous = *sprt::Wr(-0.001);
    for (double t = -0.001; t <= 0.021; t += 1e-6) {
        const double w = *sprt::Wr(t);
        EXPECT_GE(w, previous) << t;
        previous = w;
    }
    EXPECT_EQ(*sprt::Wr(0.01), 1.0);
    EXPECT_EQ(*sprt::t90_of_Wr(1.0), 0.01);
    EXPECT_LT(*sprt::Wr(0.0099999), 1.0);
    EXPECT_GT(*sprt::Wr(0.0100001), 1.0);
    for (double w : {0.9999999949, 0.9999999999, 1.0000000001, 1.0000000004}) {
        EXPECT_NEAR(*sprt::Wr(*sprt::t90_of_Wr(w)), w, 1e-15) << w;
        EXPECT_NEAR(*sprt::t90_of_Wr(w), 0.01 + (w - 1) / 0.0039885, 1e-7) << w;
    }
    // Beyond the join, the functions as published: the C function at 0.02 degC and above.
    const double t = 0.02, T = t + 273.15, x = (T - 754.15) / 481;
    const double c[] = {2.78157254, 1.64650916, -0.13714390, -0.00649767, -0.00234444,
                        0.00511868, 0.00187982, -0.00204472, -0.00046122, 0.00045724};
    double sum = 0, power = 1;
    for (double ci : c) {
        sum += ci * power;
        power *= x;
    }
    EXPECT_EQ(*sprt::Wr(t), sum);
}

// The reference function's ends as ITS-90 publishes them, to 8 decimals, are its ends; a ratio a
// last bit beyond is too. Further out is refused.
TEST(Sprt, TheEndsAsPublishedAreAccepted) {
    struct Case {
        double wr;
        bool accepted;
        std::optional<double> t90;  // an end, exactly
    };
    const Case cases[] = {
        {4.28642053, true, 961.78},           {4.2864205276033811, true, 961.78}, {4.286420527603382, true, 961.78},
        {0.00119006806901466, true, -259.3467}, {0.0011900651, true, -259.3467},  {0.00119007, true, std::nullopt},
        {4.2864206, false, std::nullopt},     {0.0011900, false, std::nullopt},
    };
    for (const Case& c : cases) {
        const Outcome<double> t = sprt::t90_of_Wr(c.wr);
        ASSERT_EQ(t.ok(), c.accepted) << c.wr;
        if (c.t90) {
            EXPECT_EQ(*t, *c.t90) << c.wr;
        }
    }
    // A thermometer's own resistance at the silver point converts back to it, and a range's
    // refusal quotes the range's own ratios, never the reference function's.
    const sprt::Coefficients k{-0.00016462789, -8.4598339e-06, 1.8898584e-06, 2e-05, 3.3755951040271865};
    const double w_ag = *sprt::w_at(sprt::DeviationRange::TPWAg, k, 961.78);
    EXPECT_NEAR(*sprt::t90_at(sprt::DeviationRange::TPWAg, k, w_ag), 961.78, 1e-9);
    EXPECT_NEAR(*sprt::t90_at(sprt::DeviationRange::TPWAg, k, 110.24702477808242 / 25.72336), 961.78, 1e-6);
    const Outcome<double> beyond = sprt::t90_at(sprt::DeviationRange::TPWAg, k, w_ag + 5e-7);
    ASSERT_FALSE(beyond.ok());
    EXPECT_EQ(beyond.rejection().highest, w_ag);
    EXPECT_GT(w_ag + 5e-7, beyond.rejection().highest);
}

// ITS-90's criteria on a thermometer's own W at gallium, mercury and silver: the certificate
// example meets them; platinum a little less pure, or a silver point too low, fails them.
TEST(Sprt, TheCriteriaOfAnSprt) {
    using sprt::DeviationRange;
    struct Case {
        const char* what;
        DeviationRange range;
        sprt::Coefficients k;
        bool platinum, silver;
    };
    const Case cases[] = {
        {"the certificate example", DeviationRange::TPWZn, {-1.2134e-4, -9.9190e-6}, true, true},
        {"a impure: W(Ga) 1.1180679", DeviationRange::TPWZn, {-6e-4, -9.9190e-6}, false, true},
        {"to silver, met", DeviationRange::TPWAg, {-0.00016462789, -8.4598339e-06, 1.8898584e-06, 2e-05, 3.3755951040271865}, true, true},
        {"to silver, W(Ag) short", DeviationRange::TPWAg, {-8e-4, 0, 0, 0, 3.37}, false, false},
        {"below water, by mercury", DeviationRange::ArTPW, {-1e-4, 1e-5}, true, true},
        {"below water, mercury high", DeviationRange::ArTPW, {-3e-3, 0}, false, true},
    };
    for (const Case& c : cases) {
        const sprt::Acceptance a = sprt::acceptance(c.range, c.k);
        EXPECT_EQ(a.platinum, c.platinum) << c.what;
        EXPECT_EQ(a.silver, c.silver) << c.what;
        EXPECT_EQ(a.met(), c.platinum && c.silver) << c.what;
        EXPECT_EQ(a.w_ag.has_value(), c.range == DeviationRange::TPWAg) << c.what;
        EXPECT_EQ(a.w_ga.has_value(), c.range != DeviationRange::ArTPW) << c.what;
    }
}

// The inverses start from a guess and bisect only near a rounding boundary: over inputs spread
// across every range (the A function's flat stretches below 0 degC and the joins at 0.01 degC
// among them) they lie within kRootResolution of what bisecting the whole range gives, and read
// the same to 9 and to 6 decimals; the CVD inverse, rounded to 9 decimals, is the same double.
TEST(ExactInverses, FromAGuessWhatBisectingTheWholeRangeGives) {
    std::mt19937_64 random(7);
    const double low = *sprt::Wr(sprt::kReferenceRange.lowest), high = *sprt::Wr(sprt::kReferenceRange.highest);
    std::uniform_real_distribution<double> ratio(low, high), near_one(0.99, 1.01), below_zero(low, 1);
    int differ = 0;
    double farthest = 0;
    for (int i = 0; i < 30000; ++i) {
        const double wr = i % 3 == 0 ? near_one(random) : i % 3 == 1 ? below_zero(random) : ratio(random);
        const double whole = nearest_root([](double t) { return *sprt::Wr(t); }, sprt::kReferenceRange.lowest,
                                          sprt::kReferenceRange.highest, wr);
        const double t = *sprt::t90_of_Wr(wr);
        if (wr == 1.0) continue;
        farthest = std::max(farthest, std::fabs(t - whole));
        if (round_half_even(t, 9) != round_half_even(whole, 9) || round_half_even(t, 6) != round_half_even(whole, 6)) {
            ++differ;
        }
    }
    EXPECT_EQ(differ, 0);
    EXPECT_LT(farthest, kRootResolution);
    for (const cvd::Coefficients& k : {cvd::iec(10), cvd::iec(100), cvd::iec(1000),
                                       cvd::Coefficients{99.98, 3.91e-3, -6.1e-7, -3e-12}}) {
        const double a = cvd::kTemperatures.lowest, b = cvd::kTemperatures.highest;
        std::uniform_real_distribution<double> r(*cvd::resistance(k, a), *cvd::resistance(k, b));
        int cvd_differ = 0;
        for (int i = 0; i < 20000; ++i) {
            const double x = r(random);
            const double whole = nearest_root([&k](double t) { return *cvd::resistance(k, t); }, a, b, x);
            if (*cvd::temperature(k, x) != round_half_even(whole, 9) + 0.0) ++cvd_differ;
        }
        EXPECT_EQ(cvd_differ, 0) << k.r0;
    }
}

TEST(Sprt, ThePublishedDeviationExamples) {
    struct Case {
        sprt::DeviationRange range;
        sprt::Coefficients k;
        double t90, dw;
    };
    const sprt::Coefficients ar{-1.2579994e-4, 1.0678395e-5};
    const sprt::Coefficients al{-1.6462789e-4, -8.4598339e-6, 1.8898584e-6};
    const Case cases[] = {
        {sprt::DeviationRange::ArTPW, ar, -189.3442, 0.000111482},
        {sprt::DeviationRange::ArTPW, ar, -100, 0.000053258},
        {sprt::DeviationRange::ArTPW, ar, -38.8344, 0.000019889},
        {sprt::DeviationRange::TPWAl, al, 100, -0.000065852},
        {sprt::DeviationRange::TPWAl, al, 231.928, -0.000152378},
        {sprt::DeviationRange::TPWAl, al, 419.527, -0.000271813},
        {sprt::DeviationRange::TPWAl, al, 660.323, -0.000413567},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rounded(sprt::deviation(c.range, c.k, *sprt::Wr(c.t90)), 9), c.dw) << c.t90;
    }
}

TEST(Sprt, TheCertificateExampleBothWays) {
    const sprt::Coefficients zn{-1.2134e-4, -9.9190e-6};
    const double r_tpw = 25.319871;
    EXPECT_EQ(rounded(*sprt::t90_at(sprt::DeviationRange::TPWZn, zn, 47.922451 / r_tpw), 4), 231.928);
    EXPECT_EQ(rounded(*sprt::t90_at(sprt::DeviationRange::TPWZn, zn, 65.039218 / r_tpw), 4), 419.527);
    // t -> R -> t over every range, within 1e-6 degC.
    for (const sprt::DeviationRangeRecord& record : sprt::kDeviationRanges) {
        sprt::Coefficients k{-1.2e-4, record.coefficients > 1 ? -9e-6 : 0, record.coefficients > 2 ? 1.5e-6 : 0,
                             record.coefficients > 3 ? 2e-6 : 0, 0};
        if (record.range == sprt::DeviationRange::TPWAg) k.w_al = sprt::w_at_aluminium(k);
        // (ln W)^7 is -6e5 at 13.8 K: c1 ... c5 as small as a thermometer's.
        if (record.range == sprt::DeviationRange::EH2TPW) {
            k = {.a = -1.5e-4, .b = -2e-5, .c = 1e-7, .d = 1e-8, .e = 1e-9, .f = 1e-10, .g = 1e-11};
        }
        ASSERT_TRUE(sprt::monotonic(record.range, k)) << record.name;
        for (double t = record.temperatures.lowest; t <= record.temperatures.highest; t += 11.3) {
            const Outcome<double> w = sprt::w_at(record.range, k, t);
            ASSERT_TRUE(w.ok()) << record.name << " " << t;
            EXPECT_NEAR(*sprt::t90_at(record.range, k, *w), t, 1e-6) << record.name << " " << t;
        }
    }
}

TEST(Sprt, FitsAtTheFixedPointsAndRefusesOthers) {
    using calibration::TemperatureResistance;
    // Resistances made from known coefficients come back as them.
    const sprt::Coefficients k{-1.6462789e-4, -8.4598339e-6, 1.8898584e-6, 0, 0};
    const double r_tpw = 25.5;
    std::vector<TemperatureResistance> points;
    for (double t : {231.928, 419.527, 660.323}) points.push_back({t, *sprt::w_at(sprt::DeviationRange::TPWAl, k, t) * r_tpw});
    const Outcome<sprt::Coefficients> fit = calibration::fit_sprt(sprt::DeviationRange::TPWAl, r_tpw, points);
    ASSERT_TRUE(fit.ok());
    EXPECT_NEAR(fit->a, k.a, 1e-12);
    EXPECT_NEAR(fit->b, k.b, 1e-12);
    EXPECT_NEAR(fit->c, k.c, 1e-12);
    // TPW-Ag: d from the silver point above the thermometer's own W at Al.
    sprt::Coefficients ag = k;
    ag.d = 3e-6;
    ag.w_al = sprt::w_at_aluminium(ag);
    points.push_back({961.78, *sprt::w_at(sprt::DeviationRange::TPWAg, ag, 961.78) * r_tpw});
    const Outcome<sprt::Coefficients> fit_ag = calibration::fit_sprt(sprt::DeviationRange::TPWAg, r_tpw, points);
    ASSERT_TRUE(fit_ag.ok());
    EXPECT_NEAR(fit_ag->d, 3e-6, 1e-10);
    EXPECT_NEAR(fit_ag->w_al, ag.w_al, 1e-12);
    // Below the argon point, from e-H2 (W = 0.0012, where (ln W)^4 is 2000) and from O2: every
    // coefficient of the range comes back, and a resistance at each point of the range converts
    // back to it. (Ne-TPW is fitted at e-H2, 11 K below its own range: W there is solved here.)
    struct Low {
        sprt::DeviationRange range;
        sprt::Coefficients k;
    };
    // e-H2-TPW's points near 17 K and 20.3 K are taken 0.05 K above nominal, where they were
    // measured: the fit must use the measured temperature.
    const Low lows[] = {
        {sprt::DeviationRange::EH2TPW, {.a = -1.5e-4, .b = -2e-5, .c = 1e-7, .d = 1e-8, .e = 1e-9, .f = 1e-10, .g = 1e-11}},
        {sprt::DeviationRange::NeTPW, {-1.5e-4, -2e-5, -1e-6, -1e-7, 0, -5e-9}},
        {sprt::DeviationRange::O2TPW, {-1.3e-4, 1.1e-5, 2e-6}},
    };
    const auto points_of = [&](const Low& low, double measured_above = 0.05) {
        const sprt::DeviationRangeRecord& record = sprt::range_record(low.range);
        std::vector<TemperatureResistance> at_points;
        for (int i = 0; i < record.coefficients; ++i) {
            const sprt::FixedPointRecord& fixed = sprt::fixed_point(*record.points[static_cast<std::size_t>(i)]);
            const double t = fixed.measured() ? fixed.t90 + measured_above : fixed.t90;
            const double wr = *sprt::Wr(t);
            const double w = nearest_root([&](double x) { return x - sprt::deviation(low.range, low.k, x); }, wr / 2,
                                          2 * wr, wr);
            at_points.push_back({t, w * r_tpw});
        }
        return at_points;
    };
    for (const Low& low : lows) {
        const sprt::DeviationRangeRecord& record = sprt::range_record(low.range);
        const std::vector<TemperatureResistance> at_points = points_of(low);
        const Outcome<sprt::Coefficients> again = calibration::fit_sprt(low.range, r_tpw, at_points);
        ASSERT_TRUE(again.ok()) << record.name;
        // Seven terms from (W - 1) to (ln W)^7 make e-H2-TPW's coefficients sensitive to W's last
        // bits: 1e-8 of each, which moves no temperature by 1e-7 degC (checked next).
        const double close = low.range == sprt::DeviationRange::EH2TPW ? 1e-7 : 1e-9;
        for (int i = 0; i < record.coefficients; ++i) {
            EXPECT_NEAR(sprt::slot(*again, i), sprt::slot(low.k, i), close * std::fabs(sprt::slot(low.k, i)))
                << record.name << " " << record.names[static_cast<std::size_t>(i)];
        }
        for (const TemperatureResistance& p : at_points) {
            if (!record.temperatures.contains(p.t90)) {
                EXPECT_FALSE(sprt::t90_at(low.range, *again, p.r / r_tpw).ok()) << record.name << " " << p.t90;
                continue;
            }
            EXPECT_NEAR(*sprt::t90_at(low.range, *again, p.r / r_tpw), p.t90, 1e-7) << record.name << " " << p.t90;
        }
    }

    struct Refusal {
        std::vector<TemperatureResistance> points;
        double r_tpw;
        Rejection::Cause cause;
    };
    const Refusal refusals[] = {
        {{{231.93, 47.9}, {419.527, 65.0}}, 25.3, Rejection::Cause::NotAFixedPoint},
        {{{231.928, 47.9}}, 25.3, Rejection::Cause::MissingPoint},
        {{{231.928, 47.9}, {231.928, 47.9}, {419.527, 65.0}}, 25.3, Rejection::Cause::SameTemperature},
        {{{231.928, 47.9}, {419.527, 65.0}}, 0, Rejection::Cause::NotMonotonic},
    };
    for (const Refusal& r : refusals) {
        const Outcome<sprt::Coefficients> f = calibration::fit_sprt(sprt::DeviationRange::TPWZn, r.r_tpw, r.points);
        ASSERT_FALSE(f.ok());
        EXPECT_EQ(f.rejection().cause, r.cause);
    }
    // A measured point outside its window (16.9 ... 17.1 K), two in one window, one missing:
    // each refused, the window named.
    const std::vector<TemperatureResistance> hydrogen = points_of(lows[0]);
    struct Window {
        std::size_t point;  // the point near 17 K changed
        std::optional<double> t90;  // its temperature, or none: left out
        bool twice;
        Rejection::Cause cause;
    };
    const Window windows[] = {
        {1, -256.2501, false, Rejection::Cause::NotAFixedPoint},
        {1, -256.05, true, Rejection::Cause::SameTemperature},
        {1, std::nullopt, false, Rejection::Cause::MissingPoint},
    };
    for (const Window& w : windows) {
        std::vector<TemperatureResistance> points = hydrogen;
        if (w.twice) points.push_back({*w.t90, points[w.point].r});
        else if (w.t90) points[w.point].t90 = *w.t90;
        else points.erase(points.begin() + static_cast<std::ptrdiff_t>(w.point));
        const Outcome<sprt::Coefficients> f = calibration::fit_sprt(sprt::DeviationRange::EH2TPW, r_tpw, points);
        ASSERT_FALSE(f.ok());
        EXPECT_EQ(f.rejection().cause, w.cause);
        if (w.cause != Rejection::Cause::NotAFixedPoint) {
            EXPECT_NEAR(f.rejection().lowest, -256.25, 1e-9);
            EXPECT_NEAR(f.rejection().highest, -256.05, 1e-9);
        }
    }
    // The windows' ends themselves are inside them.
    for (double end : {-0.1, 0.1}) {
        EXPECT_TRUE(calibration::fit_sprt(sprt::DeviationRange::EH2TPW, r_tpw, points_of(lows[0], end)).ok()) << end;
    }
}

TEST(Cvd, TheIecResistancesAndTheirInverse) {
    const cvd::Coefficients pt100 = cvd::iec(100);
    struct Case {
        double t, r;
    };
    const Case cases[] = {{-200, 18.5201}, {-100, 60.2558}, {100, 138.5055}, {400, 247.0920}, {850, 390.4811}};
    for (const Case& c : cases) EXPECT_EQ(rounded(*cvd::resistance(pt100, c.t), 4), c.r) << c.t;
    const cvd::AlphaDeltaBeta adb = cvd::alpha_delta_beta(pt100);
    EXPECT_EQ(rounded(adb.alpha, 8), 0.00385055);
    EXPECT_EQ(rounded(adb.delta, 4), 1.4998);  // 1.4999 as IEC rounds its own figure
    EXPECT_EQ(rounded(adb.beta, 5), 0.10863);
    for (double r0 : {100.0, 500.0, 1000.0}) {
        const cvd::Coefficients k = cvd::iec(r0);
        for (double t = -200; t <= 850; t += 7.9) EXPECT_NEAR(*cvd::temperature(k, *cvd::resistance(k, t)), t, 1e-6);
    }
    EXPECT_FALSE(cvd::valid({-100, 3.9083e-3, -5.775e-7, 0}));
    EXPECT_FALSE(cvd::valid({100, 3.9083e-3, -5e-6, 0}));  // turns back below 850 degC
}

// A fit that does not pass through its points: each residual in degC is the residual in ohm
// over the curve's slope there, below 0 degC too, where C bends it (the slope taken here as a
// central difference of the resistance, not from the code's derivative).
TEST(Cvd, ResidualsInDegreesOverTheSlopeBelowZeroToo) {
    using calibration::TemperatureResistance;
    const cvd::Coefficients k = cvd::iec(100);
    std::vector<TemperatureResistance> points;
    const double noise[] = {0.004, -0.003, 0.002, -0.004, 0.003, -0.002};
    const double at[] = {-190.0, -100.0, -40.0, 0.0, 200.0, 420.0};
    for (int i = 0; i < 6; ++i) points.push_back({at[i], *cvd::resistance(k, at[i]) + noise[i]});
    const Outcome<calibration::CvdFit> fit = calibration::fit_cvd(points);
    ASSERT_TRUE(fit.ok());
    ASSERT_TRUE(fit->has_c);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double t = points[i].t90, h = 1e-4;
        const double slope = (*cvd::resistance(fit->coefficients, t + h) - *cvd::resistance(fit->coefficients, t - h)) / (2 * h);
        const double residual = points[i].r - *cvd::resistance(fit->coefficients, t);
        EXPECT_NEAR(fit->residual_mohm[i], residual * 1000, 1e-9) << t;
        EXPECT_NEAR(fit->residual_c[i], residual / slope, 1e-9) << t;
        EXPECT_GT(std::fabs(fit->residual_c[i]), 1e-6) << t << ": a residual to check";
    }
}

TEST(Cvd, FitsExactlyAndRefuses) {
    using calibration::TemperatureResistance;
    const cvd::Coefficients k = cvd::iec(1000);
    std::vector<TemperatureResistance> points;
    for (double t : {-100.0, 0.0, 100.0, 400.0}) points.push_back({t, *cvd::resistance(k, t)});
    const Outcome<calibration::CvdFit> fit = calibration::fit_cvd(points);
    ASSERT_TRUE(fit.ok());
    EXPECT_NEAR(fit->coefficients.r0, 1000, 1e-9);
    EXPECT_NEAR(fit->coefficients.a, k.a, 1e-14);
    EXPECT_NEAR(fit->coefficients.b, k.b, 1e-16);
    EXPECT_NEAR(fit->coefficients.c, k.c, 1e-18);
    EXPECT_TRUE(fit->has_c);
    for (double r : fit->residual_mohm) EXPECT_NEAR(r, 0, 1e-6);
    // Above 0 degC alone: no C, three unknowns.
    const std::vector<TemperatureResistance> above = {{0, 100}, {100, 138.5}, {200, 175.8}};
    EXPECT_FALSE(calibration::fit_cvd(above)->has_c);
    EXPECT_EQ(calibration::fit_cvd(std::vector<TemperatureResistance>{{0, 100}, {100, 138.5}}).rejection().cause,
              Rejection::Cause::TooFewPoints);
    // A point below 0 degC adds C: three points are then too few.
    EXPECT_EQ(calibration::fit_cvd(std::vector<TemperatureResistance>{{-50, 80}, {0, 100}, {100, 138.5}})
                  .rejection().cause, Rejection::Cause::TooFewPoints);
    EXPECT_EQ(calibration::fit_cvd(std::vector<TemperatureResistance>{{0, 100}, {0, 100.1}, {100, 138.5}, {200, 175.8}})
                  .rejection().cause, Rejection::Cause::SameTemperature);
    EXPECT_EQ(calibration::fit_cvd(std::vector<TemperatureResistance>{{0, -100}, {100, -138.5}, {200, -175.8}})
                  .rejection().cause, Rejection::Cause::NotMonotonic);
}

// D, a t^3 term above 0 degC: a thermometer with one comes back from its points with it, both
// ways; asked for with a single point above 0 degC it is refused, naming what it needs.
TEST(Cvd, DAbove0DegreesIsFittedAndConverted) {
    using calibration::TemperatureResistance;
    cvd::Coefficients k = cvd::iec(100);
    k.d = 2.5e-11;
    std::vector<TemperatureResistance> points;
    for (double t : {-100.0, -40.0, 0.0, 150.0, 300.0, 420.0}) points.push_back({t, *cvd::resistance(k, t)});
    EXPECT_NEAR(points[5].r - *cvd::resistance(cvd::iec(100), 420), 100 * 2.5e-11 * 420 * 420 * 420, 1e-12);
    EXPECT_EQ(points[1].r, *cvd::resistance(cvd::iec(100), -40));  // nothing below 0 degC
    const Outcome<calibration::CvdFit> fit = calibration::fit_cvd(points, true);
    ASSERT_TRUE(fit.ok());
    EXPECT_TRUE(fit->has_d);
    EXPECT_NEAR(fit->coefficients.d, k.d, 1e-17);
    EXPECT_NEAR(fit->coefficients.b, k.b, 1e-15);
    for (double t : {-150.0, 50.0, 420.0, 800.0}) {
        const double r = *cvd::resistance(fit->coefficients, t);
        EXPECT_NEAR(*cvd::temperature(fit->coefficients, r), t, 1e-9) << t;
        EXPECT_NEAR(cvd::slope(fit->coefficients, t), (*cvd::resistance(fit->coefficients, t + 1e-4) -
                                                       *cvd::resistance(fit->coefficients, t - 1e-4)) / 2e-4, 1e-6)
            << t;
    }
    EXPECT_FALSE(calibration::fit_cvd(points)->has_d);
    const std::vector<TemperatureResistance> one_above = {{-100, 60.26}, {-50, 80.31}, {0, 100}, {-20, 92.16}, {100, 138.5}};
    const Outcome<calibration::CvdFit> refused = calibration::fit_cvd(one_above, true);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.rejection().cause, Rejection::Cause::TooFewAbove);
    EXPECT_EQ(refused.rejection().lowest, 2);
}

// A certificate's range: conversions beyond it refused, naming it, and the ranges a set of
// coefficients may not have.
TEST(Cvd, TheRangeTheCoefficientsHoldFor) {
    cvd::Coefficients k = cvd::iec(100);
    k.valid = {-50, 150};
    ASSERT_TRUE(cvd::valid(k));
    EXPECT_NEAR(*cvd::resistance(k, 100), 138.5055, 1e-9);
    EXPECT_EQ(cvd::resistance(k, 150.001).rejection(), Rejection::out_of_range(Quantity::Temperature, -50, 150));
    const Outcome<double> beyond = cvd::temperature(k, *cvd::resistance(cvd::iec(100), 200));
    ASSERT_FALSE(beyond.ok());
    EXPECT_EQ(beyond.rejection().lowest, *cvd::resistance(k, -50));
    EXPECT_EQ(beyond.rejection().highest, *cvd::resistance(k, 150));
    EXPECT_EQ(*cvd::temperature(k, *cvd::resistance(k, 150)), 150);
    for (const Range bad : {Range{150, -50}, Range{-50, -50}, Range{-250, 100}, Range{0, 900}}) {
        k.valid = bad;
        EXPECT_FALSE(cvd::valid(k)) << bad.lowest << " " << bad.highest;
    }
}

}  // namespace
}  // namespace its90
