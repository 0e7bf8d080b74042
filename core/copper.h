// Copper resistance thermometers of JJG 229-2010, Cu50 and Cu100: R(t) = R0 (1 + A t + B t^2
// + C t^3) from -50 to 150 degC, the regulation's A, B and C (W(100 degC) = 1.4280), and its
// exact inverse.
#pragma once

#include "core/outcome.h"
#include "core/thermocouples.h"

namespace its90::copper {

inline constexpr double kA = 4.28899e-3;  // /degC
inline constexpr double kB = -2.133e-7;   // /degC^2
inline constexpr double kC = 1.233e-9;    // /degC^3
inline constexpr Range kTemperatures{-50, 150};
// The two thermometers the regulation has: R0 = 50 and 100 ohm.
inline constexpr double kR0s[] = {50, 100};
constexpr bool known_r0(double r0) { return r0 == 50 || r0 == 100; }

// R at t (degC) of the thermometer with this R0; OutOfRange outside kTemperatures.
Outcome<double> resistance(double r0, double t);
// dR/dt at t, ohm/degC.
double slope(double r0, double t);
// t at R, the root of the equation itself to 9 decimal places; OutOfRange outside the
// resistances of kTemperatures.
Outcome<double> temperature(double r0, double r);

}  // namespace its90::copper
