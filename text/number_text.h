// Conversions between the texts of the window's fields and numbers; plain C++, shared by the
// window, the calibration and the command line.
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

// The form of computed values: "-" before a negative number and one blank otherwise, 15
// significant digits, no zero before the point (" .5"), '.' as the decimal separator, and the
// exponent form (" 2E-05", " 1E+15") below 1E-4 and from 1E+15 on.
std::string Num_to_text_sign(double x);

// The form of the differential value: as Num_to_text_sign, but without the blank, with a zero
// before the point ("0.39"), "0" for a negative zero, and the given decimal separator (the
// window passes its user's, the command line always ".").
std::string Num_to_text(double x, std::string_view decimal_separator);

// strtod on a plain decimal text ("-1.5e3"), with '.' as the separator whatever the locale.
double decimal_to_double(const std::string& text);

}  // namespace its90::text
