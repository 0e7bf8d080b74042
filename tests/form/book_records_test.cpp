// The windows' records through the book and back: what is kept recomputes to the very document
// that was issued, loads into a fresh model with every text as typed, and a record that is not
// of its kind or lacks an input is refused rather than half loaded.
#include <gtest/gtest.h>

#include <algorithm>

#include "form/book_records.h"
#include "tests/form/kept_records.h"
#include "tests/form/sprt_example.h"

namespace its90::form {
namespace {

TEST(BookRecords, AFixedPointRecordRecomputesToTheDocumentIssued) {
    const UncertaintyForm budget = a_budget();
    struct Case {
        const char* what;
        const UncertaintyForm* budget;
        const char* temperature;
    };
    const Case cases[] = {{"plain", nullptr, nullptr},
                          {"with a budget and a typed temperature", &budget, "1000.5"}};
    for (const Case& c : cases) {
        CalibrationRecord issued = calibration_with(c.budget, c.temperature);
        if (c.budget != nullptr) issued.identification.corrects = "记录 3（2026-12-08 16:00）";
        const PanelTexts typed{{"3.45689", "5.5628", "10.5848"}, c.temperature ? c.temperature : ""};
        book::Record kept = book_record(issued, typed, c.budget, "9.9");
        kept.id = 7;
        EXPECT_EQ(kept.number, "S-2019-031") << c.what;
        EXPECT_EQ(kept.document, to_csv(issued)) << c.what;
        const std::optional<CalibrationRecord> again = recomputed_calibration(kept);
        ASSERT_TRUE(again) << c.what;
        EXPECT_EQ(to_csv(*again), kept.document) << c.what;
        EXPECT_EQ(again->budget, issued.budget) << c.what;
        EXPECT_EQ(again->identification.corrects, issued.identification.corrects) << c.what;
        const std::optional<FixedPointEntry> entry = fixed_point_entry(kept);
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->typed.emfs[1], "5.5628");
        EXPECT_EQ(entry->typed.temperature, c.temperature ? c.temperature : "");
        EXPECT_EQ(entry->inputs.middle, calibration::MiddlePoint::Antimony);
    }
}

TEST(BookRecords, TheBudgetComesBackLineForLine) {
    const UncertaintyForm budget = a_budget();
    book::Record r;
    add_budget_fields(r.inputs, budget);
    UncertaintyForm loaded;
    add(loaded, BudgetQuantity::Furnace, "to be replaced", "9");
    ASSERT_TRUE(load_budget(r, loaded));
    ASSERT_EQ(loaded.row_count(), budget.row_count());
    for (int i = 0; i < budget.row_count(); ++i) {
        EXPECT_EQ(loaded.row(i).name, budget.row(i).name);
        EXPECT_EQ(loaded.row(i).value, budget.row(i).value);
        EXPECT_EQ(loaded.row(i).distribution, budget.row(i).distribution);
        EXPECT_EQ(loaded.row(i).degrees_of_freedom, budget.row(i).degrees_of_freedom);
    }
    EXPECT_EQ(loaded.coverage(), "2.2");
    EXPECT_EQ(budget_rows(loaded), budget_rows(budget));
    // A calibration kept with its points' uncertainties alone gives one line each.
    book::Record bare;
    bare.kind = book::Kind::FixedPoint;
    bare.inputs = book::fields_of({{3.45689, 5.87013, 10.5848}, calibration::MiddlePoint::Aluminium,
                                   calibration::FixedPointUncertainties{{2, 2.5, 3}, 0, 2}});
    UncertaintyForm from_points;
    ASSERT_TRUE(load_budget(bare, from_points));
    ASSERT_EQ(from_points.row_count(), 3);
    ASSERT_TRUE(from_points.fixed_points());
    EXPECT_EQ(from_points.fixed_points()->points, (std::array<double, 3>{2, 2.5, 3}));
    EXPECT_EQ(from_points.fixed_points()->k, 2);
    // A damaged line leaves the budget as it was.
    r.inputs.back().value = "99\x1fx";
    EXPECT_FALSE(load_budget(r, loaded));
    EXPECT_EQ(loaded.row_count(), budget.row_count());
}

TEST(BookRecords, AComparisonRecomputesToTheDocumentIssued) {
    const UncertaintyForm budget = a_budget();
    for (bool fixed_points : {false, true}) {
        ComparisonRecord issued{"2026-12-09 11:00", {"BJ-2026-77", "李工", "", false}, a_run(fixed_points), {}};
        ASSERT_TRUE(issued.form.complete()) << fixed_points;
        issued.form.set_uncertainties(budget.comparison(), budget.fixed_points());
        issued.budget = budget_rows(budget);
        const book::Record kept = book_record(issued, &budget, "9.9");
        EXPECT_EQ(kept.type, "N/K");
        const std::optional<ComparisonRecord> again = recomputed_comparison(kept);
        ASSERT_TRUE(again) << fixed_points;
        EXPECT_EQ(csv_of(comparison_rows(*again)), kept.document) << fixed_points;
        EXPECT_EQ(again->form.working(1).required_class, 2);
        EXPECT_EQ(again->form.reading(1, 1, 1).text, "24.9061");
        if (fixed_points) {
            ASSERT_TRUE(again->form.kept_standard());
            EXPECT_EQ(again->form.kept_standard()->record_id, 3);
            EXPECT_NE(standard_source(again->form).find("记录 3"), std::string::npos);
        }
    }
}

TEST(BookRecords, ResistancePagesComeBackAsTyped) {
    const SprtForm sprt = certificate_example();
    const Identification id{"SPRT-5", "张工", "", false};
    const book::Record kept_sprt = book_record(sprt, id, "2026-12-09 12:00", sprt_rows(sprt), "9.9");
    SprtForm sprt_again;
    ASSERT_TRUE(load_sprt(kept_sprt, sprt_again));
    EXPECT_EQ(sprt_again.range(), sprt::DeviationRange::TPWZn);
    EXPECT_EQ(sprt_rows(sprt_again), sprt_rows(sprt));
    EXPECT_EQ(csv_of(sprt_rows(sprt_again)), kept_sprt.document);

    CvdForm cvd = a_fitted_cvd();
    cvd.set_with_d(true);  // fitted with D from a fifth point, kept and loaded so
    cvd.point_t[4].text = "200";
    cvd.point_r[4].text = "175.86";
    cvd.edited();
    ASSERT_TRUE(cvd.has_d()) << cvd.coefficients_problem();
    const book::Record kept_cvd = book_record(cvd, id, "2026-12-09 12:00", cvd_rows(cvd), "9.9");
    CvdForm cvd_again;
    ASSERT_TRUE(load_cvd(kept_cvd, cvd_again));
    EXPECT_TRUE(cvd_again.fitted());
    EXPECT_EQ(cvd_again.with_d(), cvd.with_d());
    EXPECT_EQ(cvd_rows(cvd_again), cvd_rows(cvd));
    // Below the argon point, fitted at every point (the last, Hg, and the last c kept as
    // typed; e-H2-TPW's measured t90 too): the same page back, c1 ... named on its record.
    struct Low {
        SprtForm form;
        sprt::DeviationRange range;
        std::vector<const char*> names;  // rows the record must have
    };
    const Low lows[] = {
        {a_fitted_ne_tpw(), sprt::DeviationRange::NeTPW, {"e-H2", "Hg", "c1", "c3"}},
        {a_fitted_eh2_tpw(), sprt::DeviationRange::EH2TPW, {"e-H2", "≈17 K", "≈20.3 K", "Hg", "c1", "c5"}},
    };
    for (const Low& l : lows) {
        SprtForm low = l.form;
        low.temperature.text = "-200";
        low.edited();
        ASSERT_TRUE(low.coefficients()) << low.coefficients_problem();
        const book::Record kept_low = book_record(low, id, "2026-12-10 12:00", sprt_rows(low), "9.9");
        SprtForm low_again;
        ASSERT_TRUE(load_sprt(kept_low, low_again));
        EXPECT_EQ(low_again.range(), l.range);
        const std::size_t last = static_cast<std::size_t>(sprt::range_record(l.range).coefficients) - 1;
        EXPECT_EQ(low_again.point_r[last].text, low.point_r[last].text);
        EXPECT_EQ(low_again.point_t[1].text, low.point_t[1].text);
        EXPECT_EQ(sprt_rows(low_again), sprt_rows(low));
        const auto rows = sprt_rows(low);
        for (const char* name : l.names) {
            EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const auto& r) { return !r.empty() && r[0] == name; }))
                << name;
        }
    }
    // The measured point is stated at its measured t90.
    const auto hydrogen = sprt_rows(lows[1].form);
    EXPECT_NE(std::find(hydrogen.begin(), hydrogen.end(), std::vector<std::string>{"≈17 K", "-256.08", "0.061903"}),
              hydrogen.end());
    // Each page refuses the other's record, and the comparison both.
    EXPECT_FALSE(load_sprt(kept_cvd, sprt_again));
    EXPECT_FALSE(load_cvd(kept_sprt, cvd_again));
    ComparisonForm untouched;
    EXPECT_FALSE(load_comparison(kept_sprt, untouched));
}

