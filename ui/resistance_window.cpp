#include "ui/resistance_window.h"

#include <QCheckBox>
#include <QDateTime>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include "ui/entry_table.h"
#include <QVBoxLayout>
#include <cmath>

#include "core/copper.h"
#include "form/book_records.h"
#include "text/number_text.h"
#include "ui/book_access.h"
#include "ui/fonts.h"
#include "ui/problem_frame.h"
#include "ui/record_page.h"
#include "ui/rows_page.h"

namespace its90::ui {
namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }
QString sig(double x, int digits) { return q(text::for_reading(x, digits)); }
// An expanded uncertainty, its stated digits kept ("0.40").
QString stated(double x) { return q(text::stated(x, 2)); }
QString fix(double x, int decimals) { return q(text::fixed(x, decimals)); }

void set_cell(QTableWidget* table, int row, int column, const QString& text) {
    QTableWidgetItem* item = table->item(row, column);
    if (item == nullptr) {
        table->setItem(row, column, item = new QTableWidgetItem);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    if (item->text() != text) item->setText(text);
}

}  // namespace

ResistanceWindow::ResistanceWindow(WindowPrompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), prompts_(&prompts) {
    dress_tool_window(*this, QStringLiteral("ResistanceWindow"), QStringLiteral("电阻温度计"));
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    correction_banner_ = new CorrectionBanner(correction_, [this] { identification_.corrects.clear(); }, this,
                                              QStringLiteral("电阻温度计"));
    layout->addWidget(correction_banner_);
    pages_ = new QTabWidget(this);
    pages_->addTab(create_sprt(), QStringLiteral("标准铂电阻（ITS-90）"));
    pages_->addTab(create_cvd(), QStringLiteral("工业铂电阻（CVD）"));
    pages_->addTab(create_copper(), QStringLiteral("铜热电阻（JJG 229）"));
    layout->addWidget(pages_);

    const char* texts[] = {"复制结果", "保存为 CSV…", "导出 PDF…", "打印…"};
    const QKeySequence keys[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_S),
                                 QKeySequence(), QKeySequence(Qt::CTRL | Qt::Key_P)};
    QMenu* file = bar->addMenu(QStringLiteral("文件(&F)"));
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        actions_[i] = file->addAction(QString::fromUtf8(texts[i]));
        actions_[i]->setShortcut(keys[i]);
        actions_[i]->setShortcutContext(Qt::WindowShortcut);
        addAction(actions_[i]);
    }
    connect(actions_[0], &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(q(form::tsv_of(current_rows()))); });
    connect(actions_[1], &QAction::triggered, this, [this] { save(true); });
    connect(actions_[2], &QAction::triggered, this, [this] { save(false); });
    connect(actions_[3], &QAction::triggered, this, [this] { print(); });
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("关闭"));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(close, &QAction::triggered, this, &QWidget::close);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    fit_on_screen(*this, QSize(900, 700));
    refresh();
}

QLineEdit* ResistanceWindow::field_edit(form::Field& field, QWidget* parent, Page page) {
    auto* edit = new QLineEdit(q(field.text), parent);
    edits_.emplace_back(&field, edit);
    connect(edit, &QLineEdit::textEdited, this, [this, &field, page](const QString& text) {
        field.text = text.toStdString();
        typed_ = true;
        switch (page) {
            case Page::Sprt: sprt_.edited(); break;
            case Page::Cvd: cvd_.edited(); break;
            case Page::Copper: copper_.edited(); break;
        }
        refresh();
    });
    return edit;
}

QLineEdit* ResistanceWindow::edit_of(const form::Field& field) const {
    for (const auto& [f, e] : edits_) {
        if (f == &field) return e;
    }
    return nullptr;
}

QTableWidget* ResistanceWindow::table_box(QVBoxLayout& layout, form::TableRequest& request, Page page,
                                          const QStringList& headings) {
    auto* box = new QGroupBox(QStringLiteral("分度表"), layout.parentWidget());
    auto* box_layout = new QVBoxLayout(box);
    auto* span = new QHBoxLayout;
    span->addWidget(new QLabel(QStringLiteral("从 / ℃："), box));
    span->addWidget(field_edit(request.from, box, page));
    span->addWidget(new QLabel(QStringLiteral("到 / ℃："), box));
    span->addWidget(field_edit(request.to, box, page));
    span->addWidget(new QLabel(QStringLiteral("步长 / ℃："), box));
    span->addWidget(field_edit(request.step, box, page));
    box_layout->addLayout(span);
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()), box);
    table->setHorizontalHeaderLabels(headings);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setVisible(false);
    box_layout->addWidget(table);
    layout.addWidget(box, 1);
    return table;
}

