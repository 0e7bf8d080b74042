#include "form1.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QIcon>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "entry_tables.h"
#include "form_layout.h"
#include "message_box.h"
#include "number_text.h"
#include "system_colours.h"
#include "type_s_calibration.h"

namespace its90::ui {
namespace {

QString utf8(const char* text) { return QString::fromUtf8(text); }
QString utf8(const std::string& text) { return QString::fromStdString(text); }
std::string text_of(const QLineEdit* edit) { return edit->text().toStdString(); }

int pixels(int twips) { return twips / kTwipsPerPixel; }

QFont font_of(const FontSpec& face) {
    QFont font(utf8(face.family));
    font.setPointSizeF(face.points);
    font.setBold(face.bold);
    return font;
}

// A move of the focus between controls, as opposed to a modal box or another application
// taking the window's activation away and giving it back.
bool is_control_focus_move(const QEvent* event) {
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// The index in "Name(12)", or -1 for a name without one.
int array_index(const QString& name, const QString& array) {
    if (!name.startsWith(array + "(") || !name.endsWith(")")) return -1;
    bool ok = false;
    const int index = name.mid(array.size() + 1, name.size() - array.size() - 2).toInt(&ok);
    return ok ? index : -1;
}

}  // namespace

const QString Form1::kTitle = QString::fromUtf8("　　　热电偶分度、90国际温标　Molvar V3.0");

Form1::Form1(MessageBox& message_box, QWidget* parent)
    : QWidget(parent), message_box_(message_box) {
    setObjectName("Form1");
    setFont(font_of(kWindowFont));
    setFixedSize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));
    setWindowIcon(QIcon(":/its90/its90-calculator.png"));
    // Blank until the first tick of Timer1; an empty title would make the window manager
    // show the program's name instead.
    setWindowTitle(QStringLiteral(" "));
    create_controls();
    set_tab_order();

    Timer1.setObjectName("Timer1");
    Timer1.setInterval(300);
    connect(&Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Txt_T90, &QLineEdit::textChanged, this, &Form1::Txt_T90_Change);
    connect(Txt_E90, &QLineEdit::textChanged, this, &Form1::Txt_E90_Change);
    for (std::size_t i = 0; i < T1.size(); ++i) {
        if (T1[i] == nullptr) continue;
        connect(T1[i], &QLineEdit::textChanged, this,
                [this, i] { T1_Change(static_cast<std::int16_t>(i)); });
    }
}

void Form1::create_controls() {
    QMap<QString, QWidget*> containers{{"Form1", this}};
    for (const ControlSpec& control : form1_controls()) {
        QWidget* parent = containers.value(utf8(control.parent));
        QWidget* widget = nullptr;
        switch (control.kind) {
            case ControlKind::Frame: {
                auto* frame = new QGroupBox(utf8(control.caption), parent);
                containers.insert(utf8(control.name), frame);
                widget = frame;
                break;
            }
            case ControlKind::Label: {
                auto* label = new QLabel(utf8(control.caption), parent);
                label->setWordWrap(true);  // the narrow vertical heading stacks its characters
                widget = label;
                break;
            }
            case ControlKind::TextBox:
                widget = new QLineEdit(parent);
                break;
            case ControlKind::OptionButton:
                widget = new QRadioButton(utf8(control.caption), parent);
                break;
        }
        widget->setObjectName(utf8(control.name));
        widget->setGeometry(pixels(control.left), pixels(control.top), pixels(control.width),
                            pixels(control.height));
        // Every control carries its own font, as a frame's font is not its children's.
        widget->setFont(font_of(control.font));
        if (!control.tool_tip.empty()) widget->setToolTip(utf8(control.tool_tip));
    }

    Txt_T90 = findChild<QLineEdit*>("Txt_T90");
    Txt_E90 = findChild<QLineEdit*>("Txt_E90");
    Text1 = findChild<QLineEdit*>("Text1");
    Op1 = findChild<QRadioButton*>("Op1");
    Op2 = findChild<QRadioButton*>("Op2");
    Label1_11 = findChild<QLabel*>("Label1(11)");
    Label3 = findChild<QLabel*>("Label3");
    Lab_wfds = findChild<QLabel*>("Lab_wfds");
    for (int i = 0; i < kSensorCount; ++i) {
        Op_S[i] = findChild<QRadioButton*>(QString("Op_S(%1)").arg(i));
    }
    for (std::size_t i = 0; i < T1.size(); ++i) {
        T1[i] = findChild<QLineEdit*>(QString("T1(%1)").arg(i));
    }

    Op_S[0]->setChecked(true);
    Op1->setChecked(true);
    // Output boxes: written by the program only, but their text can be selected and copied.
    Text1->setReadOnly(true);
    for (int box : kOutputBoxes) T1[box]->setReadOnly(true);
    apply_system_colours(*this);

    for (QWidget* w : findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QRadioButton*>(w)) w->installEventFilter(this);
    }
}

