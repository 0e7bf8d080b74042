#include "calibration/uncertainty.h"

#include "core/its90.h"
#include "core/sensors.h"

namespace its90::calibration {
namespace {

constexpr Rejection kBadUncertainty = Rejection::out_of_range(Quantity::Uncertainty, 0, kInfinite);
constexpr Rejection kBadCoverage = Rejection::out_of_range(Quantity::CoverageFactor, 0, kInfinite);
// Finite inputs whose uncertainty overflows the numbers a double holds.
constexpr Rejection kUncomputable = Rejection::not_finite(Quantity::Uncertainty);

bool valid_uncertainty(double u) { return std::isfinite(u) && u >= 0; }
bool valid_coverage(double k) { return std::isfinite(k) && k > 0; }

// The weight of D_i in each of A, B and C.
double weight_of(const std::array<Term, 3>& terms, int deviation) {
    for (const Term& t : terms) {
        if (t.deviation == deviation) return t.weight;
    }
    return 0;
}

}  // namespace

double standard_uncertainty(const Component& c) {
    switch (c.distribution) {
        case Distribution::Normal: return c.value / c.coverage;
        case Distribution::Rectangular: return c.value / std::sqrt(3.0);
        case Distribution::Triangular: return c.value / std::sqrt(6.0);
        case Distribution::UShaped: return c.value / std::sqrt(2.0);
    }
    return c.value;
}

Outcome<Budget> evaluate(std::span<const Component> components, double seebeck, double k) {
    if (!valid_coverage(k)) return kBadCoverage;
    Budget budget{{}, 0, kInfinite, k, 0};
    double sum = 0, welch = 0;
    for (const Component& c : components) {
        if (!valid_uncertainty(c.value) || !(c.degrees_of_freedom > 0)) return kBadUncertainty;
        if (c.distribution == Distribution::Normal && !valid_coverage(c.coverage)) return kBadCoverage;
        const double u = standard_uncertainty(c);
        const double sensitivity = c.unit == Unit::Degree ? seebeck : 1.0;
        const double contribution = std::fabs(sensitivity) * u;
        budget.lines.push_back({c, u, sensitivity, contribution});
        sum += contribution * contribution;
        if (std::isfinite(c.degrees_of_freedom) && contribution > 0) {
            welch += std::pow(contribution, 4) / c.degrees_of_freedom;
        }
    }
    budget.combined = std::sqrt(sum);
    if (welch > 0) budget.effective_dof = std::pow(budget.combined, 4) / welch;
    // Large contributions overflow in their fourth powers: the same sum, scaled by u_c.
    if (welch > 0 && !std::isfinite(budget.effective_dof) && std::isfinite(budget.combined)) {
        double scaled = 0;
        for (const BudgetLine& line : budget.lines) {
            if (std::isfinite(line.component.degrees_of_freedom) && line.contribution > 0) {
                scaled += std::pow(line.contribution / budget.combined, 4) / line.component.degrees_of_freedom;
            }
        }
        budget.effective_dof = 1 / scaled;
    }
    budget.expanded = k * budget.combined;
    if (!std::isfinite(budget.combined) || !std::isfinite(budget.expanded)) return kUncomputable;
    return budget;
}

double type_a(std::span<const double> readings) {
    const std::size_t n = readings.size();
    if (n < 2) return 0;
    double mean = 0;
    for (double r : readings) mean += r;
    mean /= static_cast<double>(n);
    double squares = 0;
    for (double r : readings) squares += (r - mean) * (r - mean);
    return std::sqrt(squares / static_cast<double>(n - 1)) / std::sqrt(static_cast<double>(n));
}

std::array<double, 3> deviation_weights(MiddlePoint middle, double t) {
    const WeightSet& w = weights(middle);
    std::array<double, 3> l{};
    for (int i = 0; i < 3; ++i) {
        l[static_cast<std::size_t>(i)] =
            weight_of(w.a, i) + weight_of(w.b, i) * t + weight_of(w.c, i) * 0.000001 * t * t;
    }
    return l;
}

Outcome<DeviationUncertainty> deviation_uncertainty(MiddlePoint middle,
                                                   const FixedPointUncertainties& u, double t) {
    for (double x : u.points) {
        if (!valid_uncertainty(x)) return kBadUncertainty;
    }
    if (!valid_uncertainty(u.common)) return kBadUncertainty;
    if (!valid_coverage(u.k)) return kBadCoverage;
    const Sensor& s = sensor_of(Thermocouple::S);
    if (!(t >= kLowestTemperature && t <= kHighestTemperature)) {
        return Rejection::out_of_range(Quantity::Temperature, kLowestTemperature, kHighestTemperature);
    }
    const std::array<double, 3> l = deviation_weights(middle, t);
    double sum = u.common * u.common;
    for (std::size_t i = 0; i < 3; ++i) sum += (l[i] * u.points[i]) * (l[i] * u.points[i]);
    const double combined = std::sqrt(sum);
    DeviationUncertainty d{combined, u.k * combined, std::nullopt};
    if (t >= s.lowest_differential()) d.U_C = u.k * combined / *differential_value(s, t);
    // Each term over u first: its fourth power cannot overflow.
    double welch = 0;
    const auto add = [&](double term, double dof) {
        if (combined > 0 && term != 0 && std::isfinite(dof) && dof > 0) welch += std::pow(std::fabs(term) / combined, 4) / dof;
    };
    for (std::size_t i = 0; i < 3; ++i) add(l[i] * u.points[i], u.dof[i]);
    add(u.common, u.common_dof);
    if (welch > 0) d.effective_dof = 1 / welch;
    // Uncertainties each finite may still overflow when squared and summed.
    if (!std::isfinite(d.u_uV) || !std::isfinite(d.U_uV) || (d.U_C && !std::isfinite(*d.U_C))) return kUncomputable;
    return d;
}

Outcome<DeltaTUncertainty> delta_t_uncertainty(const ComparisonInput& input,
                                               const ComparisonResult& result,
                                               const ComparisonUncertainties& u) {
    for (double x : {u.certificate, u.voltmeter, u.furnace}) {
        if (!valid_uncertainty(x)) return kBadUncertainty;
    }
    if (!valid_coverage(u.k)) return kBadCoverage;
    // Readings in mV, uncertainties in uV.
    const double a_std = 1000 * type_a(input.standard);
    const double a_uut = 1000 * type_a(input.working);
    const double s_std = result.standard_seebeck, s_uut = result.working_seebeck;
    const double dvm2 = u.voltmeter * u.voltmeter;
    const double variance = (a_uut * a_uut + dvm2) / (s_uut * s_uut) +
                            (a_std * a_std + dvm2 + u.certificate * u.certificate) / (s_std * s_std) +
                            u.furnace * u.furnace;
    const double combined = std::sqrt(variance);
    if (!std::isfinite(combined) || !std::isfinite(u.k * combined) || !std::isfinite(a_std) || !std::isfinite(a_uut)) {
        return kUncomputable;
    }
    return DeltaTUncertainty{a_std, a_uut, combined, u.k * combined};
}

Conformity conformity(double delta_t, double expanded, double allowance) {
    const double d = std::fabs(delta_t);
    if (d + expanded <= allowance) return Conformity::Pass;
    if (d - expanded > allowance) return Conformity::Fail;
    return Conformity::Undecided;
}

}  // namespace its90::calibration
