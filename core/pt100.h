// The Pt100 of IEC 60751: the Callendar-Van Dusen constants, the temperatures its equation
// covers, and the tolerance classes of wire-wound resistors (IEC 60751:2008).
#pragma once

#include <array>

#include "core/thermocouples.h"

namespace its90 {

struct Pt100Record {
    double r0;  // ohm at 0 degC
    double a, b, c;
    Range temperatures;
    std::array<ToleranceClass, 4> classes;  // AA, A, B, C
};

inline constexpr Pt100Record kPt100Record{
    100.0, 0.0039083, -5.775E-7, -4.183E-12, {-200, 850},
    {{{"AA", -50, 250, ToleranceClass::Form::Sum, 0.1, 0.0017},
      {"A", -100, 450, ToleranceClass::Form::Sum, 0.15, 0.002},
      {"B", -196, 600, ToleranceClass::Form::Sum, 0.3, 0.005},
      {"C", -196, 600, ToleranceClass::Form::Sum, 0.6, 0.01}}}};

}  // namespace its90
