#include "ui/budget_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "ui/entry_table.h"
#include <QVBoxLayout>
#include <cmath>

#include "text/number_text.h"
#include "form/book_records.h"
#include "ui/book_access.h"
#include "ui/fonts.h"
#include "ui/problem_frame.h"

namespace its90::ui {
namespace {

using form::BudgetQuantity;

QString q(const std::string& text) { return QString::fromStdString(text); }

enum Column { kQuantity, kName, kValue, kUnit, kDistribution, kCoverage, kDof, kStandard, kSensitivity, kContribution };

QComboBox* combo(QWidget* parent, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->addItems(items);
    return box;
}

QStringList quantity_names() {
    QStringList names;
    for (int i = 0; i < form::kQuantityCount; ++i) names << QString::fromUtf8(form::quantity_name(static_cast<BudgetQuantity>(i)));
    return names;
}

QString significant(double x, int digits) { return q(text::for_reading(x, digits)); }

}  // namespace

BudgetWindow::BudgetWindow(form::UncertaintyForm& model, std::function<void()> changed, WindowPrompts& prompts,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), prompts_(&prompts), changed_(std::move(changed)) {
    dress_tool_window(*this, QStringLiteral("BudgetWindow"), QStringLiteral("不确定度评定"));
    auto* layout = new QVBoxLayout(this);
    // The laboratory's budgets kept in the book, offered again at every start.
    auto* kept_row = new QHBoxLayout;
    kept_row->addWidget(new QLabel(QStringLiteral("记录簿中的评定："), this));
    kept_ = new QComboBox(this);
    kept_->setObjectName(QStringLiteral("kept_budgets"));
    kept_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    kept_row->addWidget(kept_, 1);
    auto* load = new QPushButton(QStringLiteral("载入"), this);
    auto* save = new QPushButton(QStringLiteral("保存到记录簿…"), this);
    kept_row->addWidget(load);
    kept_row->addWidget(save);
    layout->addLayout(kept_row);
    kept_status_ = new QLabel(this);
    kept_status_->setObjectName(QStringLiteral("kept_status"));
    kept_status_->setWordWrap(true);
    layout->addWidget(kept_status_);
    connect(load, &QPushButton::clicked, this, [this] { load_kept(); });
    connect(save, &QPushButton::clicked, this, [this] { keep(); });
    auto* intro = new QLabel(
        QStringLiteral("每行一个分量：正态分布的数值为 k·u；均匀、三角、反正弦分布的数值为半宽度。"
                       "以 ℃ 给出的定点分量按 S 型在该点的微分电势换算为 μV（公共分量按 0 ℃）。"),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    table_ = new EntryTable(0, 10, this);
    table_->setObjectName(QStringLiteral("budget"));
    table_->setItemDelegate(new ProblemFrame(table_));
    table_->setHorizontalHeaderLabels({QStringLiteral("量"), QStringLiteral("分量"), QStringLiteral("数值"),
                                       QStringLiteral("单位"), QStringLiteral("分布"), QStringLiteral("k"),
                                       QStringLiteral("自由度"), QStringLiteral("标准不确定度"),
                                       QStringLiteral("灵敏系数"), QStringLiteral("贡献/μV")});
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
    // Room for what is typed before anything is typed.
    for (const auto& [column, width] : {std::pair{kValue, 80}, {kCoverage, 44}, {kDof, 64}}) {
        table_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
        table_->setColumnWidth(column, width);
    }
    table_->verticalHeader()->setDefaultSectionSize(24);
    layout->addWidget(table_, 1);
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!refreshing_) edited(item->row());
    });

    auto* buttons = new QHBoxLayout;
    QComboBox* which = combo(this, quantity_names());
    which->setObjectName(QStringLiteral("new_quantity"));
    auto* add = new QPushButton(QStringLiteral("添加分量"), this);
    auto* remove = new QPushButton(QStringLiteral("删除分量"), this);
    buttons->addWidget(which);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(new QLabel(QStringLiteral("包含因子 k："), this));
    coverage_ = new QLineEdit(q(model_.coverage()), this);
    coverage_->setObjectName(QStringLiteral("coverage"));
    coverage_->setMaximumWidth(60);
    buttons->addWidget(coverage_);
    connect(add, &QPushButton::clicked, this,
            [this, which] { add_line(static_cast<BudgetQuantity>(which->currentIndex())); });
    connect(remove, &QPushButton::clicked, this, [this] {
        const int r = table_->currentRow();
        if (r < 0) return;
        model_.remove_row(r);
        refresh();
        changed_();
    });
    connect(coverage_, &QLineEdit::textEdited, this, [this](const QString& k) {
        model_.set_coverage(k.toStdString());
        refresh();
        changed_();
    });

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::RichText);
    // The status above the buttons, which keep the window's foot: a status that grows takes
    // its room from the table, never moves a button.
    layout->addWidget(summary_);
    layout->addLayout(buttons);
    fit_on_screen(*this, QSize(900, 460));
    reload_kept();
    refresh();
}

