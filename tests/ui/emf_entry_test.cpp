// EMF typed into Txt_E90: temperature, range messages and rejected EMFs.
#include "window_fixture.h"

namespace its90::ui::testing {
namespace {

class EmfEntry : public WindowTest {};

TEST_F(EmfEntry, ConvertsOrRejects) {
    const QString none;
    const QString msgSRow = QString::fromUtf8("输入的电势值不在本程序计算范围-0.236到18.693mV内!");
    const QString msgBRow = QString::fromUtf8("输入的电势值不在本程序计算范围0.291到13.820mV内!");
    const QString msgJRow = QString::fromUtf8("输入的电势值不在本程序计算范围-8.095到69.553mV内!");
    const QString msgJFunction = QString::fromUtf8("输入电势值不在本程序计算范围-8.059到 69.553mV内!");
    const QString msgKRow = QString::fromUtf8("输入的电势值不在本程序计算范围-5.891到54.886mV内!");
    struct Case {
        int sensor;
        const char* input;
        const char* temperature;
        QString message;
        const char* emf_after;  // nullptr: keeps the input
    };
    const Case cases[] = {
        {0, "18.693", " 1768.046", none, nullptr},
        {0, "18.694", " 0", msgSRow, ""},
        {0, "-0.236", "-50.092", none, nullptr},
        {2, "4.096", " 99.9633", none, nullptr},
        {2, "0.01", " .2508", none, nullptr},
        {1, "0", " 0", none, nullptr},
        {1, "1", " 449.5577", none, nullptr},
        {1, "0.1", " 0", msgBRow, ""},    // no formula below 0.291 mV: a rejected EMF
        {1, "-0.001", " 0", msgBRow, ""},
        {4, "-8.07", " 0", msgJFunction, ""},  // the inverse function rejects it: emptied
        {4, "-8.1", " 0", msgJRow, ""},
        {4, "-8.059", "-208.1276", none, nullptr},
        {5, "abc", " 0", none, nullptr},
        {2, "1e400", " 0", msgKRow, ""},
        {2, "-1e39", " 0", msgKRow, ""},
    };
    for (const Case& c : cases) {
        click_sensor(c.sensor);
        focus(form->Txt_E90);
        take_messages();
        paste(form->Txt_E90, c.input);
        const QStringList expected = c.message.isEmpty() ? QStringList() : QStringList{c.message};
        EXPECT_EQ(take_messages(), expected) << c.sensor << " " << c.input;
        EXPECT_EQ(text(form->Txt_T90), c.temperature) << c.sensor << " " << c.input;
        EXPECT_EQ(text(form->Txt_E90), c.emf_after ? c.emf_after : c.input) << c.sensor << " " << c.input;
    }
}

TEST_F(EmfEntry, EmptyTextConvertsAsZeroForEveryThermocouple) {
    for (int sensor = 0; sensor < 8; ++sensor) {
        click_sensor(sensor);
        focus(form->Txt_E90);
        type(form->Txt_E90, "1");
        form->Txt_E90->clear();
        EXPECT_EQ(text(form->Txt_T90), " 0") << sensor;
        EXPECT_EQ(take_messages(), QStringList()) << sensor;
    }
}

TEST_F(EmfEntry, WritingTheTemperatureDoesNotConvertItBack) {
    click_sensor(2);
    focus(form->Txt_E90);
    form->Text1->setText("x");
    type(form->Txt_E90, "10");
    EXPECT_EQ(text(form->Txt_T90), " 246.222");
    EXPECT_EQ(text(form->Txt_E90), "10");
    EXPECT_EQ(text(form->Text1), "x");
}

TEST_F(EmfEntry, OtherFlagsAndPt100WriteNothing) {
    form->foc_flag = 1;
    form->Txt_E90->setText("5");
    EXPECT_EQ(text(form->Txt_T90), "");
    click_sensor(8);
    form->foc_flag = 2;
    form->Txt_E90->setText("5");
    EXPECT_EQ(text(form->Txt_T90), "");
    EXPECT_EQ(take_messages(), QStringList());
}

}  // namespace
}  // namespace its90::ui::testing
