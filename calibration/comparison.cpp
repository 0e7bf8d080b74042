#include "calibration/comparison.h"

#include <cmath>

#include "core/its90.h"
#include "core/sensors.h"
#include "core/tolerances.h"

namespace its90::calibration {
namespace {

constexpr Rejection kNotFinite = Rejection::not_finite(Quantity::Emf);

// Every reading an EMF its sensor's entry accepts.
std::optional<Rejection> check_readings(std::span<const double> readings, const Sensor& sensor) {
    for (double r : readings) {
        if (!std::isfinite(r)) return kNotFinite;
        if (!sensor.accepts_emf(r)) return sensor.emf_rejection();
    }
    return std::nullopt;
}

}  // namespace

Outcome<double> mean_of(std::span<const double> readings) {
    if (readings.empty() || readings.size() > kMostReadings) {
        return Rejection::out_of_range(Quantity::Readings, 1, static_cast<double>(kMostReadings));
    }
    double sum = 0;
    for (double r : readings) sum += r;
    const double mean = sum / static_cast<double>(readings.size());
    if (!std::isfinite(mean)) return kNotFinite;
    return mean;
}

Outcome<double> standard_emf(const Calibration& calibration, double temperature) {
    if (!(temperature >= kLowestTemperature && temperature <= kHighestTemperature)) {
        return kTemperatureOutOfRange;
    }
    const double reference = E90_S(to_single(temperature)).value();
    const double e = reference + deviation_at(calibration, temperature);
    if (!std::isfinite(e)) return kNotFinite;
    return e;
}

Range comparison_points(Thermocouple type) {
    const Sensor& s = sensor_of(Thermocouple::S);
    const Sensor& x = sensor_of(type);
    return {std::max(s.lowest_differential(), x.lowest_differential()),
            std::min(s.highest_differential(), x.highest_differential())};
}

Outcome<ComparisonResult> compare(const ComparisonInput& in) {
    const Range points = comparison_points(in.type);
    if (!points.contains(in.temperature)) {
        return Rejection::out_of_range(Quantity::Temperature, points.lowest, points.highest);
    }
    const Sensor& standard = sensor_of(Thermocouple::S);
    const Sensor& working = sensor_of(in.type);
    if (auto bad = check_readings(in.standard, standard)) return *bad;
    if (auto bad = check_readings(in.working, working)) return *bad;
    const Outcome<double> e_std = mean_of(in.standard);
    if (!e_std.ok()) return e_std.rejection();
    const Outcome<double> e_uut = mean_of(in.working);
    if (!e_uut.ok()) return e_uut.rejection();
    if (!std::isfinite(in.standard_certificate)) return kNotFinite;

    // Inside the comparison points both differential values and the reference EMF exist.
    const double s_std = *differential_value(standard, in.temperature);
    const double s_uut = *differential_value(working, in.temperature);
    const double e_ref = working.output(to_single(in.temperature)).value();
    const double delta_e = *e_uut + (in.standard_certificate - *e_std) * s_uut / s_std - e_ref;
    const double delta_t = delta_e / s_uut * 1000;
    if (!std::isfinite(delta_e) || !std::isfinite(delta_t)) return kNotFinite;
    return ComparisonResult{*e_std, *e_uut, in.standard_certificate, s_std, s_uut, e_ref,
                            delta_e, delta_t,
                            tightest_class(tolerance_classes(in.type), in.temperature, delta_t)};
}

}  // namespace its90::calibration
