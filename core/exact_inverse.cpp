#include "core/exact_inverse.h"

#include <algorithm>
#include <cmath>

#include "core/sensors.h"

namespace its90 {
namespace {

// The highest temperature a function accepts as a double: its upper bound is compared at
// single precision, and 1768.1 as a single lies below 1768.1 as a double.
double highest(const Sensor& s) {
    return std::min(s.highest_temperature,
                    static_cast<double>(static_cast<float>(s.highest_temperature)));
}

// Bisection of an increasing f on [a, b] with f(a) <= y <= f(b), down to neighbouring doubles;
// the end whose value lies nearer to y, rounded to 9 decimal places: the function's own
// rounding errors make the digits beyond meaningless (100 ohm would read -1.4E-14 degC).
// A y just beyond f(a) or f(b), by what the decimal it was typed as and the function's
// rounding can differ (1e-9 mV or ohm), is the end itself: 390.481125 ohm is 850 degC.
constexpr double kSlack = 1e-9;
constexpr int kPlaces = 9;

template <typename F>
std::optional<double> bisect(F f, double a, double b, double y) {
    double fa = f(a), fb = f(b);
    if (!(y >= fa - kSlack && y <= fb + kSlack)) return std::nullopt;
    if (y <= fa) return round_half_even(a, kPlaces);
    if (y >= fb) return round_half_even(b, kPlaces);
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
    const double t = std::fabs(fa - y) <= std::fabs(fb - y) ? a : b;
    return round_half_even(t, kPlaces) + 0.0;  // no -0
}

// Type B's EMF falls below 0 from 0 degC to its lowest, near 21 degC, and comes back to 0 near
// 42.13 degC: an EMF from that lowest value up to 0 mV belongs to two temperatures. Above the
// lowest point the function rises; below it, every EMF is at most 0.
struct Dip {
    double temperature;
    double emf;
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
        return Dip{(a + b) / 2, f((a + b) / 2)};
    }();
    return dip;
}

}  // namespace

EmfRange exact_emf_range(Thermocouple type) {
    const Sensor& s = sensor_of(type);
    const double low = type == Thermocouple::B ? type_b_dip().emf
                                               : emf_unrounded(type, s.lowest_temperature).value();
    return {low, emf_unrounded(type, highest(s)).value()};
}

ExactTemperature exact_temperature(Thermocouple type, double emf) {
    using Failure = ExactTemperature::Failure;
    const Sensor& s = sensor_of(type);
    const auto f = [type](double t) { return emf_unrounded(type, t).value(); };
    if (type == Thermocouple::B && emf <= kSlack && emf >= type_b_dip().emf - kSlack) {
        return {std::nullopt, Failure::TwoTemperatures};
    }
    // Type B: from the dip on, the function rises to the one temperature sought.
    const double lowest = type == Thermocouple::B ? type_b_dip().temperature : s.lowest_temperature;
    const std::optional<double> t = bisect(f, lowest, highest(s), emf);
    return {t, t ? Failure::None : Failure::OutOfRange};
}

ExactTemperature exact_pt100_temperature(double ohm) {
    const Sensor& s = pt100();
    const auto f = [](double t) { return R_Pt100_unrounded(t).value(); };
    const std::optional<double> t = bisect(f, s.lowest_temperature, s.highest_temperature, ohm);
    return {t, t ? ExactTemperature::Failure::None : ExactTemperature::Failure::OutOfRange};
}

}  // namespace its90
