#include "form/comparison_form.h"

#include <algorithm>
#include <cmath>

#include "core/sensors.h"
#include "core/tolerances.h"
#include "form/calibration_record.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::form {
namespace {

using text::general;

std::string type_name(Thermocouple type) { return std::string(1, letter(type)) + " 型"; }

// A typed number: '.' or ',' as the decimal separator, blanks around it allowed.
text::StrictNumber read_number(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return text::read_strict_number(text);
}

std::string range_text(double lowest, double highest, const char* unit) {
    return general(lowest) + "～" + general(highest) + " " + unit;
}

// An EMF reading of a sensor: its value, or the cell's problem.
std::optional<double> read_emf(Cell& cell, Thermocouple type) {
    cell.problem.clear();
    if (cell.text.find_first_not_of(" \t") == std::string::npos) {
        cell.problem = "未输入读数";
        return std::nullopt;
    }
    const text::StrictNumber n = read_number(cell.text);
    if (!n.value) {
        cell.problem = "“" + cell.text + "”不是数值";
        return std::nullopt;
    }
    const Sensor& s = sensor_of(type);
    if (!s.accepts_emf(*n.value)) {
        cell.problem = "超出" + type_name(type) + "热电偶的电势范围 " +
                       range_text(s.emfs.lowest, s.emfs.highest, "mV");
        return std::nullopt;
    }
    return n.value;
}

}  // namespace

std::vector<int> usual_points(Thermocouple type) {
    switch (type) {
        case Thermocouple::K:
        case Thermocouple::N: return {400, 600, 800, 1000};
        case Thermocouple::E:
        case Thermocouple::J: return {300, 400, 600};
        case Thermocouple::T: return {100, 200, 300};
        case Thermocouple::S:
        case Thermocouple::R: return {600, 800, 1000};
        case Thermocouple::B: return {800, 1000, 1200};
    }
    return {};
}

ComparisonForm::ComparisonForm() {
    for (PointEntry& p : points_) {
        p.standard.resize(kMostReadings);
        for (auto& column : p.working) column.resize(kMostReadings);
    }
    panel_reason_ = "分度面板尚无分度结果";
    set_usual_points();
    evaluate();
}

void ComparisonForm::set_kept_standard(std::optional<KeptStandard> kept, std::string missing) {
    kept_ = std::move(kept);
    kept_missing_ = kept_ ? std::string() : std::move(missing);
    evaluate();
}

void ComparisonForm::set_panel(std::optional<calibration::Calibration> calibration, std::string reason) {
    panel_ = std::move(calibration);
    panel_reason_ = std::move(reason);
    evaluate();
}

std::string emf_text(double mV) { return text::fixed(mV, kEmfDecimals); }

std::string allowance_text(double allowance_C) { return "±" + text::fixed(allowance_C, 2); }

const char* verdict_text(const PointResult& r) {
    if (r.conformity) {
        switch (*r.conformity) {
            case calibration::Conformity::Pass: return "合格";
            case calibration::Conformity::Fail: return "不合格";
            case calibration::Conformity::Undecided: return "不能判定";
        }
    }
    return r.pass ? "合格" : "不合格";
}

void ComparisonForm::set_uncertainties(std::optional<calibration::ComparisonUncertainties> comparison,
                                       std::optional<calibration::FixedPointUncertainties> fixed_points) {
    uncertainties_ = comparison;
    fixed_point_uncertainties_ = fixed_points;
    evaluate();
}

void ComparisonForm::set_from_panel(bool from_panel) {
    from_panel_ = from_panel;
    evaluate();
}

void ComparisonForm::set_working_count(int count) {
    working_count_ = std::clamp(count, 1, kMostWorking);
    evaluate();
}

void ComparisonForm::set_working_number(int i, std::string number) {
    if (i < 0 || i >= kMostWorking) return;
    working_[static_cast<std::size_t>(i)].number = std::move(number);
}

