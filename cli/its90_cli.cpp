#include "cli/its90_cli.h"

#include <istream>
#include <ostream>
#include <string_view>

#include "cli/commands.h"
#include "cli/context.h"
#include "cli/output.h"
#include "cli/uncertainty_options.h"
#include "cli/words.h"
#include "text/number_text.h"
#include "core/exact_inverse.h"
#include "core/its90.h"
#include "core/sensors.h"

namespace its90::cli {

using text::fixed;
using text::general;
namespace {

constexpr const char* kUsage =
    N_("Usage: its90 COMMAND [ARGUMENTS]\n"
    "\n"
    "ITS-90 reference functions of thermocouples (IEC 60584-1 / NIST Monograph 175)\n"
    "and the Pt100 resistance (IEC 60751), as in the ITS-90 calculator window.\n"
    "\n"
    "Commands:\n"
    "  emf TYPE VALUE...          temperature in \u2103 -> EMF in mV\n"
    "  temp TYPE VALUE...         EMF in mV -> temperature in \u2103\n"
    "  pt100 VALUE...             temperature in \u2103 -> Pt100 resistance in \u03a9\n"
    "  seebeck TYPE VALUE...      differential value in \u03bcV/\u2103 at each temperature\n"
    "  pt100-slope VALUE...       Pt100 differential value in \u03a9/\u2103\n"
    "  table TYPE|Pt100           graduation table, as text or CSV\n"
    "  calibrate --zn E1 (--al E2 | --sb E2) --cu E3\n"
    "                             type S calibration at three fixed points\n"
    "  tolerance TYPE|Pt100 T...  tolerance of each class at each temperature\n"
    "  check TYPE|Pt100 --at T (--emf E | --ohm R)\n"
    "                             deviation from the reference function and the class met\n"
    "  compare TYPE --at T --std E... --uut E... (--cert E | --zn E1 (--al E2 | --sb E2) --cu E3)\n"
    "                             a working thermocouple against a standard type S one\n"
    "  compare --batch-plan PLAN --meter ADDRESS --readings N (--zn ... | --standard NUMBER)\n"
    "                             a whole furnace run read from a meter\n"
    "  meter identify|read ADDRESS  a meter over SCPI: who it is, a channel's readings\n"
    "  sprt wr|tr|dev|temp|resistance|fit ...\n"
    "                             standard platinum resistance thermometers on ITS-90\n"
    "  cvd fit|resistance|temp ...  industrial PRTs by Callendar-Van Dusen, any R0\n"
    "  copper resistance|temp --r0 50|100 ...\n"
    "                             copper thermometers Cu50 and Cu100 of JJG 229-2010\n"
    "  fit line X:Y ... [--at X]  a straight line by least squares, with its uncertainties\n"
    "  ipts68 t90|t68|diff T...   IPTS-68 temperatures of old certificates and ITS-90\n"
    "  book list|show|export|backup|runs|run ...\n"
    "                             the laboratory's book of kept records\n"
    "\n"
    "TYPE is one of S R B K N J E T, in either case. A VALUE of '-' reads values from\n"
    "standard input, one per line. Each value gives one line on standard output: the\n"
    "result with up to 15 significant digits, or an empty line when the value is rejected\n"
    "(the reason goes to standard error). emf, temp and table take --ref-junction TCJ for\n"
    "a reference junction at TCJ \u2103 instead of 0 \u2103.\n"
    "--unit C|K|F (anywhere on the line) has emf, temp, pt100, seebeck, pt100-slope, table,\n"
    "tolerance, check, sprt, cvd, copper and ipts68 read and give temperatures, TCJ and ranges\n"
    "in \u2103, K or \u2109 (a difference, a tolerance, an uncertainty or a value per degree by\n"
    "the size of the degree, no offset); calibrate and compare state \u2103 as their records do.\n"
    "\n"
    "Exit status: 0 all values converted, 1 a value outside a function's range,\n"
    "2 a bad command, type, option or a value that is not a number, 3 standard input\n"
    "could not be read or standard output not written.\n"
    "\n"
    "Run 'its90 COMMAND --help' for the help and an example of one command.\n");

constexpr const char* kEmfHelp =
    N_("Usage: its90 emf TYPE [--ref-junction TCJ] VALUE...\n"
    "\n"
    "Thermocouple EMF in mV at each temperature in \u2103, rounded to 5 decimal places.\n"
    "TYPE is one of S R B K N J E T. With --ref-junction TCJ the reference junction is at\n"
    "TCJ \u2103 and the EMF printed is E(t) - E(TCJ).\n"
    "\n"
    "Examples:\n"
    "  its90 emf K 100                       prints 4.09623\n"
    "  its90 emf s -50 1064.18               prints -0.23556 and 10.33421\n"
    "  its90 emf K --ref-junction 25 100     prints 3.09599\n"
    "  seq 0 10 1000 | its90 emf J -\n");

constexpr const char* kTempHelp =
    N_("Usage: its90 temp TYPE [--ref-junction TCJ] [--exact] VALUE...\n"
    "\n"
    "Temperature in \u2103 from each thermocouple EMF in mV, by the published inverse\n"
    "function, rounded to 4 decimal places. TYPE is one of S R B K N J E T. With\n"
    "--ref-junction TCJ the measured EMF is that of a reference junction at TCJ \u2103:\n"
    "E(TCJ) is added to it before the inverse function.\n"
    "--exact  the temperature at which the reference function itself, unrounded, gives the\n"
    "         EMF, found by bisection over its whole range (the published inverse functions\n"
    "         err by up to 0.053 \u2103 and do not reach below -200 \u2103). Type B EMFs from\n"
    "         -0.0026 to 0 mV belong to two temperatures and are rejected.\n"
    "\n"
    "Examples:\n"
    "  its90 temp K 4.096                    prints 99.9633\n"
    "  its90 temp K --ref-junction 25 3.09599   prints 99.9688\n"
    "  its90 temp K --exact 54.886           prints 1371.99...\n");

constexpr const char* kPt100Help =
    N_("Usage: its90 pt100 [--inverse] VALUE...\n"
    "\n"
    "Resistance in \u03a9 of a Pt100 (R0 = 100 \u03a9, IEC 60751) at each temperature in \u2103,\n"
    "from -200 to 850 \u2103. With --inverse, the temperature in \u2103 at each resistance in\n"
    "\u03a9, found exactly by bisection.\n"
    "\n"
    "Examples:\n"
    "  its90 pt100 100                       prints 138.5055\n"
    "  its90 pt100 -200 850                  prints 18.52008 and 390.481125\n");

constexpr const char* kSeebeckHelp =
    N_("Usage: its90 seebeck TYPE VALUE...\n"
    "\n"
    "Differential value in \u03bcV/\u2103 at each temperature, as the window shows it: the EMF\n"
    "at t + 0.5 \u2103 minus the EMF at t - 0.5 \u2103, times 1000, rounded to 2 places. The\n"
    "temperature must lie 0.5 \u2103 inside the type's range.\n"
    "\n"
    "Example:\n"
    "  its90 seebeck K 100                   prints 41.37\n");

constexpr const char* kSlopeHelp =
    N_("Usage: its90 pt100-slope VALUE...\n"
    "\n"
    "Pt100 differential value in \u03a9/\u2103 at each temperature, as the window shows it:\n"
    "R(t + 0.5) - R(t - 0.5), rounded to 2 places, from -199.5 to 849.5 \u2103.\n"
    "\n"
    "Example:\n"
    "  its90 pt100-slope 0                   prints 0.39\n");

// emf and temp: a type, an optional reference junction and the values.
int run_thermocouple(Context& ctx, const std::vector<std::string>& words, bool to_emf) {
    const std::optional<Arguments> args =
        parse_or_report(ctx, words, {"ref-junction"}, {}, to_emf ? std::initializer_list<std::string_view>{}
                                                                : std::initializer_list<std::string_view>{"exact"});
    if (!args) return ctx.status;
    if (args->positional.empty()) return ctx.usage_error(tr("missing thermocouple type"));
    const std::optional<Thermocouple> type = type_or_report(ctx, args->positional[0]);
    if (!type) return ctx.status;
    const std::vector<std::string> values(args->positional.begin() + 1, args->positional.end());
    if (values.empty()) return ctx.usage_error(tr("missing values"));
    std::optional<double> junction = ctx.number_option(*args, "ref-junction");
    if (ctx.usage_failed()) return ctx.status;
    if (junction) junction = typed_temperature(*junction);

    // A reference junction at TCJ reads E(t) - E(TCJ): compensate in the EMF domain.
    const std::optional<double> junction_emf = ctx.junction_emf(*type, junction);
    if (!junction_emf) return ctx.status;
    const ReferenceFunction emf = emf_function(*type);
    const ReferenceFunction temperature = temperature_function(*type);
    if (args->has("exact")) {
        // The junction's EMF unrounded too, so that nothing is rounded before the search.
        const std::optional<double> junction_unrounded = ctx.junction_emf_unrounded(*type, junction);
        if (!junction_unrounded) return ctx.status;
        ctx.for_each_value(values, [&](std::string_view text, double v) {
            const Outcome<double> t = exact_temperature(*type, v + *junction_unrounded);
            if (!t.ok()) return ctx.reject(text, exact_rejection(*type, t.rejection()));
            ctx.out << temperature_text(*t) << '\n';
        });
        return ctx.status;
    }
    ctx.for_each_value(values, [&](std::string_view text, double v) {
        if (to_emf) {
            const Result r = emf(to_single(typed_temperature(v)));
            if (r.rejected()) return ctx.reject(text, why(r.rejection(), *type));
            const double e = junction ? round_half_even(r.value() - *junction_emf, 5) : r.value();
            ctx.out << general(e) << '\n';
            return;
        }
        const Result r = temperature(to_single(junction ? v + *junction_emf : v));
        if (r.rejected()) return ctx.reject(text, why(r.rejection(), *type));
        ctx.out << temperature_text(r.value()) << '\n';
    });
    return ctx.status;
}

int run_pt100(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args = parse_or_report(ctx, words, {}, {}, {"inverse"});
    if (!args) return ctx.status;
    if (args->positional.empty()) return ctx.usage_error(tr("missing values"));
    if (args->has("inverse")) {
        ctx.for_each_value(args->positional, [&](std::string_view text, double ohm) {
            const Outcome<double> t = exact_pt100_temperature(ohm);
            if (!t.ok()) return ctx.reject(text, exact_rejection(std::nullopt, t.rejection()));
            ctx.out << temperature_text(*t) << '\n';
        });
        return ctx.status;
    }
    ctx.for_each_value(args->positional, [&](std::string_view text, double v) {
        const Result r = R_Pt100(to_single(typed_temperature(v)));
        if (r.rejected()) return ctx.reject(text, why(r.rejection(), std::nullopt));
        ctx.out << general(r.value()) << '\n';
    });
    return ctx.status;
}

// seebeck and pt100-slope: the window's differential value.
int run_differential(Context& ctx, const Sensor& sensor, const std::vector<std::string>& values) {
    if (values.empty()) return ctx.usage_error(tr("missing values"));
    const std::string window = format(tr("outside the differential window %1 \u2026 %2"),
                                      temperature_text(sensor.lowest_differential()),
                                      degrees(sensor.highest_differential()));
    ctx.for_each_value(values, [&](std::string_view text, double v) {
        const std::optional<double> d = differential_value(sensor, typed_temperature(v));
        if (!d) return ctx.reject(text, window);
        ctx.out << per_degree_text(*d) << '\n';
    });
    return ctx.status;
}

int run_seebeck(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args = parse_or_report(ctx, words, {});
    if (!args) return ctx.status;
    if (args->positional.empty()) return ctx.usage_error(tr("missing thermocouple type"));
    const std::optional<Thermocouple> type = type_or_report(ctx, args->positional[0]);
    if (!type) return ctx.status;
    return run_differential(ctx, sensor_of(*type),
                            {args->positional.begin() + 1, args->positional.end()});
}

int run_slope(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args = parse_or_report(ctx, words, {});
    if (!args) return ctx.status;
    return run_differential(ctx, pt100(), args->positional);
}

struct Command {
    std::string_view name;
    const char* const* help;
    int (*run)(Context&, const std::vector<std::string>&);
    const char* const* more_help = nullptr;  // printed after it
    // Whether its temperatures follow --unit; the others state degC as their records do.
    bool takes_unit = false;
};

const Command kCommands[] = {
    {"emf", &kEmfHelp,
     [](Context& c, const std::vector<std::string>& w) { return run_thermocouple(c, w, true); }, nullptr, true},
    {"temp", &kTempHelp,
     [](Context& c, const std::vector<std::string>& w) { return run_thermocouple(c, w, false); }, nullptr, true},
    {"pt100", &kPt100Help, run_pt100, nullptr, true},
    {"seebeck", &kSeebeckHelp, run_seebeck, nullptr, true},
    {"pt100-slope", &kSlopeHelp, run_slope, nullptr, true},
    {"table", &kTableHelp, run_table, nullptr, true},
    {"calibrate", &kCalibrateHelp, run_calibrate, &kBudgetHelp},
    {"tolerance", &kToleranceHelp, run_tolerance, nullptr, true},
    {"check", &kCheckHelp, run_check, nullptr, true},
    {"compare", &kCompareHelp, run_compare, &kBudgetHelp},
    {"sprt", &kSprtHelp, run_sprt, nullptr, true},
    {"cvd", &kCvdHelp, run_cvd, nullptr, true},
    {"copper", &kCopperHelp, run_copper, nullptr, true},
    {"book", &kBookHelp, run_book},
    {"meter", &kMeterHelp, run_meter},
    {"fit", &kFitHelp, run_fit},
    {"ipts68", &kIpts68Help, run_ipts68, nullptr, true},
};

bool is_help(std::string_view arg) { return arg == "--help" || arg == "-h"; }

// --unit C|K|F (or --unit=F), taken out of the words wherever it stands; nothing after a
// usage error.
std::optional<units::TemperatureUnit> unit_or_report(Context& ctx, std::vector<std::string>& words) {
    units::TemperatureUnit unit = units::TemperatureUnit::Celsius;
    for (std::size_t i = 0; i < words.size();) {
        std::string value;
        std::size_t taken = 0;
        if (words[i] == "--unit") {
            if (i + 1 >= words.size()) {
                ctx.usage_error(tr("--unit needs C, K or F"));
                return std::nullopt;
            }
            value = words[i + 1];
            taken = 2;
        } else if (words[i].rfind("--unit=", 0) == 0) {
            value = words[i].substr(7);
            taken = 1;
        } else {
            ++i;
            continue;
        }
        if (value == "C" || value == "c") unit = units::TemperatureUnit::Celsius;
        else if (value == "K" || value == "k") unit = units::TemperatureUnit::Kelvin;
        else if (value == "F" || value == "f") unit = units::TemperatureUnit::Fahrenheit;
        else {
            ctx.usage_error(format(tr("--unit is C, K or F, not '%1'"), quoted(value)));
            return std::nullopt;
        }
        words.erase(words.begin() + static_cast<std::ptrdiff_t>(i), words.begin() + static_cast<std::ptrdiff_t>(i + taken));
    }
    return unit;
}

}  // namespace

// The command named first in `args`, its temperatures in `unit`.
int run_command(Context& ctx, const std::vector<std::string>& args, units::TemperatureUnit unit);

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    Context ctx{in, out, err, kUsage};
    // --unit may stand before the command too.
    std::vector<std::string> all = args;
    const std::optional<units::TemperatureUnit> unit = unit_or_report(ctx, all);
    if (!unit) return ctx.status;
    return run_command(ctx, all, *unit);
}

int run_command(Context& ctx, const std::vector<std::string>& args, units::TemperatureUnit unit) {
    std::ostream& out = ctx.out;
    if (args.empty()) return ctx.usage_error(tr("missing command"));
    if (is_help(args[0])) {
        out << tr(kUsage);
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (command.name != args[0]) continue;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (is_help(args[i])) {
                out << tr(*command.help);
                if (command.more_help != nullptr) out << tr(*command.more_help);
                return kExitOk;
            }
        }
        ctx.usage = *command.help;
        if (unit != units::TemperatureUnit::Celsius && !command.takes_unit) {
            return ctx.usage_error(format(tr("%1 states its temperatures in \u2103, as its records do: --unit goes "
                                             "with emf, temp, pt100, seebeck, pt100-slope, table, tolerance, check, sprt, "
                                             "cvd, copper and ipts68"),
                                          std::string(command.name)));
        }
        // The unit holds for this command's words only.
        set_temperature_unit(unit);
        command.run(ctx, {args.begin() + 1, args.end()});
        ctx.finish();
        set_temperature_unit(units::TemperatureUnit::Celsius);
        return ctx.status;
    }
    return ctx.usage_error(format(tr("unknown command '%1'"), quoted(args[0])));
}

}  // namespace its90::cli
