#include "book/fixed_points.h"

#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::book {

namespace {
constexpr std::array<const char*, 3> kEmfNames = {"emf_zinc_mV", "emf_middle_mV", "emf_copper_mV"};
constexpr std::array<const char*, 3> kUncertaintyNames = {"u_zinc_uV", "u_middle_uV", "u_copper_uV"};
}  // namespace

Field number_field(std::string name, double value) {
    return {std::move(name), text::round_trip(value)};
}

std::optional<double> number_input(const Record& record, std::string_view name) {
    const std::optional<std::string> text = record.input(name);
    if (!text) return std::nullopt;
    return text::parse_strict_number(*text);
}

std::vector<Field> fields_of(const FixedPointInputs& inputs) {
    std::vector<Field> fields;
    fields.push_back({"middle_point",
                      inputs.middle == calibration::MiddlePoint::Aluminium ? "aluminium" : "antimony"});
    for (std::size_t i = 0; i < 3; ++i) fields.push_back(number_field(kEmfNames[i], inputs.emfs[i]));
    if (inputs.uncertainty) {
        for (std::size_t i = 0; i < 3; ++i) {
            fields.push_back(number_field(kUncertaintyNames[i], inputs.uncertainty->points[i]));
        }
        fields.push_back(number_field("u_common_uV", inputs.uncertainty->common));
        fields.push_back(number_field("k", inputs.uncertainty->k));
    }
    return fields;
}

std::optional<FixedPointInputs> fixed_point_inputs(const Record& record) {
    if (record.kind != Kind::FixedPoint) return std::nullopt;
    FixedPointInputs inputs;
    const std::optional<std::string> middle = record.input("middle_point");
    if (middle == "aluminium") inputs.middle = calibration::MiddlePoint::Aluminium;
    else if (middle == "antimony") inputs.middle = calibration::MiddlePoint::Antimony;
    else return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<double> emf = number_input(record, kEmfNames[i]);
        if (!emf) return std::nullopt;
        inputs.emfs[i] = *emf;
    }
    if (record.input("k")) {
        calibration::FixedPointUncertainties u;
        for (std::size_t i = 0; i < 3; ++i) {
            const std::optional<double> v = number_input(record, kUncertaintyNames[i]);
            if (!v) return std::nullopt;
            u.points[i] = *v;
        }
        const std::optional<double> common = number_input(record, "u_common_uV");
        const std::optional<double> k = number_input(record, "k");
        if (!common || !k) return std::nullopt;
        u.common = *common;
        u.k = *k;
        inputs.uncertainty = u;
    }
    return inputs;
}

std::optional<Calibrated> recompute(const Record& record) {
    const std::optional<FixedPointInputs> inputs = fixed_point_inputs(record);
    if (!inputs) return std::nullopt;
    const auto& e = inputs->emfs;
    const Outcome<calibration::Calibration> c = calibration::calibrate(e[0], e[1], e[2], inputs->middle);
    if (!c.ok()) return std::nullopt;
    const Outcome<calibration::GraduationTable> table = calibration::graduation_table(*c);
    const Outcome<calibration::AcceptanceCheck> check =
        calibration::acceptance_check(e[0], e[1], e[2], inputs->middle);
    if (!table.ok() || !check.ok()) return std::nullopt;
    return Calibrated{record, *inputs, *c, *table, *check};
}

std::vector<Calibrated> standard_history(const Book& book, std::string_view number) {
    std::vector<Calibrated> history;
    for (const Record& r : book.history(Kind::FixedPoint, number)) {
        std::optional<Calibrated> c = recompute(r);
        if (!c) continue;
        // The same calibration issued again that day (exported before and after a budget was
        // set, say) is one calibration: the later record stands for it.
        std::erase_if(history, [&](const Calibrated& earlier) {
            return earlier.record.date.substr(0, 10) == c->record.date.substr(0, 10) &&
                   earlier.inputs.emfs == c->inputs.emfs && earlier.inputs.middle == c->inputs.middle;
        });
        history.push_back(std::move(*c));
    }
    return history;
}

}  // namespace its90::book
