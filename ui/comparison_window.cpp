#include "ui/comparison_window.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QResizeEvent>
#include <QTabWidget>
#include <QTableWidget>

#include "ui/acquisition_window.h"
#include "ui/entry_table.h"
#include <QVBoxLayout>

#include <algorithm>

#include "book/fixed_points.h"
#include "core/sensors.h"
#include "form/book_records.h"
#include "ui/book_access.h"
#include "text/number_text.h"
#include "ui/comparison_page.h"
#include "ui/fonts.h"
#include "ui/problem_frame.h"

namespace its90::ui {
namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

// The working types in the order a technician meets them.
const Thermocouple kTypes[] = {Thermocouple::K, Thermocouple::N, Thermocouple::E, Thermocouple::J,
                               Thermocouple::T, Thermocouple::S, Thermocouple::R, Thermocouple::B};

int type_index(Thermocouple type) {
    for (int i = 0; i < 8; ++i) {
        if (kTypes[i] == type) return i;
    }
    return 0;
}

void set_text_if_changed(QTableWidgetItem* item, const QString& text) {
    if (item->text() != text) item->setText(text);
}

QString working_name(const form::ComparisonForm& f, int i) {
    const form::WorkingThermocouple& w = f.working(i);
    return (w.number.empty() ? QString::number(i + 1) + "#" : q(w.number)) + " (" +
           QChar(letter(w.type)) + ")";
}

QString fixed(double x, int decimals) { return q(text::fixed(x, decimals)); }

}  // namespace

ComparisonWindow::ComparisonWindow(WindowPrompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), prompts_(&prompts) {
    dress_tool_window(*this, QStringLiteral("ComparisonWindow"), QStringLiteral("比较法校准"));

    auto* layout = new QVBoxLayout(this);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    correction_banner_ = new CorrectionBanner(correction_, [this] { identification_.corrects.clear(); }, this,
                                              QStringLiteral("比较法校准"));
    layout->addWidget(correction_banner_);
    auto* top = new QHBoxLayout;
    top->addWidget(create_standard(), 1);
    top->addWidget(create_working(), 1);
    layout->addLayout(top);
    // The readings above, the results below; the technician moves the line between them.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(create_points());
    split->addWidget(create_results());
    split->setChildrenCollapsible(false);
    split->setSizes({330, 170});
    split_ = split;
    // Extra height goes to the results; the readings keep the height the line gives them.
    split->installEventFilter(this);
    layout->addWidget(split, 1);

    create_record_actions();
    QMenu* file = bar->addMenu(QStringLiteral("文件(&F)"));
    new_run_ = file->addAction(QStringLiteral("新建"));
    new_run_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(new_run_, &QAction::triggered, this, [this] { start_new_run(); });
    file->addSeparator();
    for (QAction* action : record_actions_) file->addAction(action);
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("关闭"));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(close, &QAction::triggered, this, &QWidget::close);
    file->setToolTipsVisible(true);
    QMenu* readings = bar->addMenu(QStringLiteral("采集(&A)"));
    acquisition_action_ = readings->addAction(QStringLiteral("自动采集…"));
    acquisition_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    acquisition_action_->setToolTip(QStringLiteral("从仪表（SCPI）读取各检定点的读数"));
    connect(acquisition_action_, &QAction::triggered, this, [this] { show_acquisition(); });
    fit_on_screen(*this, QSize(980, 700));
    refresh();
}

