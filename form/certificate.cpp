#include "form/certificate.h"

#include <algorithm>

#include "core/sensors.h"
#include "text/number_text.h"
#include "text/strict_number.h"

#include "form/book_records.h"
#include "form/comparison_record.h"

namespace its90::form {

namespace {

std::string setting_or(const book::Book& book, const char* name) {
    return book.setting(name).value_or(std::string());
}

// The columns `keep` of every row, in that order.
Rows columns_of(const Rows& rows, const std::vector<std::size_t>& keep) {
    Rows out;
    for (const std::vector<std::string>& row : rows) {
        std::vector<std::string>& cells = out.emplace_back();
        for (std::size_t c : keep) cells.push_back(c < row.size() ? row[c] : std::string());
    }
    return out;
}

std::optional<std::size_t> column_named(const std::vector<std::string>& headings, std::string_view name) {
    const auto it = std::find(headings.begin(), headings.end(), name);
    if (it == headings.end()) return std::nullopt;
    return static_cast<std::size_t>(it - headings.begin());
}

// A kept resistance record's table: the rows from the one headed `headings` on, as long as they
// are rows of its columns, as the record was issued.
Rows document_table(const Rows& document, const std::vector<std::string>& headings) {
    Rows out;
    for (std::size_t r = 0; r < document.size(); ++r) {
        // Its headings first; a column after them (说明) is the table's too.
        if (document[r].size() < headings.size() || !std::equal(headings.begin(), headings.end(), document[r].begin())) continue;
        // A note below the table is a row of another shape.
        for (std::size_t i = r; i < document.size() && document[i].size() == document[r].size(); ++i) {
            out.push_back(document[i]);
        }
        break;
    }
    return out;
}

// The label/value rows of a kept document whose label is one of `labels`, in the document's order.
Rows document_values(const Rows& document, const std::vector<std::string>& labels) {
    Rows out;
    for (const std::vector<std::string>& row : document) {
        if (row.size() >= 2 && std::find(labels.begin(), labels.end(), row[0]) != labels.end()) {
            out.push_back({row[0], row[1]});
        }
    }
    return out;
}

// A table of coefficients, name and value: each a quantity of its own where its unit is known
// (the range's name is a word, not a value).
CertificateTable coefficient_table(const Rows& document, const std::vector<std::array<const char*, 3>>& known) {
    std::vector<std::string> labels;
    for (const auto& k : known) labels.emplace_back(k[0]);
    CertificateTable t{"系数", "Coefficients", document_values(document, labels), {}};
    t.rows.insert(t.rows.begin(), {"名称", "值"});
    for (std::size_t r = 1; r < t.rows.size(); ++r) {
        for (const auto& [label, name_en, unit] : known) {
            if (t.rows[r][0] != label || *unit == '\0') continue;
            CertificateQuantity q{1, t.rows[r][0], name_en, unit};
            q.row = r;
            t.quantities.push_back(q);
        }
    }
    return t;
}

void fixed_point(Certificate& c, const CalibrationRecord& r) {
    c.title_zh = "检定证书";
    c.title_en = "Verification certificate";
    c.item_zh = "标准铂铑10-铂热电偶（S 型）";
    c.item_en = "Standard platinum-10 % rhodium/platinum thermocouple (type S)";
    c.regulation = "JJG 75-1995";
    c.method_zh = "定点法：锌、" + std::string(fixed_point_names(r.calibration.middle)[1].name) +
                  "、铜凝固点的热电动势，按 JJG 75-1995 计算分度表";
    c.method_en = std::string("Fixed-point method: EMF at the freezing points of zinc, ") +
                  (r.calibration.middle == calibration::MiddlePoint::Aluminium ? "aluminium" : "antimony") +
                  " and copper; graduation table as JJG 75-1995 gives it";
    CertificateTable table{"分度表（参考端 0 ℃）", "Graduation table (reference junction at 0 °C)",
                           graduation_rows(r),
                           {{0, "温度", "Temperature", "\\degreecelsius"}, {1, "热电动势", "EMF", "\\milli\\volt"}}};
    if (r.uncertainty) {
        // U is stated in uV; the DCC carries it in the EMF's own unit.
        table.quantities[1].expanded = 2;
        table.quantities[1].expanded_shift = -3;
    }
    c.results.push_back(table);
    CertificateTable check{"定点热电动势的验收（JJG 75-1995）", "Acceptance of the fixed-point EMFs (JJG 75-1995)",
                           check_rows(r),
                           {{1, "测量值", "Measured EMF", "\\milli\\volt"},
                            {2, "要求值", "Required EMF", "\\milli\\volt"},
                            {4, "偏差", "Deviation", "\\milli\\volt"}},
                           r.check.pass};
    c.results.push_back(check);
    c.pass = r.check.pass;
    c.conclusion = verdict(r.check.pass);
    if (r.uncertainty) c.coverage_factor = text::general(r.uncertainty->k);
    c.uncertainty_note = r.uncertainty ? "U 为扩展不确定度，包含因子 k = " + text::general(r.uncertainty->k) + "。"
                                       : "记录未附不确定度评定。";
}

void comparison(Certificate& c, const ComparisonRecord& r) {
    const ComparisonForm& f = r.form;
    c.title_zh = "检定证书";
    c.title_en = "Verification certificate";
    c.item_zh = "工作用热电偶";
    c.item_en = "Working thermocouples";
    c.regulation = "JJG 351；JJG 141";
    c.method_zh = "比较法：与标准铂铑10-铂热电偶在同一温场中比较";
    c.method_en = "Comparison with a standard type S thermocouple in one furnace";
    std::string standard = "标准热电偶 " + (f.standard_number.empty() ? std::string("—") : f.standard_number);
    if (!f.certificate_number.empty()) standard += "，证书编号 " + f.certificate_number;
    c.standard = c.standard.empty() ? standard : standard + "；" + c.standard;
    c.working_items.clear();
    for (int i = 0; i < f.working_count(); ++i) {
        const WorkingThermocouple& w = f.working(i);
        c.working_items.emplace_back(w.number.empty() ? std::to_string(i + 1) + "#" : w.number, std::string(1, letter(w.type)));
    }
    const Rows all = result_rows(f);
    const std::vector<std::string>& head = all.front();
    std::vector<std::size_t> keep;
    for (const char* name : {"编号", "检定点/℃", "ē被/mV", "Δt/℃", "U(Δt)/℃", "允差/℃", "结论"}) {
        if (const auto col = column_named(head, name)) keep.push_back(*col);
    }
    const Rows shown = columns_of(all, keep);
    const bool with_u = column_named(head, "U(Δt)/℃").has_value();
    // One table a working thermocouple, as the DCC gives each its own result.
    for (int i = 0; i < f.working_count(); ++i) {
        CertificateTable t;
        t.title_zh = "被检热电偶 " + c.working_items[static_cast<std::size_t>(i)].first + "（" +
                     c.working_items[static_cast<std::size_t>(i)].second + " 型）";
        t.title_en = "Working thermocouple " + c.working_items[static_cast<std::size_t>(i)].first + " (type " +
                     c.working_items[static_cast<std::size_t>(i)].second + ")";
        t.rows.push_back(shown.front());
        for (int p = 0; p < f.point_count(); ++p) {
            t.rows.push_back(shown[1 + static_cast<std::size_t>(i * f.point_count() + p)]);
        }
        t.quantities = {{1, "检定点", "Calibration point", "\\degreecelsius"},
                        {2, "被检热电偶电势平均值", "Mean EMF of the thermocouple", "\\milli\\volt"},
                        {3, "温度偏差 Δt", "Temperature deviation", "\\kelvin"}};
        if (with_u) t.quantities[2].expanded = 4;
        t.pass = f.verdict(i);
        c.results.push_back(std::move(t));
    }
    bool all_pass = true, all_known = true;
    for (int i = 0; i < f.working_count(); ++i) {
        if (!f.verdict(i)) all_known = false;
        else all_pass = all_pass && *f.verdict(i);
    }
    if (all_known) c.pass = all_pass;
    std::string words;
    for (int i = 0; i < f.working_count(); ++i) {
        if (!words.empty()) words += "；";
        words += c.working_items[static_cast<std::size_t>(i)].first + "：" + f.verdict_words(i);
    }
    c.conclusion = words;
    c.uncertainty_note = with_u ? "U(Δt) 为 Δt 的扩展不确定度，包含因子 k = 2（ILAC G8 判定）。" : "记录未附不确定度评定。";
}

void resistance(Certificate& c, const book::Record& r, ResistancePage page) {
    const Rows document = book::document_rows(r.document);
    c.title_zh = "校准证书";
    c.title_en = "Calibration certificate";
    if (page == ResistancePage::Sprt) {
        c.item_zh = "标准铂电阻温度计";
        c.item_en = "Standard platinum resistance thermometer";
        c.regulation = "ITS-90（Preston-Thomas, Metrologia 27, 1990）";
        c.method_zh = "ITS-90 参考函数与偏差函数";
        c.method_en = "ITS-90 reference and deviation functions";
        c.results.push_back(coefficient_table(document, {{"温区", "Range", ""},
                                                         {"水三相点电阻 Rtp/Ω", "Resistance at the triple point of water", "\\ohm"},
                                                         {"a", "Deviation function coefficient a", "\\one"},
                                                         {"b", "Deviation function coefficient b", "\\one"},
                                                         {"c", "Deviation function coefficient c", "\\one"},
                                                         {"d", "Deviation function coefficient d", "\\one"},
                                                         {"c1", "Deviation function coefficient c1", "\\one"},
                                                         {"c2", "Deviation function coefficient c2", "\\one"},
                                                         {"c3", "Deviation function coefficient c3", "\\one"},
                                                         {"c4", "Deviation function coefficient c4", "\\one"},
                                                         {"c5", "Deviation function coefficient c5", "\\one"},
                                                         {"W(Al)", "Resistance ratio at the aluminium point", "\\one"}}));
        CertificateTable table{"分度表", "Table", document_table(document, {"t90/℃", "R/Ω", "W", "U(k=2)/mK"}),
                               {{0, "温度 t90", "Temperature t90", "\\degreecelsius"},
                                {1, "电阻", "Resistance", "\\ohm"},
                                {2, "电阻比 W", "Resistance ratio W", "\\one"}}};
        // U is stated in mK: a temperature interval, carried on the temperature in its unit.
        table.quantities[0].expanded = 3;
        table.quantities[0].expanded_shift = -3;
        c.results.push_back(table);
    } else if (page == ResistancePage::Copper) {
        c.item_zh = "铜热电阻温度计（" + r.type + "）";
        c.item_en = "Copper resistance thermometer (" + r.type + ")";
        c.regulation = "JJG 229-2010";
        c.method_zh = "R(t) = R0 (1 + A t + B t² + C t³)";
        c.method_en = "R(t) = R0 (1 + A t + B t^2 + C t^3)";
        CertificateTable table{"分度表", "Table", document_table(document, {"t/℃", "R/Ω", "W"}),
                               {{0, "温度", "Temperature", "\\degreecelsius"}, {1, "电阻", "Resistance", "\\ohm"},
                                {2, "电阻比 W = R/R0", "Resistance ratio W = R/R0", "\\one"}}};
        c.results.push_back(table);
    } else {
        // A thermometer's own type (Pt100 ...) where the record names one.
        const bool named = !r.type.empty() && r.type != "CVD";
        c.item_zh = named ? "工业铂电阻温度计（" + r.type + "）" : std::string("工业铂电阻温度计");
        c.item_en = named ? "Industrial platinum resistance thermometer (" + r.type + ")"
                          : std::string("Industrial platinum resistance thermometer");
        c.regulation = "IEC 60751";
        c.method_zh = "Callendar–Van Dusen 方程";
        c.method_en = "Callendar-Van Dusen equation";
        c.results.push_back(coefficient_table(document, {{"R0/Ω", "R0", "\\ohm"},
                                                         {"A/℃⁻¹", "Callendar-Van Dusen coefficient A", "\\degreecelsius\\tothe{-1}"},
                                                         {"B/℃⁻²", "Callendar-Van Dusen coefficient B", "\\degreecelsius\\tothe{-2}"},
                                                         {"C/℃⁻⁴", "Callendar-Van Dusen coefficient C", "\\degreecelsius\\tothe{-4}"},
                                                         {"D/℃⁻³（0 ℃ 以上）", "Coefficient D of the t^3 term above 0 °C",
                                                          "\\degreecelsius\\tothe{-3}"},
                                                         {"有效范围/℃", "Range the coefficients hold for", ""}}));
        CertificateTable table{"分度表", "Table", document_table(document, {"t/℃", "R/Ω", "U(k=2)/℃"}),
                               {{0, "温度", "Temperature", "\\degreecelsius"}, {1, "电阻", "Resistance", "\\ohm"}}};
        table.quantities[0].expanded = 2;
        c.results.push_back(table);
    }
    c.conclusion = "校准结果见上表。";
    // Only a table with the 说明 column marks rows 外推 (an SPRT's has four columns without it).
    if (!c.results.back().rows.empty()) {
        const std::vector<std::string>& heading = c.results.back().rows.front();
        if (std::find(heading.begin(), heading.end(), "说明") != heading.end()) {
            c.conclusion += "标“外推”的行在拟合点的温度范围以外，由方程外推。";
        }
    }
    const Rows& table = c.results.back().rows;  // the table of values, after the coefficients
    const std::size_t u = table.empty() ? 0 : table.front().size() - 1;
    const bool with_u = std::any_of(table.begin() + (table.empty() ? 0 : 1), table.end(),
                                    [u](const std::vector<std::string>& row) { return u < row.size() && !row[u].empty(); });
    // The copper page's table has no U column: its last column is W.
    c.uncertainty_note = with_u && page != ResistancePage::Copper ? "U 为扩展不确定度，包含因子 k = 2。" : "记录未附不确定度评定。";
}

// Whether every cell of a column below its heading holds something.
bool column_filled(const Rows& rows, std::size_t column) {
    if (rows.size() < 2) return false;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (column >= rows[r].size() || rows[r][column].empty()) return false;
    }
    return true;
}

}  // namespace

