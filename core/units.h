// Temperatures in the units a technician may read them in: degrees Celsius (the program's own),
// kelvins and degrees Fahrenheit. A temperature converts with the scale's offset; a temperature
// difference (an interval, a tolerance, an uncertainty) only by the size of the degree.
#pragma once

namespace its90::units {

enum class TemperatureUnit { Celsius, Kelvin, Fahrenheit };

inline constexpr double kKelvinOffset = 273.15;  // T / K = t / degC + 273.15
inline constexpr double kFahrenheitPerKelvin = 1.8;

constexpr double to_celsius(double value, TemperatureUnit unit) {
    switch (unit) {
        case TemperatureUnit::Kelvin: return value - kKelvinOffset;
        case TemperatureUnit::Fahrenheit: return (value - 32) / kFahrenheitPerKelvin;
        case TemperatureUnit::Celsius: break;
    }
    return value;
}
constexpr double from_celsius(double t, TemperatureUnit unit) {
    switch (unit) {
        case TemperatureUnit::Kelvin: return t + kKelvinOffset;
        case TemperatureUnit::Fahrenheit: return t * kFahrenheitPerKelvin + 32;
        case TemperatureUnit::Celsius: break;
    }
    return t;
}
// A difference of temperatures, no offset.
constexpr double interval_from_celsius(double d, TemperatureUnit unit) {
    return unit == TemperatureUnit::Fahrenheit ? d * kFahrenheitPerKelvin : d;
}

}  // namespace its90::units