bool ComparisonWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == split_ && event->type() == QEvent::Resize) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        const int grown = resize->size().height() - resize->oldSize().height();
        if (resize->oldSize().isValid() && grown != 0) {
            QList<int> sizes = split_->sizes();
            // Once Qt has shared the change out: the readings take back their share.
            QMetaObject::invokeMethod(this, [this, sizes, grown] {
                const int points = std::max(split_->widget(0)->minimumSizeHint().height(),
                                            std::min(sizes[0], sizes[0] + sizes[1] + grown - split_->widget(1)->minimumSizeHint().height()));
                const int total = split_->sizes()[0] + split_->sizes()[1];
                split_->setSizes({points, total - points});
            }, Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ComparisonWindow::set_prompts(WindowPrompts& prompts) {
    prompts_ = &prompts;
    if (acquisition_ != nullptr) acquisition_->set_prompts(prompts);
}

AcquisitionWindow& ComparisonWindow::acquisition() {
    if (acquisition_ == nullptr) acquisition_ = new AcquisitionWindow(*this, *prompts_, this);
    return *acquisition_;
}

void ComparisonWindow::show_acquisition() {
    AcquisitionWindow& window = acquisition();
    window.show();
    window.raise();
    window.activateWindow();
}

void ComparisonWindow::start_new_run() {
    if (!prompts_->confirm(QStringLiteral("新建"),
                           QStringLiteral("清除本次比较的检定点、读数和被检热电偶编号？标准热电偶和不确定度保留。"))) {
        return;
    }
    model_.clear_run();
    refresh();
}

QWidget* ComparisonWindow::create_standard() {
    auto* box = new QGroupBox(QStringLiteral("标准热电偶"), this);
    auto* form = new QFormLayout(box);
    form->setVerticalSpacing(4);
    standard_number_ = new QLineEdit(box);
    standard_number_->setObjectName(QStringLiteral("standard_number"));
    certificate_number_ = new QLineEdit(box);
    certificate_number_->setObjectName(QStringLiteral("certificate_number"));
    form->addRow(QStringLiteral("编号："), standard_number_);
    form->addRow(QStringLiteral("证书编号："), certificate_number_);
    from_panel_ = new QRadioButton(QStringLiteral("来自分度面板（三个定点电势）"), box);
    from_certificate_ = new QRadioButton(QStringLiteral("证书（在各检定点输入 e标证）"), box);
    from_book_ = new QRadioButton(QStringLiteral("记录簿中的定点分度："), box);
    kept_choice_ = new QComboBox(box);
    kept_choice_->setObjectName(QStringLiteral("kept_choice"));
    kept_choice_->setEnabled(false);
    auto* group = new QButtonGroup(box);
    group->addButton(from_panel_);
    group->addButton(from_book_);
    group->addButton(from_certificate_);
    from_panel_->setChecked(true);
    form->addRow(QStringLiteral("电势来源："), from_panel_);
    auto* kept = new QHBoxLayout;
    kept->addWidget(from_book_);
    kept->addWidget(kept_choice_, 1);
    form->addRow(QString(), kept);
    form->addRow(QString(), from_certificate_);
    panel_status_ = new QLabel(box);
    panel_status_->setWordWrap(true);
    form->addRow(QString(), panel_status_);
    connect(standard_number_, &QLineEdit::textEdited, this, [this](const QString& t) {
        model_.standard_number = t.toStdString();
        if (from_book_->isChecked()) reload_kept_standards();
    });
    connect(from_book_, &QRadioButton::toggled, this, [this](bool on) {
        kept_choice_->setEnabled(on);
        if (on) {
            reload_kept_standards();
        } else {
            model_.set_kept_standard(std::nullopt);
            refresh();
        }
    });
    connect(kept_choice_, &QComboBox::currentIndexChanged, this, [this] {
        if (!refreshing_) choose_kept_standard({});
    });
    connect(certificate_number_, &QLineEdit::textEdited, this,
            [this](const QString& t) { model_.certificate_number = t.toStdString(); });
    connect(from_certificate_, &QRadioButton::toggled, this, [this](bool on) {
        model_.set_from_panel(!on);
        refresh();
    });
    return box;
}

QWidget* ComparisonWindow::create_working() {
    auto* box = new QGroupBox(QStringLiteral("被检热电偶"), this);
    auto* grid = new QGridLayout(box);
    working_count_ = new QSpinBox(box);
    working_count_->setObjectName(QStringLiteral("working_count"));
    working_count_->setRange(1, form::kMostWorking);
    working_count_->setMaximumWidth(64);
    grid->addWidget(new QLabel(QStringLiteral("支数："), box), 0, 0);
    grid->addWidget(working_count_, 0, 1, Qt::AlignLeft);
    grid->setVerticalSpacing(3);
    grid->addWidget(new QLabel(QStringLiteral("编号"), box), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("分度号"), box), 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("要求等级"), box), 1, 3);
    for (int i = 0; i < form::kMostWorking; ++i) {
        WorkingRow& row = working_rows_[static_cast<std::size_t>(i)];
        row.label = new QLabel(QString::number(i + 1) + "#", box);
        row.number = new QLineEdit(box);
        row.number->setObjectName(QStringLiteral("working_number_%1").arg(i));
        row.type = new QComboBox(box);
        for (Thermocouple t : kTypes) row.type->addItem(QString(QChar(letter(t))));
        row.required_class = new QComboBox(box);
        row.required_class->addItems({QStringLiteral("1 级"), QStringLiteral("2 级"), QStringLiteral("3 级")});
        grid->addWidget(row.label, i + 2, 0);
        grid->addWidget(row.number, i + 2, 1);
        grid->addWidget(row.type, i + 2, 2);
        grid->addWidget(row.required_class, i + 2, 3);
        connect(row.number, &QLineEdit::textEdited, this, [this, i](const QString& t) {
            model_.set_working_number(i, t.toStdString());
            refresh();
        });
        connect(row.type, &QComboBox::currentIndexChanged, this, [this, i](int index) {
            if (refreshing_ || index < 0) return;
            model_.set_working_type(i, kTypes[index]);
            refresh();
        });
        connect(row.required_class, &QComboBox::currentIndexChanged, this, [this, i](int index) {
            if (refreshing_ || index < 0) return;
            model_.set_working_class(i, index + 1);
            refresh();
        });
    }
    connect(working_count_, &QSpinBox::valueChanged, this, [this](int n) {
        if (refreshing_) return;
        model_.set_working_count(n);
        refresh();
    });
    return box;
}

