#include "core/cvd.h"

#include <algorithm>
#include <cmath>

#include "core/bisection.h"
#include "core/its90.h"

namespace its90::cvd {
namespace {

double equation(const Coefficients& k, double t) {
    double r = k.r0 * (1 + k.a * t + k.b * t * t);
    if (t < 0) r += k.r0 * k.c * (t - 100) * t * t * t;
    else if (k.d != 0) r += k.r0 * k.d * t * t * t;
    return r;
}

// Where the exact inverse starts: the root of the quadratic part alone (exact above 0 degC,
// within the C term's few millikelvin below).
double first_guess(const Coefficients& k, double r) {
    const double linear = (r / k.r0 - 1) / k.a;
    if (k.b == 0) return linear;
    const double discriminant = k.a * k.a - 4 * k.b * (1 - r / k.r0);
    if (!(discriminant >= 0)) return linear;
    const double t = 2 * (r / k.r0 - 1) / (k.a + std::sqrt(discriminant));
    return std::isfinite(t) ? t : linear;
}

}  // namespace

Outcome<double> resistance(const Coefficients& k, double t) {
    if (!k.valid.contains(t)) return Rejection::out_of_range(Quantity::Temperature, k.valid.lowest, k.valid.highest);
    const double r = equation(k, t);
    if (!std::isfinite(r)) return Rejection::not_finite(Quantity::Resistance);
    return r;
}

double slope(const Coefficients& k, double t) {
    double s = k.r0 * (k.a + 2 * k.b * t);
    if (t < 0) s += k.r0 * k.c * (4 * t * t * t - 300 * t * t);
    else s += k.r0 * k.d * 3 * t * t;
    return s;
}

Outcome<double> temperature(const Coefficients& k, double r) {
    const double a = k.valid.lowest, b = k.valid.highest;
    const double fa = equation(k, a), fb = equation(k, b);
    // A resistance typed to the last digit of an end is that end.
    constexpr double kSlack = 1e-9;
    if (!(r >= fa - kSlack && r <= fb + kSlack)) return Rejection::out_of_range(Quantity::Resistance, fa, fb);
    if (r <= fa) return a;
    if (r >= fb) return b;
    const double t = nearest_root_from([&k](double x) { return equation(k, x); }, a, b, r, first_guess(k, r));
    return round_half_even(t, 9) + 0.0;
}

bool valid(const Coefficients& k) {
    if (!(k.r0 > 0) || !std::isfinite(k.a) || !std::isfinite(k.b) || !std::isfinite(k.c) || !std::isfinite(k.d)) {
        return false;
    }
    if (!(k.valid.lowest < k.valid.highest) || !kTemperatures.contains(k.valid.lowest) ||
        !kTemperatures.contains(k.valid.highest)) {
        return false;
    }
    // Every degree across the range (1050 steps over IEC 60751's whole range), and its ends.
    const double span = k.valid.highest - k.valid.lowest;
    const int steps = static_cast<int>(std::ceil(span));
    for (int i = 0; i <= steps; ++i) {
        if (!(slope(k, std::min(k.valid.lowest + span * i / steps, k.valid.highest)) > 0)) return false;
    }
    return true;
}

AlphaDeltaBeta alpha_delta_beta(const Coefficients& k) {
    const double alpha = k.a + 100 * k.b;
    return {alpha, -1e4 * k.b / alpha, -1e8 * k.c / alpha};
}

}  // namespace its90::cvd
