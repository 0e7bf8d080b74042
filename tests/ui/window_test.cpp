// What only the Qt window shows: the model's state in the widgets, edits reaching the model,
// focus reasons, option buttons, the tab order, the modal box and the rendering.
#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <QDate>
#include <QFocusEvent>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <clocale>

#include "core/sensors.h"
#include "form/sensor_texts.h"
#include "tests/ui/window_fixture.h"
#include "ui/modal_message_box.h"
#include "tests/doubles/recording_message_box.h"

namespace its90::ui::testing {
namespace {

class Window : public WindowTest {};

TEST_F(Window, StartsWithTheModelsStateAndTheFocusInTheZincBox) {
    EXPECT_TRUE(box(T1(0))->hasFocus());
    EXPECT_EQ(form->model().foc_flag(), 0);
    EXPECT_TRUE(button(Op_S(0))->isChecked());
    EXPECT_TRUE(button(Op1)->isChecked());
    EXPECT_TRUE(box(Txt_E90)->isEnabled());
    EXPECT_EQ(form->windowTitle().trimmed(), "");  // reads blank until the first tick
    EXPECT_EQ(form->label(Label1_11)->text(), "mV");
    EXPECT_EQ(form->label(Label3)->text(), QString::fromUtf8("μV/℃"));
    EXPECT_EQ(form->label(Lab_wfds)->text(), QString::fromUtf8("微　 分　 电 　势:"));
    for (Control c : {Txt_T90, Txt_E90, T1(12)}) {
        EXPECT_EQ(box(c)->toolTip().toStdString(), form->model().tool_tip(c));
        EXPECT_FALSE(box(c)->toolTip().isEmpty());
    }
    for (QLineEdit* edit : form->findChildren<QLineEdit*>()) EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(box(T1(11)), nullptr);
    // The client area keeps the layout's size; the window adds the menu bar above it.
    EXPECT_EQ(form->widget(form::controls::Window)->size(), QSize(458, 496));
    EXPECT_EQ(form->widget(form::controls::Window)->y(), form->menu_bar()->height());
    // and the status line below it.
    EXPECT_EQ(form->status_line()->y(), form->menu_bar()->height() + 496);
    EXPECT_EQ(form->size(), QSize(458, 496 + form->menu_bar()->height() + form->status_line()->height()));
    EXPECT_EQ(form->status_line()->text(), "");
    EXPECT_EQ(form->status_line()->height(), kStatusLineHeight);
    EXPECT_LE(form->status_line()->fontMetrics().height(), kStatusLineHeight - 4) << "a line of text fits it";
    // The result boxes can be selected and copied but not typed into.
    EXPECT_TRUE(box(Text1)->isReadOnly());
    EXPECT_TRUE(box(T1(14))->isReadOnly());
    EXPECT_FALSE(box(T1(12))->isReadOnly());
}

TEST_F(Window, ControlsKeepTheirObjectNames) {
    const char* names[] = {"Form1",   "Fr90",     "Frame1", "F1",    "Op_S(0)", "Op_S(8)",
                           "Op1",     "Op2",      "Txt_T90", "Txt_E90", "Text1", "T1(0)",
                           "T1(10)",  "T1(14)",   "Label1(11)", "Label3", "Lab_wfds",
                           "Label4",  "Labzn(11)", "Lab1(4)", "Label2"};
    for (const char* name : names) {
        const QWidget* w = QString(name) == "Form1" ? form.get() : form->findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->objectName(), name);
    }
    EXPECT_EQ(form->findChild<QLabel*>("Labzn(11)")->text(), QString::fromUtf8("1100℃"));
    EXPECT_EQ(button(Op_S(8))->text(), "Pt100");
    EXPECT_EQ(form->findChild<QGroupBox*>("Fr90")->title(), QString::fromUtf8("90国际温标"));
}

TEST_F(Window, KeystrokesReachTheModelAndItsResultsShow) {
    click(button(Op_S(2)));
    EXPECT_EQ(form->model().sensor(), 2);
    focus(box(Txt_T90));
    type(box(Txt_T90), "00");
    QTest::keyClick(box(Txt_T90), Qt::Key_Home);
    type(box(Txt_T90), "1");  // "100": typed at the start, the cursor stays after it
    EXPECT_EQ(box(Txt_T90)->text(), "100");
    EXPECT_EQ(box(Txt_T90)->cursorPosition(), 1);
    EXPECT_EQ(box(Txt_E90)->text(), " 4.09623");
    EXPECT_EQ(box(Text1)->text(), "41.37");
    EXPECT_EQ(form->model().text(Txt_E90), " 4.09623");
    // Undo is the box's own: it takes back the last keystroke, and the model follows.
    QTest::keyClick(box(Txt_T90), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box(Txt_T90)->text(), "00");
    EXPECT_EQ(box(Txt_E90)->text(), " 0");

    QTest::keyClick(box(Txt_T90), Qt::Key_End);
    type(box(Txt_T90), "2000");  // "002000": out of range at the last key: the message, the EMF emptied
    EXPECT_EQ(messages.take().size(), 1u);
    EXPECT_EQ(box(Txt_E90)->text(), "");
}

// A text read only in part is outlined in red and named in the status line; the box itself
// keeps its text, colours and tool tip, and the mark goes once the text is a number.
TEST_F(Window, ATextReadOnlyInPartIsOutlinedAndNamed) {
    click(button(Op_S(2)));
    focus(box(Txt_T90));
    const QPalette palette = box(Txt_T90)->palette();
    const QString tip = box(Txt_T90)->toolTip();
    QWidget* outline = form->reading_outline(Txt_T90);
    ASSERT_NE(outline, nullptr);
    EXPECT_FALSE(outline->isVisible());
    type(box(Txt_T90), "3,26");
    EXPECT_EQ(box(Txt_E90)->text(), " .11857");  // still the leading number, 3 degC
    EXPECT_TRUE(outline->isVisible());
    EXPECT_TRUE(outline->geometry().contains(box(Txt_T90)->geometry()));
    EXPECT_EQ(form->status_line()->text(), QString::fromUtf8("只读取了 3，其余文字未读"));
    EXPECT_EQ(box(Txt_T90)->text(), "3,26");
    EXPECT_EQ(box(Txt_T90)->palette(), palette);
    EXPECT_EQ(box(Txt_T90)->toolTip(), tip);
    // The ring shows around the box on screen.
    const QImage shot = form->grab().toImage();
    const QPoint corner = box(Txt_T90)->mapTo(form.get(), QPoint(-1, -1));
    EXPECT_EQ(shot.pixelColor(corner), QColor(0xd0, 0x00, 0x00));
    retype(box(Txt_T90), "3.26");
    EXPECT_FALSE(outline->isVisible());
    EXPECT_EQ(form->status_line()->text(), "");
    EXPECT_EQ(form->reading_outline(Text1), nullptr);  // results are always numbers
}

TEST_F(Window, FocusMovesReachTheModel) {
    struct Case {
        Control control;
        int flag_after;
    };
    const Case cases[] = {{Txt_T90, 1}, {Txt_E90, 2}, {T1(12), 3}, {T1(2), 4}, {T1(0), 4},
                          {Op1, 4},     {Text1, 4}};
    for (const Case& c : cases) {
        focus(form->widget(c.control));
        EXPECT_EQ(form->model().foc_flag(), c.flag_after) << form::name(c.control);
    }
    focus(box(Txt_T90));
    box(Text1)->setText("5.4");
    focus(button(Op1));  // Op1_GotFocus empties the differential value
    EXPECT_EQ(box(Text1)->text(), "");
}

TEST_F(Window, ActivationChangesAreNotFocusMoves) {
    focus(box(Txt_E90));
    // A modal box opening and closing moves the focus with ActiveWindowFocusReason.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(box(Txt_E90), &out);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(box(Txt_T90), &in);
    EXPECT_EQ(form->model().foc_flag(), 2);
    box(Text1)->setText("1");
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(box(Txt_T90), &popup);
    EXPECT_EQ(box(Text1)->text(), "1");
}

TEST_F(Window, TabOrderFollowsTabIndices) {
    const char* expected[] = {
        "T1(0)",  "T1(1)",   "T1(2)",  "T1(12)",  "Op1",     "Op2",     "T1(3)",   "T1(4)",
        "T1(5)",  "T1(6)",   "T1(7)",  "T1(8)",   "T1(9)",   "T1(10)",  "T1(13)",  "T1(14)",
        "Txt_T90", "Txt_E90", "Op_S(1)", "Op_S(2)", "Op_S(0)", "Text1",  "Op_S(4)", "Op_S(5)",
        "Op_S(6)", "Op_S(3)", "Op_S(7)", "Op_S(8)", "T1(0)"};
    QWidget* w = box(T1(0));
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
        EXPECT_EQ(w->objectName().toStdString(), expected[i]) << "step " << i;
    }
}

