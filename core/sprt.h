// Standard platinum resistance thermometers on ITS-90: the reference function Wr(T90) of both
// ranges with its coefficients digit for digit, its inverse found from the function itself,
// the defining fixed points, and the deviation functions of the ranges from the triple point of
// equilibrium hydrogen to the silver point, each named by the fixed points that bound it.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "core/outcome.h"
#include "core/thermocouples.h"

namespace its90::sprt {

// ---- The reference function -------------------------------------------------------------

// Wr(T90) from 13.8033 K (-259.3467 degC) to 273.16 K (its A_i), from 273.15 K to 1234.93 K
// (961.78 degC, its C_i); below the triple point of water the first, above it the second,
// each joined to W = 1 there.
inline constexpr double kA[] = {-2.13534729, 3.18324720, -1.80143597, 0.71727204, 0.50344027,
                                -0.61899395, -0.05332322, 0.28021362, 0.10715224, -0.29302865,
                                0.04459872,  0.11868632,  -0.05248134};
inline constexpr double kC[] = {2.78157254,  1.64650916,  -0.13714390, -0.00649767, -0.00234444,
                                0.00511868,  0.00187982,  -0.00204472, -0.00046122, 0.00045724};
inline constexpr Range kReferenceRange{-259.3467, 961.78};  // degC

// Wr at t90 (degC); OutOfRange outside kReferenceRange.
Outcome<double> Wr(double t90);
// dWr/dt at t90 (per degC) of the function that holds there, the A function below 0.01 degC
// and the C function from it, differentiated term by term (the join's correction left out:
// 1e-6 of the slope at most); OutOfRange outside kReferenceRange.
Outcome<double> reference_slope(double t90);
// The t90 at which Wr(t90) equals `wr`: the root of the function itself, from ITS-90's
// approximate inverse (nearest_root_from: within kRootResolution of bisection's root, the same
// to 9 decimals; W = 1: 0.01 degC exactly); OutOfRange (a ratio, Quantity::Resistance) outside Wr's
// values, a ratio that rounds to an end's 8 decimals taken as that end.
Outcome<double> t90_of_Wr(double wr);

// ---- The defining fixed points --------------------------------------------------------------

// Besides the fixed points, e-H2-TPW is calibrated at two temperatures near 17.0 K and 20.3 K,
// measured with a gas thermometer (or by the vapour pressure of e-H2): each must lie within
// 0.1 K of its nominal value, and the point is taken at its measured temperature.
enum class FixedPoint { eH2, Near17K, Near20K, Ne, O2, Ar, Hg, TPW, Ga, In, Sn, Zn, Al, Ag };
// A point typed at an assigned temperature to its last digit: within this of it (degC).
inline constexpr double kAssignedWithin = 0.00005;
struct FixedPointRecord {
    FixedPoint point;
    const char* symbol;  // "e-H2" ... "Ag", "TPW": as the ranges are named
    double t90;          // degC, as assigned (measured points: nominal)
    double measured_within = 0;  // degC either side of t90 for a measured point; 0: assigned
    bool measured() const { return measured_within > 0; }
    bool admits(double t) const;  // whether a point at t (degC) is this one
};
inline constexpr FixedPointRecord kFixedPoints[] = {
    {FixedPoint::eH2, "e-H2", -259.3467},
    {FixedPoint::Near17K, "≈17 K", -256.15, 0.1},
    {FixedPoint::Near20K, "≈20.3 K", -252.85, 0.1},
    {FixedPoint::Ne, "Ne", -248.5939}, {FixedPoint::O2, "O2", -218.7916},
    {FixedPoint::Ar, "Ar", -189.3442},    {FixedPoint::Hg, "Hg", -38.8344},  {FixedPoint::TPW, "TPW", 0.01},
    {FixedPoint::Ga, "Ga", 29.7646},      {FixedPoint::In, "In", 156.5985},  {FixedPoint::Sn, "Sn", 231.928},
    {FixedPoint::Zn, "Zn", 419.527},      {FixedPoint::Al, "Al", 660.323},   {FixedPoint::Ag, "Ag", 961.78}};
const FixedPointRecord& fixed_point(FixedPoint p);

// ---- Deviation functions --------------------------------------------------------------------

enum class DeviationRange { EH2TPW, NeTPW, O2TPW, ArTPW, HgGa, TPWAg, TPWAl, TPWZn, TPWSn, TPWIn, TPWGa };

inline constexpr int kMostCoefficients = 7;
using CoefficientNames = std::array<const char*, kMostCoefficients>;
inline constexpr CoefficientNames kAbcd{"a", "b", "c", "d", nullptr, nullptr, nullptr};

struct DeviationRangeRecord {
    DeviationRange range;
    const char* name;       // "Ar-TPW" ...
    Range temperatures;     // degC, both included
    int coefficients;       // how many it has, named by `names` in the order they are kept
    // The fixed points (besides the triple point of water) that determine its coefficients,
    // in the order of the coefficients they settle.
    std::array<std::optional<FixedPoint>, kMostCoefficients> points;
    // Its coefficients as ITS-90 names them, by the slot each is kept in (Coefficients' a ... e).
    CoefficientNames names = kAbcd;
};

// Below the argon point: a (W-1) + b (W-1)^2 + sum c_i (ln W)^(i+n), ITS-90's deviation
// function, with n = 2 to c5 from e-H2, with n = 1 to c3 from the neon point and to c1 from the
// oxygen point.
inline constexpr DeviationRangeRecord kDeviationRanges[] = {
    {DeviationRange::EH2TPW, "e-H2-TPW", {-259.3467, 0.01}, 7,
     {FixedPoint::eH2, FixedPoint::Near17K, FixedPoint::Near20K, FixedPoint::Ne, FixedPoint::O2, FixedPoint::Ar,
      FixedPoint::Hg},
     {"a", "b", "c1", "c2", "c3", "c4", "c5"}},
    {DeviationRange::NeTPW, "Ne-TPW", {-248.5939, 0.01}, 5,
     {FixedPoint::eH2, FixedPoint::Ne, FixedPoint::O2, FixedPoint::Ar, FixedPoint::Hg},
     {"a", "b", "c1", "c2", "c3", nullptr, nullptr}},
    {DeviationRange::O2TPW, "O2-TPW", {-218.7916, 0.01}, 3, {FixedPoint::O2, FixedPoint::Ar, FixedPoint::Hg},
     {"a", "b", "c1", nullptr, nullptr, nullptr, nullptr}},
    {DeviationRange::ArTPW, "Ar-TPW", {-189.3442, 0.01}, 2, {FixedPoint::Ar, FixedPoint::Hg}},
    {DeviationRange::HgGa, "Hg-Ga", {-38.8344, 29.7646}, 2, {FixedPoint::Hg, FixedPoint::Ga}},
    {DeviationRange::TPWAg, "TPW-Ag", {0, 961.78}, 4, {FixedPoint::Sn, FixedPoint::Zn, FixedPoint::Al, FixedPoint::Ag}},
    {DeviationRange::TPWAl, "TPW-Al", {0, 660.323}, 3, {FixedPoint::Sn, FixedPoint::Zn, FixedPoint::Al}},
    {DeviationRange::TPWZn, "TPW-Zn", {0, 419.527}, 2, {FixedPoint::Sn, FixedPoint::Zn}},
    {DeviationRange::TPWSn, "TPW-Sn", {0, 231.928}, 2, {FixedPoint::In, FixedPoint::Sn}},
    {DeviationRange::TPWIn, "TPW-In", {0, 156.5985}, 1, {FixedPoint::In}},
    {DeviationRange::TPWGa, "TPW-Ga", {0, 29.7646}, 1, {FixedPoint::Ga}},
};

// Each record sits at its own enumerator's place, and a range has a name and a fixed point
// for every coefficient it has and no point beyond them (TPW-Ag's d from the silver point).
constexpr bool records_in_order() {
    for (std::size_t i = 0; i < std::size(kFixedPoints); ++i) {
        if (static_cast<std::size_t>(kFixedPoints[i].point) != i) return false;
    }
    for (std::size_t i = 0; i < std::size(kDeviationRanges); ++i) {
        const DeviationRangeRecord& r = kDeviationRanges[i];
        if (static_cast<std::size_t>(r.range) != i) return false;
        for (int j = 0; j < kMostCoefficients; ++j) {
            const bool has = j < r.coefficients;
            if (has && r.names[static_cast<std::size_t>(j)] == nullptr) return false;
            if (r.points[static_cast<std::size_t>(j)].has_value() != has) return false;
        }
    }
    return true;
}
static_assert(records_in_order());
const DeviationRangeRecord& range_record(DeviationRange r);
std::optional<DeviationRange> range_named(std::string_view name);

// A thermometer's coefficients in a range (those it does not have are 0), and, for TPW-Ag,
// its own W at the aluminium point, above which the d term applies.
// Kept by slot: a, b, c, d from the argon point up; below it the slots c ... g hold c1 ... c5
// (the record's names say which).
struct Coefficients {
    double a = 0, b = 0, c = 0, d = 0;
    double w_al = 0;
    double e = 0, f = 0, g = 0;
};
// A coefficient by its slot, 0 ... 6 (a ... g).
double slot(const Coefficients& k, int i);
double& slot(Coefficients& k, int i);

// dW(W) = W - Wr of the range's deviation function.
double deviation(DeviationRange range, const Coefficients& k, double w);
// The ratio W at t90: W - dW(W) = Wr(t90), solved by iteration. OutOfRange outside the range.
Outcome<double> w_at(DeviationRange range, const Coefficients& k, double t90);
// t90 at a ratio W; OutOfRange outside the range's ratios.
Outcome<double> t90_at(DeviationRange range, const Coefficients& k, double w);
// For TPW-Ag: the thermometer's own W at the aluminium point from a, b and c.
double w_at_aluminium(const Coefficients& k);
// ITS-90's criteria for the platinum of an SPRT: W(Ga) >= 1.11807 or W(Hg) <= 0.844235; and, for
// one used up to the silver point, W(Ag) >= 4.2844. Each W is the thermometer's own, from its
// range's coefficients, where the range reaches the point (nothing where it does not).
inline constexpr double kLeastWGallium = 1.11807;
inline constexpr double kMostWMercury = 0.844235;
inline constexpr double kLeastWSilver = 4.2844;
struct Acceptance {
    std::optional<double> w_ga, w_hg, w_ag;
    bool platinum = true;  // W(Ga) or W(Hg) as the criterion asks (either, where both are known)
    bool silver = true;    // W(Ag), where the range reaches the silver point
    bool met() const { return platinum && silver; }
};
Acceptance acceptance(DeviationRange range, const Coefficients& k);

// Whether W(t90) rises through the whole range (a coefficient set that bends it back is no
// thermometer's).
bool monotonic(DeviationRange range, const Coefficients& k);

}  // namespace its90::sprt
