// The sensors of the calculator with the temperatures each accepts and its differential value:
// the output at t + 0.5 degC minus the output at t - 0.5 degC (both at single precision),
// times a factor (1000: mV/degC to uV/degC; 1 for the Pt100's ohm/degC), rounded to 2 places.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "its90.h"

namespace its90 {

// The sensor index of the window's buttons: 0 S, 1 B, 2 K, 3 N, 4 J, 5 E, 6 T, 7 R, 8 Pt100.
inline constexpr int kSensorCount = 9;
inline constexpr int kPt100 = 8;

struct TemperatureEntryRow {
    int sensor;
    double lower;  // accepted temperatures, both bounds included
    double upper;
    const char* message;  // shown for a temperature outside them
    ReferenceFunction function;
    double differential_lower;  // the accepted range less 0.5 degC at each end
    double differential_upper;
    double factor;
};

// One row per sensor, in the order the temperature entry tries them.
inline constexpr TemperatureEntryRow kTemperatureEntry[] = {
    {0, -50, 1768.1, "TE输入温度值不在本程序计算范围-50到1768.1℃内!", E90_S, -49.5, 1767.6, 1000},
    {8, -200, 850, "TE输入温度值不在本程序计算范围-200到850℃内!", R_Pt100, -199.5, 849.5, 1},
    {1, 0, 1820, "输入温度值不在本程序计算范围0到1820℃内!", E90_B, 0.5, 1819.5, 1000},
    {2, -270, 1372, "输入温度值不在本程序计算范围-270到1372℃内!", E90_K, -269.5, 1371.5, 1000},
    {3, -270, 1300, "输入温度值不在本程序计算范围-270到1300℃内!", E90_N, -269.5, 1299.5, 1000},
    {4, -210, 1200, "输入温度值不在本程序计算范围-210到1200℃内!", E90_J, -209.5, 1199.5, 1000},
    {5, -270, 1000, "输入温度值不在本程序计算范围-270到1000℃内!", E90_E, -269.5, 999.5, 1000},
    {6, -270, 400, "输入温度值不在本程序计算范围-270到400℃内!", E90_T, -269.5, 399.5, 1000},
    {7, -50, 1768.1, "输入温度值不在本程序计算范围-50到1768.1℃内!", E90_R, -49.5, 1767.6, 1000},
};

// The row of a sensor index (0 ... 8), or nullptr.
const TemperatureEntryRow* temperature_entry(int sensor);
// The sensor index of a thermocouple type.
int sensor_index(Thermocouple type);

bool accepts(const TemperatureEntryRow& row, double v);
bool in_differential_window(const TemperatureEntryRow& row, double v);

// The differential value at the temperature v, or nothing outside the differential window.
std::optional<double> differential_value(const TemperatureEntryRow& row, double v);

}  // namespace its90
