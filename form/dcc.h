// A record's Digital Calibration Certificate (DCC, schema 3.1.2): its certificate's
// particulars, people and results as D-SI quantities with their expanded uncertainties,
// texts in Chinese and English. Every document is validated against the schemas compiled
// into the program before anyone is given it.
#pragma once

#include <string>
#include <string_view>

#include "form/certificate.h"

namespace its90::form {

struct DccDocument {
    std::string xml;      // the document, UTF-8; empty when it could not be made
    std::string problem;  // why not, naming the element or the value at fault
    bool ok() const { return problem.empty(); }
};

// The certificate as a DCC, validated. A value that is not a number (an empty cell, a word,
// NaN) is never written: the document is refused, naming the quantity and the value.
DccDocument dcc_of(const Certificate& certificate);

// Why a document is not a valid DCC, naming the element at fault (its first fault); empty when
// it is one.
std::string dcc_fault(std::string_view xml);

}  // namespace its90::form
