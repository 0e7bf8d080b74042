// Calibration of a type S thermocouple at three fixed points of ITS-90: the deviations of the
// measured EMFs from the reference function, the quadratic deviation function through them,
// and the thermocouple's own EMF at any temperature from -50 to 1664.5 degC.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace its90::calibration {

enum class MiddlePoint { Aluminium, Antimony };

// Fixed-point temperatures at single precision, the argument type of E90_S.
inline constexpr float kZincPoint = 419.527f;
inline constexpr float kAluminiumPoint = 660.323f;
inline constexpr float kAntimonyPoint = 630.63f;
inline constexpr float kCopperPoint = 1084.62f;

// One term w * D[i] of a coefficient; a coefficient adds its terms in the order given.
struct Term {
    double weight;
    int deviation;  // 0 zinc (D1), 1 middle point (D2), 2 copper (D3)
};

struct WeightSet {
    std::array<Term, 3> a;
    std::array<Term, 3> b;
    std::array<Term, 3> c;  // the bracket of C, multiplied by 0.000001 afterwards
};

const WeightSet& weights(MiddlePoint middle);
float middle_point_temperature(MiddlePoint middle);

// Deviation function dE(t) = A + B t + C t^2 in mV.
struct DeviationFunction {
    double A, B, C;
};

// D1, D2, D3: measured EMF minus E90_S at each fixed point.
std::array<double, 3> deviations(double zinc_emf, double middle_emf, double copper_emf,
                                 MiddlePoint middle);
DeviationFunction deviation_function(const std::array<double, 3>& d, MiddlePoint middle);

// The graduation table's temperatures, 300 to 1100 degC by 100.
inline constexpr std::array<int, 9> kTableTemperatures = {300, 400, 500, 600, 700,
                                                          800, 900, 1000, 1100};
// The T1 box of each table row.
inline constexpr std::array<int, 9> kTableBoxes = {3, 4, 5, 6, 7, 8, 9, 10, 14};

// E90_S(T) + dE(T), unrounded, as the table computes it: (B T + A) + C T T + E.
double table_value(const DeviationFunction& f, int temperature);
// E90_S(t) + dE(t), unrounded, at a typed temperature: (t C) t + (t B + A) + E.
double value_at(const DeviationFunction& f, double temperature);

// ---- One run of the panel's change handler, from the texts of its boxes -----------------

inline constexpr const char* kTemperatureRangeMessage =
    "输入温度值不在本程序计算范围-50到1664.5℃内!";
inline constexpr const char* kOverflowMessage = "输入的电势值超出计算范围!";

struct PanelState {
    std::string zinc;         // T1(0)
    std::string middle;       // T1(1)
    std::string copper;       // T1(2)
    std::string temperature;  // T1(12)
    MiddlePoint middle_point;
    std::int16_t foc_flag;
};

struct PanelWrite {
    int box;  // index into the T1 array
    std::string text;
};

// What one run shows and writes: the message first (if any), then the writes in order.
struct PanelRun {
    std::string message;
    std::vector<PanelWrite> writes;
};

PanelRun run_panel(const PanelState& state);

}  // namespace its90::calibration
