#include "ui/book_window.h"

#include "ui/certificate_page.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QDate>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QAbstractTableModel>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "form/book_records.h"
#include "ui/book_access.h"
#include "ui/stability_plot.h"
#include "ui/comparison_page.h"
#include "ui/fonts.h"
#include "ui/main_window.h"
#include "ui/record_page.h"
#include "ui/rows_page.h"

namespace its90::ui {
namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

void fill(QTableWidget* table, const form::Rows& rows, bool first_is_heading) {
    std::size_t columns = 0;
    for (const auto& row : rows) columns = std::max(columns, row.size());
    const std::size_t skip = first_is_heading && !rows.empty() ? 1 : 0;
    table->clear();
    table->setColumnCount(static_cast<int>(columns));
    table->setRowCount(static_cast<int>(rows.size() - skip));
    if (skip == 1) {
        QStringList head;
        for (const std::string& cell : rows[0]) head << q(cell);
        table->setHorizontalHeaderLabels(head);
    }
    for (std::size_t r = skip; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(q(rows[r][c]));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table->setItem(static_cast<int>(r - skip), static_cast<int>(c), item);
        }
    }
    table->resizeColumnsToContents();
}

// A record's document as a person reads it: its blocks (separated by empty rows) of a label and
// its value (and unit) as labelled rows, and its tables (three or more columns over several
// rows) as tables with their heading row; every cell whole, wrapped where the pane is narrow.
QString document_html(const std::vector<std::vector<std::string>>& rows) {
    const auto cell = [](const std::string& text) { return q(text).toHtmlEscaped(); };
    QString html = QStringLiteral("<html><body style='margin:4px'>");
    std::size_t r = 0;
    while (r < rows.size()) {
        std::size_t end = r;
        std::size_t widest = 0;
        while (end < rows.size() && !rows[end].empty() &&
               std::any_of(rows[end].begin(), rows[end].end(), [](const std::string& c) { return !c.empty(); })) {
            widest = std::max(widest, rows[end].size());
            ++end;
        }
        if (end == r) {
            ++r;
            continue;
        }
        // A table: three or more columns, or a heading row over rows that begin with numbers.
        const auto numeric = [](const std::string& c) { return !c.empty() && (std::isdigit(static_cast<unsigned char>(c[0])) || c[0] == '-'); };
        const bool table = end - r >= 2 && (widest >= 3 || (!numeric(rows[r][0]) && numeric(rows[r + 1][0])));
        html += QStringLiteral("<table cellspacing='0' cellpadding='3' style='margin-bottom:8px'%1>")
                    .arg(table ? QStringLiteral(" border='1' style='border-collapse:collapse'") : QString());
        for (std::size_t i = r; i < end; ++i) {
            html += QStringLiteral("<tr>");
            for (std::size_t c = 0; c < rows[i].size(); ++c) {
                const bool heading = table ? i == r : c == 0;
                html += heading ? QStringLiteral("<th align='left'>") + cell(rows[i][c]) + QStringLiteral("</th>")
                                : QStringLiteral("<td>") + cell(rows[i][c]) + QStringLiteral("</td>");
            }
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
        r = end;
    }
    return html + QStringLiteral("</body></html>");
}

// What a kind of record is saved under, and its page's title.
const char* base_name(const book::Record& r) {
    switch (r.kind) {
        case book::Kind::FixedPoint: return "S型热电偶分度结果";
        case book::Kind::Comparison: return "比较法检定结果";
        case book::Kind::Resistance: {
            const std::optional<form::ResistancePage> page = form::resistance_page(r);
            if (page == form::ResistancePage::Sprt) return "标准铂电阻温度计";
            if (page == form::ResistancePage::Copper) return "铜热电阻温度计";
            return "工业铂电阻温度计";
        }
    }
    return "记录";
}

}  // namespace

// ---- The plot ------------------------------------------------------------------------------

DriftPlot::DriftPlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("drift_plot"));
    setMinimumSize(560, 260);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void DriftPlot::set(QString title, std::vector<QString> dates, std::vector<Series> series, std::vector<Limit> limits,
                    QString unit) {
    title_ = std::move(title);
    unit_ = std::move(unit);
    dates_ = std::move(dates);
    series_ = std::move(series);
    limits_ = std::move(limits);
    update();
}

void DriftPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm(font());
    int legend_width = 0;
    for (const Series& s : series_) legend_width = std::max(legend_width, fm.horizontalAdvance(s.name));
    for (const Limit& l : limits_) legend_width = std::max(legend_width, fm.horizontalAdvance(l.name));
    const QRect area(64, fm.height() * 2, width() - 64 - legend_width - 72, height() - fm.height() * 5);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 0, width(), fm.height() * 2), Qt::AlignCenter, title_);
    if (dates_.empty() || area.width() < 40 || area.height() < 40) {
        p.drawText(area, Qt::AlignCenter, QStringLiteral("没有可画的分度记录"));
        return;
    }
    // The vertical scale: every value and limit, with room around them.
    double low = 0, high = 0;
    for (const Series& s : series_) {
        for (double v : s.values) {
            if (std::isfinite(v)) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
        }
    }
    for (const Limit& l : limits_) {
        low = std::min(low, -l.value);
        high = std::max(high, l.value);
    }
    if (high - low < 2) {
        low -= 1;
        high += 1;
    }
    const double step = nice_step(high - low, 6);
    low = std::floor(low / step - 0.3) * step;
    high = std::ceil(high / step + 0.3) * step;
    const auto y_of = [&](double v) { return area.bottom() - (v - low) / (high - low) * area.height(); };
    // The horizontal scale: days since the first calibration (evenly when they share a day).
    std::vector<double> days;
    const QDate first = QDate::fromString(dates_.front().left(10), QStringLiteral("yyyy-MM-dd"));
    for (const QString& d : dates_) {
        const QDate date = QDate::fromString(d.left(10), QStringLiteral("yyyy-MM-dd"));
        days.push_back(first.isValid() && date.isValid() ? static_cast<double>(first.daysTo(date)) : 0.0);
    }
    const double span = days.back() - days.front();
    const auto x_of = [&](std::size_t i) {
        if (dates_.size() == 1) return area.left() + area.width() / 2.0;
        const double f = span > 0 ? (days[i] - days.front()) / span : static_cast<double>(i) / (dates_.size() - 1);
        return area.left() + 12 + f * (area.width() - 24);
    };

    p.setPen(QPen(QColor(225, 225, 225), 1));
    for (double v = low; v <= high + step / 2; v += step) p.drawLine(QPointF(area.left(), y_of(v)), QPointF(area.right(), y_of(v)));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(area);
    for (double v = low; v <= high + step / 2; v += step) {
        const double shown = std::fabs(v) < step / 1000 ? 0.0 : v;
        p.drawText(QRectF(0, y_of(v) - fm.height(), area.left() - 6, 2 * fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(shown, 'g', 6));
    }
    p.save();
    p.translate(14, area.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-area.height() / 2.0, -fm.height(), area.height(), fm.height() * 1.5), Qt::AlignCenter,
               unit_);
    p.restore();
    // The dates below, each where it does not run into the one before.
    double last_right = -1e9;
    for (std::size_t i = 0; i < dates_.size(); ++i) {
        const QString label = dates_[i].left(10);
        const double w = fm.horizontalAdvance(label);
        const double x = std::clamp(x_of(i) - w / 2, 0.0, width() - w);
        p.drawLine(QPointF(x_of(i), area.bottom()), QPointF(x_of(i), area.bottom() + 4));
        if (x < last_right + 8) continue;
        p.drawText(QRectF(x, area.bottom() + 6, w + 2, fm.height() + 2), Qt::AlignLeft, label);
        last_right = x + w;
    }
    // The limits, dashed, then the series.
    int legend_y = area.top();
    const int legend_x = area.right() + 16;
    for (const Limit& l : limits_) {
        p.setPen(QPen(l.colour, 1.5, Qt::DashLine));
        for (double v : {l.value, -l.value}) p.drawLine(QPointF(area.left(), y_of(v)), QPointF(area.right(), y_of(v)));
        p.drawLine(legend_x, legend_y + fm.height() / 2, legend_x + 20, legend_y + fm.height() / 2);
        p.setPen(Qt::black);
        p.drawText(legend_x + 24, legend_y + fm.ascent(), l.name);
        legend_y += fm.height() + 4;
    }
    for (const Series& s : series_) {
        p.setPen(QPen(s.colour, 2));
        QPainterPath path;
        bool started = false;
        for (std::size_t i = 0; i < s.values.size() && i < dates_.size(); ++i) {
            if (!std::isfinite(s.values[i])) continue;
            const QPointF at(x_of(i), y_of(s.values[i]));
            if (started) path.lineTo(at);
            else path.moveTo(at);
            started = true;
        }
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setBrush(s.colour);
        for (std::size_t i = 0; i < s.values.size() && i < dates_.size(); ++i) {
            if (std::isfinite(s.values[i])) p.drawEllipse(QPointF(x_of(i), y_of(s.values[i])), 3, 3);
        }
        p.drawLine(legend_x, legend_y + fm.height() / 2, legend_x + 20, legend_y + fm.height() / 2);
        p.setPen(Qt::black);
        p.drawText(legend_x + 24, legend_y + fm.ascent(), s.name);
        legend_y += fm.height() + 4;
    }
}

