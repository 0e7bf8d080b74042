#include "cli/uncertainty_options.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/output.h"
#include "cli/words.h"
#include "core/sensors.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::cli {

using calibration::Component;
using calibration::Distribution;
using calibration::Unit;
using text::general;

const char* const kBudgetHelp =
    N_("\n"
       "Uncertainty (GUM), standard uncertainties in uV, k = 2 unless --k is given:\n"
       "  calibrate --u-zn U1 (--u-al U2 | --u-sb U2) --u-cu U3 [--u-common U0] [--k K]\n"
       "    u(dE(t))^2 = sum (L_i(t) u_i)^2 + U0^2, L_i the deviation function's weights of\n"
       "    each fixed point; adds u_uV,U_uV,U_C to every row (U = k u, U_C = U / S(t)).\n"
       "  compare [--u-cert U] [--u-dvm U] [--u-furnace U_C] [--k K]; with the fixed points,\n"
       "    --u-zn ... give u_cert = u(dE(t)). u(dt)^2 = (uA_uut^2 + u_dvm^2) / S_uut^2 +\n"
       "    (uA_std^2 + u_dvm^2 + u_cert^2) / S_std^2 + u_furnace^2, uA = s / sqrt(n) of each\n"
       "    mean; adds u_delta_t_C,U_delta_t_C.\n"
       "--budget FILE reads the components of the standard uncertainties from a CSV file, one\n"
       "component a line: quantity,name,value,unit,distribution,k,dof\n"
       "  quantity      zn, al, sb, cu, common (calibrate); cert, dvm, furnace (compare)\n"
       "  value         at least 0, in unit: uV, or C (degC, turned into EMF by the type S\n"
       "                differential value at the fixed point, at 0 degC for common)\n"
       "  distribution  normal (value = k u), rectangular, triangular or u-shaped (value =\n"
       "                half-width)\n"
       "  k             a normal value's coverage factor (empty: 1)\n"
       "  dof           degrees of freedom (empty: infinite; n - 1 for n readings)\n"
       "Each quantity is the root sum of squares of its components; cert and dvm are in uV,\n"
       "furnace in degC. A first line starting with 'quantity' and lines starting with # are\n"
       "passed over. An option given as well (--u-zn ...) takes the place of its quantity.\n");

