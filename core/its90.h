// ITS-90 reference functions of thermocouples (IEC 60584-1 / NIST Monograph 175) and the
// Callendar-Van Dusen resistance of a Pt100 (IEC 60751).
//
// Every function takes its argument as a single-precision float, compares it with the
// single-precision values of its decimal bounds and sums its polynomial in double, term by
// term from the constant term up, with each power built by Pow_n. An argument outside the
// function's range is not an error: the function returns a Rejection that names the range,
// and the caller decides how to say so. A floating-point fault (invalid operation, division
// by zero, overflow) in any stored result throws FloatingPointError; no argument in range
// causes one.
#pragma once

#include <cstdint>

#include "core/outcome.h"
#include "core/thermocouples.h"

namespace its90 {

// The value of a reference function, or the rejection of an argument it has no formula for.
using Result = Outcome<double>;

// x to the power n as the n-fold product built up from 1.0, rounded to double after each
// factor. n <= 0 gives 1.0. The counter is 16-bit: n = 32767 overflows it after its last
// multiplication and throws FloatingPointError.
double Pow_n(std::int16_t n, float x);

// Rounds to `places` decimal places; a value exactly halfway goes to the even last digit.
double round_half_even(double x, int places);

// Narrows a double to single precision without undefined behaviour: a finite value beyond
// the single range becomes an infinity of its sign, which every function rejects.
float to_single(double x);

// EMF in mV from a temperature in degC, rounded to 5 decimal places.
Result E90_S(float t);
Result E90_R(float t);
Result E90_B(float t);
Result E90_K(float t);
Result E90_N(float t);
Result E90_J(float t);
Result E90_E(float t);
Result E90_T(float t);

// Temperature in degC from an EMF in mV, rounded to 4 decimal places.
Result T90_S(float e);
Result T90_R(float e);
Result T90_B(float e);
Result T90_K(float e);
Result T90_N(float e);
Result T90_J(float e);
Result T90_E(float e);
Result T90_T(float e);

// Resistance in ohm of a Pt100 from a temperature in degC, unrounded.
Result R_Pt100(float t);

using ReferenceFunction = Result (*)(float);

// The EMF at a temperature given as a double: the same sub-ranges, sums and order as E90_x,
// on the double and not rounded, its bounds met as the decimals they are published as (so
// 1768.1 degC is type S's top, where E90_S's single-precision bound lies below it). For
// values printed to fewer places than E90_x rounds to, which would otherwise be rounded
// twice, and for the exact inverse.
Result emf_unrounded(Thermocouple type, double t);
// R_Pt100 on a double temperature.
Result R_Pt100_unrounded(double t);

}  // namespace its90