void Form1::set_tab_order() {
    std::vector<std::pair<int, QWidget*>> order;
    for (const ControlSpec& control : form1_controls()) {
        if (control.kind != ControlKind::TextBox && control.kind != ControlKind::OptionButton) continue;
        order.emplace_back(control.tab_index, findChild<QWidget*>(utf8(control.name)));
    }
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < order.size(); ++i) {
        setTabOrder(order[i].second, order[(i + 1) % order.size()].second);
    }
}

void Form1::start() {
    Form_Load();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    activateWindow();
    T1[0]->setFocus(Qt::OtherFocusReason);
    Timer1.start();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const bool focus_in = event->type() == QEvent::FocusIn;
    const bool focus_out = event->type() == QEvent::FocusOut;
    if ((!focus_in && !focus_out) || !is_control_focus_move(event)) {
        return QWidget::eventFilter(watched, event);
    }
    if (focus_out) {
        if (watched == Txt_T90) Txt_T90_LostFocus();
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
        const auto siblings =
            radio->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
        for (QRadioButton* sibling : siblings) {
            if (!sibling->isChecked()) continue;
            // Once Qt has finished this focus change: a focus move from inside a focus event
            // is not carried out reliably.
            QMetaObject::invokeMethod(
                sibling, [sibling, reason] { sibling->setFocus(reason); }, Qt::QueuedConnection);
            return false;
        }
    }
    const QString name = watched->objectName();
    if (watched == Txt_T90) {
        Txt_T90_GotFocus();
    } else if (watched == Txt_E90) {
        Txt_E90_GotFocus();
    } else if (watched == Op1) {
        Op1_GotFocus();
    } else if (const int t1 = array_index(name, "T1"); t1 >= 0) {
        T1_GotFocus(static_cast<std::int16_t>(t1));
    } else if (const int op = array_index(name, "Op_S"); op >= 0) {
        Op_S_GotFocus(static_cast<std::int16_t>(op));
    }
    return false;
}

void Form1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (const LineSpec& line : form1_lines()) {
        const QColor colour =
            line.colour < 0
                ? QApplication::palette().color(QPalette::WindowText)
                : system_colour(static_cast<SystemColour>(line.colour), QApplication::palette());
        painter.setPen(QPen(colour, 1));
        painter.drawLine(pixels(line.x1), pixels(line.y1), pixels(line.x2), pixels(line.y2));
    }
}

// ---- Form and focus handlers -------------------------------------------------------------

void Form1::Form_Load() {
    foc_flag = 0;
    timer_coun = 0;
}

void Form1::Timer1_Timer() {
    const auto length = static_cast<std::int16_t>(kTitle.size());
    timer_coun = static_cast<std::int16_t>(timer_coun + 1);
    if (timer_coun == length) timer_coun = 0;
    const int k = timer_coun;
    setWindowTitle(kTitle.right(length - k) + kTitle.left(k));
}

void Form1::Txt_T90_GotFocus() {
    foc_flag = 1;
    Text1->setText(QString());
}

void Form1::Txt_T90_LostFocus() { Text1->setText(QString()); }

void Form1::Txt_E90_GotFocus() { foc_flag = 2; }

void Form1::T1_GotFocus(std::int16_t index) {
    if (index == 12) foc_flag = 3;
    if (index == 2) foc_flag = 4;
}

void Form1::Op1_GotFocus() { Text1->setText(QString()); }

// ---- Sensor selection --------------------------------------------------------------------

void Form1::set_emf_field_enabled(bool enabled) {
    Txt_E90->setEnabled(enabled);
    // Window background when it takes input, button face when it does not.
    set_background(Txt_E90, enabled ? kWindowBackground : kButtonFace);
}

