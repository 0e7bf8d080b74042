// The calibration panel driven through the real widgets, typing where a user types.
#include <QTest>

#include "type_s_calibration.h"
#include "window_fixture.h"

namespace its90::ui::testing {
namespace {

const QStringList kZeroTable = {" 2.32304", " 3.25936", " 4.23329", " 5.23869", " 6.27525",
                                " 7.34498", " 8.44924", " 9.5871",  " 10.75654"};
const QString kRangeMessage = QString::fromUtf8(calibration::kTemperatureRangeMessage);
const QString kOverflowMessage = QString::fromUtf8(calibration::kOverflowMessage);

class CalibrationPanel : public WindowTest {
protected:
    // Types the three reference EMFs in tab order, the copper EMF last.
    void type_reference_emfs(bool aluminium = true) {
        (aluminium ? form->Op1 : form->Op2)->setChecked(true);
        retype(form->T1[0], "3.44689");
        retype(form->T1[1], aluminium ? "5.86013" : "5.5528");
        retype(form->T1[2], "10.5748");
    }
    QStringList table() const {
        QStringList texts;
        for (int box : calibration::kTableBoxes) texts << form->T1[box]->text();
        return texts;
    }
};

TEST_F(CalibrationPanel, TableFillsWhileTheCopperEmfIsTyped) {
    retype(form->T1[0], "3.44689");
    retype(form->T1[1], "5.86013");
    EXPECT_EQ(table(), QStringList(9, ""));  // copper box still empty
    focus(form->T1[2]);
    type(form->T1[2], "10");
    EXPECT_EQ(form->foc_flag, 4);
    EXPECT_NE(table(), QStringList(9, ""));
    type(form->T1[2], ".5748");
    EXPECT_EQ(table(), kZeroTable);
    EXPECT_EQ(take_messages(), QStringList());
}

TEST_F(CalibrationPanel, EditsOfEarlierBoxesKeepTheModeOfTheLastMarkedBox) {
    type_reference_emfs();
    retype(form->T1[0], "3.45689");  // after T1(2): the table follows
    EXPECT_NE(table(), kZeroTable);
    retype(form->T1[0], "3.44689");
    EXPECT_EQ(table(), kZeroTable);

    retype(form->T1[12], "100");
    EXPECT_EQ(form->foc_flag, 3);
    EXPECT_EQ(form->T1[13]->text(), " .64591");
    retype(form->T1[1], "5.87013");  // temperature mode: T1(13) follows, the table stays
    EXPECT_EQ(table(), kZeroTable);
    EXPECT_NE(form->T1[13]->text(), " .64591");

    focus(form->Txt_T90);  // after the conversion panel: nothing changes
    form->T1[13]->setText("x");
    form->T1[3]->setText("y");
    retype(form->T1[0], "1");
    EXPECT_EQ(form->T1[13]->text(), "x");
    EXPECT_EQ(form->T1[3]->text(), "y");
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
    };
    for (bool aluminium : {true, false}) {
        (aluminium ? form->Op1 : form->Op2)->setChecked(true);
        form->T1[1]->setText(aluminium ? "5.86013" : "5.5528");
        for (const Case& c : cases) {
            retype(form->T1[12], "100");
            take_messages();
            paste(form->T1[12], c.temperature);
            if (c.result == nullptr) {
                EXPECT_EQ(take_messages(), QStringList{kRangeMessage}) << c.temperature;
                EXPECT_EQ(form->T1[13]->text(), "") << c.temperature << " aluminium " << aluminium;
            } else {
                EXPECT_EQ(take_messages(), QStringList()) << c.temperature;
                EXPECT_EQ(form->T1[13]->text(), c.result) << c.temperature;
            }
        }
    }
}

TEST_F(CalibrationPanel, EmptyingTheTemperatureKeepsTheResult) {
    type_reference_emfs();
    retype(form->T1[12], "100");
    retype(form->T1[12], "");
    EXPECT_EQ(form->T1[13]->text(), " .64591");
    EXPECT_EQ(take_messages(), QStringList());
}

TEST_F(CalibrationPanel, SwitchingTheMiddlePointRecalculatesNothing) {
    type_reference_emfs();
    QTest::mouseClick(form->Op2, Qt::LeftButton, {}, QPoint(6, form->Op2->height() / 2));
    EXPECT_TRUE(form->Op2->isChecked());
    EXPECT_EQ(table(), kZeroTable);
    // The next edit uses antimony: 5.86013 is now 0.3 mV above its reference EMF.
    retype(form->T1[2], "10.5748");
    focus(form->T1[2]);
    type(form->T1[2], "0");
    EXPECT_NE(table(), kZeroTable);
}

TEST_F(CalibrationPanel, FocusingOp1EmptiesTheDifferentialButOp2DoesNot) {
    form->Text1->setText("5.4");
    focus(form->Op2);
    EXPECT_EQ(form->Text1->text(), "5.4");
    focus(form->Op1);
    EXPECT_EQ(form->Text1->text(), "");
}

TEST_F(CalibrationPanel, EmptyEmfBoxStopsEveryRun) {
    type_reference_emfs();
    retype(form->T1[1], "");
    retype(form->T1[2], "11");
    EXPECT_EQ(table(), kZeroTable);
}

TEST_F(CalibrationPanel, AbsurdEmfShowsOneMessageAndEmptiesTheTable) {
    type_reference_emfs();
    focus(form->T1[2]);
    paste(form->T1[2], "1e400");
    EXPECT_EQ(take_messages(), QStringList{kOverflowMessage});
    EXPECT_EQ(table(), QStringList(9, ""));
    EXPECT_EQ(form->T1[13]->text(), "");

    retype(form->T1[2], "10.5748");
    EXPECT_EQ(table(), kZeroTable);
    retype(form->T1[12], "500");
    take_messages();
    focus(form->T1[0]);
    paste(form->T1[0], "1e308");
    EXPECT_EQ(take_messages(), QStringList{kOverflowMessage});
    EXPECT_EQ(form->T1[13]->text(), "");
    EXPECT_EQ(table(), kZeroTable);  // the temperature mode leaves the table alone
}

}  // namespace
}  // namespace its90::ui::testing
