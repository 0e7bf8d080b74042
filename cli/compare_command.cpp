// `its90 compare`: working thermocouples checked against a standard type S thermocouple by
// comparison in one furnace, at one point from the command line or a whole run from a file.
#include <fstream>
#include <iostream>
#include <istream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "book/fixed_points.h"
#include "calibration/comparison.h"
#include "cli/commands.h"
#include "cli/context.h"
#include "cli/meter_options.h"
#include "cli/output.h"
#include "cli/uncertainty_options.h"
#include "cli/words.h"
#include "core/sensors.h"
#include "instrument/plan.h"
#include "instrument/run.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::cli {

using text::fixed;
using text::general;
using text::round_trip;

const char* const kCompareHelp =
    N_("Usage: its90 compare TYPE --at T --std E[,E...] --uut E[,E...]\n"
       "                     (--cert E | --zn E1 (--al E2 | --sb E2) --cu E3 | --standard NUMBER)\n"
       "                     [--format text|csv]\n"
       "       its90 compare --batch FILE (--zn E1 (--al E2 | --sb E2) --cu E3 | --standard NUMBER)?\n"
       "                     [--format text|csv]\n"
       "       its90 compare --batch-plan PLAN --meter ADDRESS --readings N\n"
       "                     (--zn E1 (--al E2 | --sb E2) --cu E3 | --standard NUMBER)\n"
       "                     [--profile NAME|FILE] [--stable-sd UV] [--stable-drift C_PER_MIN]\n"
       "                     [--stable-count N] [--interval S] [--point-timeout S]\n"
       "                     [--readings-out FILE] [--log FILE] [--resume | --new] [--format text|csv]\n"
       "\n"
       "A working thermocouple of TYPE (K N E J T S R B) checked against a standard type S\n"
       "thermocouple in one furnace at the point T \u2103, from the means of their readings\n"
       "(mV, 1 to 20 each, comma-separated): de = e_uut + (e_cert - e_std) S_uut / S_std - e_ref\n"
       "and dt = de / S_uut, where e_cert is the standard's own EMF at T, e_ref the type's\n"
       "reference EMF at T to 5 places and S the differential values at T in \u03bcV/\u2103 as the\n"
       "window shows them. The standard's EMF comes from its certificate (--cert) or from its\n"
       "fixed-point calibration (--zn, --al or --sb, --cu): the type S reference EMF at T plus\n"
       "the deviation A + B t + C t\u00b2 of the calibration, for T from -50 to 1664.5 \u2103, or\n"
       "from the latest fixed-point calibration of the standard NUMBER in the laboratory's book\n"
       "(--standard; see 'its90 book'), exactly as if its EMFs were typed. The\n"
       "verdict is the tightest tolerance class of IEC 60584-1 that covers |dt| at T, or none.\n"
       "\n"
       "Text: de to 4 decimals, dt to 2, the class. --format csv: the header\n"
       "t_C,type,std_mean_mV,std_cert_mV,std_seebeck_uV_per_C,uut_mean_mV,uut_ref_mV,\n"
       "uut_seebeck_uV_per_C,delta_e_mV,delta_t_C,class (all on one line) and a row, numbers\n"
       "in the shortest text that reads back as the same value, class 1, 2, 3 or none.\n"
       "\n"
       "--batch FILE reads a whole furnace run ('-': standard input), one reading a line:\n"
       "  t_C,thermocouple,type,emf_mV\n"
       "thermocouple is 'standard' for the standard's readings, 'certificate' for its\n"
       "certificate EMF at that point (unless --zn/--al/--cu give it), or the working\n"
       "thermocouple's number; type is its type (S for the standard). A first line starting\n"
       "with t_C, empty lines and lines starting with # are passed over. One result per\n"
       "point and working thermocouple, in the order they first appear; in CSV the row ends\n"
       "with its number (column 'number').\n"
       "\n"
       "--batch-plan PLAN takes a whole furnace run from a meter (see 'its90 meter'). PLAN has\n"
       "the header t_C,thermocouple,type,channel and a row per point and thermocouple\n"
       "('standard' for the standard, type S). At each point the furnace is set (when the\n"
       "profile says how) and the standard read every --interval seconds (10) until its last\n"
       "--stable-count readings (10) have a standard deviation of at most --stable-sd uV (3)\n"
       "and a drift of at most --stable-drift \u2103/min (0.1); a point not settled within\n"
       "--point-timeout seconds (3600) stops the run, naming the limit. Then N readings of\n"
       "each (1 to 20), in the order standard, working thermocouples, N times. Every reading\n"
       "is kept in the book as it arrives: a run stopped by a fault or killed is taken up\n"
       "again with --resume (--new starts it afresh). It prints exactly what --batch prints\n"
       "for the readings it took; --readings-out writes them in the --batch format (the\n"
       "meter's volts with the decimal point moved, every digit kept). Progress goes to\n"
       "standard error: a line at each change, and a bar when it is a terminal.\n"
       "\n"
       "Examples:\n"
       "  its90 compare K --at 400 --std 3.26046 --uut 16.38544 --cert 3.2587\n"
       "  its90 compare N --at 600 --std 5.2387,5.2391 --uut 20.6101,20.6113 \\\n"
       "        --zn 3.44689 --al 5.86013 --cu 10.5748 --format csv\n"
       "  its90 compare --batch run.csv --format csv > results.csv\n"
       "  its90 compare --batch-plan plan.csv --meter tcp://192.168.0.20:5025 --readings 10 \\\n"
       "        --standard S-0421 --readings-out readings.csv --format csv > results.csv\n");

