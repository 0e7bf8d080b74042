#include "core/sensors.h"

#include <cctype>

namespace its90 {

const Sensor& sensor_of(Thermocouple type) { return kSensors[static_cast<std::size_t>(type)]; }

const Sensor& pt100() { return kSensors[kPt100]; }

char letter(Thermocouple type) { return record_of(type).letter; }

std::optional<Thermocouple> thermocouple_at(int sensor_index) {
    if (sensor_index < 0 || sensor_index >= kPt100) return std::nullopt;
    return kAllThermocouples[sensor_index];
}

std::optional<Thermocouple> thermocouple_from_letter(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (Thermocouple type : kAllThermocouples) {
        if (letter(type) == upper) return type;
    }
    return std::nullopt;
}

ReferenceFunction emf_function(Thermocouple type) { return sensor_of(type).output; }
ReferenceFunction temperature_function(Thermocouple type) { return sensor_of(type).inverse; }

std::optional<double> differential_value(const Sensor& sensor, double v) {
    if (!sensor.in_differential_window(v)) return std::nullopt;
    const Result upper = sensor.output(to_single(v + 0.5));
    const Result lower = sensor.output(to_single(v - 0.5));
    if (upper.rejected() || lower.rejected()) return std::nullopt;
    return round_half_even((upper.value() - lower.value()) * sensor.differential_factor, 2);
}

}  // namespace its90
