// The comparison window's model driven by arbitrary bytes: every setting, every cell typed
// with any bytes. After every step: no crash, every text kept as typed, no result where a
// cell of its point has a problem, every result finite and its verdict consistent.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/thermocouples.h"
#include "form/comparison_form.h"

namespace {

using its90::form::ComparisonForm;

class Stream {
public:
    Stream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t next() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::string text() {
        std::string s;
        for (int n = next() % 24; n > 0 && !empty(); --n) s += static_cast<char>(next());
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void check(const ComparisonForm& f) {
    for (int i = 0; i < f.working_count(); ++i) {
        for (int p = 0; p < f.point_count(); ++p) {
            const its90::form::PointResult& r = f.result(i, p);
            // A result with its allowance has no problem; no result always says why.
            if (r.result && r.allowance > 0 && !r.problem.empty()) std::abort();
            if (!r.result && r.problem.empty()) std::abort();
            if (!r.result) continue;
            if (!std::isfinite(r.result->delta_e) || !std::isfinite(r.result->delta_t)) std::abort();
            for (int row = 0; row < f.readings(); ++row) {
                if (!f.reading(p, i, row).problem.empty() || !f.reading(p, -1, row).problem.empty()) std::abort();
            }
            if (r.uncertainty) {
                if (!std::isfinite(r.uncertainty->U_C) || r.uncertainty->U_C < 0) std::abort();
                if (r.pass != (r.conformity == its90::calibration::Conformity::Pass)) std::abort();
            } else if (r.pass != (std::fabs(r.result->delta_t) <= r.allowance) && r.allowance > 0) {
                std::abort();
            }
        }
        if (f.verdict(i).has_value() && f.verdict(i) == true) {
            for (int p = 0; p < f.point_count(); ++p) {
                if (!f.result(i, p).pass) std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ComparisonForm f;
    Stream in(data, size);
    for (int steps = 0; !in.empty() && steps < 128; ++steps) {
        switch (in.next() % 10) {
            case 0: f.set_working_count(in.next() % 8); break;
            case 1: f.set_working_type(in.next() % 6, its90::kAllThermocouples[in.next() % 8]); break;
            case 2: f.set_working_class(in.next() % 6, in.next() % 4); break;
            case 3: f.set_point_count(in.next() % 10); break;
            case 4: f.set_readings(in.next() % 22); break;
            case 5: {
                const int p = in.next() % 8;
                const std::string t = in.text();
                f.edit_temperature(p, t);
                if (f.point(p).temperature.text != t) std::abort();
                break;
            }
            case 6: f.edit_certificate(in.next() % 8, in.next() % 2 ? in.text() : "3.2587"); break;
            case 7: {
                const int p = in.next() % 8, who = static_cast<int>(in.next() % 7) - 1, r = in.next() % 20;
                const std::string t = in.text();
                f.edit_reading(p, who, r, t);
                if (f.reading(p, who, r).text != t) std::abort();
                break;
            }
            case 8: f.set_from_panel(in.next() % 2 == 0); break;
            case 9: {  // an uncertainty budget, sometimes an absurd one
                const double scale[] = {0, 0.5, 1e3, 1e300};
                f.set_uncertainties(its90::calibration::ComparisonUncertainties{
                                        scale[in.next() % 4], scale[in.next() % 4], scale[in.next() % 4],
                                        in.next() % 2 ? 2.0 : 0.0},
                                    std::nullopt);
                break;
            }
        }
        check(f);
    }
    return 0;
}