namespace {

constexpr const char* kCsvHeader =
    "t_C,type,std_mean_mV,std_cert_mV,std_seebeck_uV_per_C,uut_mean_mV,uut_ref_mV,"
    "uut_seebeck_uV_per_C,delta_e_mV,delta_t_C,class";

std::string class_name(const ToleranceClass* c) { return c != nullptr ? c->name : "none"; }

void print_result(Context& ctx, double t, Thermocouple type, const calibration::ComparisonResult& r,
                  bool csv, const std::string& number,
                  const std::optional<calibration::DeltaTUncertainty>& u, double k) {
    if (csv) {
        ctx.out << round_trip(t) << ',' << letter(type) << ',' << round_trip(r.standard_mean) << ','
                << round_trip(r.standard_certificate) << ',' << round_trip(r.standard_seebeck) << ','
                << round_trip(r.working_mean) << ',' << round_trip(r.working_reference) << ','
                << round_trip(r.working_seebeck) << ',' << round_trip(r.delta_e) << ','
                << round_trip(r.delta_t) << ',' << class_name(r.tightest);
        if (u) ctx.out << ',' << round_trip(u->u_C) << ',' << round_trip(u->U_C);
        if (!number.empty()) ctx.out << ',' << number;
        ctx.out << '\n';
        return;
    }
    if (!number.empty()) ctx.out << number << ", ";
    ctx.out << format(tr("type %1 at %2"), std::string(1, letter(type)), degrees(t)) << '\n'
            << "  " << format(tr("standard: mean %1 mV, its own EMF %2 mV, S %3 \u03bcV/\u2103"),
                              general(r.standard_mean), general(r.standard_certificate),
                              fixed(r.standard_seebeck, 2))
            << '\n'
            << "  " << format(tr("working: mean %1 mV, reference %2 mV, S %3 \u03bcV/\u2103"),
                              general(r.working_mean), fixed(r.working_reference, 5),
                              fixed(r.working_seebeck, 2))
            << '\n'
            << "  \u0394e = " << fixed(r.delta_e, 4) << " mV, \u0394t = " << fixed(r.delta_t, 2)
            << " \u2103, " << format(tr("class %1"), r.tightest ? r.tightest->name : tr("none"))
            << '\n';
    if (u) {
        ctx.out << "  u(\u0394t) = " << fixed(u->u_C, 3) << " \u2103, U(\u0394t) = " << fixed(u->U_C, 2)
                << " \u2103 (k = " << general(k) << ")\n";
    }
}

// Comma-separated readings; nothing, after a usage error naming the word, when one is not a
// number.
std::optional<std::vector<double>> readings_of(Context& ctx, const char* option,
                                               const std::string& words) {
    std::vector<double> values;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = words.find(',', start);
        const std::string word = words.substr(start, comma == std::string::npos ? comma : comma - start);
        const text::StrictNumber n = text::read_strict_number(word);
        if (!n.value) {
            ctx.usage_error(format(tr("--%1 takes numbers separated by commas, not '%2'"), option,
                                   quoted(word)));
            return std::nullopt;
        }
        values.push_back(*n.value);
        if (comma == std::string::npos) return values;
        start = comma + 1;
    }
}

// The standard's fixed-point calibration, when --zn and --al or --sb and --cu give it.
struct FixedPoints {
    bool given = false;
    calibration::Calibration calibration{};
};

// u(dt) of a result, when uncertainties are given: u_cert typed, or from the fixed points'
// uncertainties through the deviation function at the point.
// An overflow is a value beyond the computable range (status 1); the rest are bad input.
void report_uncertainty(Context& ctx, const std::string& message, const Rejection& why_not) {
    if (why_not.cause == Rejection::Cause::NotFinite) {
        ctx.fail(message);
    } else {
        ctx.usage_error(message);
    }
}

