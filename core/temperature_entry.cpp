#include "temperature_entry.h"

namespace its90 {

const TemperatureEntryRow* temperature_entry(int sensor) {
    for (const TemperatureEntryRow& row : kTemperatureEntry) {
        if (row.sensor == sensor) return &row;
    }
    return nullptr;
}

int sensor_index(Thermocouple type) { return static_cast<int>(type); }

bool accepts(const TemperatureEntryRow& row, double v) { return v >= row.lower && v <= row.upper; }

bool in_differential_window(const TemperatureEntryRow& row, double v) {
    return v >= row.differential_lower && v <= row.differential_upper;
}

std::optional<double> differential_value(const TemperatureEntryRow& row, double v) {
    if (!in_differential_window(row, v)) return std::nullopt;
    const Result upper = row.function(to_single(v + 0.5));
    const Result lower = row.function(to_single(v - 0.5));
    if (upper.rejected() || lower.rejected()) return std::nullopt;
    return round_half_even((upper.value() - lower.value()) * row.factor, 2);
}

}  // namespace its90
