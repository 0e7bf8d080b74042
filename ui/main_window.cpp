#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QMenu>
#include <QPrinter>
#include <QFocusEvent>
#include <QDialog>
#include <QGroupBox>
#include <QMenuBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>
#include <clocale>

#include "form/book_records.h"
#include "form/sensor_texts.h"
#include "ui/book_access.h"
#include "ui/book_window.h"
#include "ui/budget_window.h"
#include "ui/acquisition_window.h"
#include "ui/comparison_window.h"
#include "ui/resistance_window.h"
#include "ui/form_layout.h"
#include "ui/frame_style.h"
#include "ui/record_page.h"
#include "ui/system_colours.h"

namespace its90::ui {
namespace {

using form::Control;
using form::ControlKind;

QString utf8(const std::string& text) { return QString::fromStdString(text); }

int pixels(int twips) { return twips / kTwipsPerPixel; }

// Whether a text box shows `text` whole.
bool fits(const QLineEdit* edit, const QString& text) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    // QLineEdit keeps a margin of 2 px on either side of its text.
    return edit->fontMetrics().horizontalAdvance(text) <= contents.width() - 4;
}

QFont font_of(const FontSpec& face) {
    QFont font(QString::fromUtf8(face.family));
    font.setPointSizeF(face.points);
    font.setBold(face.bold);
    return font;
}

// A red ring just outside a text box, under it: only its border shows.
class ReadingOutline final : public QWidget {
public:
    static constexpr int kWidth = 2;
    explicit ReadingOutline(QLineEdit* box) : QWidget(box->parentWidget()) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(box->geometry().adjusted(-kWidth, -kWidth, kWidth, kWidth));
        stackUnder(box);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0xd0, 0x00, 0x00));
    }
};

// A move of the focus between controls, as opposed to a modal box or another application
// taking the window's activation away and giving it back.
bool is_control_focus_move(const QEvent* event) {
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

std::string locale_decimal_separator() {
    const lconv* conventions = std::localeconv();
    const char* separator = conventions != nullptr ? conventions->decimal_point : nullptr;
    return separator != nullptr && *separator != '\0' ? separator : ".";
}

MainWindow::MainWindow(form::MessageBox& message_box, QWidget* parent)
    : MainWindow(message_box, locale_decimal_separator(), parent) {}

MainWindow::MainWindow(form::MessageBox& message_box, std::string decimal_separator, QWidget* parent)
    : QWidget(parent), model_(message_box, std::move(decimal_separator)) {
    setObjectName(QString::fromStdString(form::name(form::controls::Window)));
    setFont(font_of(kWindowFont));
    // The menu bar above the client area, which keeps the layout's size and geometry.
    menu_bar_ = new QMenuBar(this);
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client_area"));
    client_->installEventFilter(this);  // its lines and its context menu
    setWindowIcon(QIcon(":/its90/its90-calculator.png"));
    create_controls();
    set_tab_order();
    create_record_actions();
    create_menus();
    const int bar = menu_bar_->sizeHint().height();
    const QSize client(pixels(kClientWidthTwips), pixels(kClientHeightTwips));
    menu_bar_->setGeometry(0, 0, client.width(), bar);
    client_->setGeometry(0, bar, client.width(), client.height());
    // The status line below the panels, one line of the window's font high.
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status_line"));
    status_->setFont(font_of(kWindowFont));
    QPalette warning = status_->palette();
    warning.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x00));
    status_->setPalette(warning);
    const int line = kStatusLineHeight;
    status_->setGeometry(8, bar + client.height(), client.width() - 16, line);
    // Below it, while a kept record is being corrected, a banner that says so; the window
    // grows by its height then.
    correction_banner_ = new CorrectionBanner(correction_, [this] { identification_.corrects.clear(); }, this);
    correction_banner_->setGeometry(0, bar + client.height() + line, client.width(),
                                    correction_banner_->sizeHint().height());
    correction_banner_->installEventFilter(this);
    // The window's Tab order is its controls' own; the banner's button is clicked.
    correction_banner_->cancel_button()->setFocusPolicy(Qt::NoFocus);
    fit_height();
    show_model();
    connect_model();
    timer_.setObjectName("Timer1");
    timer_.setInterval(300);
}

