#include "form/calibration_record.h"

#include <cstdio>

#include "core/its90.h"
#include "form/form1.h"
#include "text/number_text.h"

namespace its90::form {
namespace {

using namespace controls;
using calibration::MiddlePoint;

// A number as a spreadsheet reads it: up to 15 significant digits, '.' as the separator.
std::string number(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value + 0.0);
    return buffer;
}

// A window text without the blank in front of a non-negative value.
std::string shown(const std::string& text) {
    return !text.empty() && text.front() == ' ' ? text.substr(1) : text;
}

std::string fixed6(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.6f", round_half_even(value, 6) + 0.0);
    return buffer;
}

}  // namespace

std::array<FixedPointName, 3> fixed_point_names(MiddlePoint middle) {
    return {{{"锌点", "419.527"},
             middle == MiddlePoint::Aluminium ? FixedPointName{"铝点", "660.323"}
                                              : FixedPointName{"锑点", "630.63"},
             {"铜点", "1084.62"}}};
}

std::optional<CalibrationRecord> calibration_record(const Form1& form, Identification id,
                                                    std::string date_time) {
    const std::string& zinc = form.text(T1(0));
    const std::string& middle = form.text(T1(1));
    const std::string& copper = form.text(T1(2));
    if (zinc.empty() || middle.empty() || copper.empty()) return std::nullopt;
    const std::array<double, 3> emfs = {text::Text_to_num(zinc), text::Text_to_num(middle),
                                        text::Text_to_num(copper)};
    const calibration::Calculated<calibration::Calibration> c =
        calibration::calibrate(emfs[0], emfs[1], emfs[2], form.middle_point());
    if (!c.ok()) return std::nullopt;
    const calibration::Calculated<calibration::GraduationTable> table =
        calibration::graduation_table(*c);
    if (!table.ok()) return std::nullopt;

    CalibrationRecord record{std::move(date_time), std::move(id), *c, emfs, {}, std::nullopt,
                             calibration::acceptance_check(emfs[0], emfs[1], emfs[2],
                                                           form.middle_point())};
    for (std::size_t r = 0; r < table->size(); ++r) {
        record.table[r] = text::Num_to_text_sign((*table)[r]);
    }
    // The EMF at the typed temperature, when the window shows one for it.
    const std::string& temperature = form.text(T1(12));
    if (!temperature.empty() && !form.text(T1(kTemperatureResultBox)).empty()) {
        const calibration::Calculated<double> v =
            calibration::emf_at(*c, text::Text_to_num(temperature));
        if (v.ok()) record.any_temperature = {temperature, text::Num_to_text_sign(*v)};
    }
    return record;
}

const char* verdict(bool pass) { return pass ? record_texts::kPass : record_texts::kFail; }

Rows fixed_point_rows(const CalibrationRecord& r) {
    const auto points = fixed_point_names(r.calibration.middle);
    Rows rows = {{"固定点", "温度/℃", "测量电势/mV", "偏差/mV"}};
    for (std::size_t i = 0; i < 3; ++i) {
        rows.push_back({points[i].name, points[i].temperature, number(r.emfs[i]),
                        number(r.calibration.deviations[i])});
    }
    return rows;
}

Rows graduation_rows(const CalibrationRecord& r) {
    Rows rows = {{"温度/℃", "电势/mV"}};
    for (std::size_t i = 0; i < r.table.size(); ++i) {
        rows.push_back({std::to_string(calibration::kTableTemperatures[i]), shown(r.table[i])});
    }
    return rows;
}

Rows check_rows(const CalibrationRecord& r) {
    const auto points = fixed_point_names(r.calibration.middle);
    Rows rows = {{"固定点", "测量值/mV", "要求值/mV", "允差/mV", "偏差/mV", "结论"}};
    for (const auto& [point, p] : calibration::in_report_order(r.check)) {
        rows.push_back({points[point].name, number(p->measured), fixed6(p->required),
                        "±" + number(p->allowance), fixed6(p->deviation), verdict(p->pass)});
    }
    return rows;
}

Rows record_rows(const CalibrationRecord& r) {
    const calibration::Calibration& c = r.calibration;
    const auto points = fixed_point_names(c.middle);
    Rows rows = {
        {record_texts::kTitle},
        {"日期时间", r.date_time},
        {"编号", r.identification.number},
        {"检定员", r.identification.operator_name},
        {"备注", r.identification.notes},
        {"参考端温度", "0", "℃"},
        {"中间点", points[1].name, points[1].temperature, "℃"},
        {},
    };
    const auto append = [&rows](Rows more) { rows.insert(rows.end(), more.begin(), more.end()); };
    append(fixed_point_rows(r));
    rows.push_back({});
    rows.push_back({"偏差函数", "ΔE(t) = A + B·t + C·t²"});
    rows.push_back({"A", number(c.function.A), "mV"});
    rows.push_back({"B", number(c.function.B), "mV/℃"});
    rows.push_back({"C", number(c.function.C), "mV/℃²"});
    rows.push_back({});
    append(graduation_rows(r));
    if (r.any_temperature) {
        rows.push_back({"任一温度", shown(r.any_temperature->first), shown(r.any_temperature->second)});
    }
    rows.push_back({});
    rows.push_back({"验收", record_texts::kRegulation});
    append(check_rows(r));
    rows.push_back({"总结论", verdict(r.check.pass)});
    if (r.identification.one_degree_table) {
        rows.push_back({});
        rows.push_back({"1 ℃ 分度表", "E(t) = E_ref(t) + ΔE(t)", "mV"});
        rows.push_back({"温度/℃", "电势/mV"});
        for (int t = 300; t <= 1100; ++t) {
            char value[32];
            std::snprintf(value, sizeof value, "%.3f", calibration::emf_to_3_places(c, t));
            rows.push_back({std::to_string(t), value});
        }
    }
    return rows;
}

std::string to_tsv(const CalibrationRecord& record) {
    std::string text;
    for (const std::vector<std::string>& row : record_rows(record)) {
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

std::string to_csv(const CalibrationRecord& record) {
    std::string text = "\xEF\xBB\xBF";
    for (const std::vector<std::string>& row : record_rows(record)) {
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
