// A sensor button taking the focus resets the conversion panel for that sensor.
#include <QApplication>
#include <QLabel>
#include <QTest>

#include "entry_tables.h"
#include "window_fixture.h"

namespace its90::ui::testing {
namespace {

class SensorSelection : public WindowTest {};

TEST_F(SensorSelection, ResetDependsOnTheFieldEditedLast) {
    struct Case {
        int foc_flag;
        int selected;  // the sensor selected while the handler runs
        const char* temperature_after;
    };
    const Case cases[] = {
        {0, 2, ""}, {1, 2, ""}, {2, 2, " 0"}, {3, 2, ""}, {4, 2, ""},
        {1, 8, ""}, {2, 8, ""}, {2, 1, " 0"},
    };
    for (const Case& c : cases) {
        form->Op_S[c.selected]->setChecked(true);
        form->foc_flag = 0;
        form->Txt_T90->setText("123");
        form->Txt_E90->setText("4.5");
        form->Text1->setText("6.7");
        form->foc_flag = static_cast<std::int16_t>(c.foc_flag);
        form->Op_S_GotFocus(static_cast<std::int16_t>(c.selected));
        EXPECT_EQ(text(form->Txt_T90), c.temperature_after) << c.foc_flag << "/" << c.selected;
        EXPECT_EQ(text(form->Txt_E90), "") << c.foc_flag << "/" << c.selected;
        EXPECT_EQ(text(form->Text1), "") << c.foc_flag << "/" << c.selected;
        EXPECT_EQ(form->foc_flag, c.foc_flag);
        EXPECT_EQ(take_messages(), QStringList());
    }
}

TEST_F(SensorSelection, SetsPromptsUnitsAndTheEmfField) {
    const QColor window_background = QApplication::palette().color(QPalette::Base);
    const QColor button_face = QApplication::palette().color(QPalette::Button);
    for (int index : {8, 0, 1, 2, 3, 4, 5, 6, 7, 8, 2}) {
        const QString emf_prompt_before = form->Txt_E90->toolTip();
        click_sensor(index);
        EXPECT_TRUE(form->Op_S[index]->isChecked()) << index;
        EXPECT_EQ(form->Txt_T90->toolTip(), QString::fromUtf8(kSensors[index].temperature_prompt));
        const bool pt100 = index == kPt100;
        EXPECT_EQ(form->Txt_E90->toolTip(),
                  pt100 ? emf_prompt_before : QString::fromUtf8(kSensors[index].emf_prompt));
        EXPECT_EQ(form->Txt_E90->isEnabled(), !pt100) << index;
        EXPECT_EQ(form->Txt_E90->palette().color(QPalette::Base),
                  pt100 ? button_face : window_background);
        EXPECT_EQ(form->Label1_11->text(), pt100 ? QString::fromUtf8("Ω") : "mV");
        EXPECT_EQ(form->Label3->text(), QString::fromUtf8(pt100 ? "Ω/℃" : "μV/℃"));
        EXPECT_EQ(form->Lab_wfds->text(),
                  QString::fromUtf8(pt100 ? "微　 分　 电 　阻:" : "微　 分　 电 　势:"));
        EXPECT_EQ(form->Lab_wfds->text().size(), 11);
    }
    EXPECT_EQ(QString::fromUtf8(kSensors[0].temperature_prompt),
              QString::fromUtf8(kSensors[7].temperature_prompt));
}

TEST_F(SensorSelection, ClickingTheFocusedButtonKeepsTheFields) {
    click_sensor(2);
    focus(form->Txt_T90);
    type(form->Txt_T90, "100");
    click_sensor(2);  // takes the focus: reset
    EXPECT_EQ(text(form->Txt_T90), "");
    form->foc_flag = 0;
    form->Txt_T90->setText("100");
    click_sensor(2);  // already has the focus: no handler
    EXPECT_EQ(text(form->Txt_T90), "100");
}

TEST_F(SensorSelection, TabIntoTheGroupResetsEvenForTheSameSensor) {
    focus(form->Txt_E90);
    type(form->Txt_E90, "1");
    EXPECT_EQ(text(form->Txt_T90), " 146.3058");
    focus(form->Op_S[0]);
    EXPECT_EQ(text(form->Txt_T90), " 0");
    EXPECT_EQ(text(form->Txt_E90), "");
    EXPECT_TRUE(form->Op_S[0]->isChecked());
}

TEST_F(SensorSelection, TabEntersTheGroupAtTheSelectedButton) {
    const auto press = [&](QWidget* from, Qt::Key key) {
        focus(from);
        QTest::keyClick(from, key);
        QCoreApplication::processEvents();
        return QApplication::focusWidget()->objectName();
    };
    // Before any sensor button has had the focus, Qt would stop at the group's first button in
    // the chain, B, and set B's prompts while S stays selected.
    EXPECT_EQ(press(form->Txt_E90, Qt::Key_Tab), "Op_S(0)");
    EXPECT_EQ(form->Txt_E90->toolTip(), QString::fromUtf8(kSensors[0].emf_prompt));
    EXPECT_TRUE(form->Op_S[0]->isChecked());

    // The group is one tab stop at its selected button, in that button's place in the order.
    click_sensor(5);
    EXPECT_EQ(press(form->Txt_E90, Qt::Key_Tab), "Text1");
    EXPECT_EQ(press(form->Text1, Qt::Key_Tab), "Op_S(5)");
    EXPECT_EQ(press(form->Op_S[5], Qt::Key_Tab), "T1(0)");
    click_sensor(2);
    EXPECT_EQ(press(form->Text1, Qt::Key_Backtab), "Op_S(2)");
    EXPECT_EQ(form->Txt_T90->toolTip(), QString::fromUtf8(kSensors[2].temperature_prompt));
}

TEST_F(SensorSelection, PromptsStayInitialUntilAButtonTakesTheFocus) {
    focus(form->Txt_T90);
    type(form->Txt_T90, "1");
    EXPECT_EQ(form->Txt_T90->toolTip(), QString::fromUtf8("在此输入温度值(-50到1768.1℃)并回车。"));
}

}  // namespace
}  // namespace its90::ui::testing
