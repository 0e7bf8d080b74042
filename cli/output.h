// Number formats of the command line; '.' is the decimal separator whatever the locale.
#pragma once

#include <string>

namespace its90::cli {

// Up to 15 significant digits in the shortest form ("4.09623", "100"); no "-0".
std::string shortest(double value);
// Fixed decimals ("0.397"); no "-0.000".
std::string fixed(double value, int decimals);

}  // namespace its90::cli
