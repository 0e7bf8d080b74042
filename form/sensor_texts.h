// The window's sensors by the index of their buttons (0 S, 1 B, 2 K, 3 N, 4 J, 5 E, 6 T,
// 7 R, 8 Pt100), and the window's words for each: the range messages of its entries and of
// its reference functions, the prompts, the units and the caption of the differential
// value. The messages are the window's own, letter for letter (the leading "F" and "TE" of
// some included).
#pragma once

#include <array>

#include "core/sensors.h"

namespace its90::form {

inline constexpr int kSensorCount = 9;
inline constexpr int kPt100 = 8;

inline constexpr std::array<const Sensor*, kSensorCount> kWindowSensors = {
    &sensor_of(Thermocouple::S), &sensor_of(Thermocouple::B),
    &sensor_of(Thermocouple::K), &sensor_of(Thermocouple::N),
    &sensor_of(Thermocouple::J), &sensor_of(Thermocouple::E),
    &sensor_of(Thermocouple::T), &sensor_of(Thermocouple::R), &kPt100Sensor};

// The sensor of a button; index 0 ... kSensorCount - 1.
inline const Sensor& window_sensor(int index) { return *kWindowSensors[static_cast<std::size_t>(index)]; }

struct SensorTexts {
    const char* temperature_message;  // a temperature its entry does not accept
    const char* emf_message;          // an EMF its entry does not accept; nullptr for a Pt100
    const char* output_message;       // its reference function's own: E90_x, R_Pt100
    // T90_x's own; nullptr for T90_B, which shows none, and for a Pt100.
    const char* inverse_message;
    // Hover prompts of the temperature and EMF fields (a Pt100 leaves the EMF field's as it
    // was: nullptr), the unit beside the output, the differential value's unit and caption.
    const char* temperature_prompt;
    const char* emf_prompt;
    const char* output_unit;
    const char* differential_unit;
    const char* differential_caption;
};

namespace sensor_texts {
inline constexpr const char* kMillivolt = "mV";
inline constexpr const char* kMicrovoltPerDegree = "μV/℃";
inline constexpr const char* kEmfCaption = "微　 分　 电 　势:";
}  // namespace sensor_texts

inline constexpr std::array<SensorTexts, kSensorCount> kSensorTexts = {{
    {"TE输入温度值不在本程序计算范围-50到1768.1℃内!", "输入的电势值不在本程序计算范围-0.236到18.693mV内!",
     "F输入温度值不在本程序计算范围-50到1768.1℃内!", "输入电势值不在本程序计算范围-0.236到18.693mV内!",
     "输入温度值(-50～1768.1℃)。", "输入电势值(-0.235～18.693mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    // Type B: EMFs are accepted from 0 mV, though its message names 0.291 mV.
    {"输入温度值不在本程序计算范围0到1820℃内!", "输入的电势值不在本程序计算范围0.291到13.820mV内!",
     "输入温度值不在本程序计算范围0到1820℃内!", nullptr,
     "输入温度值(0～1820℃)。", "输入电势值(0.291～13.820mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"输入温度值不在本程序计算范围-270到1372℃内!", "输入的电势值不在本程序计算范围-5.891到54.886mV内!",
     "输入温度值不在本程序计算范围-270到1372℃内!", "输入电势值不在本程序计算范围-5.891到54.886mV内!",
     "输入温度值(-270～1372℃)。", "输入电势值(-5.891～54.886mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"输入温度值不在本程序计算范围-270到1300℃内!", "输入的电势值不在本程序计算范围-3.990到47.513mV内!",
     "输入温度值不在本程序计算范围-270到1300℃内!", "输入电势值不在本程序计算范围-3.990到47.513mV内!",
     "输入温度值(-270～1300℃)。", "输入电势值(-3.990～47.513mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    // Type J: EMFs are accepted from -8.095 mV; the inverse function itself from -8.059 mV.
    {"输入温度值不在本程序计算范围-210到1200℃内!", "输入的电势值不在本程序计算范围-8.095到69.553mV内!",
     "输入温度值不在本程序计算范围-210到1200℃内!", "输入电势值不在本程序计算范围-8.059到 69.553mV内!",
     "输入温度值(-210～1200℃)。", "输入电势值(-8.095～69.553mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"输入温度值不在本程序计算范围-270到1000℃内!", "输入的电势值不在本程序计算范围-8.825到76.373mV内!",
     "输入温度值不在本程序计算范围-270到1000℃内!", "输入电势值不在本程序计算范围-8.825到 76.373mV内!",
     "输入温度值(-270～1000℃)。", "输入电势值(-8.825～76.373mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"输入温度值不在本程序计算范围-270到400℃内!", "输入的电势值不在本程序计算范围-5.603到20.872mV内!",
     "输入温度值不在本程序计算范围-270到400℃内!", "输入电势值不在本程序计算范围-5.603到20.872mV内!",
     "输入温度值(-270～400℃)。", "输入电势值(-5.603～20.872mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"输入温度值不在本程序计算范围-50到1768.1℃内!", "输入的电势值不在本程序计算范围-0.226到21.103mV内!",
     "输入温度值不在本程序计算范围-50到1768.1℃内!", "输入电势值不在本程序计算范围-0.226到21.103mV内!",
     "输入温度值(-50～1768.1℃)。", "输入电势值(-0.226～21.103mV)。",
     sensor_texts::kMillivolt, sensor_texts::kMicrovoltPerDegree, sensor_texts::kEmfCaption},
    {"TE输入温度值不在本程序计算范围-200到850℃内!", nullptr,
     "输入温度值不在本程序计算范围-200到850℃内!", nullptr,
     "输入温度值(-200～850℃)。", nullptr,
     "Ω", "Ω/℃", "微　 分　 电 　阻:"},
}};

// The calibration panel's messages: a temperature outside -50 ... 1664.5 degC, and EMFs that
// give values beyond the computable range.
inline constexpr const char* kCalibrationTemperatureMessage =
    "输入温度值不在本程序计算范围-50到1664.5℃内!";
inline constexpr const char* kCalibrationOverflowMessage = "输入的电势值超出计算范围!";

// The status line's words for a box whose text was read only in part: the number read goes
// between the two halves; a text without any digit is read as 0.
inline constexpr const char* kPartlyReadBefore = "只读取了 ";
inline constexpr const char* kPartlyReadAfter = "，其余文字未读";
inline constexpr const char* kNothingRead = "未读到数字，按 0 计算";

}  // namespace its90::form
