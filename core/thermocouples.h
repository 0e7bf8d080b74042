// One record per thermocouple type: the sub-ranges of its reference function and of its
// published inverse, each with its decimal bounds and coefficients; the temperatures and
// EMFs an entry accepts; its tolerance classes. Every other place takes a type's facts from
// here, and the compiler checks each record when it is built (bounds ascending and so
// contiguous, coefficient counts within what Pow_n is given, classes in order).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/coefficients.h"
#include "core/outcome.h"

namespace its90 {

// The thermocouple types of IEC 60584-1, in the order of their letters.
enum class Thermocouple : std::uint8_t { B, E, J, K, N, R, S, T };
inline constexpr Thermocouple kAllThermocouples[] = {
    Thermocouple::B, Thermocouple::E, Thermocouple::J, Thermocouple::K,
    Thermocouple::N, Thermocouple::R, Thermocouple::S, Thermocouple::T};

// Both bounds included.
struct Range {
    double lowest;
    double highest;
    constexpr bool contains(double v) const { return v >= lowest && v <= highest; }
};

// A sub-range: it reaches up to `upper` (included unless `upper_included` is false) from the
// bound of the one before it (excluded), or from the function's lowest bound (included).
struct SubRange {
    double upper;  // as published, in decimal; a single-precision argument meets it as a float
    std::span<const double> c;  // c0 ... cN: index i multiplies the i-th power
    bool upper_included = true;
};

// A piecewise polynomial in one argument.
struct Piecewise {
    Quantity argument;
    double lowest;
    std::span<const SubRange> pieces;

    constexpr double highest() const { return pieces.back().upper; }
    constexpr Range range() const { return {lowest, highest()}; }
    constexpr Rejection out_of_range() const {
        return Rejection::out_of_range(argument, lowest, highest());
    }
};

// The exponential term a0 exp(a1 (t - a2)^2) that type K adds above 0 degC.
struct ExponentialTerm {
    double a0, a1, a2;
};

// A tolerance class: how far a sensor of the class may read from the reference function, in
// degC, at a temperature.
struct ToleranceClass {
    const char* name;  // "1" ... "3", "AA" ... "C": a class's designation in the standards
    // The temperatures the class covers, both bounds included; a class a type does not have
    // covers none (lowest above highest).
    double lowest;
    double highest;
    enum class Form : std::uint8_t {
        Larger,     // the larger of a and b |t|
        Sum,        // a + b |t|
        AboveKnee,  // a up to the knee, a + b (t - knee) above it
    } form;
    double a;
    double b;
    double knee = 0;

