// Resistance thermometers' coefficients from their resistances at known temperatures: an SPRT's
// deviation function from its fixed points (one linear equation a point, exactly as many points
// as coefficients), an industrial PRT's Callendar-Van Dusen coefficients by least squares.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "core/cvd.h"
#include "core/outcome.h"
#include "core/sprt.h"

namespace its90::calibration {

struct TemperatureResistance {
    double t90;  // degC
    double r;    // ohm
};

// An SPRT's coefficients in `range` from R_TPW and its resistances at the range's fixed points,
// each point at its assigned temperature (within 0.00005 degC), a measured one (near 17 K and
// 20.3 K) anywhere in its window and taken at its own temperature. TPW-Ag: a, b, c from Sn, Zn
// and Al, then d from Ag, with W_Al the thermometer's own ratio at Al. Rejected: R_TPW not
// above 0 (NotMonotonic); a point that is no fixed point of the range (NotAFixedPoint); one
// the range needs missing (MissingPoint); two at one temperature or in one window
// (SameTemperature; lowest ... highest the window, a point for an assigned one); a set that
// bends the curve back (NotMonotonic).
Outcome<sprt::Coefficients> fit_sprt(sprt::DeviationRange range, double r_tpw,
                                     std::span<const TemperatureResistance> points);

struct CvdFit {
    cvd::Coefficients coefficients;
    bool has_c;                     // a point lay below 0 degC
    bool has_d = false;             // D was fitted too
    std::vector<double> residual_mohm;  // measured - fitted, per point
    std::vector<double> residual_c;     // the same in degC (over dR/dt)
};

// R0, A, B (and C when a point lies below 0 degC, and D when `with_d` asks for it) by linear
// least squares in R0, R0 A, R0 B, R0 C, R0 D; exact when the points equal the unknowns.
// Rejected: fewer points than unknowns (TooFewPoints), two at one temperature
// (SameTemperature), a point outside -200 ... 850 degC (OutOfRange), D asked for without
// two points above 0 degC besides the one at 0 (TooFewPoints), a result whose R0 is not above
// 0 or whose curve turns back (NotMonotonic).
Outcome<CvdFit> fit_cvd(std::span<const TemperatureResistance> points, bool with_d = false);

// ---- What the points' uncertainty does to a temperature ------------------------------------
// Each point's resistance has the standard uncertainty u (ohm). The fit is done again with each
// point in turn raised by u; each refit moves the curve at t by some amount, which over the
// curve's slope there is a temperature, and U(t) = 2 sqrt(sum of their squares) (k = 2, degC).
// The refits are nothing when any of them fails: a U that left a point out would be too small.
// (R_TPW itself is taken as exact: W = 1 at 0.01 degC whatever it is.)
std::optional<std::vector<sprt::Coefficients>> sprt_refits(sprt::DeviationRange range, double r_tpw,
                                                           std::span<const TemperatureResistance> points,
                                                           double u);
std::optional<std::vector<cvd::Coefficients>> cvd_refits(std::span<const TemperatureResistance> points, double u,
                                                          bool with_d = false);
// U(t90) of an SPRT with coefficients k and those refits; nothing outside the range.
std::optional<double> sprt_expanded(sprt::DeviationRange range, const sprt::Coefficients& k,
                                    std::span<const sprt::Coefficients> refits, double t90);
// U(t) of a CVD thermometer; nothing outside -200 ... 850 degC.
std::optional<double> cvd_expanded(const cvd::Coefficients& k, std::span<const cvd::Coefficients> refits, double t);

}  // namespace its90::calibration