// ---- The window ----------------------------------------------------------------------------

// The records found, as the list shows them: a row's cells are made when the view draws it,
// so a search that finds 10^5 records builds the few rows on the screen, not 700,000 items.
class RecordList final : public QAbstractTableModel {
public:
    RecordList(const std::vector<book::Record>& records, QObject* parent)
        : QAbstractTableModel(parent), records_(records) {}
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(records_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
        const std::vector<std::string> cells = form::list_row(records_[static_cast<std::size_t>(index.row())]);
        const auto column = static_cast<std::size_t>(index.column());
        return column < cells.size() ? QVariant(q(cells[column])) : QVariant();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const kHeadings[kColumns] = {"记录号", "种类", "编号", "分度号", "日期", "检定员", "状态"};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns) return {};
        return QString::fromUtf8(kHeadings[section]);
    }
    // After found_ changed under it.
    void refill() {
        beginResetModel();
        endResetModel();
    }

private:
    static constexpr int kColumns = 7;
    const std::vector<book::Record>& records_;
};

BookWindow::BookWindow(WindowPrompts& prompts, MainWindow& calculator, QWidget* parent)
    : QWidget(parent, Qt::Window), prompts_(&prompts), calculator_(calculator) {
    dress_tool_window(*this, QStringLiteral("BookWindow"), QStringLiteral("记录簿"));
    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->addTab(create_records(), QStringLiteral("记录"));
    pages_->addTab(create_history(), QStringLiteral("标准热电偶的历史"));
    pages_->addTab(create_tpw_history(), QStringLiteral("标准铂电阻的水三相点电阻"));
    layout->addWidget(pages_);
    auto* close = new QAction(QStringLiteral("关闭"), this);
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    close->setShortcutContext(Qt::WindowShortcut);
    addAction(close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    fit_on_screen(*this, QSize(1000, 640));
}

QWidget* BookWindow::create_records() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* filters = new QHBoxLayout;
    const auto filter = [&](const char* label, const char* hint, int width) {
        filters->addWidget(new QLabel(QString::fromUtf8(label), page));
        auto* edit = new QLineEdit(page);
        edit->setPlaceholderText(QString::fromUtf8(hint));
        edit->setMinimumWidth(width);
        filters->addWidget(edit, 1);
        connect(edit, &QLineEdit::textChanged, this, [this] { pending_search_->start(); });
        return edit;
    };
    // Typing searches once it pauses: each character does not search the whole book again.
    pending_search_ = new QTimer(this);
    pending_search_->setSingleShot(true);
    pending_search_->setInterval(150);
    connect(pending_search_, &QTimer::timeout, this, [this] { search(); });
    number_ = filter("编号：", "部分即可", 90);
    number_->setObjectName(QStringLiteral("number_filter"));
    type_ = filter("分度号：", "S、K、SPRT…", 60);
    operator_ = filter("检定员：", "", 60);
    from_ = filter("日期：", "2026-01-01", 90);
    to_ = filter("至", "2026-12-31", 90);
    filters->addWidget(new QLabel(QStringLiteral("种类："), page));
    kind_ = new QComboBox(page);
    kind_->addItem(QStringLiteral("全部"));
    for (book::Kind k : {book::Kind::FixedPoint, book::Kind::Comparison, book::Kind::Resistance}) {
        kind_->addItem(QString::fromUtf8(form::kind_text(k)));
    }
    filters->addWidget(kind_);
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] { pending_search_->start(); });
    layout->addLayout(filters);

    auto* split = new QSplitter(Qt::Horizontal, page);
    list_ = new QTableView(split);
    list_->setObjectName(QStringLiteral("record_list"));
    listed_ = new RecordList(found_, list_);
    list_->setModel(listed_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    // Rows of one height, and columns sized from the first rows: the view need not measure
    // every record found.
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->horizontalHeader()->setResizeContentsPrecision(200);
    list_->horizontalHeader()->setStretchLastSection(true);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { show_selected(); });
    connect(list_, &QTableView::doubleClicked, this, [this] { load_selected(false); });
    auto* right = new QWidget(split);
    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(0, 0, 0, 0);
    details_ = new QLabel(right);
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    document_ = new QTextBrowser(right);
    document_->setObjectName(QStringLiteral("record_document"));
    document_->setOpenLinks(false);
    right_layout->addWidget(details_);
    right_layout->addWidget(document_, 1);
    split->addWidget(list_);
    split->addWidget(right);
    split->setSizes({560, 410});
    layout->addWidget(split, 1);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* text, auto slot) {
        auto* b = new QPushButton(QString::fromUtf8(text), page);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        record_buttons_.push_back(b);
        return b;
    };
    button("保存为 CSV…", [this] { reissue(Reissue::Csv); });
    button("导出 PDF…", [this] { reissue(Reissue::Pdf); });
    button("打印…", [this] { reissue(Reissue::Print); });
    button("载入窗口", [this] { load_selected(false); })->setToolTip(QStringLiteral("把记录的输入载入其窗口，作为新的工作"));
    button("载入并更正…", [this] { load_selected(true); })
        ->setToolTip(QStringLiteral("载入其窗口；在那里再保存、导出或打印的同编号记录将更正（取代）这份记录"));
    check_ = button("核验…", [this] { sign_off_selected(book::SignOff::Step::Checked); });
    approve_ = button("批准…", [this] { sign_off_selected(book::SignOff::Step::Approved); });
    refuse_ = button("退回…", [this] { sign_off_selected(book::SignOff::Step::Refused); });
    refuse_->setToolTip(QStringLiteral("说明原因，把记录退回检定员更正"));
    certificate_ = button("证书", [] {});
    certificate_->setObjectName(QStringLiteral("certificate"));
    certificate_->setToolTip(QStringLiteral("出具记录的证书（PDF 或打印，未批准的记录标“未批准”），或导出其数字校准证书（DCC）"));
    auto* issue = new QMenu(certificate_);
    issue->addAction(QStringLiteral("导出证书 PDF…"), this, [this] { issue_certificate(Issue::Pdf); });
    issue->addAction(QStringLiteral("打印证书…"), this, [this] { issue_certificate(Issue::Print); });
    issue->addAction(QStringLiteral("导出 DCC…"), this, [this] { issue_certificate(Issue::Dcc); });
    certificate_->setMenu(issue);
    raw_ = new QPushButton(QStringLiteral("原始读数…"), page);
    raw_->setObjectName(QStringLiteral("raw_readings"));
    raw_->setToolTip(QStringLiteral("自动采集的记录：把仪表的每个原始读数（含时间和通道）保存为 CSV"));
    connect(raw_, &QPushButton::clicked, this, [this] { save_raw_readings(); });
    buttons->addWidget(raw_);
    button("该标准的历史", [this] {
        if (const auto r = selected()) {
            // An SPRT's history is its R_TPW; a thermocouple standard's, its calibrations.
            const bool sprt = r->kind == book::Kind::Resistance && r->type == "SPRT";
            (sprt ? tpw_number_ : history_number_)->setText(q(r->number));
            pages_->setCurrentIndex(sprt ? 2 : 1);
        }
    });
    buttons->addStretch(1);
    people_ = new QPushButton(QStringLiteral("人员…"), page);
    people_->setObjectName(QStringLiteral("people"));
    people_->setToolTip(QStringLiteral("实验室的检定员、核验员和批准人"));
    connect(people_, &QPushButton::clicked, this, [this] { add_person(); });
    buttons->addWidget(people_);
    layout->addLayout(buttons);
    status_ = new QLabel(page);
    status_->setObjectName(QStringLiteral("book_status"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_);
    return page;
}