QWidget* ResistanceWindow::create_sprt() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("温区："), page));
    sprt_range_ = new QComboBox(page);
    for (const sprt::DeviationRangeRecord& r : sprt::kDeviationRanges) sprt_range_->addItem(r.name);
    sprt_range_->setCurrentIndex(static_cast<int>(sprt_.range()));
    top->addWidget(sprt_range_);
    top->addWidget(new QLabel(QStringLiteral("水三相点电阻 R<sub>tp</sub> / Ω："), page));
    top->addWidget(field_edit(sprt_.r_tpw, page, Page::Sprt));
    auto* typed = new QRadioButton(QStringLiteral("证书给出的系数"), page);
    sprt_fitted_ = new QRadioButton(QStringLiteral("由固定点的电阻拟合"), page);
    auto* group = new QButtonGroup(page);
    group->addButton(typed);
    group->addButton(sprt_fitted_);
    typed->setChecked(true);
    top->addWidget(typed);
    top->addWidget(sprt_fitted_);
    sprt_check_ = new QPushButton(QStringLiteral("水三相点核查"), page);
    sprt_check_->setObjectName(QStringLiteral("sprt_tpw_check"));
    sprt_check_->setToolTip(QStringLiteral("保留当前的系数（拟合的或输入的）作为证书系数，再输入核查时测得的水三相点电阻 Rtp"));
    top->addWidget(sprt_check_);
    top->addStretch(1);
    layout->addLayout(top);
    connect(sprt_check_, &QPushButton::clicked, this, [this, typed] {
        if (!sprt_.keep_coefficients()) return;
        typed->setChecked(true);
        refresh();
        QLineEdit* rtp = edit_of(sprt_.r_tpw);
        rtp->setFocus();
        rtp->selectAll();
    });
    connect(sprt_range_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (refreshing_ || i < 0) return;
        sprt_.set_range(static_cast<sprt::DeviationRange>(i));
        refresh();
    });
    connect(sprt_fitted_, &QRadioButton::toggled, this, [this](bool on) {
        sprt_.set_fitted(on);
        refresh();
    });

    auto* coefficients = new QGroupBox(QStringLiteral("偏差函数的系数"), page);
    auto* grid = new QGridLayout(coefficients);
    form::Field* fields[] = {&sprt_.a, &sprt_.b, &sprt_.c, &sprt_.d, &sprt_.e, &sprt_.f, &sprt_.g, &sprt_.w_al};
    const char* names[] = {"a", "b", "c", "d", "", "", "", "W(Al)（空：由 a、b、c）"};  // the slots' names follow the range
    for (int i = 0; i < sprt::kMostCoefficients + 1; ++i) {
        sprt_coefficient_labels_[static_cast<std::size_t>(i)] = new QLabel(QString::fromUtf8(names[i]), coefficients);
        sprt_coefficients_[static_cast<std::size_t>(i)] = field_edit(*fields[i], coefficients, Page::Sprt);
        grid->addWidget(sprt_coefficient_labels_[static_cast<std::size_t>(i)], 0, i);
        grid->addWidget(sprt_coefficients_[static_cast<std::size_t>(i)], 1, i);
    }
    // The points five to a row, a measured point's t90 under its resistance; u below them.
    auto* point_grid = new QGridLayout;
    constexpr int kPointsInARow = 5;
    for (int p = 0; p < sprt::kMostCoefficients; ++p) {
        const auto i = static_cast<std::size_t>(p);
        const int row = 4 * (p / kPointsInARow), column = p % kPointsInARow;
        sprt_point_labels_[i] = new QLabel(coefficients);
        sprt_points_[i] = field_edit(sprt_.point_r[i], coefficients, Page::Sprt);
        sprt_point_t_labels_[i] = new QLabel(coefficients);
        sprt_point_ts_[i] = field_edit(sprt_.point_t[i], coefficients, Page::Sprt);
        point_grid->addWidget(sprt_point_labels_[i], row, column);
        point_grid->addWidget(sprt_points_[i], row + 1, column);
        point_grid->addWidget(sprt_point_t_labels_[i], row + 2, column);
        point_grid->addWidget(sprt_point_ts_[i], row + 3, column);
    }
    grid->addLayout(point_grid, 2, 0, 1, sprt::kMostCoefficients + 1);
    auto* u_row = new QHBoxLayout;
    sprt_u_label_ = new QLabel(QStringLiteral("各点电阻的标准不确定度 u / mΩ："), coefficients);
    u_row->addWidget(sprt_u_label_);
    u_row->addWidget(field_edit(sprt_.u_points, coefficients, Page::Sprt));
    u_row->addStretch();
    grid->addLayout(u_row, 3, 0, 1, sprt::kMostCoefficients + 1);
    sprt_status_ = new QLabel(coefficients);
    sprt_status_->setWordWrap(true);
    grid->addWidget(sprt_status_, 4, 0, 1, sprt::kMostCoefficients + 1);
    layout->addWidget(coefficients);

    auto* convert = new QGroupBox(QStringLiteral("换算"), page);
    auto* cgrid = new QGridLayout(convert);
    cgrid->addWidget(new QLabel(QStringLiteral("t90 / ℃："), convert), 0, 0);
    cgrid->addWidget(field_edit(sprt_.temperature, convert, Page::Sprt), 0, 1);
    cgrid->addWidget(new QLabel(QStringLiteral("R / Ω："), convert), 1, 0);
    cgrid->addWidget(field_edit(sprt_.resistance, convert, Page::Sprt), 1, 1);
    sprt_result_ = new QLabel(convert);
    sprt_result_->setObjectName(QStringLiteral("sprt_result"));
    sprt_result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cgrid->addWidget(sprt_result_, 0, 2, 2, 1);
    cgrid->setColumnStretch(2, 1);
    layout->addWidget(convert);

    sprt_table_ = table_box(*layout, sprt_.table, Page::Sprt,
                            {QStringLiteral("t90 / ℃"), QStringLiteral("R / Ω"), QStringLiteral("W"), QStringLiteral("U(k=2) / mK")});
    return page;
}

