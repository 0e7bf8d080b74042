#include "core/exact_inverse.h"

#include "core/bisection.h"

#include <algorithm>
#include <cmath>

#include <optional>

#include "core/pt100.h"

namespace its90 {
namespace {

// The root of an increasing f on [a, b] for f(a) <= y <= f(b), rounded to kExactPlaces. A y
// just beyond f(a) or f(b), by what the decimal it was typed as and the function's rounding
// can differ (1e-9 mV or ohm), is the end itself: 390.481125 ohm is 850 degC.
constexpr double kSlack = 1e-9;

template <typename F>
std::optional<double> bisect(F f, double a, double b, double y) {
    const double fa = f(a), fb = f(b);
    if (!(y >= fa - kSlack && y <= fb + kSlack)) return std::nullopt;
    if (y <= fa) return round_half_even(a, kExactPlaces);
    if (y >= fb) return round_half_even(b, kExactPlaces);
    const double t = nearest_root(f, a, b, y);
    return round_half_even(t, kExactPlaces) + 0.0;  // no -0
}

// Type B's EMF falls below 0 from 0 degC to its lowest, near 21 degC, and comes back to 0 near
// 42.13 degC: an EMF from that lowest value up to 0 mV belongs to two temperatures. Above the
// lowest point the function rises; below it, every EMF is at most 0.
struct Dip {
    double temperature;
    double emf;
    double second_zero;  // where the EMF comes back to 0
};

const Dip& type_b_dip() {
    static const Dip dip = [] {
        // Golden-section search for the minimum between 0 and 42 degC.
        const auto f = [](double t) { return emf_unrounded(Thermocouple::B, t).value(); };
        double a = 0, b = 42;
        const double g = (std::sqrt(5.0) - 1) / 2;
        for (int i = 0; i < 200 && b - a > 1e-9; ++i) {
            const double c = b - g * (b - a), d = a + g * (b - a);
            if (f(c) < f(d)) b = d; else a = c;
        }
        const double lowest = (a + b) / 2;
        // Bisection for the temperature above it where the EMF is 0 again.
        double below = lowest, above = 100;
        while (above - below > 1e-9) {
            const double m = below + (above - below) / 2;
            (f(m) <= 0 ? below : above) = m;
        }
        return Dip{lowest, f(lowest), below};
    }();
    return dip;
}

}  // namespace

Range exact_emf_range(Thermocouple type) {
    const Range temperatures = record_of(type).emf.range();
    const double low = type == Thermocouple::B ? type_b_dip().emf
                                               : emf_unrounded(type, temperatures.lowest).value();
    return {low, emf_unrounded(type, temperatures.highest).value()};
}

Outcome<double> exact_temperature(Thermocouple type, double emf) {
    const Range temperatures = record_of(type).emf.range();
    const auto f = [type](double t) { return emf_unrounded(type, t).value(); };
    if (type == Thermocouple::B && emf <= kSlack && emf >= type_b_dip().emf - kSlack) {
        return Rejection{Rejection::Cause::TwoTemperatures, Quantity::Temperature, 0,
                         round_half_even(type_b_dip().second_zero, 2)};
    }
    // Type B: from the dip on, the function rises to the one temperature sought.
    const double lowest = type == Thermocouple::B ? type_b_dip().temperature : temperatures.lowest;
    const std::optional<double> t = bisect(f, lowest, temperatures.highest, emf);
    if (!t) {
        const Range emfs = exact_emf_range(type);
        return Rejection::out_of_range(Quantity::Emf, emfs.lowest, emfs.highest);
    }
    return *t;
}

Outcome<double> exact_pt100_temperature(double ohm) {
    const Range temperatures = kPt100Record.temperatures;
    const auto f = [](double t) { return R_Pt100_unrounded(t).value(); };
    const std::optional<double> t = bisect(f, temperatures.lowest, temperatures.highest, ohm);
    if (!t) {
        return Rejection::out_of_range(Quantity::Resistance, f(temperatures.lowest),
                                       f(temperatures.highest));
    }
    return *t;
}

}  // namespace its90