namespace {

// A history page: the number it is of above, a plot over a table, a status line below.
struct HistoryPage {
    QWidget* page;
    QHBoxLayout* top;  // the number's row
    QLineEdit* number;
    DriftPlot* plot;
    QTableWidget* table;
    QLabel* status;
};

HistoryPage history_page(QWidget* parent, const QString& label, const QString& name) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(label, page));
    auto* number = new QLineEdit(page);
    number->setObjectName(name + QStringLiteral("_number"));
    top->addWidget(number, 1);
    layout->addLayout(top);
    auto* split = new QSplitter(Qt::Vertical, page);
    auto* plot = new DriftPlot(split);
    auto* table = new QTableWidget(split);
    table->setObjectName(name + QStringLiteral("_table"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    split->addWidget(plot);
    split->addWidget(table);
    split->setSizes({330, 200});
    layout->addWidget(split, 1);
    auto* status = new QLabel(page);
    status->setWordWrap(true);
    layout->addWidget(status);
    return {page, top, number, plot, table, status};
}

}  // namespace

QWidget* BookWindow::create_history() {
    const HistoryPage h = history_page(this, QStringLiteral("标准热电偶编号："), QStringLiteral("history"));
    history_number_ = h.number;
    plot_ = h.plot;
    history_table_ = h.table;
    history_status_ = h.status;
    h.top->addWidget(new QLabel(QStringLiteral("图："), h.page));
    plot_choice_ = new QComboBox(h.page);
    plot_choice_->addItem(QStringLiteral("定点电势对 JJG 75-1995 要求值的偏差及允差"));
    plot_choice_->addItem(QStringLiteral("分度表 300～1100 ℃ 各点电势自首次分度的漂移"));
    h.top->addWidget(plot_choice_, 1);
    connect(history_number_, &QLineEdit::textChanged, this, [this](const QString& n) { show_history(n); });
    connect(plot_choice_, &QComboBox::currentIndexChanged, this, [this] { show_plot(); });
    show_plot();
    return h.page;
}