QWidget* ComparisonWindow::create_points() {
    auto* box = new QGroupBox(QStringLiteral("检定点与读数"), this);
    auto* layout = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    point_count_ = new QSpinBox(box);
    point_count_->setObjectName(QStringLiteral("point_count"));
    point_count_->setRange(1, form::kMostPoints);
    readings_ = new QSpinBox(box);
    readings_->setObjectName(QStringLiteral("readings"));
    readings_->setRange(1, form::kMostReadings);
    row->addWidget(new QLabel(QStringLiteral("点数："), box));
    row->addWidget(point_count_);
    row->addWidget(new QLabel(QStringLiteral("读数次数："), box));
    row->addWidget(readings_);
    row->addWidget(new QLabel(QStringLiteral("检定点/℃："), box));
    for (int p = 0; p < form::kMostPoints; ++p) {
        QLineEdit* edit = new QLineEdit(box);
        edit->setObjectName(QStringLiteral("point_%1").arg(p));
        edit->setMaximumWidth(64);
        point_texts_[static_cast<std::size_t>(p)] = edit;
        row->addWidget(edit);
        connect(edit, &QLineEdit::textEdited, this, [this, p](const QString& t) {
            model_.edit_temperature(p, t.toStdString());
            refresh();
        });
    }
    row->addStretch(1);
    layout->addLayout(row);
    connect(point_count_, &QSpinBox::valueChanged, this, [this](int n) {
        if (refreshing_) return;
        model_.set_point_count(n);
        refresh();
    });
    connect(readings_, &QSpinBox::valueChanged, this, [this](int n) {
        if (refreshing_) return;
        model_.set_readings(n);
        refresh();
    });

    tabs_widget_ = new QTabWidget(box);
    for (int p = 0; p < form::kMostPoints; ++p) {
        PointTab& tab = tabs_[static_cast<std::size_t>(p)];
        tab.page = new QWidget(tabs_widget_);
        auto* page_layout = new QVBoxLayout(tab.page);
        auto* cert_row = new QHBoxLayout;
        cert_row->addWidget(new QLabel(QStringLiteral("e标证 / mV："), tab.page));
        tab.certificate = new QLineEdit(tab.page);
        tab.certificate->setObjectName(QStringLiteral("certificate_%1").arg(p));
        tab.certificate->setMaximumWidth(140);
        cert_row->addWidget(tab.certificate);
        cert_row->addWidget(new QLabel(
            QStringLiteral("读数顺序：标准、各被检、……、标准，每支取平均值"), tab.page));
        cert_row->addStretch(1);
        page_layout->addLayout(cert_row);
        tab.table = new EntryTable(tab.page);
        tab.table->setObjectName(QStringLiteral("readings_%1").arg(p));
        tab.table->setItemDelegate(new ProblemFrame(tab.table));
        tab.table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        tab.table->verticalHeader()->setDefaultSectionSize(22);
        tab.table->setMinimumHeight(22 * 6 + 4);  // the header, four readings and the mean
        page_layout->addWidget(tab.table);
        tabs_widget_->addTab(tab.page, QString());
        connect(tab.certificate, &QLineEdit::textEdited, this, [this, p](const QString& t) {
            model_.edit_certificate(p, t.toStdString());
            refresh();
        });
        connect(tab.table, &QTableWidget::itemChanged, this, [this, p](QTableWidgetItem* item) {
            if (refreshing_ || item->row() >= model_.readings()) return;
            model_.edit_reading(p, item->column() - 1, item->row(), item->text().toStdString());
            refresh();
        });
    }
    layout->addWidget(tabs_widget_, 1);
    return box;
}

