// Tolerance classes: thermocouples by IEC 60584-1 (classes 1, 2, 3), the Pt100 by IEC
// 60751:2008 for wire-wound resistors (classes AA, A, B, C). The classes themselves live in
// each type's record.
#pragma once

#include <span>

#include "core/pt100.h"
#include "core/thermocouples.h"

namespace its90 {

// The classes of a thermocouple type (1, 2, 3) and of the Pt100 (AA, A, B, C), in class order.
std::span<const ToleranceClass> tolerance_classes(Thermocouple type);
std::span<const ToleranceClass> pt100_tolerance_classes();

// The tightest class whose tolerance at `t` is at least |deviation|, or nullptr.
const ToleranceClass* tightest_class(std::span<const ToleranceClass> classes, double t,
                                     double deviation);

}  // namespace its90