bool ComparisonForm::points_are_usual() const {
    const std::vector<int> usual = usual_points(working_[0].type);
    if (point_count_ != static_cast<int>(usual.size())) return false;
    for (int p = 0; p < point_count_; ++p) {
        if (points_[static_cast<std::size_t>(p)].temperature.text != std::to_string(usual[static_cast<std::size_t>(p)])) {
            return false;
        }
    }
    return true;
}

void ComparisonForm::clear_run() {
    for (WorkingThermocouple& w : working_) w.number.clear();
    for (PointEntry& p : points_) {
        p.temperature = {};
        p.certificate = {};
    }
    clear_readings();
    set_usual_points();
    evaluate();
}

void ComparisonForm::set_usual_points() {
    const std::vector<int> usual = usual_points(working_[0].type);
    point_count_ = static_cast<int>(usual.size());
    for (int p = 0; p < point_count_; ++p) {
        points_[static_cast<std::size_t>(p)].temperature.text = std::to_string(usual[static_cast<std::size_t>(p)]);
    }
}

void ComparisonForm::set_working_type(int i, Thermocouple type) {
    if (i < 0 || i >= kMostWorking) return;
    const bool follow = i == 0 && points_are_usual();
    working_[static_cast<std::size_t>(i)].type = type;
    if (follow) set_usual_points();
    evaluate();
}

void ComparisonForm::set_working_class(int i, int required_class) {
    if (i < 0 || i >= kMostWorking) return;
    working_[static_cast<std::size_t>(i)].required_class = std::clamp(required_class, 1, 3);
    evaluate();
}

void ComparisonForm::set_point_count(int count) {
    point_count_ = std::clamp(count, 1, kMostPoints);
    evaluate();
}

void ComparisonForm::set_readings(int count) {
    readings_ = std::clamp(count, 1, kMostReadings);
    evaluate();
}

void ComparisonForm::edit_temperature(int p, std::string text) {
    if (p < 0 || p >= kMostPoints) return;
    points_[static_cast<std::size_t>(p)].temperature.text = std::move(text);
    evaluate();
}

void ComparisonForm::edit_certificate(int p, std::string text) {
    if (p < 0 || p >= kMostPoints) return;
    points_[static_cast<std::size_t>(p)].certificate.text = std::move(text);
    evaluate();
}

Cell& ComparisonForm::cell(int p, int who, int r) {
    PointEntry& point = points_[static_cast<std::size_t>(p)];
    std::vector<Cell>& column = who < 0 ? point.standard : point.working[static_cast<std::size_t>(who)];
    return column[static_cast<std::size_t>(r)];
}

const Cell& ComparisonForm::reading(int p, int who, int r) const {
    return const_cast<ComparisonForm*>(this)->cell(p, who, r);
}

void ComparisonForm::edit_reading(int p, int who, int r, std::string text) {
    if (p < 0 || p >= kMostPoints || who < -1 || who >= kMostWorking || r < 0 || r >= kMostReadings) return;
    cell(p, who, r).text = std::move(text);
    evaluate();
}

void ComparisonForm::set_measured_reading(int p, int who, int r, std::string text) {
    if (p < 0 || p >= kMostPoints || who < -1 || who >= kMostWorking || r < 0 || r >= kMostReadings) return;
    Cell& c = cell(p, who, r);
    c.measured = text;
    c.text = std::move(text);
    evaluate();
}

void ComparisonForm::clear_readings() {
    for (PointEntry& p : points_) {
        for (Cell& c : p.standard) c = {};
        for (auto& column : p.working) {
            for (Cell& c : column) c = {};
        }
    }
    run_source.reset();
    evaluate();
}

bool ComparisonForm::has_readings() const {
    for (int p = 0; p < point_count_; ++p) {
        for (int who = -1; who < working_count_; ++who) {
            for (int r = 0; r < readings_; ++r) {
                if (!reading(p, who, r).text.empty()) return true;
            }
        }
    }
    return false;
}