std::optional<calibration::DeltaTUncertainty> uncertainty_of(
    Context& ctx, const Uncertainties& u, const FixedPoints& fixed_points, double t,
    const calibration::ComparisonInput& input, const calibration::ComparisonResult& r,
    const std::string& where, bool& refused) {
    if (!u.comparison) return std::nullopt;
    calibration::ComparisonUncertainties cu = *u.comparison;
    if (fixed_points.given && u.fixed_points) {
        const Outcome<calibration::DeviationUncertainty> d =
            calibration::deviation_uncertainty(fixed_points.calibration.middle, *u.fixed_points, t);
        if (!d.ok()) {
            report_uncertainty(ctx, where + why(d.rejection(), Thermocouple::S), d.rejection());
            refused = true;
            return std::nullopt;
        }
        cu.certificate = d->u_uV;
    }
    const Outcome<calibration::DeltaTUncertainty> du = calibration::delta_t_uncertainty(input, r, cu);
    if (!du.ok()) {
        report_uncertainty(ctx, where + why(du.rejection(), std::nullopt), du.rejection());
        refused = true;
        return std::nullopt;
    }
    return *du;
}

// The standard's latest fixed-point calibration in the book: exactly its EMFs as typed.
std::optional<FixedPoints> kept_standard_or_report(Context& ctx, const std::string& number) {
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadOnly);
    if (!book) return std::nullopt;
    std::vector<book::Calibrated> history;
    try {
        history = book::standard_history(*book, number);
    } catch (const book::Failure& f) {
        ctx.fail(why(f.problem()));
        return std::nullopt;
    }
    if (history.empty()) {
        ctx.fail(format(tr("the book %1 holds no fixed-point calibration of the standard %2"),
                        printable(book->path()), printable(number)));
        return std::nullopt;
    }
    const book::Calibrated& latest = history.back();
    ctx.err << format(tr("standard %1: record %2 of %3"), printable(number), std::to_string(latest.record.id),
                      latest.record.date)
            << '\n';
    return FixedPoints{true, latest.calibration};
}

std::optional<FixedPoints> fixed_points_or_report(Context& ctx, const Arguments& args) {
    const bool any = args.has("zn") || args.has("al") || args.has("sb") || args.has("cu");
    if (args.has("standard")) {
        if (any || args.has("cert")) {
            ctx.usage_error(tr("give --standard, --cert or the fixed points, only one"));
            return std::nullopt;
        }
        if (args.value("standard")->empty()) {
            ctx.usage_error(tr("--standard takes the standard's number"));
            return std::nullopt;
        }
        return kept_standard_or_report(ctx, *args.value("standard"));
    }
    if (!any) return FixedPoints{};
    if (args.has("al") == args.has("sb")) {
        ctx.usage_error(tr("give one of --al and --sb"));
        return std::nullopt;
    }
    if (!args.has("zn") || !args.has("cu")) {
        ctx.usage_error(tr("--zn and --cu are needed"));
        return std::nullopt;
    }
    const calibration::MiddlePoint middle =
        args.has("al") ? calibration::MiddlePoint::Aluminium : calibration::MiddlePoint::Antimony;
    const std::optional<double> zn = ctx.number_option(args, "zn");
    const std::optional<double> mid = ctx.number_option(args, args.has("al") ? "al" : "sb");
    const std::optional<double> cu = ctx.number_option(args, "cu");
    if (ctx.usage_failed()) return std::nullopt;
    const Sensor& s = sensor_of(Thermocouple::S);
    for (const auto& [option, emf] : {std::pair{"zn", *zn}, {args.has("al") ? "al" : "sb", *mid}, {"cu", *cu}}) {
        if (!s.accepts_emf(emf)) {
            ctx.usage_error("--" + std::string(option) + " " + general(emf) + ": " +
                            why(s.emf_rejection(), Thermocouple::S));
            return std::nullopt;
        }
    }
    if (const auto fault = calibration::implausible_fixed_point_emfs({*zn, *mid, *cu}, middle)) {
        ctx.usage_error(why(*fault, {*zn, *mid, *cu}, middle));
        return std::nullopt;
    }
    const Outcome<calibration::Calibration> c = calibration::calibrate(*zn, *mid, *cu, middle);
    if (!c.ok()) {
        ctx.usage_error(tr("the EMFs give values beyond the computable range"));
        return std::nullopt;
    }
    return FixedPoints{true, *c};
}

