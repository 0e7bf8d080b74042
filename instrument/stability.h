// Whether the furnace has settled at a point, from the standard's last readings: their
// standard deviation (uV) and their drift, the slope of a straight line through them against
// time, in degC/min through the standard's differential value at the point.
#pragma once

#include <span>

namespace its90::instrument {

struct StabilityLimits {
    int count = 10;                // the readings looked at
    double sd_uV = 3;              // their standard deviation at most
    double drift_C_per_min = 0.1;  // their drift at most, either way
    bool operator==(const StabilityLimits&) const = default;
};

struct StabilityReading {
    double seconds;  // since any fixed moment
    double emf_mV;
};

struct Stability {
    int readings = 0;            // looked at: up to the limits' count
    double sd_uV = 0;            // 0 for fewer than 2
    double drift_C_per_min = 0;  // its size; 0 for fewer than 2
    bool enough = false;         // as many as the limits' count
    bool sd_met = false;
    bool drift_met = false;
    bool stable() const { return enough && sd_met && drift_met; }
};

// The last `limits.count` of `readings` (oldest first) looked at; `seebeck_uV_per_C` is the
// standard's differential value at the point, above 0.
Stability stability_of(std::span<const StabilityReading> readings, double seebeck_uV_per_C,
                       const StabilityLimits& limits);

}  // namespace its90::instrument
