#include "form/book_records.h"

#include "form/certificate.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "book/fixed_points.h"
#include "core/copper.h"
#include "core/sensors.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::form {

namespace {

using book::number_field;
using book::number_input;

// The cells of a budget line, kept in one input, apart by the unit separator.
constexpr char kCellSeparator = '\x1f';

std::string input_or(const book::Record& r, const std::string& name, std::string fallback = {}) {
    return r.input(name).value_or(std::move(fallback));
}

// A whole number input within +-1e9; nothing for any other text.
std::optional<int> whole_input(const book::Record& r, const std::string& name) {
    const std::optional<double> v = number_input(r, name);
    if (!v || !(std::fabs(*v) <= 1e9) || *v != std::trunc(*v)) return std::nullopt;
    return static_cast<int>(*v);
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}

void add_identification(book::Record& r, const Identification& id, const std::string& date,
                        const std::string& program_version) {
    r.number = id.number;
    r.operator_name = id.operator_name;
    r.notes = id.notes;
    r.date = date;
    r.program_version = program_version;
}

// The record a correction names, as its page states it, and the certificate's particulars,
// each kept only when typed.
void add_identification_inputs(book::Record& r, const Identification& id) {
    if (!id.corrects.empty()) r.inputs.push_back({"corrects", id.corrects});
    // The conditions with '.' for the decimal point, as the certificate and its DCC state them.
    std::string temperature = id.ambient_temperature, humidity = id.relative_humidity;
    if (!ambient_conditions_problem(temperature, humidity).empty()) {
        temperature = id.ambient_temperature;
        humidity = id.relative_humidity;
    }
    for (const auto& [name, value] : {std::pair<const char*, const std::string*>{"customer", &id.customer},
                                      {"standard_used", &id.standard_used},
                                      {"ambient_temperature_C", &temperature},
                                      {"relative_humidity_percent", &humidity}}) {
        if (!value->empty()) r.inputs.push_back({name, *value});
    }
}

std::string middle_name(calibration::MiddlePoint m) {
    return m == calibration::MiddlePoint::Aluminium ? "aluminium" : "antimony";
}

std::optional<calibration::MiddlePoint> middle_from(const std::string& name) {
    if (name == "aluminium") return calibration::MiddlePoint::Aluminium;
    if (name == "antimony") return calibration::MiddlePoint::Antimony;
    return std::nullopt;
}

std::string micro(double mV) { return text::fixed(mV * 1000.0, 1); }

}  // namespace

std::string book_problem_text(const book::Problem& p) {
    using Cause = book::Problem::Cause;
    const char* cause = "无法使用";
    switch (p.cause) {
        case Cause::CannotOpen: cause = "无法打开"; break;
        case Cause::ReadOnly: cause = "无法写入（只读）"; break;
        case Cause::NotABook: cause = "不是记录簿文件，或已损坏"; break;
        case Cause::NewerVersion: cause = "由更新版本的程序写入，本程序不能使用"; break;
        case Cause::Busy: cause = "被其他程序占用过久"; break;
        case Cause::DiskFull: cause = "所在磁盘已满"; break;
        case Cause::NoSuchRecord: cause = "没有该记录"; break;
        case Cause::NoReason: cause = "不能保存更正：更正须填写修改原因"; break;
        case Cause::Unreachable: cause = "所在的服务器无法连接，或连接已断开"; break;
        case Cause::AccessDenied: cause = "所在的服务器拒绝登录（用户名或密码有误）"; break;
        case Cause::Failed: break;
    }
    return "记录簿 " + p.path + " " + cause + "（" + p.detail + "）。记录簿中已有的记录不受影响。";
}

const char* kind_text(book::Kind kind) {
    switch (kind) {
        case book::Kind::FixedPoint: return "定点分度";
        case book::Kind::Comparison: return "比较法检定";
        case book::Kind::Resistance: return "电阻温度计";
    }
    return "";
}

// ---- The budget --------------------------------------------------------------------------

void add_budget_fields(std::vector<book::Field>& fields, const UncertaintyForm& budget) {
    fields.push_back({"budget_k", budget.coverage()});
    for (int i = 0; i < budget.row_count(); ++i) {
        const BudgetRow& row = budget.row(i);
        std::string cells;
        for (const std::string& cell :
             {std::to_string(static_cast<int>(row.quantity)), row.name, row.value,
              std::to_string(static_cast<int>(row.unit)), std::to_string(static_cast<int>(row.distribution)),
              row.coverage, row.degrees_of_freedom}) {
            cells += cell;
            cells += kCellSeparator;
        }
        cells.pop_back();
        fields.push_back({"budget_line_" + std::to_string(i + 1), cells});
    }
}

