#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

#include "core/its90.h"
#include "core/pt100.h"

namespace its90 {
namespace {

// Every stored floating-point result passes through here. With finite operands a result
// that is not finite comes from an overflow, a division by zero or an invalid operation.
double checked(double x) {
    if (!std::isfinite(x)) throw FloatingPointError("floating-point fault in a reference function");
    return x;
}

// The sub-range of x, or nullptr outside the function. The first sub-range starts at the
// lowest bound (included); each later one just above the previous upper bound, so a value on
// an inner bound belongs to the lower sub-range unless that one excludes its upper bound
// (type K at 0 degC). A single-precision argument meets the bounds at single precision, a
// double one as the decimals they are.
template <typename Real>
const SubRange* find(const Piecewise& f, Real x) {
    const auto bound = [](double b) { return static_cast<Real>(b); };
    if (!(x >= bound(f.lowest))) return nullptr;  // also rejects NaN
    for (const SubRange& p : f.pieces) {
        if (p.upper_included ? x <= bound(p.upper) : x < bound(p.upper)) return &p;
    }
    return nullptr;
}

// x^n: Pow_n for a single-precision argument; the same n-fold product, built up from 1.0, for
// a double.
double power(std::size_t n, float x) { return Pow_n(static_cast<std::int16_t>(n), x); }
double power(std::size_t n, double x) {
    double r = 1.0;
    for (std::size_t k = 1; k <= n; ++k) r = checked(x * r);
    return r;
}

// S = x^i * c[i] + S for i = 0 .. N, each step rounded to double and checked.
template <typename Real>
double polynomial(std::span<const double> c, Real x) {
    double s = 0.0;
    for (std::size_t i = 0; i < c.size(); ++i) {
        const double term = checked(power(i, x) * c[i]);
        s = checked(term + s);
    }
    return s;
}

// A type's reference function, unrounded, with type K's exponential term above 0 degC.
template <typename Real>
Result reference_emf(const ThermocoupleRecord& r, Real t) {
    const SubRange* p = find(r.emf, t);
    if (p == nullptr) return r.emf.out_of_range();
    double s = polynomial(p->c, t);
    if (r.exponential.a0 != 0 && p != &r.emf.pieces.front()) {
        const ExponentialTerm& x = r.exponential;
        const double td = t;
        const double q = checked(checked(checked(td - x.a2) * x.a1) * checked(td - x.a2));
        s = checked(checked(checked(std::exp(q)) * x.a0) + s);
    }
    return s;
}

constexpr int kEmfPlaces = 5;
constexpr int kTemperaturePlaces = 4;

Result rounded(const Result& r, int places) {
    return r.rejected() ? r : Result(round_half_even(r.value(), places));
}

Result emf(Thermocouple type, float t) {
    return rounded(reference_emf(record_of(type), t), kEmfPlaces);
}

Result temperature(Thermocouple type, float e) {
    const Piecewise& f = record_of(type).temperature;
    const SubRange* p = find(f, e);
    if (p == nullptr) return f.out_of_range();
    return round_half_even(polynomial(p->c, e), kTemperaturePlaces);
}

}  // namespace

double Pow_n(std::int16_t n, float x) {
    double r = 1.0;
    if (n == 0) return r;
    const double xd = x;
    for (std::int32_t k = 1; k <= n; ++k) {
        r = checked(xd * r);
    }
    // The 16-bit counter is advanced past n once more when the loop ends.
    if (n == std::numeric_limits<std::int16_t>::max()) {
        throw FloatingPointError("overflow of the power counter");
    }
    return r;
}

double round_half_even(double x, int places) {
    static constexpr double kScale[] = {1.0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
                                        1e11, 1e12, 1e13, 1e14, 1e15};
    if (places < 0 || places > 15) throw std::invalid_argument("round_half_even: places");
    const double scale = kScale[places];
    const double scaled = checked(x * scale);
    // nearbyint rounds in the current mode, which is to nearest with ties to even.
    return std::nearbyint(scaled) / scale;
}

float to_single(double x) {
    if (std::isnan(x)) return std::numeric_limits<float>::quiet_NaN();
    if (x > FLT_MAX) return std::numeric_limits<float>::infinity();
    if (x < -FLT_MAX) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(x);
}

Result E90_S(float t) { return emf(Thermocouple::S, t); }
Result E90_R(float t) { return emf(Thermocouple::R, t); }
Result E90_B(float t) { return emf(Thermocouple::B, t); }
Result E90_K(float t) { return emf(Thermocouple::K, t); }
Result E90_N(float t) { return emf(Thermocouple::N, t); }
Result E90_J(float t) { return emf(Thermocouple::J, t); }
Result E90_E(float t) { return emf(Thermocouple::E, t); }
Result E90_T(float t) { return emf(Thermocouple::T, t); }

Result emf_unrounded(Thermocouple type, double t) { return reference_emf(record_of(type), t); }

Result T90_S(float e) { return temperature(Thermocouple::S, e); }
Result T90_R(float e) { return temperature(Thermocouple::R, e); }
Result T90_B(float e) { return temperature(Thermocouple::B, e); }
Result T90_K(float e) { return temperature(Thermocouple::K, e); }
Result T90_N(float e) { return temperature(Thermocouple::N, e); }
Result T90_J(float e) { return temperature(Thermocouple::J, e); }
Result T90_E(float e) { return temperature(Thermocouple::E, e); }
Result T90_T(float e) { return temperature(Thermocouple::T, e); }

namespace {

// Callendar-Van Dusen, IEC 60751.
template <typename Real>
Result callendar_van_dusen(Real t) {
    const Pt100Record& pt = kPt100Record;
    const double kPtA = pt.a, kPtB = pt.b, kPtC = pt.c, r0 = pt.r0;
    const double td = t;
    if (t >= static_cast<Real>(pt.temperatures.lowest) && t < 0) {
        const double u = checked(checked(td * kPtB) * td);
        const double v = checked(checked(td * kPtA) + 1.0);
        const double w = checked(u + v);
        const double z = checked(checked(checked(checked(checked(td - 100.0) * kPtC) * td) * td) * td);
        return checked(checked(w + z) * r0);
    }
    if (t >= 0 && t <= static_cast<Real>(pt.temperatures.highest)) {
        const double u = checked(checked(td * kPtB) * td);
        const double v = checked(checked(td * kPtA) + 1.0);
        return checked(checked(u + v) * r0);
    }
    return Rejection::out_of_range(Quantity::Temperature, pt.temperatures.lowest,
                                   pt.temperatures.highest);
}

}  // namespace

Result R_Pt100(float t) { return callendar_van_dusen(t); }
Result R_Pt100_unrounded(double t) { return callendar_van_dusen(t); }

}  // namespace its90
