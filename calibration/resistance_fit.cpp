#include "calibration/resistance_fit.h"

#include <algorithm>
#include <cmath>

#include "calibration/least_squares.h"

namespace its90::calibration {
namespace {


Rejection refusal(Rejection::Cause cause, double value) { return {cause, Quantity::Temperature, value, value}; }
// About a fixed point: at its temperature, or, for a measured one, in its window.
Rejection window_refusal(Rejection::Cause cause, const sprt::FixedPointRecord& p) {
    return {cause, Quantity::Temperature, p.t90 - p.measured_within, p.t90 + p.measured_within};
}

}  // namespace

Outcome<sprt::Coefficients> fit_sprt(sprt::DeviationRange range, double r_tpw,
                                     std::span<const TemperatureResistance> points) {
    using sprt::FixedPoint;
    if (!(r_tpw > 0) || !std::isfinite(r_tpw)) return refusal(Rejection::Cause::NotMonotonic, r_tpw);
    const sprt::DeviationRangeRecord& record = sprt::range_record(range);
    // Each point at a fixed point of the range, once: W and the temperature it was taken at (a
    // measured point's own, an assigned point's as assigned).
    struct AtPoint {
        double w, t90;
    };
    std::array<std::optional<AtPoint>, sprt::kMostCoefficients> w{};  // by the record's point order
    for (std::size_t i = 0; i < points.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (std::fabs(points[i].t90 - points[j].t90) < sprt::kAssignedWithin) {
                return refusal(Rejection::Cause::SameTemperature, points[i].t90);
            }
        }
        bool found = false;
        for (std::size_t p = 0; p < record.points.size(); ++p) {
            if (!record.points[p]) continue;
            const sprt::FixedPointRecord& fixed = sprt::fixed_point(*record.points[p]);
            if (fixed.admits(points[i].t90)) {
                if (w[p]) return window_refusal(Rejection::Cause::SameTemperature, fixed);  // two in one window
                if (!(points[i].r > 0) || !std::isfinite(points[i].r)) {
                    return refusal(Rejection::Cause::NotMonotonic, points[i].t90);
                }
                w[p] = AtPoint{points[i].r / r_tpw, fixed.measured() ? points[i].t90 : fixed.t90};
                found = true;
            }
        }
        if (!found) return refusal(Rejection::Cause::NotAFixedPoint, points[i].t90);
    }
    for (std::size_t p = 0; p < record.points.size(); ++p) {
        if (record.points[p] && !w[p]) return window_refusal(Rejection::Cause::MissingPoint, sprt::fixed_point(*record.points[p]));
    }
    // One equation a point: W - Wr(t) = sum_j x_j f_j(W), f the range's terms.
    const auto terms = [range](double wv) -> std::vector<double> {
        const double x = wv - 1, l = std::log(wv);
        switch (range) {
            case sprt::DeviationRange::EH2TPW: {
                const double l3 = l * l * l;
                return {x, x * x, l3, l3 * l, l3 * l * l, l3 * l3, l3 * l3 * l};
            }
            case sprt::DeviationRange::NeTPW: return {x, x * x, l * l, l * l * l, l * l * l * l};
            case sprt::DeviationRange::O2TPW: return {x, x * x, l * l};
            case sprt::DeviationRange::ArTPW: return {x, x * std::log(wv)};
            case sprt::DeviationRange::HgGa:
            case sprt::DeviationRange::TPWZn:
            case sprt::DeviationRange::TPWSn: return {x, x * x};
            case sprt::DeviationRange::TPWAl:
            case sprt::DeviationRange::TPWAg: return {x, x * x, x * x * x};
            case sprt::DeviationRange::TPWIn:
            case sprt::DeviationRange::TPWGa: return {x};
        }
        return {};
    };
    // TPW-Ag: a, b and c first, d after them from the silver point.
    const int unknowns = range == sprt::DeviationRange::TPWAg ? 3 : record.coefficients;
    std::vector<std::vector<double>> design;
    std::vector<double> y;
    for (int p = 0; p < unknowns; ++p) {
        const AtPoint& at = *w[static_cast<std::size_t>(p)];
        design.push_back(terms(at.w));
        y.push_back(at.w - *sprt::Wr(at.t90));
    }
    const Outcome<std::vector<double>> fit = solve_exactly(design, y);
    if (!fit.ok()) return refusal(Rejection::Cause::NotMonotonic, 0);
    sprt::Coefficients k;
    const std::vector<double>& x = *fit;
    for (std::size_t i = 0; i < x.size(); ++i) sprt::slot(k, static_cast<int>(i)) = x[i];
    if (range == sprt::DeviationRange::TPWAg) {
        k.w_al = w[2]->w;  // the thermometer's own W at Al
        const double w_ag = w[3]->w;
        const double rest = w_ag - *sprt::Wr(sprt::fixed_point(FixedPoint::Ag).t90) -
                            sprt::deviation(sprt::DeviationRange::TPWAl, k, w_ag);
        k.d = rest / ((w_ag - k.w_al) * (w_ag - k.w_al));
    }
    if (!sprt::monotonic(range, k)) return refusal(Rejection::Cause::NotMonotonic, 0);
    return k;
}

