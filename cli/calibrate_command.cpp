// `its90 calibrate`: the type S calibration of the window's upper panel, on the same code.
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include <sstream>

#include "book/fixed_points.h"
#include "calibration/type_s_calibration.h"
#include "cli/commands.h"
#include "cli/context.h"
#include "cli/output.h"
#include "cli/uncertainty_options.h"
#include "cli/words.h"
#include "core/sensors.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::cli {

using text::fixed;
using text::general;

const char* const kCalibrateHelp =
    N_("Usage: its90 calibrate --zn E1 (--al E2 | --sb E2) --cu E3\n"
    "                       [--at T...] [--from T0 --to T1 [--step S]] [--format text|csv]\n"
    "                       [--check] [--keep NUMBER [--operator NAME] [--notes TEXT]\n"
    "                       [--date DATE] [--replaces ID --reason TEXT]]\n"
    "\n"
    "Type S thermocouple calibrated at three fixed points: its EMFs in mV at the zinc point\n"
    "(419.527 \u2103), the aluminium (660.323 \u2103) or antimony point (630.63 \u2103) and the\n"
    "copper point (1084.62 \u2103). Prints the deviations from the reference function, the\n"
    "quadratic deviation function A + B t + C t\u00b2 and the thermocouple's EMF table from\n"
    "300 to 1100 \u2103 by 100 \u2103, with the calculator window's texts and rounding (the\n"
    "antimony table unrounded). --at gives the EMF at each temperature instead, --from/--to\n"
    "a table every S \u2103 (default 1) between -50 and 1664.5 \u2103, rounded to 5 places.\n"
    "--format csv prints only the table, as t_C,emf_mV. --check adds the acceptance check of\n"
    "JJG 75-1995 for a standard type S thermocouple: each point's measured EMF, the required\n"
    "value and allowance, the deviation and pass or fail, then the verdict (in CSV, as rows).\n"
    "--keep NUMBER also keeps the calibration in the laboratory's book (see 'its90 book') as\n"
    "a record of the standard NUMBER, dated now (or --date YYYY-MM-DD [HH:MM], for a\n"
    "calibration done earlier), with its operator and notes; --replaces ID\n"
    "names the earlier record of NUMBER that it corrects, and --reason why. The record's id\n"
    "goes to standard error; it awaits its check (see 'its90 book check'). When the book\n"
    "cannot keep it, nothing is printed and the exit status is 1.\n"
    "\n"
    "Examples:\n"
    "  its90 calibrate --zn 3.45689 --al 5.87013 --cu 10.5848\n"
    "  its90 calibrate --zn 3.45689 --sb 5.5628 --cu 10.5848 --at 450 1000\n"
    "  its90 calibrate --zn 3.45689 --al 5.87013 --cu 10.5848 --from 400 --to 1100 --step 50 "
    "--format csv\n");

