// The uncertainty options that calibrate and compare share: the standard uncertainties typed
// as options (--u-zn ... --u-furnace, --k) or built from a budget file (--budget FILE).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "calibration/uncertainty.h"
#include "cli/context.h"

namespace its90::cli {


struct Uncertainties {
    // The fixed points' u_i and u_0 (uV), when any is given.
    std::optional<calibration::FixedPointUncertainties> fixed_points;
    // The comparison's u_cert, u_dvm (uV) and u_furnace (degC), when any is given.
    std::optional<calibration::ComparisonUncertainties> comparison;
    // The budgets a budget file gave, by quantity, for the text output.
    std::vector<std::pair<std::string, calibration::Budget>> budgets;
};

// The options' uncertainties, or nothing after a usage error naming what was refused.
// `middle` is the middle point of the fixed points given (its option is --u-al or --u-sb).
std::optional<Uncertainties> uncertainties_or_report(Context& ctx, const Arguments& args,
                                                     calibration::MiddlePoint middle);

// The budget tables as text: every line, the combined standard uncertainty, the effective
// degrees of freedom.
void print_budgets(Context& ctx, const Uncertainties& u);

extern const char* const kBudgetHelp;

}  // namespace its90::cli
