// Working thermocouples checked against a standard type S thermocouple by comparison: both in
// one furnace at a nominal point t, their EMFs read in turn. From the means of the readings,
// the standard's own EMF at t (from its certificate or from its fixed-point calibration) and
// the differential values of both types at t:
//
//   de = e_uut + (e_cert - e_std) * S_uut / S_std - e_ref   (mV)
//   dt = de / S_uut * 1000                                  (degC)
//
// with e_ref the working type's reference EMF at t and S the differential values in uV/degC,
// each as the window shows it (5-place EMFs, differential values to 2 places). The verdict is
// the tightest tolerance class of the working type that covers |dt| at t. Numbers only.
#pragma once

#include <cstddef>
#include <span>

#include "calibration/type_s_calibration.h"
#include "core/outcome.h"
#include "core/thermocouples.h"

namespace its90::calibration {

// Each mean is of 1 to kMostReadings readings.
inline constexpr std::size_t kMostReadings = 20;

// The arithmetic mean of a point's readings (mV); OutOfRange of Quantity::Readings for none or
// more than kMostReadings, NotFinite where a reading is not finite.
Outcome<double> mean_of(std::span<const double> readings);

// The standard's own EMF at t from its fixed-point calibration: the 5-place type S reference
// EMF at t plus the unrounded deviation A + B t + C t^2. OutOfRange outside the calibration's
// -50 ... 1664.5 degC.
Outcome<double> standard_emf(const Calibration& calibration, double temperature);

// The points where a comparison of `type` has a result: both types' differential values exist
// there (the entries' ranges less 0.5 degC at each end).
Range comparison_points(Thermocouple type);

struct ComparisonInput {
    double temperature;                     // the nominal point, degC
    Thermocouple type;                      // the working thermocouple's
    std::span<const double> standard;       // the standard's readings, mV
    std::span<const double> working;        // the working thermocouple's readings, mV
    double standard_certificate;            // e_cert: the standard's own EMF at t, mV
};

struct ComparisonResult {
    double standard_mean;          // e_std
    double working_mean;           // e_uut
    double standard_certificate;   // e_cert
    double standard_seebeck;       // S_std, uV/degC
    double working_seebeck;        // S_uut, uV/degC
    double working_reference;      // e_ref, mV
    double delta_e;                // mV
    double delta_t;                // degC
    const ToleranceClass* tightest;  // the tightest class met; nullptr for none
};

// The comparison at one point. Rejected, naming the cause: a point outside
// comparison_points(type) (Temperature); a reading outside its type's accepted EMFs (Emf: the
// standard's as type S); a number of readings outside 1 ... kMostReadings (Readings); a
// certificate EMF that is not finite.
Outcome<ComparisonResult> compare(const ComparisonInput& input);

}  // namespace its90::calibration