void MainWindow::create_controls() {
    apply_system_colours(this, form::controls::Window);
    apply_system_colours(client_, form::controls::Window);
    frame_style_ = new FrameStyle();
    frame_style_->setParent(this);
    for (const ControlSpec& entry : form1_controls()) {
        QWidget* parent = widget(entry.parent);
        const QString caption = entry.id.kind == ControlKind::Op_S
                                    ? QString::fromUtf8(form::window_sensor(entry.id.index).name)
                                    : utf8(entry.caption);
        QWidget* w = nullptr;
        if (form::is_frame(entry.id) && !entry.border) {
            w = new QWidget(parent);
        } else if (form::is_frame(entry.id)) {
            auto* frame = new QGroupBox(caption, parent);
            frame->setStyle(frame_style_);
            w = frame;
        } else if (form::is_label(entry.id)) {
            auto* label = new QLabel(caption, parent);
            label->setWordWrap(true);  // the narrow vertical heading stacks its characters
            w = label;
        } else if (form::is_text_box(entry.id)) {
            auto* edit = new QLineEdit(parent);
            // Output boxes: written by the program only, but their text can be selected and
            // copied.
            edit->setReadOnly(form::is_result_box(entry.id));
            w = edit;
        } else {
            w = new QRadioButton(caption, parent);
        }
        w->setObjectName(QString::fromStdString(form::name(entry.id)));
        w->setGeometry(pixels(entry.left), pixels(entry.top), pixels(entry.width),
                       pixels(entry.height));
        // Every control carries its own font, as a frame's font is not its children's.
        w->setFont(font_of(entry.font));
        apply_system_colours(w, entry.id);
        controls_.emplace_back(entry.id, w);

        switch (entry.id.kind) {
            case ControlKind::Txt_T90: Txt_T90_ = static_cast<QLineEdit*>(w); break;
            case ControlKind::Txt_E90: Txt_E90_ = static_cast<QLineEdit*>(w); break;
            case ControlKind::Text1: Text1_ = static_cast<QLineEdit*>(w); break;
            case ControlKind::T1: T1_[entry.id.index] = static_cast<QLineEdit*>(w); break;
            case ControlKind::Op_S: Op_S_[entry.id.index] = static_cast<QRadioButton*>(w); break;
            case ControlKind::Op1: Op1_ = static_cast<QRadioButton*>(w); break;
            case ControlKind::Op2: Op2_ = static_cast<QRadioButton*>(w); break;
            default: break;
        }
        if (entry.id == form::controls::Label1_11) Label1_11_ = static_cast<QLabel*>(w);
        if (entry.id == form::controls::Label3) Label3_ = static_cast<QLabel*>(w);
        if (entry.id == form::controls::Lab_wfds) Lab_wfds_ = static_cast<QLabel*>(w);
        if (form::is_text_box(entry.id) || form::is_option_button(entry.id)) w->installEventFilter(this);
        if (form::is_text_box(entry.id) && !form::is_result_box(entry.id)) {
            outlines_.emplace_back(entry.id, new ReadingOutline(static_cast<QLineEdit*>(w)));
        }
    }

    sensors_ = new QButtonGroup(this);
    for (int i = 0; i < form::kSensorCount; ++i) sensors_->addButton(Op_S_[i], i);
    middle_points_ = new QButtonGroup(this);
    middle_points_->addButton(Op1_, static_cast<int>(form::MiddlePoint::Aluminium));
    middle_points_->addButton(Op2_, static_cast<int>(form::MiddlePoint::Antimony));
}

void MainWindow::set_tab_order() {
    std::vector<std::pair<int, QWidget*>> order;
    for (const ControlSpec& entry : form1_controls()) {
        if (!form::is_text_box(entry.id) && !form::is_option_button(entry.id)) continue;
        order.emplace_back(entry.tab_index, widget(entry.id));
    }
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < order.size(); ++i) {
        setTabOrder(order[i].second, order[(i + 1) % order.size()].second);
    }
}

