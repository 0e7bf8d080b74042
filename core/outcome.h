// The one way a computation of the calculator says it has no value: an Outcome holds either
// the value or a Rejection, which tells what was wrong in numbers (which quantity left which
// range, with its bounds) and no words. The words are made where a rejection is shown: the
// window has its own texts, the command line its own, in the user's language.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <utility>

namespace its90 {

// A floating-point fault (invalid operation, division by zero, overflow) in a stored result
// of a reference function. No argument inside a function's range causes one.
class FloatingPointError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Quantity : std::uint8_t {
    Temperature,  // degC
    Emf,          // mV
    Resistance,   // ohm
    Readings,     // how many readings a mean is taken of
    Uncertainty,  // an uncertainty: at least 0 and finite
    CoverageFactor,  // above 0
};

struct Rejection {
    enum class Cause : std::uint8_t {
        OutOfRange,       // the quantity lies outside lowest ... highest
        NotFinite,        // a value overflows the double range, or is not a number
        TwoTemperatures,  // two temperatures of the range share the quantity (type B's dip)
        // A fit's points and coefficients: `lowest` holds the temperature or the count named.
        NotAFixedPoint,   // a point's temperature is no fixed point of the range
        MissingPoint,     // the range needs a point at this fixed point
        SameTemperature,  // two points at one temperature
        TooFewPoints,     // fewer points than unknowns (lowest: how many are needed)
        TooFewAbove,      // a term needs more points above `highest` degC (lowest: how many)
        NotMonotonic,     // the coefficients make the curve turn back, or R0 is not above 0
        Unpublished,      // no published relation holds between lowest and highest
    };
    Cause cause;
    Quantity quantity;
    // The range that was left (OutOfRange) or that holds the two temperatures
    // (TwoTemperatures), both bounds included, in the unit of the quantity.
    double lowest = 0;
    double highest = 0;

    static constexpr Rejection out_of_range(Quantity q, double lowest, double highest) {
        return {Cause::OutOfRange, q, lowest, highest};
    }
    static constexpr Rejection not_finite(Quantity q) { return {Cause::NotFinite, q, 0, 0}; }
    friend constexpr bool operator==(const Rejection&, const Rejection&) = default;
};

template <typename T>
class Outcome {
public:
    constexpr Outcome(T value) : value_(std::move(value)) {}  // NOLINT: a value converts implicitly
    constexpr Outcome(Rejection rejection) : rejected_(true), rejection_(rejection) {}  // NOLINT

    static constexpr Outcome of(T value) { return Outcome(value); }

    constexpr bool ok() const { return !rejected_; }
    constexpr bool accepted() const { return !rejected_; }
    constexpr bool rejected() const { return rejected_; }
    // The value; T{} (0.0 for a number) after a rejection, which is what a caller that needs
    // a value takes.
    constexpr const T& value() const { return value_; }
    constexpr const T& operator*() const { return value_; }
    constexpr const T* operator->() const { return &value_; }
    // Meaningful only after a rejection.
    constexpr const Rejection& rejection() const { return rejection_; }

private:
    T value_{};
    bool rejected_ = false;
    Rejection rejection_{Rejection::Cause::NotFinite, Quantity::Temperature};
};

}  // namespace its90
