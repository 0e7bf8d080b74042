// Calibration of a type S thermocouple at three fixed points of ITS-90: the deviations of the
// measured EMFs from the reference function, the quadratic deviation function through them,
// the graduation table and the thermocouple's own EMF at a temperature. Numbers only: each
// result either holds its value or says why it has none.
#pragma once

#include <array>
#include <optional>

#include "core/outcome.h"

namespace its90::calibration {

enum class MiddlePoint { Aluminium, Antimony };

// The fixed points' temperatures on ITS-90 (degC) as they are assigned, in decimal; E90_S
// takes them at single precision.
inline constexpr double kZincTemperature = 419.527;
inline constexpr double kAluminiumTemperature = 660.323;
inline constexpr double kAntimonyTemperature = 630.63;
inline constexpr double kCopperTemperature = 1084.62;
inline constexpr float kZincPoint = static_cast<float>(kZincTemperature);
inline constexpr float kAluminiumPoint = static_cast<float>(kAluminiumTemperature);
inline constexpr float kAntimonyPoint = static_cast<float>(kAntimonyTemperature);
inline constexpr float kCopperPoint = static_cast<float>(kCopperTemperature);

// The temperatures the calibration gives an EMF for, both bounds included.
inline constexpr double kLowestTemperature = -50.0;
inline constexpr double kHighestTemperature = 1664.5;
inline constexpr Rejection kTemperatureOutOfRange =
    Rejection::out_of_range(Quantity::Temperature, kLowestTemperature, kHighestTemperature);

// Each result below is an Outcome: its value, or a Rejection that says why there is none:
// OutOfRange for a temperature outside kLowestTemperature ... kHighestTemperature, NotFinite
// where the EMFs are so large that a value overflows (or is not a number).

// One term w * D[i] of a coefficient; a coefficient adds its terms in the order given.
struct Term {
    double weight;
    int deviation;  // 0 zinc (D1), 1 middle point (D2), 2 copper (D3)
};

struct WeightSet {
    std::array<Term, 3> a;
    std::array<Term, 3> b;
    std::array<Term, 3> c;  // the bracket of C, multiplied by 0.000001 afterwards
};

const WeightSet& weights(MiddlePoint middle);
float middle_point_temperature(MiddlePoint middle);
// The three points' temperatures in decimal: zinc, the middle point, copper.
std::array<double, 3> fixed_point_temperatures(MiddlePoint middle);

// Deviation function dE(t) = A + B t + C t^2 in mV.
struct DeviationFunction {
    double A, B, C;
};

// A thermocouple calibrated at the three points: D1, D2, D3 (measured EMF minus E90_S at
// zinc, the middle point and copper) and the deviation function through them.
struct Calibration {
    MiddlePoint middle;
    std::array<double, 3> deviations;
    DeviationFunction function;
};

// The resolution each coefficient carries from deviations stated to 5 decimals: half the last
// place of a deviation (0.000005 mV) carried through the coefficient's weights, so A is good
// to about 1e-5 mV, B to 1e-7 mV/degC and C to 1e-11 mV/degC^2; a coefficient smaller than
// this is the deviations' rounding, not the thermocouple.
inline constexpr double kDeviationResolution = 0.00001;
struct CoefficientResolution {
    double A, B, C;
};
CoefficientResolution coefficient_resolution(MiddlePoint middle);

// From the three measured EMFs in mV; NotFinite when a deviation or coefficient is.
Outcome<Calibration> calibrate(double zinc_emf, double middle_emf, double copper_emf,
                                  MiddlePoint middle);

// The graduation table's temperatures, 300 to 1100 degC by 100.
inline constexpr std::array<int, 9> kTableTemperatures = {300, 400, 500, 600, 700,
                                                          800, 900, 1000, 1100};
using GraduationTable = std::array<double, kTableTemperatures.size()>;
// The span of the table, which the record's plot and its 1 degC table cover too.
inline constexpr int kTableLowest = kTableTemperatures.front();
inline constexpr int kTableHighest = kTableTemperatures.back();

// E90_S(T) + dE(T) at each table temperature, summed (B T + A) + C T T + E: rounded to 5
// places with the aluminium point, unrounded with the antimony point. NotFinite when a row is.
Outcome<GraduationTable> graduation_table(const Calibration& calibration);

// E90_S(t) + dE(t) at a temperature, summed (t C) t + (t B + A) + E and rounded to 5 places.
// OutOfRange outside kLowestTemperature ... kHighestTemperature; NotFinite when the sum is.
Outcome<double> emf_at(const Calibration& calibration, double temperature);

// The deviation function dE(t) = A + B t + C t^2 at a temperature, in mV.
double deviation_at(const Calibration& calibration, double temperature);

// The thermocouple's own EMF at a whole degree, as the published tables give EMFs: the
// unrounded reference function plus dE(t), rounded once to 3 places (mV). NotFinite where
// the sum cannot be rounded.
Outcome<double> emf_to_3_places(const Calibration& calibration, int temperature);

// ---- EMFs no type S thermocouple gives ---------------------------------------------------

// A type S thermocouple, even one far out of its class, deviates from the reference function
// by much less than this at any point (the widest tolerance, class 2, is 2.7 degC at copper;
// a standard's allowance at copper, 0.015 mV, about 1.3 degC): EMFs beyond it are a slip of
// the keyboard (points swapped, a digit lost or a sign), not a thermocouple.
inline constexpr double kMostPlausibleDeviationC = 10.0;

// What is wrong with three fixed-point EMFs, if anything: a point whose EMF is not above the
// one before it (zinc < middle point < copper), or a point whose deviation, in degC at its
// differential value, exceeds kMostPlausibleDeviationC.
struct ImplausibleEmfs {
    enum class Fault { OutOfOrder, TooFar };
    Fault fault;
    int point;           // 0 zinc, 1 middle point, 2 copper
    int before;          // OutOfOrder: the point whose EMF it is not above
    double deviation_C;  // TooFar: measured minus reference, in degC (signed)
};
std::optional<ImplausibleEmfs> implausible_fixed_point_emfs(const std::array<double, 3>& emfs, MiddlePoint middle);

// A standard's own EMF at t (from its certificate) that no type S thermocouple gives: its
// deviation from E90_S(t) in degC, where it exceeds kMostPlausibleDeviationC (or is no
// number); nothing where it is plausible. For t inside the comparison's range.
std::optional<double> implausible_standard_emf(double t, double emf);

// ---- Acceptance of a standard type S thermocouple (JJG 75-1995) ---------------------------

// With the reference junction at 0 degC, in mV: E(Cu) = 10.575 +- 0.015; E(Al) = 5.860 +
// 0.37 [E(Cu) - 10.575] +- 0.005; E(Sb) = 5.553 + 0.37 [E(Cu) - 10.575] +- 0.005; E(Zn) =
// 3.447 + 0.18 [E(Cu) - 10.575] +- 0.005.
struct PointCheck {
    double measured;
    double required;
    double allowance;
    double deviation;  // measured - required, rounded to 6 places
    bool pass;         // |deviation| <= allowance, the limits included
};

struct AcceptanceCheck {
    PointCheck copper;
    PointCheck middle;  // aluminium or antimony
    PointCheck zinc;
    bool pass;  // every point passes
};

// NotFinite where an EMF is so large that a deviation cannot be rounded.
Outcome<AcceptanceCheck> acceptance_check(double zinc_emf, double middle_emf, double copper_emf,
                                          MiddlePoint middle);

// The points in the order the check is reported: copper, the middle point, zinc; each with
// its index in the order of the deviations (0 zinc, 1 middle point, 2 copper).
struct CheckedPoint {
    int point;
    const PointCheck* check;
};
std::array<CheckedPoint, 3> in_report_order(const AcceptanceCheck& check);

}  // namespace its90::calibration
