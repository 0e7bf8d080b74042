// The calibration panel, typing where a user types.
#include "tests/form/form_fixture.h"

namespace its90::form::testing {
namespace {

const std::vector<std::string> kZeroTable = {" 2.32304", " 3.25936", " 4.23329",
                                             " 5.23869", " 6.27525", " 7.34498",
                                             " 8.44924", " 9.5871",  " 10.75654"};
const std::vector<std::string> kEmptyTable(9, "");
const std::string kRangeMessage = "输入温度值不在本程序计算范围-50到1664.5℃内!";
const std::string kOverflowMessage = "输入的电势值超出计算范围!";

class CalibrationPanel : public FormTest {
protected:
    // Types the three reference EMFs in tab order, the copper EMF last.
    void type_reference_emfs(bool aluminium = true) {
        form.select_middle_point(aluminium ? MiddlePoint::Aluminium : MiddlePoint::Antimony);
        retype(T1(0), "3.44689");
        retype(T1(1), aluminium ? "5.86013" : "5.5528");
        retype(T1(2), "10.5748");
    }
    std::vector<std::string> table() const {
        std::vector<std::string> texts;
        for (int box : kTableBoxes) texts.push_back(text(T1(box)));
        return texts;
    }
};

TEST_F(CalibrationPanel, TableFillsWhileTheCopperEmfIsTyped) {
    retype(T1(0), "3.44689");
    retype(T1(1), "5.86013");
    EXPECT_EQ(table(), kEmptyTable);  // copper box still empty
    focus(T1(2));
    type(T1(2), "10");
    EXPECT_EQ(form.foc_flag(), 4);
    EXPECT_NE(table(), kEmptyTable);
    type(T1(2), ".5748");
    EXPECT_EQ(table(), kZeroTable);
    EXPECT_EQ(take_messages(), Messages());
}

TEST_F(CalibrationPanel, TheAntimonyTableIsUnrounded) {
    form.select_middle_point(MiddlePoint::Antimony);
    retype(T1(0), "3.45689");
    retype(T1(1), "5.5628");
    retype(T1(2), "10.5848");
    EXPECT_EQ(text(T1(3)), " 2.333040049");
    EXPECT_EQ(text(T1(14)), " 10.766540401");
}

TEST_F(CalibrationPanel, EditsOfEarlierBoxesKeepTheModeOfTheLastMarkedBox) {
    type_reference_emfs();
    retype(T1(0), "3.45689");  // after T1(2): the table follows
    EXPECT_NE(table(), kZeroTable);
    retype(T1(0), "3.44689");
    EXPECT_EQ(table(), kZeroTable);

    retype(T1(12), "100");
    EXPECT_EQ(form.foc_flag(), 3);
    EXPECT_EQ(text(T1(13)), " .64591");
    retype(T1(1), "5.87013");  // temperature mode: T1(13) follows, the table stays
    EXPECT_EQ(table(), kZeroTable);
    EXPECT_NE(text(T1(13)), " .64591");

    focus(Txt_T90);  // after the conversion panel: nothing changes
    paste(T1(13), "x");
    paste(T1(3), "y");
    retype(T1(0), "1");
    EXPECT_EQ(text(T1(13)), "x");
    EXPECT_EQ(text(T1(3)), "y");
}

TEST_F(CalibrationPanel, TemperatureBoundsAndOneMessagePerRejectedEdit) {
    type_reference_emfs();
    struct Case {
        const char* temperature;
        const char* result;  // nullptr: the range message and an empty T1(13)
    };
    const Case cases[] = {
        {"-50", "-.23556"}, {"1664.5", " 17.53596"}, {"-50.001", nullptr},
        {"1664.6", nullptr}, {"-", " 0"},            {"100", " .64591"},
        {"1e400", nullptr},
    };
    for (bool aluminium : {true, false}) {
        form.select_middle_point(aluminium ? MiddlePoint::Aluminium : MiddlePoint::Antimony);
        paste(T1(1), aluminium ? "5.86013" : "5.5528");
        for (const Case& c : cases) {
            retype(T1(12), "100");
            take_messages();
            paste(T1(12), c.temperature);
            if (c.result == nullptr) {
                EXPECT_EQ(take_messages(), Messages{kRangeMessage}) << c.temperature;
                EXPECT_EQ(text(T1(13)), "") << c.temperature << " aluminium " << aluminium;
            } else {
                EXPECT_EQ(take_messages(), Messages()) << c.temperature;
                EXPECT_EQ(text(T1(13)), c.result) << c.temperature;
            }
        }
    }
}

TEST_F(CalibrationPanel, EmptyingTheTemperatureKeepsTheResult) {
    type_reference_emfs();
    retype(T1(12), "100");
    retype(T1(12), "");
    EXPECT_EQ(text(T1(13)), " .64591");
    EXPECT_EQ(take_messages(), Messages());
}

TEST_F(CalibrationPanel, SwitchingTheMiddlePointRecalculatesNothing) {
    type_reference_emfs();
    focus(Op2);
    form.select_middle_point(MiddlePoint::Antimony);
    EXPECT_EQ(table(), kZeroTable);
    // The next edit uses antimony: 5.86013 is now 0.3 mV above its reference EMF.
    focus(T1(2));
    type(T1(2), "0");
    EXPECT_NE(table(), kZeroTable);
}

TEST_F(CalibrationPanel, EmptyEmfBoxStopsEveryRun) {
    type_reference_emfs();
    retype(T1(1), "");
    retype(T1(2), "11");
    EXPECT_EQ(table(), kZeroTable);
    retype(T1(1), " ");  // blanks are not empty: they read as 0
    EXPECT_NE(table(), kZeroTable);
}

TEST_F(CalibrationPanel, ATypedResultBoxIsOverwrittenInTheTableMode) {
    type_reference_emfs();
    paste(T1(5), "9");
    EXPECT_EQ(table(), kZeroTable);
}

TEST_F(CalibrationPanel, AbsurdEmfShowsOneMessageAndEmptiesTheResultsOfItsMode) {
    type_reference_emfs();
    focus(T1(2));
    std::vector<std::string> behind;  // the table while the box is up: no earlier EMF's
    box.on_show = [&] { behind = table(); };
    paste(T1(2), "1e400");
    box.on_show = nullptr;
    EXPECT_EQ(take_messages(), Messages{kOverflowMessage});
    EXPECT_EQ(table(), kEmptyTable);
    EXPECT_EQ(behind, kEmptyTable);
    EXPECT_EQ(text(T1(13)), "");

    retype(T1(2), "5e307");  // finite coefficients, a table beyond the double range
    EXPECT_EQ(take_messages(), Messages{kOverflowMessage});
    EXPECT_EQ(table(), kEmptyTable);

    retype(T1(2), "10.5748");
    EXPECT_EQ(table(), kZeroTable);
    retype(T1(12), "500");
    take_messages();
    focus(T1(0));
    paste(T1(0), "1e308");
    EXPECT_EQ(take_messages(), Messages{kOverflowMessage});
    EXPECT_EQ(text(T1(13)), "");
    EXPECT_EQ(table(), kZeroTable);  // the temperature mode leaves the table alone

    // The coefficients come first: the message even with an empty temperature box.
    paste(T1(0), "3.44689");
    paste(T1(12), "");
    EXPECT_EQ(take_messages(), Messages());
    paste(T1(1), "1e309");
    EXPECT_EQ(take_messages(), Messages{kOverflowMessage});
}

}  // namespace
}  // namespace its90::form::testing