// The result of one point, or nothing after a usage error that names what was refused.
std::optional<calibration::ComparisonResult> compare_or_report(
    Context& ctx, double t, Thermocouple type, const std::vector<double>& standard,
    const std::vector<double>& working, std::optional<double> certificate, const FixedPoints& fixed_points,
    const std::string& number) {
    const std::string where = (number.empty() ? "" : number + ", ") + degrees(t) + ": ";
    double e_cert = 0;
    if (fixed_points.given) {
        const Outcome<double> e = calibration::standard_emf(fixed_points.calibration, t);
        if (!e.ok()) {
            ctx.usage_error(where + format(tr("a standard calibrated at the fixed points: %1"),
                                           why(e.rejection(), Thermocouple::S)));
            return std::nullopt;
        }
        e_cert = *e;
    } else if (certificate) {
        e_cert = *certificate;
        // A sign, a decimal point or a digit lost: refused before it can give a result.
        if (t >= sensor_of(Thermocouple::S).temperatures.lowest && t <= sensor_of(Thermocouple::S).temperatures.highest) {
            if (const std::optional<double> d = calibration::implausible_standard_emf(t, e_cert)) {
                ctx.usage_error(where + why_standard_emf(t, e_cert, *d));
                return std::nullopt;
            }
        }
    } else {
        ctx.usage_error(where + tr("the standard's own EMF is missing: give --cert or --zn, --al/--sb and --cu"));
        return std::nullopt;
    }
    const Outcome<calibration::ComparisonResult> r =
        calibration::compare({t, type, standard, working, e_cert});
    if (r.ok()) return *r;
    const Rejection& why_not = r.rejection();
    std::string reason;
    if (why_not.quantity == Quantity::Readings) {
        reason = format(tr("a mean is taken of %1 to %2 readings"), general(why_not.lowest),
                        general(why_not.highest));
    } else if (why_not.quantity == Quantity::Temperature) {
        reason = format(tr("type %1 is compared at points from %2 to %3"),
                        std::string(1, letter(type)), general(why_not.lowest), degrees(why_not.highest));
    } else {
        // A reading outside its type's EMFs: name the first one.
        const bool standard_side = why_not.lowest == sensor_of(Thermocouple::S).emfs.lowest &&
                                   why_not.highest == sensor_of(Thermocouple::S).emfs.highest;
        const std::vector<double>& readings = standard_side ? standard : working;
        double bad = readings.empty() ? 0 : readings.front();
        for (double x : readings) {
            if (!(x >= why_not.lowest && x <= why_not.highest)) {
                bad = x;
                break;
            }
        }
        reason = general(bad) + " mV: " + why(why_not, standard_side ? Thermocouple::S : type);
    }
    ctx.usage_error(where + reason);
    return std::nullopt;
}

int run_batch(Context& ctx, const Arguments& args, const FixedPoints& fixed_points, bool csv,
              const Uncertainties& u);
// The results of a furnace run's readings, one a line (t_C,thermocouple,type,emf_mV) from `in`;
// `source` names the file for messages (empty: standard input).
int compare_readings(Context& ctx, std::istream& in, std::string_view source, const FixedPoints& fixed_points,
                     bool csv, const Uncertainties& u);
int run_plan(Context& ctx, const Arguments& args, const FixedPoints& fixed_points, bool csv,
             const Uncertainties& u);

}  // namespace

int run_compare(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args = parse_or_report(
        ctx, words,
        {"at", "std", "uut", "cert", "zn", "al", "sb", "cu", "format", "batch", "u-zn", "u-al", "u-sb", "u-cu",
         "u-common", "u-cert", "u-dvm", "u-furnace", "k", "budget", "standard", "batch-plan", "meter", "readings",
         "profile", "stable-sd", "stable-drift", "stable-count", "interval", "point-timeout", "readings-out", "log"},
        {}, {"resume", "new"});
    if (!args) return ctx.status;
    const std::string output = args->value("format").value_or("text");
    if (output != "text" && output != "csv") return ctx.usage_error(tr("--format is text or csv"));
    const bool csv = output == "csv";
    const std::optional<FixedPoints> fixed_points = fixed_points_or_report(ctx, *args);
    if (!fixed_points) return ctx.status;
    if (fixed_points->given && args->has("cert")) {
        return ctx.usage_error(tr("give --cert or the fixed points, not both"));
    }
    const std::optional<Uncertainties> u = uncertainties_or_report(
        ctx, *args,
        fixed_points->given ? fixed_points->calibration.middle
        : args->has("sb")   ? calibration::MiddlePoint::Antimony
                            : calibration::MiddlePoint::Aluminium);
    if (!u) return ctx.status;
    const bool point_options = args->has("u-zn") || args->has("u-al") || args->has("u-sb") ||
                               args->has("u-cu") || args->has("u-common");
    if (point_options && !fixed_points->given) {
        return ctx.usage_error(tr("the fixed points' uncertainties go with --zn, --al/--sb and --cu; give --u-cert"));
    }
    const bool plan_options = args->has("meter") || args->has("readings") || args->has("profile") ||
                              args->has("stable-sd") || args->has("stable-drift") || args->has("stable-count") ||
                              args->has("interval") || args->has("point-timeout") || args->has("readings-out") ||
                              args->has("log") || args->has("resume") || args->has("new");
    if (args->has("batch-plan")) {
        if (!args->positional.empty() || args->has("at") || args->has("std") || args->has("uut") ||
            args->has("batch") || args->has("cert")) {
            return ctx.usage_error(tr("--batch-plan takes its points and thermocouples from the file and its readings from the meter"));
        }
        if (!args->has("meter") || !args->has("readings")) return ctx.usage_error(tr("--meter and --readings are needed"));
        if (!fixed_points->given) {
            return ctx.usage_error(tr("a run from a meter needs the standard's own EMFs: give --zn, --al/--sb and --cu, or --standard"));
        }
        if (args->has("resume") && args->has("new")) return ctx.usage_error(tr("give --resume or --new, not both"));
        return run_plan(ctx, *args, *fixed_points, csv, *u);
    }
    if (plan_options) return ctx.usage_error(tr("--meter and the run's options go with --batch-plan"));
    if (args->has("batch")) {
        if (!args->positional.empty() || args->has("at") || args->has("std") || args->has("uut")) {
            return ctx.usage_error(tr("--batch takes its points and readings from the file"));
        }
        return run_batch(ctx, *args, *fixed_points, csv, *u);
    }

    if (args->positional.size() != 1) return ctx.usage_error(tr("give one TYPE"));
    const std::optional<Thermocouple> type = type_or_report(ctx, args->positional[0]);
    if (!type) return ctx.status;
    if (!args->has("at") || !args->has("std") || !args->has("uut")) {
        return ctx.usage_error(tr("--at, --std and --uut are needed"));
    }
    if (!fixed_points->given && !args->has("cert")) {
        return ctx.usage_error(tr("give --cert or --zn, --al/--sb and --cu"));
    }
    const std::optional<double> at = ctx.number_option(*args, "at");
    const std::optional<double> cert = ctx.number_option(*args, "cert");
    if (ctx.usage_failed()) return ctx.status;
    const std::optional<std::vector<double>> standard = readings_of(ctx, "std", *args->value("std"));
    if (!standard) return ctx.status;
    const std::optional<std::vector<double>> working = readings_of(ctx, "uut", *args->value("uut"));
    if (!working) return ctx.status;
    const std::optional<calibration::ComparisonResult> r =
        compare_or_report(ctx, *at, *type, *standard, *working, cert, *fixed_points, "");
    if (!r) return ctx.status;
    bool refused = false;
    const auto du = uncertainty_of(ctx, *u, *fixed_points, *at, {*at, *type, *standard, *working, 0}, *r,
                                   degrees(*at) + ": ", refused);
    if (refused) return ctx.status;
    if (csv) ctx.out << kCsvHeader << (du ? ",u_delta_t_C,U_delta_t_C" : "") << '\n';
    print_result(ctx, *at, *type, *r, csv, "", du, u->comparison ? u->comparison->k : 2);
    return ctx.status;
}

