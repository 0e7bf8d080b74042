// Records of each kind as the windows issue them, for the tests of what the book keeps and
// what is made from a kept record.
#pragma once

#include <initializer_list>
#include <utility>

#include "form/book_records.h"

namespace its90::form {

inline void add(UncertaintyForm& f, BudgetQuantity q, const char* name, const char* value,
         calibration::Distribution d = calibration::Distribution::Normal, const char* dof = "") {
    f.add_row(q);
    BudgetRow row = f.row(f.row_count() - 1);
    row.name = name;
    row.value = value;
    row.distribution = d;
    row.degrees_of_freedom = dof;
    f.set_row(f.row_count() - 1, row);
}

inline UncertaintyForm a_budget() {
    UncertaintyForm budget;
    add(budget, BudgetQuantity::Zinc, "锌点复现", "1.5");
    add(budget, BudgetQuantity::Middle, "铝点\t复现, \"A\"", "2", calibration::Distribution::Rectangular);
    add(budget, BudgetQuantity::Copper, "铜点复现", "3.2", calibration::Distribution::Normal, "9");
    add(budget, BudgetQuantity::Certificate, "证书", "2.5");
    add(budget, BudgetQuantity::Voltmeter, "电测", "0.8", calibration::Distribution::Triangular);
    budget.set_coverage("2.2");
    return budget;
}

inline CalibrationRecord calibration_with(const UncertaintyForm* budget, const char* temperature) {
    CalibrationInputs in{{3.45689, 5.5628, 10.5848}, calibration::MiddlePoint::Antimony, std::nullopt};
    if (temperature != nullptr) in.temperature = temperature;
    CalibrationRecord r = *calibration_record(in);
    r.date_time = "2026-12-09 10:30";
    r.identification = {"S-2019-031", "王工", "年检，炉 3", true};
    if (budget != nullptr) {
        r.uncertainty = budget->fixed_points();
        r.budget = budget_rows(*budget);
    }
    return r;
}

inline ComparisonForm a_run(bool from_fixed_points) {
    ComparisonForm f;
    f.standard_number = "S-2019-031";
    f.certificate_number = "2025-118";
    f.set_working_count(2);
    f.set_working_type(0, Thermocouple::N);
    f.set_working_number(0, "N-01");
    f.set_working_type(1, Thermocouple::K);
    f.set_working_number(1, "K-02");
    f.set_working_class(1, 2);
    f.set_readings(2);
    f.set_point_count(2);
    if (from_fixed_points) {
        book::Record standard;
        standard.id = 3;
        standard.date = "2026-01-05 09:00:00";
        standard.kind = book::Kind::FixedPoint;
        standard.inputs = book::fields_of({{3.45689, 5.87013, 10.5848}, calibration::MiddlePoint::Aluminium,
                                           calibration::FixedPointUncertainties{{1, 2, 3}, 0.5, 2}});
        f.set_kept_standard(kept_standard(*book::recompute(standard)));
    } else {
        f.set_from_panel(false);
        f.edit_certificate(0, "3.2587");
        f.edit_certificate(1, "5.2390");
    }
    const char* t[] = {"400", "600"};
    const char* standard[2][2] = {{"3.26046", "3.26050"}, {"5.2387", "5.2391"}};
    const char* n[2][2] = {{"12.974", "12.9751"}, {"20.6101", "20.6113"}};
    const char* k[2][2] = {{"16.38544", "16.3856"}, {"24.905", "24.9061"}};
    for (int p = 0; p < 2; ++p) {
        f.edit_temperature(p, t[p]);
        for (int r = 0; r < 2; ++r) {
            f.edit_reading(p, -1, r, standard[p][r]);
            f.edit_reading(p, 0, r, n[p][r]);
            f.edit_reading(p, 1, r, k[p][r]);
        }
    }
    return f;
}

// A Pt100 fitted from four points, -100 ... 400 degC.
inline CvdForm a_fitted_cvd() {
    CvdForm cvd;
    cvd.set_fitted(true);
    const char* t[] = {"-100", "0", "100", "400"};
    const char* r[] = {"60.26", "100.01", "138.52", "247.07"};
    for (int i = 0; i < 4; ++i) {
        cvd.point_t[i].text = t[i];
        cvd.point_r[i].text = r[i];
    }
    return cvd;
}

// An SPRT fitted below the argon point at every point of `range`, R_TPW 25.5 ohm; a measured
// point's t90 where `measured` gives one.
inline SprtForm a_fitted_low(sprt::DeviationRange range, std::initializer_list<const char*> resistances,
                             std::initializer_list<std::pair<std::size_t, const char*>> measured = {}) {
    SprtForm low;
    low.set_range(range);
    low.set_fitted(true);
    low.r_tpw.text = "25.5";
    std::size_t i = 0;
    for (const char* r : resistances) low.point_r[i++].text = r;
    for (const auto& [point, t] : measured) low.point_t[point].text = t;
    low.edited();
    return low;
}

// Ne-TPW at its five points, e-H2 to Hg.
inline SprtForm a_fitted_ne_tpw() {
    return a_fitted_low(sprt::DeviationRange::NeTPW, {"0.0317", "0.21838", "2.34175", "5.50706", "21.52609"});
}

// e-H2-TPW at its seven points, the two near 17 K and 20.3 K where a gas thermometer measured
// them.
inline SprtForm a_fitted_eh2_tpw() {
    return a_fitted_low(sprt::DeviationRange::EH2TPW,
                        {"0.033150", "0.061903", "0.110069", "0.218568", "2.341835", "5.507101", "21.526207"},
                        {{1, "-256.08"}, {2, "-252.93"}});
}

}  // namespace its90::form
