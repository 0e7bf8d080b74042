#include "form/uncertainty_form.h"

#include <algorithm>

#include "core/sensors.h"
#include "text/number_text.h"
#include "text/strict_number.h"

#include <cmath>

namespace its90::form {
namespace {

using calibration::Unit;

std::optional<double> read_number(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return text::parse_strict_number(text);
}

}  // namespace

const char* quantity_name(BudgetQuantity q) {
    switch (q) {
        case BudgetQuantity::Zinc: return "锌点";
        case BudgetQuantity::Middle: return "中间点";
        case BudgetQuantity::Copper: return "铜点";
        case BudgetQuantity::Common: return "公共分量";
        case BudgetQuantity::Certificate: return "标准证书";
        case BudgetQuantity::Voltmeter: return "电测仪器";
        case BudgetQuantity::Furnace: return "炉温差";
    }
    return "";
}

Unit quantity_unit(BudgetQuantity q) {
    return q == BudgetQuantity::Furnace ? Unit::Degree : Unit::Microvolt;
}

UncertaintyForm::UncertaintyForm() { evaluate(); }

void UncertaintyForm::set_middle(calibration::MiddlePoint middle) {
    middle_ = middle;
    evaluate();
}

void UncertaintyForm::add_row(BudgetQuantity quantity) {
    BudgetRow row;
    row.quantity = quantity;
    row.unit = quantity_unit(quantity);
    rows_.push_back(row);
    evaluate();
}

void UncertaintyForm::remove_row(int r) {
    if (r < 0 || r >= row_count()) return;
    rows_.erase(rows_.begin() + r);
    evaluate();
}

void UncertaintyForm::set_row(int r, BudgetRow row) {
    if (r < 0 || r >= row_count()) return;
    rows_[static_cast<std::size_t>(r)] = std::move(row);
    evaluate();
}

void UncertaintyForm::set_coverage(std::string k) {
    coverage_ = std::move(k);
    evaluate();
}

bool UncertaintyForm::has_problems() const {
    if (!coverage_problem_.empty()) return true;
    return std::any_of(results_.begin(), results_.end(), [](const BudgetRowResult& r) { return !r.problem.empty(); });
}

void UncertaintyForm::evaluate() {
    coverage_problem_.clear();
    k_ = read_number(coverage_);
    if (!k_ || !(*k_ > 0)) {
        coverage_problem_ = "包含因子须为大于 0 的数";
        k_.reset();
    }
    const Sensor& s = sensor_of(Thermocouple::S);
    const auto seebeck_at = [&](BudgetQuantity q) -> double {
        const std::array<double, 3> t = calibration::fixed_point_temperatures(middle_);
        switch (q) {
            case BudgetQuantity::Zinc: return *differential_value(s, t[0]);
            case BudgetQuantity::Middle: return *differential_value(s, t[1]);
            case BudgetQuantity::Copper: return *differential_value(s, t[2]);
            case BudgetQuantity::Common: return *differential_value(s, 0);
            default: return 1.0;  // the furnace is combined in degrees
        }
    };
    results_.assign(rows_.size(), {});
    std::array<std::vector<calibration::Component>, kQuantityCount> parts;
    std::array<bool, kQuantityCount> usable;
    usable.fill(true);
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const BudgetRow& row = rows_[r];
        BudgetRowResult& out = results_[r];
        const auto q = static_cast<std::size_t>(row.quantity);
        calibration::Component c{row.name, 0, row.unit, row.distribution};
        const std::optional<double> value = read_number(row.value);
        const std::optional<double> k = read_number(row.coverage);
        const std::optional<double> dof = row.degrees_of_freedom.find_first_not_of(' ') == std::string::npos
                                              ? std::optional<double>(calibration::kInfinite)
                                              : read_number(row.degrees_of_freedom);
        if (row.value.find_first_not_of(' ') == std::string::npos) {
            out.problem = "未输入数值";
        } else if (!value || !(*value >= 0)) {
            out.problem = "“" + row.value + "”不是不确定度（不小于 0 的数）";
        } else if (row.distribution == calibration::Distribution::Normal && (!k || !(*k > 0))) {
            out.problem = "包含因子须为大于 0 的数";
        } else if (!dof || !(*dof > 0)) {
            out.problem = "自由度须为大于 0 的数（空为无穷大）";
        } else if ((row.quantity == BudgetQuantity::Certificate || row.quantity == BudgetQuantity::Voltmeter) &&
                   row.unit != Unit::Microvolt) {
            out.problem = std::string(quantity_name(row.quantity)) + "的分量以 μV 给出";
        } else if (row.quantity == BudgetQuantity::Furnace && row.unit != Unit::Degree) {
            out.problem = "炉温差的分量以 ℃ 给出";
        }
        if (!out.problem.empty()) {
            usable[q] = false;
            continue;
        }
        c.value = *value;
        c.coverage = row.distribution == calibration::Distribution::Normal ? *k : 1;
        c.degrees_of_freedom = *dof;
        const Outcome<calibration::Budget> one =
            calibration::evaluate(std::vector<calibration::Component>{c}, seebeck_at(row.quantity), 1.0);
        if (!one.ok()) {
            out.problem = "无法计算";
            usable[q] = false;
            continue;
        }
        out.line = one->lines.front();
        parts[q].push_back(c);
    }
    for (int q = 0; q < kQuantityCount; ++q) {
        auto& budget = budgets_[static_cast<std::size_t>(q)];
        budget.reset();
        if (!usable[static_cast<std::size_t>(q)] || parts[static_cast<std::size_t>(q)].empty() || !k_) continue;
        const Outcome<calibration::Budget> b = calibration::evaluate(
            parts[static_cast<std::size_t>(q)], seebeck_at(static_cast<BudgetQuantity>(q)), *k_);
        if (b.ok()) budget = *b;
    }
}

