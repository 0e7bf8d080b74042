// What a meter and a technician hand the instruments' layer as text: a reply (a number or
// anything at all), a profile file, a plan file, an address, a plan as the book keeps it.
// None may crash; a reply read as a number reads back as the same value; a plan that is
// read writes back to a text that reads as the same plan.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "instrument/address.h"
#include "instrument/plan.h"
#include "instrument/profile.h"
#include "text/strict_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace its90;
    for (int places : {0, 3, -3}) {
        if (const auto shifted = text::decimal_shifted(text, places)) {
            const auto value = text::parse_strict_number(*shifted);
            const auto original = text::parse_strict_number(text);
            // A value the double holds moves by exactly the power of ten, to within rounding.
            if (!value && original && std::fabs(*original) < 1e300 && std::fabs(*original) > 1e-300) __builtin_trap();
            if (value && original && *original != 0 && places == 0 && *value != *original) __builtin_trap();
        }
    }
    instrument::parse_profile(text, "fuzz");
    instrument::parse_address(text);
    const auto plan = instrument::plan_from_csv(text, instrument::Plan{}, 32, 32);
    if (const auto* p = std::get_if<instrument::Plan>(&plan)) {
        const auto back = instrument::plan_from_text(instrument::plan_text(*p));
        if (!back || !(*back == *p)) __builtin_trap();
    }
    instrument::plan_from_text(text);
    return 0;
}