QWidget* ComparisonWindow::create_results() {
    auto* box = new QGroupBox(QStringLiteral("结果"), this);
    auto* layout = new QVBoxLayout(box);
    results_ = new QTableWidget(box);
    results_->setObjectName(QStringLiteral("results"));
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_->setColumnCount(10);
    results_->setHorizontalHeaderLabels({QStringLiteral("编号"), QStringLiteral("检定点/℃"),
                                         QStringLiteral("ē被/mV"), QStringLiteral("e分/mV"),
                                         QStringLiteral("S被/(μV/℃)"), QStringLiteral("Δe/mV"),
                                         QStringLiteral("Δt/℃"), QStringLiteral("U(Δt)/℃"),
                                         QStringLiteral("允差/℃"), QStringLiteral("结论")});
    results_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    results_->horizontalHeader()->setStretchLastSection(true);
    results_->verticalHeader()->setVisible(false);
    results_->verticalHeader()->setDefaultSectionSize(22);
    results_->setMinimumHeight(22 * 4);
    layout->addWidget(results_);
    verdicts_ = new QLabel(box);
    verdicts_->setObjectName(QStringLiteral("verdicts"));
    verdicts_->setWordWrap(true);
    layout->addWidget(verdicts_);
    uncertainty_status_ = new QLabel(box);
    uncertainty_status_->setObjectName(QStringLiteral("uncertainty_status"));
    uncertainty_status_->setWordWrap(true);
    layout->addWidget(uncertainty_status_);
    return box;
}

void ComparisonWindow::create_record_actions() {
    const char* texts[] = {"复制结果", "保存为 CSV…", "导出 PDF…", "打印…"};
    const QKeySequence keys[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                                 QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(),
                                 QKeySequence(Qt::CTRL | Qt::Key_P)};
    for (std::size_t i = 0; i < record_actions_.size(); ++i) {
        auto* action = new QAction(QString::fromUtf8(texts[i]), this);
        action->setShortcut(keys[i]);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        record_actions_[i] = action;
    }
    connect(record_actions_[0], &QAction::triggered, this, [this] {
        if (const std::optional<form::ComparisonRecord> r = record()) {
            QApplication::clipboard()->setText(q(form::tsv_of(form::comparison_rows(*r))));
        }
    });
    connect(record_actions_[1], &QAction::triggered, this, [this] { save_record(RecordAction::SaveCsv); });
    connect(record_actions_[2], &QAction::triggered, this, [this] { save_record(RecordAction::ExportPdf); });
    connect(record_actions_[3], &QAction::triggered, this, [this] { print_record(); });
}

