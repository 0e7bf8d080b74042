// `its90 sprt` and `its90 cvd`: standard platinum resistance thermometers on ITS-90 and
// industrial ones by Callendar-Van Dusen, both directions, and their coefficients fitted.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "calibration/resistance_fit.h"
#include "cli/commands.h"
#include "cli/context.h"
#include "cli/output.h"
#include "cli/words.h"
#include "core/copper.h"
#include "core/cvd.h"
#include "core/sprt.h"
#include "core/tolerances.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::cli {

using text::fixed;
using text::general;
using text::round_trip;

const char* const kSprtHelp =
    N_("Usage: its90 sprt wr T...                  Wr(T90) at each t90 in \u2103\n"
       "       its90 sprt tr W...                  t90 from each Wr, exact\n"
       "       its90 sprt dev RANGE --a A [--b B] [--c C] [--d D] [--w-al W] W...   dW at each W\n"
       "                      (e-H2-TPW, Ne-TPW, O2-TPW: --a A --b B --c1 C1 [--c2 C2 ... --c5 C5])\n"
       "       its90 sprt temp RANGE --rtpw R --a A [...] R...        t90 from each resistance\n"
       "       its90 sprt resistance RANGE --rtpw R --a A [...] T...  resistance at each t90\n"
       "       its90 sprt fit RANGE --rtpw R --point T:R [--point T:R ...] [--u U [--at T ...]]\n"
       "                      [--format text|csv]\n"
       "\n"
       "A standard platinum resistance thermometer on ITS-90: W = R / R_TPW, the reference\n"
       "function Wr(T90) of both ranges (-259.3467 to 961.78 \u2103) and its inverse found from\n"
       "the function itself, and the deviation function W - Wr = dW(W) of RANGE, one of e-H2-TPW\n"
       "Ne-TPW O2-TPW Ar-TPW Hg-Ga TPW-Ag TPW-Al TPW-Zn TPW-Sn TPW-In TPW-Ga (named by their\n"
       "fixed points):\n"
       "  e-H2-TPW  a (W-1) + b (W-1)^2 + c1 (ln W)^3 + c2 (ln W)^4 + ... + c5 (ln W)^7\n"
       "                       points e-H2, near 17 K, near 20.3 K (measured), Ne, O2, Ar, Hg\n"
       "  Ne-TPW  a (W-1) + b (W-1)^2 + c1 (ln W)^2 + c2 (ln W)^3 + c3 (ln W)^4\n"
       "                                                 points e-H2, Ne, O2, Ar, Hg\n"
       "  O2-TPW  a (W-1) + b (W-1)^2 + c1 (ln W)^2      points O2, Ar, Hg\n"
       "  Ar-TPW  a (W-1) + b (W-1) ln W                 points Ar, Hg\n"
       "  Hg-Ga, TPW-Zn, TPW-Sn  a (W-1) + b (W-1)^2     points Hg, Ga / Sn, Zn / In, Sn\n"
       "  TPW-Al  a (W-1) + b (W-1)^2 + c (W-1)^3        points Sn, Zn, Al\n"
       "  TPW-Ag  as TPW-Al + d (W - W_Al)^2 above W_Al  points Sn, Zn, Al, then Ag\n"
       "  TPW-In, TPW-Ga  a (W-1)                        point In / Ga\n"
       "W_Al, the thermometer's own W at the aluminium point, comes from a, b and c unless\n"
       "--w-al gives it. fit takes R_TPW and the resistance at each fixed point of the range at\n"
       "its assigned temperature, and e-H2-TPW's points near 17 K and 20.3 K (by gas\n"
       "thermometer) at the t90 measured, within 16.9 ... 17.1 K (-256.25 ... -256.05 \u2103)\n"
       "and 20.2 ... 20.4 K (-252.95 ... -252.75 \u2103). --format csv prints a,b,c,d\n"
       "(e-H2-TPW a,b,c1,c2,c3,c4,c5; Ne-TPW a,b,c1,c2,c3; O2-TPW a,b,c1) and a row (empty\n"
       "where the range has no such coefficient). --u gives each point's standard uncertainty\n"
       "in m\u03a9: fit then prints U (k = 2, mK) at each --at t90, or at each point, from the\n"
       "fit done again with each point raised by u (R_TPW taken as exact); --format csv adds\n"
       "t90_C,U_k2_mK rows.\n"
       "One value per line, the value last on its line.\n"
       "ITS-90's criteria for an SPRT, W(Ga) >= 1.11807 or W(Hg) <= 0.844235, and W(Ag) >= 4.2844\n"
       "for one used to the silver point, are checked on the thermometer's own W: fit prints\n"
       "them, and coefficients that fail them are named on standard error (the values are\n"
       "converted all the same).\n"
       "\n"
       "Examples:\n"
       "  its90 sprt wr 231.928                      prints 1.8927976828\n"
       "  its90 sprt temp TPW-Zn --rtpw 25.319871 --a -1.2134e-4 --b -9.9190e-6 47.922451\n"
       "  its90 sprt fit TPW-Zn --rtpw 25.319871 --point 231.928:47.922451 --point 419.527:65.039218\n");

