// The budget (不确定度评定) typed with arbitrary bytes: rows added, removed and edited, any
// value, unit, distribution, k and degrees of freedom. After every step: no crash, every text
// kept, a row's result or its problem (never both, never neither), and every figure a result
// gives finite and not below 0.
#include <cmath>
#include <cstdlib>

#include "form/uncertainty_form.h"
#include "fuzz/fuzz_stream.h"

namespace {

using its90::form::BudgetQuantity;
using its90::form::UncertaintyForm;

void check(const UncertaintyForm& f) {
    for (int r = 0; r < f.row_count(); ++r) {
        const auto& result = f.result(r);
        if (result.line.has_value() == !result.problem.empty()) std::abort();
        if (result.line && (!std::isfinite(result.line->contribution) || result.line->contribution < 0)) std::abort();
    }
    for (int q = 0; q < its90::form::kQuantityCount; ++q) {
        if (const auto b = f.budget(static_cast<BudgetQuantity>(q))) {
            if (!std::isfinite(b->combined) || !std::isfinite(b->expanded) || b->combined < 0) std::abort();
            if (std::isnan(b->effective_dof)) std::abort();
        }
    }
    if (const auto u = f.fixed_points()) {
        for (double x : u->points) {
            if (!std::isfinite(x) || x < 0) std::abort();
        }
    }
    if (const auto c = f.comparison()) {
        for (double x : {c->certificate, c->voltmeter, c->furnace, c->k}) {
            if (!std::isfinite(x) || x < 0) std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    its90::fuzzing::Stream in(data, size);
    UncertaintyForm f;
    for (int steps = 0; !in.empty() && steps < 64; ++steps) {
        switch (in.next() % 5) {
            case 0:
                if (f.row_count() < 32) f.add_row(static_cast<BudgetQuantity>(in.next() % its90::form::kQuantityCount));
                break;
            case 1:
                if (f.row_count() > 0) f.remove_row(in.next() % f.row_count());
                break;
            case 2: {
                if (f.row_count() == 0) break;
                const int r = in.next() % f.row_count();
                its90::form::BudgetRow row = f.row(r);
                row.quantity = static_cast<BudgetQuantity>(in.next() % its90::form::kQuantityCount);
                row.name = in.text();
                row.value = in.text();
                row.unit = static_cast<its90::calibration::Unit>(in.next() % 2);
                row.distribution = static_cast<its90::calibration::Distribution>(in.next() % 4);
                row.coverage = in.text();
                row.degrees_of_freedom = in.text();
                const its90::form::BudgetRow typed = row;
                f.set_row(r, row);
                if (f.row(r).value != typed.value || f.row(r).coverage != typed.coverage ||
                    f.row(r).degrees_of_freedom != typed.degrees_of_freedom) {
                    std::abort();
                }
                break;
            }
            case 3: f.set_coverage(in.text()); break;
            default: f.set_middle(in.next() % 2 ? its90::calibration::MiddlePoint::Aluminium
                                                : its90::calibration::MiddlePoint::Antimony);
        }
        check(f);
    }
    return 0;
}