book::KeptBudget kept_budget(const UncertaintyForm& budget, std::string laboratory, std::string name,
                             std::string date, std::string program_version) {
    book::KeptBudget kept{0, std::move(laboratory), std::move(name), std::move(date), std::move(program_version), {}};
    add_budget_fields(kept.inputs, budget);
    return kept;
}

bool load_kept_budget(const book::KeptBudget& kept, UncertaintyForm& budget) {
    book::Record as_kept;  // the same inputs as a record keeps them
    as_kept.inputs = kept.inputs;
    return kept.inputs.size() > 1 && load_budget(as_kept, budget);
}

std::string kept_budget_title(const book::KeptBudget& kept) {
    return kept.name + "（" + (kept.laboratory.empty() ? std::string("未注明实验室") : kept.laboratory) + "，" +
           kept.date + "）";
}

bool load_budget(const book::Record& record, UncertaintyForm& budget) {
    const std::optional<std::string> k = record.input("budget_k");
    if (!k) {
        // A calibration kept with the points' standard uncertainties alone (the command
        // line's --u-zn ...): one line each, as a standard uncertainty.
        const std::optional<book::FixedPointInputs> in = book::fixed_point_inputs(record);
        if (!in || !in->uncertainty) return false;
        const calibration::FixedPointUncertainties& u = *in->uncertainty;
        while (budget.row_count() > 0) budget.remove_row(budget.row_count() - 1);
        const std::pair<BudgetQuantity, double> lines[] = {{BudgetQuantity::Zinc, u.points[0]},
                                                           {BudgetQuantity::Middle, u.points[1]},
                                                           {BudgetQuantity::Copper, u.points[2]},
                                                           {BudgetQuantity::Common, u.common}};
        for (const auto& [quantity, value] : lines) {
            if (quantity == BudgetQuantity::Common && value == 0) continue;
            budget.add_row(quantity);
            BudgetRow row = budget.row(budget.row_count() - 1);
            row.name = "记录中的标准不确定度";
            row.value = text::round_trip(value);
            row.coverage = "1";
            budget.set_row(budget.row_count() - 1, row);
        }
        budget.set_coverage(text::round_trip(u.k));
        return true;
    }
    std::vector<BudgetRow> rows;
    for (int i = 1;; ++i) {
        const std::optional<std::string> line = record.input("budget_line_" + std::to_string(i));
        if (!line) break;
        const std::vector<std::string> cells = split(*line, kCellSeparator);
        if (cells.size() != 7) return false;
        const auto index = [&](std::size_t c, int count) -> std::optional<int> {
            const std::optional<double> v = text::parse_strict_number(cells[c]);
            if (!v || *v < 0 || *v >= count || *v != static_cast<int>(*v)) return std::nullopt;
            return static_cast<int>(*v);
        };
        const auto quantity = index(0, kQuantityCount);
        const auto unit = index(3, 2);
        const auto distribution = index(4, 4);
        if (!quantity || !unit || !distribution) return false;
        rows.push_back({static_cast<BudgetQuantity>(*quantity), cells[1], cells[2],
                        static_cast<calibration::Unit>(*unit),
                        static_cast<calibration::Distribution>(*distribution), cells[5], cells[6]});
    }
    while (budget.row_count() > 0) budget.remove_row(budget.row_count() - 1);
    for (const BudgetRow& row : rows) {
        budget.add_row(row.quantity);
        budget.set_row(budget.row_count() - 1, row);
    }
    budget.set_coverage(*k);
    return true;
}

Identification identification_of(const book::Record& r) {
    return {r.number,
            r.operator_name,
            r.notes,
            r.input("one_degree_table") == "1",
            input_or(r, "corrects"),
            r.reason,
            input_or(r, "customer"),
            input_or(r, "standard_used"),
            input_or(r, "ambient_temperature_C"),
            input_or(r, "relative_humidity_percent")};
}

std::string correction_text(const book::Record& corrected) {
    return "记录 " + std::to_string(corrected.id) + "（" + corrected.date + "）";
}