namespace {

// A, B and C to the resolution the 5-decimal deviations carry: below it a coefficient is 0.
std::array<std::string, 3> coefficient_texts(const calibration::Calibration& c) {
    const calibration::CoefficientResolution r = calibration::coefficient_resolution(c.middle);
    return {text::to_resolution(c.function.A, r.A), text::to_resolution(c.function.B, r.B),
            text::to_resolution(c.function.C, r.C)};
}

const char* beyond_range() { return tr("the EMFs give values beyond the computable range"); }

// One row of the output: a temperature and the thermocouple's EMF there, as the window shows
// it (text) or as CSV; with its uncertainty when the fixed points' are given (U in degC only
// where there is a differential value: from -49.5 degC, the window's own).
void print_row(Context& ctx, double t, double value, bool csv,
               const std::optional<calibration::FixedPointUncertainties>& u,
               calibration::MiddlePoint middle) {
    std::optional<calibration::DeviationUncertainty> du;
    if (u) {
        const Outcome<calibration::DeviationUncertainty> d = calibration::deviation_uncertainty(middle, *u, t);
        if (d.ok()) du = *d;
    }
    if (csv) {
        ctx.out << general(t) << ',' << general(value);
        if (u) {
            ctx.out << ',';
            if (du) ctx.out << general(du->u_uV) << ',' << general(du->U_uV) << ',' << (du->U_C ? general(*du->U_C) : "");
            else ctx.out << ",,";
        }
        ctx.out << '\n';
        return;
    }
    char cell[32];
    std::snprintf(cell, sizeof cell, "%10s", (general(t) + " \u2103").c_str());
    // The window's digits, with a zero before the point ("-0.22556"), a blank where no sign is.
    ctx.out << cell << "  " << (std::signbit(value) && value != 0 ? "" : " ") << text::Num_to_text(value, ".") << " mV";
    if (du) {
        ctx.out << "  u = " << text::stated(du->u_uV, 3) << " \u03bcV, U = " << text::stated(du->U_uV, 3) << " \u03bcV";
        if (du->U_C) ctx.out << " (" << text::stated(*du->U_C, 3) << " \u2103)";
        else ctx.out << " (" << tr("no U in \u2103: no differential value below -49.5 \u2103") << ")";
    }
    ctx.out << '\n';
}

// The acceptance check of JJG 75-1995: copper, the middle point, zinc, then the verdict.
void print_check(Context& ctx, const calibration::AcceptanceCheck& check, bool aluminium,
                 bool csv) {
    const char* names[] = {N_("zinc"), aluminium ? N_("aluminium") : N_("antimony"), N_("copper")};
    const auto verdict = [csv](bool pass) {
        const char* word = pass ? N_("pass") : N_("fail");
        return csv ? word : tr(word);  // CSV keeps its fixed words for programs
    };
    if (csv) {
        ctx.out << "\npoint,measured_mV,required_mV,allowance_mV,deviation_mV,verdict\n";
        for (const auto& [point, p] : calibration::in_report_order(check)) {
            const char* name = names[point];
            // To the measured EMFs' 5 decimals, as every other surface states them.
            ctx.out << name << ',' << general(p->measured) << ',' << fixed(p->required, 5) << ','
                    << general(p->allowance) << ',' << fixed(p->deviation, 5) << ',' << verdict(p->pass) << '\n';
        }
        ctx.out << "overall,,,,," << verdict(check.pass) << '\n';
        return;
    }
    ctx.out << '\n' << tr("Acceptance check, JJG 75-1995 (reference junction at 0 \u2103):") << '\n';
    for (const auto& [point, p] : calibration::in_report_order(check)) {
        char measured[32];
        std::snprintf(measured, sizeof measured, "%9s", general(p->measured).c_str());
        std::string name = tr(names[point]);
        // Padded to 10 columns as a terminal shows them (a CJK character takes two).
        std::size_t columns = 0;
        for (unsigned char ch : name) columns += (ch & 0xC0) != 0x80 ? (ch >= 0xE0 ? 2 : 1) : 0;
        name.append(columns < 10 ? 10 - columns : 0, ' ');
        ctx.out << name << ' ' << measured << " mV  "
                << format(tr("required %1 \u00b1 %2 mV  deviation %3 mV"), fixed(p->required, 5),
                          fixed(p->allowance, 3), fixed(p->deviation, 5))
                << "  " << verdict(p->pass) << '\n';
    }
    ctx.out << format(tr("overall: %1"), verdict(check.pass)) << '\n';
}

// The fixed points' EMFs must be EMFs of a type S thermocouple.
bool emf_in_range(Context& ctx, const char* option, const char* point, double emf) {
    const Sensor& s = sensor_of(Thermocouple::S);
    if (s.accepts_emf(emf)) return true;
    ctx.fail("--" + std::string(option) + " " + general(emf) + ": " +
             format(tr("the %1 point's EMF lies outside the type S range %2 \u2026 %3 mV"),
                    tr(point), general(s.emfs.lowest), general(s.emfs.highest)));
    return false;
}

// A date as records state it: "2026-12-09", "2026-12-09 14:03" or with seconds.
bool is_record_date(const std::string& text) {
    static constexpr std::string_view kForm = "dddd-dd-dd dd:dd:dd";
    if (text.size() != 10 && text.size() != 16 && text.size() != 19) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kForm[i] == 'd' ? !(text[i] >= '0' && text[i] <= '9') : text[i] != kForm[i]) return false;
    }
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
           (text.size() == 10 || (std::stoi(text.substr(11, 2)) < 24 && std::stoi(text.substr(14, 2)) < 60));
}

