// Texts of the user's that reach a terminal in the command line's messages.
#pragma once

#include <string>
#include <string_view>

namespace its90::cli {

// A text as it may reach a terminal: control characters (ESC, NUL, CR, ...) and bytes that
// are not UTF-8 written as \xNN; valid UTF-8 as it is.
std::string printable(std::string_view text);
// A word of the user's quoted in a message: printable, and cut to its first 40 characters
// and "…" when longer.
std::string quoted(std::string_view text);

}  // namespace its90::cli
