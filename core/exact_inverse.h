// Temperatures found from the unrounded reference functions themselves rather than from the
// published inverse polynomials (whose error reaches 0.053 degC and which do not cover every
// temperature the reference functions do): by bisection, which cannot diverge, over the
// function's whole range, to the nearest double.
#pragma once

#include <optional>

#include "core/its90.h"

namespace its90 {

struct ExactTemperature {
    enum class Failure { None, OutOfRange, TwoTemperatures };
    std::optional<double> temperature;
    Failure failure = Failure::None;
};

// The temperature at which emf_unrounded(type, t) equals `emf` (mV). OutOfRange outside the
// function's EMFs; TwoTemperatures where two temperatures share the EMF (type B from its
// lowest EMF, -0.0026 mV near 21 degC, up to 0 mV: between 0 and about 42.13 degC).
ExactTemperature exact_temperature(Thermocouple type, double emf);

// The temperature at which R_Pt100_unrounded(t) equals `ohm`, from -200 to 850 degC.
ExactTemperature exact_pt100_temperature(double ohm);

// The EMFs exact_temperature accepts, lowest and highest (mV).
struct EmfRange {
    double lowest;
    double highest;
};
EmfRange exact_emf_range(Thermocouple type);

}  // namespace its90