QWidget* BookWindow::create_tpw_history() {
    const HistoryPage h = history_page(this, QStringLiteral("标准铂电阻温度计编号："), QStringLiteral("tpw"));
    tpw_number_ = h.number;
    tpw_plot_ = h.plot;
    tpw_table_ = h.table;
    tpw_status_ = h.status;
    connect(tpw_number_, &QLineEdit::textChanged, this, [this](const QString& n) { show_tpw_history(n); });
    show_tpw_history({});
    return h.page;
}

void BookWindow::show_tpw_history(const QString& number) {
    std::vector<book::TriplePointResistance> history;
    tpw_status_->clear();
    if (!number.trimmed().isEmpty()) {
        std::string problem;
        read_book([&](const book::Book& b) { history = book::triple_point_history(b, number.trimmed().toStdString()); },
                  problem);
        tpw_status_->setText(q(problem));
    }
    if (tpw_status_->text().isEmpty()) {
        tpw_status_->setText(number.trimmed().isEmpty()
                                 ? QStringLiteral("输入标准铂电阻温度计的编号")
                                 : QStringLiteral("编号 %1：%2 次记录的水三相点电阻 Rtp（已更正的记录不计）；变化相对于第一次，"
                                                  "并折合为水三相点处的温度（mK）")
                                       .arg(number.trimmed())
                                       .arg(history.size()));
    }
    fill(tpw_table_, form::tpw_history_rows(history), true);
    std::vector<QString> dates;
    DriftPlot::Series drift{QStringLiteral("Rtp 的变化"), QColor(40, 80, 200), {}};
    for (const book::TriplePointResistance& h : history) {
        dates.push_back(q(h.record.date));
        drift.values.push_back(book::tpw_drift_mK(history.front().r_tpw, h.r_tpw));
    }
    tpw_plot_->set(QStringLiteral("水三相点电阻自第一次的变化（折合 mK）"), dates, {drift}, {}, QStringLiteral("mK"));
}

void BookWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Not again when it comes to the front just after searching (opened from the menu).
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        (!since_search_.isValid() || since_search_.elapsed() > 500)) {
        pending_search_->start();
    }
}

bool BookWindow::search_pending() const { return pending_search_->isActive(); }

void BookWindow::search() {
    pending_search_->stop();
    since_search_.start();
    const std::optional<book::Record> was = selected();
    found_.clear();
    selected_.reset();
    book::Query query;
    query.number = number_->text().trimmed().toStdString();
    query.type = type_->text().trimmed().toUpper().toStdString();
    query.operator_name = operator_->text().trimmed().toStdString();
    query.date_from = from_->text().trimmed().toStdString();
    query.date_to = to_->text().trimmed().toStdString();
    if (kind_->currentIndex() > 0) query.kind = static_cast<book::Kind>(kind_->currentIndex() - 1);
    std::string problem;
    if (read_book([&](const book::Book& b) { found_ = b.list(query); }, problem)) {
        status_->setText(QStringLiteral("记录簿 %1：找到 %2 份记录").arg(book_file()).arg(found_.size()));
    } else if (problem.empty()) {
        status_->setText(QStringLiteral("记录簿 %1 中还没有记录：保存、导出或打印的每份记录都会存入其中。").arg(book_file()));
    } else {
        status_->setText(q(problem));
    }
    {
        const QSignalBlocker quiet(list_->selectionModel());
        listed_->refill();
        list_->resizeColumnsToContents();
    }
    if (was) select(was->id);
    show_selected();
}

std::optional<book::Record> BookWindow::selected() const {
    const int row = list_->currentIndex().row();
    if (row < 0 || row >= static_cast<int>(found_.size()) || !list_->selectionModel()->hasSelection()) return std::nullopt;
    // The list holds identifications; the record whole comes from the book when it is wanted.
    const std::int64_t id = found_[static_cast<std::size_t>(row)].id;
    if (!selected_ || selected_->id != id) {
        selected_.reset();
        std::string problem;
        if (!read_book([&](const book::Book& b) { selected_ = b.find(id); }, problem)) status_->setText(q(problem));
    }
    return selected_;
}

void BookWindow::select(std::int64_t id) {
    for (std::size_t r = 0; r < found_.size(); ++r) {
        if (found_[r].id == id) list_->selectRow(static_cast<int>(r));
    }
}

