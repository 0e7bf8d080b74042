#include "core/sensors.h"

#include <cctype>

namespace its90 {

char letter(Thermocouple type) { return record_of(type).letter; }


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
