// Tolerance classes: how far a sensor of a class may read from the reference function, in
// degC, at a temperature. Thermocouples by IEC 60584-1 (classes 1, 2, 3), the Pt100 by IEC
// 60751:2008 for wire-wound resistors (classes AA, A, B, C).
#pragma once

#include <optional>
#include <span>

#include "core/its90.h"

namespace its90 {

struct ToleranceClass {
    const char* name;  // "1" ... "3", "AA" ... "C"
    // The temperatures the class covers, both bounds included; a class a type does not have
    // covers none (lowest above highest).
    double lowest;
    double highest;
    enum class Form {
        Larger,     // the larger of a and b |t|
        Sum,        // a + b |t|
        AboveKnee,  // a up to the knee, a + b (t - knee) above it
    } form;
    double a;
    double b;
    double knee = 0;

    // The tolerance at t, or nothing where the class does not cover t.
    std::optional<double> at(double t) const;
};

// The classes of a thermocouple type (1, 2, 3) and of the Pt100 (AA, A, B, C), in class order.
std::span<const ToleranceClass> tolerance_classes(Thermocouple type);
std::span<const ToleranceClass> pt100_tolerance_classes();

// The tightest class whose tolerance at `t` is at least |deviation|, or nullptr.
const ToleranceClass* tightest_class(std::span<const ToleranceClass> classes, double t,
                                     double deviation);

}  // namespace its90