// Everything the model holds, once, before the window is connected to it.
void MainWindow::show_model() {
    for (const auto& [id, w] : controls_) {
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setText(utf8(model_.text(id)));
            edit->setToolTip(utf8(model_.tool_tip(id)));
            edit->setEnabled(model_.enabled(id));
        } else if (!model_.caption(id).empty()) {
            static_cast<QLabel*>(w)->setText(utf8(model_.caption(id)));
        }
    }
    Op_S_[model_.sensor()]->setChecked(true);
    middle_points_->button(static_cast<int>(model_.middle_point()))->setChecked(true);
    // Blank until the first tick of Timer1; an empty title would make the window manager
    // show the program's name instead.
    setWindowTitle(QStringLiteral(" "));
}

void MainWindow::connect_model() {
    model_.set_observer(this);
    for (const auto& [id, w] : controls_) {
        auto* edit = qobject_cast<QLineEdit*>(w);
        if (edit == nullptr) continue;
        const Control box = id;
        connect(edit, &QLineEdit::textChanged, this,
                [this, box](const QString& text) { model_.edit(box, text.toStdString()); });
    }
    connect(sensors_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) model_.select_sensor(id);
    });
    connect(middle_points_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) model_.select_middle_point(static_cast<form::MiddlePoint>(id));
    });
    connect(&timer_, &QTimer::timeout, this, [this] { model_.Timer1_Timer(); });
}

void MainWindow::start() {
    model_.Form_Load();
    centre();
    show();
    activateWindow();
    T1_[0]->setFocus(Qt::OtherFocusReason);
    timer_.start();
}

void MainWindow::fit_height() {
    const int banner = correction_banner_->isVisibleTo(this) ? correction_banner_->height() : 0;
    setFixedSize(client_->width(), status_->geometry().bottom() + 1 + banner);
}

void MainWindow::centre() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

// ---- Controls ----------------------------------------------------------------------------

QWidget* MainWindow::widget(Control control) const {
    if (control == form::controls::Window) return client_;
    for (const auto& [id, w] : controls_) {
        if (id == control) return w;
    }
    return nullptr;
}

QLineEdit* MainWindow::text_box(Control c) const {
    switch (c.kind) {
        case ControlKind::Txt_T90: return Txt_T90_;
        case ControlKind::Txt_E90: return Txt_E90_;
        case ControlKind::Text1: return Text1_;
        case ControlKind::T1: return form::is_T1_member(c.index) ? T1_[c.index] : nullptr;
        default: return nullptr;
    }
}

QRadioButton* MainWindow::option_button(Control c) const {
    switch (c.kind) {
        case ControlKind::Op_S: return c.index >= 0 && c.index < form::kSensorCount ? Op_S_[c.index] : nullptr;
        case ControlKind::Op1: return Op1_;
        case ControlKind::Op2: return Op2_;
        default: return nullptr;
    }
}

QLabel* MainWindow::label(Control c) const { return qobject_cast<QLabel*>(widget(c)); }

QWidget* MainWindow::reading_outline(Control c) const {
    for (const auto& [id, outline] : outlines_) {
        if (id == c) return outline;
    }
    return nullptr;
}

// ---- The model's changes, shown -----------------------------------------------------------

// ---- The calibration record -----------------------------------------------------------------

namespace {

// The calibration panel: the rectangle its lines draw.
const QRect kCalibrationPanel(16, 8, 425, 280);

}  // namespace