namespace {

struct Point {
    double t;
    std::vector<double> standard;
    std::optional<double> certificate;
    // The working thermocouples in the order they first appear, with their readings.
    std::vector<std::string> order;
    std::map<std::string, std::pair<Thermocouple, std::vector<double>>> working;
};

int run_batch(Context& ctx, const Arguments& args, const FixedPoints& fixed_points, bool csv,
              const Uncertainties& u) {
    const std::string path = *args.value("batch");
    std::ifstream file;
    if (path != "-") {
        if (!readable_file_or_report(ctx, path)) return ctx.status;
        file.open(path);
        if (!file) return ctx.fail(format(tr("cannot read '%1'"), quoted(path)));
    }
    return compare_readings(ctx, path == "-" ? ctx.in : file, path == "-" ? std::string_view() : std::string_view(path),
                            fixed_points, csv, u);
}

int compare_readings(Context& ctx, std::istream& in, std::string_view source, const FixedPoints& fixed_points,
                     bool csv, const Uncertainties& u) {
    // The reader's own output (an empty line for an over-long line) goes nowhere: a refused
    // run writes nothing to standard output.
    std::ostringstream nowhere;
    Context reader{in, nowhere, ctx.err, ctx.usage};

    std::vector<Point> points;
    long line_number = 0;
    bool bad = false;
    const auto refuse = [&](const std::string& why_not) {
        if (!bad) ctx.usage_error(format(tr("line %1: %2"), std::to_string(line_number), why_not));
        bad = true;
    };
    const bool read = reader.for_each_line([&](std::string_view line) {
        ++line_number;
        if (bad) return;
        std::string_view rest = line;
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
        if (rest.empty() || rest.front() == '#' || (line_number == 1 && rest.substr(0, 3) == "t_C")) return;
        std::vector<std::string> cells;
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = line.find(',', start);
            std::string cell(line.substr(start, comma == std::string_view::npos ? comma : comma - start));
            while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\r')) cell.pop_back();
            while (!cell.empty() && cell.front() == ' ') cell.erase(0, 1);
            cells.push_back(cell);
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
        if (cells.size() != 4) return refuse(tr("a line is t_C,thermocouple,type,emf_mV"));
        const text::StrictNumber t = text::read_strict_number(cells[0]);
        const text::StrictNumber emf = text::read_strict_number(cells[3]);
        if (!t.value) return refuse(format(tr("'%1' is not a number"), quoted(cells[0])));
        if (!emf.value) return refuse(format(tr("'%1' is not a number"), quoted(cells[3])));
        const std::optional<Thermocouple> type =
            cells[2].size() == 1 ? thermocouple_from_letter(cells[2][0]) : std::nullopt;
        if (!type) return refuse(format(tr("unknown thermocouple type '%1'"), quoted(cells[2])));
        Point* point = nullptr;
        for (Point& p : points) {
            if (p.t == *t.value) point = &p;
        }
        if (point == nullptr) point = &points.emplace_back(Point{*t.value, {}, std::nullopt, {}, {}});
        const std::string& who = cells[1];
        if (who == "standard" || who == "certificate") {
            if (*type != Thermocouple::S) return refuse(tr("the standard is a type S thermocouple"));
            if (who == "standard") point->standard.push_back(*emf.value);
            else point->certificate = *emf.value;
            return;
        }
        if (who.empty()) return refuse(tr("a working thermocouple needs its number"));
        auto [it, added] = point->working.try_emplace(who, *type, std::vector<double>{});
        if (added) point->order.push_back(who);
        if (it->second.first != *type) return refuse(format(tr("%1 is of one type only"), quoted(who)));
        it->second.second.push_back(*emf.value);
    }, source);
    ctx.worsen(reader.status);
    if (!read) return ctx.status;
    if (bad || ctx.status != kExitOk) return ctx.status;

    // Every result before anything is written: a refused run writes nothing.
    struct Row {
        double t;
        Thermocouple type;
        std::string number;
        calibration::ComparisonResult result;
        std::optional<calibration::DeltaTUncertainty> uncertainty;
    };
    std::vector<Row> rows;
    for (const Point& p : points) {
        for (const std::string& number : p.order) {
            const auto& [type, readings] = p.working.at(number);
            const std::optional<calibration::ComparisonResult> r = compare_or_report(
                ctx, p.t, type, p.standard, readings, p.certificate, fixed_points, number);
            if (!r) return ctx.status;
            bool refused = false;
            const auto du = uncertainty_of(ctx, u, fixed_points, p.t, {p.t, type, p.standard, readings, 0}, *r,
                                           number + ", " + degrees(p.t) + ": ", refused);
            if (refused) return ctx.status;
            rows.push_back({p.t, type, number, *r, du});
        }
    }
    if (rows.empty()) return ctx.usage_error(tr("the file holds no working thermocouple's readings"));
    if (csv) ctx.out << kCsvHeader << (u.comparison ? ",u_delta_t_C,U_delta_t_C" : "") << ",number\n";
    for (const Row& row : rows) {
        print_result(ctx, row.t, row.type, row.result, csv, row.number, row.uncertainty,
                     u.comparison ? u.comparison->k : 2);
    }
    return ctx.status;
}

}  // namespace