const char* const kCvdHelp =
    N_("Usage: its90 cvd fit T:R T:R ... [--with-d] [--u U [--at T ...]] [--format text|csv]\n"
       "       its90 cvd resistance --r0 R0 --a A --b B [--c C] [--d D] [--valid T0:T1] T...\n"
       "       its90 cvd temp --r0 R0 --a A --b B [--c C] [--d D] [--valid T0:T1] R...\n"
       "\n"
       "An industrial platinum resistance thermometer by the Callendar-Van Dusen equation of\n"
       "IEC 60751, with any R0: R(t) = R0 (1 + A t + B t^2), plus R0 C (t - 100) t^3 below\n"
       "0 \u2103, from -200 to 850 \u2103. temp finds t from R exactly (to 9 decimals). fit takes\n"
       "points t:R (\u2103:\u03a9) and fits R0, A, B, and C when a point lies below 0 \u2103, by least\n"
       "squares (exact when the points equal the unknowns); it prints the coefficients, alpha,\n"
       "delta and beta, and each point's residual in m\u03a9 and \u2103, its deviation from the\n"
       "IEC 60751 curve of the same R0 and the tightest class it meets (AA A B C).\n"
       "--with-d fits D too, a term R0 D t^3 above 0 \u2103 (two points above 0 \u2103 at least);\n"
       "--d gives it to resistance and temp. --valid T0:T1 is the range the coefficients hold\n"
       "for (a certificate's): values beyond it are refused, naming it.\n"
       "--u gives each point's standard uncertainty in m\u03a9: fit then prints U (k = 2, mK) at\n"
       "each --at t, or at each point, from the fit done again with each point raised by u.\n"
       "--format csv prints r0_ohm,A,B,C,alpha,delta,beta (and D with --with-d) and a row (and\n"
       "t_C,U_k2_mK rows).\n"
       "\n"
       "Examples:\n"
       "  its90 cvd resistance --r0 1000 --a 3.9083e-3 --b -5.775e-7 --c -4.183e-12 -100 100\n"
       "  its90 cvd fit 0:100.02 100:138.53 200:175.89 -100:60.27 --format csv\n");

const char* const kCopperHelp =
    N_("Usage: its90 copper resistance --r0 50|100 T...\n"
       "       its90 copper temp --r0 50|100 R...\n"
       "\n"
       "A copper resistance thermometer of JJG 229-2010, Cu50 or Cu100 (--r0 50 or 100):\n"
       "R(t) = R0 (1 + A t + B t^2 + C t^3), A = 4.28899e-3 /\u2103, B = -2.133e-7 /\u2103^2,\n"
       "C = 1.233e-9 /\u2103^3, from -50 to 150 \u2103. resistance gives R at each t; temp finds t\n"
       "from each R exactly (to 9 decimals).\n"
       "\n"
       "Examples:\n"
       "  its90 copper resistance --r0 50 100      prints 71.39995\n"
       "  its90 copper temp --r0 100 78.49\n");