void BookWindow::show_selected() {
    const std::optional<book::Record> r = selected();
    for (QPushButton* b : record_buttons_) b->setEnabled(r.has_value());
    if (!r) {
        raw_->setEnabled(false);
        details_->setText(QStringLiteral("选择一份记录，查看其原样内容。"));
        document_->clear();
        return;
    }
    // 该标准的历史: a thermocouple standard's calibrations, or an SPRT's R_TPW.
    record_buttons_.back()->setEnabled(r->kind == book::Kind::FixedPoint ||
                                       (r->kind == book::Kind::Resistance && r->type == "SPRT"));
    raw_->setEnabled(r->input("run_id").value_or("0") != "0");
    const bool open = !r->replaced_by && (r->state == book::State::Kept || r->state == book::State::Checked);
    check_->setEnabled(open && r->state == book::State::Kept);
    approve_->setEnabled(open && r->state == book::State::Checked);
    refuse_->setEnabled(open);
    QString text = QStringLiteral("记录 %1　%2　编号 %3\n日期 %4　检定员 %5　程序版本 %6")
                       .arg(r->id)
                       .arg(QString::fromUtf8(form::kind_text(r->kind)), q(r->number), q(r->date),
                            r->operator_name.empty() ? QStringLiteral("—") : q(r->operator_name), q(r->program_version));
    if (r->replaces) text += QStringLiteral("；更正记录 %1，修改原因：%2").arg(*r->replaces).arg(q(r->reason));
    if (r->replaced_by) text += QStringLiteral("；已由记录 %1 更正").arg(*r->replaced_by);
    if (!r->notes.empty()) text += QStringLiteral("\n备注：") + q(r->notes);
    text += QStringLiteral("\n状态：") + QString::fromUtf8(form::state_text(r->state));
    std::string steps;
    std::string problem;
    std::optional<std::string> certificate;
    read_book([&](const book::Book& b) {
        for (const book::SignOff& s : b.sign_offs(r->id)) {
            const char* what = s.step == book::SignOff::Step::Checked    ? "核验"
                               : s.step == book::SignOff::Step::Approved ? "批准"
                                                                         : "退回";
            steps += std::string("；") + what + " " + s.person + " " + s.date + (s.comment.empty() ? "" : "（" + s.comment + "）");
        }
        certificate = b.certificate_number(r->id);
    }, problem);
    text += q(steps);
    if (certificate) text += QStringLiteral("；证书编号 ") + q(*certificate);
    details_->setText(text);
    document_->setHtml(document_html(book::document_rows(r->document)));
}

void BookWindow::sign_off_selected(book::SignOff::Step step) {
    const std::optional<book::Record> r = selected();
    if (!r) return;
    const bool refusing = step == book::SignOff::Step::Refused;
    // Only those with the step's role are offered, and never the record's own operator.
    QStringList offered;
    std::string problem;
    read_book([&](const book::Book& b) {
        for (const book::Person& p : b.people()) {
            bool may = false;
            for (book::Role role : p.roles) {
                may = may || (role == book::Role::Checker && step != book::SignOff::Step::Approved) ||
                      (role == book::Role::Approver && step != book::SignOff::Step::Checked);
            }
            if (may && p.name != r->operator_name) offered << q(p.name);
        }
    }, problem);
    const QString title = step == book::SignOff::Step::Checked    ? QStringLiteral("核验记录 %1").arg(r->id)
                          : step == book::SignOff::Step::Approved ? QStringLiteral("批准记录 %1").arg(r->id)
                                                                  : QStringLiteral("退回记录 %1").arg(r->id);
    if (offered.isEmpty()) {
        prompts_->error(problem.empty() ? title + QStringLiteral("：实验室人员中没有可以审核这份记录的人（不能是其检定员）；请先在“人员…”中添加。")
                                        : q(problem));
        return;
    }
    QString person, comment;
    if (!prompts_->sign_off(title, offered, refusing, person, comment)) return;
    if (refusing && comment.trimmed().isEmpty()) {
        prompts_->error(title + QStringLiteral("：退回须说明原因。未保存。"));
        return;
    }
    std::unique_ptr<book::Book> book = open_book(*prompts_, book::Book::Access::ReadWrite);
    if (!book) return;
    try {
        if (const auto refusal = book->sign_off(r->id, step, person.toStdString(), comment.toStdString())) {
            prompts_->error(title + QStringLiteral("：") + q(form::sign_off_refusal_text(*refusal, r->id, person.toStdString())));
            return;
        }
        const std::optional<std::string> certificate = book->certificate_number(r->id);
        status_->setText(title + QStringLiteral("：已保存") +
                         (certificate ? QStringLiteral("，证书编号 ") + q(*certificate) : QString()));
    } catch (const book::Failure& f) {
        prompts_->error(q(form::book_problem_text(f.problem())));
        return;
    }
    selected_.reset();
    search();
    select(r->id);
}