QAction* ComparisonWindow::record_action(RecordAction action) const {
    return record_actions_[static_cast<std::size_t>(action)];
}

void ComparisonWindow::set_panel(std::optional<calibration::Calibration> calibration,
                                 const std::string& reason) {
    model_.set_panel(std::move(calibration), reason);
    refresh();
}

void ComparisonWindow::set_uncertainties(std::optional<calibration::ComparisonUncertainties> comparison,
                                         std::optional<calibration::FixedPointUncertainties> fixed_points) {
    model_.set_uncertainties(comparison, fixed_points);
    refresh();
}

void ComparisonWindow::refresh() {
    refreshing_ = true;
    const form::ComparisonForm& f = model_;
    // The standard.
    if (standard_number_->text() != q(f.standard_number)) standard_number_->setText(q(f.standard_number));
    if (certificate_number_->text() != q(f.certificate_number)) certificate_number_->setText(q(f.certificate_number));
    if (f.from_panel() && f.kept_standard()) {
        const form::KeptStandard& k = *f.kept_standard();
        panel_status_->setText((k.record_id > 0 ? QStringLiteral("记录簿，记录 %1（%2）：").arg(k.record_id).arg(q(k.date))
                                                : QStringLiteral("记录中的定点分度："))
                               + q(form::coefficients_text(k.calibration)));
    } else if (f.from_panel() && !f.kept_missing().empty()) {
        panel_status_->setText(q(f.kept_missing()));
    } else if (f.from_panel()) {
        panel_status_->setText(f.panel() ? QStringLiteral("分度面板：") + q(form::coefficients_text(*f.panel()))
                                         : QStringLiteral("分度面板：") + q(f.panel_reason()));
    } else {
        panel_status_->setText(QStringLiteral("在各检定点的读数页中输入证书给出的电势 e标证"));
    }
    // The working thermocouples.
    if (working_count_->value() != f.working_count()) working_count_->setValue(f.working_count());
    for (int i = 0; i < form::kMostWorking; ++i) {
        const WorkingRow& row = working_rows_[static_cast<std::size_t>(i)];
        const bool shown = i < f.working_count();
        for (QWidget* w : {static_cast<QWidget*>(row.label), static_cast<QWidget*>(row.number),
                           static_cast<QWidget*>(row.type), static_cast<QWidget*>(row.required_class)}) {
            w->setEnabled(shown);
        }
        const form::WorkingThermocouple& w = f.working(i);
        if (row.number->text() != q(w.number)) row.number->setText(q(w.number));
        if (row.type->currentIndex() != type_index(w.type)) row.type->setCurrentIndex(type_index(w.type));
        if (row.required_class->currentIndex() != w.required_class - 1) {
            row.required_class->setCurrentIndex(w.required_class - 1);
        }
    }
    // The points and their readings.
    if (point_count_->value() != f.point_count()) point_count_->setValue(f.point_count());
    if (readings_->value() != f.readings()) readings_->setValue(f.readings());
    const int columns = 1 + f.working_count();
    for (int p = 0; p < form::kMostPoints; ++p) {
        const form::PointEntry& point = f.point(p);
        QLineEdit* t = point_texts_[static_cast<std::size_t>(p)];
        const bool shown = p < f.point_count();
        t->setVisible(shown);
        if (t->text() != q(point.temperature.text)) t->setText(q(point.temperature.text));
        // What is missing is framed red once a reading of the point was typed (a text that
        // cannot be used, at once): a new run is not a sea of red.
        bool started = false;
        for (int c = -1; c < f.working_count() && !started; ++c) {
            for (int r = 0; r < f.readings(); ++r) started = started || !f.reading(p, c, r).text.empty();
        }
        show_problem(t, point.temperature.problem, started || !point.temperature.text.empty());
        tabs_widget_->setTabVisible(p, shown);
        if (!shown) continue;
        tabs_widget_->setTabText(p, point.temperature.text.empty() ? QStringLiteral("第 %1 点").arg(p + 1)
                                                                  : q(point.temperature.text) + " ℃");
        const PointTab& tab = tabs_[static_cast<std::size_t>(p)];
        tab.certificate->setReadOnly(f.from_panel());
        const std::optional<double> e = f.standard_emf(p);
        const QString cert = f.from_panel() ? (e ? fixed(*e, 5) : QString()) : q(point.certificate.text);
        if (tab.certificate->text() != cert) tab.certificate->setText(cert);
        show_problem(tab.certificate, f.from_panel() ? std::string() : point.certificate.problem,
                     started || !point.certificate.text.empty());

        QTableWidget* table = tab.table;
        if (table->columnCount() != columns) table->setColumnCount(columns);
        if (table->rowCount() != f.readings() + 1) table->setRowCount(f.readings() + 1);
        for (int c = 0; c < columns; ++c) {
            const QString head = c == 0 ? QStringLiteral("标准 (S)") : working_name(f, c - 1);
            QTableWidgetItem* header = table->horizontalHeaderItem(c);
            if (header == nullptr) table->setHorizontalHeaderItem(c, header = new QTableWidgetItem);
            if (header->text() != head) header->setText(head);
            if (header->toolTip() != head) header->setToolTip(head);  // whole, where the column is narrow
            for (int r = 0; r <= f.readings(); ++r) {
                QTableWidgetItem* item = table->item(r, c);
                if (item == nullptr) table->setItem(r, c, item = new QTableWidgetItem);
                if (r == f.readings()) {  // the means
                    item->setFlags(Qt::ItemIsEnabled);
                    if (!item->data(kProblemRole).toString().isEmpty()) {
                        item->setData(kProblemRole, QString());
                        item->setToolTip(QString());
                    }
                    const std::optional<double> m = f.mean(p, c - 1);
                    set_text_if_changed(item, m ? q(form::emf_text(*m)) : QString());
                    continue;
                }
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
                const form::Cell& cell = f.reading(p, c - 1, r);
                set_text_if_changed(item, q(cell.text));
                const QString problem = q(cell.problem);
                const QString frame = started ? problem : QString();  // a typed cell starts its point
                if (item->data(kProblemRole).toString() != frame) item->setData(kProblemRole, frame);
                // Readings from the meter are shaded; one typed over since, in amber.
                QString tip = problem;
                QBrush shade;
                if (cell.corrected()) {
                    shade = QColor(0xff, 0xf0, 0xc8);
                    if (tip.isEmpty()) tip = QStringLiteral("手工修改，仪表读数为 %1").arg(q(*cell.measured));
                } else if (cell.measured) {
                    shade = QColor(0xe3, 0xf0, 0xff);
                    if (tip.isEmpty()) tip = QStringLiteral("自动采集的仪表读数");
                }
                if (item->background() != shade) item->setBackground(shade);
                if (item->toolTip() != tip) item->setToolTip(tip);
            }
        }
        QStringList rows;
        for (int r = 0; r < f.readings(); ++r) rows << QString::number(r + 1);
        rows << QStringLiteral("平均");
        table->setVerticalHeaderLabels(rows);
    }
    // The results.
    const int result_rows = f.working_count() * f.point_count();
    if (results_->rowCount() != result_rows) results_->setRowCount(result_rows);
    QStringList verdicts;
    for (int i = 0; i < f.working_count(); ++i) {
        for (int p = 0; p < f.point_count(); ++p) {
            const int row = i * f.point_count() + p;
            const form::PointResult& pr = f.result(i, p);
            QStringList cells = {working_name(f, i), q(f.point(p).temperature.text)};
            if (pr.result) {
                const calibration::ComparisonResult& r = *pr.result;
                cells << fixed(r.working_mean, 5) << fixed(r.working_reference, 5)
                      << fixed(r.working_seebeck, 2) << fixed(r.delta_e, 4) << fixed(r.delta_t, 2)
                      << (pr.uncertainty ? q(text::stated(pr.uncertainty->U_C, 2)) : QString())
                      << (pr.allowance > 0 ? q(form::allowance_text(pr.allowance)) : QString())
                      << (pr.allowance > 0 ? QString::fromUtf8(form::verdict_text(pr)) : q(pr.problem));
            } else {
                cells << QString() << QString() << QString() << QString() << QString() << QString()
                      << QString() << q(pr.problem);
            }
            for (int c = 0; c < cells.size(); ++c) {
                QTableWidgetItem* item = results_->item(row, c);
                if (item == nullptr) results_->setItem(row, c, item = new QTableWidgetItem);
                set_text_if_changed(item, cells[c]);
                if (c == 9) {
                    const bool fail = pr.result && pr.allowance > 0 && !pr.pass;
                    item->setForeground(fail ? kProblemColour : palette().color(QPalette::Text));
                    item->setToolTip(cells[c]);
                }
            }
        }
        verdicts << working_name(f, i) + "：" + QString::fromUtf8(f.verdict_words(i));
    }
    verdicts_->setText(QStringLiteral("总结论　") + verdicts.join(QStringLiteral("；")));
    if (const auto& u = f.uncertainties()) {
        uncertainty_status_->setText(
            QStringLiteral("不确定度：标准证书 u<sub>证</sub> = %1 μV%2，电测仪器 u<sub>仪</sub> = %3 μV，"
                           "炉温差 u<sub>炉</sub> = %4 ℃，k = %5；结论按 ILAC G8 计入 U(Δt)")
                .arg(q(text::for_reading(u->certificate, 3)),
                     f.from_panel() ? QStringLiteral("（由定点的不确定度给出时以其为准）") : QString(),
                     q(text::for_reading(u->voltmeter, 3)), q(text::for_reading(u->furnace, 3)),
                     q(text::for_reading(u->k, 3))));
    } else {
        uncertainty_status_->setText(QStringLiteral("不确定度：未给出（工具 > 不确定度评定…）"));
    }
    // The record, once every working thermocouple has a result at every point.
    const bool complete = f.complete();
    for (QAction* action : record_actions_) {
        action->setEnabled(complete);
        action->setToolTip(complete ? action->text()
                                    : QStringLiteral("每支被检热电偶在每个检定点都有结果后可用"));
    }
    refreshing_ = false;
}