QWidget* ResistanceWindow::create_cvd() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    auto* typed = new QRadioButton(QStringLiteral("输入系数"), page);
    cvd_fitted_ = new QRadioButton(QStringLiteral("由测量点拟合（最小二乘）"), page);
    auto* group = new QButtonGroup(page);
    group->addButton(typed);
    group->addButton(cvd_fitted_);
    typed->setChecked(true);
    top->addWidget(typed);
    top->addWidget(cvd_fitted_);
    // R0 by name (Pt100, Pt500, Pt1000) or typed: on the second row, where it leaves the
    // coefficients their width.
    cvd_named_r0_ = new QComboBox(page);
    cvd_named_r0_->setObjectName(QStringLiteral("cvd_named_r0"));
    cvd_named_r0_->addItems({QStringLiteral("Pt100"), QStringLiteral("Pt500"), QStringLiteral("Pt1000"), QStringLiteral("其他")});
    connect(cvd_named_r0_, &QComboBox::activated, this, [this](int i) {
        if (i > 2) return;
        cvd_.r0.text = i == 0 ? "100" : i == 1 ? "500" : "1000";
        typed_ = true;
        cvd_.edited();
        refresh();
    });
    for (auto [label, field] : {std::pair{"R0 / Ω", &cvd_.r0}, {"A", &cvd_.a}, {"B", &cvd_.b}, {"C", &cvd_.c}, {"D", &cvd_.d}}) {
        top->addWidget(new QLabel(QString::fromUtf8(label), page));
        top->addWidget(field_edit(*field, page, Page::Cvd));
    }
    layout->addLayout(top);
    connect(cvd_fitted_, &QRadioButton::toggled, this, [this](bool on) {
        cvd_.set_fitted(on);
        refresh();
    });
    // The typed coefficients' range, and whether a fit takes D.
    auto* second = new QHBoxLayout;
    second->addWidget(new QLabel(QStringLiteral("分度号："), page));
    second->addWidget(cvd_named_r0_);
    cvd_valid_label_ = new QLabel(QStringLiteral("有效范围（空：-200～850 ℃）从 / ℃："), page);
    second->addWidget(cvd_valid_label_);
    second->addWidget(field_edit(cvd_.valid_from, page, Page::Cvd));
    second->addWidget(new QLabel(QStringLiteral("到 / ℃："), page));
    second->addWidget(field_edit(cvd_.valid_to, page, Page::Cvd));
    cvd_with_d_ = new QCheckBox(QStringLiteral("拟合 D（0 ℃ 以上的 t³ 项）"), page);
    cvd_with_d_->setObjectName(QStringLiteral("cvd_with_d"));
    second->addWidget(cvd_with_d_);
    second->addStretch(1);
    layout->addLayout(second);
    connect(cvd_with_d_, &QCheckBox::toggled, this, [this](bool on) {
        if (refreshing_) return;
        cvd_.set_with_d(on);
        refresh();
    });

    cvd_points_ = new EntryTable(form::kMostCvdPoints, 6, page);
    cvd_points_->setObjectName(QStringLiteral("cvd_points"));
    cvd_points_->setItemDelegate(new ProblemFrame(cvd_points_));
    cvd_points_->setHorizontalHeaderLabels({QStringLiteral("t / ℃"), QStringLiteral("R / Ω"), QStringLiteral("残差 / mΩ"),
                                            QStringLiteral("残差 / ℃"), QStringLiteral("对 IEC 60751 / ℃"),
                                            QStringLiteral("等级")});
    cvd_points_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    cvd_points_->verticalHeader()->setDefaultSectionSize(22);
    for (int r = 0; r < form::kMostCvdPoints; ++r) {
        for (int c = 0; c < 6; ++c) {
            auto* item = new QTableWidgetItem;
            if (c >= 2) item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            cvd_points_->setItem(r, c, item);
        }
    }
    connect(cvd_points_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (refreshing_ || item->column() > 1) return;
        auto& fields = item->column() == 0 ? cvd_.point_t : cvd_.point_r;
        fields[static_cast<std::size_t>(item->row())].text = item->text().toStdString();
        cvd_.edited();
        refresh();
    });
    layout->addWidget(cvd_points_, 1);
    auto* u_row = new QHBoxLayout;
    u_row->addWidget(new QLabel(QStringLiteral("各点电阻的标准不确定度 u / mΩ："), page));
    u_row->addWidget(field_edit(cvd_.u_points, page, Page::Cvd));
    u_row->addStretch(1);
    layout->addLayout(u_row);
    cvd_status_ = new QLabel(page);
    cvd_status_->setWordWrap(true);
    layout->addWidget(cvd_status_);

    auto* convert = new QGroupBox(QStringLiteral("换算与检定"), page);
    auto* grid = new QGridLayout(convert);
    grid->addWidget(new QLabel(QStringLiteral("t / ℃："), convert), 0, 0);
    grid->addWidget(field_edit(cvd_.temperature, convert, Page::Cvd), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("R / Ω："), convert), 0, 2);
    grid->addWidget(field_edit(cvd_.resistance, convert, Page::Cvd), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("冰点 R(0) / Ω："), convert), 1, 0);
    grid->addWidget(field_edit(cvd_.ice, convert, Page::Cvd), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("汽点 R(100) / Ω："), convert), 1, 2);
    grid->addWidget(field_edit(cvd_.steam, convert, Page::Cvd), 1, 3);
    cvd_result_ = new QLabel(convert);
    cvd_result_->setObjectName(QStringLiteral("cvd_result"));
    cvd_result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(cvd_result_, 2, 0, 1, 4);
    layout->addWidget(convert);

    cvd_table_ = table_box(*layout, cvd_.table, Page::Cvd,
                           {QStringLiteral("t / ℃"), QStringLiteral("R / Ω"), QStringLiteral("U(k=2) / ℃"), QStringLiteral("说明")});
    return page;
}

