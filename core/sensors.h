// The sensors of the calculator, by the sensor index of the window's buttons (0 S, 1 B, 2 K,
// 3 N, 4 J, 5 E, 6 T, 7 R, 8 Pt100): each one's functions, the temperatures and EMFs it
// accepts with the messages for values outside them, the prompts and units the window shows
// for it, and its differential value. This table is the one place that states them.
#pragma once

#include <array>
#include <optional>

#include "core/its90.h"

namespace its90 {

inline constexpr int kSensorCount = 9;
inline constexpr int kPt100 = 8;

struct Sensor {
    const char* caption;  // of its button: "S" ... "Pt100"

    // Temperatures the entry accepts (both bounds included), the message for one outside
    // them, and the function that gives the output (EMF in mV, or resistance in ohm).
    double lowest_temperature;
    double highest_temperature;
    const char* temperature_message;
    ReferenceFunction output;
    // The differential value: output(t + 0.5) - output(t - 0.5) times this factor (1000 for
    // uV/degC from mV; 1 for ohm/degC), rounded to 2 places.
    double differential_factor;

    // EMFs the entry accepts, its message and the inverse function; a Pt100 has none.
    double lowest_emf;
    double highest_emf;
    const char* emf_message;
    ReferenceFunction inverse;

    // Hover prompts of the temperature and EMF fields (a Pt100 leaves the EMF field's as it
    // was: nullptr), the unit beside the output, the differential value's unit and caption.
    const char* temperature_prompt;
    const char* emf_prompt;
    const char* output_unit;
    const char* differential_unit;
    const char* differential_caption;

    bool has_inverse() const { return inverse != nullptr; }
    bool accepts_temperature(double v) const {
        return v >= lowest_temperature && v <= highest_temperature;
    }
    bool accepts_emf(double v) const { return v >= lowest_emf && v <= highest_emf; }
    // The differential window: the accepted temperatures less 0.5 degC at each end.
    double lowest_differential() const { return lowest_temperature + 0.5; }
    double highest_differential() const { return highest_temperature - 0.5; }
    bool in_differential_window(double v) const {
        return v >= lowest_differential() && v <= highest_differential();
    }
};

namespace sensor_texts {
inline constexpr const char* kMillivolt = "mV";
inline constexpr const char* kMicrovoltPerDegree = "μV/℃";
inline constexpr const char* kEmfCaption = "微　 分　 电 　势:";
}  // namespace sensor_texts

inline constexpr std::array<Sensor, kSensorCount> kSensors = {{
    {"S", -50, 1768.1, "TE输入温度值不在本程序计算范围-50到1768.1℃内!", E90_S, 1000,
     -0.236, 18.693, "输入的电势值不在本程序计算范围-0.236到18.693mV内!", T90_S,
     "输入温度值(-50～1768.1℃)。", "输入电势值(-0.235～18.693mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    // Type B: EMFs are accepted from 0 mV, though its message names 0.291 mV.
    {"B", 0, 1820, "输入温度值不在本程序计算范围0到1820℃内!", E90_B, 1000,
     0, 13.82, "输入的电势值不在本程序计算范围0.291到13.820mV内!", T90_B,
     "输入温度值(0～1820℃)。", "输入电势值(0.291～13.820mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"K", -270, 1372, "输入温度值不在本程序计算范围-270到1372℃内!", E90_K, 1000,
     -5.891, 54.886, "输入的电势值不在本程序计算范围-5.891到54.886mV内!", T90_K,
     "输入温度值(-270～1372℃)。", "输入电势值(-5.891～54.886mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"N", -270, 1300, "输入温度值不在本程序计算范围-270到1300℃内!", E90_N, 1000,
     -3.99, 47.513, "输入的电势值不在本程序计算范围-3.990到47.513mV内!", T90_N,
     "输入温度值(-270～1300℃)。", "输入电势值(-3.990～47.513mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    // Type J: EMFs are accepted from -8.095 mV; the inverse function itself from -8.059 mV.
    {"J", -210, 1200, "输入温度值不在本程序计算范围-210到1200℃内!", E90_J, 1000,
     -8.095, 69.553, "输入的电势值不在本程序计算范围-8.095到69.553mV内!", T90_J,
     "输入温度值(-210～1200℃)。", "输入电势值(-8.095～69.553mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"E", -270, 1000, "输入温度值不在本程序计算范围-270到1000℃内!", E90_E, 1000,
     -8.825, 76.373, "输入的电势值不在本程序计算范围-8.825到76.373mV内!", T90_E,
     "输入温度值(-270～1000℃)。", "输入电势值(-8.825～76.373mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"T", -270, 400, "输入温度值不在本程序计算范围-270到400℃内!", E90_T, 1000,
     -5.603, 20.872, "输入的电势值不在本程序计算范围-5.603到20.872mV内!", T90_T,
     "输入温度值(-270～400℃)。", "输入电势值(-5.603～20.872mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"R", -50, 1768.1, "输入温度值不在本程序计算范围-50到1768.1℃内!", E90_R, 1000,
     -0.226, 21.103, "输入的电势值不在本程序计算范围-0.226到21.103mV内!", T90_R,
     "输入温度值(-50～1768.1℃)。", "输入电势值(-0.226～21.103mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"Pt100", -200, 850, "TE输入温度值不在本程序计算范围-200到850℃内!", R_Pt100, 1,
     0, 0, nullptr, nullptr,
     "输入温度值(-200～850℃)。", nullptr,
     "Ω", "Ω/℃", "微　 分　 电 　阻:"},
}};

// The sensor of a thermocouple type.
const Sensor& sensor_of(Thermocouple type);
const Sensor& pt100();

char letter(Thermocouple type);
std::optional<Thermocouple> thermocouple_from_letter(char letter);  // either case
ReferenceFunction emf_function(Thermocouple type);
ReferenceFunction temperature_function(Thermocouple type);

// The differential value at the temperature v, or nothing outside the differential window.
std::optional<double> differential_value(const Sensor& sensor, double v);

}  // namespace its90
