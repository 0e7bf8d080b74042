// The conversion panel: temperature entry, EMF entry and sensor selection.
#include "core/sensors.h"
#include "form/sensor_texts.h"
#include "tests/form/form_fixture.h"
#include "tests/doubles/recording_message_box.h"

namespace its90::form::testing {
namespace {

class TemperatureEntry : public FormTest {
protected:
    // Selects a sensor, puts the focus in Txt_T90 and types the text.
    void enter(int sensor, std::string_view input) {
        click_sensor(sensor);
        focus(Txt_T90);
        type(Txt_T90, input);
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
        {0, " 1 5", " .0838", "5.77"},      {2, "abc", " 0", "39.45"},
        {2, "-", " 0", "39.45"},            {2, ".", " 0", "39.45"},
        {7, "1768.1", " 21.1027", ""},      {8, "850", " 390.481125", ""},
        {8, "-200", " 18.52008", ""},       {0, "-49.5", "-.23357", "3.97"},
        {1, "0.5", "-.00012", "-0.24"},     // the EMFs at 1 and 0 degC
    };
    for (const Case& c : cases) {
        enter(c.sensor, c.input);
        EXPECT_EQ(text(Txt_E90), c.emf) << c.sensor << " " << c.input;
        EXPECT_EQ(text(Text1), c.differential) << c.sensor << " " << c.input;
        EXPECT_EQ(take_messages(), Messages()) << c.sensor << " " << c.input;
    }
}

TEST_F(TemperatureEntry, OutOfRangeShowsTheSensorsMessageOnce) {
    struct Case {
        int sensor;
        const char* input;
        std::string message;
    };
    const Case cases[] = {
        {0, "1768.11", kMsgS},
        {7, "1769", kMsgR},
        {1, "-0.1", "输入温度值不在本程序计算范围0到1820℃内!"},
        {8, "850.5", "TE输入温度值不在本程序计算范围-200到850℃内!"},
        {4, "-210.5", "输入温度值不在本程序计算范围-210到1200℃内!"},
        // Beyond the single and the double range: rejected like any other number.
        {2, "1e39", "输入温度值不在本程序计算范围-270到1372℃内!"},
        {2, "1e400", "输入温度值不在本程序计算范围-270到1372℃内!"},
        {6, "-1e400", "输入温度值不在本程序计算范围-270到400℃内!"},
    };
    for (const Case& c : cases) {
        enter(c.sensor, "1");
        ASSERT_NE(text(Text1), "") << "needs a differential value to clear";
        paste(Txt_T90, "");
        take_messages();
        paste(Txt_T90, c.input);
        EXPECT_EQ(take_messages(), Messages{c.message}) << c.input;
        EXPECT_EQ(text(Txt_E90), "") << c.input;
        EXPECT_EQ(text(Text1), "") << c.input << ": no stale differential value";
        EXPECT_EQ(text(Txt_T90), c.input);
    }
}

// A range message never stands in front of the result of an earlier value: the results are
// emptied before the box is shown, and the final texts are those the handlers always left.
TEST_F(TemperatureEntry, NoStaleResultBehindARangeMessage) {
    struct Case {
        int sensor;
        Control box;
        const char* valid;    // typed first: leaves a result
        const char* invalid;  // then typed on, key by key, until the box shows
        Control result;       // what must be empty while the box is up
        const char* final_result;
    };
    const Case cases[] = {
        {2, Txt_T90, "1000", "1e308", Txt_E90, ""},  // the box at "1e30"
        {0, Txt_T90, "1000", "10000", Txt_E90, ""},
        {2, Txt_E90, "41.27561", "4e3", Txt_T90, " 0"},
        {1, Txt_E90, "0.5", "5e9", Txt_T90, " 0"},
    };
    for (const Case& c : cases) {
        click_sensor(c.sensor);
        retype(c.box, c.valid);
        ASSERT_NE(text(c.result), "") << c.valid;
        take_messages();
        std::vector<std::vector<std::string>> behind;
        box.on_show = [&] { behind.push_back({text(c.result), text(Text1)}); };
        retype(c.box, c.invalid);
        box.on_show = nullptr;
        ASSERT_FALSE(behind.empty()) << c.invalid;
        for (const auto& shown : behind) {
            EXPECT_EQ(shown, (std::vector<std::string>{"", ""})) << c.valid << " then " << c.invalid;
        }
        EXPECT_EQ(text(c.result), c.final_result) << c.invalid;
    }
}

// The leading number is still what converts; the box says when that was not the whole text.
TEST_F(TemperatureEntry, ATextReadOnlyInPartIsNoted) {
    struct Case {
        int sensor;
        Control box;
        const char* typed;
        const char* note;
        const char* result;  // in the box the conversion writes
    };
    const Case cases[] = {
        {2, Txt_T90, "3,26", "只读取了 3，其余文字未读", " .11857"},
        {2, Txt_T90, "abc", "未读到数字，按 0 计算", " 0"},
        {2, Txt_T90, "3.26\n4.5", "只读取了 3.264，其余文字未读", " .12902"},
        {2, Txt_T90, "3.26", "", " .12886"},
        {2, Txt_T90, "", "", ""},
        {2, Txt_E90, "3,26", "只读取了 3，其余文字未读", " 73.5758"},
        {2, Txt_E90, " 3.26 ", "", " 79.8227"},
        {0, T1(0), "3.4x", "只读取了 3.4，其余文字未读", ""},
        {0, T1(12), "500℃", "只读取了 500，其余文字未读", ""},
    };
    for (const Case& c : cases) {
        click_sensor(c.sensor);
        retype(c.box, c.typed);
        EXPECT_EQ(form.reading_note(c.box), c.note) << c.typed;
        EXPECT_EQ(form.status(), c.note) << c.typed;
        if (c.box == Txt_T90) {
            EXPECT_EQ(text(Txt_E90), c.result) << c.typed;
        } else if (c.box == Txt_E90) {
            EXPECT_EQ(text(Txt_T90), c.result) << c.typed;
        }
        retype(c.box, "");
        EXPECT_EQ(form.status(), "") << "gone once the text is a number: " << c.typed;
    }
}

// Results the program writes are numbers whole; the status line follows the box changed last
// and falls back on another box that still has a note.
TEST_F(TemperatureEntry, TheStatusLineFollowsTheLatestNotedBox) {
    click_sensor(2);
    retype(Txt_E90, "4.09623");  // writes " 100" into Txt_T90
    EXPECT_EQ(form.reading_note(Txt_T90), "");
    retype(T1(0), "3,4");
    retype(T1(1), "5;8");
    EXPECT_EQ(form.status(), "只读取了 5，其余文字未读");
    retype(T1(1), "5.8");
    EXPECT_EQ(form.status(), "只读取了 3，其余文字未读");
    retype(T1(0), "3.4");
    EXPECT_EQ(form.status(), "");
}

TEST_F(TemperatureEntry, Typing2000KeyByKeyShowsOneMessageAtTheFourthKey) {
    click_sensor(0);
    focus(Txt_T90);
    type(Txt_T90, "200");
    EXPECT_EQ(take_messages(), Messages());
    EXPECT_EQ(text(Txt_E90), " 1.44078");
    type(Txt_T90, "0");
    EXPECT_EQ(take_messages(), Messages{kMsgS});
    EXPECT_EQ(text(Txt_E90), "");
}

TEST_F(TemperatureEntry, EmptyFieldConvertsAsZero) {
    enter(2, "5");
    paste(Txt_T90, "");
    EXPECT_EQ(text(Txt_E90), " 0");
    EXPECT_EQ(text(Text1), "39.45");
}

TEST_F(TemperatureEntry, TheDifferentialValueTakesTheGivenSeparator) {
    RecordingMessageBox german_box;
    Form1 german(german_box, ",");
    german.Form_Load();
    german.got_focus(Txt_T90);
    german.edit(Txt_T90, "0");
    EXPECT_EQ(german.text(Text1), "5,4");
    EXPECT_EQ(german.text(Txt_E90), " 0");  // the field forms always use '.'
    german.edit(Txt_T90, "1");
    EXPECT_EQ(german.text(Txt_E90), " .00542");
}

TEST_F(TemperatureEntry, OnlyItsOwnFocusConverts) {
    // foc_flag 0 after load, 2, 3 and 4: a new temperature writes nothing.
    for (Control last : {T1(0), Txt_E90, T1(12), T1(2)}) {
        focus(last);
        paste(Txt_E90, "");
        paste(Text1, "8");
        const std::string emf = text(Txt_E90);
        paste(Txt_T90, text(Txt_T90) + "1");
        EXPECT_EQ(text(Text1), "8") << name(last);
        EXPECT_EQ(text(Txt_E90), emf) << name(last);
        EXPECT_EQ(take_messages(), Messages());
    }
    focus(Txt_T90);
    paste(Txt_T90, "1e400");
    EXPECT_EQ(take_messages(), Messages{kMsgS});
}

class EmfEntry : public FormTest {};

TEST_F(EmfEntry, ConvertsOrRejects) {
    const std::string none;
    const std::string msgSRow = "输入的电势值不在本程序计算范围-0.236到18.693mV内!";
    const std::string msgBRow = "输入的电势值不在本程序计算范围0.291到13.820mV内!";
    const std::string msgJRow = "输入的电势值不在本程序计算范围-8.095到69.553mV内!";
    const std::string msgJFunction = "输入电势值不在本程序计算范围-8.059到 69.553mV内!";
    const std::string msgKRow = "输入的电势值不在本程序计算范围-5.891到54.886mV内!";
    struct Case {
        int sensor;
        const char* input;
        const char* temperature;
        std::string message;
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
        focus(Txt_E90);
        take_messages();
        paste(Txt_E90, c.input);
        const Messages expected = c.message.empty() ? Messages() : Messages{c.message};
        EXPECT_EQ(take_messages(), expected) << c.sensor << " " << c.input;
        EXPECT_EQ(text(Txt_T90), c.temperature) << c.sensor << " " << c.input;
        EXPECT_EQ(text(Txt_E90), c.emf_after ? c.emf_after : c.input) << c.sensor << " " << c.input;
    }
}

TEST_F(EmfEntry, EmptyTextConvertsAsZeroForEveryThermocouple) {
    for (int sensor = 0; sensor < 8; ++sensor) {
        click_sensor(sensor);
        focus(Txt_E90);
        type(Txt_E90, "1");
        paste(Txt_E90, "");
        EXPECT_EQ(text(Txt_T90), " 0") << sensor;
        EXPECT_EQ(take_messages(), Messages()) << sensor;
    }
}

TEST_F(EmfEntry, WritingTheTemperatureDoesNotConvertItBack) {
    click_sensor(2);
    focus(Txt_E90);
    paste(Text1, "x");
    type(Txt_E90, "10");
    EXPECT_EQ(text(Txt_T90), " 246.222");
    EXPECT_EQ(text(Txt_E90), "10");
    EXPECT_EQ(text(Text1), "x");
}

TEST_F(EmfEntry, OtherFlagsAndPt100WriteNothing) {
    focus(Txt_T90);
    focus(T1(0));
    paste(Txt_E90, "5");  // foc_flag 1: nothing
    EXPECT_EQ(text(Txt_T90), "");
    paste(Txt_T90, "");
    click_sensor(8);
    focus(Txt_E90);
    paste(Txt_E90, "6");  // Pt100 has no inverse
    EXPECT_EQ(text(Txt_T90), "");
    EXPECT_EQ(take_messages(), Messages());
}

class SensorSelection : public FormTest {};

TEST_F(SensorSelection, ResetDependsOnTheFieldEditedLast) {
    struct Case {
        Control last_focused;
        int foc_flag;  // that the focus sets
        int selected;  // the sensor selected while the handler runs
        const char* temperature_after;
    };
    const Case cases[] = {
        {T1(0), 0, 2, ""},   {Txt_T90, 1, 2, ""}, {Txt_E90, 2, 2, " 0"}, {T1(12), 3, 2, ""},
        {T1(2), 4, 2, ""},   {Txt_T90, 1, 8, ""}, {Txt_E90, 2, 8, ""},   {Txt_E90, 2, 1, " 0"},
    };
    for (const Case& c : cases) {
        focus(Op2);  // a control without a focus handler
        form.select_sensor(c.selected);
        form.Form_Load();  // foc_flag 0 while the fields are filled
        paste(Txt_T90, "123");
        paste(Txt_E90, "4.5");
        paste(Text1, "6.7");
        focus(c.last_focused);
        ASSERT_EQ(form.foc_flag(), c.foc_flag);
        form.Op_S_GotFocus(static_cast<std::int16_t>(c.selected));
        const std::string where = name(c.last_focused) + "/" + std::to_string(c.selected);
        EXPECT_EQ(text(Txt_T90), c.temperature_after) << where;
        EXPECT_EQ(text(Txt_E90), "") << where;
        EXPECT_EQ(text(Text1), "") << where;
        EXPECT_EQ(form.foc_flag(), c.foc_flag) << where;
        EXPECT_EQ(take_messages(), Messages()) << where;
    }
}

TEST_F(SensorSelection, SetsPromptsUnitsAndTheEmfField) {
    for (int index : {8, 0, 1, 2, 3, 4, 5, 6, 7, 8, 2}) {
        const std::string emf_prompt_before = form.tool_tip(Txt_E90);
        click_sensor(index);
        EXPECT_EQ(form.sensor(), index);
        EXPECT_EQ(form.tool_tip(Txt_T90), kSensorTexts[index].temperature_prompt);
        const bool pt100 = index == kPt100;
        EXPECT_EQ(form.tool_tip(Txt_E90), pt100 ? emf_prompt_before : kSensorTexts[index].emf_prompt);
        EXPECT_EQ(form.enabled(Txt_E90), !pt100) << index;
        EXPECT_EQ(form.caption(Label1_11), pt100 ? "Ω" : "mV");
        EXPECT_EQ(form.caption(Label3), pt100 ? "Ω/℃" : "μV/℃");
        EXPECT_EQ(form.caption(Lab_wfds), pt100 ? "微　 分　 电 　阻:" : "微　 分　 电 　势:");
    }
    EXPECT_STREQ(kSensorTexts[0].temperature_prompt, kSensorTexts[7].temperature_prompt);
}

TEST_F(SensorSelection, StartsInTheThermocoupleStateWithTheInitialPrompts) {
    EXPECT_EQ(form.sensor(), 0);
    EXPECT_EQ(form.middle_point(), MiddlePoint::Aluminium);
    EXPECT_TRUE(form.enabled(Txt_E90));
    EXPECT_EQ(form.caption(Label1_11), "mV");
    EXPECT_EQ(form.caption(Label3), "μV/℃");
    EXPECT_EQ(form.caption(Lab_wfds), "微　 分　 电 　势:");
    EXPECT_EQ(form.tool_tip(Txt_E90), "在此输入电势值(-0.236到18.693mV)并回车。");
    EXPECT_EQ(form.tool_tip(T1(12)), "在此输入温度值(-50到1664.5℃)并回车。");
    // Until a sensor button takes the focus.
    focus(Txt_T90);
    type(Txt_T90, "1");
    EXPECT_EQ(form.tool_tip(Txt_T90), "在此输入温度值(-50到1768.1℃)并回车。");
}

TEST_F(SensorSelection, ClickingTheFocusedButtonKeepsTheFields) {
    click_sensor(2);
    focus(Txt_T90);
    type(Txt_T90, "100");
    click_sensor(2);  // takes the focus: reset
    EXPECT_EQ(text(Txt_T90), "");
    form.Form_Load();
    paste(Txt_T90, "100");
    click_sensor(2);  // already has the focus: no handler
    EXPECT_EQ(text(Txt_T90), "100");
}

TEST_F(SensorSelection, FocusOnTheSelectedButtonResetsToo) {
    focus(Txt_E90);
    type(Txt_E90, "1");
    EXPECT_EQ(text(Txt_T90), " 146.3058");
    focus(Op_S(0));
    EXPECT_EQ(text(Txt_T90), " 0");
    EXPECT_EQ(text(Txt_E90), "");
    EXPECT_EQ(form.sensor(), 0);
}

}  // namespace
}  // namespace its90::form::testing