std::vector<CorrectedReading> ComparisonForm::corrected_readings() const {
    std::vector<CorrectedReading> out;
    for (int p = 0; p < point_count_; ++p) {
        for (int who = -1; who < working_count_; ++who) {
            for (int r = 0; r < readings_; ++r) {
                const Cell& c = reading(p, who, r);
                if (c.corrected()) out.push_back({p, who, r, *c.measured, c.text});
            }
        }
    }
    return out;
}

std::optional<double> ComparisonForm::mean(int p, int who) const {
    return means_[static_cast<std::size_t>(p)][static_cast<std::size_t>(who + 1)];
}

const char* ComparisonForm::verdict_words(int i) const {
    const std::optional<bool> v = verdict(i);
    if (!v) return "未完成";
    if (*v) return "合格";
    bool undecided = false;
    for (int p = 0; p < point_count_; ++p) {
        const PointResult& r = result(i, p);
        if (r.conformity == calibration::Conformity::Fail || (!r.conformity && !r.pass)) return "不合格";
        if (r.conformity == calibration::Conformity::Undecided) undecided = true;
    }
    return undecided ? "不能判定" : "不合格";
}

bool ComparisonForm::complete() const {
    for (int i = 0; i < working_count_; ++i) {
        if (!verdict(i)) return false;
    }
    return true;
}