std::optional<Certificate> certificate_of(const book::Book& book, const book::Record& record) {
    Certificate c;
    c.record = record.id;
    c.kind = record.kind;
    c.laboratory = setting_or(book, "laboratory_name");
    c.address = setting_or(book, "laboratory_address");
    c.accreditation = setting_or(book, "accreditation");
    const Identification id = identification_of(record);
    c.customer = id.customer;
    c.standard = id.standard_used;
    c.ambient_temperature_C = id.ambient_temperature;
    c.relative_humidity_percent = id.relative_humidity;
    c.item_number = record.number;
    c.performed = record.date;
    c.program_version = record.program_version;
    if (record.kind == book::Kind::FixedPoint) {
        const std::optional<CalibrationRecord> r = recomputed_calibration(record);
        if (!r) return std::nullopt;
        fixed_point(c, *r);
        const std::optional<book::FixedPointInputs> inputs = book::fixed_point_inputs(record);
        if (inputs && inputs->uncertainty) {
            const auto& u = *inputs->uncertainty;
            const std::string cells = "锌、" + std::string(fixed_point_names(inputs->middle)[1].name) + "、铜凝固点，u = " +
                                      text::general(u.points[0]) + "、" + text::general(u.points[1]) + "、" +
                                      text::general(u.points[2]) + " μV（标准不确定度）";
            c.standard = c.standard.empty() ? cells : cells + "；" + c.standard;
        }
    } else if (record.kind == book::Kind::Comparison) {
        const std::optional<ComparisonRecord> r = recomputed_comparison(record);
        if (!r) return std::nullopt;
        comparison(c, *r);
    } else {
        const std::optional<ResistancePage> page = resistance_page(record);
        if (!page) return std::nullopt;
        resistance(c, record, *page);
    }
    // A U column the record left empty (no budget at that temperature) is not one the DCC can
    // carry for every value: the page shows it as it is, the DCC leaves it out.
    for (CertificateTable& t : c.results) {
        for (CertificateQuantity& q : t.quantities) {
            if (q.expanded && !column_filled(t.rows, *q.expanded)) q.expanded.reset();
        }
    }
    c.signatures[0].name = record.operator_name;
    c.signatures[0].date = record.date;
    for (const book::SignOff& s : book.sign_offs(record.id)) {
        CertificateSignature* to = s.step == book::SignOff::Step::Checked    ? &c.signatures[1]
                                   : s.step == book::SignOff::Step::Approved ? &c.signatures[2]
                                                                             : nullptr;
        if (to == nullptr) {
            // A refusal undoes the check before it: the certificate names only what stands.
            c.signatures[1].name.clear();
            c.signatures[1].date.clear();
            continue;
        }
        to->name = s.person;
        to->date = s.date;
    }
    c.approved = record.state == book::State::Approved;
    if (c.approved) c.number = book.certificate_number(record.id);
    return c;
}