std::string correction_of(const std::optional<book::Record>& correcting, const std::string& number,
                          const std::string& type) {
    if (!correcting || correcting->number != number || (!type.empty() && correcting->type != type)) return {};
    return correction_text(*correcting);
}

// ---- The fixed-point calibration ---------------------------------------------------------

book::Record book_record(const CalibrationRecord& record, const PanelTexts& typed,
                         const UncertaintyForm* budget, const std::string& program_version) {
    book::Record r;
    r.kind = book::Kind::FixedPoint;
    r.type = "S";
    add_identification(r, record.identification, record.date_time, program_version);
    r.inputs = book::fields_of({record.emfs, record.calibration.middle, record.uncertainty});
    r.inputs.push_back({"typed_zinc", typed.emfs[0]});
    r.inputs.push_back({"typed_middle", typed.emfs[1]});
    r.inputs.push_back({"typed_copper", typed.emfs[2]});
    if (record.any_temperature) r.inputs.push_back({"typed_temperature", typed.temperature});
    r.inputs.push_back({"one_degree_table", record.identification.one_degree_table ? "1" : "0"});
    if (budget != nullptr && record.uncertainty) add_budget_fields(r.inputs, *budget);
    add_identification_inputs(r, record.identification);
    r.document = to_csv(record);
    return r;
}

std::optional<FixedPointEntry> fixed_point_entry(const book::Record& record) {
    const std::optional<book::FixedPointInputs> inputs = book::fixed_point_inputs(record);
    if (!inputs) return std::nullopt;
    FixedPointEntry entry;
    entry.inputs = *inputs;
    const char* typed[] = {"typed_zinc", "typed_middle", "typed_copper"};
    for (std::size_t i = 0; i < 3; ++i) {
        entry.typed.emfs[i] = input_or(record, typed[i], text::round_trip(inputs->emfs[i]));
    }
    entry.typed.temperature = input_or(record, "typed_temperature");
    return entry;
}

std::optional<CalibrationRecord> recomputed_calibration(const book::Record& record) {
    const std::optional<FixedPointEntry> entry = fixed_point_entry(record);
    if (!entry) return std::nullopt;
    const book::FixedPointInputs* inputs = &entry->inputs;
    CalibrationInputs in{inputs->emfs, inputs->middle, std::nullopt};
    if (!entry->typed.temperature.empty()) in.temperature = entry->typed.temperature;
    Outcome<CalibrationRecord> r = calibration_record(in);
    if (!r.ok()) return std::nullopt;
    CalibrationRecord out = *r;
    out.date_time = record.date;
    out.identification = identification_of(record);
    out.uncertainty = inputs->uncertainty;
    UncertaintyForm budget;
    budget.set_middle(inputs->middle);
    if (out.uncertainty && load_budget(record, budget)) {
        out.budget = budget_rows(budget);
        // The points' degrees of freedom are the budget's, as when the record was issued.
        if (const auto from_budget = budget.fixed_points()) {
            out.uncertainty->dof = from_budget->dof;
            out.uncertainty->common_dof = from_budget->common_dof;
        }
    }
    return out;
}

// ---- The comparison ----------------------------------------------------------------------

KeptStandard kept_standard(const book::Calibrated& c) {
    return {c.record.id, c.record.date, c.calibration, c.inputs.uncertainty};
}

