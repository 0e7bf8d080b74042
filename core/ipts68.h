// Temperatures of the International Practical Temperature Scale of 1968 (IPTS-68), as old
// certificates state them, and ITS-90: the differences t90 - t68 that the BIPM publishes with
// ITS-90 (Supplementary Information for the ITS-90), as functions of t90, coefficients digit
// for digit:
//   -200 ... 630 degC:        t90 - t68 = sum_{i=1..8} a_i (t90 / 630 degC)^i
//   630.615 ... 1064.18 degC: t90 - t68 = sum_{i=0..5} b_i (t90 / degC)^i   (Rusby et al.,
//                             Metrologia 31, 1994, replacing the function of 1990)
// reproducing the tabulated differences to 1.5 mK below 0 degC and 1 mK above. Between 630 and
// 630.615 degC neither function holds (the first ends where IPTS-68's SPRT range did, the
// second begins at its thermocouple range's antimony point): nothing is given there, nor below
// -200 degC (where ITS-90 tabulates the differences without a function) or above the gold point.
#pragma once

#include "core/outcome.h"
#include "core/thermocouples.h"

namespace its90::ipts68 {

inline constexpr double kA[] = {0, -0.148759, -0.267408, 1.080760, 1.269056,
                                -4.089591, -1.871251, 7.438081, -3.536296};
inline constexpr Range kLow{-200, 630};  // t90, degC
inline constexpr double kB[] = {7.8687209e1, -4.7135991e-1, 1.0954715e-3, -1.2357884e-6, 6.7736583e-10,
                                -1.4458081e-13};
inline constexpr Range kHigh{630.615, 1064.18};  // t90, degC

// t90 - t68 at t90 (degC). OutOfRange (Temperature) outside -200 ... 1064.18 degC;
// Unpublished (lowest ... highest: 630 ... 630.615) between the two functions.
Outcome<double> difference(double t90);
// t68 at t90, and t90 at t68 (the difference's own inverse, to 1e-9 degC); the same refusals
// in t68 (-200.007 ... 1064.43 degC, IPTS-68's gold point; nothing between 630.125408 and
// 630.739953 degC, IPTS-68's antimony point).
Outcome<double> t68_of(double t90);
Outcome<double> t90_of(double t68);

}  // namespace its90::ipts68