TEST_F(Window, ClickingTheFocusedSensorButtonRunsNoHandler) {
    click(button(Op_S(2)));
    focus(box(Txt_T90));
    type(box(Txt_T90), "100");
    click(button(Op_S(2)));  // takes the focus: reset
    EXPECT_EQ(box(Txt_T90)->text(), "");
    focus(box(T1(0)));
    click(button(Op_S(2)));
    box(Txt_T90)->setText("100");
    click(button(Op_S(2)));  // already has the focus: no handler
    EXPECT_EQ(box(Txt_T90)->text(), "100");
}

TEST_F(Window, TabEntersTheSensorGroupAtTheSelectedButton) {
    const auto press = [&](QWidget* from, Qt::Key key) {
        focus(from);
        QTest::keyClick(from, key);
        QCoreApplication::processEvents();
        return QApplication::focusWidget()->objectName();
    };
    // Before any sensor button has had the focus, Qt would stop at the group's first button in
    // the chain, B, and set B's prompts while S stays selected.
    EXPECT_EQ(press(box(Txt_E90), Qt::Key_Tab), "Op_S(0)");
    EXPECT_EQ(box(Txt_E90)->toolTip(), QString::fromUtf8(form::kSensorTexts[0].emf_prompt));
    EXPECT_TRUE(button(Op_S(0))->isChecked());

    // The group is one tab stop at its selected button, in that button's place in the order.
    click(button(Op_S(5)));
    EXPECT_EQ(press(box(Txt_E90), Qt::Key_Tab), "Text1");
    EXPECT_EQ(press(box(Text1), Qt::Key_Tab), "Op_S(5)");
    EXPECT_EQ(press(button(Op_S(5)), Qt::Key_Tab), "T1(0)");
    click(button(Op_S(2)));
    EXPECT_EQ(press(box(Text1), Qt::Key_Backtab), "Op_S(2)");
    EXPECT_EQ(box(Txt_T90)->toolTip(), QString::fromUtf8(form::kSensorTexts[2].temperature_prompt));
}

