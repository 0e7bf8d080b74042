#include "text/strict_number.h"


#include "text/number_text.h"

namespace its90::text {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Decimal digits, an optional sign, one point and an optional exponent, and nothing else.
bool has_decimal_shape(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exponent_digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++exponent_digits;
        if (exponent_digits == 0) return false;
    }
    return i == s.size();
}

}  // namespace

StrictNumber read_strict_number(std::string_view text) {
    using Problem = StrictNumber::Problem;
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    if (!has_decimal_shape(text)) return {std::nullopt, Problem::NotANumber};
    if (text.front() == '+') text.remove_prefix(1);  // from_chars takes no plus sign
    bool out_of_range = false;
    const double value = decimal_to_double(text, &out_of_range);
    if (out_of_range) return {std::nullopt, Problem::OutOfRange};
    return {value, Problem::None};
}

std::optional<double> parse_strict_number(std::string_view text) {
    return read_strict_number(text).value;
}

}  // namespace its90::text
