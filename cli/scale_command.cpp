// its90 ipts68: temperatures of IPTS-68, as old certificates give them, and ITS-90, both ways,
// by the differences the BIPM publishes with ITS-90.
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli/words.h"
#include "core/ipts68.h"
#include "text/number_text.h"

namespace its90::cli {

const char* const kIpts68Help =
    N_("Usage: its90 ipts68 t90 T68...    t90 (ITS-90) of each IPTS-68 temperature in \u2103\n"
       "       its90 ipts68 t68 T90...    t68 (IPTS-68) of each ITS-90 temperature in \u2103\n"
       "       its90 ipts68 diff T90...   t90 - t68 in \u2103 at each ITS-90 temperature\n"
       "\n"
       "The differences t90 - t68 published with ITS-90 as functions of t90: from -200 to\n"
       "630 \u2103 sum a_i (t90 / 630)^i (i = 1 ... 8), from 630.615 to 1064.18 \u2103 the revised\n"
       "function of 1994, sum b_i t90^i (i = 0 ... 5); they reproduce the tabulated differences\n"
       "to 1.5 mK below 0 \u2103 and 1 mK above, so results are given to 0.1 mK (4 decimals).\n"
       "t90 inverts the function itself. Between 630 and 630.615 \u2103 (t68 630.125 to\n"
       "630.740 \u2103) no function is published and nothing is given, nor below -200 \u2103 or\n"
       "above the gold point (t90 1064.18, t68 1064.43 \u2103).\n"
       "One value per line, the value last on its line.\n"
       "\n"
       "Examples:\n"
       "  its90 ipts68 t90 100                    prints 99.9744\n"
       "  its90 ipts68 t68 961.78                 prints 961.9300\n");

int run_ipts68(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args = parse_or_report(ctx, words, {});
    if (!args) return ctx.status;
    if (args->positional.empty()) return ctx.usage_error(tr("missing what to do: t90, t68 or diff"));
    const std::string& what = args->positional[0];
    if (what != "t90" && what != "t68" && what != "diff") {
        return ctx.usage_error(format(tr("unknown ipts68 command '%1'"), quoted(what)));
    }
    const std::vector<std::string> values(args->positional.begin() + 1, args->positional.end());
    if (values.empty()) return ctx.usage_error(tr("missing values"));
    // Both scales in the unit in use (T68 = t68 + 273.15 K as for ITS-90); the difference an
    // interval. To 0.1 mK in kelvins and degC, 0.1 m degF in degF.
    const units::TemperatureUnit unit = temperature_unit();
    ctx.for_each_value(values, [&](std::string_view text, double typed) {
        const double v = typed_temperature(typed);
        const Outcome<double> r =
            what == "t90" ? ipts68::t90_of(v) : what == "t68" ? ipts68::t68_of(v) : ipts68::difference(v);
        if (!r.ok()) return ctx.reject(text, why(r.rejection(), std::string(what == "t90" ? "IPTS-68" : "ITS-90")));
        const double shown = what == "diff" ? units::interval_from_celsius(*r, unit) : units::from_celsius(*r, unit);
        ctx.out << text::fixed(shown, 4) << '\n';
    });
    return ctx.status;
}

}  // namespace its90::cli