    constexpr bool exists() const { return lowest <= highest; }
    // The tolerance at t, or nothing where the class does not cover t.
    std::optional<double> at(double t) const;
};

struct ThermocoupleRecord {
    Thermocouple type;
    char letter;
    Piecewise emf;          // temperature (degC) -> EMF (mV), rounded to 5 places
    Piecewise temperature;  // EMF (mV) -> temperature (degC), rounded to 4 places
    ExponentialTerm exponential;  // all zero but for type K
    // What an entry of the type accepts (the window's fields, the command line's checks).
    Range accepted_temperatures;
    Range accepted_emfs;
    std::array<ToleranceClass, 3> classes;  // classes 1, 2, 3 of IEC 60584-1
};

namespace records {

using namespace coefficients;
using Form = ToleranceClass::Form;

constexpr ToleranceClass absent(const char* name) { return {name, 1, -1, Form::Larger, 0, 0}; }
// Classes 1 and 2 of the noble-metal types S and R.
constexpr std::array<ToleranceClass, 3> kNobleClasses = {{
    {"1", 0, 1600, Form::AboveKnee, 1.0, 0.003, 1100},
    {"2", 0, 1600, Form::Larger, 1.5, 0.0025},
    absent("3"),
}};

inline constexpr SubRange kES[] = {{1064.18, kES0}, {1664.5, kES1}, {1768.1, kES2}};
inline constexpr SubRange kTS[] = {{1.874, kTS0}, {11.95, kTS1}, {17.536, kTS2}, {18.693, kTS3}};
inline constexpr ThermocoupleRecord kS{
    Thermocouple::S, 'S',
    {Quantity::Temperature, -50, kES}, {Quantity::Emf, -0.236, kTS}, {},
    {-50, 1768.1}, {-0.236, 18.693}, kNobleClasses};

inline constexpr SubRange kEB[] = {{630.615, kEB0}, {1820, kEB1}};
inline constexpr SubRange kTB[] = {{2.431, kTB0}, {13.82, kTB1}};
// EMFs are accepted from 0 mV, below the inverse function's 0.291 mV.
inline constexpr ThermocoupleRecord kB{
    Thermocouple::B, 'B',
    {Quantity::Temperature, 0, kEB}, {Quantity::Emf, 0.291, kTB}, {},
    {0, 1820}, {0, 13.82},
    {{absent("1"), {"2", 600, 1700, Form::Larger, 0, 0.0025},
      {"3", 600, 1700, Form::Larger, 4.0, 0.005}}}};

// Type K's first sub-range ends below 0 degC: 0 itself belongs to the second, which carries
// the exponential term.
inline constexpr SubRange kEK[] = {{0, kEK0, false}, {1372, kEK1}};
inline constexpr SubRange kTK[] = {{0, kTK0}, {20.644, kTK1}, {54.886, kTK2}};
inline constexpr ThermocoupleRecord kK{
    Thermocouple::K, 'K',
    {Quantity::Temperature, -270, kEK}, {Quantity::Emf, -5.891, kTK},
    {0.118597600000E+00, -0.118343200000E-03, 0.126968600000E+03},
    {-270, 1372}, {-5.891, 54.886},
    {{{"1", -40, 1000, Form::Larger, 1.5, 0.004}, {"2", -40, 1200, Form::Larger, 2.5, 0.0075},
      {"3", -200, 40, Form::Larger, 2.5, 0.015}}}};

inline constexpr SubRange kEN[] = {{0, kEN0}, {1300, kEN1}};
inline constexpr SubRange kTN[] = {{0, kTN0}, {20.613, kTN1}, {47.513, kTN2}};
inline constexpr ThermocoupleRecord kN{
    Thermocouple::N, 'N',
    {Quantity::Temperature, -270, kEN}, {Quantity::Emf, -3.99, kTN}, {},
    {-270, 1300}, {-3.99, 47.513},
    {{{"1", -40, 1000, Form::Larger, 1.5, 0.004}, {"2", -40, 1200, Form::Larger, 2.5, 0.0075},
      {"3", -200, 40, Form::Larger, 2.5, 0.015}}}};

inline constexpr SubRange kEJ[] = {{760, kEJ0}, {1200, kEJ1}};
inline constexpr SubRange kTJ[] = {{0, kTJ0}, {42.919, kTJ1}, {69.553, kTJ2}};
// EMFs are accepted from -8.095 mV, below the inverse function's -8.059 mV.
inline constexpr ThermocoupleRecord kJ{
    Thermocouple::J, 'J',
    {Quantity::Temperature, -210, kEJ}, {Quantity::Emf, -8.059, kTJ}, {},
    {-210, 1200}, {-8.095, 69.553},
    {{{"1", -40, 750, Form::Larger, 1.5, 0.004}, {"2", -40, 750, Form::Larger, 2.5, 0.0075},
      absent("3")}}};

inline constexpr SubRange kEE[] = {{0, kEE0}, {1000, kEE1}};
inline constexpr SubRange kTE[] = {{0, kTE0}, {76.373, kTE1}};
inline constexpr ThermocoupleRecord kE{
    Thermocouple::E, 'E',
    {Quantity::Temperature, -270, kEE}, {Quantity::Emf, -8.825, kTE}, {},
    {-270, 1000}, {-8.825, 76.373},
    {{{"1", -40, 800, Form::Larger, 1.5, 0.004}, {"2", -40, 900, Form::Larger, 2.5, 0.0075},
      {"3", -200, 40, Form::Larger, 2.5, 0.015}}}};

inline constexpr SubRange kET[] = {{0, kET0}, {400, kET1}};
inline constexpr SubRange kTT[] = {{0, kTT0}, {20.872, kTT1}};
inline constexpr ThermocoupleRecord kT{
    Thermocouple::T, 'T',
    {Quantity::Temperature, -270, kET}, {Quantity::Emf, -5.603, kTT}, {},
    {-270, 400}, {-5.603, 20.872},
    {{{"1", -40, 350, Form::Larger, 0.5, 0.004}, {"2", -40, 350, Form::Larger, 1.0, 0.0075},
      {"3", -200, 40, Form::Larger, 1.0, 0.015}}}};

inline constexpr SubRange kER[] = {{1064.18, kER0}, {1664.5, kER1}, {1768.1, kER2}};
inline constexpr SubRange kTR[] = {{1.923, kTR0}, {13.228, kTR1}, {19.739, kTR2}, {21.103, kTR3}};
inline constexpr ThermocoupleRecord kR{
    Thermocouple::R, 'R',
    {Quantity::Temperature, -50, kER}, {Quantity::Emf, -0.226, kTR}, {},
    {-50, 1768.1}, {-0.226, 21.103}, kNobleClasses};

}  // namespace records

// By the Thermocouple enum.
inline constexpr std::array<const ThermocoupleRecord*, 8> kThermocoupleRecords = {
    &records::kB, &records::kE, &records::kJ, &records::kK,
    &records::kN, &records::kR, &records::kS, &records::kT};

constexpr const ThermocoupleRecord& record_of(Thermocouple type) {
    return *kThermocoupleRecords[static_cast<std::size_t>(type)];
}

// ---- What the compiler checks of every record -------------------------------------------

namespace records {

// Pow_n is given powers 0 ... 14 (the sums of the published sets).
constexpr bool valid(const Piecewise& f, Quantity argument) {
    if (f.argument != argument || f.pieces.empty()) return false;
    double below = f.lowest;
    for (const SubRange& p : f.pieces) {
        if (!(p.upper > below) || p.c.empty() || p.c.size() > 15) return false;
        below = p.upper;
    }
    return true;
}

constexpr bool valid(const std::array<ToleranceClass, 3>& classes) {
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const ToleranceClass& c = classes[i];
        if (c.name[0] != static_cast<char>('1' + i) || c.name[1] != '\0') return false;
        if (c.exists() && (c.a < 0 || c.b <= 0)) return false;
    }
    return true;
}

constexpr bool valid(const ThermocoupleRecord& r, std::size_t index) {
    return static_cast<std::size_t>(r.type) == index && valid(r.emf, Quantity::Temperature) &&
           valid(r.temperature, Quantity::Emf) && valid(r.classes) &&
           // An entry accepts only temperatures the reference function has a formula for.
           r.accepted_temperatures.lowest == r.emf.lowest &&
           r.accepted_temperatures.highest == r.emf.highest() &&
           r.accepted_emfs.highest == r.temperature.highest() &&
           r.accepted_emfs.lowest <= r.temperature.lowest &&
           (r.exponential.a0 != 0) == (r.type == Thermocouple::K);
}

constexpr bool all_valid() {
    const char letters[] = "BEJKNRST";
    for (std::size_t i = 0; i < kThermocoupleRecords.size(); ++i) {
        if (!valid(*kThermocoupleRecords[i], i) || kThermocoupleRecords[i]->letter != letters[i]) {
            return false;
        }
    }
    return true;
}
static_assert(all_valid(), "a thermocouple record is out of order");

}  // namespace records

}  // namespace its90