QWidget* ResistanceWindow::create_copper() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("分度号："), page));
    copper_r0_ = new QComboBox(page);
    copper_r0_->setObjectName(QStringLiteral("copper_r0"));
    copper_r0_->addItems({QStringLiteral("Cu50（R0 = 50 Ω）"), QStringLiteral("Cu100（R0 = 100 Ω）")});
    top->addWidget(copper_r0_);
    top->addStretch(1);
    layout->addLayout(top);
    auto* equation = new QLabel(QStringLiteral("R(t) = R0 (1 + A t + B t² + C t³)，A = 4.28899×10⁻³ ℃⁻¹，"
                                               "B = −2.133×10⁻⁷ ℃⁻²，C = 1.233×10⁻⁹ ℃⁻³，−50～150 ℃"),
                                page);
    equation->setWordWrap(true);
    layout->addWidget(equation);
    connect(copper_r0_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (refreshing_ || i < 0) return;
        copper_.set_r0(copper::kR0s[i]);
        refresh();
    });
    auto* convert = new QGroupBox(QStringLiteral("换算"), page);
    auto* grid = new QGridLayout(convert);
    grid->addWidget(new QLabel(QStringLiteral("t / ℃："), convert), 0, 0);
    grid->addWidget(field_edit(copper_.temperature, convert, Page::Copper), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("R / Ω："), convert), 0, 2);
    grid->addWidget(field_edit(copper_.resistance, convert, Page::Copper), 0, 3);
    copper_result_ = new QLabel(convert);
    copper_result_->setObjectName(QStringLiteral("copper_result"));
    copper_result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(copper_result_, 1, 0, 1, 4);
    layout->addWidget(convert);
    copper_table_ = table_box(*layout, copper_.table, Page::Copper,
                              {QStringLiteral("t / ℃"), QStringLiteral("R / Ω"), QStringLiteral("W = R/R0")});
    return page;
}

