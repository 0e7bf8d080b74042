// Number formats of the command line; '.' is the decimal separator whatever the locale.
#pragma once

#include <string>
#include <string_view>

namespace its90::cli {

// Up to 15 significant digits in the shortest form ("4.09623", "100"); no "-0".
std::string shortest(double value);
// Fixed decimals ("0.397"); no "-0.000".
std::string fixed(double value, int decimals);

// A text as it may reach a terminal: control characters (ESC, NUL, CR, ...) and bytes that
// are not UTF-8 written as \xNN; valid UTF-8 as it is.
std::string printable(std::string_view text);
// A word of the user's quoted in a message: printable, and cut to its first 40 characters
// and "…" when longer.
std::string quoted(std::string_view text);

}  // namespace its90::cli