namespace {

// A furnace holds only so many thermocouples, and a day only so many points.
constexpr int kMostPlanPoints = 32;
constexpr int kMostPlanWorking = 32;

// A line on standard error at each change of the run's state; between them, where standard
// error is a terminal, a bar redrawn in place.
class ProgressLines : public instrument::RunObserver {
public:
    ProgressLines(Context& ctx, const instrument::Plan& plan, bool terminal)
        : ctx_(ctx), plan_(plan), terminal_(terminal) {}

    void changed(const instrument::RunStatus& s) override {
        using instrument::Phase;
        if (s.phase == Phase::Paused || s.phase == Phase::Stopped) return end_bar();
        if (s.phase != phase_ || s.point != point_) {
            phase_ = s.phase;
            point_ = s.point;
            end_bar();
            const std::string at = format(tr("point %1 of %2, %3"), std::to_string(s.point + 1),
                                          std::to_string(s.points), degrees(plan_.points[static_cast<std::size_t>(s.point)]));
            switch (s.phase) {
            case Phase::Connecting: ctx_.err << tr("connecting to the meter") << '\n'; break;
            case Phase::Heating:
                ctx_.err << at << ": " << tr("heating");
                if (s.set_by_hand) ctx_.err << " (" << format(tr("set the furnace to %1"), degrees(plan_.points[static_cast<std::size_t>(s.point)])) << ')';
                ctx_.err << '\n';
                break;
            case Phase::Settling:
                ctx_.err << at << ": "
                         << format(tr("settling: s at most %1 \u03bcV and drift at most %2 \u2103/min over %3 readings"),
                                   general(plan_.stability.sd_uV), general(plan_.stability.drift_C_per_min),
                                   std::to_string(plan_.stability.count))
                         << '\n';
                break;
            case Phase::Taking:
                ctx_.err << at << ": " << format(tr("taking %1 readings"), std::to_string(s.to_take - s.taken)) << '\n';
                break;
            case Phase::Finished: ctx_.err << tr("every point's readings taken") << '\n'; break;
            default: break;
            }
            ctx_.err.flush();
            return;
        }
        if (!terminal_) return;
        constexpr int kWidth = 20;
        const int filled = s.to_take > 0 ? kWidth * s.taken / s.to_take : 0;
        std::string bar = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                          std::string(static_cast<std::size_t>(kWidth - filled), '-') + "] " +
                          std::to_string(s.taken) + "/" + std::to_string(s.to_take);
        if (s.phase != Phase::Taking) {
            bar += "  s " + text::fixed(s.stability.sd_uV, 2) + " \u03bcV  " + text::fixed(s.stability.drift_C_per_min, 3) +
                   " \u2103/min";
            if (s.standard_C) bar += "  " + text::fixed(*s.standard_C, 1) + " \u2103";
        }
        bar += "  " + text::fixed(s.point_seconds / 60, 1) + " min";
        if (s.seconds_left) bar += ", " + format(tr("%1 min left"), text::fixed(*s.seconds_left / 60, 0));
        ctx_.err << bar << "\x1b[K" << std::flush;
        bar_shown_ = true;
    }

private:
    void end_bar() {
        if (bar_shown_) ctx_.err << '\n';
        bar_shown_ = false;
    }
    Context& ctx_;
    const instrument::Plan& plan_;
    bool terminal_;
    std::optional<instrument::Phase> phase_;
    int point_ = -1;
    bool bar_shown_ = false;
};

// A number option within its bounds, whole where asked; nothing after a usage error.
std::optional<double> bounded_option(Context& ctx, const Arguments& args, const char* name, double fallback,
                                     double lowest, double highest, bool whole, bool lowest_included = true) {
    if (!args.has(name)) return fallback;
    const std::optional<double> v = ctx.number_option(args, name);
    if (!v) return std::nullopt;
    if (*v > highest || *v < lowest || (!lowest_included && *v == lowest) || (whole && *v != std::floor(*v))) {
        ctx.usage_error(format(whole ? tr("--%1 is a whole number from %2 to %3") : tr("--%1 is a number from %2 to %3"),
                               name, general(lowest), general(highest)) +
                        (lowest_included ? "" : " " + format(tr("(above %1)"), general(lowest))));
        return std::nullopt;
    }
    return v;
}

std::string why_plan(const instrument::PlanFault& f) {
    using Cause = instrument::PlanFault::Cause;
    const std::string where = f.line > 0 ? format(tr("line %1: "), std::to_string(f.line)) : std::string();
    switch (f.cause) {
    case Cause::NotFourCells: return where + tr("a line is t_C,thermocouple,type,channel");
    case Cause::NotANumber: return where + format(tr("'%1' is not a number"), quoted(f.text));
    case Cause::UnknownType: return where + format(tr("unknown thermocouple type '%1'"), quoted(f.text));
    case Cause::StandardNotS: return where + tr("the standard is a type S thermocouple");
    case Cause::NoNumber: return where + tr("a working thermocouple needs its number");
    case Cause::NoChannel: return where + format(tr("%1 has no channel"), quoted(f.text));
    case Cause::TwoTypes: return where + format(tr("%1 is of one type only"), quoted(f.text));
    case Cause::TwoChannels:
        return where + format(tr("%1: each thermocouple has one channel of its own at every point"), quoted(f.text));
    case Cause::NoStandard: return format(tr("the point %1 has no row for the standard"), degrees(f.value));
    case Cause::Missing: return where + format(tr("%1 has no row at the point %2"), quoted(f.text), degrees(f.value));
    case Cause::NoWorking: return tr("the plan names no working thermocouple");
    case Cause::NotComparable:
        return where + format(tr("%1 cannot be compared at %2: both types need their differential values there"),
                              quoted(f.text), degrees(f.value));
    case Cause::ControlCharacter:
        return where + format(tr("%1: a number or channel holds a tab or another control character"), printable(f.text));
    case Cause::TooMany:
        return where + format(tr("a run takes at most %1 points and %2 working thermocouples"),
                              std::to_string(kMostPlanPoints), std::to_string(kMostPlanWorking));
    }
    return {};
}

int run_plan(Context& ctx, const Arguments& args, const FixedPoints& fixed_points, bool csv,
             const Uncertainties& u) {
    instrument::Plan settings;
    const auto readings = bounded_option(ctx, args, "readings", 10, 1, static_cast<double>(calibration::kMostReadings), true);
    const auto sd = bounded_option(ctx, args, "stable-sd", settings.stability.sd_uV, 0, 1000, false, false);
    const auto drift = bounded_option(ctx, args, "stable-drift", settings.stability.drift_C_per_min, 0, 100, false, false);
    const auto count = bounded_option(ctx, args, "stable-count", settings.stability.count, 2, 1000, true);
    const auto interval = bounded_option(ctx, args, "interval", settings.interval_s, 0, 3600, false);
    const auto timeout = bounded_option(ctx, args, "point-timeout", settings.point_timeout_s, 0, 7 * 24 * 3600.0, false, false);
    if (ctx.usage_failed()) return ctx.status;
    settings.readings = static_cast<int>(*readings);
    settings.stability = {static_cast<int>(*count), *sd, *drift};
    settings.interval_s = *interval;
    settings.point_timeout_s = *timeout;

    const std::string path = *args.value("batch-plan");
    std::string csv_text;
    {
        std::ifstream file;
        if (path != "-") {
            if (!readable_file_or_report(ctx, path)) return ctx.status;
            file.open(path, std::ios::binary);
            if (!file) return ctx.fail(format(tr("cannot read '%1'"), quoted(path)));
        }
        std::istream& in = path == "-" ? ctx.in : file;
        csv_text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) return ctx.fail(format(tr("cannot read '%1'"), quoted(path)));
    }
    const auto parsed = instrument::plan_from_csv(csv_text, settings, kMostPlanPoints, kMostPlanWorking);
    if (const auto* fault = std::get_if<instrument::PlanFault>(&parsed)) {
        return ctx.usage_error((path == "-" ? std::string() : printable(path) + ": ") + why_plan(*fault));
    }
    const instrument::Plan& plan = std::get<instrument::Plan>(parsed);
    // Everything the results need is checked before hours of readings.
    for (double t : plan.points) {
        const Outcome<double> e = calibration::standard_emf(fixed_points.calibration, t);
        if (!e.ok()) {
            return ctx.usage_error(degrees(t) + ": " + format(tr("a standard calibrated at the fixed points: %1"),
                                                               why(e.rejection(), Thermocouple::S)));
        }
    }
    std::ofstream readings_out;
    if (args.has("readings-out")) {
        readings_out.open(*args.value("readings-out"), std::ios::binary | std::ios::trunc);
        if (!readings_out) return ctx.fail(format(tr("cannot write '%1'"), quoted(*args.value("readings-out"))));
    }
    const std::string address = *args.value("meter");
    std::unique_ptr<instrument::Meter> meter = meter_or_report(ctx, address, args);
    if (!meter) return ctx.status;
    const std::unique_ptr<book::Book> book = open_book_or_report(ctx, book::Book::Access::ReadWrite);
    if (!book) return ctx.status;

