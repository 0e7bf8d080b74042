// What a user sees, measured as the style draws it: every caption's ink inside its control,
// every text legible in every state, every written value shown from its start.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTimer>

#include "tests/ui/window_fixture.h"
#include "ui/form_layout.h"
#include "ui/modal_message_box.h"
#include "ui/system_colours.h"

namespace its90::ui::testing {
namespace {

// A font's point size becomes as many pixels on the image as on the screen.
void same_resolution(QImage& image, const QWidget* widget) {
    image.setDotsPerMeterX(qRound(widget->logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(widget->logicalDpiY() / 0.0254));
}

// The box, in `widget`'s coordinates, of the ink of `text` drawn by the widget's style into
// `rect` with `flags`, unclipped; empty for a text with no ink.
QRect ink(const QWidget* widget, const QFont& font, const QRect& rect, int flags,
          const QString& text) {
    constexpr int kMargin = 64;  // room for ink outside the widget
    QImage image(widget->width() + 2 * kMargin, widget->height() + 2 * kMargin,
                 QImage::Format_RGB32);
    same_resolution(image, widget);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.translate(kMargin, kMargin);
        painter.setFont(font);
        QPalette palette = widget->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        // Unclipped: drawText would cut the ink at the rectangle, as the widget does.
        widget->style()->drawItemText(&painter, rect, flags | Qt::TextDontClip, palette, true,
                                      text, QPalette::WindowText);
    }
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 192) box |= QRect(x - kMargin, y - kMargin, 1, 1);
        }
    }
    return box;
}

// A label draws its text into its contents with its alignment (and word wrap); an option
// button beside its indicator, vertically centred; a frame its title where the style puts it,
// in bold.
QRect caption_ink(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        return ink(w, w->font(), label->contentsRect(), flags, label->text());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect contents = w->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, w);
        return ink(w, w->font(), contents, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                   button->text());
    }
    const auto* frame = qobject_cast<const QGroupBox*>(w);
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = frame->alignment();
    const QRect label = w->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                   QStyle::SC_GroupBoxLabel, w);
    QFont bold = w->font();
    bold.setBold(true);
    return ink(w, bold, label, Qt::TextShowMnemonic | Qt::AlignLeft | int(frame->alignment()),
               frame->title());
}

// How many pixels of a frame's caption its children paint over, as the frame shows it.
int covered_ink(const QGroupBox* frame) {
    const QImage shown = const_cast<QGroupBox*>(frame)->grab().toImage();
    QFont bold = frame->font();
    bold.setBold(true);
    QImage alone(frame->size(), QImage::Format_RGB32);
    same_resolution(alone, frame);
    alone.fill(Qt::white);
    {
        QPainter painter(&alone);
        painter.setFont(bold);
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        QPalette palette = frame->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        frame->style()->drawItemText(
            &painter,
            frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame),
            Qt::TextShowMnemonic | Qt::AlignLeft | int(frame->alignment()), palette, true,
            frame->title(), QPalette::WindowText);
    }
    const int text = qGray(frame->palette().color(QPalette::WindowText).rgb());
    const int background = qGray(frame->palette().color(QPalette::Window).rgb());
    int covered = 0;
    for (int y = 0; y < alone.height(); ++y) {
        for (int x = 0; x < alone.width(); ++x) {
            // The caption's solid ink must show in the text's colour, not the background's.
            if (qGray(alone.pixel(x, y)) > 32) continue;
            const int g = qGray(shown.pixel(x, y));
            if (std::abs(g - background) < std::abs(g - text)) ++covered;
        }
    }
    return covered;
}

class Legibility : public WindowTest {};

TEST_F(Legibility, EveryCaptionsInkLiesInsideItsControl) {
    // Pt100's captions are the longer ones.
    for (int sensor : {8, 0}) {
        click(button(Op_S(sensor)));
        for (const ControlSpec& entry : form1_controls()) {
            const QWidget* w = form->widget(entry.id);
            const bool has_caption = qobject_cast<const QLabel*>(w) ||
                                     qobject_cast<const QAbstractButton*>(w) ||
                                     (qobject_cast<const QGroupBox*>(w) &&
                                      !static_cast<const QGroupBox*>(w)->title().isEmpty());
            if (!has_caption) continue;
            const QRect box = caption_ink(w);
            const std::string name = form::name(entry.id);
            EXPECT_FALSE(box.isEmpty()) << name;
            EXPECT_TRUE(w->rect().contains(box)) << name << ": ink " << box.x() << "," << box.y()
                                                 << " " << box.width() << "x" << box.height()
                                                 << " in " << w->width() << "x" << w->height();
            if (qobject_cast<const QGroupBox*>(w)) {
                EXPECT_EQ(covered_ink(static_cast<const QGroupBox*>(w)), 0) << name;
            }
        }
    }
}