std::optional<form::ComparisonRecord> ComparisonWindow::record() {
    if (!model_.complete()) return std::nullopt;
    return form::ComparisonRecord{
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString(),
        identification_, model_,
        model_.uncertainties() && budget_rows_ ? budget_rows_() : std::vector<std::vector<std::string>>{}};
}

void ComparisonWindow::save_record(RecordAction action) {
    if (!model_.complete() || !correction_.identify(*prompts_, identification_, WindowPrompts::RecordKind::Comparison)) {
        return;
    }
    const form::ComparisonRecord r = *record();
    const bool csv = action == RecordAction::SaveCsv;
    if (save_record_file(*prompts_, QStringLiteral("比较法检定结果"), identification_.number, csv,
                         [&](const QString& path, QString& error) {
                             return csv ? save_comparison_csv(path, r, error) : save_comparison_pdf(path, r, error);
                         })) {
        keep_record(r, QStringLiteral("记录已保存到文件"));
    }
}

void ComparisonWindow::keep_record(const form::ComparisonRecord& r, const QString& issued) {
    correction_.keep(*prompts_, form::book_record(r, budget_, program_version()), identification_, issued);
}

bool ComparisonWindow::load(const book::Record& record, bool correcting, form::UncertaintyForm& budget) {
    form::ComparisonForm loaded;
    if (!form::load_comparison(record, loaded)) return false;
    // The panel and the budget as they stand now, then the run as it was kept.
    loaded.set_panel(model_.panel(), model_.panel_reason());
    if (form::load_budget(record, budget)) {
        loaded.set_uncertainties(budget.comparison(), budget.fixed_points());
    } else {
        loaded.set_uncertainties(model_.uncertainties(), std::nullopt);
    }
    model_ = loaded;
    identification_ = form::identification_of(record);
    // The source as kept, without the radios' own handlers: they would take the book's
    // latest calibration in place of the one the run was computed with.
    QRadioButton* source = !model_.from_panel() ? from_certificate_ : model_.kept_standard() ? from_book_ : from_panel_;
    {
        const QSignalBlocker quiet_panel(from_panel_), quiet_book(from_book_), quiet_certificate(from_certificate_);
        source->setChecked(true);
    }
    kept_choice_->setEnabled(source == from_book_);
    correction_.set(correcting ? std::optional(record) : std::nullopt);
    kept_standards_.clear();
    {
        // The calibration the run was computed with, named as the list names one.
        const QSignalBlocker quiet(kept_choice_);
        kept_choice_->clear();
        if (const std::optional<form::KeptStandard>& k = model_.kept_standard(); k && k->record_id > 0) {
            kept_choice_->addItem(q(k->date.substr(0, 10)) + QStringLiteral("，记录 %1").arg(k->record_id));
        }
    }
    refresh();
    return true;
}

