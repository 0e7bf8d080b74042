// Industrial platinum resistance thermometers by the Callendar-Van Dusen equation (IEC 60751)
// with any R0: R(t) = R0 (1 + A t + B t^2), plus R0 C (t - 100) t^3 below 0 degC and, where a
// laboratory fits one, R0 D t^3 above it; its exact inverse over the temperatures a set of
// coefficients is valid for; and the alpha, delta, beta form of its coefficients.
#pragma once

#include "core/outcome.h"
#include "core/pt100.h"

namespace its90::cvd {

// The temperatures the equation is used over (IEC 60751), both included.
inline constexpr Range kTemperatures = kPt100Record.temperatures;

struct Coefficients {
    double r0;  // ohm at 0 degC
    double a, b, c;
    double d = 0;  // the t^3 term above 0 degC (IEC 60751 has none)
    // Where these coefficients hold (a certificate's range): conversions beyond are refused.
    Range valid = kTemperatures;
};

// The IEC 60751 curve of a thermometer with this R0.
constexpr Coefficients iec(double r0) { return {r0, kPt100Record.a, kPt100Record.b, kPt100Record.c}; }

// R at t (degC); OutOfRange outside the coefficients' valid range.
Outcome<double> resistance(const Coefficients& k, double t);
// dR/dt at t, ohm/degC.
double slope(const Coefficients& k, double t);
// t at R, the root of the equation itself, to 9 decimal places; OutOfRange outside the
// resistances of the valid range.
Outcome<double> temperature(const Coefficients& k, double r);
// Whether R0 is above 0, the valid range lies within kTemperatures (its ends in order), and
// R(t) rises through it.
bool valid(const Coefficients& k);

// alpha = A + 100 B, delta = -1e4 B / alpha, beta = -1e8 C / alpha.
struct AlphaDeltaBeta {
    double alpha, delta, beta;
};
AlphaDeltaBeta alpha_delta_beta(const Coefficients& k);

}  // namespace its90::cvd
