// The root of a rising function by bisection, which cannot diverge: for f(a) <= y <= f(b),
// the end of the last bracket, down to neighbouring doubles, whose value lies nearer to y.
// The exact inverses of the thermocouples, the SPRT's reference function and the CVD
// equation all find their temperatures so.
#pragma once

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

}  // namespace its90
