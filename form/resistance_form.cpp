#include "form/resistance_form.h"

#include <algorithm>
#include <cmath>

#include "core/copper.h"
#include "core/its90.h"
#include "core/tolerances.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::form {
namespace {

using text::fixed;
using text::general;

// A point raised by its uncertainty no longer fits (the curve would bend back): no U, rather
// than one that leaves the point out.
constexpr const char* kNoRefit = "有点的电阻加上 u 后无法重新拟合，不给出 U";

bool blank(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

// A field's number: '.' or ',' as the separator. Empty gives nothing without a problem when
// `optional`.
std::optional<double> read(Field& f, bool optional = false) {
    f.problem.clear();
    if (blank(f.text)) {
        if (!optional) f.problem = "未输入数值";
        return std::nullopt;
    }
    std::string t = f.text;
    std::replace(t.begin(), t.end(), ',', '.');
    const std::optional<double> v = text::parse_strict_number(t);
    if (!v) f.problem = "“" + f.text + "”不是数值";
    return v;
}

std::string fit_problem(const Rejection& r) {
    switch (r.cause) {
        case Rejection::Cause::NotAFixedPoint: return general(r.lowest) + " ℃ 不是该温区的固定点";
        case Rejection::Cause::MissingPoint:
            if (r.lowest != r.highest) return "缺少 " + general(r.lowest) + " … " + general(r.highest) + " ℃ 之间测得的点";
            return "缺少 " + general(r.lowest) + " ℃ 处的电阻";
        case Rejection::Cause::SameTemperature:
            if (r.lowest != r.highest) return general(r.lowest) + " … " + general(r.highest) + " ℃ 之间有两个点";
            return general(r.lowest) + " ℃ 处有两个点";
        case Rejection::Cause::TooFewPoints: return "点数少于 " + general(r.lowest) + " 个未知数";
        case Rejection::Cause::TooFewAbove:
            return "拟合 D 须有至少 " + general(r.lowest) + " 个高于 " + general(r.highest) + " ℃ 的点";
        case Rejection::Cause::OutOfRange: return "点的温度须在 -200～850 ℃ 之间";
        default: return "这些系数在温区内不给出单调上升的曲线（或电阻不大于 0）";
    }
}

// The temperatures of a table request, or its problem in the fields.
std::vector<double> table_temperatures(TableRequest& t, Range span) {
    const std::optional<double> from = read(t.from, true), to = read(t.to, true), step = read(t.step, true);
    if (!from || !to || !step) return {};
    if (!(*step > 0)) {
        t.step.problem = "步长须大于 0";
        return {};
    }
    if (!span.contains(*from)) t.from.problem = "超出 " + general(span.lowest) + "～" + general(span.highest) + " ℃";
    if (!span.contains(*to) || *to < *from) t.to.problem = "须在起点之后且不超出 " + general(span.highest) + " ℃";
    if (!t.from.problem.empty() || !t.to.problem.empty()) return {};
    if ((*to - *from) / *step >= kMostTableRows) {
        t.step.problem = "表超过 " + std::to_string(kMostTableRows) + " 行";
        return {};
    }
    std::vector<double> ts;
    const long n = static_cast<long>(std::floor((*to - *from) / *step * (1 + 1e-12))) + 1;
    for (long i = 0; i < n; ++i) ts.push_back(round_half_even(*from + static_cast<double>(i) * *step, 10));
    return ts;
}

std::string class_name(std::span<const ToleranceClass> classes, double t, double deviation) {
    const ToleranceClass* c = tightest_class(classes, t, deviation);
    return c ? c->name : "";
}

}  // namespace

// ---- 标准铂电阻 -------------------------------------------------------------------------------

namespace {

// The table a range's page starts with: 0 ... 100 degC where the range holds it, else across
// the range in round steps.
struct DefaultTable {
    const char *from, *to, *step;
};
DefaultTable default_table(sprt::DeviationRange range) {
    switch (range) {
        case sprt::DeviationRange::EH2TPW: return {"-255", "0", "5"};
        case sprt::DeviationRange::NeTPW: return {"-240", "0", "10"};
        case sprt::DeviationRange::O2TPW: return {"-210", "0", "10"};
        case sprt::DeviationRange::ArTPW: return {"-180", "0", "10"};
        case sprt::DeviationRange::HgGa: return {"-30", "25", "5"};
        case sprt::DeviationRange::TPWGa: return {"0", "25", "5"};
        default: return {"0", "100", "10"};
    }
}

bool is_default_table(const TableRequest& t, sprt::DeviationRange range) {
    const DefaultTable d = default_table(range);
    return t.from.text == d.from && t.to.text == d.to && t.step.text == d.step;
}

}  // namespace

SprtForm::SprtForm() {
    const DefaultTable d = default_table(range_);
    table.from.text = d.from;
    table.to.text = d.to;
    table.step.text = d.step;
    evaluate();
}

void SprtForm::set_range(sprt::DeviationRange range) {
    // A table left as the old range started it follows the new range; one typed is kept.
    if (is_default_table(table, range_)) {
        const DefaultTable d = default_table(range);
        table.from.text = d.from;
        table.to.text = d.to;
        table.step.text = d.step;
    }
    range_ = range;
    evaluate();
}

void SprtForm::set_fitted(bool fitted) {
    fitted_ = fitted;
    evaluate();
}

bool SprtForm::keep_coefficients() {
    if (!coefficients_) return false;
    const sprt::Coefficients k = *coefficients_;
    const sprt::DeviationRangeRecord& record = sprt::range_record(range_);
    Field* typed[] = {&a, &b, &c, &d, &e, &f, &g};
    for (int i = 0; i < sprt::kMostCoefficients; ++i) {
        typed[i]->text = i < record.coefficients ? text::round_trip(sprt::slot(k, i)) : "";
    }
    w_al.text = range_ == sprt::DeviationRange::TPWAg ? text::round_trip(k.w_al) : "";
    fitted_ = false;
    evaluate();
    return true;
}

std::optional<double> SprtForm::expanded_at(double t90) const {
    if (perturbed_.empty() || !coefficients_) return std::nullopt;
    return calibration::sprt_expanded(range_, *coefficients_, perturbed_, t90);
}

void SprtForm::evaluate() {
    perturbed_.clear();
    expanded_at_temperature_.reset();
    u_points.problem.clear();
    coefficients_.reset();
    coefficients_problem_.clear();
    at_temperature_.reset();
    at_resistance_.reset();
    rows_.clear();
    const sprt::DeviationRangeRecord& record = sprt::range_record(range_);
    const std::optional<double> rtpw = read(r_tpw);
    if (rtpw && !(*rtpw > 0)) r_tpw.problem = "水三相点电阻 Rtp 须大于 0";
    Field* typed[] = {&a, &b, &c, &d, &e, &f, &g};
    for (Field* field : typed) field->problem.clear();
    for (Field& field : point_r) field.problem.clear();
    for (Field& field : point_t) field.problem.clear();
    w_al.problem.clear();
    if (fitted_) {
        std::vector<calibration::TemperatureResistance> points;
        bool complete = true;
        for (std::size_t p = 0; p < record.points.size(); ++p) {
            if (!record.points[p]) continue;
            const sprt::FixedPointRecord& fixed = sprt::fixed_point(*record.points[p]);
            const std::optional<double> r = read(point_r[p]);
            std::optional<double> t = fixed.t90;
            if (fixed.measured()) {
                t = read(point_t[p]);
                if (t && !fixed.admits(*t)) {
                    point_t[p].problem = "须在 " + general(fixed.t90 - fixed.measured_within) + " … " +
                                         general(fixed.t90 + fixed.measured_within) + " ℃ 之间";
                    t.reset();
                }
            }
            if (!r || !t) {
                complete = false;
                continue;
            }
            points.push_back({*t, *r});
        }
        if (!complete || !rtpw || !r_tpw.problem.empty()) {
            coefficients_problem_ = "水三相点电阻 Rtp 和各固定点的电阻（测得的点还有其温度）都输入后给出系数";
        } else {
            const Outcome<sprt::Coefficients> k = calibration::fit_sprt(range_, *rtpw, points);
            if (k.ok()) coefficients_ = *k;
            else coefficients_problem_ = fit_problem(k.rejection());
            // The fit again with each point's resistance raised by its uncertainty.
            const std::optional<double> u = read(u_points, true);
            if (u && !(*u >= 0)) u_points.problem = "不确定度须不小于 0";
            if (k.ok() && u && *u > 0) {
                const auto refits = calibration::sprt_refits(range_, *rtpw, points, *u / 1000);
                if (refits) perturbed_ = *refits;
                else u_points.problem = kNoRefit;
            }
        }
    } else {
        sprt::Coefficients k;
        bool complete = true;
        for (int i = 0; i < record.coefficients; ++i) {
            const std::optional<double> v = read(*typed[i]);
            if (!v) complete = false;
            else sprt::slot(k, i) = *v;
        }
        if (range_ == sprt::DeviationRange::TPWAg) {
            const std::optional<double> given = read(w_al, true);
            if (!w_al.problem.empty()) complete = false;
            k.w_al = given ? *given : sprt::w_at_aluminium(k);
        }
        if (!complete) {
            coefficients_problem_ = "输入温区的全部系数后可用";
        } else if (!sprt::monotonic(range_, k)) {
            coefficients_problem_ = "这些系数在温区内不给出单调上升的曲线";
        } else {
            coefficients_ = k;
        }
    }
    temperature.problem.clear();
    resistance.problem.clear();
    if (!coefficients_ || !rtpw || !r_tpw.problem.empty()) {
        read(temperature, true);
        read(resistance, true);
        table_temperatures(table, record.temperatures);
        return;
    }
    if (const std::optional<double> t = read(temperature, true)) {
        const Outcome<double> w = sprt::w_at(range_, *coefficients_, *t);
        if (!w.ok()) {
            temperature.problem = "超出温区 " + std::string(record.name) + "：" + general(record.temperatures.lowest) +
                                  "～" + general(record.temperatures.highest) + " ℃";
        } else {
            const double h = 0.001;
            const double t_low = std::max(*t - h, record.temperatures.lowest);
            const double t_high = std::min(*t + h, record.temperatures.highest);
            const double slope = (*sprt::w_at(range_, *coefficients_, t_high) -
                                  *sprt::w_at(range_, *coefficients_, t_low)) / (t_high - t_low) * *rtpw;
            const double wr = *sprt::Wr(*t);
            at_temperature_ = Conversion{*w * *rtpw, *w, wr, *w - wr, slope};
            expanded_at_temperature_ = expanded_at(*t);
        }
    }
    if (const std::optional<double> r = read(resistance, true)) {
        const Outcome<double> t = sprt::t90_at(range_, *coefficients_, *r / *rtpw);
        if (!t.ok()) {
            resistance.problem = "超出温区 " + std::string(record.name) + " 的电阻：" +
                                 fixed(t.rejection().lowest * *rtpw, 6) + "～" + fixed(t.rejection().highest * *rtpw, 6) + " Ω";
        } else {
            at_resistance_ = *t;
        }
    }
    for (double t : table_temperatures(table, record.temperatures)) {
        const Outcome<double> w = sprt::w_at(range_, *coefficients_, t);
        if (w.ok()) rows_.push_back({t, *w * *rtpw, *w, expanded_at(t)});
    }
}

// ---- 工业铂电阻 -------------------------------------------------------------------------------

CvdForm::CvdForm() {
    r0.text = "100";
    a.text = "3.9083e-3";
    b.text = "-5.775e-7";
    c.text = "-4.183e-12";
    table.from.text = "-200";
    table.to.text = "850";
    table.step.text = "50";
    evaluate();
}

void CvdForm::set_fitted(bool fitted) {
    fitted_ = fitted;
    evaluate();
}

void CvdForm::set_with_d(bool with_d) {
    with_d_ = with_d;
    evaluate();
}

std::optional<double> CvdForm::expanded_at(double t) const {
    if (perturbed_.empty() || !coefficients_) return std::nullopt;
    return calibration::cvd_expanded(*coefficients_, perturbed_, t);
}

void CvdForm::evaluate() {
    perturbed_.clear();
    expanded_at_temperature_.reset();
    u_points.problem.clear();
    coefficients_.reset();
    coefficients_problem_.clear();
    has_c_ = has_d_ = false;
    point_results_.assign(kMostCvdPoints, std::nullopt);
    at_temperature_.reset();
    at_resistance_.reset();
    ice_check_.reset();
    steam_check_.reset();
    rows_.clear();
    fitted_span_.reset();
    for (Field* f : {&r0, &a, &b, &c, &d, &valid_from, &valid_to}) f->problem.clear();
    if (fitted_) {
        std::vector<calibration::TemperatureResistance> points;
        std::vector<int> used;
        bool bad = false;
        for (int i = 0; i < kMostCvdPoints; ++i) {
            Field& t = point_t[static_cast<std::size_t>(i)];
            Field& r = point_r[static_cast<std::size_t>(i)];
            if (blank(t.text) && blank(r.text)) {
                t.problem.clear();
                r.problem.clear();
                continue;
            }
            const std::optional<double> tv = read(t), rv = read(r);
            if (!tv || !rv) {
                bad = true;
                continue;
            }
            points.push_back({*tv, *rv});
            used.push_back(i);
        }
        if (bad) {
            coefficients_problem_ = "有点的温度或电阻不能使用（见红框）";
        } else {
            const Outcome<calibration::CvdFit> fit = calibration::fit_cvd(points, with_d_);
            if (!fit.ok()) {
                coefficients_problem_ = fit_problem(fit.rejection());
            } else {
                coefficients_ = fit->coefficients;
                has_c_ = fit->has_c;
                has_d_ = fit->has_d;
                const auto [lowest, highest] = std::minmax_element(
                    points.begin(), points.end(), [](const auto& x, const auto& y) { return x.t90 < y.t90; });
                fitted_span_ = {lowest->t90, highest->t90};
                const std::optional<double> u = read(u_points, true);
                if (u && !(*u >= 0)) u_points.problem = "不确定度须不小于 0";
                if (u && *u > 0) {
                    const auto refits = calibration::cvd_refits(points, *u / 1000, with_d_);
                    if (refits) perturbed_ = *refits;
                    else u_points.problem = kNoRefit;
                }
                const cvd::Coefficients standard = cvd::iec(fit->coefficients.r0);
                for (std::size_t k = 0; k < used.size(); ++k) {
                    const Outcome<double> t_iec = cvd::temperature(standard, points[k].r);
                    const double deviation = t_iec.ok() ? round_half_even(*t_iec - points[k].t90, 4) : NAN;
                    point_results_[static_cast<std::size_t>(used[k])] = PointResult{
                        fit->residual_mohm[k], fit->residual_c[k], deviation,
                        t_iec.ok() ? class_name(pt100_tolerance_classes(), points[k].t90, deviation) : ""};
                }
            }
        }
    } else {
        const std::optional<double> rv = read(r0), av = read(a), bv = read(b), cv = read(c, true), dv = read(d, true);
        const std::optional<double> from = read(valid_from, true), to = read(valid_to, true);
        // Both ends of a valid range, in order, within the equation's own; or neither.
        Range valid = cvd::kTemperatures;
        if (from.has_value() != to.has_value()) {
            (from ? valid_to : valid_from).problem = "有效范围须两端都输入（或都空）";
        } else if (from) {
            if (!cvd::kTemperatures.contains(*from)) valid_from.problem = "须在 -200～850 ℃ 之间";
            if (!cvd::kTemperatures.contains(*to)) valid_to.problem = "须在 -200～850 ℃ 之间";
            else if (!(*to > *from)) valid_to.problem = "须高于有效范围的起点";
            valid = {*from, *to};
        }
        const bool range_ok = valid_from.problem.empty() && valid_to.problem.empty();
        if (rv && av && bv && c.problem.empty() && d.problem.empty() && range_ok) {
            cvd::Coefficients k{*rv, *av, *bv, cv.value_or(0), dv.value_or(0)};
            k.valid = valid;
            if (cvd::valid(k)) {
                coefficients_ = k;
                has_c_ = cv.has_value();
                has_d_ = dv.has_value();
            } else {
                coefficients_problem_ = "R0 须大于 0，且曲线在有效范围内单调上升";
            }
        } else {
            coefficients_problem_ = range_ok ? "输入 R0、A、B（C、D 可空）后可用" : "有效范围不能使用（见红框）";
        }
    }
    if (!coefficients_) {
        for (Field* f : {&temperature, &resistance, &ice, &steam}) read(*f, true);
        table_temperatures(table, cvd::kTemperatures);
        return;
    }
    const cvd::Coefficients& k = *coefficients_;
    if (const std::optional<double> t = read(temperature, true)) {
        const Outcome<double> r = cvd::resistance(k, *t);
        if (r.ok()) {
            at_temperature_ = *r;
            expanded_at_temperature_ = expanded_at(*t);
        } else {
            temperature.problem = "超出 " + general(k.valid.lowest) + "～" + general(k.valid.highest) + " ℃";
        }
    }
    if (const std::optional<double> r = read(resistance, true)) {
        const Outcome<double> t = cvd::temperature(k, *r);
        if (t.ok()) at_resistance_ = *t;
        else resistance.problem = "超出 " + fixed(t.rejection().lowest, 4) + "～" + fixed(t.rejection().highest, 4) + " Ω";
    }
    // The ice and steam points against the IEC curve of the same R0.
    const cvd::Coefficients standard = cvd::iec(k.r0);
    const auto check = [&](Field& f, double t) -> std::optional<Check> {
        const std::optional<double> r = read(f, true);
        if (!r) return std::nullopt;
        const Outcome<double> t_iec = cvd::temperature(standard, *r);
        if (!t_iec.ok()) {
            f.problem = "超出该 R0 的电阻范围";
            return std::nullopt;
        }
        const double deviation = round_half_even(*t_iec - t, 4);
        return Check{deviation, class_name(pt100_tolerance_classes(), t, deviation)};
    };
    ice_check_ = check(ice, 0);
    steam_check_ = check(steam, 100);
    for (double t : table_temperatures(table, k.valid)) {
        const double r = *cvd::resistance(k, t);
        const bool beyond = fitted_span_ && (t < fitted_span_->first || t > fitted_span_->second);
        rows_.push_back({t, r, expanded_at(t), beyond});
    }
}

// ---- 铜电阻 (JJG 229) -----------------------------------------------------------------------

CopperForm::CopperForm() {
    table.from.text = "-50";
    table.to.text = "150";
    table.step.text = "10";
    evaluate();
}

void CopperForm::set_r0(double r0) {
    if (copper::known_r0(r0)) r0_ = r0;
    evaluate();
}

void CopperForm::evaluate() {
    at_temperature_.reset();
    at_resistance_.reset();
    rows_.clear();
    if (const std::optional<double> t = read(temperature, true)) {
        const Outcome<double> r = copper::resistance(r0_, *t);
        if (r.ok()) at_temperature_ = *r;
        else temperature.problem = "超出 -50～150 ℃";
    }
    if (const std::optional<double> r = read(resistance, true)) {
        const Outcome<double> t = copper::temperature(r0_, *r);
        if (t.ok()) at_resistance_ = *t;
        else resistance.problem = "超出 " + fixed(t.rejection().lowest, 4) + "～" + fixed(t.rejection().highest, 4) + " Ω";
    }
    for (double t : table_temperatures(table, copper::kTemperatures)) {
        const double r = *copper::resistance(r0_, t);
        rows_.push_back({t, r, r / r0_});
    }
}

std::vector<std::string> acceptance_texts(const sprt::Acceptance& a) {
    std::vector<std::string> lines;
    const auto line = [&](const char* point, const std::optional<double>& w, const char* relation, double bound, bool met) {
        if (!w) return;
        const std::string value = "W(" + std::string(point) + ") = " + fixed(*w, 8);
        lines.push_back(met ? value + " " + relation + " " + general(bound) + "，满足"
                            : value + "，要求 " + relation + " " + general(bound) + "，不满足");
    };
    line("Ga", a.w_ga, "≥", sprt::kLeastWGallium, a.w_ga && *a.w_ga >= sprt::kLeastWGallium);
    line("Hg", a.w_hg, "≤", sprt::kMostWMercury, a.w_hg && *a.w_hg <= sprt::kMostWMercury);
    line("Ag", a.w_ag, "≥", sprt::kLeastWSilver, a.silver);
    return lines;
}

std::string acceptance_warning(const sprt::Acceptance& a) {
    if (a.met()) return {};
    return a.platinum ? "不满足 ITS-90 对用到银点的标准铂电阻温度计的要求 W(Ag) ≥ 4.2844"
                      : "不满足 ITS-90 对标准铂电阻温度计的要求 W(Ga) ≥ 1.11807 或 W(Hg) ≤ 0.844235";
}

// ---- Records ------------------------------------------------------------------------------

std::vector<std::vector<std::string>> sprt_rows(const SprtForm& f) {
    const sprt::DeviationRangeRecord& record = sprt::range_record(f.range());
    std::vector<std::vector<std::string>> rows = {
        {"标准铂电阻温度计（ITS-90）"},
        {"温区", record.name},
        {"水三相点电阻 Rtp/Ω", f.r_tpw.text},
        {"系数来源", f.fitted() ? "由固定点拟合" : "证书"},
    };
    if (f.fitted()) {
        rows.push_back({"固定点", "t90/℃", "R/Ω"});
        for (std::size_t p = 0; p < record.points.size(); ++p) {
            if (record.points[p]) {
                const sprt::FixedPointRecord& fp = sprt::fixed_point(*record.points[p]);
                rows.push_back({fp.symbol, fp.measured() ? f.point_t[p].text : general(fp.t90), f.point_r[p].text});
            }
        }
    }
    if (const auto k = f.coefficients()) {
        for (int i = 0; i < record.coefficients; ++i) {
            rows.push_back({record.names[static_cast<std::size_t>(i)], text::significant(sprt::slot(*k, i), 8)});
        }
        if (f.range() == sprt::DeviationRange::TPWAg) rows.push_back({"W(Al)", text::significant(k->w_al, 10)});
        const sprt::Acceptance a = *f.acceptance();
        for (const std::string& line : acceptance_texts(a)) rows.push_back({"ITS-90 判据", line});
        if (!a.met()) rows.push_back({"注意", acceptance_warning(a)});
    } else {
        rows.push_back({"系数", f.coefficients_problem()});
    }
    if (const auto c = f.at_temperature()) {
        rows.push_back({"t90/℃", f.temperature.text, "R/Ω", fixed(c->r, 6), "W", fixed(c->w, 9)});
        rows.push_back({"Wr", fixed(c->wr, 9), "ΔW", text::significant(c->dw, 6), "dR/dt/(Ω/℃)", fixed(c->dr_dt, 6)});
        if (const auto u = f.expanded_at_temperature()) rows.push_back({"U(k=2)/mK", text::stated(*u * 1000, 2)});
    }
    if (const auto t = f.at_resistance()) rows.push_back({"R/Ω", f.resistance.text, "t90/℃", fixed(*t, 6)});
    rows.push_back({});
    rows.push_back({"t90/℃", "R/Ω", "W", "U(k=2)/mK"});
    for (const SprtForm::Row& r : f.rows()) {
        rows.push_back({general(r.t90), fixed(r.r, 6), fixed(r.w, 8),
                        r.expanded ? text::stated(*r.expanded * 1000, 2) : ""});
    }
    if (!f.u_points.text.empty()) rows.push_back({"各固定点电阻的标准不确定度 u = " + f.u_points.text + " mΩ"});
    rows.push_back({});
    rows.push_back({"依据", "ITS-90 参考函数与偏差函数（Preston-Thomas, Metrologia 27, 1990）"});
    return rows;
}

std::vector<std::vector<std::string>> copper_rows(const CopperForm& f) {
    std::vector<std::vector<std::string>> rows = {
        {"铜热电阻温度计（JJG 229-2010）"},
        {"分度号", f.r0() == 100 ? "Cu100" : "Cu50", "R0/Ω", general(f.r0())},
        {"R(t) = R0 (1 + A t + B t² + C t³)，A = 4.28899×10⁻³ ℃⁻¹，B = −2.133×10⁻⁷ ℃⁻²，C = 1.233×10⁻⁹ ℃⁻³"},
    };
    if (const auto r = f.at_temperature()) {
        rows.push_back({"t/℃", f.temperature.text, "R/Ω", fixed(*r, 4), "W", fixed(*r / f.r0(), 6)});
    }
    if (const auto t = f.at_resistance()) rows.push_back({"R/Ω", f.resistance.text, "t/℃", fixed(*t, 4)});
    rows.push_back({});
    rows.push_back({"t/℃", "R/Ω", "W"});
    for (const CopperForm::Row& r : f.rows()) rows.push_back({general(r.t), fixed(r.r, 4), fixed(r.w, 6)});
    return rows;
}

std::vector<std::vector<std::string>> cvd_rows(const CvdForm& f) {
    std::vector<std::vector<std::string>> rows = {
        {"工业铂电阻温度计（IEC 60751，Callendar–Van Dusen）"},
        {"系数来源", f.fitted() ? "由测量点拟合（最小二乘）" : "输入"},
    };
    if (f.fitted()) {
        rows.push_back({"t/℃", "R/Ω", "残差/mΩ", "残差/℃", "对 IEC 60751 的偏差/℃", "等级"});
        for (int i = 0; i < kMostCvdPoints; ++i) {
            const auto& r = f.point_results()[static_cast<std::size_t>(i)];
            if (!r) continue;
            rows.push_back({f.point_t[static_cast<std::size_t>(i)].text, f.point_r[static_cast<std::size_t>(i)].text,
                            fixed(r->residual_mohm, 3), fixed(r->residual_c, 5),
                            std::isnan(r->deviation) ? "" : fixed(r->deviation, 4), r->tightest.empty() ? "无" : r->tightest});
        }
    }
    if (const auto k = f.coefficients()) {
        const cvd::AlphaDeltaBeta adb = cvd::alpha_delta_beta(*k);
        rows.push_back({"R0/Ω", text::significant(k->r0, 10)});
        rows.push_back({"A/℃⁻¹", text::significant(k->a, 8)});
        rows.push_back({"B/℃⁻²", text::significant(k->b, 8)});
        if (f.has_c()) rows.push_back({"C/℃⁻⁴", text::significant(k->c, 8)});
        if (f.has_d()) rows.push_back({"D/℃⁻³（0 ℃ 以上）", text::significant(k->d, 8)});
        rows.push_back({"α", text::significant(adb.alpha, 8), "δ", text::significant(adb.delta, 6), "β",
                        f.has_c() ? text::significant(adb.beta, 6) : ""});
        if (!f.fitted() && !f.valid_from.text.empty()) {
            rows.push_back({"有效范围/℃", general(k->valid.lowest) + " … " + general(k->valid.highest)});
        }
    } else {
        rows.push_back({"系数", f.coefficients_problem()});
    }
    if (const auto ice = f.ice_check()) {
        rows.push_back({"冰点 R(0)/Ω", f.ice.text, "偏差/℃", fixed(ice->deviation, 4), "等级", ice->tightest.empty() ? "无" : ice->tightest});
    }
    if (const auto steam = f.steam_check()) {
        rows.push_back({"汽点 R(100)/Ω", f.steam.text, "偏差/℃", fixed(steam->deviation, 4), "等级",
                        steam->tightest.empty() ? "无" : steam->tightest});
    }
    if (const auto r = f.at_temperature()) {
        std::vector<std::string>& row = rows.emplace_back(std::vector<std::string>{"t/℃", f.temperature.text, "R/Ω", fixed(*r, 5)});
        if (const auto u = f.expanded_at_temperature()) row.insert(row.end(), {"U(k=2)/℃", text::stated(*u, 2)});
    }
    if (const auto t = f.at_resistance()) rows.push_back({"R/Ω", f.resistance.text, "t/℃", fixed(*t, 4)});
    rows.push_back({});
    // A fit's table marks the rows beyond its points (below 0 degC without C, the equation's
    // C term is not even determined): a column of its own, only when there are such rows.
    const bool any_beyond = std::any_of(f.rows().begin(), f.rows().end(), [](const CvdForm::Row& r) { return r.extrapolated; });
    rows.push_back({"t/℃", "R/Ω", "U(k=2)/℃"});
    if (any_beyond) rows.back().push_back("说明");
    for (const CvdForm::Row& r : f.rows()) {
        rows.push_back({general(r.t), fixed(r.r, 5), r.expanded ? text::stated(*r.expanded, 2) : ""});
        if (any_beyond) rows.back().push_back(r.extrapolated ? kExtrapolated : "");
    }
    if (any_beyond) {
        rows.push_back({"外推：拟合点在 " + general(f.fitted_span()->first) + " … " + general(f.fitted_span()->second) +
                        " ℃ 之间，此范围以外的行由方程外推" + (f.has_c() ? "" : "（未拟合 C，0 ℃ 以下无 C 项）")});
    }
    if (!f.u_points.text.empty()) rows.push_back({"各点电阻的标准不确定度 u = " + f.u_points.text + " mΩ"});
    return rows;
}

}  // namespace its90::form
