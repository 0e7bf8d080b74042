// The budget as the technician builds it: lines typed, what each gives, the quantities
// combined, what it refuses (and keeps as typed), and what the records and the comparison
// take from it.
#include <gtest/gtest.h>

#include <cmath>

#include "core/sensors.h"
#include "form/comparison_form.h"
#include "form/uncertainty_form.h"

namespace its90::form {
namespace {

BudgetRow line(BudgetQuantity q, const char* value, calibration::Unit unit = calibration::Unit::Microvolt,
               calibration::Distribution d = calibration::Distribution::Normal, const char* k = "1") {
    BudgetRow r;
    r.quantity = q;
    r.name = "x";
    r.value = value;
    r.unit = unit;
    r.distribution = d;
    r.coverage = k;
    return r;
}

void add(UncertaintyForm& f, BudgetRow row) {
    f.add_row(row.quantity);
    f.set_row(f.row_count() - 1, row);
}

TEST(UncertaintyForm, TheFixedPointsFromTheirLines) {
    UncertaintyForm f;
    EXPECT_FALSE(f.fixed_points());
    add(f, line(BudgetQuantity::Zinc, "0.5"));
    add(f, line(BudgetQuantity::Middle, "1.2", calibration::Unit::Microvolt, calibration::Distribution::Normal, "2"));
    EXPECT_FALSE(f.fixed_points());  // copper still missing
    add(f, line(BudgetQuantity::Copper, "0.8"));
    // A temperature component of zinc: 0.05 degC rectangular, at S(419.527 degC).
    add(f, line(BudgetQuantity::Zinc, "0.05", calibration::Unit::Degree, calibration::Distribution::Rectangular));
    const double s_zinc = *differential_value(sensor_of(Thermocouple::S), 419.527);
    EXPECT_DOUBLE_EQ(f.result(3).line->sensitivity, s_zinc);
    const std::optional<calibration::FixedPointUncertainties> u = f.fixed_points();
    ASSERT_TRUE(u);
    EXPECT_DOUBLE_EQ(u->points[0], std::hypot(0.5, 0.05 / std::sqrt(3.0) * s_zinc));
    EXPECT_DOUBLE_EQ(u->points[1], 0.6);
    EXPECT_DOUBLE_EQ(u->points[2], 0.8);
    EXPECT_EQ(u->common, 0.0);
    EXPECT_EQ(u->k, 2.0);
    const auto rows = budget_rows(f);
    EXPECT_EQ(rows.front().front(), "量");
    EXPECT_EQ(rows.back()[1], "合成");
}

TEST(UncertaintyForm, RefusesWhatIsNoUncertaintyAndKeepsIt) {
    struct Case {
        BudgetRow row;
        const char* problem;
    };
    const Case cases[] = {
        {line(BudgetQuantity::Zinc, ""), "未输入数值"},
        {line(BudgetQuantity::Zinc, "abc"), "“abc”不是不确定度（不小于 0 的数）"},
        {line(BudgetQuantity::Zinc, "-1"), "“-1”不是不确定度（不小于 0 的数）"},
        {line(BudgetQuantity::Zinc, "1", calibration::Unit::Microvolt, calibration::Distribution::Normal, "0"),
         "包含因子须为大于 0 的数"},
        {line(BudgetQuantity::Certificate, "1", calibration::Unit::Degree), "标准证书的分量以 μV 给出"},
        {line(BudgetQuantity::Furnace, "1", calibration::Unit::Microvolt), "炉温差的分量以 ℃ 给出"},
    };
    for (const Case& c : cases) {
        UncertaintyForm f;
        add(f, c.row);
        EXPECT_EQ(f.row(0).value, c.row.value);
        EXPECT_EQ(f.result(0).problem, c.problem);
        EXPECT_TRUE(f.has_problems());
        EXPECT_FALSE(f.comparison());
    }
    UncertaintyForm f;
    add(f, line(BudgetQuantity::Voltmeter, "0.5"));
    f.set_coverage("0");
    EXPECT_EQ(f.coverage_problem(), "包含因子须为大于 0 的数");
    EXPECT_FALSE(f.comparison());
    f.set_coverage("2,5");  // a comma reads as the point
    ASSERT_TRUE(f.comparison());
    EXPECT_EQ(f.comparison()->k, 2.5);
}

TEST(UncertaintyForm, TheComparisonStatesItsVerdictWithU) {
    UncertaintyForm u;
    add(u, line(BudgetQuantity::Certificate, "1.5"));
    add(u, line(BudgetQuantity::Furnace, "0.5", calibration::Unit::Degree));
    ComparisonForm f;
    f.set_from_panel(false);
    f.set_readings(1);
    f.set_point_count(1);
    f.edit_temperature(0, "400");
    f.edit_certificate(0, "3.2587");
    f.edit_reading(0, -1, 0, "3.26046");
    f.edit_reading(0, 0, 0, "16.38544");
    f.set_uncertainties(u.comparison(), u.fixed_points());
    const PointResult& r = f.result(0, 0);
    ASSERT_TRUE(r.uncertainty);
    // |dt| = 0.46, U = 2 sqrt(0.5^2 + (1.5 / 9.57)^2) = 1.05: 1.51 < 1.6, conforms.
    EXPECT_NEAR(r.uncertainty->U_C, 2 * std::sqrt(0.25 + (1.5 / 9.57) * (1.5 / 9.57)), 1e-12);
    EXPECT_EQ(r.conformity, calibration::Conformity::Pass);
    EXPECT_STREQ(f.verdict_words(0), "合格");
    // A larger furnace term: |dt| + U crosses the allowance.
    u.set_row(1, line(BudgetQuantity::Furnace, "0.7", calibration::Unit::Degree));
    f.set_uncertainties(u.comparison(), u.fixed_points());
    EXPECT_EQ(f.result(0, 0).conformity, calibration::Conformity::Undecided);
    EXPECT_STREQ(verdict_text(f.result(0, 0)), "不能判定");
    EXPECT_STREQ(f.verdict_words(0), "不能判定");
}

}  // namespace
}  // namespace its90::form
