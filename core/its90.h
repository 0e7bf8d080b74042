// ITS-90 reference functions of thermocouples (IEC 60584-1 / NIST Monograph 175) and the
// Callendar-Van Dusen resistance of a Pt100 (IEC 60751).
//
// Every function takes its argument as a single-precision float, compares it with
// single-precision bounds and sums its polynomial in double, term by term from the constant
// term up, with each power built by Pow_n. An argument outside the function's range is not
// an error: the function returns a rejection that carries its range message, and the caller
// decides how to show it. A floating-point fault (invalid operation, division by zero,
// overflow) in any stored result throws FloatingPointError; no argument in range causes one.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace its90 {

class FloatingPointError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value of a reference function, or the rejection of an argument it has no formula for.
class Result {
public:
    static constexpr Result of(double value) { return Result(value, false, {}); }
    // `message` is the function's range message; it is empty for T90_B, which has none.
    static constexpr Result rejection(std::string_view message) { return Result(0.0, true, message); }

    constexpr bool accepted() const { return !rejected_; }
    constexpr bool rejected() const { return rejected_; }
    // The result; 0.0 for a rejection, which is what a caller that needs a number takes.
    constexpr double value() const { return value_; }
    constexpr std::string_view message() const { return message_; }

private:
    constexpr Result(double value, bool rejected, std::string_view message)
        : value_(value), rejected_(rejected), message_(message) {}
    double value_;
    bool rejected_;
    std::string_view message_;
};

// x to the power n as the n-fold product built up from 1.0, rounded to double after each
// factor. n <= 0 gives 1.0. The counter is 16-bit: n = 32767 overflows it after its last
// multiplication and throws FloatingPointError.
double Pow_n(std::int16_t n, float x);

// Rounds to `places` decimal places; a value exactly halfway goes to the even last digit.
double round_half_even(double x, int places);

// Narrows a double to single precision without undefined behaviour: a finite value beyond
// the single range becomes an infinity of its sign, which every function rejects.
float to_single(double x);

// EMF in mV from a temperature in degC, rounded to 5 decimal places.
Result E90_S(float t);
Result E90_R(float t);
Result E90_B(float t);
Result E90_K(float t);
Result E90_N(float t);
Result E90_J(float t);
Result E90_E(float t);
Result E90_T(float t);

// Temperature in degC from an EMF in mV, rounded to 4 decimal places.
Result T90_S(float e);
Result T90_R(float e);
Result T90_B(float e);  // rejects silently: its rejection has an empty message
Result T90_K(float e);
Result T90_N(float e);
Result T90_J(float e);
Result T90_E(float e);
Result T90_T(float e);

// Resistance in ohm of a Pt100 from a temperature in degC, unrounded.
Result R_Pt100(float t);

// The thermocouple types in the order of the window's sensor index (0 S ... 7 R).
enum class Thermocouple : std::uint8_t { S, B, K, N, J, E, T, R };
inline constexpr Thermocouple kAllThermocouples[] = {
    Thermocouple::S, Thermocouple::B, Thermocouple::K, Thermocouple::N,
    Thermocouple::J, Thermocouple::E, Thermocouple::T, Thermocouple::R};

using ReferenceFunction = Result (*)(float);

// The EMF at a temperature given as a double: the same sub-ranges, sums and order as E90_x,
// on the double and not rounded. For values printed to fewer places than E90_x rounds to,
// which would otherwise be rounded twice, and for the exact inverse.
Result emf_unrounded(Thermocouple type, double t);
// R_Pt100 on a double temperature.
Result R_Pt100_unrounded(double t);

}  // namespace its90
