#include "instrument/stability.h"

#include <algorithm>
#include <cmath>

namespace its90::instrument {

Stability stability_of(std::span<const StabilityReading> readings, double seebeck_uV_per_C,
                       const StabilityLimits& limits) {
    Stability s;
    const std::size_t count = std::min(readings.size(), static_cast<std::size_t>(std::max(limits.count, 1)));
    const std::span<const StabilityReading> last = readings.last(count);
    s.readings = static_cast<int>(count);
    s.enough = s.readings >= limits.count;
    if (count >= 2) {
        // Both from the means first: the EMFs share their leading digits.
        double mean_t = 0;
        double mean_e = 0;
        for (const StabilityReading& r : last) {
            mean_t += r.seconds;
            mean_e += r.emf_mV;
        }
        mean_t /= static_cast<double>(count);
        mean_e /= static_cast<double>(count);
        double see = 0;
        double stt = 0;
        double ste = 0;
        for (const StabilityReading& r : last) {
            const double dt = r.seconds - mean_t;
            const double de = r.emf_mV - mean_e;
            see += de * de;
            stt += dt * dt;
            ste += dt * de;
        }
        s.sd_uV = std::sqrt(see / static_cast<double>(count - 1)) * 1000;
        const double slope_mV_per_s = stt > 0 ? ste / stt : 0;
        s.drift_C_per_min = std::fabs(slope_mV_per_s * 60 * 1000 / seebeck_uV_per_C);
    }
    s.sd_met = s.sd_uV <= limits.sd_uV;
    s.drift_met = s.drift_C_per_min <= limits.drift_C_per_min;
    return s;
}

}  // namespace its90::instrument