namespace {

struct QuantityUnit {
    const char* name;
    double seebeck_at;  // where a degC component of it is turned into EMF (type S); NaN: none
    Unit only;          // the unit it must be in, when it has no conversion
};

std::optional<double> seebeck_of_point(const std::string& quantity) {
    const std::map<std::string, double> at = {{"zn", calibration::kZincTemperature},
                                              {"al", calibration::kAluminiumTemperature},
                                              {"sb", calibration::kAntimonyTemperature},
                                              {"cu", calibration::kCopperTemperature},
                                              {"common", 0.0}};
    const auto it = at.find(quantity);
    if (it == at.end()) return std::nullopt;
    return differential_value(sensor_of(Thermocouple::S), it->second);
}

std::vector<std::string> split_csv(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    for (std::string cell; std::getline(in, cell, ',');) {
        while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\r')) cell.pop_back();
        while (!cell.empty() && cell.front() == ' ') cell.erase(0, 1);
        cells.push_back(cell);
    }
    if (!line.empty() && line.back() == ',') cells.emplace_back();
    return cells;
}

// The budget file's components by quantity, or nothing after a usage error naming the line.
std::optional<std::map<std::string, std::vector<Component>>> read_budget(Context& ctx,
                                                                       const std::string& path) {
    if (!readable_file_or_report(ctx, path)) return std::nullopt;
    std::ifstream file(path);
    if (!file) {
        ctx.fail(format(tr("cannot read '%1'"), quoted(path)));
        return std::nullopt;
    }
    std::map<std::string, std::vector<Component>> budget;
    std::string line;
    long number = 0;
    const auto refuse = [&](const std::string& why_not) {
        ctx.usage_error(format(tr("%1, line %2: %3"), quoted(path), std::to_string(number), why_not));
        return std::nullopt;
    };
    while (std::getline(file, line)) {
        ++number;
        if (line.size() > Context::kLongestLine) return refuse(tr("the line is too long"));
        if (line.find_first_not_of(" \t\r") == std::string::npos || line.front() == '#' ||
            line.rfind("quantity", 0) == 0) {
            continue;
        }
        std::vector<std::string> c = split_csv(line);
        c.resize(std::max<std::size_t>(c.size(), 7));
        if (c.size() > 7) return refuse(tr("a line is quantity,name,value,unit,distribution,k,dof"));
        const std::string& quantity = c[0];
        static const std::vector<std::string> known = {"zn", "al", "sb", "cu", "common", "cert", "dvm", "furnace"};
        if (std::find(known.begin(), known.end(), quantity) == known.end()) {
            return refuse(format(tr("unknown quantity '%1'"), quoted(quantity)));
        }
        Component component;
        component.name = c[1];
        const text::StrictNumber value = text::read_strict_number(c[2]);
        if (!value.value || *value.value < 0) {
            return refuse(format(tr("'%1' is not an uncertainty (a number of at least 0)"), quoted(c[2])));
        }
        component.value = *value.value;
        if (c[3] == "uV") component.unit = Unit::Microvolt;
        else if (c[3] == "C") component.unit = Unit::Degree;
        else return refuse(format(tr("unknown unit '%1' (uV or C)"), quoted(c[3])));
        if ((quantity == "cert" || quantity == "dvm") && component.unit != Unit::Microvolt) {
            return refuse(format(tr("%1 is given in uV"), quantity));
        }
        if (quantity == "furnace" && component.unit != Unit::Degree) {
            return refuse(tr("furnace is given in C"));
        }
        if (c[4] == "normal") component.distribution = Distribution::Normal;
        else if (c[4] == "rectangular") component.distribution = Distribution::Rectangular;
        else if (c[4] == "triangular") component.distribution = Distribution::Triangular;
        else if (c[4] == "u-shaped") component.distribution = Distribution::UShaped;
        else return refuse(format(tr("unknown distribution '%1'"), quoted(c[4])));
        if (!c[5].empty()) {
            const text::StrictNumber k = text::read_strict_number(c[5]);
            if (!k.value || !(*k.value > 0)) {
                return refuse(format(tr("'%1' is not a coverage factor (a number above 0)"), quoted(c[5])));
            }
            component.coverage = *k.value;
        }
        if (!c[6].empty()) {
            const text::StrictNumber dof = text::read_strict_number(c[6]);
            if (!dof.value || !(*dof.value > 0)) {
                return refuse(format(tr("'%1' is not a number of degrees of freedom (above 0)"), quoted(c[6])));
            }
            component.degrees_of_freedom = *dof.value;
        }
        budget[quantity].push_back(component);
    }
    if (file.bad()) {
        ctx.fail(format(tr("cannot read '%1'"), quoted(path)));
        return std::nullopt;
    }
    return budget;
}

// A standard uncertainty option: a number of at least 0.
std::optional<double> uncertainty_option(Context& ctx, const Arguments& args, const char* name) {
    const std::optional<double> u = ctx.number_option(args, name);
    if (u && !(*u >= 0)) {
        ctx.usage_error(format(tr("--%1 %2: an uncertainty is a finite number of at least 0"), name,
                               general(*u)));
        return std::nullopt;
    }
    return u;
}

}  // namespace