std::optional<calibration::FixedPointUncertainties> UncertaintyForm::fixed_points() const {
    const auto& zn = budget(BudgetQuantity::Zinc);
    const auto& mid = budget(BudgetQuantity::Middle);
    const auto& cu = budget(BudgetQuantity::Copper);
    if (!zn || !mid || !cu || !k_ || has_problems()) return std::nullopt;
    const auto& common = budget(BudgetQuantity::Common);
    return calibration::FixedPointUncertainties{{zn->combined, mid->combined, cu->combined},
                                                common ? common->combined : 0,
                                                *k_,
                                                {zn->effective_dof, mid->effective_dof, cu->effective_dof},
                                                common ? common->effective_dof : calibration::kInfinite};
}

std::optional<calibration::ComparisonUncertainties> UncertaintyForm::comparison() const {
    if (!k_ || has_problems()) return std::nullopt;
    const auto& cert = budget(BudgetQuantity::Certificate);
    const auto& dvm = budget(BudgetQuantity::Voltmeter);
    const auto& furnace = budget(BudgetQuantity::Furnace);
    if (!cert && !dvm && !furnace && !fixed_points()) return std::nullopt;
    return calibration::ComparisonUncertainties{cert ? cert->combined : 0, dvm ? dvm->combined : 0,
                                                furnace ? furnace->combined : 0, *k_};
}

std::vector<std::vector<std::string>> budget_rows(const UncertaintyForm& form) {
    using text::significant;
    std::vector<std::vector<std::string>> rows = {
        {"量", "分量", "数值", "单位", "分布", "k", "自由度", "标准不确定度", "灵敏系数", "贡献/μV"}};
    const auto unit = [](Unit u) { return u == Unit::Degree ? std::string("℃") : std::string("μV"); };
    const auto dof = [](double v) { return std::isfinite(v) ? significant(v, 3) : std::string("∞"); };
    for (int r = 0; r < form.row_count(); ++r) {
        const BudgetRowResult& result = form.result(r);
        if (!result.line) continue;
        const BudgetRow& row = form.row(r);
        const calibration::BudgetLine& line = *result.line;
        rows.push_back({quantity_name(row.quantity), row.name, row.value, unit(row.unit),
                        kDistributionNames[static_cast<int>(row.distribution)],
                        row.distribution == calibration::Distribution::Normal ? row.coverage : "",
                        dof(line.component.degrees_of_freedom), significant(line.standard_uncertainty, 3),
                        significant(line.sensitivity, 4),
                        // The furnace's contributions are temperatures, and say so.
                        significant(line.contribution, 3) + (quantity_unit(row.quantity) == Unit::Degree ? " ℃" : "")});
    }
    for (int q = 0; q < kQuantityCount; ++q) {
        const std::optional<calibration::Budget> b = form.budget(static_cast<BudgetQuantity>(q));
        if (!b) continue;
        rows.push_back({quantity_name(static_cast<BudgetQuantity>(q)), "合成", "", unit(quantity_unit(static_cast<BudgetQuantity>(q))),
                        "", "", dof(b->effective_dof), significant(b->combined, 3), "", ""});
    }
    return rows;
}

}  // namespace its90::form
