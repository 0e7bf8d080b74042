// Uncertainty by the GUM (JCGM 100; JJF 1059.1): a budget of components, each with its value,
// unit and distribution, combined as the root sum of squares of their contributions, with the
// Welch-Satterthwaite effective degrees of freedom; carried through the fixed-point
// calibration's deviation function to every temperature, and through the comparison to dt.
// Numbers only.
#pragma once

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calibration/comparison.h"
#include "calibration/type_s_calibration.h"
#include "core/outcome.h"

namespace its90::calibration {

inline constexpr double kInfinite = std::numeric_limits<double>::infinity();
inline constexpr double kDefaultCoverage = 2.0;

enum class Distribution {
    Normal,       // the value is an expanded uncertainty with its coverage factor k
    Rectangular,  // the value is the half-width a: u = a / sqrt(3)
    Triangular,   // u = a / sqrt(6)
    UShaped,      // arcsine: u = a / sqrt(2)
};

enum class Unit { Microvolt, Degree };

// One line of a budget as the technician types it.
struct Component {
    std::string name;
    double value;        // >= 0, in `unit`
    Unit unit = Unit::Microvolt;
    Distribution distribution = Distribution::Normal;
    double coverage = 1;                   // k of a normal value (1: a standard uncertainty)
    double degrees_of_freedom = kInfinite;  // n - 1 for a type A component of n readings
};

// A budget line as evaluated: the standard uncertainty, the sensitivity that turns it into the
// budget's unit, and its contribution.
struct BudgetLine {
    Component component;
    double standard_uncertainty;
    double sensitivity;
    double contribution;  // |sensitivity| * standard uncertainty
};

struct Budget {
    std::vector<BudgetLine> lines;
    double combined;          // the root sum of squares of the contributions
    double effective_dof;     // Welch-Satterthwaite; infinite when every line's is
    double coverage;          // k
    double expanded;          // k * combined
};

// The standard uncertainty a component gives, in its own unit.
double standard_uncertainty(const Component& c);

// The budget of `components` in microvolts, a temperature component turned into EMF by
// `seebeck` (uV/degC, its sensitivity). Rejected (Quantity::Uncertainty) for a negative or
// non-finite value or degrees of freedom <= 0, (Quantity::CoverageFactor) for a coverage
// factor <= 0 or a k <= 0.
Outcome<Budget> evaluate(std::span<const Component> components, double seebeck,
                         double k = kDefaultCoverage);

// The type A standard uncertainty of a mean, s / sqrt(n), s with n - 1 in its denominator;
// 0 for a single reading. In the readings' unit.
double type_a(std::span<const double> readings);

// ---- Through the fixed-point calibration ---------------------------------------------------

// L_i(t) = a_i + b_i t + c_i 1e-6 t^2 from the same weights the calibration uses, so that
// dE(t) = sum L_i(t) D_i (zinc, the middle point, copper).
std::array<double, 3> deviation_weights(MiddlePoint middle, double t);

struct FixedPointUncertainties {
    std::array<double, 3> points;  // u_i of D_1 ... D_3, uV
    double common = 0;             // u_0, shared by every point (the reference junction), uV
    double k = kDefaultCoverage;
    // The degrees of freedom of each u_i and of u_0 (infinite where none are known).
    std::array<double, 3> dof{kInfinite, kInfinite, kInfinite};
    double common_dof = kInfinite;
};

struct DeviationUncertainty {
    double u_uV;   // u(dE(t))
    double U_uV;   // k u
    // U / S(t), S the type S differential value at t as the window shows it; nothing where
    // there is none (below -49.5 degC): u and U are there all the same.
    std::optional<double> U_C;
    // Welch-Satterthwaite over the terms L_i(t) u_i and u_0: u^4 / sum(term^4 / dof).
    double effective_dof = kInfinite;
};

// u(dE(t))^2 = sum (L_i(t) u_i)^2 + u_0^2. Rejected outside the calibration's temperatures,
// or for a negative or non-finite uncertainty or a k <= 0.
Outcome<DeviationUncertainty> deviation_uncertainty(MiddlePoint middle,
                                                   const FixedPointUncertainties& u, double t);

// ---- Through the comparison -------------------------------------------------------------

struct ComparisonUncertainties {
    double certificate = 0;  // u_cert of e_cert, uV
    double voltmeter = 0;    // u_dvm of each mean, uV
    double furnace = 0;      // the junctions' temperature difference, degC
    double k = kDefaultCoverage;
};

struct DeltaTUncertainty {
    double standard_type_a;  // u_A of the standard's mean, uV
    double working_type_a;   // u_A of the working thermocouple's mean, uV
    double u_C;              // u(dt)
    double U_C;              // k u(dt)
};

// u(dt)^2 = (u_A,uut^2 + u_dvm^2) / S_uut^2 + (u_A,std^2 + u_dvm^2 + u_cert^2) / S_std^2
// + u_furnace^2, with the differential values of the result. Rejected for a negative or
// non-finite uncertainty or a k <= 0.
Outcome<DeltaTUncertainty> delta_t_uncertainty(const ComparisonInput& input,
                                               const ComparisonResult& result,
                                               const ComparisonUncertainties& u);

// The verdict with the uncertainty (ILAC G8): Pass when |dt| + U lies within the allowance,
// Fail when |dt| - U lies beyond it, and otherwise neither can be stated.
enum class Conformity { Pass, Fail, Undecided };
Conformity conformity(double delta_t, double expanded, double allowance);

}  // namespace its90::calibration
