#include "type_s_calibration.h"

#include <cmath>

#include "its90.h"
#include "number_text.h"

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

double weighted_sum(const std::array<Term, 3>& terms, const std::array<double, 3>& d) {
    double sum = terms[0].weight * d[terms[0].deviation];
    for (std::size_t i = 1; i < terms.size(); ++i) sum = sum + terms[i].weight * d[terms[i].deviation];
    return sum;
}

double reference_emf(float t) { return E90_S(t).value(); }

double finite(double x) {
    if (!std::isfinite(x)) throw FloatingPointError("calibration value out of range");
    return x;
}

PanelRun overflow(std::int16_t foc_flag) {
    PanelRun run{kOverflowMessage, {}};
    if (foc_flag == 3) {
        run.writes.push_back({13, ""});
    } else {
        for (int box : kTableBoxes) run.writes.push_back({box, ""});
    }
    return run;
}

}  // namespace

const WeightSet& weights(MiddlePoint middle) {
    return middle == MiddlePoint::Aluminium ? kAluminium : kAntimony;
}

float middle_point_temperature(MiddlePoint middle) {
    return middle == MiddlePoint::Aluminium ? kAluminiumPoint : kAntimonyPoint;
}

std::array<double, 3> deviations(double zinc_emf, double middle_emf, double copper_emf,
                                 MiddlePoint middle) {
    const double d1 = zinc_emf - reference_emf(kZincPoint);
    const double d3 = copper_emf - reference_emf(kCopperPoint);
    const double d2 = middle_emf - reference_emf(middle_point_temperature(middle));
    return {d1, d2, d3};
}

DeviationFunction deviation_function(const std::array<double, 3>& d, MiddlePoint middle) {
    const WeightSet& w = weights(middle);
    const double a = weighted_sum(w.a, d);
    const double b = weighted_sum(w.b, d);
    const double c = weighted_sum(w.c, d) * 0.000001;
    return {a, b, c};
}

double table_value(const DeviationFunction& f, int temperature) {
    const double t = temperature;
    const double e = reference_emf(static_cast<float>(temperature));
    return (f.B * t + f.A) + f.C * t * t + e;
}

double value_at(const DeviationFunction& f, double temperature) {
    const double e = reference_emf(static_cast<float>(temperature));
    return (temperature * f.C) * temperature + (temperature * f.B + f.A) + e;
}

PanelRun run_panel(const PanelState& s) {
    using ui::Num_to_text_sign;
    using ui::Text_to_num;
    if (s.zinc.empty() || s.middle.empty() || s.copper.empty()) return {};
    if (s.foc_flag != 3 && s.foc_flag != 4) return {};

    // Every value is computed before anything is written, so absurd EMFs give one message
    // and no half-written table.
    try {
        const std::array<double, 3> d = deviations(Text_to_num(s.zinc), Text_to_num(s.middle),
                                                   Text_to_num(s.copper), s.middle_point);
        const DeviationFunction f = deviation_function(d, s.middle_point);
        for (double x : {d[0], d[1], d[2], f.A, f.B, f.C}) finite(x);

        PanelRun run;
        if (s.foc_flag == 3) {
            const double t = Text_to_num(s.temperature);
            if (t < -50 || t > 1664.5) return {kTemperatureRangeMessage, {{13, ""}}};
            if (s.temperature.empty()) return {};
            const double v = round_half_even(finite(value_at(f, t)), 5);
            run.writes.push_back({13, Num_to_text_sign(v)});
            return run;
        }
        const bool rounded = s.middle_point == MiddlePoint::Aluminium;
        for (std::size_t r = 0; r < kTableTemperatures.size(); ++r) {
            double v = finite(table_value(f, kTableTemperatures[r]));
            if (rounded) v = round_half_even(v, 5);
            run.writes.push_back({kTableBoxes[r], Num_to_text_sign(v)});
        }
        return run;
    } catch (const FloatingPointError&) {
        return overflow(s.foc_flag);
    }
}

}  // namespace its90::calibration
