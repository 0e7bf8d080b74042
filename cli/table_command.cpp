// `its90 table`: a graduation table of a thermocouple type or the Pt100, as text laid out like
// the published tables or as CSV.
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "cli/commands.h"
#include "cli/context.h"
#include "cli/output.h"
#include "cli/words.h"
#include "text/number_text.h"
#include "core/sensors.h"

namespace its90::cli {

using text::fixed;
using text::general;

const char* const kTableHelp =
    N_("Usage: its90 table TYPE|Pt100 [--from T0] [--to T1] [--step S] [--format text|csv]\n"
    "                   [--ref-junction TCJ]\n"
    "\n"
    "A graduation table over the whole range of the type, or from T0 to T1 \u2103 (with\n"
    "--unit K or F: kelvins or \u2109, its rows and columns whole degrees of that unit).\n"
    "  --format text  (default) laid out like the published tables: one row per 10 \u2103,\n"
    "                 columns 0 ... 10 \u2103, EMF in mV to 3 decimals (Pt100: \u03a9 to 2);\n"
    "                 below 0 \u2103 the columns count down (0, -1, ... -10).\n"
    "  --format csv   one row per temperature, every S \u2103 (default 1), with the header\n"
    "                 t_C,emf_mV,seebeck_uV_per_C (Pt100: t_C,resistance_ohm,slope_ohm_per_C);\n"
    "                 the differential value is empty where the window shows none.\n"
    "  --ref-junction TCJ  EMFs for a reference junction at TCJ \u2103: E(t) - E(TCJ).\n"
    "\n"
    "Examples:\n"
    "  its90 table K --from -10 --to 10\n"
    "  its90 table S --format csv --step 0.5 > type-s.csv\n"
    "  its90 table Pt100 --from 0 --to 100\n");

namespace {

struct Source {
    const Sensor* sensor;
    Thermocouple type;  // unless pt100
    bool pt100;
    std::string title;
    int decimals;
};

// The published tables' layout. Their values have fewer places than the reference functions
// round to, so they come from the unrounded functions, rounded once: rounding the 5-place EMF
// again to 3 places would be one digit off in 58 of the 12,026 published entries.
// The grid is whole degrees of the unit in use (℃ as published; K or ℉ as asked), `from` and
// `to` in that unit.
void print_text(Context& ctx, const Source& source, double from, double to,
                double junction_emf) {
    const auto value = [&](int u) -> std::string {
        const double t = typed_temperature(u);
        const Result r = source.pt100 ? R_Pt100_unrounded(t) : emf_unrounded(source.type, t);
        if (r.rejected()) return "";
        return fixed(source.pt100 ? r.value() : r.value() - junction_emf, source.decimals);
    };
    const auto in_range = [&](int t) { return t >= from && t <= to; };
    // Rows r = lowest, lowest + 10, ... highest; row r holds r + sign * c for c = 0 ... 10.
    const auto section = [&](int sign, int lowest, int highest) {
        char cell[32];
        ctx.out << '\n' << "    " << unit_symbol();
        for (int c = 0; c <= 10; ++c) {
            std::snprintf(cell, sizeof cell, "%9d", sign * c);
            ctx.out << cell;
        }
        ctx.out << '\n';
        for (int r = lowest; r <= highest; r += 10) {
            std::snprintf(cell, sizeof cell, "%6d", r);
            std::string line = cell;
            for (int c = 0; c <= 10; ++c) {
                const int t = r + sign * c;
                std::snprintf(cell, sizeof cell, "%9s", in_range(t) ? value(t).c_str() : "");
                line += cell;
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            ctx.out << line << '\n';
        }
    };
    const auto tens = [](double x, double (*round)(double)) {
        return static_cast<int>(round(x / 10.0)) * 10;
    };
    ctx.out << source.title << '\n';
    // Below 0 the columns count down: row -10 holds -10 ... -20, row 0 holds 0 ... -10.
    if (from < 0) section(-1, tens(from, std::ceil), std::min(0, tens(to + 10, std::floor)));
    if (to >= 0) section(+1, std::max(0, tens(from - 10, std::ceil)), tens(to, std::floor));
}

// `from`, `to` and `step` in the unit in use, and the temperature column; the differential
// value per degree of it.
void print_csv(Context& ctx, const Source& source, double from, double to, double step,
               double junction_emf) {
    const std::optional<long> count = ctx.step_count(from, to, step);
    if (!count) return;
    const std::string unit = unit_letter();
    ctx.out << (source.pt100 ? "t_" + unit + ",resistance_ohm,slope_ohm_per_" + unit + "\n"
                             : "t_" + unit + ",emf_mV,seebeck_uV_per_" + unit + "\n");
    // Row by row: a long table is never held in memory.
    ctx.for_each_step(from, step, *count, [&](double u) {
        const double t = typed_temperature(u);
        const Result r = source.sensor->output(to_single(t));
        if (r.rejected()) return;  // cannot happen: the bounds were checked
        const double v = source.pt100 ? r.value() : round_half_even(r.value() - junction_emf, 5);
        const std::optional<double> d = differential_value(*source.sensor, t);
        ctx.out << general(u) << ',' << general(v) << ',' << (d ? per_degree_text(*d) : "") << '\n';
    });
}

}  // namespace

int run_table(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args =
        parse_or_report(ctx, words, {"from", "to", "step", "format", "ref-junction"});
    if (!args) return ctx.status;
    if (args->positional.size() != 1) return ctx.usage_error(tr("give one TYPE or Pt100"));

    Source source{};
    const std::optional<SensorChoice> choice = sensor_or_report(ctx, args->positional[0]);
    if (!choice) return ctx.status;
    if (choice->pt100()) {
        source = {&pt100(), {}, true,
                  tr("Pt100 (R0 = 100 \u03a9, IEC 60751): resistance in \u03a9"), 2};
    } else {
        const Thermocouple type = *choice->type;
        source = {&sensor_of(type), type, false,
                  format(tr("ITS-90 type %1 thermocouple: EMF in mV"), std::string(1, letter(type))), 3};
    }

    // From, to and the step in the unit in use (the step a difference); the range in degC.
    const units::TemperatureUnit unit = temperature_unit();
    const Range range_c = source.sensor->temperatures;
    const double from = ctx.number_option(*args, "from").value_or(units::from_celsius(range_c.lowest, unit));
    const double to = ctx.number_option(*args, "to").value_or(units::from_celsius(range_c.highest, unit));
    const std::optional<double> step = ctx.number_option(*args, "step");
    std::optional<double> junction = ctx.number_option(*args, "ref-junction");
    if (ctx.usage_failed()) return ctx.status;
    if (junction) junction = typed_temperature(*junction);
    const std::string output = args->value("format").value_or("text");
    if (output != "text" && output != "csv") return ctx.usage_error(tr("--format is text or csv"));
    if (output == "text" && step) return ctx.usage_error(tr("--step goes with --format csv"));
    if (source.pt100 && junction) return ctx.usage_error(tr("a Pt100 has no reference junction"));
    if (step && !(*step > 0)) return ctx.usage_error(tr("--step must be above 0"));

    const std::string range = format(tr("the range %1"), temperature_text(range_c.lowest) + " \u2026 " +
                                                             degrees(range_c.highest));
    if (typed_temperature(from) < range_c.lowest || typed_temperature(to) > range_c.highest) {
        return ctx.fail(format(tr("table from %1 to %2 leaves %3"), general(from) + " " + unit_symbol(),
                               general(to) + " " + unit_symbol(), range));
    }
    if (from > to) return ctx.fail(format(tr("--from %1 lies above --to %2"), general(from), general(to)));
    if ((to - from) / step.value_or(1.0) > 1e7) return ctx.fail(tr("more than 10 million rows"));

    const std::optional<double> junction_emf = source.pt100 ? std::optional<double>(0.0) : ctx.junction_emf(source.type, junction);
    if (!junction_emf) return ctx.status;
    if (!source.pt100) source.title += format(tr(", reference junction at %1"), degrees(junction.value_or(0)));

    if (output == "csv") {
        print_csv(ctx, source, from, to, step.value_or(1.0), *junction_emf);
    } else {
        const std::optional<double> unrounded =
            source.pt100 ? 0.0 : ctx.junction_emf_unrounded(source.type, junction);
        if (!unrounded) return ctx.status;
        print_text(ctx, source, from, to, *unrounded);
    }
    return ctx.status;
}

}  // namespace its90::cli
