// `its90 tolerance` and `its90 check`: the tolerance classes of IEC 60584-1 and IEC 60751, and
// which class a measured sensor meets.
#include <istream>
#include <ostream>
#include <string>

#include "cli/commands.h"
#include "cli/context.h"
#include "cli/output.h"
#include "cli/words.h"
#include "text/number_text.h"
#include "core/exact_inverse.h"
#include "core/sensors.h"
#include "core/tolerances.h"
#include "text/strict_number.h"

namespace its90::cli {

using text::fixed;
using text::general;

const char* const kToleranceHelp =
    N_("Usage: its90 tolerance TYPE|Pt100 [--format text|csv] T...\n"
    "\n"
    "The tolerance in \u2103 of each class at each temperature: thermocouples by IEC 60584-1\n"
    "(classes 1 2 3), the Pt100 by IEC 60751:2008, wire-wound (classes AA A B C). One line per\n"
    "temperature, the classes in order, separated by single spaces, '-' where a class does\n"
    "not cover the temperature. --format csv: t_C,class_1,class_2,class_3 (Pt100:\n"
    "t_C,class_AA,class_A,class_B,class_C), empty where a class does not apply.\n"
    "\n"
    "Examples:\n"
    "  its90 tolerance K 100 1100            prints 1.5 2.5 - and - 8.25 -\n"
    "  its90 tolerance Pt100 0 300           prints 0.1 0.15 0.3 0.6 and - 0.75 1.8 3.6\n");

const char* const kCheckHelp =
    N_("Usage: its90 check TYPE [--ref-junction TCJ] --at T --emf E\n"
    "       its90 check Pt100 --at T --ohm R\n"
    "       its90 check TYPE|Pt100 [--ref-junction TCJ] -\n"
    "\n"
    "How far a sensor reads from its reference function, and the tightest tolerance class it\n"
    "meets: the deviation t(E) - T in \u2103 to 4 decimals, where t(E) is the exact inverse of\n"
    "the measured EMF (or resistance), then the class (1 2 3, or AA A B C), or 'none'. With\n"
    "'-', one 'T E' pair a line from standard input.\n"
    "\n"
    "Examples:\n"
    "  its90 check K --at 100 --emf 4.062     prints -0.8273 1\n"
    "  its90 check Pt100 --at 100 --ohm 138.6  prints 0.2492 AA\n");

namespace {

struct Sensor {
    std::optional<Thermocouple> type;  // nothing: the Pt100
    std::span<const ToleranceClass> classes;
};

// A thermocouple type or Pt100 with its classes, or nothing after a usage error.
std::optional<Sensor> classes_or_report(Context& ctx, const std::string& word) {
    const std::optional<SensorChoice> choice = sensor_or_report(ctx, word);
    if (!choice) return std::nullopt;
    return Sensor{choice->type, choice->pt100() ? pt100_tolerance_classes()
                                                : tolerance_classes(*choice->type)};
}

// The words of a line, split at blanks and tabs.
std::vector<std::string_view> split(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A tolerance is a difference of temperatures: in the unit in use without its offset.
std::string tolerance_text(double tolerance) { return interval_text(round_half_even(tolerance, 4)); }

}  // namespace

int run_tolerance(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args = parse_or_report(ctx, words, {"format"});
    if (!args) return ctx.status;
    if (args->positional.empty()) return ctx.usage_error(tr("missing thermocouple type or Pt100"));
    const std::optional<Sensor> sensor = classes_or_report(ctx, args->positional[0]);
    if (!sensor) return ctx.status;
    const std::vector<std::string> values(args->positional.begin() + 1, args->positional.end());
    if (values.empty()) return ctx.usage_error(tr("missing temperatures"));
    const std::string output = args->value("format").value_or("text");
    if (output != "text" && output != "csv") return ctx.usage_error(tr("--format is text or csv"));
    const bool csv = output == "csv";

    if (csv) {
        ctx.out << "t_" << unit_letter();
        for (const ToleranceClass& c : sensor->classes) ctx.out << ",class_" << c.name;
        ctx.out << '\n';
    }
    ctx.for_each_value(values, [&](std::string_view, double typed) {
        const double t = typed_temperature(typed);
        std::string line = csv ? general(typed) : "";
        for (std::size_t i = 0; i < sensor->classes.size(); ++i) {
            const std::optional<double> tolerance = sensor->classes[i].at(t);
            if (csv || i > 0) line += csv ? ',' : ' ';
            if (tolerance) {
                line += tolerance_text(*tolerance);
            } else if (!csv) {
                line += '-';
            }
        }
        ctx.out << line << '\n';
    });
    return ctx.status;
}

int run_check(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args =
        parse_or_report(ctx, words, {"at", "emf", "ohm", "ref-junction"});
    if (!args) return ctx.status;
    if (args->positional.empty()) return ctx.usage_error(tr("missing thermocouple type or Pt100"));
    const std::optional<Sensor> sensor = classes_or_report(ctx, args->positional[0]);
    if (!sensor) return ctx.status;
    const bool from_input = args->positional.size() == 2 && args->positional[1] == "-";
    if (args->positional.size() > 1 && !from_input) {
        return ctx.usage_error(format(tr("unexpected '%1'"), quoted(args->positional[1])));
    }
    const char* reading = sensor->type ? "emf" : "ohm";
    if (args->has(sensor->type ? "ohm" : "emf")) {
        return ctx.usage_error(sensor->type ? tr("a thermocouple takes --emf") : tr("a Pt100 takes --ohm"));
    }
    if (!from_input && (!args->has("at") || !args->has(reading))) {
        return ctx.usage_error(format(tr("give --at and --%1, or '-'"), reading));
    }
    if (!sensor->type && args->has("ref-junction")) {
        return ctx.usage_error(tr("a Pt100 has no reference junction"));
    }
    std::optional<double> junction = ctx.number_option(*args, "ref-junction");
    const std::optional<double> at = ctx.number_option(*args, "at");
    const std::optional<double> measured = ctx.number_option(*args, reading);
    if (ctx.usage_failed()) return ctx.status;
    if (junction) junction = typed_temperature(*junction);
    const std::optional<double> junction_emf =
        sensor->type ? ctx.junction_emf_unrounded(*sensor->type, junction) : 0.0;
    if (!junction_emf) return ctx.status;

    // A temperature beyond the sensor's reference function has no deviation from it.
    const Range span = sensor->type ? its90::sensor_of(*sensor->type).temperatures : its90::pt100().temperatures;
    const auto check = [&](std::string_view text, double typed, double value) {
        const double t = typed_temperature(typed);
        if (!(t >= span.lowest && t <= span.highest)) {
            return ctx.reject(text, why(Rejection::out_of_range(Quantity::Temperature, span.lowest, span.highest),
                                        sensor->type));
        }
        const Outcome<double> found = sensor->type
                                          ? exact_temperature(*sensor->type, value + *junction_emf)
                                          : exact_pt100_temperature(value);
        if (!found.ok()) return ctx.reject(text, exact_rejection(sensor->type, found.rejection()));
        // The class is judged on the deviation as printed.
        const double deviation = round_half_even(*found - t, 4);
        const ToleranceClass* c = tightest_class(sensor->classes, t, deviation);
        ctx.out << interval_text(fixed(deviation, 4)) << ' ' << (c ? c->name : "none") << '\n';
    };
    if (!from_input) {
        try {
            check(args->value("at").value_or(""), *at, *measured);
        } catch (const FloatingPointError&) {
            ctx.reject(args->value("at").value_or(""), why(Rejection::not_finite(Quantity::Temperature), sensor->type));
        }
        return ctx.status;
    }
    // One "T value" pair a line, read like every other batch.
    ctx.for_each_line([&](std::string_view line) {
        const std::vector<std::string_view> words = split(line);
        const text::StrictNumber t = text::read_strict_number(words.size() == 2 ? words[0] : line);
        const text::StrictNumber value = text::read_strict_number(words.size() == 2 ? words[1] : "");
        if (!t.value) return ctx.bad_number(line, t);
        if (!value.value) return ctx.bad_number(line, value);
        try {
            check(line, *t.value, *value.value);
        } catch (const FloatingPointError&) {
            ctx.reject(line, why(Rejection::not_finite(Quantity::Temperature), sensor->type));
        }
    });
    return ctx.status;
}

}  // namespace its90::cli
