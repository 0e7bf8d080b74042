// A kept record as a book from elsewhere may hold it: any kind, any inputs, any document. The
// book's readers must load what they can and refuse the rest, never crash or hang: the first
// byte chooses the kind, then each line is an input, "name=value"; the whole input is also
// read as a document.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "book/fixed_points.h"
#include "form/book_records.h"

using namespace its90;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)book::document_rows(text);
    if (size == 0) return 0;
    book::Record r;
    r.kind = static_cast<book::Kind>(data[0] % 3);
    r.id = 1;
    r.date = "2026-12-09 10:00";
    std::string_view rest = text.substr(1);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos) r.inputs.push_back({std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    (void)form::recomputed_calibration(r);
    (void)form::recomputed_comparison(r);
    form::SprtForm sprt;
    (void)form::load_sprt(r, sprt);
    form::CvdForm cvd;
    (void)form::load_cvd(r, cvd);
    form::UncertaintyForm budget;
    (void)form::load_budget(r, budget);
    (void)form::list_row(r);
    if (std::optional<book::Calibrated> c = book::recompute(r)) (void)form::history_rows({*c, *c});
    return 0;
}
