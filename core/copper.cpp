#include "core/copper.h"

#include <cmath>

#include "core/bisection.h"
#include "core/its90.h"

namespace its90::copper {
namespace {

double equation(double r0, double t) { return r0 * (1 + kA * t + kB * t * t + kC * t * t * t); }

}  // namespace

Outcome<double> resistance(double r0, double t) {
    if (!kTemperatures.contains(t)) {
        return Rejection::out_of_range(Quantity::Temperature, kTemperatures.lowest, kTemperatures.highest);
    }
    return equation(r0, t);
}

double slope(double r0, double t) { return r0 * (kA + 2 * kB * t + 3 * kC * t * t); }

Outcome<double> temperature(double r0, double r) {
    const double a = kTemperatures.lowest, b = kTemperatures.highest;
    const double fa = equation(r0, a), fb = equation(r0, b);
    // A resistance typed to the last digit of an end is that end.
    constexpr double kSlack = 1e-9;
    if (!(r >= fa - kSlack && r <= fb + kSlack)) return Rejection::out_of_range(Quantity::Resistance, fa, fb);
    if (r <= fa) return a;
    if (r >= fb) return b;
    // From the linear part: within a few tenths of a degree, which the secant steps close.
    const double t = nearest_root_from([r0](double x) { return equation(r0, x); }, a, b, r, (r / r0 - 1) / kA);
    return round_half_even(t, 9) + 0.0;
}

}  // namespace its90::copper
