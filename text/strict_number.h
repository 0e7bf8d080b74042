#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace its90::text {

// Reads a whole text as a decimal number ("12", "-0.236", "+1.5e3"); surrounding blanks are
// allowed. Anything else (an empty text, trailing characters, hexadecimal, nan, inf) is not
// a number; a number too large for a double (1e400), or so small that a double holds only 0
// for it (1e-400), is out of range. The decimal separator is always '.'.
struct StrictNumber {
    enum class Problem { None, NotANumber, OutOfRange };
    std::optional<double> value;
    Problem problem = Problem::None;
};
StrictNumber read_strict_number(std::string_view text);

// The value alone, nothing for any problem.
std::optional<double> parse_strict_number(std::string_view text);

}  // namespace its90::text

namespace its90::text {

// A strict decimal number's text with its decimal point moved `places` to the right, every
// digit it came with kept and no exponent: ("+1.638544E-02", 3) gives "16.38544",
// ("-2.50E-04", 3) gives "-0.250". Nothing for a text that is not a strict number.
std::optional<std::string> decimal_shifted(std::string_view text, int places);

}  // namespace its90::text
