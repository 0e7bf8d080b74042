// Start-up state, the focus protocol, the tab order, the geometry and the title scroll.
#include <QApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include "form_layout.h"
#include "system_colours.h"
#include "window_fixture.h"

namespace its90::ui::testing {
namespace {

class Window : public WindowTest {};

TEST_F(Window, StartsWithFocusInZincBoxAndInitialState) {
    EXPECT_TRUE(form->T1[0]->hasFocus());
    EXPECT_EQ(form->foc_flag, 0);
    EXPECT_EQ(form->timer_coun, 0);
    EXPECT_TRUE(form->Op_S[0]->isChecked());
    EXPECT_TRUE(form->Op1->isChecked());
    EXPECT_TRUE(form->Txt_E90->isEnabled());
    EXPECT_EQ(form->windowTitle().trimmed(), "");  // reads blank until the first tick
    EXPECT_EQ(form->Label1_11->text(), "mV");
    EXPECT_EQ(form->Label3->text(), QString::fromUtf8("μV/℃"));
    EXPECT_EQ(form->Lab_wfds->text(), QString::fromUtf8("微　 分　 电 　势:"));
    EXPECT_EQ(form->Txt_T90->toolTip(), QString::fromUtf8("在此输入温度值(-50到1768.1℃)并回车。"));
    EXPECT_EQ(form->Txt_E90->toolTip(), QString::fromUtf8("在此输入电势值(-0.236到18.693mV)并回车。"));
    EXPECT_EQ(form->T1[12]->toolTip(), QString::fromUtf8("在此输入温度值(-50到1664.5℃)并回车。"));
    for (QLineEdit* edit : form->findChildren<QLineEdit*>()) EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(form->T1[11], nullptr);
    EXPECT_EQ(form->width(), 458);
    EXPECT_EQ(form->height(), 496);
}

TEST_F(Window, FocusProtocol) {
    struct Case {
        const char* control;
        int flag_before;
        int flag_after;
        bool empties_text1;
    };
    const Case cases[] = {
        {"Txt_T90", 0, 1, true}, {"Txt_E90", 1, 2, false}, {"T1(12)", 2, 3, false},
        {"T1(2)", 3, 4, false},  {"T1(0)", 4, 4, false},   {"T1(1)", 2, 2, false},
        {"T1(5)", 3, 3, false},  {"Op1", 2, 2, true},      {"Op2", 2, 2, false},
        {"Text1", 1, 1, false},
    };
    for (const Case& c : cases) {
        focus(form->T1[0]);
        form->foc_flag = static_cast<std::int16_t>(c.flag_before);
        form->Text1->setText("5.4");
        focus(form->findChild<QWidget*>(c.control));
        EXPECT_EQ(form->foc_flag, c.flag_after) << c.control;
        EXPECT_EQ(form->Text1->text().isEmpty(), c.empties_text1) << c.control;
    }
}

TEST_F(Window, LeavingTheTemperatureFieldEmptiesTheDifferential) {
    focus(form->Txt_T90);
    type(form->Txt_T90, "100");
    EXPECT_EQ(text(form->Text1), "7.33");
    focus(form->Txt_E90);
    EXPECT_EQ(text(form->Text1), "");
    EXPECT_EQ(text(form->Txt_T90), "100");
    EXPECT_EQ(text(form->Txt_E90), " .64591");
    EXPECT_EQ(form->foc_flag, 2);
}

TEST_F(Window, ActivationChangesAreNotFocusMoves) {
    focus(form->Txt_E90);
    // A modal box opening and closing moves the focus with ActiveWindowFocusReason.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(form->Txt_E90, &out);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(form->Txt_T90, &in);
    EXPECT_EQ(form->foc_flag, 2);
    form->Text1->setText("1");
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(form->Txt_T90, &popup);
    EXPECT_EQ(text(form->Text1), "1");
}

TEST_F(Window, TabOrderFollowsTabIndices) {
    const char* expected[] = {
        "T1(0)",  "T1(1)",   "T1(2)",  "T1(12)",  "Op1",     "Op2",     "T1(3)",   "T1(4)",
        "T1(5)",  "T1(6)",   "T1(7)",  "T1(8)",   "T1(9)",   "T1(10)",  "T1(13)",  "T1(14)",
        "Txt_T90", "Txt_E90", "Op_S(1)", "Op_S(2)", "Op_S(0)", "Text1",  "Op_S(4)", "Op_S(5)",
        "Op_S(6)", "Op_S(3)", "Op_S(7)", "Op_S(8)", "T1(0)"};
    QWidget* w = form->T1[0];
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
        EXPECT_EQ(w->objectName().toStdString(), expected[i]) << "step " << i;
    }
}

TEST_F(Window, EveryControlStandsWhereTheLayoutTablePutsIt) {
    for (const ControlSpec& control : form1_controls()) {
        const QWidget* w = form->findChild<QWidget*>(QString::fromStdString(control.name));
        ASSERT_NE(w, nullptr) << control.name;
        EXPECT_EQ(w->parentWidget()->objectName().toStdString(), control.parent) << control.name;
        EXPECT_EQ(w->geometry(), QRect(control.left / 15, control.top / 15, control.width / 15,
                                       control.height / 15))
            << control.name;
        EXPECT_EQ(control.left % 15 + control.top % 15 + control.width % 15 + control.height % 15, 0)
            << control.name << " is not on whole pixels";
    }
    EXPECT_EQ(form->findChild<QLabel*>("Labzn(11)")->text(), QString::fromUtf8("1100℃"));
    EXPECT_EQ(form->T1[14]->geometry(), QRect(314, 233, 90, 25));
    EXPECT_EQ(form->Op_S[8]->text(), "Pt100");
    EXPECT_EQ(form->findChild<QGroupBox*>("Fr90")->title(), QString::fromUtf8("90国际温标"));
}

TEST_F(Window, FontsOfEachGroup) {
    struct Case {
        const char* control;
        const char* family;
        double points;
        bool bold;
    };
    const Case cases[] = {
        {"Form1", "宋体", 14.25, false},   {"Op_S(0)", "宋体", 14.25, false},
        {"Op_S(8)", "宋体", 10.5, false},  {"Txt_T90", "宋体", 12, false},
        {"T1(14)", "宋体", 12, false},     {"F1", "宋体", 9, false},
        {"Fr90", "隶书", 14.25, true},     {"Label4", "隶书", 14.25, true},
        {"Lab1(0)", "隶书", 15, false},    {"Label3", "宋体", 12, false},
    };
    for (const Case& c : cases) {
        const QWidget* w = c.control == std::string_view("Form1")
                               ? form.get()
                               : form->findChild<QWidget*>(c.control);
        ASSERT_NE(w, nullptr) << c.control;
        EXPECT_EQ(w->font().family(), QString::fromUtf8(c.family)) << c.control;
        EXPECT_EQ(w->font().pointSizeF(), c.points) << c.control;
        EXPECT_EQ(w->font().bold(), c.bold) << c.control;
    }
    // Linux has neither face: they resolve to the mapped ones where those are installed.
    const struct {
        const char* name;
        const char* face;
    } mapped[] = {{"Txt_T90", "Noto Serif CJK SC"}, {"Lab1(0)", "AR PL UKai CN"}};
    for (const auto& m : mapped) {
        if (!QFontDatabase::hasFamily(m.face)) continue;
        EXPECT_EQ(QFontInfo(form->findChild<QWidget*>(m.name)->font()).family(), m.face) << m.name;
    }
}

TEST_F(Window, ColoursOfEachGroup) {
    const QPalette app = QApplication::palette();
    struct Case {
        const char* control;
        QColor background;
    };
    const Case cases[] = {
        {"Fr90", system_colour(kScrollBar, app)},      {"Op_S(3)", system_colour(kScrollBar, app)},
        {"Label2", system_colour(kScrollBar, app)},    {"Label4", system_colour(kInactiveBorder, app)},
        {"Text1", app.color(QPalette::Button)},        {"T1(13)", app.color(QPalette::Midlight)},
        {"T1(3)", app.color(QPalette::Midlight)},      {"T1(12)", app.color(QPalette::Base)},
        {"Txt_T90", app.color(QPalette::Base)},
    };
    for (const Case& c : cases) {
        const QWidget* w = form->findChild<QWidget*>(c.control);
        const QPalette::ColorRole role =
            qobject_cast<const QLineEdit*>(w) ? QPalette::Base : QPalette::Window;
        EXPECT_EQ(w->palette().color(role), c.background) << c.control;
    }
    EXPECT_EQ(form->T1[14]->palette().color(QPalette::Text), system_colour(kDesktop, app));
    EXPECT_EQ(form->palette().color(QPalette::Window), system_colour(kScrollBar, app));
}

TEST_F(Window, TitleScrollsOneCharacterPerTick) {
    ASSERT_EQ(Form1::kTitle.size(), 27);
    form->Timer1_Timer();
    EXPECT_EQ(form->windowTitle(), Form1::kTitle.mid(1) + Form1::kTitle.left(1));
    EXPECT_EQ(form->timer_coun, 1);
    for (int i = 2; i <= 27; ++i) form->Timer1_Timer();
    EXPECT_EQ(form->windowTitle(), Form1::kTitle);
    EXPECT_EQ(form->timer_coun, 0);
    form->Timer1_Timer();
    EXPECT_EQ(form->windowTitle(), Form1::kTitle.mid(1) + Form1::kTitle.left(1));
    EXPECT_EQ(form->Timer1.interval(), 300);
}

TEST_F(Window, RendersOffscreenInUse) {
    // A calibration and a type K conversion, as in the README's picture.
    retype(form->T1[0], "3.45123");
    retype(form->T1[1], "5.87211");
    retype(form->T1[2], "10.5891");
    retype(form->T1[12], "1000");
    click_sensor(2);
    retype(form->Txt_T90, "100");
    form->Timer1_Timer();
    const QPixmap shot = form->grab();
    EXPECT_EQ(shot.size(), QSize(458, 496));
    const QImage image = shot.toImage();
    // Not a blank picture: the etched rectangle's line stands out from the background.
    EXPECT_NE(image.pixel(16, 4), image.pixel(16, 8));
    EXPECT_EQ(text(form->Txt_E90), " 4.09623");
    EXPECT_EQ(form->windowIcon().availableSizes().value(0), QSize(64, 58));
    if (const QByteArray path = qgetenv("ITS90_SCREENSHOT"); !path.isEmpty()) shot.save(path);
}

}  // namespace
}  // namespace its90::ui::testing
