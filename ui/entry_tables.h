// The conversion panel's tables: one row per sensor, in the order the handlers try them.
// The temperature entry's table is the numeric core's, shared with the command line.
#pragma once

#include <cstdint>

#include "its90.h"
#include "temperature_entry.h"

namespace its90::ui {

// EMF entry: the accepted EMF (both bounds included) with its message and the inverse
// function. Pt100 has no row.
struct EmfEntryRow {
    int sensor;
    double lower;
    double upper;
    const char* message;
    ReferenceFunction function;
};

inline constexpr EmfEntryRow kEmfEntry[] = {
    {0, -0.236, 18.693, "输入的电势值不在本程序计算范围-0.236到18.693mV内!", T90_S},
    {1, 0, 13.82, "输入的电势值不在本程序计算范围0.291到13.820mV内!", T90_B},
    {2, -5.891, 54.886, "输入的电势值不在本程序计算范围-5.891到54.886mV内!", T90_K},
    {3, -3.99, 47.513, "输入的电势值不在本程序计算范围-3.990到47.513mV内!", T90_N},
    {4, -8.095, 69.553, "输入的电势值不在本程序计算范围-8.095到69.553mV内!", T90_J},
    {5, -8.825, 76.373, "输入的电势值不在本程序计算范围-8.825到76.373mV内!", T90_E},
    {6, -5.603, 20.872, "输入的电势值不在本程序计算范围-5.603到20.872mV内!", T90_T},
    {7, -0.226, 21.103, "输入的电势值不在本程序计算范围-0.226到21.103mV内!", T90_R},
};

// Sensor selection: the button caption and the hover prompts it sets. Pt100 leaves the
// prompt of the EMF field as it was (nullptr).
struct SensorRow {
    const char* caption;
    const char* temperature_prompt;
    const char* emf_prompt;
};

inline constexpr SensorRow kSensors[kSensorCount] = {
    {"S", "输入温度值(-50～1768.1℃)。", "输入电势值(-0.235～18.693mV)。"},
    {"B", "输入温度值(0～1820℃)。", "输入电势值(0.291～13.820mV)。"},
    {"K", "输入温度值(-270～1372℃)。", "输入电势值(-5.891～54.886mV)。"},
    {"N", "输入温度值(-270～1300℃)。", "输入电势值(-3.990～47.513mV)。"},
    {"J", "输入温度值(-210～1200℃)。", "输入电势值(-8.095～69.553mV)。"},
    {"E", "输入温度值(-270～1000℃)。", "输入电势值(-8.825～76.373mV)。"},
    {"T", "输入温度值(-270～400℃)。", "输入电势值(-5.603～20.872mV)。"},
    {"R", "输入温度值(-50～1768.1℃)。", "输入电势值(-0.226～21.103mV)。"},
    {"Pt100", "输入温度值(-200～850℃)。", nullptr},
};

}  // namespace its90::ui