namespace {

// A number option that must be given.
std::optional<double> required(Context& ctx, const Arguments& args, const char* name) {
    if (!args.has(name)) {
        ctx.usage_error(format(tr("--%1 is needed"), name));
        return std::nullopt;
    }
    return ctx.number_option(args, name);
}

// A point "T:R"; nothing after a usage error naming it.
std::optional<calibration::TemperatureResistance> point_of(Context& ctx, const std::string& word) {
    const std::optional<std::pair<double, double>> p = number_pair(word);
    if (!p) {
        ctx.usage_error(format(tr("a point is T:R (degC:ohm), not '%1'"), quoted(word)));
        return std::nullopt;
    }
    return calibration::TemperatureResistance{typed_temperature(p->first), p->second};
}

// The range named by the first word, or nothing after a usage error.
std::optional<sprt::DeviationRange> range_or_report(Context& ctx, const std::vector<std::string>& positional) {
    if (positional.size() < 2) {
        ctx.usage_error(tr("missing RANGE (e-H2-TPW Ne-TPW O2-TPW Ar-TPW Hg-Ga TPW-Ag TPW-Al TPW-Zn TPW-Sn TPW-In TPW-Ga)"));
        return std::nullopt;
    }
    const std::optional<sprt::DeviationRange> range = sprt::range_named(positional[1]);
    if (!range) ctx.usage_error(format(tr("unknown range '%1'"), quoted(positional[1])));
    return range;
}

// The coefficients typed for a range; nothing after a usage error.
std::optional<sprt::Coefficients> coefficients_or_report(Context& ctx, const Arguments& args,
                                                         sprt::DeviationRange range) {
    const sprt::DeviationRangeRecord& record = sprt::range_record(range);
    for (const char* name : {"a", "b", "c", "d", "c1", "c2", "c3", "c4", "c5"}) {
        const bool belongs = std::find_if(record.names.begin(), record.names.begin() + record.coefficients,
                                          [name](const char* n) { return std::string_view(n) == name; }) !=
                             record.names.begin() + record.coefficients;
        if (!belongs && args.has(name)) {
            ctx.usage_error(format(tr("the range %1 has no coefficient %2"), record.name, name));
            return std::nullopt;
        }
    }
    sprt::Coefficients k;
    for (int i = 0; i < record.coefficients; ++i) {
        const std::optional<double> v = required(ctx, args, record.names[static_cast<std::size_t>(i)]);
        if (!v) return std::nullopt;
        sprt::slot(k, i) = *v;
    }
    if (range == sprt::DeviationRange::TPWAg) {
        const std::optional<double> w_al = ctx.number_option(args, "w-al");
        if (ctx.usage_failed()) return std::nullopt;
        k.w_al = w_al ? *w_al : sprt::w_at_aluminium(k);
    } else if (args.has("w-al")) {
        ctx.usage_error(tr("--w-al goes with TPW-Ag"));
        return std::nullopt;
    }
    if (!sprt::monotonic(range, k)) {
        ctx.usage_error(why({Rejection::Cause::NotMonotonic, Quantity::Temperature, 0, 0}, std::nullopt));
        return std::nullopt;
    }
    return k;
}

// A temperature found by an inverse, to the 9 decimals it is exact to, in the unit in use.
std::string t90_text(double t) { return temperature_text(round_half_even(t, 9) + 0.0); }

// --u, each point's standard uncertainty in mohm, and the --at temperatures where the fit's U
// is wanted (each point's own temperature when none is given).
struct UncertaintyRequest {
    double u_ohm = 0;
    std::string u_text;  // as typed, to be stated with the result
    std::vector<double> at;
};

// What --u and --at ask for; nothing when neither is given or after a usage error (ctx says).
std::optional<UncertaintyRequest> uncertainty_request(Context& ctx, const Arguments& args, Range span,
                                                      std::span<const calibration::TemperatureResistance> points) {
    if (!args.has("u")) {
        if (args.has("at")) ctx.usage_error(tr("--at needs --u, each point's standard uncertainty in m\u03a9"));
        return std::nullopt;
    }
    const std::optional<double> u = ctx.number_option(args, "u");
    if (!u) return std::nullopt;
    if (!(*u >= 0)) {
        ctx.usage_error(tr("--u must not be below 0"));
        return std::nullopt;
    }
    UncertaintyRequest request{*u / 1000, *args.value("u"), {}};
    for (const std::string& word : args.values("at")) {
        const std::optional<double> typed = text::parse_strict_number(word);
        if (!typed) {
            ctx.usage_error(format(tr("--at takes a number, not '%1'"), quoted(word)));
            return std::nullopt;
        }
        const double t = typed_temperature(*typed);
        if (!span.contains(t)) {
            ctx.usage_error(format(tr("--at %1 lies outside %2 \u2026 %3"), word + " " + unit_symbol(),
                                   temperature_text(span.lowest), degrees(span.highest)));
            return std::nullopt;
        }
        request.at.push_back(t);
    }
    if (request.at.empty()) {
        for (const calibration::TemperatureResistance& p : points) request.at.push_back(p.t90);
    }
    return request;
}

// U (k = 2) at each requested temperature, from `expanded`; a usage error (and false) when the
// refits failed.
// U is a difference of temperatures: mK in degC and K, m degF in degF. `csv_temperature` heads
// the temperature column ("t90", "t"), the unit's letter after it.
template <typename Expanded>
bool print_expanded(Context& ctx, const UncertaintyRequest& request, bool csv, const char* csv_temperature,
                    Expanded expanded) {
    std::vector<double> values;
    for (double t : request.at) {
        const std::optional<double> U = expanded(t);
        if (!U) {
            ctx.usage_error(tr("no U: with a point's resistance raised by u the points no longer fit"));
            return false;
        }
        values.push_back(*U);
    }
    const bool fahrenheit = temperature_unit() == units::TemperatureUnit::Fahrenheit;
    const auto milli = [&](double U) { return units::interval_from_celsius(U, temperature_unit()) * 1000; };
    if (csv) {
        ctx.out << csv_temperature << '_' << unit_letter() << ",U_k2_m" << (fahrenheit ? "F" : "K") << '\n';
        for (std::size_t i = 0; i < values.size(); ++i) {
            const std::string t = temperature_unit() == units::TemperatureUnit::Celsius ? round_trip(request.at[i])
                                                                                        : temperature_text(request.at[i]);
            ctx.out << t << ',' << round_trip(milli(values[i])) << '\n';
        }
        return true;
    }
    ctx.out << '\n' << format(tr("U (k = 2) from u = %1 m\u03a9 at each point's resistance:"), request.u_text) << '\n';
    for (std::size_t i = 0; i < values.size(); ++i) {
        ctx.out << "  "
                << format(tr("at %1: U = %2"), degrees(request.at[i]),
                          text::stated(milli(values[i]), 2) + (fahrenheit ? " m\u2109" : " mK"))
                << '\n';
    }
    return true;
}

// ITS-90's criteria for the thermometer, each W with the bound it is held to and whether it
// meets it: "W(Ga) = 1.11812457 >= 1.11807: met".
std::vector<std::string> acceptance_lines(const sprt::Acceptance& a) {
    std::vector<std::string> lines;
    const auto line = [&](const char* point, const std::optional<double>& w, const char* relation, double bound, bool met) {
        if (!w) return;
        lines.push_back(format(met ? tr("W(%1) = %2 %3 %4: met") : tr("W(%1) = %2, not %3 %4: not met"), point,
                               fixed(*w, 8), relation, general(bound)));
    };
    const bool ga = a.w_ga && *a.w_ga >= sprt::kLeastWGallium, hg = a.w_hg && *a.w_hg <= sprt::kMostWMercury;
    line("Ga", a.w_ga, ">=", sprt::kLeastWGallium, ga);
    line("Hg", a.w_hg, "<=", sprt::kMostWMercury, hg);
    line("Ag", a.w_ag, ">=", sprt::kLeastWSilver, a.silver);
    return lines;
}

// A thermometer that fails ITS-90's criteria is no SPRT in its sense: said on standard error
// with every W, the conversions made all the same.
void warn_unless_accepted(Context& ctx, sprt::DeviationRange range, const sprt::Coefficients& k) {
    const sprt::Acceptance a = sprt::acceptance(range, k);
    if (a.met()) return;
    ctx.err << "its90: " << tr("warning: the coefficients fail ITS-90's criteria for an SPRT") << '\n';
    for (const std::string& line : acceptance_lines(a)) ctx.err << "  " << line << '\n';
}

int run_sprt_fit(Context& ctx, const Arguments& args, sprt::DeviationRange range) {
    const std::string output = args.value("format").value_or("text");
    if (output != "text" && output != "csv") return ctx.usage_error(tr("--format is text or csv"));
    const std::optional<double> r_tpw = required(ctx, args, "rtpw");
    if (!r_tpw) return ctx.status;
    std::vector<calibration::TemperatureResistance> points;
    for (const std::string& word : args.values("point")) {
        const auto p = point_of(ctx, word);
        if (!p) return ctx.status;
        points.push_back(*p);
    }
    const Outcome<sprt::Coefficients> k = calibration::fit_sprt(range, *r_tpw, points);
    if (!k.ok()) return ctx.usage_error(why(k.rejection(), std::nullopt));
    const std::optional<UncertaintyRequest> request =
        uncertainty_request(ctx, args, sprt::range_record(range).temperatures, points);
    if (ctx.usage_failed()) return ctx.status;
    std::vector<sprt::Coefficients> refits;
    if (request) {
        const auto found = calibration::sprt_refits(range, *r_tpw, points, request->u_ohm);
        if (!found) return ctx.usage_error(tr("no U: with a point's resistance raised by u the points no longer fit"));
        refits = *found;
    }
    const auto expanded = [&](double t) { return calibration::sprt_expanded(range, *k, refits, t); };
    const sprt::DeviationRangeRecord& record = sprt::range_record(range);
    const int n = record.coefficients;
    warn_unless_accepted(ctx, range, *k);
    if (output == "csv") {
        // Every name the range's slots have (a,b,c,d from the argon point up, empty where the
        // range has no such coefficient), then their values.
        std::string heading, row;
        for (int i = 0; i < sprt::kMostCoefficients && record.names[static_cast<std::size_t>(i)]; ++i) {
            heading += std::string(i > 0 ? "," : "") + record.names[static_cast<std::size_t>(i)];
            row += std::string(i > 0 ? "," : "") + (i < n ? round_trip(sprt::slot(*k, i)) : "");
        }
        ctx.out << heading << '\n' << row << '\n';
        if (request) print_expanded(ctx, *request, true, "t90", expanded);
        return ctx.status;
    }
    for (int i = 0; i < n; ++i) {
        ctx.out << record.names[static_cast<std::size_t>(i)] << " = " << general(sprt::slot(*k, i)) << '\n';
    }
    if (range == sprt::DeviationRange::TPWAg) ctx.out << "W(Al) = " << general(k->w_al) << '\n';
    ctx.out << tr("ITS-90 criteria:") << '\n';
    for (const std::string& line : acceptance_lines(sprt::acceptance(range, *k))) ctx.out << "  " << line << '\n';
    if (request) print_expanded(ctx, *request, false, "", expanded);
    return ctx.status;
}

}  // namespace