TEST_F(Window, Pt100DisablesTheEmfFieldOnTheButtonFace) {
    click(button(Op_S(8)));
    focus(box(Txt_T90));
    type(box(Txt_T90), "100");
    EXPECT_FALSE(box(Txt_E90)->isEnabled());
    EXPECT_EQ(box(Txt_E90)->text(), " 138.5055");
    EXPECT_EQ(form->label(Label1_11)->text(), QString::fromUtf8("Ω"));
    const QPalette& p = box(Txt_E90)->palette();
    EXPECT_EQ(p.color(QPalette::Disabled, QPalette::Base),
              QApplication::palette().color(QPalette::Button));
    click(button(Op_S(2)));
    EXPECT_TRUE(box(Txt_E90)->isEnabled());
    EXPECT_EQ(form->label(Label1_11)->text(), "mV");
}

TEST_F(Window, MiddlePointButtonsSelectInTheModel) {
    click(button(Op2));
    EXPECT_EQ(form->model().middle_point(), form::MiddlePoint::Antimony);
    click(button(Op1));
    EXPECT_EQ(form->model().middle_point(), form::MiddlePoint::Aluminium);
}

TEST_F(Window, TheTitleScrollsWithTheTimer) {
    EXPECT_EQ(form->Timer1().interval(), 300);
    form->Timer1().start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->model().timer_coun() >= 1; }, 10000));
    form->Timer1().stop();
    EXPECT_EQ(form->windowTitle().toStdString(), form->model().title());
}

