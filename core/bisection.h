// The root of a rising function by bisection, which cannot diverge: for f(a) <= y <= f(b),
// the end of the last bracket, down to neighbouring doubles, whose value lies nearer to y.
// The exact inverses of the thermocouples, the SPRT's reference function and the CVD
// equation all find their temperatures so.
#pragma once

#include <algorithm>
#include <cmath>

namespace its90 {

template <typename F>
double nearest_root(F f, double a, double b, double y) {
    double fa = f(a), fb = f(b);
    while (true) {
        const double m = a + (b - a) / 2;
        if (m <= a || m >= b) break;
        const double fm = f(m);
        if (fm < y) {
            a = m;
            fa = fm;
        } else {
            b = m;
            fb = fm;
        }
    }
    return std::fabs(fa - y) <= std::fabs(fb - y) ? a : b;
}

// The root nearest_root finds, from a good first guess in three or four evaluations in place
// of sixty. Secant steps from the guess, kept inside [a, b], stop once a step is below 1e-9 of
// the root's size (1e-9 below 1), when the next estimate is the root to the resolution of f
// itself: f keeps one value over runs of neighbouring doubles, and the estimate lies within
// kRootResolution of the end bisection stops at. Rounded to 9 decimals or fewer the two read
// the same unless a rounding boundary (a multiple of 5e-10) lies between them. Near one,
// bisection over [a, b] decides, its midpoints far from the estimate taken as below or above
// the root without evaluating f, so it ends where nearest_root ends; wherever the steps fail
// (a flat or wild f, a guess far out) it is nearest_root itself.
inline constexpr double kRootResolution = 4e-12;

template <typename F>
double nearest_root_from(F f, double a, double b, double y, double guess) {
    // The guess is the later point, so a guess already at the root ends the steps at once.
    double x1 = std::clamp(guess, a, b);
    const double scale = std::max(std::fabs(x1), 1.0);
    double x0 = x1 + 1e-7 * scale <= b ? x1 + 1e-7 * scale : x1 - 1e-7 * scale;
    double f0 = f(x0), f1 = f(x1);
    for (int i = 0; i < 12 && f1 != f0; ++i) {
        const double x2 = x1 + (y - f1) * (x1 - x0) / (f1 - f0);
        if (!(x2 >= a && x2 <= b)) break;
        if (std::fabs(x2 - x1) > 1e-9 * scale) {
            x0 = x1;
            f0 = f1;
            x1 = x2;
            f1 = f(x2);
            continue;
        }
        // x2 in units of 5e-10 (2e9 is exact): its distance to the nearest whole unit, without
        // a division or a call to round on the way of every value.
        const double units = x2 * 2e9;
        const double fraction = std::fabs(units - static_cast<double>(static_cast<long long>(units)));
        if (std::min(fraction, 1 - fraction) > kRootResolution * 2e9) return x2;
        // f is evaluated only where it could fall on either side of y: within 25 times the
        // resolution of the estimate.
        const double near = 25 * kRootResolution * scale;
        const auto below_root = [&](double m, double& fm) {
            if (m < x2 - near) return true;
            if (m > x2 + near) return false;
            fm = f(m);
            return fm < y;
        };
        double lo = a, hi = b, f_lo = std::nan(""), f_hi = std::nan("");
        while (true) {
            const double m = lo + (hi - lo) / 2;
            if (m <= lo || m >= hi) break;
            double fm = std::nan("");
            if (below_root(m, fm)) {
                lo = m;
                f_lo = fm;
            } else {
                hi = m;
                f_hi = fm;
            }
        }
        if (std::isnan(f_lo)) f_lo = f(lo);
        if (std::isnan(f_hi)) f_hi = f(hi);
        return std::fabs(f_lo - y) <= std::fabs(f_hi - y) ? lo : hi;
    }
    return nearest_root(f, a, b, y);
}

}  // namespace its90
