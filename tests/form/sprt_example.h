// The SPRT certificate example on TPW-Zn: R_TPW and the coefficients a, b as a certificate
// gives them, and t90 at the zinc point to convert.
#pragma once

#include "form/resistance_form.h"

namespace its90::form {

inline SprtForm certificate_example() {
    SprtForm f;
    f.set_range(sprt::DeviationRange::TPWZn);
    f.r_tpw.text = "25.319871";
    f.a.text = "-1.2134e-4";
    f.b.text = "-9.9190e-6";
    f.temperature.text = "419.527";
    f.edited();
    return f;
}

}  // namespace its90::form
