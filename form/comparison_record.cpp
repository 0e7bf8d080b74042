#include "form/comparison_record.h"

#include <cmath>

#include "core/sensors.h"
#include "text/number_text.h"

namespace its90::form {
namespace {

using text::fixed;
using text::general;

std::string letter_of(Thermocouple type) { return std::string(1, letter(type)); }

std::string or_dash(const std::optional<double>& x, int decimals) {
    return x ? fixed(*x, decimals) : "—";
}

}  // namespace

std::string standard_source(const ComparisonForm& form) {
    if (!form.from_panel()) return "证书（各检定点的电势见下表 e标证）";
    if (!form.fixed_point_calibration()) return "定点分度（尚无结果）";
    const calibration::Calibration& f = *form.fixed_point_calibration();
    if (const std::optional<KeptStandard>& kept = form.kept_standard(); kept && kept->record_id > 0) {
        return "记录簿中 " + kept->date + " 的定点分度（记录 " + std::to_string(kept->record_id) + "），" +
               coefficients_text(f);
    }
    return "定点分度，" + coefficients_text(f);
}

Rows working_rows(const ComparisonForm& form) {
    Rows rows = {{"序号", "编号", "分度号", "要求等级"}};
    for (int i = 0; i < form.working_count(); ++i) {
        const WorkingThermocouple& w = form.working(i);
        rows.push_back({std::to_string(i + 1), w.number, letter_of(w.type), std::to_string(w.required_class)});
    }
    return rows;
}

Rows reading_rows(const ComparisonForm& form, int p) {
    std::vector<std::string> head = {"读数", "标准 S/mV"};
    for (int i = 0; i < form.working_count(); ++i) {
        const WorkingThermocouple& w = form.working(i);
        head.push_back((w.number.empty() ? std::to_string(i + 1) + "#" : w.number) + " " + letter_of(w.type) + "/mV");
    }
    Rows rows = {head};
    for (int r = 0; r < form.readings(); ++r) {
        std::vector<std::string> row = {std::to_string(r + 1), form.reading(p, -1, r).text};
        for (int i = 0; i < form.working_count(); ++i) row.push_back(form.reading(p, i, r).text);
        rows.push_back(row);
    }
    std::vector<std::string> means = {"平均", or_dash(form.mean(p, -1), kEmfDecimals)};
    for (int i = 0; i < form.working_count(); ++i) means.push_back(or_dash(form.mean(p, i), kEmfDecimals));
    rows.push_back(means);
    return rows;
}

Rows result_rows(const ComparisonForm& form) {
    const bool with_u = form.uncertainties().has_value();
    Rows rows = {{"编号", "检定点/℃", "e标证/mV", "S标/(μV/℃)", "ē被/mV", "e分/mV", "S被/(μV/℃)", "Δe/mV", "Δt/℃", "允差/℃", "结论"}};
    if (with_u) rows[0].insert(rows[0].begin() + 9, "U(Δt)/℃");
    for (int i = 0; i < form.working_count(); ++i) {
        const WorkingThermocouple& w = form.working(i);
        const std::string name = w.number.empty() ? std::to_string(i + 1) + "#" : w.number;
        for (int p = 0; p < form.point_count(); ++p) {
            const PointResult& pr = form.result(i, p);
            const std::string t = form.point(p).temperature.text;
            if (!pr.result) {
                rows.push_back({name, t, "", "", "", "", "", "", "", "", pr.problem});
                if (with_u) rows.back().insert(rows.back().begin() + 9, "");
                continue;
            }
            const calibration::ComparisonResult& r = *pr.result;
            rows.push_back({name, t, fixed(r.standard_certificate, 5), fixed(r.standard_seebeck, 2),
                            fixed(r.working_mean, 5), fixed(r.working_reference, 5),
                            fixed(r.working_seebeck, 2), fixed(r.delta_e, 4), fixed(r.delta_t, 2),
                            pr.allowance > 0 ? allowance_text(pr.allowance) : "",
                            pr.allowance > 0 ? verdict_text(pr) : pr.problem});
            if (with_u) {
                rows.back().insert(rows.back().begin() + 9,
                                   pr.uncertainty ? text::stated(pr.uncertainty->U_C, 2) : "");
            }
        }
    }
    return rows;
}

Rows verdict_rows(const ComparisonForm& form) {
    Rows rows = {{"编号", "分度号", "要求等级", "结论"}};
    for (int i = 0; i < form.working_count(); ++i) {
        const WorkingThermocouple& w = form.working(i);
        rows.push_back({w.number.empty() ? std::to_string(i + 1) + "#" : w.number, letter_of(w.type),
                        std::to_string(w.required_class), form.verdict_words(i)});
    }
    return rows;
}

Rows run_source_rows(const ComparisonForm& f) {
    const RunSource& run = *f.run_source;
    std::string source = "自动采集：" + run.identity + "（" + run.meter + "）";
    if (run.run_id > 0) source += "，记录簿中的采集 " + std::to_string(run.run_id);
    std::string corrected;
    for (const CorrectedReading& c : f.corrected_readings()) {
        const std::string who = c.who < 0 ? "标准" : (f.working(c.who).number.empty() ? std::to_string(c.who + 1) + "#"
                                                                                      : f.working(c.who).number);
        corrected += (corrected.empty() ? "" : "；") + f.point(c.point).temperature.text + " ℃ " + who + " 第 " +
                     std::to_string(c.reading + 1) + " 次：仪表 " + c.measured + "，改为 " +
                     (c.text.empty() ? "（空）" : c.text);
    }
    return {{"读数来源", source}, {"手工修改", corrected.empty() ? "无" : corrected}};
}

Rows comparison_rows(const ComparisonRecord& record) {
    const ComparisonForm& f = record.form;
    Rows rows = {{comparison_texts::kTitle}};
    const auto append = [&rows](Rows more) { rows.insert(rows.end(), more.begin(), more.end()); };
    append(identification_rows(record.date_time, record.identification, "记录编号"));
    append({{"参考端温度", "0", "℃"},
            {},
            {"标准热电偶", f.standard_number, "证书编号", f.certificate_number},
            {"标准电势来源", standard_source(f)}});
    if (f.run_source) append(run_source_rows(f));
    append({{}, {"被检热电偶"}});
    append(working_rows(f));
    for (int p = 0; p < f.point_count(); ++p) {
        rows.push_back({});
        rows.push_back({"检定点", f.point(p).temperature.text, "℃", "e标证/mV",
                        or_dash(f.standard_emf(p), 5)});
        append(reading_rows(f, p));
    }
    rows.push_back({});
    rows.push_back({"结果"});
    append(result_rows(f));
    rows.push_back({});
    rows.push_back({"总结论"});
    append(verdict_rows(f));
    rows.push_back({});
    if (f.uncertainties()) {
        rows.push_back({"不确定度",
                        "u(Δt)² = (u_A被² + u仪²)/S被² + (u_A标² + u仪² + u证²)/S标² + u炉²（u证：标准证书，u仪：电测仪器，u炉：炉温差），U = k·u，"
                        "结论按 ILAC G8：|Δt| + U ≤ 允差为合格，|Δt| − U > 允差为不合格，其余为不能判定",
                        "k", general(f.uncertainties()->k)});
        append(record.budget);
    }
    rows.push_back({"说明", comparison_texts::kSources});
    rows.push_back({"依据", comparison_texts::kRegulation});
    return rows;
}

}  // namespace its90::form
