// Temperature typed into Txt_T90: output, differential value, range messages.
#include "window_fixture.h"

namespace its90::ui::testing {
namespace {

class TemperatureEntry : public WindowTest {
protected:
    // Selects a sensor, puts the focus in Txt_T90 and types the text.
    void enter(int sensor, const QString& input) {
        click_sensor(sensor);
        focus(form->Txt_T90);
        type(form->Txt_T90, input);
    }
};

TEST_F(TemperatureEntry, WorkedValues) {
    struct Case {
        int sensor;
        const char* input;
        const char* emf;
        const char* differential;
    };
    const Case cases[] = {
        {0, "0", " 0", "5.4"},              {2, "100", " 4.09623", "41.37"},
        {6, "-100", "-3.37858", "28.39"},   {1, "10", "-.00188", "-0.13"},
        {8, "0", " 100", "0.39"},           {8, "100", " 138.5055", "0.38"},
        {0, "1768.1", " 18.69354", ""},     {0, "-50", "-.23556", ""},
        {1, "0", " 0", ""},                 {1, "1", "-.00024", "-0.24"},
        {1, "0.1", "-2E-05", ""},           {0, "1,5", " .00542", "5.43"},
        {0, " 1 5", " .0838", "5.77"},     {2, "abc", " 0", "39.45"},
        {2, "-", " 0", "39.45"},            {2, ".", " 0", "39.45"},
        {7, "1768.1", " 21.1027", ""},      {8, "850", " 390.481125", ""},
        {8, "-200", " 18.52008", ""},
    };
    for (const Case& c : cases) {
        enter(c.sensor, c.input);
        EXPECT_EQ(text(form->Txt_E90), c.emf) << c.sensor << " " << c.input;
        EXPECT_EQ(text(form->Text1), c.differential) << c.sensor << " " << c.input;
        EXPECT_EQ(take_messages(), QStringList()) << c.sensor << " " << c.input;
    }
}

TEST_F(TemperatureEntry, DifferentialWindowStartsHalfADegreeInside) {
    enter(0, "-49.5");
    EXPECT_NE(text(form->Text1), "");
    enter(1, "0.5");  // uses the EMFs at 1 and 0 degC
    EXPECT_EQ(text(form->Text1), "-0.24");
}

TEST_F(TemperatureEntry, OutOfRangeShowsTheRowMessageOnce) {
    struct Case {
        int sensor;
        const char* input;
        QString message;
    };
    const Case cases[] = {
        {0, "1768.11", kMsgS},
        {7, "1769", kMsgR},
        {1, "-0.1", QString::fromUtf8("输入温度值不在本程序计算范围0到1820℃内!")},
        {8, "850.5", QString::fromUtf8("TE输入温度值不在本程序计算范围-200到850℃内!")},
        {4, "-210.5", QString::fromUtf8("输入温度值不在本程序计算范围-210到1200℃内!")},
        // Beyond the single and the double range: rejected like any other number.
        {2, "1e39", QString::fromUtf8("输入温度值不在本程序计算范围-270到1372℃内!")},
        {2, "1e400", QString::fromUtf8("输入温度值不在本程序计算范围-270到1372℃内!")},
        {6, "-1e400", QString::fromUtf8("输入温度值不在本程序计算范围-270到400℃内!")},
    };
    for (const Case& c : cases) {
        enter(c.sensor, "1");
        ASSERT_NE(text(form->Text1), "") << "needs a differential value to clear";
        form->Txt_T90->clear();
        take_messages();
        paste(form->Txt_T90, c.input);
        EXPECT_EQ(take_messages(), QStringList{c.message}) << c.input;
        EXPECT_EQ(text(form->Txt_E90), "") << c.input;
        EXPECT_EQ(text(form->Text1), "") << c.input << ": no stale differential value";
        EXPECT_EQ(text(form->Txt_T90), c.input);
    }
}

TEST_F(TemperatureEntry, Typing2000KeyByKeyShowsOneMessageAtTheFourthKey) {
    click_sensor(0);
    focus(form->Txt_T90);
    type(form->Txt_T90, "200");
    EXPECT_EQ(take_messages(), QStringList());
    EXPECT_EQ(text(form->Txt_E90), " 1.44078");
    type(form->Txt_T90, "0");
    EXPECT_EQ(take_messages(), QStringList{kMsgS});
    EXPECT_EQ(text(form->Txt_E90), "");
}

TEST_F(TemperatureEntry, EmptyFieldConvertsAsZero) {
    enter(2, "5");
    form->Txt_T90->clear();
    EXPECT_EQ(text(form->Txt_E90), " 0");
    EXPECT_EQ(text(form->Text1), "39.45");
}

TEST_F(TemperatureEntry, OtherFlagsWriteNothing) {
    for (int flag : {0, 2, 3, 4}) {
        form->foc_flag = static_cast<std::int16_t>(flag);
        form->Txt_E90->setText("7");
        form->Text1->setText("8");
        form->Txt_T90->setText(QString::number(100 + flag));
        EXPECT_EQ(text(form->Text1), "8") << flag;
        EXPECT_EQ(take_messages(), QStringList());
    }
    form->foc_flag = 1;
    form->Txt_T90->setText("1e400");
    EXPECT_EQ(take_messages(), QStringList{kMsgS});
}

}  // namespace
}  // namespace its90::ui::testing
