#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

#include "core/coefficients.h"
#include "core/its90.h"

namespace its90 {
namespace {

using namespace coefficients;

// Every stored floating-point result passes through here. With finite operands a result
// that is not finite comes from an overflow, a division by zero or an invalid operation.
double checked(double x) {
    if (!std::isfinite(x)) throw FloatingPointError("floating-point fault in a reference function");
    return x;
}

// One sub-range: its upper bound (single precision) and its coefficients c0..cN.
struct Piece {
    float upper;
    bool upper_included;
    std::span<const double> c;
};

// A piecewise polynomial. The first piece starts at `lower` (included); each later piece
// starts just above the previous upper bound, so a value on an inner bound belongs to the
// lower piece unless that piece excludes its upper bound (type K at 0 degC).
struct Piecewise {
    float lower;
    std::span<const Piece> pieces;
    std::string_view message;

    template <typename Real>
    const Piece* find(Real x) const {
        if (!(x >= lower)) return nullptr;  // also rejects NaN
        for (const Piece& p : pieces) {
            if (p.upper_included ? x <= p.upper : x < p.upper) return &p;
        }
        return nullptr;
    }
};

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

Result evaluate(const Piecewise& f, float x, int places) {
    const Piece* p = f.find(x);
    if (p == nullptr) return Result::rejection(f.message);
    return Result::of(round_half_even(polynomial(p->c, x), places));
}

constexpr int kEmfPlaces = 5;
constexpr int kTemperaturePlaces = 4;

// ---- EMF from temperature ----------------------------------------------------------------

constexpr Piece kPiecesES[] = {{1064.18f, true, kES0}, {1664.5f, true, kES1}, {1768.1f, true, kES2}};
constexpr Piece kPiecesER[] = {{1064.18f, true, kER0}, {1664.5f, true, kER1}, {1768.1f, true, kER2}};
constexpr Piece kPiecesEB[] = {{630.615f, true, kEB0}, {1820.0f, true, kEB1}};
constexpr Piece kPiecesEK[] = {{0.0f, false, kEK0}, {1372.0f, true, kEK1}};
constexpr Piece kPiecesEN[] = {{0.0f, true, kEN0}, {1300.0f, true, kEN1}};
constexpr Piece kPiecesEJ[] = {{760.0f, true, kEJ0}, {1200.0f, true, kEJ1}};
constexpr Piece kPiecesEE[] = {{0.0f, true, kEE0}, {1000.0f, true, kEE1}};
constexpr Piece kPiecesET[] = {{0.0f, true, kET0}, {400.0f, true, kET1}};

constexpr Piecewise kES{-50.0f, kPiecesES, "F输入温度值不在本程序计算范围-50到1768.1℃内!"};
constexpr Piecewise kER{-50.0f, kPiecesER, "输入温度值不在本程序计算范围-50到1768.1℃内!"};
constexpr Piecewise kEB{0.0f, kPiecesEB, "输入温度值不在本程序计算范围0到1820℃内!"};
constexpr Piecewise kEK{-270.0f, kPiecesEK, "输入温度值不在本程序计算范围-270到1372℃内!"};
constexpr Piecewise kEN{-270.0f, kPiecesEN, "输入温度值不在本程序计算范围-270到1300℃内!"};
constexpr Piecewise kEJ{-210.0f, kPiecesEJ, "输入温度值不在本程序计算范围-210到1200℃内!"};
constexpr Piecewise kEE{-270.0f, kPiecesEE, "输入温度值不在本程序计算范围-270到1000℃内!"};
constexpr Piecewise kET{-270.0f, kPiecesET, "输入温度值不在本程序计算范围-270到400℃内!"};

// The exponential term of type K above 0 degC: a0 * exp(a1 * (t - a2)^2).
constexpr double kA0 = 0.118597600000E+00;
constexpr double kA1 = -0.118343200000E-03;
constexpr double kA2 = 0.126968600000E+03;

// ---- Temperature from EMF ----------------------------------------------------------------

constexpr Piece kPiecesTS[] = {
    {1.874f, true, kTS0}, {11.95f, true, kTS1}, {17.536f, true, kTS2}, {18.693f, true, kTS3}};
constexpr Piece kPiecesTR[] = {
    {1.923f, true, kTR0}, {13.228f, true, kTR1}, {19.739f, true, kTR2}, {21.103f, true, kTR3}};
constexpr Piece kPiecesTB[] = {{2.431f, true, kTB0}, {13.82f, true, kTB1}};
constexpr Piece kPiecesTK[] = {{0.0f, true, kTK0}, {20.644f, true, kTK1}, {54.886f, true, kTK2}};
constexpr Piece kPiecesTN[] = {{0.0f, true, kTN0}, {20.613f, true, kTN1}, {47.513f, true, kTN2}};
constexpr Piece kPiecesTJ[] = {{0.0f, true, kTJ0}, {42.919f, true, kTJ1}, {69.553f, true, kTJ2}};
constexpr Piece kPiecesTE[] = {{0.0f, true, kTE0}, {76.373f, true, kTE1}};
constexpr Piece kPiecesTT[] = {{0.0f, true, kTT0}, {20.872f, true, kTT1}};

constexpr Piecewise kTS{-0.236f, kPiecesTS, "输入电势值不在本程序计算范围-0.236到18.693mV内!"};
constexpr Piecewise kTR{-0.226f, kPiecesTR, "输入电势值不在本程序计算范围-0.226到21.103mV内!"};
constexpr Piecewise kTB{0.291f, kPiecesTB, ""};
constexpr Piecewise kTK{-5.891f, kPiecesTK, "输入电势值不在本程序计算范围-5.891到54.886mV内!"};
constexpr Piecewise kTN{-3.99f, kPiecesTN, "输入电势值不在本程序计算范围-3.990到47.513mV内!"};
constexpr Piecewise kTJ{-8.059f, kPiecesTJ, "输入电势值不在本程序计算范围-8.059到 69.553mV内!"};
constexpr Piecewise kTE{-8.825f, kPiecesTE, "输入电势值不在本程序计算范围-8.825到 76.373mV内!"};
constexpr Piecewise kTT{-5.603f, kPiecesTT, "输入电势值不在本程序计算范围-5.603到20.872mV内!"};

// ---- Pt100 (Callendar-Van Dusen, IEC 60751, R0 = 100 ohm) --------------------------------

constexpr double kPtA = 0.0039083;
constexpr double kPtB = -5.775E-7;
constexpr double kPtC = -4.183E-12;
constexpr std::string_view kPtMessage = "输入温度值不在本程序计算范围-200到850℃内!";

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

Result E90_S(float t) { return evaluate(kES, t, kEmfPlaces); }
Result E90_R(float t) { return evaluate(kER, t, kEmfPlaces); }
Result E90_B(float t) { return evaluate(kEB, t, kEmfPlaces); }
Result E90_N(float t) { return evaluate(kEN, t, kEmfPlaces); }
Result E90_J(float t) { return evaluate(kEJ, t, kEmfPlaces); }
Result E90_E(float t) { return evaluate(kEE, t, kEmfPlaces); }
Result E90_T(float t) { return evaluate(kET, t, kEmfPlaces); }

// Type K adds a0 exp(a1 (t - a2)^2) above 0 degC.
template <typename Real>
Result type_k(Real t) {
    const Piece* p = kEK.find(t);
    if (p == nullptr) return Result::rejection(kEK.message);
    double s = polynomial(p->c, t);
    if (p == &kPiecesEK[1]) {
        const double td = t;
        const double q = checked(checked(checked(td - kA2) * kA1) * checked(td - kA2));
        s = checked(checked(checked(std::exp(q)) * kA0) + s);
    }
    return Result::of(s);
}

Result E90_K(float t) {
    const Result r = type_k(t);
    return r.rejected() ? r : Result::of(round_half_even(r.value(), kEmfPlaces));
}

Result emf_unrounded(Thermocouple type, double t) {
    static constexpr const Piecewise* kFunctions[] = {&kES, &kEB, nullptr, &kEN,
                                                      &kEJ, &kEE, &kET,    &kER};
    if (type == Thermocouple::K) return type_k(t);
    const Piecewise& f = *kFunctions[static_cast<std::size_t>(type)];
    const Piece* p = f.find(t);
    if (p == nullptr) return Result::rejection(f.message);
    return Result::of(polynomial(p->c, t));
}

Result T90_S(float e) { return evaluate(kTS, e, kTemperaturePlaces); }
Result T90_R(float e) { return evaluate(kTR, e, kTemperaturePlaces); }
Result T90_B(float e) { return evaluate(kTB, e, kTemperaturePlaces); }
Result T90_K(float e) { return evaluate(kTK, e, kTemperaturePlaces); }
Result T90_N(float e) { return evaluate(kTN, e, kTemperaturePlaces); }
Result T90_J(float e) { return evaluate(kTJ, e, kTemperaturePlaces); }
Result T90_E(float e) { return evaluate(kTE, e, kTemperaturePlaces); }
Result T90_T(float e) { return evaluate(kTT, e, kTemperaturePlaces); }

namespace {

template <typename Real>
Result callendar_van_dusen(Real t) {
    const double td = t;
    if (t >= -200.0f && t < 0.0f) {
        const double u = checked(checked(td * kPtB) * td);
        const double v = checked(checked(td * kPtA) + 1.0);
        const double w = checked(u + v);
        const double z = checked(checked(checked(checked(checked(td - 100.0) * kPtC) * td) * td) * td);
        return Result::of(checked(checked(w + z) * 100.0));
    }
    if (t >= 0.0f && t <= 850.0f) {
        const double u = checked(checked(td * kPtB) * td);
        const double v = checked(checked(td * kPtA) + 1.0);
        return Result::of(checked(checked(u + v) * 100.0));
    }
    return Result::rejection(kPtMessage);
}

}  // namespace

Result R_Pt100(float t) { return callendar_van_dusen(t); }
Result R_Pt100_unrounded(double t) { return callendar_van_dusen(t); }

}  // namespace its90
