#include "core/tolerances.h"

#include <array>
#include <cmath>

namespace its90 {
namespace {

using Form = ToleranceClass::Form;

constexpr double kNone = -1;  // lowest of a class the type does not have: above its highest

constexpr ToleranceClass absent(const char* name) { return {name, 1, kNone, Form::Larger, 0, 0}; }

// By the thermocouple's sensor index: S B K N J E T R.
constexpr std::array<std::array<ToleranceClass, 3>, 8> kThermocouples = {{
    {{{"1", 0, 1600, Form::AboveKnee, 1.0, 0.003, 1100}, {"2", 0, 1600, Form::Larger, 1.5, 0.0025},
      absent("3")}},
    {{absent("1"), {"2", 600, 1700, Form::Larger, 0, 0.0025}, {"3", 600, 1700, Form::Larger, 4.0, 0.005}}},
    {{{"1", -40, 1000, Form::Larger, 1.5, 0.004}, {"2", -40, 1200, Form::Larger, 2.5, 0.0075},
      {"3", -200, 40, Form::Larger, 2.5, 0.015}}},
    {{{"1", -40, 1000, Form::Larger, 1.5, 0.004}, {"2", -40, 1200, Form::Larger, 2.5, 0.0075},
      {"3", -200, 40, Form::Larger, 2.5, 0.015}}},
    {{{"1", -40, 750, Form::Larger, 1.5, 0.004}, {"2", -40, 750, Form::Larger, 2.5, 0.0075},
      absent("3")}},
    {{{"1", -40, 800, Form::Larger, 1.5, 0.004}, {"2", -40, 900, Form::Larger, 2.5, 0.0075},
      {"3", -200, 40, Form::Larger, 2.5, 0.015}}},
    {{{"1", -40, 350, Form::Larger, 0.5, 0.004}, {"2", -40, 350, Form::Larger, 1.0, 0.0075},
      {"3", -200, 40, Form::Larger, 1.0, 0.015}}},
    {{{"1", 0, 1600, Form::AboveKnee, 1.0, 0.003, 1100}, {"2", 0, 1600, Form::Larger, 1.5, 0.0025},
      absent("3")}},
}};

constexpr std::array<ToleranceClass, 4> kPt100 = {{
    {"AA", -50, 250, Form::Sum, 0.1, 0.0017},
    {"A", -100, 450, Form::Sum, 0.15, 0.002},
    {"B", -196, 600, Form::Sum, 0.3, 0.005},
    {"C", -196, 600, Form::Sum, 0.6, 0.01},
}};

}  // namespace

std::optional<double> ToleranceClass::at(double t) const {
    if (!(t >= lowest && t <= highest)) return std::nullopt;
    switch (form) {
        case Form::Larger: return std::max(a, b * std::fabs(t));
        case Form::Sum: return a + b * std::fabs(t);
        case Form::AboveKnee: return t <= knee ? a : a + b * (t - knee);
    }
    return std::nullopt;
}

std::span<const ToleranceClass> tolerance_classes(Thermocouple type) {
    return kThermocouples[static_cast<std::size_t>(type)];
}

std::span<const ToleranceClass> pt100_tolerance_classes() { return kPt100; }

const ToleranceClass* tightest_class(std::span<const ToleranceClass> classes, double t,
                                     double deviation) {
    const ToleranceClass* best = nullptr;
    double best_tolerance = INFINITY;
    for (const ToleranceClass& c : classes) {
        const std::optional<double> tolerance = c.at(t);
        if (tolerance && *tolerance >= std::fabs(deviation) && *tolerance < best_tolerance) {
            best = &c;
            best_tolerance = *tolerance;
        }
    }
    return best;
}

}  // namespace its90