void BudgetWindow::reload_kept() {
    std::string problem;
    kept_list_.clear();
    read_book([&](const book::Book& b) { kept_list_ = b.budgets(); }, problem);
    kept_->clear();
    for (const book::KeptBudget& k : kept_list_) kept_->addItem(q(form::kept_budget_title(k)));
    kept_->setEnabled(!kept_list_.empty());
    if (!problem.empty()) {
        kept_status_->setText(q(problem));
    } else if (kept_list_.empty()) {
        kept_status_->setText(QStringLiteral("记录簿中尚无保存的评定：填好后点“保存到记录簿…”，下次启动时可再载入。"));
    } else if (model_.row_count() == 0) {
        kept_status_->setText(QStringLiteral("记录簿中有 %1 份评定，最新的是 %2：选择后点“载入”。")
                                  .arg(kept_list_.size())
                                  .arg(q(form::kept_budget_title(kept_list_.front()))));
    } else {
        kept_status_->clear();
    }
}

void BudgetWindow::load_kept() {
    const int chosen = kept_->currentIndex();
    if (chosen < 0 || chosen >= static_cast<int>(kept_list_.size())) return;
    if (model_.row_count() > 0 &&
        !prompts_->confirm(QStringLiteral("载入评定"), QStringLiteral("用记录簿中的评定替换当前的各分量？"))) {
        return;
    }
    const book::KeptBudget& k = kept_list_[static_cast<std::size_t>(chosen)];
    if (!form::load_kept_budget(k, model_)) {
        prompts_->error(QStringLiteral("记录簿中的评定 %1 没有分量，无法载入。").arg(q(form::kept_budget_title(k))));
        return;
    }
    kept_status_->setText(QStringLiteral("已载入 ") + q(form::kept_budget_title(k)));
    refresh();
    changed_();
}

void BudgetWindow::keep() {
    if (model_.row_count() == 0) {
        prompts_->error(QStringLiteral("评定中没有分量，没有可保存的内容。"));
        return;
    }
    QString laboratory = kept_list_.empty() ? QString() : q(kept_list_.front().laboratory);
    QString name = kept_list_.empty() ? QString() : q(kept_list_.front().name);
    if (!prompts_->budget_name(laboratory, name)) return;
    const std::unique_ptr<book::Book> b = open_book(*prompts_, book::Book::Access::ReadWrite);
    if (!b) return;
    try {
        b->keep_budget(form::kept_budget(model_, laboratory.toStdString(), name.toStdString(), book::now_text(),
                                         program_version()));
    } catch (const book::Failure& f) {
        prompts_->error(q(form::book_problem_text(f.problem())));
        return;
    }
    reload_kept();
    kept_status_->setText(QStringLiteral("已保存到记录簿：") + name + QStringLiteral("（") + laboratory + QStringLiteral("）"));
}

void BudgetWindow::add_line(BudgetQuantity quantity) {
    model_.add_row(quantity);
    refresh();
    changed_();
}

void BudgetWindow::edited(int r) {
    if (r < 0 || r >= model_.row_count()) return;
    form::BudgetRow row = model_.row(r);
    const auto text = [&](int c) { return table_->item(r, c) ? table_->item(r, c)->text().toStdString() : std::string(); };
    const auto index = [&](int c) { return static_cast<QComboBox*>(table_->cellWidget(r, c))->currentIndex(); };
    row.quantity = static_cast<BudgetQuantity>(index(kQuantity));
    row.name = text(kName);
    row.value = text(kValue);
    row.unit = index(kUnit) == 1 ? calibration::Unit::Degree : calibration::Unit::Microvolt;
    row.distribution = static_cast<calibration::Distribution>(index(kDistribution));
    row.coverage = text(kCoverage);
    row.degrees_of_freedom = text(kDof);
    model_.set_row(r, row);
    refresh();
    changed_();
}