void ResistanceWindow::refresh() {
    refreshing_ = true;
    for (const auto& [field, edit] : edits_) {
        if (edit->text() != q(field->text)) edit->setText(q(field->text));
        // A new window is not a sea of red: what is missing is framed once something was typed.
        show_problem(edit, field->problem, typed_ || !field->text.empty());
    }
    // The SPRT page.
    const sprt::DeviationRangeRecord& record = sprt::range_record(sprt_.range());
    if (sprt_range_->currentIndex() != static_cast<int>(sprt_.range())) {
        sprt_range_->setCurrentIndex(static_cast<int>(sprt_.range()));
    }
    for (int i = 0; i < sprt::kMostCoefficients + 1; ++i) {
        const bool w_al = i == sprt::kMostCoefficients;
        const bool shown = !sprt_.fitted() && (w_al ? sprt_.range() == sprt::DeviationRange::TPWAg : i < record.coefficients);
        sprt_coefficients_[static_cast<std::size_t>(i)]->setVisible(shown);
        sprt_coefficient_labels_[static_cast<std::size_t>(i)]->setVisible(shown);
        if (shown && !w_al) sprt_coefficient_labels_[static_cast<std::size_t>(i)]->setText(QString::fromUtf8(record.names[static_cast<std::size_t>(i)]));
    }
    for (int p = 0; p < sprt::kMostCoefficients; ++p) {
        const bool shown = sprt_.fitted() && record.points[static_cast<std::size_t>(p)].has_value();
        sprt_points_[static_cast<std::size_t>(p)]->setVisible(shown);
        sprt_point_labels_[static_cast<std::size_t>(p)]->setVisible(shown);
        const sprt::FixedPointRecord* fp = shown ? &sprt::fixed_point(*record.points[static_cast<std::size_t>(p)]) : nullptr;
        const bool measured = fp && fp->measured();
        sprt_point_ts_[static_cast<std::size_t>(p)]->setVisible(measured);
        sprt_point_t_labels_[static_cast<std::size_t>(p)]->setVisible(measured);
        if (measured) {
            // Measured with a gas thermometer: its t90 typed under it, the window it must lie in named.
            sprt_point_labels_[static_cast<std::size_t>(p)]->setText(QStringLiteral("R(%1) / Ω").arg(QString::fromUtf8(fp->symbol)));
            sprt_point_t_labels_[static_cast<std::size_t>(p)]->setText(
                QStringLiteral("测得 t90 / ℃（%1 … %2）")
                    .arg(q(text::general(fp->t90 - fp->measured_within)), q(text::general(fp->t90 + fp->measured_within))));
        } else if (fp) {
            sprt_point_labels_[static_cast<std::size_t>(p)]->setText(
                QStringLiteral("R(%1, %2 ℃) / Ω").arg(QString::fromUtf8(fp->symbol), q(text::general(fp->t90))));
        }
    }
    sprt_check_->setEnabled(sprt_.coefficients().has_value());
    sprt_u_label_->setVisible(sprt_.fitted());
    edit_of(sprt_.u_points)->setVisible(sprt_.fitted());
    if (const auto k = sprt_.coefficients()) {
        QStringList named;
        for (int i = 0; i < record.coefficients; ++i) {
            // No break between a name and its value.
            named << QString::fromUtf8(record.names[static_cast<std::size_t>(i)]) + QStringLiteral("\u00a0=\u00a0") + sig(sprt::slot(*k, i), 8);
        }
        if (sprt_.range() == sprt::DeviationRange::TPWAg) named << QStringLiteral("W(Al) = ") + sig(k->w_al, 10);
        QString text = named.join(QStringLiteral("，"));
        // ITS-90's criteria beside the coefficients, in red where the thermometer fails them.
        const sprt::Acceptance a = *sprt_.acceptance();
        QStringList criteria;
        for (const std::string& line : form::acceptance_texts(a)) criteria << q(line);
        text += QStringLiteral("\nITS-90 判据：") + criteria.join(QStringLiteral("；"));
        if (!a.met()) text += QStringLiteral("\n") + q(form::acceptance_warning(a));
        sprt_status_->setText(QStringLiteral("温区 %1：").arg(QString::fromUtf8(record.name)) + text);
        sprt_status_->setStyleSheet(a.met() ? QString() : QStringLiteral("color: #c62828"));
    } else {
        sprt_status_->setText(q(sprt_.coefficients_problem()));
        sprt_status_->setStyleSheet(QString());
    }
    QStringList lines;
    if (const auto c = sprt_.at_temperature()) {
        lines << QStringLiteral("R = %1 Ω，W = %2，Wr = %3").arg(fix(c->r, 6), fix(c->w, 9), fix(c->wr, 9))
              << QStringLiteral("ΔW = %1，dR/dt = %2 Ω/℃").arg(sig(c->dw, 6), fix(c->dr_dt, 6));
    }
    if (const auto u = sprt_.expanded_at_temperature()) lines << QStringLiteral("U(t90) = %1 mK（k = 2，由各固定点电阻的不确定度）").arg(stated(*u * 1000));
    if (const auto t = sprt_.at_resistance()) lines << QStringLiteral("t90 = %1 ℃").arg(fix(*t, 6));
    sprt_result_->setText(lines.join('\n'));
    sprt_table_->setRowCount(static_cast<int>(sprt_.rows().size()));
    for (std::size_t r = 0; r < sprt_.rows().size(); ++r) {
        const form::SprtForm::Row& row = sprt_.rows()[r];
        set_cell(sprt_table_, static_cast<int>(r), 0, q(text::general(row.t90)));
        set_cell(sprt_table_, static_cast<int>(r), 1, fix(row.r, 6));
        set_cell(sprt_table_, static_cast<int>(r), 2, fix(row.w, 8));
        set_cell(sprt_table_, static_cast<int>(r), 3, row.expanded ? stated(*row.expanded * 1000) : QString());
    }
    // The CVD page.
    for (int r = 0; r < form::kMostCvdPoints; ++r) {
        const form::Field& t = cvd_.point_t[static_cast<std::size_t>(r)];
        const form::Field& res = cvd_.point_r[static_cast<std::size_t>(r)];
        for (auto [c, field] : {std::pair{0, &t}, {1, &res}}) {
            QTableWidgetItem* item = cvd_points_->item(r, c);
            if (item->text() != q(field->text)) item->setText(q(field->text));
            if (item->data(kProblemRole).toString() != q(field->problem)) {
                item->setData(kProblemRole, q(field->problem));
                item->setToolTip(q(field->problem));
            }
        }
        const auto& result = cvd_.point_results()[static_cast<std::size_t>(r)];
        set_cell(cvd_points_, r, 2, result ? fix(result->residual_mohm, 3) : QString());
        set_cell(cvd_points_, r, 3, result ? fix(result->residual_c, 5) : QString());
        set_cell(cvd_points_, r, 4, result && !std::isnan(result->deviation) ? fix(result->deviation, 4) : QString());
        set_cell(cvd_points_, r, 5, result ? (result->tightest.empty() ? QStringLiteral("无") : q(result->tightest)) : QString());
    }
    cvd_points_->setEnabled(cvd_.fitted());
    for (form::Field* f : {&cvd_.r0, &cvd_.a, &cvd_.b, &cvd_.c, &cvd_.d, &cvd_.valid_from, &cvd_.valid_to}) {
        edit_of(*f)->setEnabled(!cvd_.fitted());
    }
    cvd_valid_label_->setEnabled(!cvd_.fitted());
    cvd_with_d_->setEnabled(cvd_.fitted());
    if (cvd_with_d_->isChecked() != cvd_.with_d()) cvd_with_d_->setChecked(cvd_.with_d());
    if (const auto k = cvd_.coefficients()) {
        const cvd::AlphaDeltaBeta adb = cvd::alpha_delta_beta(*k);
        QString text = QStringLiteral("R0 = %1 Ω，A = %2，B = %3").arg(sig(k->r0, 10), sig(k->a, 8), sig(k->b, 8));
        if (cvd_.has_c()) text += QStringLiteral("，C = ") + sig(k->c, 8);
        if (cvd_.has_d()) text += QStringLiteral("，D = ") + sig(k->d, 8);
        text += QStringLiteral("；α = %1，δ = %2").arg(sig(adb.alpha, 8), sig(adb.delta, 6));
        if (cvd_.has_c()) text += QStringLiteral("，β = ") + sig(adb.beta, 6);
        cvd_status_->setText(text);
    } else {
        cvd_status_->setText(q(cvd_.coefficients_problem()));
    }
    QStringList cvd_lines;
    if (const auto r = cvd_.at_temperature()) cvd_lines << QStringLiteral("R = %1 Ω").arg(fix(*r, 5));
    if (const auto u = cvd_.expanded_at_temperature()) cvd_lines << QStringLiteral("U(t) = %1 ℃（k = 2）").arg(stated(*u));
    if (const auto t = cvd_.at_resistance()) cvd_lines << QStringLiteral("t = %1 ℃").arg(fix(*t, 4));
    const auto check = [](const char* name, const std::optional<form::CvdForm::Check>& c) {
        return QString::fromUtf8(name) + QStringLiteral("偏差 %1 ℃，").arg(fix(c->deviation, 4)) +
               (c->tightest.empty() ? QStringLiteral("不满足任何等级") : QStringLiteral("满足 %1 级").arg(q(c->tightest)));
    };
    if (cvd_.ice_check()) cvd_lines << check("冰点：", cvd_.ice_check());
    if (cvd_.steam_check()) cvd_lines << check("汽点：", cvd_.steam_check());
    cvd_result_->setText(cvd_lines.join(QStringLiteral("；")));
    cvd_table_->setRowCount(static_cast<int>(cvd_.rows().size()));
    for (std::size_t r = 0; r < cvd_.rows().size(); ++r) {
        set_cell(cvd_table_, static_cast<int>(r), 0, q(text::general(cvd_.rows()[r].t)));
        set_cell(cvd_table_, static_cast<int>(r), 1, fix(cvd_.rows()[r].r, 5));
        set_cell(cvd_table_, static_cast<int>(r), 2,
                 cvd_.rows()[r].expanded ? stated(*cvd_.rows()[r].expanded) : QString());
        set_cell(cvd_table_, static_cast<int>(r), 3, cvd_.rows()[r].extrapolated ? QString::fromUtf8(form::kExtrapolated) : QString());
        if (QTableWidgetItem* note = cvd_table_->item(static_cast<int>(r), 3)) {
            note->setToolTip(cvd_.rows()[r].extrapolated ? QStringLiteral("此温度在拟合点的温度范围以外：由方程外推") : QString());
        }
    }
    // R0 by name where it is one.
    const int named = cvd_.r0.text == "100" ? 0 : cvd_.r0.text == "500" ? 1 : cvd_.r0.text == "1000" ? 2 : 3;
    if (cvd_named_r0_->currentIndex() != named) cvd_named_r0_->setCurrentIndex(named);
    // The copper page.
    const int cu = copper_.r0() == 100 ? 1 : 0;
    if (copper_r0_->currentIndex() != cu) copper_r0_->setCurrentIndex(cu);
    QStringList copper_lines;
    if (const auto r = copper_.at_temperature()) {
        copper_lines << QStringLiteral("R = %1 Ω，W = %2").arg(fix(*r, 4), fix(*r / copper_.r0(), 6));
    }
    if (const auto t = copper_.at_resistance()) copper_lines << QStringLiteral("t = %1 ℃").arg(fix(*t, 4));
    copper_result_->setText(copper_lines.join(QStringLiteral("；")));
    copper_table_->setRowCount(static_cast<int>(copper_.rows().size()));
    for (std::size_t r = 0; r < copper_.rows().size(); ++r) {
        set_cell(copper_table_, static_cast<int>(r), 0, q(text::general(copper_.rows()[r].t)));
        set_cell(copper_table_, static_cast<int>(r), 1, fix(copper_.rows()[r].r, 4));
        set_cell(copper_table_, static_cast<int>(r), 2, fix(copper_.rows()[r].w, 6));
    }
    refreshing_ = false;
}

