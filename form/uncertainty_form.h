// The uncertainty budget as the technician builds it (不确定度评定), without its toolkit: lines of
// components, each with its quantity, name, value, unit, distribution, coverage factor and
// degrees of freedom as typed; what each gives (its standard uncertainty, sensitivity and
// contribution, or why it cannot be used); each quantity combined; the coverage factor. The
// fixed-point calibration takes u_1 ... u_3 and u_0 from it, the comparison u_cert, u_dvm and
// u_furnace. Kept for the run; nothing typed is discarded.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calibration/uncertainty.h"

namespace its90::form {

// What a component adds to.
enum class BudgetQuantity { Zinc, Middle, Copper, Common, Certificate, Voltmeter, Furnace };
inline constexpr int kQuantityCount = 7;
// 锌点, 中间点 (铝点或锑点), 铜点, 公共分量 (参考端), 标准证书, 电测仪器, 炉温差.
const char* quantity_name(BudgetQuantity q);
// The unit a quantity is combined in: microvolts, but the furnace in degrees.
calibration::Unit quantity_unit(BudgetQuantity q);

inline constexpr const char* kDistributionNames[] = {"正态", "均匀", "三角", "反正弦"};

struct BudgetRow {
    BudgetQuantity quantity = BudgetQuantity::Zinc;
    std::string name;
    std::string value;                 // as typed
    calibration::Unit unit = calibration::Unit::Microvolt;
    calibration::Distribution distribution = calibration::Distribution::Normal;
    std::string coverage = "1";        // a normal value's k, as typed
    std::string degrees_of_freedom;    // as typed; empty: infinite
};

// A row as evaluated: the budget line, or why it cannot be used.
struct BudgetRowResult {
    std::optional<calibration::BudgetLine> line;
    std::string problem;
};

class UncertaintyForm {
public:
    UncertaintyForm();

    int row_count() const { return static_cast<int>(rows_.size()); }
    const BudgetRow& row(int r) const { return rows_[static_cast<std::size_t>(r)]; }
    void add_row(BudgetQuantity quantity);
    void remove_row(int r);
    void set_row(int r, BudgetRow row);
    const BudgetRowResult& result(int r) const { return results_[static_cast<std::size_t>(r)]; }

    // The middle point of the calibration, whose type S differential value turns a temperature
    // component of the middle point into EMF.
    void set_middle(calibration::MiddlePoint middle);

    // The coverage factor k as typed (2 unless changed).
    const std::string& coverage() const { return coverage_; }
    const std::string& coverage_problem() const { return coverage_problem_; }
    void set_coverage(std::string k);

    // A quantity's combined standard uncertainty, when it has rows and all of them are usable.
    std::optional<calibration::Budget> budget(BudgetQuantity q) const {
        return budgets_[static_cast<std::size_t>(q)];
    }
    // Whether any row or the coverage factor cannot be used (then no result uses the budget).
    bool has_problems() const;

    // The fixed points' uncertainties, when the three points have theirs.
    std::optional<calibration::FixedPointUncertainties> fixed_points() const;
    // The comparison's, when any of its quantities has rows (or the fixed points theirs).
    std::optional<calibration::ComparisonUncertainties> comparison() const;

private:
    void evaluate();

    calibration::MiddlePoint middle_ = calibration::MiddlePoint::Aluminium;
    std::vector<BudgetRow> rows_;
    std::vector<BudgetRowResult> results_;
    std::string coverage_ = "2";
    std::string coverage_problem_;
    std::optional<double> k_;
    std::array<std::optional<calibration::Budget>, kQuantityCount> budgets_{};
};

// The budget as a record shows it: every usable line (quantity, component, value, unit,
// distribution, k, degrees of freedom, standard uncertainty, sensitivity, contribution), then
// each quantity's combined standard uncertainty and effective degrees of freedom.
std::vector<std::vector<std::string>> budget_rows(const UncertaintyForm& form);

}  // namespace its90::form