int run_sprt(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args =
        parse_or_report(ctx, words, {"a", "b", "c", "d", "c1", "c2", "c3", "c4", "c5", "w-al", "rtpw", "point", "format", "u", "at"});
    if (!args) return ctx.status;
    if (args->positional.empty()) return ctx.usage_error(tr("missing what to do: wr, tr, dev, temp, resistance or fit"));
    const std::string& what = args->positional[0];
    if (what == "wr" || what == "tr") {
        const std::vector<std::string> values(args->positional.begin() + 1, args->positional.end());
        if (values.empty()) return ctx.usage_error(tr("missing values"));
        ctx.for_each_value(values, [&](std::string_view text, double v) {
            if (what == "wr") {
                const Outcome<double> w = sprt::Wr(typed_temperature(v));
                // The reference function is the SPRT's, whatever the Pt100's range.
                if (!w.ok()) return ctx.reject(text, why(w.rejection(), std::string(tr("SPRT"))));
                ctx.out << fixed(*w, 10) << '\n';
            } else {
                const Outcome<double> t = sprt::t90_of_Wr(v);
                if (!t.ok()) return ctx.reject(text, format(tr("Wr outside %1 \u2026 %2"), general(t.rejection().lowest),
                                                            general(t.rejection().highest)));
                ctx.out << t90_text(*t) << '\n';
            }
        });
        return ctx.status;
    }
    if (what != "dev" && what != "temp" && what != "resistance" && what != "fit") {
        return ctx.usage_error(format(tr("unknown sprt command '%1'"), quoted(what)));
    }
    const std::optional<sprt::DeviationRange> range = range_or_report(ctx, args->positional);
    if (!range) return ctx.status;
    if (what == "fit") {
        return run_sprt_fit(ctx, *args, *range);
    }
    if (args->has("u") || args->has("at")) return ctx.usage_error(tr("--u and --at go with fit"));
    const std::optional<sprt::Coefficients> k = coefficients_or_report(ctx, *args, *range);
    if (!k) return ctx.status;
    warn_unless_accepted(ctx, *range, *k);
    std::optional<double> r_tpw;
    if (what != "dev") {
        r_tpw = required(ctx, *args, "rtpw");
        if (!r_tpw) return ctx.status;
        if (!(*r_tpw > 0)) return ctx.usage_error(tr("--rtpw must be above 0"));
    }
    const std::vector<std::string> values(args->positional.begin() + 2, args->positional.end());
    if (values.empty()) return ctx.usage_error(tr("missing values"));
    const char* name = sprt::range_record(*range).name;
    ctx.for_each_value(values, [&](std::string_view text, double v) {
        if (what == "dev") {
            ctx.out << general(sprt::deviation(*range, *k, v)) << '\n';
        } else if (what == "temp") {
            const Outcome<double> t = sprt::t90_at(*range, *k, v / *r_tpw);
            if (!t.ok()) {
                const Rejection& r = t.rejection();
                return ctx.reject(text, format(tr("resistance outside the range %1: %2 \u2026 %3 \u03a9"), name,
                                               fixed(r.lowest * *r_tpw, 6), fixed(r.highest * *r_tpw, 6)));
            }
            ctx.out << t90_text(*t) << '\n';
        } else {
            const Outcome<double> w = sprt::w_at(*range, *k, typed_temperature(v));
            if (!w.ok()) {
                return ctx.reject(text, format(tr("t90 outside the range %1: %2 \u2026 %3"), name,
                                               temperature_text(w.rejection().lowest), degrees(w.rejection().highest)));
            }
            ctx.out << general(*w * *r_tpw) << '\n';
        }
    });
    return ctx.status;
}