void BookWindow::save_raw_readings() {
    const std::optional<book::Record> r = selected();
    if (!r) return;
    const std::int64_t run = std::stoll(r->input("run_id").value_or("0"));
    std::vector<book::KeptReading> readings;
    std::string problem;
    if (!read_book([&](const book::Book& b) { readings = b.run_readings(run); }, problem)) {
        prompts_->error(q(problem));
        return;
    }
    save_record_file(*prompts_, QStringLiteral("原始读数_采集%1").arg(run), r->number, true, [&](const QString& path, QString& error) {
        return save_text(path, form::csv_of(form::run_reading_rows(readings)), error);
    });
}

void BookWindow::add_person() {
    QString name;
    bool operator_role = false, checker = false, approver = false;
    if (!prompts_->person(name, operator_role, checker, approver)) return;
    if (name.trimmed().isEmpty() || !(operator_role || checker || approver)) {
        prompts_->error(QStringLiteral("实验室人员须有姓名和至少一个角色。未保存。"));
        return;
    }
    std::unique_ptr<book::Book> book = open_book(*prompts_, book::Book::Access::ReadWrite);
    if (!book) return;
    try {
        if (operator_role) book->add_person(name.toStdString(), book::Role::Operator);
        if (checker) book->add_person(name.toStdString(), book::Role::Checker);
        if (approver) book->add_person(name.toStdString(), book::Role::Approver);
        status_->setText(QStringLiteral("已添加实验室人员 %1").arg(name));
    } catch (const book::Failure& f) {
        prompts_->error(q(form::book_problem_text(f.problem())));
    }
}

void BookWindow::reissue(Reissue how) {
    const std::optional<book::Record> r = selected();
    if (!r) return;
    const QString base = QString::fromUtf8(base_name(*r));
    if (r->replaced_by) {
        status_->setText(QStringLiteral("记录 %1 已由记录 %2 更正；按其原样重新出具。").arg(r->id).arg(*r->replaced_by));
    }
    if (how == Reissue::Csv) {
        save_record_file(*prompts_, base, r->number, true,
                         [&](const QString& path, QString& error) { return save_text(path, r->document, error); });
        return;
    }
    // A page is drawn again from the record's inputs, as it was issued.
    std::function<void(QPagedPaintDevice&)> draw;
    if (r->kind == book::Kind::FixedPoint) {
        if (const std::optional<form::CalibrationRecord> c = form::recomputed_calibration(*r)) {
            draw = [c](QPagedPaintDevice& d) { draw_record(d, *c); };
        }
    } else if (r->kind == book::Kind::Comparison) {
        if (const std::optional<form::ComparisonRecord> c = form::recomputed_comparison(*r)) {
            draw = [c](QPagedPaintDevice& d) { draw_comparison(d, *c); };
        }
    } else if (form::resistance_page(*r)) {
        const form::Rows rows = book::document_rows(r->document);
        const char* title = base_name(*r);
        draw = [rows, title](QPagedPaintDevice& d) { draw_rows(d, title, rows); };
    }
    if (!draw) {
        prompts_->error(QStringLiteral("记录 %1 缺少输入，无法重新计算其页面。").arg(r->id));
        return;
    }
    if (how == Reissue::Pdf) {
        const QByteArray title = base.toUtf8();
        save_record_file(*prompts_, base, r->number, false, [&](const QString& path, QString& error) {
            return save_document(path, title.constData(), draw, error);
        });
    } else {
        QPrinter printer(QPrinter::HighResolution);
        if (!prompts_->print_setup(printer)) return;
        draw(printer);
    }
}

