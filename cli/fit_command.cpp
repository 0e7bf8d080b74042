// `its90 fit line`: a straight line through measured points by least squares, with its
// coefficients' uncertainties, their correlation, and the fitted value's uncertainty at any
// x, the covariance included: a thermometer's corrections as GUM H.3 fits them.
#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "calibration/least_squares.h"
#include "cli/commands.h"
#include "cli/context.h"
#include "cli/output.h"
#include "cli/words.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::cli {

const char* const kFitHelp =
    N_("Usage: its90 fit line X:Y X:Y ... [--origin X0] [--at X]... [--format text|csv]\n"
       "\n"
       "The straight line y = y1 + y2 (x - X0) through the points X:Y by least squares\n"
       "(X0 is 0 unless --origin gives it): y1 and y2, their standard uncertainties from\n"
       "the residuals' scatter (n - 2 degrees of freedom), their correlation coefficient, the\n"
       "residuals' standard deviation s, and at each --at X the fitted y and its standard\n"
       "uncertainty, u(y)^2 = u(y1)^2 + (X - X0)^2 u(y2)^2 + 2 (X - X0) u(y1, y2). Needs three\n"
       "points or more, at two x at least. --format csv prints\n"
       "y1,y2,u_y1,u_y2,r,s,dof and, for each --at, a row x,y,u_y.\n"
       "\n"
       "Example (GUM H.3, a thermometer's corrections b against t):\n"
       "  its90 fit line 21.521:-0.171 22.012:-0.169 22.512:-0.166 23.003:-0.159 \\\n"
       "      23.507:-0.164 23.999:-0.165 24.513:-0.156 25.002:-0.157 25.503:-0.159 \\\n"
       "      26.010:-0.161 26.511:-0.160 --origin 20 --at 30\n"
       "  prints y1 = -0.171, y2 = 0.00218, u = 0.0029 and 0.00067, r = -0.930, and\n"
       "  at 30: -0.1494 with u = 0.0041 (to the digits GUM H.3 gives).\n");

namespace {

std::optional<std::pair<double, double>> xy_of(Context& ctx, const std::string& word) {
    const std::optional<std::pair<double, double>> p = number_pair(word);
    if (!p) ctx.usage_error(format(tr("a point is X:Y, not '%1'"), quoted(word)));
    return p;
}

}  // namespace

int run_fit(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args = parse_or_report(ctx, words, {"origin", "at", "format"});
    if (!args) return ctx.status;
    if (args->positional.empty() || args->positional[0] != "line") return ctx.usage_error(tr("give line, then the points X:Y"));
    const std::string output = args->value("format").value_or("text");
    if (output != "text" && output != "csv") return ctx.usage_error(tr("--format is text or csv"));
    const double origin = ctx.number_option(*args, "origin").value_or(0);
    if (ctx.usage_failed()) return ctx.status;
    std::vector<double> at;
    for (const std::string& word : args->values("at")) {
        const std::optional<double> x = text::parse_strict_number(word);
        if (!x) return ctx.usage_error(format(tr("--at takes a number, not '%1'"), quoted(word)));
        at.push_back(*x);
    }
    std::vector<std::vector<double>> design;
    std::vector<double> y;
    for (std::size_t i = 1; i < args->positional.size(); ++i) {
        const auto p = xy_of(ctx, args->positional[i]);
        if (!p) return ctx.status;
        design.push_back({1.0, p->first - origin});
        y.push_back(p->second);
    }
    // Two points give a line but no scatter to judge it by.
    if (y.size() < 3) return ctx.usage_error(tr("a line with its uncertainties needs three points or more"));
    const Outcome<calibration::LeastSquares> fit = calibration::least_squares(design, y);
    if (!fit.ok() || !std::isfinite(fit->residual_sd)) return ctx.usage_error(tr("the points lie at one x: no line through them"));
    const double u1 = std::sqrt(fit->covariance[0][0]), u2 = std::sqrt(fit->covariance[1][1]);
    // Points exactly on a line leave no scatter: the coefficients are certain, their
    // correlation undefined (0 / 0), printed as nothing.
    // (A NaN, not an empty optional, for none: GCC takes an optional read under a test of it
    // for one read uninitialised.)
    const double r = u1 > 0 && u2 > 0 ? calibration::correlation(*fit, 0, 1) : std::nan("");
    using text::general;
    if (output == "csv") {
        ctx.out << "y1,y2,u_y1,u_y2,r,s,dof\n"
                << text::round_trip(fit->coefficients[0]) << ',' << text::round_trip(fit->coefficients[1]) << ','
                << text::round_trip(u1) << ',' << text::round_trip(u2) << ',' << (std::isnan(r) ? "" : text::round_trip(r)) << ','
                << text::round_trip(fit->residual_sd) << ',' << fit->degrees_of_freedom << '\n';
        if (!at.empty()) ctx.out << "x,y,u_y\n";
    } else {
        ctx.out << format(tr("y = y1 + y2 (x - %1): %2 points, %3 degrees of freedom"), general(origin),
                          std::to_string(y.size()), std::to_string(fit->degrees_of_freedom))
                << "\ny1 = " << general(fit->coefficients[0]) << "  u(y1) = " << general(u1)
                << "\ny2 = " << general(fit->coefficients[1]) << "  u(y2) = " << general(u2)
                << "\nr(y1, y2) = " << (std::isnan(r) ? tr("none: the points lie on the line") : general(r)) << "\ns = "
                << general(fit->residual_sd) << '\n';
    }
    for (double x : at) {
        const double gradient[] = {1.0, x - origin};
        const double value = fit->coefficients[0] + (x - origin) * fit->coefficients[1];
        const double u = calibration::combined_uncertainty(*fit, gradient);
        if (output == "csv") {
            ctx.out << text::round_trip(x) << ',' << text::round_trip(value) << ',' << text::round_trip(u) << '\n';
        } else {
            ctx.out << format(tr("at x = %1: y = %2  u(y) = %3"), general(x), general(value), general(u)) << '\n';
        }
    }
    return ctx.status;
}

}  // namespace its90::cli