Outcome<CvdFit> fit_cvd(std::span<const TemperatureResistance> points, bool with_d) {
    bool below = false;
    int above = 0;  // points above 0 degC, which alone carry D
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TemperatureResistance& p = points[i];
        if (!cvd::kTemperatures.contains(p.t90) || !std::isfinite(p.r)) {
            return Rejection::out_of_range(Quantity::Temperature, cvd::kTemperatures.lowest, cvd::kTemperatures.highest);
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (p.t90 == points[j].t90) return refusal(Rejection::Cause::SameTemperature, p.t90);
        }
        below = below || p.t90 < 0;
        if (p.t90 > 0) ++above;
    }
    const std::size_t unknowns = (below ? 4 : 3) + (with_d ? 1 : 0);
    if (points.size() < unknowns) {
        return refusal(Rejection::Cause::TooFewPoints, static_cast<double>(unknowns));
    }
    // D is seen only above 0 degC, beside B there: two points at least.
    if (with_d && above < 2) return Rejection{Rejection::Cause::TooFewAbove, Quantity::Temperature, 2, 0};
    std::vector<std::vector<double>> design;
    std::vector<double> y;
    for (const TemperatureResistance& p : points) {
        const double t = p.t90;
        std::vector<double> row = {1, t, t * t};
        if (below) row.push_back(t < 0 ? (t - 100) * t * t * t : 0);
        if (with_d) row.push_back(t >= 0 ? t * t * t : 0);
        design.push_back(row);
        y.push_back(p.r);
    }
    const Outcome<LeastSquares> fit = least_squares(design, y);
    if (!fit.ok()) return refusal(Rejection::Cause::NotMonotonic, 0);
    const std::vector<double>& x = fit->coefficients;
    CvdFit result{{x[0], x[1] / x[0], x[2] / x[0], below ? x[3] / x[0] : 0}, below, with_d, {}, {}};
    if (with_d) result.coefficients.d = x.back() / x[0];
    if (!cvd::valid(result.coefficients)) return refusal(Rejection::Cause::NotMonotonic, 0);
    for (const TemperatureResistance& p : points) {
        const double residual = p.r - *cvd::resistance(result.coefficients, p.t90);
        result.residual_mohm.push_back(residual * 1000);
        result.residual_c.push_back(residual / cvd::slope(result.coefficients, p.t90));
    }
    return result;
}

namespace {

template <typename Refits, typename MovedBy>
std::optional<double> expanded_from_refits(const Refits& refits, MovedBy moved_by, double slope) {
    if (!(slope > 0)) return std::nullopt;
    double sum = 0;
    for (const auto& k : refits) {
        const std::optional<double> moved = moved_by(k);
        if (!moved) return std::nullopt;
        const double dt = *moved / slope;
        sum += dt * dt;
    }
    return 2 * std::sqrt(sum);
}

}  // namespace

std::optional<std::vector<sprt::Coefficients>> sprt_refits(sprt::DeviationRange range, double r_tpw,
                                                           std::span<const TemperatureResistance> points,
                                                           double u) {
    std::vector<sprt::Coefficients> refits;
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::vector<TemperatureResistance> raised(points.begin(), points.end());
        raised[i].r += u;
        const Outcome<sprt::Coefficients> again = fit_sprt(range, r_tpw, raised);
        if (!again.ok()) return std::nullopt;
        refits.push_back(*again);
    }
    return refits;
}

std::optional<std::vector<cvd::Coefficients>> cvd_refits(std::span<const TemperatureResistance> points, double u,
                                                          bool with_d) {
    std::vector<cvd::Coefficients> refits;
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::vector<TemperatureResistance> raised(points.begin(), points.end());
        raised[i].r += u;
        const Outcome<CvdFit> again = fit_cvd(raised, with_d);
        if (!again.ok()) return std::nullopt;
        refits.push_back(again->coefficients);
    }
    return refits;
}

std::optional<double> sprt_expanded(sprt::DeviationRange range, const sprt::Coefficients& k,
                                    std::span<const sprt::Coefficients> refits, double t90) {
    // Each refit moves W at t90 by dW; a reading then means a temperature dW / (dW/dt) away.
    const Range span = sprt::range_record(range).temperatures;
    if (!span.contains(t90)) return std::nullopt;
    const double h = 0.001;
    const double low = std::max(t90 - h, span.lowest), high = std::min(t90 + h, span.highest);
    const Outcome<double> w = sprt::w_at(range, k, t90);
    const Outcome<double> w_low = sprt::w_at(range, k, low), w_high = sprt::w_at(range, k, high);
    if (!w.ok() || !w_low.ok() || !w_high.ok()) return std::nullopt;
    return expanded_from_refits(refits, [&](const sprt::Coefficients& moved_k) -> std::optional<double> {
        const Outcome<double> moved = sprt::w_at(range, moved_k, t90);
        return moved.ok() ? std::optional<double>(*moved - *w) : std::nullopt;
    }, (*w_high - *w_low) / (high - low));
}

std::optional<double> cvd_expanded(const cvd::Coefficients& k, std::span<const cvd::Coefficients> refits, double t) {
    // Each refit moves R at t by dR; a reading then means a temperature dR / (dR/dt) away.
    const Outcome<double> r = cvd::resistance(k, t);
    if (!r.ok()) return std::nullopt;
    return expanded_from_refits(refits, [&](const cvd::Coefficients& moved_k) -> std::optional<double> {
        const Outcome<double> moved = cvd::resistance(moved_k, t);
        return moved.ok() ? std::optional<double>(*moved - *r) : std::nullopt;
    }, cvd::slope(k, t));
}

}  // namespace its90::calibration
