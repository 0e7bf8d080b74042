#include "core/tolerances.h"

#include <algorithm>
#include <cmath>

namespace its90 {
std::optional<double> ToleranceClass::at(double t) const {
    if (!(t >= lowest && t <= highest)) return std::nullopt;
    using Form = ToleranceClass::Form;
    switch (form) {
        case Form::Larger: return std::max(a, b * std::fabs(t));
        case Form::Sum: return a + b * std::fabs(t);
        case Form::AboveKnee: return t <= knee ? a : a + b * (t - knee);
    }
    return std::nullopt;
}

std::span<const ToleranceClass> tolerance_classes(Thermocouple type) {
    return record_of(type).classes;
}

std::span<const ToleranceClass> pt100_tolerance_classes() { return kPt100Record.classes; }

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
