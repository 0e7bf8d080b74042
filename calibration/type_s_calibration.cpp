#include "calibration/type_s_calibration.h"

#include <cmath>

#include "core/its90.h"

namespace its90::calibration {
namespace {

// The weights are the coefficients of the Lagrange basis polynomials through the three
// fixed points t1 (zinc), t2 (middle point) and t3 (copper), to six significant digits. For
// point i with the other two points j and k, and Pi = (ti - tj)(ti - tk), the weight of Di is
// tj tk / Pi in A, -(tj + tk) / Pi in B and 1e6 / Pi in the bracket of C. So for antimony
// (t2 = 630.63 degC): P2 = 211.103 * (-453.99) = -95838.7, hence wB = 1504.147 / 95838.7 =
// 0.0156946 and wC = 1e6 / P2 = -10.4342.
constexpr WeightSet kAluminium{
    {{{4.47201, 0}, {-4.45367, 1}, {0.981667, 2}}},
    {{{0.0147221, 1}, {-0.0108956, 0}, {-0.00382658, 2}}},
    {{{6.24408, 0}, {-9.7877, 1}, {3.54362, 2}}},
};
constexpr WeightSet kAntimony{
    {{{4.87164, 0}, {-4.74785, 1}, {0.876205, 2}}},
    {{{-0.0122166, 0}, {0.0156946, 1}, {-0.00347797, 2}}},
    {{{7.12235, 0}, {-10.4342, 1}, {3.31186, 2}}},
};

constexpr Rejection kNotFinite = Rejection::not_finite(Quantity::Emf);

double weighted_sum(const std::array<Term, 3>& terms, const std::array<double, 3>& d) {
    double sum = terms[0].weight * d[terms[0].deviation];
    for (std::size_t i = 1; i < terms.size(); ++i) sum = sum + terms[i].weight * d[terms[i].deviation];
    return sum;
}

// Every temperature the calibration passes lies inside E90_S's range.
double reference_emf(float t) { return E90_S(t).value(); }

// The deviation of an EMF from type S's reference function at t, in degC at the differential
// value there (over 1 degC, as the window shows it).
double deviation_in_degrees(double t, double emf) {
    const double reference = emf_unrounded(Thermocouple::S, t).value();
    const double slope = emf_unrounded(Thermocouple::S, t + 0.5).value() - emf_unrounded(Thermocouple::S, t - 0.5).value();
    return (emf - reference) / slope;
}

}  // namespace

std::optional<ImplausibleEmfs> implausible_fixed_point_emfs(const std::array<double, 3>& emfs, MiddlePoint middle) {
    for (int i = 1; i < 3; ++i) {
        if (!(emfs[static_cast<std::size_t>(i)] > emfs[static_cast<std::size_t>(i - 1)])) {
            return ImplausibleEmfs{ImplausibleEmfs::Fault::OutOfOrder, i, i - 1, 0.0};
        }
    }
    const std::array<double, 3> points = fixed_point_temperatures(middle);
    for (int i = 0; i < 3; ++i) {
        const double d = deviation_in_degrees(points[static_cast<std::size_t>(i)], emfs[static_cast<std::size_t>(i)]);
        if (!(std::fabs(d) <= kMostPlausibleDeviationC)) return ImplausibleEmfs{ImplausibleEmfs::Fault::TooFar, i, i, d};
    }
    return std::nullopt;
}

std::optional<double> implausible_standard_emf(double t, double emf) {
    const double d = deviation_in_degrees(t, emf);
    if (std::fabs(d) <= kMostPlausibleDeviationC) return std::nullopt;
    return d;
}

CoefficientResolution coefficient_resolution(MiddlePoint middle) {
    const WeightSet& w = weights(middle);
    const auto spread = [](const std::array<Term, 3>& terms) {
        double sum = 0;
        for (const Term& t : terms) sum += std::fabs(t.weight);
        return sum * kDeviationResolution / 2;
    };
    return {spread(w.a), spread(w.b), spread(w.c) * 0.000001};
}

const WeightSet& weights(MiddlePoint middle) {
    return middle == MiddlePoint::Aluminium ? kAluminium : kAntimony;
}

float middle_point_temperature(MiddlePoint middle) {
    return middle == MiddlePoint::Aluminium ? kAluminiumPoint : kAntimonyPoint;
}

std::array<double, 3> fixed_point_temperatures(MiddlePoint middle) {
    return {kZincTemperature,
            middle == MiddlePoint::Aluminium ? kAluminiumTemperature : kAntimonyTemperature,
            kCopperTemperature};
}

Outcome<Calibration> calibrate(double zinc_emf, double middle_emf, double copper_emf,
                                  MiddlePoint middle) {
    const double d1 = zinc_emf - reference_emf(kZincPoint);
    const double d3 = copper_emf - reference_emf(kCopperPoint);
    const double d2 = middle_emf - reference_emf(middle_point_temperature(middle));
    const std::array<double, 3> d = {d1, d2, d3};
    const WeightSet& w = weights(middle);
    const double a = weighted_sum(w.a, d);
    const double b = weighted_sum(w.b, d);
    const double c = weighted_sum(w.c, d) * 0.000001;
    for (double x : {d1, d2, d3, a, b, c}) {
        if (!std::isfinite(x)) return kNotFinite;
    }
    return Calibration{middle, d, {a, b, c}};
}

Outcome<GraduationTable> graduation_table(const Calibration& calibration) {
    const DeviationFunction& f = calibration.function;
    GraduationTable table{};
    try {
        for (std::size_t r = 0; r < table.size(); ++r) {
            const double t = kTableTemperatures[r];
            const double e = reference_emf(static_cast<float>(kTableTemperatures[r]));
            const double v = (f.B * t + f.A) + f.C * t * t + e;
            if (!std::isfinite(v)) return kNotFinite;
            table[r] = calibration.middle == MiddlePoint::Aluminium ? round_half_even(v, 5) : v;
        }
    } catch (const FloatingPointError&) {
        return kNotFinite;  // rounding a value near the double range overflows
    }
    return table;
}

Outcome<double> emf_at(const Calibration& calibration, double temperature) {
    if (temperature < kLowestTemperature || temperature > kHighestTemperature) {
        return kTemperatureOutOfRange;
    }
    const DeviationFunction& f = calibration.function;
    const double e = reference_emf(static_cast<float>(temperature));
    const double v = (temperature * f.C) * temperature + (temperature * f.B + f.A) + e;
    if (!std::isfinite(v)) return kNotFinite;
    try {
        return round_half_even(v, 5);
    } catch (const FloatingPointError&) {
        return kNotFinite;  // rounding a value near the double range overflows
    }
}

double deviation_at(const Calibration& calibration, double temperature) {
    const DeviationFunction& f = calibration.function;
    return f.A + f.B * temperature + f.C * temperature * temperature;
}

Outcome<double> emf_to_3_places(const Calibration& calibration, int temperature) {
    const double reference = emf_unrounded(Thermocouple::S, temperature).value();
    const double v = reference + deviation_at(calibration, temperature);
    if (!std::isfinite(v)) return kNotFinite;
    try {
        return round_half_even(v, 3) + 0.0;
    } catch (const FloatingPointError&) {
        return kNotFinite;
    }
}

namespace {

// Throws FloatingPointError where the deviation is too large to be rounded.
PointCheck check_point(double measured, double required, double allowance) {
    const double deviation = round_half_even(measured - required, 6) + 0.0;
    return {measured, required, allowance, deviation, std::fabs(deviation) <= allowance};
}

}  // namespace

Outcome<AcceptanceCheck> acceptance_check(double zinc_emf, double middle_emf, double copper_emf,
                                          MiddlePoint middle) {
    for (double emf : {zinc_emf, middle_emf, copper_emf}) {
        if (!std::isfinite(emf)) return kNotFinite;
    }
    const double copper_offset = copper_emf - 10.575;
    const double middle_nominal = middle == MiddlePoint::Aluminium ? 5.860 : 5.553;
    try {
        AcceptanceCheck check{check_point(copper_emf, 10.575, 0.015),
                              check_point(middle_emf, middle_nominal + 0.37 * copper_offset, 0.005),
                              check_point(zinc_emf, 3.447 + 0.18 * copper_offset, 0.005), false};
        check.pass = check.copper.pass && check.middle.pass && check.zinc.pass;
        return check;
    } catch (const FloatingPointError&) {
        return kNotFinite;  // a deviation near the double range cannot be rounded
    }
}

std::array<CheckedPoint, 3> in_report_order(const AcceptanceCheck& check) {
    return {{{2, &check.copper}, {1, &check.middle}, {0, &check.zinc}}};
}

}  // namespace its90::calibration