book::Record book_record(const ComparisonRecord& record, const UncertaintyForm* budget,
                         const std::string& program_version) {
    const ComparisonForm& f = record.form;
    book::Record r;
    r.kind = book::Kind::Comparison;
    add_identification(r, record.identification, record.date_time, program_version);
    std::set<std::string> types;
    std::string type;
    for (int i = 0; i < f.working_count(); ++i) {
        const std::string t(1, letter(f.working(i).type));
        if (types.insert(t).second) type += (type.empty() ? "" : "/") + t;
    }
    r.type = type;
    auto& in = r.inputs;
    in.push_back({"standard_number", f.standard_number});
    in.push_back({"certificate_number", f.certificate_number});
    in.push_back({"standard_source", f.from_panel() ? "fixed-points" : "certificate"});
    if (f.from_panel() && f.fixed_point_calibration()) {
        const calibration::Calibration& c = *f.fixed_point_calibration();
        if (f.kept_standard()) {
            in.push_back({"standard_record", std::to_string(f.kept_standard()->record_id)});
            in.push_back({"standard_date", f.kept_standard()->date});
        }
        in.push_back({"standard_middle_point", middle_name(c.middle)});
        for (std::size_t i = 0; i < 3; ++i) in.push_back(number_field("standard_D" + std::to_string(i + 1), c.deviations[i]));
        in.push_back(number_field("standard_A", c.function.A));
        in.push_back(number_field("standard_B", c.function.B));
        in.push_back(number_field("standard_C", c.function.C));
        if (f.kept_standard() && f.kept_standard()->uncertainty) {
            const calibration::FixedPointUncertainties& u = *f.kept_standard()->uncertainty;
            for (std::size_t i = 0; i < 3; ++i) in.push_back(number_field("standard_u" + std::to_string(i + 1) + "_uV", u.points[i]));
            in.push_back(number_field("standard_u0_uV", u.common));
            in.push_back(number_field("standard_k", u.k));
        }
    }
    in.push_back({"working_count", std::to_string(f.working_count())});
    for (int i = 0; i < f.working_count(); ++i) {
        const std::string w = "working_" + std::to_string(i + 1) + "_";
        in.push_back({w + "number", f.working(i).number});
        in.push_back({w + "type", std::string(1, letter(f.working(i).type))});
        in.push_back({w + "class", std::to_string(f.working(i).required_class)});
    }
    in.push_back({"point_count", std::to_string(f.point_count())});
    in.push_back({"readings", std::to_string(f.readings())});
    for (int p = 0; p < f.point_count(); ++p) {
        const std::string pt = "point_" + std::to_string(p + 1) + "_";
        in.push_back({pt + "temperature", f.point(p).temperature.text});
        if (!f.from_panel()) in.push_back({pt + "certificate", f.point(p).certificate.text});
        for (int who = -1; who < f.working_count(); ++who) {
            const std::string column = who < 0 ? "standard" : "working_" + std::to_string(who + 1);
            for (int k = 0; k < f.readings(); ++k) {
                in.push_back({pt + column + "_" + std::to_string(k + 1), f.reading(p, who, k).text});
            }
        }
    }
    if (f.run_source) {
        in.push_back({"run_id", std::to_string(f.run_source->run_id)});
        in.push_back({"run_meter", f.run_source->meter});
        in.push_back({"run_identity", f.run_source->identity});
        for (const CorrectedReading& c : f.corrected_readings()) {
            const std::string column = c.who < 0 ? "standard" : "working_" + std::to_string(c.who + 1);
            in.push_back({"point_" + std::to_string(c.point + 1) + "_" + column + "_" + std::to_string(c.reading + 1) +
                              "_measured",
                          c.measured});
        }
    }
    if (budget != nullptr && f.uncertainties()) add_budget_fields(in, *budget);
    add_identification_inputs(r, record.identification);
    r.document = csv_of(comparison_rows(record));
    return r;
}