namespace {

const char* page_title(ResistanceWindow::Page page) {
    switch (page) {
        case ResistanceWindow::Page::Sprt: return "标准铂电阻温度计";
        case ResistanceWindow::Page::Cvd: return "工业铂电阻温度计";
        case ResistanceWindow::Page::Copper: return "铜热电阻温度计";
    }
    return "";
}

}  // namespace

ResistanceWindow::Page ResistanceWindow::current_page() const { return static_cast<Page>(pages_->currentIndex()); }

std::string ResistanceWindow::page_type() const {
    switch (current_page()) {
        case Page::Sprt: return "SPRT";
        case Page::Cvd: return "CVD";
        case Page::Copper: return copper_.r0() == 100 ? "Cu100" : "Cu50";
    }
    return {};
}

std::vector<std::vector<std::string>> ResistanceWindow::current_rows() const {
    switch (current_page()) {
        case Page::Sprt: return form::sprt_rows(sprt_);
        case Page::Cvd: return form::cvd_rows(cvd_);
        case Page::Copper: return form::copper_rows(copper_);
    }
    return {};
}

void ResistanceWindow::save(bool csv) {
    if (!correction_.identify(*prompts_, identification_, WindowPrompts::RecordKind::Resistance, page_type())) return;
    const auto rows = with_identification(current_rows(), identification_);
    const char* title = page_title(current_page());
    if (save_record_file(*prompts_, QString::fromUtf8(title), identification_.number, csv,
                         [&](const QString& path, QString& error) {
                             return csv ? save_text(path, form::csv_of(rows), error)
                                        : save_document(path, title, [&](QPagedPaintDevice& d) { draw_rows(d, title, rows); }, error);
                         })) {
        keep_record(rows, QStringLiteral("记录已保存到文件"));
    }
}

