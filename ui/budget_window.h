// 不确定度评定: the uncertainty budget as a table the technician fills in, line by line, with
// what each line gives and each quantity's combined standard uncertainty. A view over
// form::UncertaintyForm, which the calculator keeps for the run; non-modal.
#pragma once

#include <QWidget>
#include <functional>

#include <vector>

#include "book/book.h"
#include "form/uncertainty_form.h"
#include "ui/window_prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace its90::ui {

class BudgetWindow final : public QWidget {
    Q_OBJECT
public:
    // `changed` is called after every edit, for the records and windows that use the budget.
    BudgetWindow(form::UncertaintyForm& model, std::function<void()> changed, WindowPrompts& prompts,
                 QWidget* parent = nullptr);
    void set_prompts(WindowPrompts& prompts) { prompts_ = &prompts; }

    // The budgets kept in the book, offered for loading (the newest first); keeping this one.
    QComboBox* kept_budgets() const { return kept_; }
    void load_kept();   // 载入: the chosen kept budget in place of this one
    void keep();        // 保存到记录簿…: asks the laboratory and the name, keeps it
    void reload_kept();

    QTableWidget* table() const { return table_; }
    QLineEdit* coverage() const { return coverage_; }
    QLabel* summary() const { return summary_; }
    // Adds a line for a quantity, as the 添加 button does.
    void add_line(form::BudgetQuantity quantity);
    void refresh();

private:
    void edited(int row);

    form::UncertaintyForm& model_;
    WindowPrompts* prompts_;
    QComboBox* kept_ = nullptr;
    QLabel* kept_status_ = nullptr;
    std::vector<book::KeptBudget> kept_list_;
    std::function<void()> changed_;
    QTableWidget* table_ = nullptr;
    QLineEdit* coverage_ = nullptr;
    QLabel* summary_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace its90::ui