void Form1::Op_S_GotFocus(std::int16_t index) {
    Txt_T90->setText(QString());
    Txt_E90->setText(QString());
    Text1->setText(QString());
    if (index != kPt100) {
        set_emf_field_enabled(true);
        Label1_11->setText("mV");
        Label3->setText(utf8("μV/℃"));
        Lab_wfds->setText(utf8("微　 分　 电 　势:"));
    }
    if (index >= 0 && index < kPt100) {
        Txt_T90->setToolTip(utf8(kSensors[index].temperature_prompt));
        Txt_E90->setToolTip(utf8(kSensors[index].emf_prompt));
    }
    if (index == kPt100) {
        Txt_T90->setToolTip(utf8(kSensors[kPt100].temperature_prompt));
        set_emf_field_enabled(false);
        Label1_11->setText(utf8("Ω"));
        Label3->setText(utf8("Ω/℃"));
        Lab_wfds->setText(utf8("微　 分　 电 　阻:"));
    }
}

// ---- Conversions -------------------------------------------------------------------------

int Form1::selected_sensor() const {
    for (int i = 0; i < kSensorCount; ++i) {
        if (Op_S[i]->isChecked()) return i;
    }
    return -1;
}

// The row of the selected sensor in an entry table, tried in the table's order; nullptr if
// the table has none (Pt100 in the EMF entry).
template <typename Row, std::size_t N>
const Row* Form1::selected_row(const Row (&table)[N]) const {
    const int sensor = selected_sensor();
    for (const Row& row : table) {
        if (row.sensor == sensor) return &row;
    }
    return nullptr;
}

void Form1::show_message(std::string_view text) {
    message_box_.show_range_message(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

double Form1::call(ReferenceFunction f, float argument) {
    const Result r = f(argument);
    if (r.rejected() && !r.message().empty()) show_message(r.message());
    return r.value();
}

void Form1::Txt_T90_Change() {
    if (foc_flag != 1) return;
    const TemperatureEntryRow* row = selected_row(kTemperatureEntry);
    if (row == nullptr) return;

    // Text_to_num gives +-infinity for a number beyond the double range; like any number
    // beyond the single range it fails the range test, so nothing out of range is narrowed.
    const double v = Text_to_num(text_of(Txt_T90));
    if (!accepts(*row, v)) {
        show_message(row->message);
        Txt_E90->setText(QString());
        Text1->setText(QString());  // no differential value of an earlier temperature
        return;
    }
    try {
        const double output = call(row->function, to_single(v));
        Txt_E90->setText(utf8(Num_to_text_sign(output)));
        const std::optional<double> d = differential_value(*row, v);
        Text1->setText(d ? utf8(Num_to_text(*d)) : QString());
    } catch (const FloatingPointError&) {
        // Unreachable for a temperature in range; never let it leave the handler.
        Txt_E90->setText(QString());
        Text1->setText(QString());
    }
}

void Form1::Txt_E90_Change() {
    if (foc_flag != 2) return;
    const EmfEntryRow* row = selected_row(kEmfEntry);
    if (row == nullptr) return;

    const double v = Text_to_num(text_of(Txt_E90));
    if (v < row->lower || v > row->upper) {
        show_message(row->message);
        Txt_E90->setText(QString());  // converts again, nested, as 0 mV
        return;
    }
    try {
        const Result r = row->function(to_single(v));
        if (r.rejected() && (!r.message().empty() || v != 0.0)) {
            // An EMF the inverse function has no formula for is a rejected EMF: its message
            // (type B below 0.291 mV has none of its own, so the row's), then the field is
            // emptied, which converts 0 mV nested and shows " 0" beside it.
            show_message(r.message().empty() ? std::string_view(row->message) : r.message());
            Txt_E90->setText(QString());
            return;
        }
        Txt_T90->setText(utf8(Num_to_text_sign(r.value())));
    } catch (const FloatingPointError&) {
        Txt_E90->setText(QString());
    }
}

// ---- Calibration panel -------------------------------------------------------------------

void Form1::T1_Change(std::int16_t /*index*/) {
    // The panel's own writes change T1 boxes too; they must not start further runs, so one
    // edit computes once and shows at most one message.
    if (calibration_running_) return;
    calibration_running_ = true;
    const calibration::PanelState state{
        text_of(T1[0]),
        text_of(T1[1]),
        text_of(T1[2]),
        text_of(T1[12]),
        Op1->isChecked() ? calibration::MiddlePoint::Aluminium : calibration::MiddlePoint::Antimony,
        foc_flag};
    const calibration::PanelRun run = calibration::run_panel(state);
    if (!run.message.empty()) show_message(run.message);
    for (const calibration::PanelWrite& w : run.writes) T1[w.box]->setText(utf8(w.text));
    calibration_running_ = false;
}

}  // namespace its90::ui