TEST_F(Window, RendersOffscreenInUse) {
    // An antimony calibration and a type K conversion, as in the README's picture.
    click(button(Op2));
    retype(box(T1(0)), "3.45689");
    retype(box(T1(1)), "5.5628");
    retype(box(T1(2)), "10.5848");
    retype(box(T1(12)), "1000");
    click(button(Op_S(2)));
    retype(box(Txt_T90), "100");
    form->model().Timer1_Timer();
    const QPixmap shot = form->grab();
    EXPECT_EQ(shot.size(), form->size());
    const QImage image = form->widget(form::controls::Window)->grab().toImage();
    // Not a blank picture: the etched rectangle's line stands out from the background.
    EXPECT_NE(image.pixel(16, 4), image.pixel(16, 8));
    EXPECT_EQ(box(Txt_E90)->text(), " 4.09623");
    EXPECT_EQ(box(T1(3))->text(), " 2.333040049");
    EXPECT_EQ(form->windowIcon().availableSizes().value(0), QSize(64, 58));
    if (const QByteArray path = qgetenv("ITS90_SCREENSHOT"); !path.isEmpty()) shot.save(path);
}

// The window takes the decimal separator of the user's locale for the differential value.
TEST(WindowLocale, ACommaLocaleShowsACommaInTheDifferentialValue) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no de_DE.UTF-8 locale on this machine";
    }
    EXPECT_EQ(locale_decimal_separator(), ",");
    form::RecordingMessageBox messages;
    MainWindow window(messages);
    std::setlocale(LC_NUMERIC, before.c_str());
    window.show();
    window.text_box(Txt_T90)->setFocus(Qt::TabFocusReason);
    window.model().got_focus(Txt_T90);
    window.text_box(Txt_T90)->setText("0");
    EXPECT_EQ(window.text_box(Text1)->text(), "5,4");
    EXPECT_EQ(window.text_box(Txt_E90)->text(), " 0");
}

// Qt's own dialogs speak Chinese whatever the machine's locale: their buttons, the file
// dialog's words and its dates ("12月9日", not "9 Dec"); the window's numbers keep '.'.
TEST(QtDialogs, InChinese) {
    EXPECT_EQ(QLocale().language(), QLocale::Chinese);
    EXPECT_TRUE(QLocale().toString(QDate(2026, 12, 9), QLocale::ShortFormat).contains("12")) << "a Chinese date";
    EXPECT_FALSE(QLocale().toString(QDate(2026, 12, 9), QLocale::LongFormat).contains("Dec"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QString::fromUtf8("确定"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QString::fromUtf8("查找范围："));
    // Words Debian's catalog lacks: the file dialog's type column.
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), QString::fromUtf8("文件夹"));
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "%1 File"), QString::fromUtf8("%1 文件"));
}

TEST(ModalMessageBox, ShowsTheTextWithABlankTitleAndOneButton) {
    ModalMessageBox box;
    QString text, title;
    int buttons = 0;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        text = shown->text();
        title = shown->windowTitle();
        buttons = static_cast<int>(shown->buttons().size());
        shown->button(QMessageBox::Ok)->click();
    });
    box.show_range_message("输入的电势值超出计算范围!");
    EXPECT_EQ(text, QString::fromUtf8("输入的电势值超出计算范围!"));
    EXPECT_EQ(title.trimmed(), "");
    EXPECT_EQ(buttons, 1);
}

}  // namespace
}  // namespace its90::ui::testing
