#include "cli/output.h"

#include <charconv>
#include <cstdio>

namespace its90::cli {

std::string shortest(double value) {
    if (value == 0.0) value = 0.0;
    // Byte for byte what printf's %.15g writes, without the locale and format parsing.
    char buffer[64];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, r.ptr);
}

std::string fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

}  // namespace its90::cli
