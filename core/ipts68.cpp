#include "core/ipts68.h"

#include <cmath>

#include "core/polynomial.h"

namespace its90::ipts68 {
namespace {

// The difference where one of the functions holds, by its own variable.
double published(double t90) { return t90 <= kLow.highest ? polynomial(kA, t90 / 630) : polynomial(kB, t90); }

constexpr double kGold68 = 1064.43;

Rejection gap() { return {Rejection::Cause::Unpublished, Quantity::Temperature, kLow.highest, kHigh.lowest}; }

}  // namespace

Outcome<double> difference(double t90) {
    if (!std::isfinite(t90) || t90 < kLow.lowest || t90 > kHigh.highest) {
        return Rejection::out_of_range(Quantity::Temperature, kLow.lowest, kHigh.highest);
    }
    if (t90 > kLow.highest && t90 < kHigh.lowest) return gap();
    return published(t90);
}

Outcome<double> t68_of(double t90) {
    const Outcome<double> d = difference(t90);
    if (!d.ok()) return d;
    return t90 - *d;
}

Outcome<double> t90_of(double t68) {
    // t68's bounds: the t90 bounds less the difference there.
    // Up to IPTS-68's gold point as it assigned it, 1064.43 degC: the function gives 0.12 mK
    // short of it at its end, so there the function is taken 0.12 mK beyond its end.
    const double lowest = kLow.lowest - published(kLow.lowest), highest = kGold68;
    const double gap_low = kLow.highest - published(kLow.highest), gap_high = kHigh.lowest - published(kHigh.lowest);
    if (!std::isfinite(t68) || t68 < lowest || t68 > highest) {
        return Rejection::out_of_range(Quantity::Temperature, lowest, highest);
    }
    if (t68 > gap_low && t68 < gap_high) return Rejection{Rejection::Cause::Unpublished, Quantity::Temperature, gap_low, gap_high};
    // t90 = t68 + d(t90): the difference changes by under 2e-3 of t, so each step gains
    // nearly three digits. The step is taken on the side of the gap t68 lies on.
    const bool low = t68 <= gap_low;
    double t90 = t68;
    for (int i = 0; i < 20; ++i) {
        double next = t68 + published(t90);
        // Kept on t68's own side of the gap (its end maps onto the end).
        if (low && next > kLow.highest) next = kLow.highest;
        if (!low && next < kHigh.lowest) next = kHigh.lowest;
        if (std::fabs(next - t90) < 1e-12) return next;
        t90 = next;
    }
    return t90;
}

}  // namespace its90::ipts68