TEST(BookRecords, ARecordLackingAnInputIsRefused) {
    ComparisonRecord issued{"2026-12-09 11:00", {"BJ-1", "", "", false}, a_run(false), {}};
    const book::Record kept = book_record(issued, nullptr, "9.9");
    for (const char* missing : {"working_count", "point_count", "readings", "working_2_type"}) {
        book::Record damaged = kept;
        std::erase_if(damaged.inputs, [&](const book::Field& f) { return f.name == missing; });
        EXPECT_FALSE(recomputed_comparison(damaged)) << missing;
    }
    // Counts that are no counts: out of range, not whole, beyond any integer.
    for (const char* count : {"0", "7", "1.5", "1e300", "-1e300", "nan", "x"}) {
        book::Record damaged = kept;
        for (book::Field& f : damaged.inputs) {
            if (f.name == "working_count") f.value = count;
        }
        EXPECT_FALSE(recomputed_comparison(damaged)) << count;
    }
    book::Record no_emf;
    no_emf.kind = book::Kind::FixedPoint;
    no_emf.inputs = {{"middle_point", "aluminium"}, {"emf_zinc_mV", "3.4"}};
    EXPECT_FALSE(recomputed_calibration(no_emf));
}

TEST(BookRecords, AStandardsHistoryShowsItsDriftAgainstTheFirstCalibration) {
    std::vector<book::Calibrated> history;
    const double copper[] = {10.5848, 10.5858, 10.5838};
    for (int i = 0; i < 3; ++i) {
        book::Record r;
        r.id = i + 1;
        r.kind = book::Kind::FixedPoint;
        r.date = "202" + std::to_string(4 + i) + "-05-01 09:00:00";
        r.inputs = book::fields_of({{3.45689, 5.87013, copper[i]}, calibration::MiddlePoint::Aluminium, std::nullopt});
        history.push_back(*book::recompute(r));
    }
    const Rows rows = history_rows(history);
    ASSERT_EQ(rows.size(), 4u);
    const std::size_t last = rows[0].size() - 1;  // drift at 1100 degC
    EXPECT_EQ(rows[0][last], "漂移(1100)/μV");
    EXPECT_EQ(rows[1][last], "0.0");
    // D3 moved by +1 uV; at 1100 degC the deviation function carries about that much.
    EXPECT_EQ(rows[2][5], "11.0");  // D3 = 10.5858 - E90_S(Cu) 10.5748 mV
    EXPECT_NEAR(std::stod(rows[2][last]), 1.0, 0.3);
    EXPECT_NEAR(std::stod(rows[3][last]), -1.0, 0.3);
    EXPECT_EQ(rows[1][9], "不合格");
}

}  // namespace
}  // namespace its90::form
