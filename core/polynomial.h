// sum c_i x^i with each power built by one more multiplication, in the order the sums are
// published: the resistance functions and scale differences share this one evaluation.
#pragma once

#include <span>

namespace its90 {

inline double polynomial(std::span<const double> c, double x) {
    double sum = 0, power = 1;
    for (double ci : c) {
        sum += ci * power;
        power *= x;
    }
    return sum;
}

}  // namespace its90
