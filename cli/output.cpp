#include "cli/output.h"

#include <cstdio>

namespace its90::cli {

namespace {

// The length of the UTF-8 character at the start of `s` (1 to 4), or 0 where there is none:
// a control character, a stray or truncated byte, an overlong form or a surrogate.
std::size_t character_length(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b = byte(0);
    if (b < 0x20 || b == 0x7F) return 0;
    if (b < 0x80) return 1;
    std::size_t n = 0;
    unsigned lowest = 0;
    if (b >= 0xC2 && b <= 0xDF) n = 2, lowest = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) n = 3, lowest = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) n = 4, lowest = 0x10000;
    else return 0;
    if (s.size() < n) return 0;
    unsigned code = b & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    // C1 control characters (U+0080 ... U+009F) act on terminals too.
    if (code >= 0x80 && code <= 0x9F) return 0;
    return n;
}

std::string printable(std::string_view text, std::size_t most_characters) {
    std::string result;
    std::size_t characters = 0;
    while (!text.empty()) {
        if (characters == most_characters) return result + "\u2026";
        const std::size_t n = character_length(text);
        if (n == 0) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[0]));
            result += escaped;
            text.remove_prefix(1);
        } else {
            result.append(text.substr(0, n));
            text.remove_prefix(n);
        }
        ++characters;
    }
    return result;
}

}  // namespace

std::string printable(std::string_view text) { return printable(text, std::string_view::npos); }

std::string quoted(std::string_view text) { return printable(text, 40); }

}  // namespace its90::cli