namespace {

// Each value converted t -> R (`to_resistance`) or R -> t by an industrial thermometer's
// equation, a value beyond its range refused naming the range.
template <typename ToR, typename ToT>
int convert_each(Context& ctx, const std::vector<std::string>& values, bool to_resistance, ToR resistance,
                 ToT temperature) {
    ctx.for_each_value(values, [&](std::string_view text, double v) {
        const Outcome<double> r = to_resistance ? resistance(typed_temperature(v)) : temperature(v);
        if (!r.ok()) {
            const Rejection& why_not = r.rejection();
            return ctx.reject(text, to_resistance
                                        ? format(tr("t outside %1 \u2026 %2"), temperature_text(why_not.lowest),
                                                 degrees(why_not.highest))
                                        : format(tr("resistance outside %1 \u2026 %2 \u03a9"), fixed(why_not.lowest, 6),
                                                 fixed(why_not.highest, 6)));
        }
        ctx.out << (to_resistance ? general(*r) : temperature_text(*r)) << '\n';
    });
    return ctx.status;
}

std::optional<cvd::Coefficients> cvd_or_report(Context& ctx, const Arguments& args) {
    const std::optional<double> r0 = required(ctx, args, "r0");
    if (!r0) return std::nullopt;
    const std::optional<double> a = required(ctx, args, "a");
    if (!a) return std::nullopt;
    const std::optional<double> b = required(ctx, args, "b");
    if (!b) return std::nullopt;
    const std::optional<double> c = ctx.number_option(args, "c");
    if (ctx.usage_failed()) return std::nullopt;
    const std::optional<double> d = ctx.number_option(args, "d");
    if (ctx.usage_failed()) return std::nullopt;
    cvd::Coefficients k{*r0, *a, *b, c.value_or(0), d.value_or(0)};
    if (const std::optional<std::string> valid = args.value("valid")) {
        // The range a certificate gives its coefficients for: beyond it, nothing is converted.
        std::optional<std::pair<double, double>> span = number_pair(*valid);
        if (span) span = std::pair(typed_temperature(span->first), typed_temperature(span->second));
        if (!span || !(span->first < span->second) || !cvd::kTemperatures.contains(span->first) ||
            !cvd::kTemperatures.contains(span->second)) {
            ctx.usage_error(format(tr("--valid is T0:T1, from below to above, within %1 \u2026 %2, not '%3'"),
                                   temperature_text(cvd::kTemperatures.lowest), degrees(cvd::kTemperatures.highest),
                                   quoted(*valid)));
            return std::nullopt;
        }
        k.valid = {span->first, span->second};
    }
    if (!cvd::valid(k)) {
        ctx.usage_error(why({Rejection::Cause::NotMonotonic, Quantity::Temperature, 0, 0}, std::nullopt));
        return std::nullopt;
    }
    return k;
}

}  // namespace

