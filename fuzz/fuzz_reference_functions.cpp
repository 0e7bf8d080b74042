// Every reference function on any float bit pattern: a finite value, a rejection with the
// function's message (none for T90_B), or the floating-point exception, never anything else.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/its90.h"

namespace {

using its90::ReferenceFunction;

constexpr ReferenceFunction kFunctions[] = {
    its90::E90_S, its90::E90_R, its90::E90_B, its90::E90_K, its90::E90_N, its90::E90_J,
    its90::E90_E, its90::E90_T, its90::T90_S, its90::T90_R, its90::T90_B, its90::T90_K,
    its90::T90_N, its90::T90_J, its90::T90_E, its90::T90_T, its90::R_Pt100};

void check(ReferenceFunction f, float x) {
    try {
        const its90::Result r = f(x);
        if (r.accepted()) {
            if (!std::isfinite(r.value()) || !std::isfinite(x)) std::abort();
        } else {
            if (r.value() != 0.0) std::abort();
            // A rejection names the range the argument left, and the argument lies outside it.
            const its90::Rejection& why = r.rejection();
            if (why.cause != its90::Rejection::Cause::OutOfRange || !(why.lowest < why.highest)) {
                std::abort();
            }
            if (x >= static_cast<float>(why.lowest) && x <= static_cast<float>(why.highest)) std::abort();
        }
    } catch (const its90::FloatingPointError&) {
        // The contract allows the exception, but arguments outside a function's range are
        // rejected before any arithmetic and none inside can overflow: here it is a finding.
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(float)) return 0;
    float x;
    std::memcpy(&x, data, sizeof x);
    for (ReferenceFunction f : kFunctions) check(f, x);

    // Pow_n with the callers' exponents and beyond: a product or the exception.
    const auto n = static_cast<std::int16_t>(size > 4 ? static_cast<std::int8_t>(data[4]) : 3);
    try {
        const double p = its90::Pow_n(n, x);
        if (!std::isfinite(p) && std::isfinite(x)) std::abort();
    } catch (const its90::FloatingPointError&) {
    }
    return 0;
}
