#include "book/triple_point.h"

#include <algorithm>
#include <cmath>

#include "core/sprt.h"
#include "text/strict_number.h"

namespace its90::book {

std::vector<TriplePointResistance> triple_point_history(const Book& book, std::string_view number) {
    std::vector<TriplePointResistance> history;
    for (const Record& r : book.history(Kind::Resistance, number)) {
        if (r.input("page").value_or("") != "sprt") continue;
        // As the page read it: its number with '.' or ',' as the separator.
        std::string text = r.input("r_tpw").value_or("");
        std::replace(text.begin(), text.end(), ',', '.');
        const std::optional<double> r_tpw = text::parse_strict_number(text);
        if (!r_tpw || !(*r_tpw > 0) || !std::isfinite(*r_tpw)) continue;
        TriplePointResistance entry{r, *r_tpw, r.input("range").value_or(""), r.input("fitted").value_or("") == "1"};
        std::erase_if(history, [&](const TriplePointResistance& earlier) {
            return earlier.record.date.substr(0, 10) == r.date.substr(0, 10) && earlier.r_tpw == entry.r_tpw;
        });
        history.push_back(std::move(entry));
    }
    return history;
}

double tpw_drift_mK(double first, double now) {
    static const double slope = *sprt::reference_slope(0.01);
    return (now - first) / (first * slope) * 1000;
}

}  // namespace its90::book
