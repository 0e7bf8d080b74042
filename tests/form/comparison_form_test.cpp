// The comparison window's model: its usual points by type, the worked example through its
// cells, what it says of bad input (and that it keeps every text), the standard's EMF from
// the calibration panel, and the verdicts.
#include <gtest/gtest.h>

#include <cmath>

#include "calibration/comparison.h"
#include "core/its90.h"
#include "form/comparison_form.h"
#include "form/comparison_record.h"

namespace its90::form {
namespace {

void fill_worked_example(ComparisonForm& f) {
    f.set_from_panel(false);
    f.set_readings(1);
    f.edit_temperature(0, "400");
    f.edit_certificate(0, "3.2587");
    f.edit_reading(0, -1, 0, "3.26046");
    f.edit_reading(0, 0, 0, "16.38544");
}

// A mean is of 1 to 20 readings: exactly 20 of each is a point, 21 is not.
TEST(ComparisonForm, TwentyReadingsAndNoMore) {
    for (const auto& [readings, complete] : {std::pair{20, true}, {21, false}, {1, true}}) {
        ComparisonForm f;
        fill_worked_example(f);
        f.set_readings(readings);
        for (int r = 0; r < readings; ++r) {
            f.edit_reading(0, -1, r, "3.26046");
            f.edit_reading(0, 0, r, "16.38544");
        }
        EXPECT_EQ(f.readings() == readings && f.result(0, 0).result.has_value(), complete) << readings;
    }
    const std::vector<double> twenty(20, 3.26046), more(21, 3.26046);
    EXPECT_TRUE(calibration::compare({400, Thermocouple::K, twenty, std::vector<double>(20, 16.38544), 3.2587}).ok());
    EXPECT_FALSE(calibration::compare({400, Thermocouple::K, more, std::vector<double>(21, 16.38544), 3.2587}).ok());
}

// The standard's EMF from its fixed points brings their uncertainty into U(dt) as a standard
// uncertainty u, not as an expanded U: checked against the variance formed here from the
// Lagrange basis through the three points (independent of the program's 6-digit weights).
TEST(ComparisonForm, AStandardFromTheFixedPointsAddsItsStandardUncertainty) {
    ComparisonForm f;
    fill_worked_example(f);
    f.set_from_panel(true);
    const Outcome<calibration::Calibration> c =
        calibration::calibrate(3.44689, 5.86013, 10.5748, calibration::MiddlePoint::Aluminium);
    f.set_panel(*c, "");
    const calibration::ComparisonUncertainties cu{0, 0.8, 0.5, 2};
    const calibration::FixedPointUncertainties points{{3.0, 4.0, 6.0}, 1.0, 2};
    f.set_uncertainties(cu, points);
    const PointResult& r = f.result(0, 0);
    ASSERT_TRUE(r.result && r.uncertainty);
    const double t = 400, t1 = 419.527, t2 = 660.323, t3 = 1084.62;
    const double l[] = {(t - t2) * (t - t3) / ((t1 - t2) * (t1 - t3)), (t - t1) * (t - t3) / ((t2 - t1) * (t2 - t3)),
                        (t - t1) * (t - t2) / ((t3 - t1) * (t3 - t2))};
    const double u_cert2 = 1.0 + std::pow(l[0] * 3, 2) + std::pow(l[1] * 4, 2) + std::pow(l[2] * 6, 2);
    const double s_std = r.result->standard_seebeck, s_uut = r.result->working_seebeck;
    const double u = std::sqrt(0.64 / (s_uut * s_uut) + (0.64 + u_cert2) / (s_std * s_std) + 0.25);
    EXPECT_NEAR(r.uncertainty->u_C, u, 1e-4 * u);
    EXPECT_NEAR(r.uncertainty->U_C, 2 * u, 2e-4 * u);
}

TEST(ComparisonForm, UsualPointsFollowTheFirstTypeUntilEdited) {
    ComparisonForm f;
    EXPECT_EQ(f.point_count(), 4);
    EXPECT_EQ(f.point(3).temperature.text, "1000");
    struct Case {
        Thermocouple type;
        std::vector<std::string> points;
    };
    const Case cases[] = {{Thermocouple::T, {"100", "200", "300"}}, {Thermocouple::B, {"800", "1000", "1200"}},
                          {Thermocouple::S, {"600", "800", "1000"}}, {Thermocouple::E, {"300", "400", "600"}}};
    for (const Case& c : cases) {
        f.set_working_type(0, c.type);
        ASSERT_EQ(f.point_count(), static_cast<int>(c.points.size()));
        for (int p = 0; p < f.point_count(); ++p) EXPECT_EQ(f.point(p).temperature.text, c.points[p]);
    }
    f.edit_temperature(1, "950");
    f.set_working_type(0, Thermocouple::K);
    EXPECT_EQ(f.point(1).temperature.text, "950");  // the technician's points stay
    f.set_working_type(1, Thermocouple::T);          // only the first thermocouple leads
    EXPECT_EQ(f.point_count(), 3);
}

TEST(ComparisonForm, TheWorkedExampleThroughItsCells) {
    ComparisonForm f;
    fill_worked_example(f);
    const PointResult& r = f.result(0, 0);
    ASSERT_TRUE(r.result) << r.problem;
    EXPECT_NEAR(r.result->delta_e, -0.0194683, 5e-8);
    EXPECT_NEAR(r.result->delta_t, -0.46090, 5e-6);
    EXPECT_DOUBLE_EQ(r.allowance, 1.6);  // class 1 at 400 degC: 0.004 |t|
    EXPECT_TRUE(r.pass);
    EXPECT_FALSE(f.verdict(0));  // three more points without readings
    f.set_point_count(1);
    EXPECT_EQ(f.verdict(0), true);
    EXPECT_TRUE(f.complete());
    // Class 1 is not met beyond 1.6 degC: a working thermocouple reading 0.08 mV low.
    f.edit_reading(0, 0, 0, "16.32");
    EXPECT_FALSE(f.result(0, 0).pass);
    EXPECT_EQ(f.verdict(0), false);
}

TEST(ComparisonForm, BadInputMarksItsCellAndKeepsTheText) {
    struct Case {
        int who;
        const char* text;
        const char* problem;
    };
    const Case cases[] = {
        {0, "", "未输入读数"},
        {0, "16.3x", "“16.3x”不是数值"},
        {0, "60", "超出K 型热电偶的电势范围 -5.891～54.886 mV"},
        {-1, "19", "超出S 型热电偶的电势范围 -0.236～18.693 mV"},
    };
    for (const Case& c : cases) {
        ComparisonForm f;
        fill_worked_example(f);
        f.edit_reading(0, c.who, 0, c.text);
        EXPECT_EQ(f.reading(0, c.who, 0).text, c.text);
        EXPECT_EQ(f.reading(0, c.who, 0).problem, c.problem);
        EXPECT_FALSE(f.result(0, 0).result) << c.text;
        EXPECT_FALSE(f.result(0, 0).problem.empty());
    }
    ComparisonForm f;
    fill_worked_example(f);
    f.edit_temperature(0, "2000");
    EXPECT_EQ(f.point(0).temperature.text, "2000");
    EXPECT_EQ(f.result(0, 0).problem, "K 型的检定点须在 -49.5～1371.5 ℃ 之间");
    f.edit_temperature(0, "400");
    f.edit_certificate(0, "");
    EXPECT_EQ(f.point(0).certificate.problem, "未输入标准热电偶在该点的证书电势");
    // A comma reads as the decimal point.
    f.edit_certificate(0, "3,2587");
    EXPECT_TRUE(f.result(0, 0).result);
    // A certificate EMF inside type S's range that no type S gives at the point: a lost sign,
    // a slipped point, a zero.
    for (const char* cert : {"-0.2", "0", "0.32587", "13.2587"}) {
        f.edit_certificate(0, cert);
        EXPECT_NE(f.point(0).certificate.problem.find("不是 S 型热电偶在该点的电势"), std::string::npos) << cert;
        EXPECT_FALSE(f.result(0, 0).result) << cert;
    }
    f.edit_certificate(0, "3.2587");
    EXPECT_TRUE(f.result(0, 0).result);
}

TEST(ComparisonForm, TheStandardFromTheCalibrationPanel) {
    ComparisonForm f;
    fill_worked_example(f);
    f.set_from_panel(true);
    f.set_panel(std::nullopt, "输入锌点、中间点（铝点或锑点）和铜点的电势后可用");
    EXPECT_EQ(f.result(0, 0).problem, "输入锌点、中间点（铝点或锑点）和铜点的电势后可用");
    // At the reference EMFs all deviations are zero: the standard's EMF is the reference's.
    const Outcome<calibration::Calibration> c =
        calibration::calibrate(3.44689, 5.86013, 10.5748, calibration::MiddlePoint::Aluminium);
    f.set_panel(*c, "");
    ASSERT_TRUE(f.standard_emf(0));
    EXPECT_NEAR(*f.standard_emf(0), E90_S(400).value(), 1e-9);
    EXPECT_TRUE(f.result(0, 0).result);
    f.set_working_type(0, Thermocouple::B);
    f.edit_temperature(0, "1700");
    EXPECT_EQ(f.point(0).temperature.problem, "由定点分度的标准热电偶只用于 -50～1664.5 ℃");
    EXPECT_FALSE(f.result(0, 0).result);
}

TEST(ComparisonForm, SixThermocouplesSixPointsTenReadings) {
    ComparisonForm f;
    f.set_from_panel(false);
    f.set_working_count(6);
    f.set_point_count(6);
    f.set_readings(10);
    const char* points[] = {"400", "500", "600", "700", "800", "900"};
    for (int p = 0; p < 6; ++p) {
        f.edit_temperature(p, points[p]);
        const double t = std::stod(points[p]);
        f.edit_certificate(p, std::to_string(E90_S(static_cast<float>(t)).value()));
        for (int r = 0; r < 10; ++r) {
            f.edit_reading(p, -1, r, std::to_string(E90_S(static_cast<float>(t)).value()));
            for (int i = 0; i < 6; ++i) {
                f.edit_reading(p, i, r, std::to_string(E90_K(static_cast<float>(t)).value() + 0.001 * i));
            }
        }
    }
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(f.verdict(i), true) << i;
        for (int p = 0; p < 6; ++p) ASSERT_TRUE(f.result(i, p).result) << f.result(i, p).problem;
    }
    EXPECT_NEAR(f.result(5, 0).result->delta_e, 0.005, 2e-6);
}

TEST(ComparisonRecord, HoldsTheStandardTheReadingsAndEveryResult) {
    ComparisonRecord record{"2026-12-09 10:00", {"R-17", "李四", "", false}, {}, {}};
    ComparisonForm& f = record.form;
    fill_worked_example(f);
    f.set_point_count(1);
    f.standard_number = "S-0421";
    f.certificate_number = "ZS-2026-88";
    f.set_working_number(0, "K-01");
    const std::string tsv = tsv_of(comparison_rows(record));
    for (const char* part : {"标准热电偶\tS-0421\t证书编号\tZS-2026-88\n", "标准电势来源\t证书",
                             "检定点\t400\t℃\te标证/mV\t3.25870\n", "1\t3.26046\t16.38544\n",
                             "K-01\t400\t3.25870\t9.57\t16.38544\t16.39714\t42.24\t-0.0195\t-0.46\t±1.60\t合格\n",
                             "K-01\tK\t1\t合格\n", "e分：被检分度号的参考函数"}) {
        EXPECT_NE(tsv.find(part), std::string::npos) << part << "\n" << tsv;
    }
    // From the panel: its coefficients are named.
    f.set_from_panel(true);
    f.set_panel(*calibration::calibrate(3.45689, 5.87013, 10.5848, calibration::MiddlePoint::Aluminium), "");
    EXPECT_NE(tsv_of(comparison_rows(record)).find("定点分度，A = 0.01000 mV"), std::string::npos);
    // A point without a result says why in its row.
    f.edit_reading(0, 0, 0, "abc");
    EXPECT_NE(tsv_of(comparison_rows(record)).find("K-01\t400\t\t\t\t\t\t\t\t\t读数不全或有误\n"), std::string::npos);
}

}  // namespace
}  // namespace its90::form
