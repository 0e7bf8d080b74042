// Text_to_num on any text, and the two number-to-text forms on any double: no crash, no
// undefined behaviour, and a finite number's text reads back to the same 15 digits.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "text/number_text.h"

namespace {

std::string digits15(double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", x);
    return buffer;
}

void check_round_trip(double x) {
    if (!std::isfinite(x)) return;
    const double zero_as_positive = x == 0.0 ? 0.0 : x;
    // Within 5e-16 of the largest double the 15 digits themselves lie beyond the double
    // range ("1.79769313486232E+308"), and such a text reads as an infinity.
    if (std::fabs(std::strtod(digits15(x).c_str(), nullptr)) == HUGE_VAL) {
        if (!std::isinf(its90::text::Text_to_num(its90::text::Num_to_text_sign(x)))) std::abort();
        return;
    }
    const std::string sign_form = its90::text::Num_to_text_sign(x);
    if (digits15(its90::text::Text_to_num(sign_form)) != digits15(zero_as_positive)) std::abort();
    const std::string plain_form = its90::text::Num_to_text(x, ".");
    if (digits15(its90::text::Text_to_num(plain_form)) != digits15(zero_as_positive)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = its90::text::Text_to_num(text);
    if (std::isnan(value)) std::abort();  // a text reads as a number, 0 or an infinity
    check_round_trip(value);
    if (size >= sizeof(double)) {
        double bits;
        std::memcpy(&bits, data, sizeof bits);
        check_round_trip(bits);
    }
    return 0;
}