void ComparisonForm::evaluate() {
    for (int p = 0; p < kMostPoints; ++p) {
        PointEntry& point = points_[static_cast<std::size_t>(p)];
        const auto sp = static_cast<std::size_t>(p);
        standard_emf_[sp].reset();
        temperature_[sp].reset();
        point_problem_[sp].clear();
        for (auto& m : means_[sp]) m.reset();
        point.temperature.problem.clear();
        point.certificate.problem.clear();
        for (Cell& c : point.standard) c.problem.clear();
        for (auto& column : point.working) {
            for (Cell& c : column) c.problem.clear();
        }
        for (auto& results : results_) results[sp] = PointResult{};
        if (p >= point_count_) continue;

        // The point's temperature.
        std::optional<double> t;
        const text::StrictNumber typed = read_number(point.temperature.text);
        if (point.temperature.text.find_first_not_of(" \t") == std::string::npos) {
            point.temperature.problem = "未输入检定点温度";
        } else if (!typed.value) {
            point.temperature.problem = "“" + point.temperature.text + "”不是数值";
        } else {
            t = typed.value;
            temperature_[sp] = t;
        }
        // The standard's readings and their mean.
        std::vector<double> standard;
        for (int r = 0; r < readings_; ++r) {
            if (auto v = read_emf(point.standard[static_cast<std::size_t>(r)], Thermocouple::S)) standard.push_back(*v);
        }
        if (static_cast<int>(standard.size()) == readings_) means_[sp][0] = *calibration::mean_of(standard);
        // The standard's own EMF there.
        if (t && from_panel_) {
            if (!fixed_point_calibration()) {
                point_problem_[sp] = kept_missing_.empty() ? panel_reason_ : kept_missing_;
            } else {
                const Outcome<double> e = calibration::standard_emf(*fixed_point_calibration(), *t);
                if (e.ok()) {
                    standard_emf_[sp] = *e;
                } else {
                    point.temperature.problem = "由定点分度的标准热电偶只用于 " +
                                                range_text(calibration::kLowestTemperature,
                                                           calibration::kHighestTemperature, "℃");
                }
            }
        } else if (t) {
            const text::StrictNumber cert = read_number(point.certificate.text);
            if (point.certificate.text.find_first_not_of(" \t") == std::string::npos) {
                point.certificate.problem = "未输入标准热电偶在该点的证书电势";
            } else if (!cert.value) {
                point.certificate.problem = "“" + point.certificate.text + "”不是数值";
            } else if (!sensor_of(Thermocouple::S).accepts_emf(*cert.value)) {
                const Range emfs = sensor_of(Thermocouple::S).emfs;
                point.certificate.problem = "超出 S 型热电偶的电势范围 " + range_text(emfs.lowest, emfs.highest, "mV");
            } else if (const auto d = sensor_of(Thermocouple::S).accepts_temperature(*t)
                                          ? calibration::implausible_standard_emf(*t, *cert.value)
                                          : std::nullopt) {
                point.certificate.problem = implausible_standard_words(*t, *d);
            } else {
                standard_emf_[sp] = *cert.value;
            }
        }
        if (point_problem_[sp].empty()) {
            if (!point.temperature.problem.empty()) point_problem_[sp] = "检定点：" + point.temperature.problem;
            else if (!point.certificate.problem.empty()) point_problem_[sp] = "证书电势：" + point.certificate.problem;
            else if (!means_[sp][0]) point_problem_[sp] = "标准热电偶的读数不全或有误";
        }

        // Each working thermocouple there.
        for (int i = 0; i < working_count_; ++i) {
            const WorkingThermocouple& w = working_[static_cast<std::size_t>(i)];
            std::vector<double> readings;
            for (int r = 0; r < readings_; ++r) {
                if (auto v = read_emf(point.working[static_cast<std::size_t>(i)][static_cast<std::size_t>(r)], w.type)) {
                    readings.push_back(*v);
                }
            }
            const bool all = static_cast<int>(readings.size()) == readings_;
            if (all) means_[sp][static_cast<std::size_t>(i + 1)] = *calibration::mean_of(readings);
            PointResult& out = results_[static_cast<std::size_t>(i)][sp];
            if (!point_problem_[sp].empty()) {
                out.problem = point_problem_[sp];
                continue;
            }
            if (!all) {
                out.problem = "读数不全或有误";
                continue;
            }
            const Outcome<calibration::ComparisonResult> r =
                calibration::compare({*t, w.type, standard, readings, *standard_emf_[sp]});
            if (!r.ok()) {
                const Rejection& why = r.rejection();
                out.problem = why.quantity == Quantity::Temperature
                                  ? type_name(w.type) + "的检定点须在 " +
                                        range_text(why.lowest, why.highest, "℃") + " 之间"
                                  : "无法计算：结果超出可计算范围";
                continue;
            }
            out.result = *r;
            const ToleranceClass& required =
                tolerance_classes(w.type)[static_cast<std::size_t>(w.required_class - 1)];
            const std::optional<double> allowance = required.at(*t);
            if (!allowance) {
                out.problem = type_name(w.type) + std::to_string(w.required_class) + " 级不覆盖 " +
                              general(*t) + " ℃";
                continue;
            }
            out.allowance = *allowance;
            out.pass = std::fabs(r->delta_t) <= *allowance;
            if (uncertainties_) {
                calibration::ComparisonUncertainties u = *uncertainties_;
                // A kept standard's own uncertainties where it has them, else the budget's.
                const std::optional<calibration::FixedPointUncertainties>& points =
                    kept_ && kept_->uncertainty ? kept_->uncertainty : fixed_point_uncertainties_;
                if (from_panel_ && fixed_point_calibration() && points) {
                    const Outcome<calibration::DeviationUncertainty> d = calibration::deviation_uncertainty(
                        fixed_point_calibration()->middle, *points, *t);
                    if (d.ok()) u.certificate = d->u_uV;
                }
                const Outcome<calibration::DeltaTUncertainty> du =
                    calibration::delta_t_uncertainty({*t, w.type, standard, readings, *standard_emf_[sp]}, *r, u);
                if (du.ok()) {
                    out.uncertainty = *du;
                    out.conformity = calibration::conformity(r->delta_t, du->U_C, *allowance);
                    out.pass = *out.conformity == calibration::Conformity::Pass;
                }
            }
        }
    }
    for (int i = 0; i < kMostWorking; ++i) {
        auto& verdict = verdict_[static_cast<std::size_t>(i)];
        verdict.reset();
        if (i >= working_count_ || point_count_ == 0) continue;
        bool all = true, pass = true;
        for (int p = 0; p < point_count_; ++p) {
            const PointResult& r = results_[static_cast<std::size_t>(i)][static_cast<std::size_t>(p)];
            if (!r.result || r.allowance == 0) all = false;
            else pass = pass && r.pass;
        }
        if (all) verdict = pass;
    }
}

}  // namespace its90::form
