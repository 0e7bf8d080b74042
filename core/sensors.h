// The sensors of the calculator, the eight thermocouple types and the Pt100: each one's
// functions, the temperatures and EMFs an entry accepts and its differential value, taken
// from the type's record.
#pragma once

#include <array>
#include <optional>

#include "core/its90.h"
#include "core/pt100.h"

namespace its90 {

struct Sensor {
    const char* name;  // "S" ... "R", "Pt100": the symbol the standards give it
    // Temperatures an entry accepts, and the function that gives the output there (EMF in mV,
    // or resistance in ohm).
    Range temperatures;
    ReferenceFunction output;
    // The differential value: output(t + 0.5) - output(t - 0.5) times this factor (1000 for
    // uV/degC from mV; 1 for ohm/degC), rounded to 2 places.
    double differential_factor;
    // EMFs an entry accepts and the inverse function; a Pt100 has none.
    Range emfs;
    ReferenceFunction inverse;
    Quantity output_quantity;

    bool has_inverse() const { return inverse != nullptr; }
    bool accepts_temperature(double v) const { return temperatures.contains(v); }
    bool accepts_emf(double v) const { return emfs.contains(v); }
    // The differential window: the accepted temperatures less 0.5 degC at each end.
    double lowest_differential() const { return temperatures.lowest + 0.5; }
    double highest_differential() const { return temperatures.highest - 0.5; }
    bool in_differential_window(double v) const {
        return v >= lowest_differential() && v <= highest_differential();
    }
    // The rejection of a temperature or an EMF the entry does not accept.
    Rejection temperature_rejection() const {
        return Rejection::out_of_range(Quantity::Temperature, temperatures.lowest,
                                       temperatures.highest);
    }
    Rejection emf_rejection() const {
        return Rejection::out_of_range(Quantity::Emf, emfs.lowest, emfs.highest);
    }
};

namespace sensor_table {
constexpr Sensor thermocouple(Thermocouple type, const char* name, ReferenceFunction emf,
                              ReferenceFunction temperature) {
    const ThermocoupleRecord& r = record_of(type);
    return {name, r.accepted_temperatures, emf, 1000, r.accepted_emfs, temperature, Quantity::Emf};
}
}  // namespace sensor_table

// By the Thermocouple enum.
inline constexpr std::array<Sensor, 8> kThermocoupleSensors = {{
    sensor_table::thermocouple(Thermocouple::B, "B", E90_B, T90_B),
    sensor_table::thermocouple(Thermocouple::E, "E", E90_E, T90_E),
    sensor_table::thermocouple(Thermocouple::J, "J", E90_J, T90_J),
    sensor_table::thermocouple(Thermocouple::K, "K", E90_K, T90_K),
    sensor_table::thermocouple(Thermocouple::N, "N", E90_N, T90_N),
    sensor_table::thermocouple(Thermocouple::R, "R", E90_R, T90_R),
    sensor_table::thermocouple(Thermocouple::S, "S", E90_S, T90_S),
    sensor_table::thermocouple(Thermocouple::T, "T", E90_T, T90_T),
}};
inline constexpr Sensor kPt100Sensor{"Pt100", kPt100Record.temperatures, R_Pt100, 1, {0, 0},
                                     nullptr, Quantity::Resistance};
static_assert([] {
    for (Thermocouple type : kAllThermocouples) {
        const Sensor& s = kThermocoupleSensors[static_cast<std::size_t>(type)];
        if (s.name[0] != record_of(type).letter || s.name[1] != '\0') return false;
    }
    return true;
}());

// The sensor of a thermocouple type.
constexpr const Sensor& sensor_of(Thermocouple type) {
    return kThermocoupleSensors[static_cast<std::size_t>(type)];
}
constexpr const Sensor& pt100() { return kPt100Sensor; }

char letter(Thermocouple type);
std::optional<Thermocouple> thermocouple_from_letter(char letter);  // either case
ReferenceFunction emf_function(Thermocouple type);
ReferenceFunction temperature_function(Thermocouple type);

// The differential value at the temperature v, or nothing outside the differential window.
std::optional<double> differential_value(const Sensor& sensor, double v);

}  // namespace its90
