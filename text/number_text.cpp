#include "text/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <limits>

namespace its90::text {
namespace {

bool is_skipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A cursor over the text that passes over blanks, tabs and line feeds.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}
    char peek() {
        while (pos_ < text_.size() && is_skipped(text_[pos_])) ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void next() { taken_ = ++pos_; }
    // Where the characters taken so far end.
    std::size_t taken() const { return taken_; }
    // Whether only skipped characters follow `end`.
    bool rest_is_skipped(std::size_t end) const {
        for (std::size_t i = end; i < text_.size(); ++i) {
            if (!is_skipped(text_[i])) return false;
        }
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t taken_ = 0;
};

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

void take_sign(Reader& r, std::string& into) {
    if (r.peek() == '+' || r.peek() == '-') {
        into += r.peek();
        r.next();
    }
}

// Appends the decimal digits that follow; tells whether there was any.
bool take_digits(Reader& r, std::string& into) {
    bool any = false;
    while (is_digit(r.peek())) {
        into += r.peek();
        r.next();
        any = true;
    }
    return any;
}

double read_integer(Reader& r, int base) {
    double value = 0.0;
    while (digit_value(r.peek()) < base) {
        value = value * base + digit_value(r.peek());
        r.next();
    }
    return value;
}

// The 15 significant digits of a positive finite magnitude, without trailing zeros, and the
// decimal exponent of the first digit.
struct Digits {
    std::string digits;
    int exponent;
};

Digits significant_digits(double magnitude) {
    char buffer[64];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer - 1, magnitude,
                                                       std::chars_format::scientific, 14);
    *written.ptr = '\0';
    Digits d{{}, 0};
    const char* p = buffer;
    for (; *p != '\0' && *p != 'e'; ++p) {
        if (is_digit(*p)) d.digits += *p;  // skips the point, whatever the C locale
    }
    if (*p == 'e') d.exponent = std::atoi(p + 1);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

std::string format(double x, std::string_view positive_prefix, bool zero_before_point,
                   std::string_view separator) {
    if (x == 0.0) return std::string(positive_prefix) + "0";
    if (std::isnan(x)) return "NaN";
    std::string text(x < 0 ? "-" : positive_prefix);
    if (std::isinf(x)) return text + "Infinity";

    const Digits d = significant_digits(std::fabs(x));
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent < -4 || d.exponent >= 15) {
        text += d.digits[0];
        if (n > 1) text.append(separator).append(d.digits, 1);
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "E%c%02d", d.exponent < 0 ? '-' : '+',
                      std::abs(d.exponent));
        return text + exponent;
    }
    if (d.exponent < 0) {
        if (zero_before_point) text += '0';
        text.append(separator).append(static_cast<std::size_t>(-d.exponent - 1), '0');
        return text + d.digits;
    }
    const int integer_digits = d.exponent + 1;
    if (n <= integer_digits) {
        text += d.digits;
        return text.append(static_cast<std::size_t>(integer_digits - n), '0');
    }
    text.append(d.digits, 0, static_cast<std::size_t>(integer_digits));
    text.append(separator).append(d.digits, static_cast<std::size_t>(integer_digits));
    return text;
}

}  // namespace

LeadingNumber read_leading_number(std::string_view text) {
    Reader r(text);
    LeadingNumber result{0.0, {}, false};
    // The number ends with the last character that counts: "1e" is read as 1, its "e" not.
    std::size_t end = 0;
    const auto finish = [&](double value) {
        result.value = value;
        result.whole = r.rest_is_skipped(result.read.empty() ? 0 : end);
        return result;
    };
    if (r.peek() == '&') {
        r.next();
        const char base = r.peek();
        const int radix = base == 'H' || base == 'h' ? 16 : base == 'O' || base == 'o' ? 8 : 0;
        if (radix == 0) return finish(0.0);
        r.next();
        const std::size_t before = r.taken();
        const double value = read_integer(r, radix);
        if (r.taken() == before) return finish(0.0);
        end = r.taken();
        result.read = std::string("&") + base;
        for (std::size_t i = before; i < end; ++i) {
            if (!is_skipped(text[i])) result.read += text[i];
        }
        return finish(value);
    }

    // Gather the number without the skipped characters, then let strtod round it correctly.
    std::string number;
    take_sign(r, number);
    bool any_digit = take_digits(r, number);
    if (r.peek() == '.') {
        number += '.';
        r.next();
        any_digit = take_digits(r, number) || any_digit;
    }
    if (!any_digit) return finish(0.0);
    end = r.taken();
    const char e = r.peek();
    if (e == 'E' || e == 'e' || e == 'D' || e == 'd') {
        r.next();
        std::string exponent = "e";
        take_sign(r, exponent);
        if (take_digits(r, exponent)) {  // "1e" alone reads as 1
            number += exponent;
            end = r.taken();
        }
    }
    result.read = number;
    return finish(decimal_to_double(number));
}

