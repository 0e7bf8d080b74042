#pragma once

#include <optional>
#include <string_view>

namespace its90::text {

// Reads a whole text as a decimal number ("12", "-0.236", "+1.5e3"); surrounding blanks are
// allowed. Anything else (an empty text, trailing characters, hexadecimal, nan, inf, or a
// number beyond the double range) gives nothing. The decimal separator is always '.'.
std::optional<double> parse_strict_number(std::string_view text);

}  // namespace its90::text
