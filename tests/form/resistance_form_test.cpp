// The 电阻温度计 window's models: an SPRT from its certificate or fitted at its fixed points,
// converted both ways with its table; a Pt100 on the IEC curve, fitted from points, with its
// ice- and steam-point checks; what they refuse, each text kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "form/resistance_form.h"
#include "tests/form/kept_records.h"
#include "tests/form/sprt_example.h"

namespace its90::form {
namespace {

std::string text_of(double x) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", x);
    return buffer;
}

TEST(SprtForm, TheCertificateExampleBothWays) {
    SprtForm f = certificate_example();
    f.resistance.text = "47.922451";
    f.edited();
    ASSERT_TRUE(f.coefficients()) << f.coefficients_problem();
    ASSERT_TRUE(f.at_resistance());
    EXPECT_NEAR(*f.at_resistance(), 231.928, 0.0001);
    ASSERT_TRUE(f.at_temperature());
    EXPECT_NEAR(f.at_temperature()->r, 65.039218, 0.000003);
    EXPECT_NEAR(f.at_temperature()->dr_dt, 0.0885, 0.0002);  // R_TPW dW/dt there
    EXPECT_EQ(f.rows().size(), 11u);  // 0 ... 100 degC every 10
    // Fitted from the same resistances: the same temperatures.
    f.set_fitted(true);
    f.point_r[0].text = "47.922451";  // Sn
    f.point_r[1].text = "65.039218";  // Zn
    f.edited();
    ASSERT_TRUE(f.coefficients()) << f.coefficients_problem();
    EXPECT_NEAR(*f.at_resistance(), 231.928, 0.00001);
    // u(R) of the points carried to the temperature: at the zinc point its own u over dR/dt.
    f.u_points.text = "0.1";
    f.edited();
    ASSERT_TRUE(f.expanded_at_temperature());
    EXPECT_NEAR(*f.expanded_at_temperature(), 2 * 0.0001 / f.at_temperature()->dr_dt, 2e-6);
}

// A check at the triple point of water: the fitted coefficients kept to every digit as typed
// ones, and the R_TPW measured in the check typed afterwards moves the temperatures, not them.
TEST(SprtForm, ACheckKeepsTheCoefficientsAndTakesTheNewRtpw) {
    SprtForm f;
    EXPECT_FALSE(f.keep_coefficients());  // nothing to keep yet
    f.set_range(sprt::DeviationRange::TPWAg);
    f.set_fitted(true);
    f.r_tpw.text = "25.5";
    const char* resistances[] = {"48.26", "65.5", "85.98", "109.3"};
    for (std::size_t i = 0; i < 4; ++i) f.point_r[i].text = resistances[i];
    f.resistance.text = "60";
    f.edited();
    ASSERT_TRUE(f.coefficients()) << f.coefficients_problem();
    const sprt::Coefficients fitted = *f.coefficients();
    const double before = *f.at_resistance();
    ASSERT_TRUE(f.keep_coefficients());
    EXPECT_FALSE(f.fitted());
    ASSERT_TRUE(f.coefficients());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(sprt::slot(*f.coefficients(), i), sprt::slot(fitted, i)) << i;
    EXPECT_EQ(f.coefficients()->w_al, fitted.w_al);
    EXPECT_EQ(*f.at_resistance(), before);
    f.r_tpw.text = "25.5002";
    f.edited();
    EXPECT_EQ(sprt::slot(*f.coefficients(), 3), fitted.d);
    EXPECT_LT(*f.at_resistance(), before - 0.001);  // the same R is a lower W: colder
}

// A table left as a range started it follows the range chosen next, within it; one typed stays.
TEST(SprtForm, TheTableFollowsTheRangeUntilTyped) {
    SprtForm f;
    for (const sprt::DeviationRangeRecord& r : sprt::kDeviationRanges) {
        f.set_range(r.range);
        EXPECT_TRUE(f.table.from.problem.empty() && f.table.to.problem.empty()) << r.name;
    }
    f.set_range(sprt::DeviationRange::ArTPW);
    EXPECT_EQ(f.table.from.text, "-180");
    f.table.to.text = "-20";
    f.set_range(sprt::DeviationRange::NeTPW);
    EXPECT_EQ(f.table.from.text, "-180");
    EXPECT_EQ(f.table.to.text, "-20");
}

// e-H2-TPW: seven points, the two near 17 K and 20.3 K at the t90 typed for them, which must lie
// within 0.1 K of nominal; one outside is named, nothing typed is lost.
TEST(SprtForm, TheHydrogenRangesMeasuredPoints) {
    SprtForm f = a_fitted_eh2_tpw();
    f.point_t[1].text = "";
    f.edited();
    EXPECT_FALSE(f.coefficients());
    EXPECT_EQ(f.point_t[1].problem, "未输入数值");
    f.point_t[1].text = "-256.08";
    f.temperature.text = "-256.08";
    f.edited();
    ASSERT_TRUE(f.coefficients()) << f.coefficients_problem();
    ASSERT_TRUE(f.at_temperature());
    EXPECT_NEAR(f.at_temperature()->r, 0.061903, 1e-9);  // the point converts back to itself
    struct Case {
        const char* t;
        const char* problem;
    };
    const Case cases[] = {{"-256.2501", "须在 -256.25 … -256.05 ℃ 之间"}, {"-256.25", ""}, {"-256.05", ""},
                          {"-256.0499", "须在 -256.25 … -256.05 ℃ 之间"}, {"20.3 K", "“20.3 K”不是数值"}};
    for (const Case& c : cases) {
        f.point_t[1].text = c.t;
        f.edited();
        EXPECT_EQ(f.point_t[1].problem, c.problem) << c.t;
        EXPECT_EQ(f.point_t[1].text, c.t);
        if (*c.problem) {
            EXPECT_FALSE(f.coefficients()) << c.t;
        }
    }
}

TEST(SprtForm, BadInputIsNamedAndKept) {
    SprtForm f;
    f.r_tpw.text = "abc";
    f.a.text = "-1e-4";
    f.b.text = "";
    f.edited();
    EXPECT_EQ(f.r_tpw.text, "abc");
    EXPECT_EQ(f.r_tpw.problem, "“abc”不是数值");
    EXPECT_EQ(f.b.problem, "未输入数值");
    EXPECT_FALSE(f.coefficients());
    f.set_range(sprt::DeviationRange::TPWIn);
    f.r_tpw.text = "25.3";
    f.a.text = "1.5";  // bends the curve back
    f.edited();
    EXPECT_EQ(f.coefficients_problem(), "这些系数在温区内不给出单调上升的曲线");
}

TEST(CvdForm, TheIecCurveFitAndChecks) {
    CvdForm f;
    f.temperature.text = "100";
    f.resistance.text = "18.52008";
    f.ice.text = "100.02";
    f.steam.text = "138.55";
    f.edited();
    ASSERT_TRUE(f.coefficients());
    EXPECT_NEAR(*f.at_temperature(), 138.5055, 1e-9);
    EXPECT_NEAR(*f.at_resistance(), -200, 1e-6);
    ASSERT_TRUE(f.ice_check());
    EXPECT_NEAR(f.ice_check()->deviation, 0.0512, 1e-4);  // 0.02 ohm over 0.39 ohm/degC
    EXPECT_EQ(f.ice_check()->tightest, "AA");
    EXPECT_EQ(f.rows().size(), 22u);  // -200 ... 850 every 50
    // Fitted: points on the curve of 1000 ohm come back exactly.
    f.set_fitted(true);
    const double t[] = {-100, 0, 100, 400};
    for (int i = 0; i < 4; ++i) {
        f.point_t[i].text = text_of(t[i]);
        f.point_r[i].text = text_of(*cvd::resistance(cvd::iec(1000), t[i]));
    }
    f.edited();
    ASSERT_TRUE(f.coefficients()) << f.coefficients_problem();
    EXPECT_NEAR(f.coefficients()->r0, 1000, 1e-8);
    EXPECT_TRUE(f.has_c());
    ASSERT_TRUE(f.point_results()[0]);
    EXPECT_NEAR(f.point_results()[0]->residual_mohm, 0, 1e-6);
    EXPECT_EQ(f.point_results()[0]->tightest, "A");  // AA covers -50 ... 250 degC only
    EXPECT_EQ(f.point_results()[1]->tightest, "AA");
    // The points' uncertainty carried to every temperature: at a point of an exact fit its own
    // u turns into U(t) = 2 u / (dR/dt) there; beyond the points the curve widens.
    f.u_points.text = "5";
    f.temperature.text = "0";
    f.edited();
    ASSERT_TRUE(f.expanded_at_temperature());
    EXPECT_NEAR(*f.expanded_at_temperature(), 2 * 0.005 / cvd::slope(cvd::iec(1000), 0), 1e-7);
    ASSERT_TRUE(f.rows().back().expanded);  // every row of the table has its U, to 850 degC
    ASSERT_TRUE(f.rows()[4].expanded);
    EXPECT_GT(*f.rows().back().expanded, *f.rows()[4].expanded);  // 850 against 0 degC
    // The record carries U at the typed temperature and the points' u on a line of its own.
    const auto record = cvd_rows(f);
    EXPECT_NE(std::find(record.begin(), record.end(),
                        std::vector<std::string>{"t/℃", "0", "R/Ω", "1000.00000", "U(k=2)/℃", "0.0026"}),
              record.end());
    EXPECT_NE(std::find(record.begin(), record.end(), std::vector<std::string>{"各点电阻的标准不确定度 u = 5 mΩ"}),
              record.end());
    // A u so large that a point raised by it bends the curve back: no U at all, and why,
    // rather than a U that leaves that point out.
    f.u_points.text = "500000";
    f.edited();
    ASSERT_TRUE(f.coefficients());
    EXPECT_EQ(f.u_points.problem, "有点的电阻加上 u 后无法重新拟合，不给出 U");
    EXPECT_FALSE(f.expanded_at_temperature());
    EXPECT_FALSE(f.rows()[4].expanded);
    f.u_points.text = "5";
    // A bad point: named, kept, no coefficients.
    f.point_r[2].text = "13x";
    f.edited();
    EXPECT_EQ(f.point_r[2].problem, "“13x”不是数值");
    EXPECT_FALSE(f.coefficients());
    EXPECT_FALSE(cvd_rows(f).empty());
}

// A fit's table marks each row beyond its points, in the window's rows and the record (a
// column of its own and a note), and a table of typed coefficients marks none.
TEST(CvdForm, RowsBeyondTheFittedPointsAreMarked) {
    CvdForm f;
    f.set_fitted(true);
    const char* t[] = {"0", "100", "200", "400"};
    const char* r[] = {"100.02", "138.53", "175.89", "247.07"};
    for (int i = 0; i < 4; ++i) {
        f.point_t[i].text = t[i];
        f.point_r[i].text = r[i];
    }
    f.edited();
    ASSERT_TRUE(f.coefficients()) << f.coefficients_problem();
    EXPECT_FALSE(f.has_c());
    ASSERT_EQ(f.fitted_span(), (std::pair<double, double>{0, 400}));
    for (const CvdForm::Row& row : f.rows()) EXPECT_EQ(row.extrapolated, row.t < 0 || row.t > 400) << row.t;
    const auto record = cvd_rows(f);
    const auto heading = std::find(record.begin(), record.end(), std::vector<std::string>{"t/℃", "R/Ω", "U(k=2)/℃", "说明"});
    ASSERT_NE(heading, record.end());
    EXPECT_EQ((*(heading + 1))[0], "-200");
    EXPECT_EQ((*(heading + 1))[3], kExtrapolated);
    EXPECT_EQ((*(heading + 5))[0], "0");
    EXPECT_EQ((*(heading + 5))[3], "");
    EXPECT_NE(std::find(record.begin(), record.end(),
                        std::vector<std::string>{"外推：拟合点在 0 … 400 ℃ 之间，此范围以外的行由方程外推（未拟合 C，0 ℃ 以下无 C 项）"}),
              record.end());
    // Typed coefficients: nothing is marked, the table as it always was.
    f.set_fitted(false);
    f.r0.text = "100";
    f.a.text = "3.9083e-3";
    f.b.text = "-5.775e-7";
    f.edited();
    for (const CvdForm::Row& row : f.rows()) EXPECT_FALSE(row.extrapolated);
    const auto typed = cvd_rows(f);
    EXPECT_NE(std::find(typed.begin(), typed.end(), std::vector<std::string>{"t/℃", "R/Ω", "U(k=2)/℃"}), typed.end());
}

// Typed coefficients with D and the range their certificate gives: conversions and the table
// beyond it refused, naming it; the record states both. A range with one end, or reversed, is
// named and nothing converts.
TEST(CvdForm, DAndTheRangeTheCoefficientsHoldFor) {
    CvdForm f;
    f.d.text = "2.5e-11";
    f.valid_from.text = "-50";
    f.valid_to.text = "150";
    f.temperature.text = "100";
    f.resistance.text = "18.52";
    f.table.from.text = "-50";
    f.table.to.text = "150";
    f.edited();
    ASSERT_TRUE(f.coefficients()) << f.coefficients_problem();
    EXPECT_TRUE(f.has_d());
    EXPECT_NEAR(*f.at_temperature(), 138.5055 + 100 * 2.5e-11 * 1e6, 1e-9);
    // R(150) = 100 (1 + 3.9083e-3 150 - 5.775e-7 150^2 + 2.5e-11 150^3) = 157.3335625 ohm.
    EXPECT_EQ(f.resistance.problem, "超出 80.3063～157.3336 Ω");
    EXPECT_EQ(f.rows().size(), 5u);  // -50 ... 150 every 50
    const auto rows = cvd_rows(f);
    EXPECT_NE(std::find(rows.begin(), rows.end(), std::vector<std::string>{"有效范围/℃", "-50 … 150"}), rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), std::vector<std::string>{"D/℃⁻³（0 ℃ 以上）", "2.5e-11"}), rows.end());
    f.temperature.text = "200";
    f.table.to.text = "850";
    f.edited();
    EXPECT_EQ(f.temperature.problem, "超出 -50～150 ℃");
    EXPECT_FALSE(f.table.to.problem.empty());
    for (auto [from, to, problem] : {std::tuple{"-50", "", "有效范围须两端都输入（或都空）"},
                                     std::tuple{"150", "-50", "须高于有效范围的起点"},
                                     std::tuple{"-50", "900", "须在 -200～850 ℃ 之间"}}) {
        f.valid_from.text = from;
        f.valid_to.text = to;
        f.edited();
        EXPECT_EQ(f.valid_to.problem, problem) << from << " " << to;
        EXPECT_FALSE(f.coefficients());
        EXPECT_EQ(f.valid_from.text, from);
    }
}