void ResistanceWindow::keep_record(const std::vector<std::vector<std::string>>& rows, const QString& issued) {
    const std::string date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    book::Record kept = current_page() == Page::Sprt  ? form::book_record(sprt_, identification_, date, rows, program_version())
                        : current_page() == Page::Cvd ? form::book_record(cvd_, identification_, date, rows, program_version())
                                                      : form::book_record(copper_, identification_, date, rows, program_version());
    correction_.keep(*prompts_, std::move(kept), identification_, issued);
}

bool ResistanceWindow::load(const book::Record& record, bool correcting) {
    const std::optional<form::ResistancePage> page = form::resistance_page(record);
    if (!page) return false;
    if (*page == form::ResistancePage::Sprt) {
        form::SprtForm loaded;
        if (!form::load_sprt(record, loaded)) return false;
        sprt_ = loaded;
    } else if (*page == form::ResistancePage::Cvd) {
        form::CvdForm loaded;
        if (!form::load_cvd(record, loaded)) return false;
        cvd_ = loaded;
    } else {
        form::CopperForm loaded;
        if (!form::load_copper(record, loaded)) return false;
        copper_ = loaded;
    }
    if (*page != form::ResistancePage::Copper) {
        const bool sprt = *page == form::ResistancePage::Sprt;
        QRadioButton* fitted = sprt ? sprt_fitted_ : cvd_fitted_;
        const bool on = sprt ? sprt_.fitted() : cvd_.fitted();
        for (QAbstractButton* b : fitted->group()->buttons()) {
            if ((b == fitted) == on) b->setChecked(true);
        }
    }
    pages_->setCurrentIndex(*page == form::ResistancePage::Sprt ? 0 : *page == form::ResistancePage::Cvd ? 1 : 2);
    identification_ = form::identification_of(record);
    correction_.set(correcting ? std::optional(record) : std::nullopt);
    typed_ = true;
    refresh();
    return true;
}

void ResistanceWindow::print() {
    if (!correction_.identify(*prompts_, identification_, WindowPrompts::RecordKind::Resistance, page_type())) return;
    QPrinter printer(QPrinter::HighResolution);
    if (!prompts_->print_setup(printer)) return;
    const char* title = page_title(current_page());
    const auto rows = with_identification(current_rows(), identification_);
    draw_rows(printer, title, rows);
    keep_record(rows, QStringLiteral("记录已打印"));
}

}  // namespace its90::ui