// Keeps the calibration in the book as a record of the standard --keep names: its inputs, and
// as its document the graduation table and the acceptance check in CSV. False after the
// reason has been reported.
bool keep(Context& ctx, const Arguments& args, const book::FixedPointInputs& inputs,
          const calibration::Calibration& calibrated, std::optional<std::int64_t> replaces) {
    std::ostringstream document;
    Context writer{ctx.in, document, ctx.err, ctx.usage};
    const Outcome<calibration::GraduationTable> table = calibration::graduation_table(calibrated);
    const Outcome<calibration::AcceptanceCheck> check =
        calibration::acceptance_check(inputs.emfs[0], inputs.emfs[1], inputs.emfs[2], inputs.middle);
    if (!table.ok() || !check.ok()) {
        ctx.fail(beyond_range());
        return false;
    }
    // The record as a technician reads it: the points, the deviation function, the table with
    // its uncertainty to the digits it is stated with, the acceptance check.
    const bool al = inputs.middle == calibration::MiddlePoint::Aluminium;
    const std::array<double, 3> t = calibration::fixed_point_temperatures(inputs.middle);
    const char* names[] = {"zinc", al ? "aluminium" : "antimony", "copper"};
    document << "point,t_C,emf_mV,deviation_mV\n";
    for (std::size_t i = 0; i < 3; ++i) {
        document << names[i] << ',' << general(t[i]) << ',' << general(inputs.emfs[i]) << ','
                 << fixed(calibrated.deviations[i], 5) << '\n';
    }
    const std::array<std::string, 3> abc = coefficient_texts(calibrated);
    document << "\nA_mV,B_mV_per_C,C_mV_per_C2\n" << abc[0] << ',' << abc[1] << ',' << abc[2] << "\n\n"
             << (inputs.uncertainty ? "t_C,emf_mV,u_uV,U_uV,U_C\n" : "t_C,emf_mV\n");
    for (std::size_t r = 0; r < table->size(); ++r) {
        const double at = calibration::kTableTemperatures[r];
        document << general(at) << ',' << general((*table)[r]);
        if (inputs.uncertainty) {
            const Outcome<calibration::DeviationUncertainty> d =
                calibration::deviation_uncertainty(inputs.middle, *inputs.uncertainty, at);
            if (d.ok()) {
                document << ',' << text::stated(d->u_uV, 3) << ',' << text::stated(d->U_uV, 3) << ','
                         << (d->U_C ? text::stated(*d->U_C, 3) : "");
            } else {
                document << ",,,";
            }
        }
        document << '\n';
    }
    print_check(writer, *check, al, true);

    book::Record record;
    record.kind = book::Kind::FixedPoint;
    record.number = *args.value("keep");
    record.type = std::string(1, 'S');  // (GCC 12 warns of a literal here in error)
    record.operator_name = args.value("operator").value_or("");
    record.notes = args.value("notes").value_or("");
    record.date = args.value("date").value_or(book::now_text());
    record.program_version = ITS90_VERSION;
    record.replaces = replaces;
    record.reason = args.value("reason").value_or("");
    record.inputs = book::fields_of(inputs);
    record.document = document.str();
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadWrite);
    if (!book) return false;
    try {
        const std::int64_t id = book->keep(record);
        ctx.err << format(tr("kept as record %1 of %2 in %3"), std::to_string(id),
                          printable(record.number), printable(book->path()))
                << '\n';
        return true;
    } catch (const book::Failure& f) {
        ctx.fail(why(f.problem()));
        return false;
    }
}

}  // namespace

