#include "form/calibration_record.h"

#include "text/number_text.h"

#include <cmath>

namespace its90::form {
namespace {

using calibration::MiddlePoint;
using text::fixed;
using text::general;

// A window text without the blank in front of a non-negative value.
std::string shown(const std::string& text) {
    return !text.empty() && text.front() == ' ' ? text.substr(1) : text;
}

// The EMFs' resolution for the deviations, and what it carries to the coefficients.
std::string deviation_text(double d) { return fixed(d, 5); }

}  // namespace

namespace {

// A deviation in degC as a person reads it: "+600 ℃".
std::string signed_degrees(double d) {
    if (!std::isfinite(d)) return "无法计量";
    return (d > 0 ? "+" : "") + text::significant(d, 3) + " ℃";
}

}  // namespace

std::string implausible_words(const calibration::ImplausibleEmfs& fault, const std::array<double, 3>& emfs,
                              MiddlePoint middle) {
    const auto names = fixed_point_names(middle);
    const auto emf = [&](int i) { return text::general(emfs[static_cast<std::size_t>(i)]); };
    const std::string point = names[static_cast<std::size_t>(fault.point)].name;
    if (fault.fault == calibration::ImplausibleEmfs::Fault::OutOfOrder) {
        return point + "电势 " + emf(fault.point) + " mV 不高于" + names[static_cast<std::size_t>(fault.before)].name +
               "的 " + emf(fault.before) + " mV：定点顺序不对（是否填错了位置？），无法生成记录";
    }
    return point + "电势 " + emf(fault.point) + " mV 偏离 S 型分度表 " + signed_degrees(fault.deviation_C) +
           "：没有 S 型热电偶偏离这么远，无法生成记录";
}

std::string implausible_standard_words(double t, double deviation_C) {
    return "偏离 " + text::general(t) + " ℃ 处的 S 型分度表 " + signed_degrees(deviation_C) +
           "：不是 S 型热电偶在该点的电势";
}

std::array<FixedPointName, 3> fixed_point_names(MiddlePoint middle) {
    const std::array<double, 3> t = calibration::fixed_point_temperatures(middle);
    return {{{"锌点", text::round_trip(t[0])},
             {middle == MiddlePoint::Aluminium ? "铝点" : "锑点", text::round_trip(t[1])},
             {"铜点", text::round_trip(t[2])}}};
}

Outcome<CalibrationRecord> calibration_record(const CalibrationInputs& in) {
    const Outcome<calibration::Calibration> c =
        calibration::calibrate(in.emfs[0], in.emfs[1], in.emfs[2], in.middle);
    if (!c.ok()) return c.rejection();
    const Outcome<calibration::GraduationTable> table = calibration::graduation_table(*c);
    if (!table.ok()) return table.rejection();
    const Outcome<calibration::AcceptanceCheck> check =
        calibration::acceptance_check(in.emfs[0], in.emfs[1], in.emfs[2], in.middle);
    if (!check.ok()) return check.rejection();

    CalibrationRecord record{{}, {}, *c, in.emfs, {}, std::nullopt, *check, std::nullopt, {}};
    for (std::size_t r = 0; r < table->size(); ++r) {
        record.table[r] = text::Num_to_text_sign((*table)[r]);
    }
    if (in.temperature) {
        const Outcome<double> v = calibration::emf_at(*c, text::Text_to_num(*in.temperature));
        if (v.ok()) record.any_temperature = {*in.temperature, text::Num_to_text_sign(*v)};
    }
    return record;
}

std::string one_degree_text(const calibration::Calibration& c, int t) {
    const Outcome<double> e = calibration::emf_to_3_places(c, t);
    return e.ok() ? fixed(*e, 3) : "—";
}

std::array<std::string, 3> coefficient_texts(const calibration::Calibration& c) {
    const calibration::CoefficientResolution r = calibration::coefficient_resolution(c.middle);
    return {text::to_resolution(c.function.A, r.A), text::to_resolution(c.function.B, r.B),
            text::to_resolution(c.function.C, r.C)};
}

std::string coefficients_text(const calibration::Calibration& c) {
    const std::array<std::string, 3> abc = coefficient_texts(c);
    return "A = " + abc[0] + " mV，B = " + abc[1] + " mV/℃，C = " + abc[2] + " mV/℃²";
}

const char* verdict(bool pass) { return pass ? record_texts::kPass : record_texts::kFail; }

Rows fixed_point_rows(const CalibrationRecord& r) {
    const auto points = fixed_point_names(r.calibration.middle);
    Rows rows = {{"固定点", "温度/℃", "测量电势/mV", "偏差/mV"}};
    for (std::size_t i = 0; i < 3; ++i) {
        rows.push_back({points[i].name, points[i].temperature, general(r.emfs[i]),
                        deviation_text(r.calibration.deviations[i])});
    }
    return rows;
}

std::optional<calibration::DeviationUncertainty> uncertainty_at(const CalibrationRecord& r, double t) {
    if (!r.uncertainty) return std::nullopt;
    const Outcome<calibration::DeviationUncertainty> u =
        calibration::deviation_uncertainty(r.calibration.middle, *r.uncertainty, t);
    if (!u.ok()) return std::nullopt;
    return *u;
}

namespace {

// U in uV and degC, to two significant digits as a certificate states it.
std::vector<std::string> uncertainty_cells(const CalibrationRecord& r, double t) {
    const std::optional<calibration::DeviationUncertainty> u = uncertainty_at(r, t);
    if (!u) return {"", ""};
    return {text::stated(u->U_uV, 2), u->U_C ? text::stated(*u->U_C, 2) : ""};
}

}  // namespace

Rows expanded_uncertainty_rows(const CalibrationRecord& r) {
    if (!r.uncertainty) return {};
    Rows rows = {{"温度/℃", "u/μV", "有效自由度 νeff", "k", "U/μV", "U/℃"}};
    for (const int t : calibration::kTableTemperatures) {
        const std::optional<calibration::DeviationUncertainty> u = uncertainty_at(r, t);
        if (!u) continue;
        rows.push_back({std::to_string(t), text::stated(u->u_uV, 2),
                        std::isfinite(u->effective_dof) ? text::significant(u->effective_dof, 3) : "∞",
                        text::general(r.uncertainty->k), text::stated(u->U_uV, 2), u->U_C ? text::stated(*u->U_C, 2) : ""});
    }
    return rows;
}

Rows graduation_rows(const CalibrationRecord& r) {
    Rows rows = {{"温度/℃", "电势/mV"}};
    if (r.uncertainty) {
        rows[0].push_back("U/μV");
        rows[0].push_back("U/℃");
    }
    for (std::size_t i = 0; i < r.table.size(); ++i) {
        const int t = calibration::kTableTemperatures[i];
        std::vector<std::string> row = {std::to_string(t), shown(r.table[i])};
        if (r.uncertainty) {
            const std::vector<std::string> u = uncertainty_cells(r, t);
            row.insert(row.end(), u.begin(), u.end());
        }
        rows.push_back(row);
    }
    return rows;
}

Rows check_rows(const CalibrationRecord& r) {
    const auto points = fixed_point_names(r.calibration.middle);
    Rows rows = {{"固定点", "测量值/mV", "要求值/mV", "允差/mV", "偏差/mV", "结论"}};
    for (const auto& [point, p] : calibration::in_report_order(r.check)) {
        // To the measured EMFs' 5 decimals, like them.
        rows.push_back({points[point].name, general(p->measured), fixed(p->required, 5),
                        "±" + fixed(p->allowance, 3), fixed(p->deviation, 5), verdict(p->pass)});
    }
    return rows;
}

Rows identification_rows(const std::string& date_time, const Identification& id, const char* number_heading) {
    Rows rows = {{"日期时间", date_time}, {number_heading, id.number}, {"检定员", id.operator_name}, {"备注", id.notes}};
    if (!id.corrects.empty()) {
        rows.push_back({"更正", id.corrects});
        rows.push_back({"修改原因", id.reason});
    }
    // Only what was typed: a record kept without them reads as it always has.
    if (!id.customer.empty()) rows.push_back({"委托方", id.customer});
    if (!id.standard_used.empty()) rows.push_back({"标准器", id.standard_used});
    if (!id.ambient_temperature.empty()) rows.push_back({"环境温度", id.ambient_temperature, "℃"});
    if (!id.relative_humidity.empty()) rows.push_back({"相对湿度", id.relative_humidity, "%RH"});
    return rows;
}

Rows record_rows(const CalibrationRecord& r) {
    const calibration::Calibration& c = r.calibration;
    const auto points = fixed_point_names(c.middle);
    Rows rows = {{record_texts::kTitle}};
    const auto append = [&rows](Rows more) { rows.insert(rows.end(), more.begin(), more.end()); };
    append(identification_rows(r.date_time, r.identification, "编号"));
    append({{"参考端温度", "0", "℃"}, {"中间点", points[1].name, points[1].temperature, "℃"}, {}});
    append(fixed_point_rows(r));
    rows.push_back({});
    rows.push_back({"偏差函数", "ΔE(t) = A + B·t + C·t²"});
    const std::array<std::string, 3> abc = coefficient_texts(c);
    rows.push_back({"A", abc[0], "mV"});
    rows.push_back({"B", abc[1], "mV/℃"});
    rows.push_back({"C", abc[2], "mV/℃²"});
    rows.push_back({});
    append(graduation_rows(r));
    if (r.any_temperature) {
        std::vector<std::string> row = {"任一温度", shown(r.any_temperature->first), shown(r.any_temperature->second)};
        if (r.uncertainty) {
            const std::vector<std::string> u =
                uncertainty_cells(r, text::Text_to_num(r.any_temperature->first));
            if (!u[0].empty()) row.insert(row.end(), {"U = " + u[0] + " μV", u[1] + " ℃"});
        }
        rows.push_back(row);
    }
    rows.push_back({});
    if (r.uncertainty) {
        rows.push_back({});
        rows.push_back({"不确定度", "u(ΔE(t))² = Σ (Lᵢ(t)·uᵢ)² + u₀²，U = k·u，U/℃ = U/S(t)", "k",
                        text::general(r.uncertainty->k)});
        append(r.budget);
        rows.push_back({});
        rows.push_back({"合成与扩展不确定度"});
        append(expanded_uncertainty_rows(r));
    }
    rows.push_back({"验收", record_texts::kRegulation});
    append(check_rows(r));
    rows.push_back({"总结论", verdict(r.check.pass)});
    if (r.identification.one_degree_table) {
        rows.push_back({});
        rows.push_back({"1 ℃ 分度表", "E(t) = E分(t) + ΔE(t)", "mV"});
        rows.push_back({"温度/℃", "电势/mV"});
        for (int t = calibration::kTableLowest; t <= calibration::kTableHighest; ++t) {
            rows.push_back({std::to_string(t), one_degree_text(c, t)});
        }
    }
    return rows;
}

std::string to_tsv(const CalibrationRecord& record) { return tsv_of(record_rows(record)); }

std::string to_csv(const CalibrationRecord& record) { return csv_of(record_rows(record)); }

std::string tsv_of(const Rows& rows) {
    std::string text;
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            std::string cell = row[i];
            for (char& ch : cell) {
                if (ch == '\t' || ch == '\n' || ch == '\r') ch = ' ';  // a cell stays one cell
            }
            if (i > 0) text += '\t';
            text += cell;
        }
        text += '\n';
    }
    return text;
}

std::string csv_of(const Rows& rows) {
    std::string text = "\xEF\xBB\xBF";
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::string& cell = row[i];
            if (i > 0) text += ',';
            if (cell.find_first_of(",\"\r\n") == std::string::npos) {
                text += cell;
                continue;
            }
            text += '"';
            for (char ch : cell) text += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            text += '"';
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace its90::form