double Text_to_num(std::string_view text) { return read_leading_number(text).value; }

std::string Num_to_text_sign(double x) { return format(x, " ", false, "."); }

std::string Num_to_text(double x, std::string_view decimal_separator) {
    return format(x, "", true, decimal_separator);
}

namespace {

// The power of ten of the first non-zero digit of a decimal text ("0.05" -2, "12e3" 4), held
// within +-1e9 so that no exponent overflows.
long decimal_exponent(std::string_view text) {
    long first = 0;  // of the first non-zero digit, counted from the point
    bool found = false, after_point = false;
    long integer_digits = 0, leading_fraction_zeros = 0;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        const char c = text[i];
        if (c == '.') {
            after_point = true;
        } else if (!after_point) {
            if (found || c != '0') ++integer_digits, found = true;
        } else if (!found) {
            if (c == '0') ++leading_fraction_zeros;
            else found = true;
        }
    }
    first = integer_digits > 0 ? integer_digits - 1 : -(leading_fraction_zeros + 1);
    long exponent = 0;
    bool negative = false;
    if (i < text.size()) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000000L);
        }
    }
    return first + (negative ? -exponent : exponent);
}

}  // namespace

double decimal_to_double(std::string_view text, bool* out_of_range) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);  // from_chars takes none
    const bool negative = !text.empty() && text.front() == '-';
    double value = 0;
    const std::from_chars_result r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (out_of_range != nullptr) *out_of_range = r.ec == std::errc::result_out_of_range;
    if (r.ec != std::errc::result_out_of_range) return value;
    // from_chars leaves the value alone beyond the double's range: tell the two ends apart by
    // the decimal exponent of the first significant digit.
    if (decimal_exponent(text) < 0) return negative ? -0.0 : 0.0;
    const double infinity = std::numeric_limits<double>::infinity();
    return negative ? -infinity : infinity;
}

namespace {

std::string no_negative_zero(std::string text) {
    if (!text.empty() && text.front() == '-' &&
        text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::string chars(double x, std::chars_format format, int precision) {
    char buffer[400];
    const std::to_chars_result r = precision < 0
                                       ? std::to_chars(buffer, buffer + sizeof buffer, x, format)
                                       : std::to_chars(buffer, buffer + sizeof buffer, x, format, precision);
    return no_negative_zero(std::string(buffer, r.ptr));
}

}  // namespace

std::string significant(double x, int digits) {
    return chars(x + 0.0, std::chars_format::general, digits);
}

std::string stated(double x, int digits) {
    if (!std::isfinite(x) || x == 0 || digits < 1) return significant(x, digits);
    // The exponent after rounding to `digits` places (0.0996 rounds up to 0.10, not 0.100).
    const std::string scientific = chars(x, std::chars_format::scientific, digits - 1);
    const int exponent = std::atoi(scientific.c_str() + scientific.find('e') + 1);
    // Beyond what a double carries digit for digit, the digits stated and a power of ten.
    if (exponent >= 15) return scientific;  // 1.8e149 -> "1.80e+149"
    if (exponent >= digits - 1) return fixed(std::strtod(scientific.c_str(), nullptr), 0);  // 123 -> "120"
    return fixed(x, digits - 1 - exponent);
}

std::string to_resolution(double x, double resolution) {
    if (!std::isfinite(x) || !(resolution > 0) || !std::isfinite(resolution)) return significant(x, 6);
    if (std::fabs(x) < resolution) return "0";  // below what is known: nothing
    const int last = static_cast<int>(std::floor(std::log10(resolution)));
    // Rounded to that place first: a value that rounds to nothing there is 0.
    const double unit = std::pow(10.0, last);
    const double rounded = std::nearbyint(x / unit) * unit;
    if (rounded == 0) return "0";
    const int first = static_cast<int>(std::floor(std::log10(std::fabs(rounded))));
    const int digits = std::max(1, first - last + 1);
    // Down to the resolution's place, trailing zeros kept: "0.01000" says what "0.01" would not.
    if (first < -4) return chars(rounded, std::chars_format::scientific, digits - 1);
    return fixed(rounded, std::max(0, -last));
}

std::string for_reading(double x, int digits) {
    const std::string g = significant(x, digits);
    const std::size_t e = g.find('e');
    if (e == std::string::npos) return g;
    static const char* const kSuperscripts[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string text = g.substr(0, e) + "×10";
    std::size_t i = e + 1;
    if (g[i] == '-') text += "⁻";
    if (g[i] == '-' || g[i] == '+') ++i;
    while (i + 1 < g.size() && g[i] == '0') ++i;  // "e-06" is 10⁻⁶
    for (; i < g.size(); ++i) text += kSuperscripts[g[i] - '0'];
    return text;
}

std::string fixed(double x, int decimals) { return chars(x, std::chars_format::fixed, decimals); }

std::string round_trip(double x) { return chars(x + 0.0, std::chars_format::general, -1); }

}  // namespace its90::text
