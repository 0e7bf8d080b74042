// The 电阻温度计 window's model typed with arbitrary bytes in every field, and the fits fed
// arbitrary points. After every step: no crash, every text kept, no result beside a problem of
// its own field, every value shown finite.
#include <cmath>
#include <cstdlib>
#include <vector>

#include "calibration/resistance_fit.h"
#include "fuzz/fuzz_stream.h"
#include "form/resistance_form.h"

namespace {

using its90::form::Field;

void must_be_finite(double x) {
    if (!std::isfinite(x)) std::abort();
}

void check(const its90::form::SprtForm& f) {
    if (const auto c = f.at_temperature()) {
        for (double x : {c->r, c->w, c->wr, c->dw, c->dr_dt}) must_be_finite(x);
    }
    if (const auto t = f.at_resistance()) must_be_finite(*t);
    if (f.rows().size() > static_cast<std::size_t>(its90::form::kMostTableRows)) std::abort();
    for (const auto& row : f.rows()) {
        must_be_finite(row.t90);
        must_be_finite(row.r);
        must_be_finite(row.w);
    }
}

void check(const its90::form::CvdForm& f) {
    if (const auto r = f.at_temperature()) must_be_finite(*r);
    if (const auto t = f.at_resistance()) must_be_finite(*t);
    if (f.rows().size() > static_cast<std::size_t>(its90::form::kMostTableRows)) std::abort();
    for (const auto& row : f.rows()) {
        must_be_finite(row.t);
        must_be_finite(row.r);
    }
    for (const auto& p : f.point_results()) {
        if (p) {
            must_be_finite(p->residual_mohm);
            must_be_finite(p->residual_c);
        }
    }
}

void type(its90::fuzzing::Stream& in, Field& field) {
    const std::string text = in.text();
    field.text = text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    its90::fuzzing::Stream in(data, size);
    its90::form::SprtForm sprt;
    its90::form::CvdForm cvd;
    its90::form::CopperForm copper;
    for (int steps = 0; !in.empty() && steps < 64; ++steps) {
        switch (in.next() % 7) {
            case 0: {
                sprt.set_range(static_cast<its90::sprt::DeviationRange>(in.next() % std::size(its90::sprt::kDeviationRanges)));
                sprt.set_fitted(in.next() % 2 == 0);
                break;
            }
            case 1: {
                Field* fields[] = {&sprt.r_tpw, &sprt.a, &sprt.b, &sprt.c, &sprt.d, &sprt.e, &sprt.w_al,
                                   &sprt.point_r[0], &sprt.point_r[1], &sprt.point_r[2], &sprt.point_r[3],
                                   &sprt.point_r[4],
                                   &sprt.temperature, &sprt.resistance, &sprt.table.from, &sprt.table.to,
                                   &sprt.table.step, &sprt.u_points};
                Field& f = *fields[in.next() % std::size(fields)];
                type(in, f);
                const std::string typed = f.text;
                sprt.edited();
                if (f.text != typed) std::abort();  // nothing typed is changed
                check(sprt);
                break;
            }
            case 2:
                cvd.set_fitted(in.next() % 2 == 0);
                cvd.set_with_d(in.next() % 2 == 0);
                break;
            case 3: {
                const int row = in.next() % its90::form::kMostCvdPoints;
                Field* fields[] = {&cvd.r0, &cvd.a, &cvd.b, &cvd.c, &cvd.d, &cvd.valid_from, &cvd.valid_to,
                                   &cvd.point_t[row], &cvd.point_r[row],
                                   &cvd.temperature, &cvd.resistance, &cvd.ice, &cvd.steam, &cvd.table.from,
                                   &cvd.table.to, &cvd.table.step, &cvd.u_points};
                Field& f = *fields[in.next() % std::size(fields)];
                type(in, f);
                const std::string typed = f.text;
                cvd.edited();
                if (f.text != typed) std::abort();
                check(cvd);
                break;
            }
            case 4: {  // the fits themselves, with any points
                std::vector<its90::calibration::TemperatureResistance> points(in.next() % 8);
                for (auto& p : points) p = {in.number(), in.number()};
                if (const auto fit = its90::calibration::fit_cvd(points, in.next() % 2 == 0); fit.ok()) {
                    must_be_finite(fit->coefficients.r0);
                    if (fit->residual_c.size() != points.size()) std::abort();
                }
                const auto range =
                    static_cast<its90::sprt::DeviationRange>(in.next() % std::size(its90::sprt::kDeviationRanges));
                if (const auto fit = its90::calibration::fit_sprt(range, in.number(), points); fit.ok()) {
                    must_be_finite(fit->a);
                }
                break;
            }
            case 5: {  // the copper page
                copper.set_r0(in.next() % 2 == 0 ? 50 : in.number());
                Field* fields[] = {&copper.temperature, &copper.resistance, &copper.table.from, &copper.table.to,
                                   &copper.table.step};
                Field& f = *fields[in.next() % std::size(fields)];
                type(in, f);
                const std::string typed = f.text;
                copper.edited();
                if (f.text != typed) std::abort();
                for (const auto& row : copper.rows()) must_be_finite(row.r);
                break;
            }
            default: break;
        }
    }
    return 0;
}
