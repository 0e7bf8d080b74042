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

namespace its90::text {

std::optional<std::string> decimal_shifted(std::string_view text, int places) {
    const StrictNumber read = read_strict_number(text);
    if (!read.value) return std::nullopt;
    // The blanks the strict reader passes over, at either end.
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string digits;
    long point = -1;  // digits before the decimal point
    std::size_t i = 0;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') point = static_cast<long>(digits.size());
        else digits += text[i];
    }
    if (point < 0) point = static_cast<long>(digits.size());
    long exponent = 0;
    if (i < text.size()) {
        const std::optional<double> e = parse_strict_number(text.substr(i + 1));
        // A double holds nothing beyond 1e±400; the number read already as one.
        if (!e || *e > 400 || *e < -400) return std::nullopt;
        exponent = static_cast<long>(*e);
    }
    const long at = point + exponent + places;
    const long size = static_cast<long>(digits.size());
    std::string out;
    if (at <= 0) {
        out = "0." + std::string(static_cast<std::size_t>(-at), '0') + digits;
    } else if (at >= size) {
        out = digits + std::string(static_cast<std::size_t>(at - size), '0');
    } else {
        out = digits.substr(0, static_cast<std::size_t>(at)) + "." + digits.substr(static_cast<std::size_t>(at));
    }
    // Leading zeros say nothing: one is kept before the point.
    std::size_t zeros = 0;
    while (zeros + 1 < out.size() && out[zeros] == '0' && out[zeros + 1] != '.') ++zeros;
    out.erase(0, zeros);
    return negative ? "-" + out : out;
}

}  // namespace its90::text