void ComparisonWindow::reload_kept_standards() {
    kept_standards_.clear();
    std::string problem;  // why the book gives none
    if (model_.standard_number.empty()) {
        problem = "输入标准热电偶的编号后，从记录簿中取其定点分度";
    } else if (!read_book([&](const book::Book& b) { kept_standards_ = book::standard_history(b, model_.standard_number); },
                          problem)) {
        if (problem.empty()) problem = "记录簿中还没有记录";
    } else if (kept_standards_.empty()) {
        problem = "记录簿中没有编号为 " + model_.standard_number + " 的定点分度";
    }
    std::reverse(kept_standards_.begin(), kept_standards_.end());  // newest first
    {
        const QSignalBlocker quiet(kept_choice_);
        kept_choice_->clear();
        for (std::size_t i = 0; i < kept_standards_.size(); ++i) {
            const book::Record& r = kept_standards_[i].record;
            kept_choice_->addItem(q(r.date.substr(0, 10)) + QStringLiteral("，记录 %1").arg(r.id) +
                                  (i == 0 ? QStringLiteral("（最新）") : QString()));
        }
        kept_choice_->setCurrentIndex(kept_standards_.empty() ? -1 : 0);
    }
    choose_kept_standard(problem);
}

void ComparisonWindow::choose_kept_standard(const std::string& problem) {
    const int i = kept_choice_->currentIndex();
    if (i >= 0 && i < static_cast<int>(kept_standards_.size())) {
        model_.set_kept_standard(form::kept_standard(kept_standards_[static_cast<std::size_t>(i)]));
    } else {
        model_.set_kept_standard(std::nullopt, problem.empty() ? "未选择记录簿中的定点分度" : problem);
    }
    refresh();
}

void ComparisonWindow::print_record() {
    if (!model_.complete() || !correction_.identify(*prompts_, identification_, WindowPrompts::RecordKind::Comparison)) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!prompts_->print_setup(printer)) return;
    const form::ComparisonRecord r = *record();
    draw_comparison(printer, r);
    keep_record(r, QStringLiteral("记录已打印"));
}

void ComparisonWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setToolTipsVisible(true);
    for (QAction* action : record_actions_) menu.addAction(action);
    menu.exec(event->globalPos());
}

}  // namespace its90::ui