// The page states ITS-90's criteria on its coefficients, and the record carries them; a
// thermometer that fails them is said to.
TEST(SprtForm, TheCriteriaAreStatedOnTheRecord) {
    SprtForm f = certificate_example();
    auto rows = sprt_rows(f);
    EXPECT_NE(std::find(rows.begin(), rows.end(), std::vector<std::string>{"ITS-90 判据", "W(Ga) = 1.11812442 ≥ 1.11807，满足"}),
              rows.end());
    EXPECT_EQ(std::find_if(rows.begin(), rows.end(), [](const auto& r) { return !r.empty() && r[0] == "注意"; }), rows.end());
    f.a.text = "-6e-4";
    f.edited();
    ASSERT_TRUE(f.acceptance());
    EXPECT_FALSE(f.acceptance()->met());
    rows = sprt_rows(f);
    EXPECT_NE(std::find(rows.begin(), rows.end(),
                        std::vector<std::string>{"ITS-90 判据", "W(Ga) = 1.11806791，要求 ≥ 1.11807，不满足"}),
              rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(),
                        std::vector<std::string>{"注意", "不满足 ITS-90 对标准铂电阻温度计的要求 W(Ga) ≥ 1.11807 或 W(Hg) ≤ 0.844235"}),
              rows.end());
    f.a.text = "x";
    f.edited();
    EXPECT_FALSE(f.acceptance());
}

}  // namespace
}  // namespace its90::form
