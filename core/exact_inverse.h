// Temperatures found from the unrounded reference functions themselves rather than from the
// published inverse polynomials (whose error reaches 0.053 degC and which do not cover every
// temperature the reference functions do): by bisection, which cannot diverge, over the
// function's whole published range, to the nearest double, rounded to 9 decimal places.
#pragma once

#include "core/its90.h"

namespace its90 {

// The decimal places of an exact temperature: the functions' own rounding makes later digits
// noise (100 ohm would read -1.4E-14 degC).
inline constexpr int kExactPlaces = 9;

// The temperature at which emf_unrounded(type, t) equals `emf` (mV). Rejected as OutOfRange
// outside the function's EMFs (exact_emf_range), or as TwoTemperatures where two temperatures
// share the EMF: type B from its lowest EMF, -0.0026 mV near 21 degC, up to 0 mV, whose
// temperatures lie between 0 and about 42.13 degC (the rejection's range).
Outcome<double> exact_temperature(Thermocouple type, double emf);

// The temperature at which R_Pt100_unrounded(t) equals `ohm`, from -200 to 850 degC;
// OutOfRange outside the resistances there.
Outcome<double> exact_pt100_temperature(double ohm);

// The EMFs exact_temperature accepts (mV).
Range exact_emf_range(Thermocouple type);

}  // namespace its90