void BookWindow::issue_certificate(Issue how) {
    const std::optional<book::Record> r = selected();
    if (!r) return;
    std::optional<form::Certificate> c;
    std::string problem;
    if (!read_book([&](const book::Book& b) { c = form::certificate_of(b, *r); }, problem) && !problem.empty()) {
        prompts_->error(q(problem));
        return;
    }
    if (!c) {
        prompts_->error(QStringLiteral("记录 %1 缺少输入，无法出具其证书。").arg(r->id));
        return;
    }
    if (r->replaced_by) {
        status_->setText(QStringLiteral("记录 %1 已由记录 %2 更正；其证书按其原样出具。").arg(r->id).arg(*r->replaced_by));
    } else if (!c->approved) {
        status_->setText(QStringLiteral("记录 %1 尚未批准：证书每页标“未批准”，无证书编号。").arg(r->id));
    }
    const QString name = c->number ? q(*c->number) : QStringLiteral("%1_记录%2").arg(q(c->title_zh)).arg(r->id);
    if (how == Issue::Print) {
        QPrinter printer(QPrinter::HighResolution);
        if (prompts_->print_setup(printer)) draw_certificate(printer, *c);
        return;
    }
    const bool dcc = how == Issue::Dcc;
    save_file(*prompts_, dcc ? QStringLiteral("导出 DCC") : QStringLiteral("导出证书 PDF"),
              dcc ? QStringLiteral("DCC 文件 (*.xml)") : QStringLiteral("PDF 文件 (*.pdf)"), name + (dcc ? ".xml" : ".pdf"),
              [&](const QString& path, QString& error) {
                  return dcc ? save_dcc(path, *c, error) : save_certificate_pdf(path, *c, error);
              });
}

void BookWindow::load_selected(bool correcting) {
    const std::optional<book::Record> r = selected();
    if (!r) return;
    if (correcting && r->replaced_by) {
        prompts_->error(QStringLiteral("记录 %1 已由记录 %2 更正；请更正最新的记录。").arg(r->id).arg(*r->replaced_by));
        return;
    }
    if (calculator_.load_record(*r, correcting)) {
        status_->setText(correcting ? QStringLiteral("记录 %1 已载入其窗口；在那里再保存、导出或打印的编号 %2 的记录将更正它。")
                                          .arg(r->id)
                                          .arg(q(r->number))
                                    : QStringLiteral("记录 %1 已载入其窗口。").arg(r->id));
    }
}

void BookWindow::show_history(const QString& number) {
    history_.clear();
    history_status_->clear();
    if (!number.trimmed().isEmpty()) {
        std::string problem;
        read_book([&](const book::Book& b) { history_ = book::standard_history(b, number.trimmed().toStdString()); },
                  problem);
        history_status_->setText(q(problem));
    }
    if (history_status_->text().isEmpty()) {
        history_status_->setText(number.trimmed().isEmpty()
                                     ? QStringLiteral("输入标准热电偶的编号")
                                     : QStringLiteral("编号 %1：%2 次定点分度（已更正的记录不计）；漂移相对于首次分度")
                                           .arg(number.trimmed())
                                           .arg(history_.size()));
    }
    fill(history_table_, form::history_rows(history_), true);
    show_plot();
}

void BookWindow::show_plot() {
    std::vector<QString> dates;
    for (const book::Calibrated& c : history_) dates.push_back(q(c.record.date));
    std::vector<DriftPlot::Series> series;
    std::vector<DriftPlot::Limit> limits;
    if (plot_choice_->currentIndex() == 0) {
        const bool antimony = !history_.empty() && history_.back().inputs.middle == calibration::MiddlePoint::Antimony;
        DriftPlot::Series copper{QStringLiteral("铜点"), QColor(200, 40, 40), {}};
        DriftPlot::Series middle{antimony ? QStringLiteral("锑点") : QStringLiteral("铝点"), QColor(30, 140, 60), {}};
        DriftPlot::Series zinc{QStringLiteral("锌点"), QColor(40, 80, 200), {}};
        for (const book::Calibrated& c : history_) {
            copper.values.push_back(c.check.copper.deviation * 1000);
            middle.values.push_back(c.check.middle.deviation * 1000);
            zinc.values.push_back(c.check.zinc.deviation * 1000);
        }
        series = {copper, middle, zinc};
        limits = {{QStringLiteral("铜点允差 ±15 μV"), 15, QColor(200, 40, 40)},
                  {QStringLiteral("锌点、铝/锑点允差 ±5 μV"), 5, QColor(90, 90, 90)}};
        plot_->set(QStringLiteral("定点电势 − JJG 75-1995 要求值（μV）"), dates, series, limits);
    } else {
        static const QColor kColours[] = {{31, 119, 180}, {255, 127, 14}, {44, 160, 44}, {214, 39, 40}, {148, 103, 189},
                                          {140, 86, 75},  {227, 119, 194}, {127, 127, 127}, {188, 189, 34}};
        for (std::size_t i = 0; i < calibration::kTableTemperatures.size(); ++i) {
            DriftPlot::Series s{QStringLiteral("%1 ℃").arg(calibration::kTableTemperatures[i]), kColours[i], {}};
            for (const book::Calibrated& c : history_) {
                s.values.push_back(book::drift_uV(history_.front().table[i], c.table[i]));
            }
            series.push_back(s);
        }
        plot_->set(QStringLiteral("分度表电势自首次分度的漂移（μV）"), dates, series, {});
    }
}

}  // namespace its90::ui