    const bool terminal = &ctx.err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    std::unique_ptr<instrument::Run> run;
    ProgressLines progress(ctx, plan, terminal);
    try {
        std::optional<book::KeptRun> unfinished;
        for (book::KeptRun& r : book->runs(true)) {
            if (!unfinished && r.plan == instrument::plan_text(plan)) unfinished = std::move(r);
        }
        if (unfinished && args.has("resume")) {
            run = std::make_unique<instrument::Run>(*meter, *book, unfinished->id, &progress);
            if (unfinished->meter != address) {
                ctx.err << format(tr("run %1 was started at the meter %2 and goes on at %3"), std::to_string(run->id()),
                                  printable(unfinished->meter), printable(address))
                        << '\n';
            }
            ctx.err << format(tr("run %1 taken up again: %2 readings kept"), std::to_string(run->id()),
                              std::to_string(run->readings().size()))
                    << '\n';
        } else if (unfinished && !args.has("new")) {
            return ctx.usage_error(format(tr("run %1 of this plan, started %2, did not end: --resume takes it up where it stopped, --new starts again"),
                                          std::to_string(unfinished->id), unfinished->started));
        } else if (!unfinished && args.has("resume")) {
            return ctx.usage_error(format(tr("the book %1 holds no unfinished run of this plan"),
                                          printable(book->path())));
        } else {
            if (unfinished) book->end_run(unfinished->id, false);
            run = std::make_unique<instrument::Run>(*meter, plan, book.get(), &progress, ITS90_VERSION);
        }
    } catch (const book::Failure& f) {
        return ctx.fail(why(f.problem()));
    } catch (const std::invalid_argument& e) {
        return ctx.fail(e.what());
    }
    const instrument::Phase end = run->go();
    if (end != instrument::Phase::Finished) {
        ctx.fail(run->status().interruption ? why(*run->status().interruption) : tr("the run stopped"));
        if (run->id() != 0) {
            ctx.fail(format(tr("the readings taken are kept in the book (run %1): the same command with --resume goes on from there"),
                            std::to_string(run->id())));
        }
        return ctx.status;
    }
    std::string taken = "t_C,thermocouple,type,emf_mV\n";
    for (const instrument::TakenReading& r : run->readings()) {
        const bool standard = r.who < 0;
        const instrument::PlannedThermocouple* w = standard ? nullptr : &run->plan().working[static_cast<std::size_t>(r.who)];
        taken += text::round_trip(run->plan().points[static_cast<std::size_t>(r.point)]) + "," +
                 (standard ? std::string("standard") : w->number) + "," + (standard ? 'S' : letter(w->type)) + "," +
                 r.reading.emf_text + "\n";
    }
    if (readings_out.is_open()) {
        readings_out << taken;
        readings_out.flush();
        if (!readings_out) return ctx.fail(format(tr("cannot write '%1'"), quoted(*args.value("readings-out"))));
    }
    std::istringstream in(taken);
    return compare_readings(ctx, in, "", fixed_points, csv, u);
}

}  // namespace

}  // namespace its90::cli
