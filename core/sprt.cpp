#include "core/sprt.h"

#include "core/bisection.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/polynomial.h"

namespace its90::sprt {
namespace {

constexpr double kKelvin = 273.15;

double a_function(double t90) {
    return std::exp(polynomial(kA, (std::log((t90 + kKelvin) / 273.16) + 1.5) / 1.5));
}
double c_function(double t90) { return polynomial(kC, (t90 + kKelvin - 754.15) / 481); }

// The triple point of water is W = 1 by definition, which the A function reaches only to 1e-8
// and the C function to 5e-9 (their published consistency). Each is carried onto 1 there by a
// straight correction over the kJoin degC on its own side, and is itself beyond: Wr rises
// through 0.01 degC without a step, and W = 1 is 0.01 degC exactly.
constexpr double kTpw = 0.01;
constexpr double kJoin = 0.01;

double reference(double t90) {
    if (t90 == kTpw) return 1.0;
    if (t90 < kTpw) {
        const double w = a_function(t90);
        if (t90 <= kTpw - kJoin) return w;
        return w + (1 - a_function(kTpw)) * (t90 - (kTpw - kJoin)) / kJoin;
    }
    const double w = c_function(t90);
    if (t90 >= kTpw + kJoin) return w;
    return w + (1 - c_function(kTpw)) * ((kTpw + kJoin) - t90) / kJoin;
}

// ITS-90's approximate inverses of the two functions (to 0.1 and 0.13 mK): only where the
// exact inverse starts from, which then finds the function's own root.
constexpr double kB[] = {0.183324722, 0.240975303, 0.209108771, 0.190439972, 0.142648498, 0.077993465,
                         0.012475611, -0.032267127, -0.075291522, -0.056470670, 0.076201285, 0.123893204,
                         -0.029201193, -0.091173542, 0.001317696, 0.026025526};
constexpr double kD[] = {439.932854, 472.418020, 37.684494, 7.472018, 2.920828,
                         0.005184,   -0.963864,  -0.188732, 0.191203, 0.049025};

// (Multiplied by the reciprocals: a guess's last bits decide nothing.)
double approximate_t90(double wr) {
    if (wr >= 1) return polynomial(kD, (wr - 2.64) * (1 / 1.64));
    return 273.16 * polynomial(kB, (std::cbrt(std::sqrt(wr)) - 0.65) * (1 / 0.35)) - kKelvin;
}

// A ratio as ITS-90 publishes the reference function's ends: to 8 decimals.
bool same_to_8_decimals(double a, double b) { return std::round(a * 1e8) == std::round(b * 1e8); }

}  // namespace

Outcome<double> Wr(double t90) {
    if (!kReferenceRange.contains(t90)) {
        return Rejection::out_of_range(Quantity::Temperature, kReferenceRange.lowest, kReferenceRange.highest);
    }
    return reference(t90);
}

Outcome<double> reference_slope(double t90) {
    if (!kReferenceRange.contains(t90)) {
        return Rejection::out_of_range(Quantity::Temperature, kReferenceRange.lowest, kReferenceRange.highest);
    }
    // d/dx of sum c_i x^i, for x as each function scales t90.
    const auto derivative = [](std::span<const double> c, double x) {
        double sum = 0, power = 1;
        for (std::size_t i = 1; i < c.size(); ++i) {
            sum += static_cast<double>(i) * c[i] * power;
            power *= x;
        }
        return sum;
    };
    const double kelvins = t90 + kKelvin;
    if (t90 < kTpw) {
        // ln Wr = P(u), u = (ln(T / 273.16 K) + 1.5) / 1.5: dWr/dT = Wr P'(u) / (1.5 T).
        const double u = (std::log(kelvins / 273.16) + 1.5) / 1.5;
        return a_function(t90) * derivative(kA, u) / (1.5 * kelvins);
    }
    return derivative(kC, (kelvins - 754.15) / 481) / 481;
}

Outcome<double> t90_of_Wr(double wr) {
    static const double low = reference(kReferenceRange.lowest), high = reference(kReferenceRange.highest);
    if (wr == 1.0) return kTpw;
    // An end's ratio as published (4.28642053 at the silver point), or a thermometer's ratio
    // there a last bit beyond it, is that end.
    if (wr > high && same_to_8_decimals(wr, high)) return kReferenceRange.highest;
    if (wr < low && same_to_8_decimals(wr, low)) return kReferenceRange.lowest;
    if (!(wr >= low && wr <= high)) return Rejection::out_of_range(Quantity::Resistance, low, high);
    return nearest_root_from(reference, kReferenceRange.lowest, kReferenceRange.highest, wr, approximate_t90(wr));
}

const FixedPointRecord& fixed_point(FixedPoint p) { return kFixedPoints[static_cast<std::size_t>(p)]; }

// An assigned point as typed to its last digit; a measured one anywhere in its window.
bool FixedPointRecord::admits(double t) const {
    if (measured()) return t >= t90 - measured_within - 5e-9 && t <= t90 + measured_within + 5e-9;
    return std::fabs(t - t90) < kAssignedWithin;
}

const DeviationRangeRecord& range_record(DeviationRange r) {
    return kDeviationRanges[static_cast<std::size_t>(r)];
}

std::optional<DeviationRange> range_named(std::string_view name) {
    for (const DeviationRangeRecord& r : kDeviationRanges) {
        if (name == r.name) return r.range;
    }
    return std::nullopt;
}

double slot(const Coefficients& k, int i) {
    const double values[] = {k.a, k.b, k.c, k.d, k.e, k.f, k.g};
    return values[i];
}

double& slot(Coefficients& k, int i) {
    double* slots[] = {&k.a, &k.b, &k.c, &k.d, &k.e, &k.f, &k.g};
    return *slots[i];
}

double deviation(DeviationRange range, const Coefficients& k, double w) {
    const double x = w - 1;
    switch (range) {
        case DeviationRange::EH2TPW: {
            const double l = std::log(w), l3 = l * l * l;
            return k.a * x + k.b * x * x + k.c * l3 + k.d * (l3 * l) + k.e * (l3 * l * l) + k.f * (l3 * l3) +
                   k.g * (l3 * l3 * l);
        }
        case DeviationRange::NeTPW: {
            const double l = std::log(w);
            return k.a * x + k.b * x * x + k.c * (l * l) + k.d * (l * l * l) + k.e * (l * l * l * l);
        }
        case DeviationRange::O2TPW: {
            const double l = std::log(w);
            return k.a * x + k.b * x * x + k.c * (l * l);
        }
        case DeviationRange::ArTPW: return k.a * x + k.b * x * std::log(w);
        case DeviationRange::HgGa:
        case DeviationRange::TPWZn:
        case DeviationRange::TPWSn: return k.a * x + k.b * x * x;
        case DeviationRange::TPWAl: return k.a * x + k.b * x * x + k.c * x * x * x;
        case DeviationRange::TPWAg: {
            double dw = k.a * x + k.b * x * x + k.c * x * x * x;
            if (w > k.w_al) dw += k.d * (w - k.w_al) * (w - k.w_al);
            return dw;
        }
        case DeviationRange::TPWIn:
        case DeviationRange::TPWGa: return k.a * x;
    }
    return 0;
}

double w_at_aluminium(const Coefficients& k) {
    const double wr = reference(fixed_point(FixedPoint::Al).t90);
    Coefficients abc = k;
    abc.d = 0;
    double w = wr;
    for (int i = 0; i < 100; ++i) {
        const double next = wr + deviation(DeviationRange::TPWAl, abc, w);
        if (next == w) break;
        w = next;
    }
    return w;
}

namespace {

// Below the argon point W is small, and the (ln W)^k terms change quickly with it: plain
// iteration may not settle, so W - dW(W) = Wr is solved by bisection (it rises with W for any
// coefficients the ranges accept, and dW is a few per cent of W at most).
Outcome<double> w_below_argon(DeviationRange range, const Coefficients& k, double wr) {
    const auto f = [&](double w) { return w - deviation(range, k, w); };
    const double low = wr / 2, high = std::min(2 * wr, wr + 0.5);
    const double f_low = f(low), f_high = f(high);
    if (!std::isfinite(f_low) || !std::isfinite(f_high) || !(f_low <= wr && wr <= f_high)) {
        return Rejection::not_finite(Quantity::Resistance);
    }
    return nearest_root(f, low, high, wr);
}

}  // namespace

Outcome<double> w_at(DeviationRange range, const Coefficients& k, double t90) {
    const Range span = range_record(range).temperatures;
    if (!span.contains(t90)) return Rejection::out_of_range(Quantity::Temperature, span.lowest, span.highest);
    const double wr = reference(t90);
    if (range == DeviationRange::EH2TPW || range == DeviationRange::NeTPW || range == DeviationRange::O2TPW) {
        return w_below_argon(range, k, wr);
    }
    double w = wr;
    // dW is small against W: plain iteration converges.
    for (int i = 0; i < 200; ++i) {
        const double next = wr + deviation(range, k, w);
        if (!std::isfinite(next)) return Rejection::not_finite(Quantity::Resistance);
        if (next == w) break;
        w = next;
    }
    return w;
}

Outcome<double> t90_at(DeviationRange range, const Coefficients& k, double w) {
    const Range span = range_record(range).temperatures;
    // W rises with t over the range (a fit is refused otherwise), so a temperature found inside
    // the range is of a ratio inside its ratios; only at or beyond an end are they worked out.
    if (std::isfinite(w)) {
        const Outcome<double> inside = t90_of_Wr(w - deviation(range, k, w));
        if (inside.ok() && *inside > span.lowest && *inside < span.highest) return *inside;
    }
    const Outcome<double> low = w_at(range, k, span.lowest), high = w_at(range, k, span.highest);
    if (!low.ok() || !high.ok()) return Rejection::not_finite(Quantity::Resistance);
    // A ratio measured at a bounding fixed point may read a hair beyond it: 1e-6 in W, a few
    // tenths of a millikelvin.
    constexpr double kSlack = 1e-6;
    if (!(w >= *low - kSlack && w <= *high + kSlack)) {
        return Rejection::out_of_range(Quantity::Resistance, *low, *high);
    }
    const double wr = w - deviation(range, k, w);
    const Outcome<double> t = t90_of_Wr(wr);
    // Beyond the reference function is beyond the range: said in the range's own ratios, never
    // the reference function's.
    if (!t.ok()) return Rejection::out_of_range(Quantity::Resistance, *low, *high);
    return *t;
}

Acceptance acceptance(DeviationRange range, const Coefficients& k) {
    const auto own = [&](FixedPoint p) -> std::optional<double> {
        const Outcome<double> w = w_at(range, k, fixed_point(p).t90);
        return w.ok() ? std::optional<double>(*w) : std::nullopt;
    };
    Acceptance a{own(FixedPoint::Ga), own(FixedPoint::Hg), own(FixedPoint::Ag)};
    const bool by_gallium = a.w_ga && *a.w_ga >= kLeastWGallium;
    const bool by_mercury = a.w_hg && *a.w_hg <= kMostWMercury;
    a.platinum = by_gallium || by_mercury || (!a.w_ga && !a.w_hg);
    a.silver = !a.w_ag || *a.w_ag >= kLeastWSilver;
    return a;
}

bool monotonic(DeviationRange range, const Coefficients& k) {
    const Range span = range_record(range).temperatures;
    double previous = -1;
    for (int i = 0; i <= 400; ++i) {
        const double t = span.lowest + (span.highest - span.lowest) * i / 400;
        const Outcome<double> w = w_at(range, k, t);
        if (!w.ok() || !(*w > previous)) return false;
        // W - dW(W) must rise with W too, or two W would share one temperature.
        const double h = 1e-6;
        if (!((*w + h - deviation(range, k, *w + h)) - (*w - deviation(range, k, *w)) > 0)) return false;
        previous = *w;
    }
    return true;
}

}  // namespace its90::sprt