int run_cvd(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args =
        parse_or_report(ctx, words, {"r0", "a", "b", "c", "d", "valid", "format", "u", "at"}, {}, {"with-d"});
    if (!args) return ctx.status;
    if (args->positional.empty()) return ctx.usage_error(tr("missing what to do: fit, resistance or temp"));
    const std::string& what = args->positional[0];
    const std::vector<std::string> values(args->positional.begin() + 1, args->positional.end());
    if (what == "fit") {
        const std::string output = args->value("format").value_or("text");
        if (output != "text" && output != "csv") return ctx.usage_error(tr("--format is text or csv"));
        std::vector<calibration::TemperatureResistance> points;
        for (const std::string& word : values) {
            const auto p = point_of(ctx, word);
            if (!p) return ctx.status;
            points.push_back(*p);
        }
        for (const char* option : {"r0", "a", "b", "c", "d", "valid"}) {
            if (args->has(option)) return ctx.usage_error(format(tr("--%1 goes with resistance and temp"), option));
        }
        const bool with_d = args->has("with-d");
        const Outcome<calibration::CvdFit> fit = calibration::fit_cvd(points, with_d);
        if (!fit.ok()) return ctx.usage_error(why(fit.rejection(), std::nullopt));
        const cvd::Coefficients& k = fit->coefficients;
        const std::optional<UncertaintyRequest> request = uncertainty_request(ctx, *args, cvd::kTemperatures, points);
        if (ctx.usage_failed()) return ctx.status;
        std::vector<cvd::Coefficients> refits;
        if (request) {
            const auto found = calibration::cvd_refits(points, request->u_ohm, with_d);
            if (!found) return ctx.usage_error(tr("no U: with a point's resistance raised by u the points no longer fit"));
            refits = *found;
        }
        const auto expanded = [&](double t) { return calibration::cvd_expanded(k, refits, t); };
        const cvd::AlphaDeltaBeta adb = cvd::alpha_delta_beta(k);
        if (output == "csv") {
            // D, where it was fitted, after the columns a fit without it has.
            ctx.out << "r0_ohm,A,B,C,alpha,delta,beta" << (with_d ? ",D" : "") << '\n'
                    << round_trip(k.r0) << ',' << round_trip(k.a) << ',' << round_trip(k.b) << ','
                    << (fit->has_c ? round_trip(k.c) : "") << ',' << round_trip(adb.alpha) << ','
                    << round_trip(adb.delta) << ',' << (fit->has_c ? round_trip(adb.beta) : "")
                    << (with_d ? "," + round_trip(k.d) : "") << '\n';
            if (request) print_expanded(ctx, *request, true, "t", expanded);
            return ctx.status;
        }
        ctx.out << "R0 = " << general(k.r0) << " \u03a9\nA = " << general(k.a) << " /\u2103\nB = " << general(k.b)
                << " /\u2103\u00b2\n";
        if (fit->has_c) ctx.out << "C = " << general(k.c) << " /\u2103\u2074\n";
        if (with_d) ctx.out << "D = " << general(k.d) << " /\u2103\u00b3 " << tr("(above 0 \u2103)") << '\n';
        ctx.out << "alpha = " << general(adb.alpha) << " /\u2103, delta = " << general(adb.delta) << " \u2103";
        if (fit->has_c) ctx.out << ", beta = " << general(adb.beta) << " \u2103";
        // Where the coefficients were found: a conversion beyond is the equation extrapolated.
        const auto [lowest, highest] = std::minmax_element(points.begin(), points.end(),
                                                           [](const auto& x, const auto& y) { return x.t90 < y.t90; });
        ctx.out << '\n' << format(tr("fitted from %1 to %2: beyond, the equation is extrapolated"),
                                   temperature_text(lowest->t90), degrees(highest->t90));
        if (!fit->has_c) ctx.out << ' ' << tr("(no point below 0 \u2103: no C, which the equation needs there)");
        ctx.out << "\n\n"
                << format(tr("t/%1  R/\u03a9  residual/m\u03a9  residual/%1  from IEC 60751/%1  class"), unit_symbol())
                << '\n';
        const cvd::Coefficients standard = cvd::iec(k.r0);
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Outcome<double> t_iec = cvd::temperature(standard, points[i].r);
            std::string deviation = "-", met = "-";
            if (t_iec.ok()) {
                const double d = round_half_even(*t_iec - points[i].t90, 4);
                deviation = interval_text(fixed(d, 4));
                const ToleranceClass* c = tightest_class(pt100_tolerance_classes(), points[i].t90, d);
                met = c ? c->name : "none";
            }
            ctx.out << temperature_text(points[i].t90) << "  " << general(points[i].r) << "  "
                    << fixed(fit->residual_mohm[i], 3) << "  "
                    << interval_text(fixed(fit->residual_c[i], 5)) << "  " << deviation << "  " << met
                    << '\n';
        }
        if (request) print_expanded(ctx, *request, false, "", expanded);
        return ctx.status;
    }
    if (what != "resistance" && what != "temp") {
        return ctx.usage_error(format(tr("unknown cvd command '%1'"), quoted(what)));
    }
    if (args->has("u") || args->has("at")) return ctx.usage_error(tr("--u and --at go with fit"));
    if (args->has("with-d")) return ctx.usage_error(tr("--with-d goes with fit"));
    const std::optional<cvd::Coefficients> k = cvd_or_report(ctx, *args);
    if (!k) return ctx.status;
    if (values.empty()) return ctx.usage_error(tr("missing values"));
    return convert_each(ctx, values, what == "resistance", [&](double v) { return cvd::resistance(*k, v); },
                        [&](double v) { return cvd::temperature(*k, v); });
}

int run_copper(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args = parse_or_report(ctx, words, {"r0"});
    if (!args) return ctx.status;
    if (args->positional.empty()) return ctx.usage_error(tr("missing what to do: resistance or temp"));
    const std::string& what = args->positional[0];
    if (what != "resistance" && what != "temp") {
        return ctx.usage_error(format(tr("unknown copper command '%1'"), quoted(what)));
    }
    const std::optional<double> r0 = required(ctx, *args, "r0");
    if (!r0) return ctx.status;
    if (!copper::known_r0(*r0)) return ctx.usage_error(tr("--r0 is 50 (Cu50) or 100 (Cu100)"));
    const std::vector<std::string> values(args->positional.begin() + 1, args->positional.end());
    if (values.empty()) return ctx.usage_error(tr("missing values"));
    return convert_each(ctx, values, what == "resistance", [&](double v) { return copper::resistance(*r0, v); },
                        [&](double v) { return copper::temperature(*r0, v); });
}

}  // namespace its90::cli