std::optional<Uncertainties> uncertainties_or_report(Context& ctx, const Arguments& args,
                                                     calibration::MiddlePoint middle) {
    Uncertainties result;
    std::map<std::string, double> u;  // standard uncertainties by quantity
    if (const std::optional<std::string> path = args.value("budget")) {
        const auto budget = read_budget(ctx, *path);
        if (!budget) return std::nullopt;
        for (const auto& [quantity, components] : *budget) {
            const std::optional<double> s = seebeck_of_point(quantity);
            // Temperature components of the comparison: the furnace is itself in degC.
            const Outcome<calibration::Budget> b = calibration::evaluate(components, s.value_or(1.0), 1.0);
            if (!b.ok()) {
                const std::string message = format(tr("the budget of %1: %2"), quantity, why(b.rejection(), std::nullopt));
                // An overflow is a value beyond the computable range (status 1), not bad input.
                if (b.rejection().cause == Rejection::Cause::NotFinite) {
                    ctx.fail(message);
                } else {
                    ctx.usage_error(message);
                }
                return std::nullopt;
            }
            u[quantity] = b->combined;
            result.budgets.emplace_back(quantity, *b);
        }
    }
    for (const char* name : {"zn", "al", "sb", "cu", "common", "cert", "dvm", "furnace"}) {
        const std::string option = std::string("u-") + name;
        if (!args.has(option)) continue;
        const std::optional<double> value = uncertainty_option(ctx, args, option.c_str());
        if (!value) return std::nullopt;
        u[name] = *value;
    }
    double k = calibration::kDefaultCoverage;
    if (args.has("k")) {
        const std::optional<double> given = ctx.number_option(args, "k");
        if (!given) return std::nullopt;
        if (!(*given > 0)) {
            ctx.usage_error(format(tr("--k %1: a coverage factor is a number above 0"), general(*given)));
            return std::nullopt;
        }
        k = *given;
    }
    const bool al = middle == calibration::MiddlePoint::Aluminium;
    const char* mid = al ? "al" : "sb";
    if (u.count(al ? "sb" : "al")) {
        ctx.usage_error(al ? tr("the middle point is aluminium: give its uncertainty as --u-al")
                           : tr("the middle point is antimony: give its uncertainty as --u-sb"));
        return std::nullopt;
    }
    const bool any_point = u.count("zn") || u.count(mid) || u.count("cu") || u.count("common");
    if (any_point) {
        if (!u.count("zn") || !u.count(mid) || !u.count("cu")) {
            ctx.usage_error(al ? tr("give the uncertainties of all three points: --u-zn, --u-al and --u-cu")
                               : tr("give the uncertainties of all three points: --u-zn, --u-sb and --u-cu"));
            return std::nullopt;
        }
        result.fixed_points = calibration::FixedPointUncertainties{{u["zn"], u[mid], u["cu"]},
                                                                   u.count("common") ? u["common"] : 0, k};
    }
    if (u.count("cert") || u.count("dvm") || u.count("furnace") || args.has("k") || any_point) {
        result.comparison = calibration::ComparisonUncertainties{
            u.count("cert") ? u["cert"] : 0, u.count("dvm") ? u["dvm"] : 0,
            u.count("furnace") ? u["furnace"] : 0, k};
    }
    return result;
}

void print_budgets(Context& ctx, const Uncertainties& u) {
    for (const auto& [quantity, budget] : u.budgets) {
        ctx.out << format(tr("Budget of %1:"), quantity) << '\n';
        for (const calibration::BudgetLine& line : budget.lines) {
            const char* unit = line.component.unit == Unit::Degree ? "\u2103" : "\u03bcV";
            ctx.out << "  " << line.component.name << ": " << general(line.component.value) << ' ' << unit
                    << ", u = " << text::significant(line.standard_uncertainty, 4) << ' ' << unit
                    << ", c = " << text::significant(line.sensitivity, 4)
                    << ", " << format(tr("contribution %1"), text::significant(line.contribution, 4)) << '\n';
        }
        ctx.out << "  " << format(tr("combined %1, effective degrees of freedom %2"),
                                  text::significant(budget.combined, 4),
                                  std::isfinite(budget.effective_dof) ? text::significant(budget.effective_dof, 3)
                                                                      : std::string("\u221e"))
                << '\n';
    }
}

}  // namespace its90::cli