bool load_comparison(const book::Record& r, ComparisonForm& f) {
    if (r.kind != book::Kind::Comparison) return false;
    const std::optional<int> working = whole_input(r, "working_count");
    const std::optional<int> points = whole_input(r, "point_count");
    const std::optional<int> readings = whole_input(r, "readings");
    if (!working || !points || !readings || *working < 1 || *working > kMostWorking || *points < 0 ||
        *points > kMostPoints || *readings < 1 || *readings > kMostReadings) {
        return false;
    }
    f.standard_number = input_or(r, "standard_number");
    f.certificate_number = input_or(r, "certificate_number");
    const bool fixed_points = input_or(r, "standard_source") == "fixed-points";
    std::optional<KeptStandard> kept;
    if (const std::optional<calibration::MiddlePoint> m = middle_from(input_or(r, "standard_middle_point"))) {
        KeptStandard k;
        k.record_id = whole_input(r, "standard_record").value_or(0);
        k.date = input_or(r, "standard_date");
        k.calibration.middle = *m;
        const std::optional<double> d1 = number_input(r, "standard_D1"), d2 = number_input(r, "standard_D2"),
                                    d3 = number_input(r, "standard_D3"), a = number_input(r, "standard_A"),
                                    b = number_input(r, "standard_B"), c = number_input(r, "standard_C");
        if (!d1 || !d2 || !d3 || !a || !b || !c) return false;
        k.calibration.deviations = {*d1, *d2, *d3};
        k.calibration.function = {*a, *b, *c};
        if (const std::optional<double> kk = number_input(r, "standard_k")) {
            calibration::FixedPointUncertainties u;
            for (std::size_t i = 0; i < 3; ++i) {
                u.points[i] = number_input(r, "standard_u" + std::to_string(i + 1) + "_uV").value_or(0);
            }
            u.common = number_input(r, "standard_u0_uV").value_or(0);
            u.k = *kk;
            k.uncertainty = u;
        }
        kept = k;
    }
    // The types first: the usual points follow them, and the points kept replace those.
    f.set_working_count(*working);
    for (int i = 0; i < *working; ++i) {
        const std::string w = "working_" + std::to_string(i + 1) + "_";
        const std::string t = input_or(r, w + "type");
        const std::optional<Thermocouple> type = t.size() == 1 ? thermocouple_from_letter(t[0]) : std::nullopt;
        if (!type) return false;
        f.set_working_type(i, *type);
        f.set_working_number(i, input_or(r, w + "number"));
        f.set_working_class(i, whole_input(r, w + "class").value_or(1));
    }
    f.set_kept_standard(kept);
    f.set_from_panel(fixed_points);
    f.set_readings(*readings);
    f.set_point_count(*points);
    if (r.input("run_id")) {
        f.run_source = RunSource{whole_input(r, "run_id").value_or(0), input_or(r, "run_meter"), input_or(r, "run_identity")};
    }
    for (int p = 0; p < *points; ++p) {
        const std::string pt = "point_" + std::to_string(p + 1) + "_";
        f.edit_temperature(p, input_or(r, pt + "temperature"));
        f.edit_certificate(p, input_or(r, pt + "certificate"));
        for (int who = -1; who < *working; ++who) {
            const std::string column = who < 0 ? "standard" : "working_" + std::to_string(who + 1);
            for (int k = 0; k < *readings; ++k) {
                const std::string name = pt + column + "_" + std::to_string(k + 1);
                const std::string text = input_or(r, name);
                // A run's readings came from the meter, but for those typed over since.
                if (r.input("run_id") && !text.empty()) f.set_measured_reading(p, who, k, r.input(name + "_measured").value_or(text));
                f.edit_reading(p, who, k, text);
            }
        }
    }
    return true;
}

std::optional<ComparisonRecord> recomputed_comparison(const book::Record& record) {
    ComparisonRecord out{record.date, identification_of(record), ComparisonForm{}, {}};
    if (!load_comparison(record, out.form)) return std::nullopt;
    UncertaintyForm budget;
    if (load_budget(record, budget)) {
        out.form.set_uncertainties(budget.comparison(), budget.fixed_points());
        if (out.form.uncertainties()) out.budget = budget_rows(budget);
    }
    return out;
}

// ---- Resistance thermometers ---------------------------------------------------------------

namespace {

// A page's fields by the names they are kept under; of a const form to read them.
template <class Form>
auto sprt_fields(Form& f) {
    std::vector<std::pair<std::string, decltype(&f.r_tpw)>> all = {
        {"r_tpw", &f.r_tpw}, {"a", &f.a}, {"b", &f.b}, {"c", &f.c}, {"d", &f.d}, {"e", &f.e}, {"f", &f.f},
        {"g", &f.g}, {"w_al", &f.w_al},
        {"temperature", &f.temperature}, {"resistance", &f.resistance}, {"table_from", &f.table.from},
        {"table_to", &f.table.to}, {"table_step", &f.table.step}, {"u_points_mohm", &f.u_points}};
    for (std::size_t i = 0; i < f.point_r.size(); ++i) all.push_back({"point_" + std::to_string(i + 1) + "_r", &f.point_r[i]});
    // The t90 of a measured point, kept where one was typed.
    for (std::size_t i = 0; i < f.point_t.size(); ++i) all.push_back({"point_" + std::to_string(i + 1) + "_t", &f.point_t[i]});
    return all;
}

template <class Form>
auto cvd_fields(Form& f) {
    std::vector<std::pair<std::string, decltype(&f.r0)>> all = {
        {"r0", &f.r0}, {"a", &f.a}, {"b", &f.b}, {"c", &f.c}, {"d", &f.d}, {"valid_from", &f.valid_from},
        {"valid_to", &f.valid_to}, {"temperature", &f.temperature},
        {"resistance", &f.resistance}, {"ice", &f.ice}, {"steam", &f.steam}, {"table_from", &f.table.from},
        {"table_to", &f.table.to}, {"table_step", &f.table.step}, {"u_points_mohm", &f.u_points}};
    for (std::size_t i = 0; i < f.point_t.size(); ++i) {
        all.push_back({"point_" + std::to_string(i + 1) + "_t", &f.point_t[i]});
        all.push_back({"point_" + std::to_string(i + 1) + "_r", &f.point_r[i]});
    }
    return all;
}

template <class Form>
auto copper_fields(Form& f) {
    return std::vector<std::pair<std::string, decltype(&f.temperature)>>{
        {"temperature", &f.temperature}, {"resistance", &f.resistance}, {"table_from", &f.table.from},
        {"table_to", &f.table.to}, {"table_step", &f.table.step}};
}

book::Record resistance_record(const char* page, const std::string& type, bool fitted,
                               const std::vector<std::pair<std::string, const form::Field*>>& fields,
                               const Identification& id, const std::string& date, const Rows& document,
                               const std::string& program_version) {
    book::Record r;
    r.kind = book::Kind::Resistance;
    r.type = type;
    add_identification(r, id, date, program_version);
    r.inputs.push_back({"page", page});
    r.inputs.push_back({"fitted", fitted ? "1" : "0"});
    for (const auto& [name, field] : fields) {
        if (!field->text.empty()) r.inputs.push_back({name, field->text});
    }
    add_identification_inputs(r, id);
    r.document = csv_of(document);
    return r;
}

void load_fields(const book::Record& r, const std::vector<std::pair<std::string, form::Field*>>& fields) {
    for (const auto& [name, field] : fields) field->text = input_or(r, name);
}

}  // namespace