std::string ambient_conditions_problem(std::string& temperature, std::string& humidity) {
    const auto read = [](std::string& text, const char* what, double low, double high) -> std::string {
        const std::size_t first = text.find_first_not_of(" \t");
        text = first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
        if (text.empty()) return {};
        std::replace(text.begin(), text.end(), ',', '.');
        const std::optional<double> v = text::parse_strict_number(text);
        if (!v) return std::string(what) + "“" + text + "”不是数";
        if (*v < low || *v > high) {
            return std::string(what) + " " + text + " 不在 " + text::general(low) + " … " + text::general(high) + " 之内";
        }
        return {};
    };
    std::string problem = read(temperature, "环境温度", -50, 100);
    if (problem.empty()) problem = read(humidity, "相对湿度", 0, 100);
    return problem;
}

Rows certificate_particulars(const Certificate& c) {
    const auto or_dash = [](const std::string& s) { return s.empty() ? std::string("—") : s; };
    Rows rows = {{"委托方", or_dash(c.customer)}, {"被校仪器", c.item_zh}};
    if (c.working_items.empty()) {
        rows.push_back({"编号", or_dash(c.item_number)});
    } else {
        std::string items;
        for (const auto& [number, type] : c.working_items) items += (items.empty() ? "" : "，") + number + "（" + type + " 型）";
        rows.push_back({"编号", items});
        rows.push_back({"记录编号", or_dash(c.item_number)});
    }
    rows.push_back({"依据", c.regulation});
    rows.push_back({"方法", c.method_zh});
    rows.push_back({"标准器", or_dash(c.standard)});
    rows.push_back({"环境温度", c.ambient_temperature_C.empty() ? "—" : c.ambient_temperature_C + " ℃"});
    rows.push_back({"相对湿度", c.relative_humidity_percent.empty() ? "—" : c.relative_humidity_percent + " %RH"});
    rows.push_back({"检定/校准日期", c.performed});
    rows.push_back({"记录号", std::to_string(c.record)});
    return rows;
}

}  // namespace its90::form