int run_calibrate(Context& ctx, const std::vector<std::string>& words) {
    using calibration::MiddlePoint;
    const std::optional<Arguments> args = parse_or_report(
        ctx, words,
        {"zn", "al", "sb", "cu", "from", "to", "step", "format", "u-zn", "u-al", "u-sb", "u-cu", "u-common",
         "k", "budget", "keep", "operator", "notes", "replaces", "reason", "date"},
        {"at"}, {"check"});
    if (!args) return ctx.status;
    if (!args->positional.empty()) return ctx.usage_error(format(tr("unexpected '%1'"), quoted(args->positional[0])));
    if (args->has("al") == args->has("sb")) return ctx.usage_error(tr("give one of --al and --sb"));
    if (!args->has("zn") || !args->has("cu")) return ctx.usage_error(tr("--zn and --cu are needed"));
    if (args->has("from") != args->has("to")) return ctx.usage_error(tr("--from goes with --to"));
    if (args->has("step") && !args->has("from")) return ctx.usage_error(tr("--step goes with --from"));
    const std::string output = args->value("format").value_or("text");
    if (output != "text" && output != "csv") return ctx.usage_error(tr("--format is text or csv"));
    if (!args->has("keep") && (args->has("operator") || args->has("notes") || args->has("replaces") || args->has("date"))) {
        return ctx.usage_error(tr("--operator, --notes, --date and --replaces go with --keep"));
    }
    if (args->has("date") && !is_record_date(*args->value("date"))) {
        return ctx.usage_error(format(tr("--date takes YYYY-MM-DD or YYYY-MM-DD HH:MM, not '%1'"),
                                      cli::quoted(*args->value("date"))));
    }
    if (args->has("keep") && args->value("keep")->empty()) {
        return ctx.usage_error(tr("--keep takes the standard's number"));
    }
    std::optional<std::int64_t> replaces;
    if (args->has("replaces")) {
        const std::optional<double> id = ctx.number_option(*args, "replaces");
        if (!id) return ctx.status;
        if (!(*id >= 1 && *id <= 9e15 && *id == static_cast<double>(static_cast<std::int64_t>(*id)))) {
            return ctx.usage_error(tr("--replaces takes a record ID, a whole number above 0"));
        }
        replaces = static_cast<std::int64_t>(*id);
    }
    // A correction says why (ISO/IEC 17025 7.5.2); a reason alone corrects nothing.
    if (args->has("replaces") != args->has("reason")) {
        return ctx.usage_error(tr("--replaces and --reason go together: a correction names why it corrects"));
    }
    if (args->has("reason") && args->value("reason")->find_first_not_of(" \t") == std::string::npos) {
        return ctx.usage_error(tr("--reason takes why the record is corrected"));
    }

    const MiddlePoint middle = args->has("al") ? MiddlePoint::Aluminium : MiddlePoint::Antimony;
    const double zinc = ctx.number_option(*args, "zn").value_or(0);
    const double middle_emf = ctx.number_option(*args, middle == MiddlePoint::Aluminium ? "al" : "sb").value_or(0);
    const double copper = ctx.number_option(*args, "cu").value_or(0);
    const std::optional<double> from = ctx.number_option(*args, "from");
    const std::optional<double> to = ctx.number_option(*args, "to");
    const double step = ctx.number_option(*args, "step").value_or(1.0);
    if (ctx.usage_failed()) return ctx.status;
    if (!(step > 0)) return ctx.usage_error(tr("--step must be above 0"));
    const std::optional<Uncertainties> uncertainties = uncertainties_or_report(ctx, *args, middle);
    if (!uncertainties) return ctx.status;
    if (uncertainties->comparison && !uncertainties->fixed_points) {
        return ctx.usage_error(tr("calibrate takes the fixed points' uncertainties: --u-zn, --u-al or --u-sb, --u-cu"));
    }
    const std::optional<calibration::FixedPointUncertainties>& u = uncertainties->fixed_points;

    // Every argument is checked, and every value that can fail is computed, before anything
    // is written: a failing command writes nothing to standard output.
    const bool al = middle == MiddlePoint::Aluminium;
    if (!emf_in_range(ctx, "zn", N_("zinc"), zinc) ||
        !emf_in_range(ctx, al ? "al" : "sb", al ? N_("aluminium") : N_("antimony"), middle_emf) ||
        !emf_in_range(ctx, "cu", N_("copper"), copper)) {
        return ctx.status;
    }
    if (const auto fault = calibration::implausible_fixed_point_emfs({zinc, middle_emf, copper}, middle)) {
        return ctx.fail(why(*fault, {zinc, middle_emf, copper}, middle));
    }
    const Outcome<calibration::Calibration> calibrated =
        calibration::calibrate(zinc, middle_emf, copper, middle);
    if (!calibrated.ok()) return ctx.fail(beyond_range());

    // The rows of --at and of the window's table, or the count of a --from/--to table, which
    // is streamed: EMFs inside the type S range give finite values at every temperature.
    std::vector<std::pair<double, double>> rows;
    std::optional<long> count;
    if (args->has("at")) {
        for (const std::string& word : args->values("at")) {
            const text::StrictNumber t = text::read_strict_number(word);
            if (!t.value) {
                return ctx.usage_error(format(
                    t.problem == text::StrictNumber::Problem::OutOfRange
                        ? tr("--at %1 lies beyond the range of numbers this program holds")
                        : tr("--at takes numbers, not '%1'"),
                    quoted(word)));
            }
            const Outcome<double> v = calibration::emf_at(*calibrated, *t.value);
            if (!v.ok() && v.rejection().cause == Rejection::Cause::OutOfRange) {
                return ctx.fail(quoted(word) + ": " +
                                format(tr("the calibration gives EMFs from %1 to %2"),
                                       general(calibration::kLowestTemperature),
                                       degrees(calibration::kHighestTemperature)));
            }
            if (!v.ok()) return ctx.fail(beyond_range());
            rows.emplace_back(*t.value, *v);
        }
    } else if (from) {
        if (*from < calibration::kLowestTemperature || *to > calibration::kHighestTemperature ||
            *from > *to) {
            return ctx.fail(format(tr("table from %1 to %2 leaves %3"), degrees(*from), degrees(*to),
                                   general(calibration::kLowestTemperature) + " \u2026 " +
                                       degrees(calibration::kHighestTemperature)));
        }
        count = ctx.step_count(*from, *to, step);
        if (!count) return ctx.status;
    } else {
        // The window's graduation table: rounded with aluminium, unrounded with antimony.
        const Outcome<calibration::GraduationTable> table =
            calibration::graduation_table(*calibrated);
        if (!table.ok()) return ctx.fail(beyond_range());
        for (std::size_t r = 0; r < table->size(); ++r) {
            rows.emplace_back(calibration::kTableTemperatures[r], (*table)[r]);
        }
    }

    // Uncertainties too large to square and sum give no row: refused before anything is written.
    if (u) {
        bool computable = true;
        const auto check = [&](double t) {
            const Outcome<calibration::DeviationUncertainty> du = calibration::deviation_uncertainty(middle, *u, t);
            if (!du.ok() && du.rejection().cause == Rejection::Cause::NotFinite) computable = false;
        };
        for (const auto& row : rows) check(row.first);
        if (count) ctx.for_each_step(*from, step, *count, check);
        if (!computable) return ctx.fail(tr("the uncertainties give values beyond the computable range"));
    }

    if (args->has("keep")) {
        if (!keep(ctx, *args, {{zinc, middle_emf, copper}, middle, u}, *calibrated, replaces)) return ctx.status;
    }

    const std::array<double, 3>& d = calibrated->deviations;
    const std::array<std::string, 3> abc = coefficient_texts(*calibrated);
    const bool csv = output == "csv";
    if (csv) {
        ctx.out << (u ? "t_C,emf_mV,u_uV,U_uV,U_C\n" : "t_C,emf_mV\n");
    } else {
        // The deviations to the EMFs' resolution, the coefficients to what that carries.
        const std::array<double, 3> t = calibration::fixed_point_temperatures(middle);
        ctx.out << format(tr("Type S calibration at zinc %1, %2, copper %3"), degrees(t[0]),
                          format(al ? tr("aluminium %1") : tr("antimony %1"), degrees(t[1])),
                          degrees(t[2]))
                << "\nD1 = " << fixed(d[0], 5) << " mV\nD2 = " << fixed(d[1], 5)
                << " mV\nD3 = " << fixed(d[2], 5) << " mV\n"
                << "dE(t) = A + B t + C t\u00b2:\nA = " << abc[0] << " mV\nB = " << abc[1] << " mV/\u2103\nC = " << abc[2]
                << " mV/\u2103\u00b2\n";
        if (u) {
            ctx.out << format(tr("u(D1) = %1 \u03bcV, u(D2) = %2 \u03bcV, u(D3) = %3 \u03bcV, u0 = %4 \u03bcV, k = %5"),
                              general(u->points[0]), general(u->points[1]), general(u->points[2]),
                              general(u->common), general(u->k))
                    << '\n';
            print_budgets(ctx, *uncertainties);
        }
        ctx.out << '\n';
    }
    for (const auto& [t, value] : rows) print_row(ctx, t, value, csv, u, middle);
    if (count) {
        ctx.for_each_step(*from, step, *count, [&](double t) {
            const Outcome<double> v = calibration::emf_at(*calibrated, t);
            if (v.ok()) print_row(ctx, t, *v, csv, u, middle);
        });
    }
    if (args->has("check")) {
        const Outcome<calibration::AcceptanceCheck> check =
            calibration::acceptance_check(zinc, middle_emf, copper, middle);
        if (check.ok()) print_check(ctx, *check, al, csv);
    }
    return ctx.status;
}

}  // namespace its90::cli