book::Record book_record(const SprtForm& form, const Identification& id, const std::string& date,
                         const Rows& document, const std::string& program_version) {
    book::Record r = resistance_record("sprt", "SPRT", form.fitted(), sprt_fields(form), id, date, document,
                                       program_version);
    r.inputs.insert(r.inputs.begin() + 2, {"range", sprt::range_record(form.range()).name});
    return r;
}

book::Record book_record(const CvdForm& form, const Identification& id, const std::string& date,
                         const Rows& document, const std::string& program_version) {
    book::Record r = resistance_record("cvd", "CVD", form.fitted(), cvd_fields(form), id, date, document, program_version);
    if (form.with_d()) r.inputs.insert(r.inputs.begin() + 2, {"with_d", "1"});
    return r;
}

book::Record book_record(const CopperForm& form, const Identification& id, const std::string& date,
                         const Rows& document, const std::string& program_version) {
    book::Record r = resistance_record("copper", form.r0() == 100 ? "Cu100" : "Cu50", false, copper_fields(form), id,
                                       date, document, program_version);
    r.inputs.insert(r.inputs.begin() + 2, {"r0", text::general(form.r0())});
    return r;
}

std::optional<ResistancePage> resistance_page(const book::Record& r) {
    if (r.kind != book::Kind::Resistance) return std::nullopt;
    const std::string page = input_or(r, "page");
    if (page == "sprt") return ResistancePage::Sprt;
    if (page == "cvd") return ResistancePage::Cvd;
    if (page == "copper") return ResistancePage::Copper;
    return std::nullopt;
}

bool load_sprt(const book::Record& r, SprtForm& f) {
    if (resistance_page(r) != ResistancePage::Sprt) return false;
    const std::optional<sprt::DeviationRange> range = sprt::range_named(input_or(r, "range"));
    if (!range) return false;
    f.set_range(*range);
    f.set_fitted(input_or(r, "fitted") == "1");
    load_fields(r, sprt_fields(f));
    f.edited();
    return true;
}

bool load_copper(const book::Record& r, CopperForm& f) {
    if (resistance_page(r) != ResistancePage::Copper) return false;
    const std::optional<double> r0 = text::parse_strict_number(input_or(r, "r0"));
    if (!r0 || !copper::known_r0(*r0)) return false;
    f.set_r0(*r0);
    load_fields(r, copper_fields(f));
    f.edited();
    return true;
}

bool load_cvd(const book::Record& r, CvdForm& f) {
    if (resistance_page(r) != ResistancePage::Cvd) return false;
    f.set_fitted(input_or(r, "fitted") == "1");
    f.set_with_d(input_or(r, "with_d") == "1");
    load_fields(r, cvd_fields(f));
    f.edited();
    return true;
}