void BudgetWindow::refresh() {
    refreshing_ = true;
    if (table_->rowCount() != model_.row_count()) table_->setRowCount(model_.row_count());
    for (int r = 0; r < model_.row_count(); ++r) {
        const form::BudgetRow& row = model_.row(r);
        const form::BudgetRowResult& result = model_.result(r);
        // The choices, made once a row.
        if (table_->cellWidget(r, kQuantity) == nullptr) {
            QComboBox* quantity = combo(table_, quantity_names());
            QComboBox* unit = combo(table_, {QStringLiteral("μV"), QStringLiteral("℃")});
            QComboBox* distribution = combo(table_, {});
            for (const char* name : form::kDistributionNames) distribution->addItem(QString::fromUtf8(name));
            table_->setCellWidget(r, kQuantity, quantity);
            table_->setCellWidget(r, kUnit, unit);
            table_->setCellWidget(r, kDistribution, distribution);
            for (QComboBox* box : {quantity, unit, distribution}) {
                connect(box, &QComboBox::currentIndexChanged, this, [this, box] {
                    if (refreshing_) return;
                    for (int row = 0; row < table_->rowCount(); ++row) {
                        for (int c : {kQuantity, kUnit, kDistribution}) {
                            if (table_->cellWidget(row, c) == box) return edited(row);
                        }
                    }
                });
            }
        }
        static_cast<QComboBox*>(table_->cellWidget(r, kQuantity))->setCurrentIndex(static_cast<int>(row.quantity));
        static_cast<QComboBox*>(table_->cellWidget(r, kUnit))->setCurrentIndex(row.unit == calibration::Unit::Degree ? 1 : 0);
        static_cast<QComboBox*>(table_->cellWidget(r, kDistribution))->setCurrentIndex(static_cast<int>(row.distribution));
        const QString texts[] = {q(row.name), q(row.value), q(row.coverage), q(row.degrees_of_freedom)};
        const int columns[] = {kName, kValue, kCoverage, kDof};
        for (int i = 0; i < 4; ++i) {
            QTableWidgetItem* item = table_->item(r, columns[i]);
            if (item == nullptr) table_->setItem(r, columns[i], item = new QTableWidgetItem);
            if (item->text() != texts[i]) item->setText(texts[i]);
        }
        QTableWidgetItem* value = table_->item(r, kValue);
        value->setData(kProblemRole, q(result.problem));
        value->setToolTip(q(result.problem));
        const QString computed[] = {
            result.line ? significant(result.line->standard_uncertainty, 3) : QString(),
            result.line ? significant(result.line->sensitivity, 4) : QString(),
            result.line ? significant(result.line->contribution, 3) : QString()};
        const int outputs[] = {kStandard, kSensitivity, kContribution};
        for (int i = 0; i < 3; ++i) {
            QTableWidgetItem* item = table_->item(r, outputs[i]);
            if (item == nullptr) {
                table_->setItem(r, outputs[i], item = new QTableWidgetItem);
                item->setFlags(Qt::ItemIsEnabled);
            }
            if (item->text() != computed[i]) item->setText(computed[i]);
        }
    }
    show_problem(coverage_, model_.coverage_problem());
    QStringList lines;
    for (int i = 0; i < form::kQuantityCount; ++i) {
        const auto quantity = static_cast<BudgetQuantity>(i);
        const std::optional<calibration::Budget> b = model_.budget(quantity);
        if (!b) continue;
        const QString unit = form::quantity_unit(quantity) == calibration::Unit::Degree ? QStringLiteral("℃") : QStringLiteral("μV");
        lines << QString::fromUtf8(form::quantity_name(quantity)) + QStringLiteral("：u<sub>c</sub> = ") + significant(b->combined, 3) +
                     " " + unit + QStringLiteral("，有效自由度 ν<sub>eff</sub> = ") +
                     (std::isfinite(b->effective_dof) ? significant(b->effective_dof, 3) : QStringLiteral("∞"));
    }
    QString uses = model_.fixed_points() ? QStringLiteral("定点分度记录：给出 U") : QStringLiteral("定点分度记录：需锌点、中间点、铜点的分量");
    uses += model_.comparison() ? QStringLiteral("；比较法：给出 U(Δt)") : QString();
    if (model_.has_problems()) uses = QStringLiteral("有分量不能使用（见红框）：记录中不给出不确定度");
    summary_->setText(lines.join(QStringLiteral("；")) + (lines.isEmpty() ? QString() : QStringLiteral("<br>")) + uses);
    refreshing_ = false;
}

}  // namespace its90::ui