void MainWindow::create_record_actions() {
    modal_prompts_ = std::make_unique<ModalWindowPrompts>(this);
    prompts_ = modal_prompts_.get();
    struct Entry {
        const char* text;
        QKeySequence shortcut;
    };
    const Entry entries[] = {{"复制校准结果", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
                             {"保存为 CSV…", QKeySequence(Qt::CTRL | Qt::Key_S)},
                             {"导出 PDF…", QKeySequence()},
                             {"打印…", QKeySequence(Qt::CTRL | Qt::Key_P)}};
    for (std::size_t i = 0; i < record_actions_.size(); ++i) {
        auto* action = new QAction(QString::fromUtf8(entries[i].text), this);
        action->setShortcut(entries[i].shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        addAction(action);
        record_actions_[i] = action;
    }
    connect(record_actions_[0], &QAction::triggered, this, [this] { copy_record(); });
    connect(record_actions_[1], &QAction::triggered, this, [this] { save_record(RecordAction::SaveCsv); });
    connect(record_actions_[2], &QAction::triggered, this, [this] { save_record(RecordAction::ExportPdf); });
    connect(record_actions_[3], &QAction::triggered, this, [this] { print_record(); });
    record_changed();
    for (int i = 0; i < form::kT1Size; ++i) {
        QLineEdit* box = T1_[i];
        if (box == nullptr) continue;
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this, [this, box](const QPoint& at) {
            QMenu* menu = calibration_menu(box);
            menu->exec(box->mapToGlobal(at));
            delete menu;
        });
    }
}

QAction* MainWindow::record_action(RecordAction action) const {
    return record_actions_[static_cast<std::size_t>(action)];
}

std::optional<form::CalibrationRecord> MainWindow::record() const {
    std::optional<form::CalibrationRecord> r = model_.record();
    if (r) {
        if (const auto u = budget_.fixed_points()) {
            r->uncertainty = *u;
            r->budget = form::budget_rows(budget_);
        }
        r->identification = identification_;
        r->date_time =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    }
    return r;
}

void MainWindow::record_changed() {
    const bool available = model_.record().has_value();
    if (budget_window_ != nullptr || budget_.row_count() > 0) {
        budget_.set_middle(model_.middle_point());
        if (budget_window_ != nullptr) budget_window_->refresh();
    }
    if (comparison_ != nullptr) {
        comparison_->set_panel(available ? std::optional(model_.record()->calibration) : std::nullopt,
                               model_.record_unavailable_reason());
    }
    const QString reason = QString::fromUtf8(model_.record_unavailable_reason());
    for (QAction* action : record_actions_) {
        action->setEnabled(available);
        action->setToolTip(available ? action->text() : reason);
    }
}

QMenu* MainWindow::calibration_menu(QLineEdit* box) {
    QMenu* menu = box != nullptr ? box->createStandardContextMenu() : new QMenu(this);
    if (box != nullptr) menu->addSeparator();
    for (QAction* action : record_actions_) menu->addAction(action);
    return menu;
}

bool MainWindow::client_context_menu(QContextMenuEvent* event) {
    if (!kCalibrationPanel.contains(event->pos())) return false;
    QMenu* menu = calibration_menu();
    menu->exec(event->globalPos());
    delete menu;
    return true;
}

void MainWindow::create_menus() {
    QMenu* file = menu_bar_->addMenu(QStringLiteral("文件(&F)"));
    for (QAction* action : record_actions_) file->addAction(action);
    file->addSeparator();
    QAction* book = file->addAction(QStringLiteral("记录簿…"));
    book->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    book->setShortcutContext(Qt::WindowShortcut);
    addAction(book);
    connect(book, &QAction::triggered, this, [this] { show_book(); });
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("退出"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    file->setToolTipsVisible(true);  // why a record's entries are disabled

    // The tools' windows come here; a menu without entries is not shown.
    tools_menu_ = menu_bar_->addMenu(QStringLiteral("工具(&T)"));
    QAction* comparison = tools_menu_->addAction(QStringLiteral("比较法校准…"));
    comparison->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    comparison->setShortcutContext(Qt::WindowShortcut);
    addAction(comparison);
    connect(comparison, &QAction::triggered, this, [this] { show_comparison(); });
    QAction* resistance = tools_menu_->addAction(QStringLiteral("电阻温度计…"));
    resistance->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    resistance->setShortcutContext(Qt::WindowShortcut);
    addAction(resistance);
    connect(resistance, &QAction::triggered, this, [this] { show_resistance(); });
    QAction* budget = tools_menu_->addAction(QStringLiteral("不确定度评定…"));
    connect(budget, &QAction::triggered, this, [this] { show_budget(); });
    tools_menu_->menuAction()->setVisible(!tools_menu_->actions().isEmpty());

    QMenu* help = menu_bar_->addMenu(QStringLiteral("帮助(&H)"));
    QAction* guide = help->addAction(QStringLiteral("使用说明"));
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    guide->setShortcutContext(Qt::WindowShortcut);
    addAction(guide);
    connect(guide, &QAction::triggered, this, [this] { show_guide(); });
    QAction* about = help->addAction(QStringLiteral("关于"));
    connect(about, &QAction::triggered, this, [this] {
        prompts_->about(QStringLiteral("关于"), about_text());
    });
}

void MainWindow::set_prompts(WindowPrompts* prompts) {
    prompts_ = prompts;
    if (comparison_ != nullptr) comparison_->set_prompts(*prompts);
    if (resistance_ != nullptr) resistance_->set_prompts(*prompts);
    if (book_window_ != nullptr) book_window_->set_prompts(*prompts);
    if (budget_window_ != nullptr) budget_window_->set_prompts(*prompts);
}

void MainWindow::show_comparison() {
    if (comparison_ == nullptr) {
        comparison_ = new ComparisonWindow(*prompts_, this);
        comparison_->set_budget_rows([this] { return form::budget_rows(budget_); });
        comparison_->set_budget(budget_);
        record_changed();  // the panel's calibration, as it stands
        budget_changed();
    }
    comparison_->show();
    comparison_->raise();
    comparison_->activateWindow();
}

void MainWindow::offer_unfinished_run() {
    bool unfinished = false;
    std::string problem;
    read_book([&](const book::Book& b) { unfinished = !b.runs(true).empty(); }, problem);
    if (!unfinished) return;
    show_comparison();
    if (comparison_->acquisition().offer_unfinished()) comparison_->show_acquisition();
}

void MainWindow::show_resistance() {
    if (resistance_ == nullptr) resistance_ = new ResistanceWindow(*prompts_, this);
    resistance_->show();
    resistance_->raise();
    resistance_->activateWindow();
}

void MainWindow::show_budget() {
    if (budget_window_ == nullptr) {
        budget_window_ = new BudgetWindow(budget_, [this] { budget_changed(); }, *prompts_, this);
    }
    budget_window_->show();
    budget_window_->raise();
    budget_window_->activateWindow();
}

void MainWindow::show_book() {
    if (book_window_ == nullptr) book_window_ = new BookWindow(*prompts_, *this, this);
    book_window_->search();
    book_window_->show();
    book_window_->raise();
    book_window_->activateWindow();
}

bool MainWindow::load_record(const book::Record& record, bool correcting) {
    bool loaded = false;
    switch (record.kind) {
        case book::Kind::FixedPoint:
            if (const std::optional<form::FixedPointEntry> entry = form::fixed_point_entry(record)) {
                // Typed as the technician types them: the table is computed with the focus in the
                // copper box, the EMF at a temperature with the focus in its box.
                show();
                raise();
                activateWindow();
                middle_points_->button(static_cast<int>(entry->inputs.middle))->setChecked(true);
                T1_[12]->clear();
                for (int i = 0; i < 3; ++i) T1_[i]->clear();
                T1_[2]->setFocus(Qt::OtherFocusReason);
                model_.got_focus(form::controls::T1(2));
                for (int i = 0; i < 3; ++i) T1_[i]->setText(QString::fromStdString(entry->typed.emfs[static_cast<std::size_t>(i)]));
                if (!entry->typed.temperature.empty()) {
                    T1_[12]->setFocus(Qt::OtherFocusReason);
                    model_.got_focus(form::controls::T1(12));
                    T1_[12]->setText(QString::fromStdString(entry->typed.temperature));
                }
                identification_ = form::identification_of(record);
                if (form::load_budget(record, budget_)) {
                    budget_.set_middle(entry->inputs.middle);
                    if (budget_window_ != nullptr) budget_window_->refresh();
                    budget_changed();
                }
                correction_.set(correcting ? std::optional(record) : std::nullopt);
                loaded = true;
            }
            break;
        case book::Kind::Comparison:
            show_comparison();
            loaded = comparison_->load(record, correcting, budget_);
            if (loaded) budget_changed();
            if (loaded && budget_window_ != nullptr) budget_window_->refresh();
            break;
        case book::Kind::Resistance:
            show_resistance();
            loaded = resistance_->load(record, correcting);
            break;
    }
    if (!loaded) {
        prompts_->error(QStringLiteral("记录 %1 缺少输入，无法载入窗口。").arg(record.id));
    }
    return loaded;
}

void MainWindow::budget_changed() {
    if (comparison_ != nullptr) comparison_->set_uncertainties(budget_.comparison(), budget_.fixed_points());
}

void MainWindow::show_guide() {
    if (guide_ == nullptr) {
        guide_ = new QDialog(this);
        guide_->setObjectName(QStringLiteral("guide"));
        guide_->setWindowTitle(QStringLiteral("使用说明"));
        auto* browser = new QTextBrowser(guide_);
        browser->setObjectName(QStringLiteral("guide_text"));
        browser->setOpenExternalLinks(false);
        // Lines wrap at the window's width: the guide never scrolls sideways.
        browser->setLineWrapMode(QTextEdit::WidgetWidth);
        browser->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        browser->setSource(QUrl(QStringLiteral("qrc:/its90/guide.html")));
        auto* layout = new QVBoxLayout(guide_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        guide_->resize(620, 560);
    }
    guide_->show();
    guide_->raise();
    guide_->activateWindow();
}

QString about_text() {
    return QStringLiteral(
               "<p><b>ITS-90 热电偶、热电阻计算器</b><br>版本 %1</p>"
               "<p>依据的标准：</p><ul>"
               "<li>ITS-90：1990 年国际温标</li>"
               "<li>IEC 60584-1：热电偶参考函数与允差（NIST Monograph 175）</li>"
               "<li>IEC 60751：工业铂电阻温度计（Callendar–Van Dusen 方程与允差等级）</li>"
               "<li>JJG 75-1995：标准铂铑10-铂热电偶检定规程（定点分度记录）</li>"
               "<li>JJG 351：工作用廉金属热电偶检定规程（比较法，K、N、E、J、T 型）</li>"
               "<li>JJG 141：工作用贵金属热电偶检定规程（比较法，S、R、B 型）</li>"
               "<li>GUM（不确定度按其合成，Welch–Satterthwaite 有效自由度）；ILAC G8：计入不确定度的符合性判定</li></ul>"
               "<p>命令行工具 its90 使用同一计算核心。</p>")
        .arg(QStringLiteral(ITS90_VERSION));
}

void MainWindow::copy_record() {
    if (const std::optional<form::CalibrationRecord> r = record()) {
        QApplication::clipboard()->setText(QString::fromStdString(form::to_tsv(*r)));
    }
}

void MainWindow::save_record(RecordAction action) {
    if (!model_.record() || !correction_.identify(*prompts_, identification_, WindowPrompts::RecordKind::Calibration)) {
        return;
    }
    const form::CalibrationRecord r = *record();
    const bool csv = action == RecordAction::SaveCsv;
    if (save_record_file(*prompts_, QStringLiteral("S型热电偶分度结果"), identification_.number, csv,
                         [&](const QString& path, QString& error) {
                             return csv ? save_csv(path, r, error) : save_pdf(path, r, error);
                         })) {
        keep_record(r, QStringLiteral("记录已保存到文件"));
    }
}

void MainWindow::keep_record(const form::CalibrationRecord& r, const QString& issued) {
    const form::PanelTexts typed{{model_.text(form::controls::T1(0)), model_.text(form::controls::T1(1)), model_.text(form::controls::T1(2))},
                                 model_.text(form::controls::T1(12))};
    const book::Record kept = form::book_record(r, typed, &budget_, program_version());
    if (correction_.keep(*prompts_, kept, identification_, issued) && book_window_ != nullptr) book_window_->search();
}

void MainWindow::print_record() {
    if (!model_.record() || !correction_.identify(*prompts_, identification_, WindowPrompts::RecordKind::Calibration)) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!prompts_->print_setup(printer)) return;
    const form::CalibrationRecord r = *record();
    draw_record(printer, r);
    keep_record(r, QStringLiteral("记录已打印"));
}

// ---- The model's changes, shown -----------------------------------------------------------

void MainWindow::text_changed(Control box, const std::string& text) {
    QLineEdit* edit = text_box(box);
    const QString shown = utf8(text);
    {
        // The model has the text already: the widget's change is not an edit to hand back.
        const QSignalBlocker quiet(edit);
        edit->setText(shown);
    }
    // A written value shows its start: setText leaves the cursor at the end, and a value wider
    // than its box would show only its last digits. The whole value stays in the text (select
    // and copy), and an output box shows it as its tool tip when it does not fit.
    edit->setCursorPosition(0);
    if (form::is_result_box(box)) edit->setToolTip(fits(edit, shown) ? QString() : shown);
}

void MainWindow::caption_changed(Control c, const std::string& caption) {
    QLabel* l = c == form::controls::Label1_11 ? Label1_11_
                : c == form::controls::Label3  ? Label3_
                                               : Lab_wfds_;
    l->setText(utf8(caption));
}

void MainWindow::tool_tip_changed(Control box, const std::string& tool_tip) {
    text_box(box)->setToolTip(utf8(tool_tip));
}

void MainWindow::enabled_changed(Control box, bool enabled) { text_box(box)->setEnabled(enabled); }

void MainWindow::reading_changed(Control box) {
    if (QWidget* outline = reading_outline(box)) outline->setVisible(!model_.reading_note(box).empty());
    status_->setText(utf8(model_.status()));
}

void MainWindow::title_changed(const std::string& title) { setWindowTitle(utf8(title)); }

// ---- Qt events -----------------------------------------------------------------------------

bool MainWindow::event(QEvent* event) {
    // The window manager has framed the window (title bar and borders) by the time it first
    // activates it: centre the whole frame then, not only the client area.
    if (event->type() == QEvent::WindowActivate && !centred_) {
        centred_ = true;
        centre();
    }
    return QWidget::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == correction_banner_) {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) fit_height();
        return false;
    }
    if (watched == client_) {
        if (event->type() == QEvent::Paint) {
            paint_lines();
            return true;
        }
        if (event->type() == QEvent::ContextMenu) {
            return client_context_menu(static_cast<QContextMenuEvent*>(event));
        }
        return false;
    }
    const bool focus_in = event->type() == QEvent::FocusIn;
    const bool focus_out = event->type() == QEvent::FocusOut;
    if ((!focus_in && !focus_out) || !is_control_focus_move(event)) {
        return QWidget::eventFilter(watched, event);
    }
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [watched](const auto& c) { return c.second == watched; });
    if (found == controls_.end()) return false;
    if (focus_out) {
        model_.lost_focus(found->first);
        return false;
    }
    // Tab and Shift+Tab enter an option group at its selected button, as in any option group:
    // Qt would give the focus to the group's first button in the chain, and a sensor button
    // that takes the focus without being selected would set the prompts and units of a sensor
    // other than the one the conversions use.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (auto* radio = qobject_cast<QRadioButton*>(watched);
        radio != nullptr && !radio->isChecked() &&
        (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)) {
        if (QAbstractButton* selected = radio->group()->checkedButton()) {
            // Once Qt has finished this focus change: a focus move from inside a focus event
            // is not carried out reliably.
            QMetaObject::invokeMethod(
                selected, [selected, reason] { selected->setFocus(reason); },
                Qt::QueuedConnection);
            return false;
        }
    }
    model_.got_focus(found->first);
    return false;
}

void MainWindow::paint_lines() {
    QPainter painter(client_);
    for (const LineSpec& line : form1_lines()) {
        const QColor colour = line.colour ? system_colour(*line.colour, QApplication::palette())
                                          : QApplication::palette().color(QPalette::WindowText);
        painter.setPen(QPen(colour, 1));
        painter.drawLine(pixels(line.x1), pixels(line.y1), pixels(line.x2), pixels(line.y2));
    }
}

}  // namespace its90::ui