// ---- What the book window shows ----------------------------------------------------------

Rows run_reading_rows(const std::vector<book::KeptReading>& readings) {
    Rows rows = {{"序号", "检定点", "热电偶", "通道", "时间", "仪表回答", "电势/mV", "用途"}};
    for (const book::KeptReading& r : readings) {
        rows.push_back({std::to_string(r.position + 1), std::to_string(r.point + 1),
                        r.thermocouple == "standard" ? "标准" : r.thermocouple, r.channel, r.taken, r.reply, r.emf_mV,
                        r.for_stability ? "稳定判据" : "读数"});
    }
    return rows;
}

const char* state_text(book::State state) {
    switch (state) {
        case book::State::Kept: return "待核验";
        case book::State::Checked: return "已核验";
        case book::State::Approved: return "已批准";
        case book::State::Refused: return "已退回";
    }
    return "";
}

std::string sign_off_refusal_text(book::SignOffRefusal refusal, std::int64_t record, const std::string& person) {
    using R = book::SignOffRefusal;
    const std::string id = std::to_string(record);
    switch (refusal) {
        case R::NoSuchRecord: return "记录簿中没有记录 " + id;
        case R::Replaced: return "记录 " + id + " 已被更正记录取代，请审核那份记录";
        case R::NoSuchPerson: return person + " 不在实验室的人员中（人员…）";
        case R::LacksRole: return person + " 没有这一步所需的角色";
        case R::IsTheOperator: return person + " 是记录 " + id + " 的检定员，须由他人审核";
        case R::AlreadyChecked: return "记录 " + id + " 已核验";
        case R::NotChecked: return "记录 " + id + " 须先核验才能批准";
        case R::AlreadyApproved: return "记录 " + id + " 已批准";
        case R::AlreadyRefused: return "记录 " + id + " 已被退回，应审核它的更正记录";
        case R::NoReason: return "退回须说明原因";
    }
    return {};
}

std::vector<std::string> list_row(const book::Record& r) {
    // A replaced record's sign-off is its correction's.
    std::string state = r.replaced_by ? "已由 " + std::to_string(*r.replaced_by) + " 更正" : state_text(r.state);
    if (!r.replaced_by && r.replaces) state += "，更正 " + std::to_string(*r.replaces);
    return {std::to_string(r.id), kind_text(r.kind), r.number, r.type, r.date, r.operator_name, state};
}

Rows history_rows(const std::vector<book::Calibrated>& history) {
    Rows rows;
    std::vector<std::string> head = {"日期", "记录号", "中间点", "D1/μV", "D2/μV", "D3/μV",
                                     "铜点偏差/μV", "中间点偏差/μV", "锌点偏差/μV", "JJG 75 结论"};
    for (int t : calibration::kTableTemperatures) head.push_back("E(" + std::to_string(t) + ")/mV");
    for (int t : calibration::kTableTemperatures) head.push_back("漂移(" + std::to_string(t) + ")/μV");
    rows.push_back(head);
    for (const book::Calibrated& c : history) {
        const auto& d = c.calibration.deviations;
        std::vector<std::string> row = {
            c.record.date, std::to_string(c.record.id),
            c.inputs.middle == calibration::MiddlePoint::Aluminium ? "铝" : "锑",
            micro(d[0]), micro(d[1]), micro(d[2]), micro(c.check.copper.deviation),
            micro(c.check.middle.deviation), micro(c.check.zinc.deviation), verdict(c.check.pass)};
        for (double e : c.table) row.push_back(text::fixed(e, 5));
        for (std::size_t i = 0; i < c.table.size(); ++i) {
            row.push_back(text::fixed(book::drift_uV(history.front().table[i], c.table[i]), 1));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

Rows tpw_history_rows(const std::vector<book::TriplePointResistance>& history) {
    Rows rows = {{"日期", "记录号", "温区", "系数来源", "Rtp/Ω", "变化/mΩ", "相当于/mK"}};
    for (const book::TriplePointResistance& h : history) {
        const double first = history.front().r_tpw;
        rows.push_back({h.record.date, std::to_string(h.record.id), h.range, h.fitted ? "由固定点拟合" : "证书系数",
                        text::general(h.r_tpw), text::fixed((h.r_tpw - first) * 1000, 3),
                        text::fixed(book::tpw_drift_mK(first, h.r_tpw), 2)});
    }
    return rows;
}

}  // namespace its90::form
