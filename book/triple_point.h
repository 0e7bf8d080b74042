// An SPRT's resistance at the triple point of water as the book keeps it: one entry for each
// record kept of the thermometer's page (a calibration fitted at its fixed points, or a check
// that kept its certificate's coefficients with a newly measured R_TPW), oldest first, and
// its drift as the temperature it would shift a reading by.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"

namespace its90::book {

struct TriplePointResistance {
    Record record;
    double r_tpw = 0;   // ohm
    std::string range;  // "TPW-Zn" ...
    bool fitted = false;  // coefficients fitted at the fixed points (a calibration), else typed
};

// The SPRT records of `number` that no correction replaces, oldest first; records without a
// usable R_TPW are passed over, and the same R_TPW kept again the same day is one entry, which
// the latest record stands for.
std::vector<TriplePointResistance> triple_point_history(const Book& book, std::string_view number);

// A change of R_TPW from `first` to `now` (ohm) as the temperature it equals at the triple
// point of water, (now - first) / (first dWr/dt) in mK (dWr/dt = 0.0039885 /degC there): what
// a reading in the cell converted with the first R_TPW would read high by.
double tpw_drift_mK(double first, double now);

}  // namespace its90::book
