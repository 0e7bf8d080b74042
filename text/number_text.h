// The one door between numbers and texts: the window's field forms, the plain forms of the
// command line, the records and CSV, all with '.' as the decimal separator (unless one is
// given) whatever the locale. Plain C++, shared by the window, the records and the command
// line.
#pragma once

#include <string>
#include <string_view>

namespace its90::text {

// Reads the number at the start of a text, the way the fields are read: blanks, tabs and
// line feeds are skipped wherever they stand; an optional sign, digits with an optional '.'
// and more digits, an optional exponent (E or D, either case). "&H" and "&O" introduce a
// hexadecimal or octal integer. Reading stops at the first character that does not fit;
// without any digit the result is 0. A number beyond the double range gives +-infinity.
double Text_to_num(std::string_view text);

// What Text_to_num reads of a text: the value, the number's own characters (without the
// skipped blanks; empty where no digit was read) and whether nothing but blanks, tabs and
// line feeds is left unread ("3,26" reads "3" and leaves ",26"; the empty text is whole).
struct LeadingNumber {
    double value;
    std::string read;
    bool whole;
};
LeadingNumber read_leading_number(std::string_view text);

// The form of computed values: "-" before a negative number and one blank otherwise, 15
// significant digits, no zero before the point (" .5"), '.' as the decimal separator, and the
// exponent form (" 2E-05", " 1E+15") below 1E-4 and from 1E+15 on.
std::string Num_to_text_sign(double x);

// The form of the differential value: as Num_to_text_sign, but without the blank, with a zero
// before the point ("0.39"), "0" for a negative zero, and the given decimal separator (the
// window passes its user's, the command line always ".").
std::string Num_to_text(double x, std::string_view decimal_separator);

// A plain decimal text ("-1.5e3", without a plus sign) as the nearest double. A number too
// large for a double gives +-infinity, one too small 0 of its sign; `out_of_range`, when
// given, is set in both cases.
double decimal_to_double(std::string_view text, bool* out_of_range = nullptr);

// ---- Plain forms ------------------------------------------------------------------------
// None writes "-0": a negative zero, or a negative value that rounds to zero, is "0".

// Up to `digits` significant digits, printf's %g ("4.09623", "100", "1e-05").
std::string significant(double x, int digits);
// printf's %.15g: every digit a double carries reliably.
inline std::string general(double x) { return significant(x, 15); }
// Exactly `digits` significant digits, its trailing zeros kept, as an uncertainty is stated:
// "0.40" says the hundredths are known where "0.4" would not ("0.40", "1.5", "12", "120").
std::string stated(double x, int digits);
// A value known to within `resolution` (above 0): its digits down to the decimal place of the
// resolution's first digit and no further, trailing zeros kept, "0" when the value is smaller
// than the resolution; below 1e-4 with a power of ten ("0.01000", "-8.13e-06", "2.1e-09").
std::string to_resolution(double x, double resolution);
// Up to `digits` significant digits as a label shows a number to a person: plain where %g is
// plain, and with a power of ten written out where it would write an exponent
// ("-9.919×10⁻⁶", "3.9083×10⁻³" stays "0.0039083", "1.5×10⁷").
std::string for_reading(double x, int digits);
// Exactly `decimals` places ("0.397", "-0.8273").
std::string fixed(double x, int decimals);
// The shortest text that reads back as the same double ("0.1", "1.0000000000000002").
std::string round_trip(double x);

}  // namespace its90::text