TEST_F(Legibility, EveryTextHasAContrastOfAtLeastFourAndAHalf) {
    click(button(Op_S(8)));  // Txt_E90 disabled
    for (const ControlSpec& entry : form1_controls()) {
        const QWidget* w = form->widget(entry.id);
        const QPalette& p = w->palette();
        const bool edit = qobject_cast<const QLineEdit*>(w) != nullptr;
        const QPalette::ColorRole text = edit ? QPalette::Text : w->foregroundRole();
        const QPalette::ColorRole background = edit ? QPalette::Base : w->backgroundRole();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            const double ratio = contrast_ratio(p.color(group, text), p.color(group, background));
            EXPECT_GE(ratio, kLegibleContrast) << form::name(entry.id) << " group " << group;
        }
    }
    EXPECT_FALSE(box(Txt_E90)->isEnabled());
    // The output boxes do not look like the window around them, nor like the input boxes.
    const QColor window = form->palette().color(QPalette::Window);
    const QColor output = box(T1(3))->palette().color(QPalette::Base);
    const QColor input = box(T1(0))->palette().color(QPalette::Base);
    EXPECT_GT(output.lightness(), window.lightness() + 16);
    EXPECT_LT(output.lightness(), input.lightness());
}

TEST_F(Legibility, OptionButtonsPaintTheWindowsColour) {
    const QColor window = form->palette().color(QPalette::Window);
    for (Control c : {Op_S(0), Op_S(8), Op1, Op2}) {
        const QImage image = button(c)->grab().toImage();
        // The far right of the button, beyond its caption.
        EXPECT_EQ(QColor(image.pixel(image.width() - 2, 1)), window) << form::name(c);
    }
}

// The lower panel is one surface: the frames' interiors, the labels and option buttons on
// them all show the window's colour, sampled around and inside each control and across the
// frames; and the inner frame's top line lies below the outer frame's.
TEST_F(Legibility, FramesAndTheirControlsShowOneColour) {
    form->show();
    const QImage image = form->grab().toImage();
    const QColor window = form->palette().color(QPalette::Window);
    const auto at = [&](QWidget* w, QPoint p) { return QColor(image.pixel(w->mapTo(form.get(), p))); };
    for (Control c : {Control{form::ControlKind::Label2}, Op_S(0), Op_S(8), Lab_wfds, Label3}) {
        QWidget* w = form->widget(c);
        const int middle = w->height() / 2;
        EXPECT_EQ(at(w, {-2, middle}), window) << form::name(c) << " left of it";
        EXPECT_EQ(at(w, {w->width() / 2, -2}), window) << form::name(c) << " above it";
        EXPECT_EQ(at(w, {1, 1}), window) << form::name(c) << " inside it";
        EXPECT_EQ(at(w, {w->width() - 2, w->height() - 2}), window) << form::name(c) << " inside it";
    }
    for (Control frame : {Control{form::ControlKind::Fr90}, Control{form::ControlKind::Frame1}}) {
        QWidget* w = form->widget(frame);
        EXPECT_EQ(at(w, {w->width() - 6, w->height() - 4}), window) << form::name(frame);
        EXPECT_EQ(at(w, {6, w->height() - 4}), window) << form::name(frame);
    }
    // Down the middle of Frame1, from above Fr90's top line: the first line met is Fr90's.
    QWidget* outer = form->widget(Control{form::ControlKind::Fr90});
    QWidget* inner = form->widget(Control{form::ControlKind::Frame1});
    const int x = inner->mapTo(outer, QPoint(inner->width() / 2, 0)).x();
    int outer_line = -1, inner_line = -1;
    for (int y = 0; y < inner->mapTo(outer, QPoint(0, inner->height())).y(); ++y) {
        if (at(outer, {x, y}) == window) continue;
        (outer_line < 0 ? outer_line : inner_line) = y;
        if (inner_line >= 0) break;
        ++y;  // past the outer line's width
    }
    EXPECT_GE(outer_line, 0);
    EXPECT_GT(inner_line, outer_line);
}

TEST_F(Legibility, WrittenValuesShowTheirStart) {
    form->model().select_middle_point(form::MiddlePoint::Antimony);
    button(Op2)->setChecked(true);
    retype(box(T1(0)), "3.45689");
    retype(box(T1(1)), "5.5628");
    retype(box(T1(2)), "10.5848");
    retype(box(T1(12)), "1000");
    click(button(Op_S(8)));
    retype(box(Txt_T90), "850");  // a resistance with many digits
    click(button(Op_S(0)));
    retype(box(Txt_E90), "18.693");
    for (Control c : {T1(3), T1(4), T1(10), T1(14), T1(13), Text1, Txt_T90}) {
        EXPECT_EQ(box(c)->cursorPosition(), 0) << form::name(c);
    }
    EXPECT_EQ(box(T1(3))->text(), " 2.333040049");
    // A value wider than its box is whole in its tool tip.
    for (int index : form::kTableBoxes) {
        QLineEdit* b = box(T1(index));
        const bool wide = b->fontMetrics().horizontalAdvance(b->text()) > b->width() - 8;
        if (wide) {
            EXPECT_EQ(b->toolTip(), b->text()) << index;
        }
    }
    EXPECT_EQ(box(T1(3))->toolTip(), " 2.333040049");
}

TEST(MessageBoxButton, ReadsChineseWhateverTheLocale) {
    ModalMessageBox message_box;
    QString button_text;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        button_text = shown->button(QMessageBox::Ok)->text();
        shown->button(QMessageBox::Ok)->click();
    });
    message_box.show_range_message("输入的电势值超出计算范围!");
    EXPECT_EQ(button_text, QString::fromUtf8("确定"));
}

}  // namespace
}  // namespace its90::ui::testing
