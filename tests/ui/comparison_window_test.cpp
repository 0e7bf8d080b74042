// The 比较法校准 window end to end through its widgets: opened from the 工具 menu beside the
// calculator, following the calibration panel, the worked example typed cell by cell, a bad
// reading framed with its reason and kept, and its record saved as CSV and PDF.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "tests/ui/recording_prompts.h"
#include "tests/ui/window_fixture.h"
#include "ui/comparison_window.h"
#include "ui/entry_table.h"
#include "ui/problem_frame.h"

namespace its90::ui::testing {
namespace {

class Comparison : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        form->set_prompts(&prompts);
        form->show_comparison();
        window = form->comparison_window();
        ASSERT_NE(window, nullptr);
    }
    void edit(QLineEdit* e, const QString& text) {
        e->selectAll();
        e->insert(text);  // as typed: textEdited
    }
    void type_reading(int p, int column, int row, const QString& text) {
        window->reading_table(p)->item(row, column)->setText(text);
    }
    // The worked example of the regulation, from a certificate, one reading each.
    void worked_example() {
        window->from_certificate()->click();
        window->readings()->setValue(1);
        window->point_count()->setValue(1);
        edit(window->point_temperature(0), "400");
        edit(window->certificate(0), "3.2587");
        edit(window->working_number(0), "K-01");
        type_reading(0, 0, 0, "3.26046");
        type_reading(0, 1, 0, "16.38544");
    }
    QString model_standard_mean() const { return window->reading_table(0)->item(3, 0)->text(); }
    QString result(int row, int column) const { return window->results()->item(row, column)->text(); }

    RecordingPrompts prompts;
    ComparisonWindow* window = nullptr;
    QTemporaryDir dir;
};

TEST_F(Comparison, OpensFromTheToolsMenuBesideTheCalculator) {
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_TRUE(window->isWindow());
    form->show_comparison();
    EXPECT_EQ(form->comparison_window(), window);  // one window, shown again
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("比较法校准"));
    // The usual points of type K; the calculator keeps working beside it.
    EXPECT_EQ(window->point_temperature(3)->text(), "1000");
    retype(box(Txt_T90), "100");
    EXPECT_EQ(box(Txt_E90)->text(), " .64591");  // type S at 100 degC
}

TEST_F(Comparison, FollowsTheCalibrationPanel) {
    EXPECT_FALSE(window->model().panel());
    EXPECT_TRUE(window->panel_status()->text().contains(QString::fromUtf8("输入锌点")));
    retype(box(T1(0)), "3.44689");
    retype(box(T1(1)), "5.86013");
    retype(box(T1(2)), "10.5748");
    ASSERT_TRUE(window->model().panel());
    EXPECT_TRUE(window->panel_status()->text().contains("A = "));
    EXPECT_FALSE(window->certificate(0)->text().isEmpty());  // the standard's EMF at 400 degC
    EXPECT_TRUE(window->certificate(0)->isReadOnly());
    retype(box(T1(2)), "");
    EXPECT_FALSE(window->model().panel());
}

TEST_F(Comparison, TheWorkedExampleThroughTheWidgets) {
    worked_example();
    EXPECT_EQ(result(0, 5), "-0.0195");
    EXPECT_EQ(result(0, 6), "-0.46");
    EXPECT_EQ(result(0, 7), "");  // no uncertainty budget yet
    EXPECT_EQ(result(0, 8), QString::fromUtf8("±1.60"));
    EXPECT_EQ(result(0, 9), QString::fromUtf8("合格"));
    EXPECT_TRUE(window->verdicts()->text().contains(QString::fromUtf8("K-01 (K)：合格")));
    EXPECT_EQ(window->reading_table(0)->item(1, 1)->text(), "16.38544");  // the mean row, an EMF to 5 decimals
    EXPECT_TRUE(window->record_action(ComparisonWindow::RecordAction::SaveCsv)->isEnabled());
}

TEST_F(Comparison, ABadReadingIsFramedWithItsReasonAndKept) {
    worked_example();
    type_reading(0, 1, 0, "16.3x");
    QTableWidgetItem* item = window->reading_table(0)->item(0, 1);
    EXPECT_EQ(item->text(), "16.3x");
    EXPECT_EQ(item->toolTip(), QString::fromUtf8("“16.3x”不是数值"));
    EXPECT_EQ(result(0, 9), QString::fromUtf8("读数不全或有误"));
    EXPECT_FALSE(window->record_action(ComparisonWindow::RecordAction::SaveCsv)->isEnabled());
    edit(window->point_temperature(0), "abc");
    EXPECT_EQ(window->point_temperature(0)->text(), "abc");
    EXPECT_FALSE(window->point_temperature(0)->toolTip().isEmpty());
    EXPECT_TRUE(window->point_temperature(0)->styleSheet().contains("border"));
}

// Readings come in the order they are taken (across a row, then the next row) and often from a
// spreadsheet: Tab and a pasted column never reach the row of means.
TEST_F(Comparison, ReadingsGoAcrossThenDownAndAPastedColumnFillsDownwards) {
    worked_example();
    window->readings()->setValue(3);
    auto* table = static_cast<EntryTable*>(window->reading_table(0));
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    table->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(table->hasFocus());
    table->setCurrentCell(0, 1);
    QTest::keyClick(table, Qt::Key_Tab);
    EXPECT_EQ(table->currentRow(), 1);
    EXPECT_EQ(table->currentColumn(), 0);
    table->setCurrentCell(0, 0);
    QApplication::clipboard()->setText("3.26046\n3.26050\n3.26048\n3.99999\n");
    QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(table->item(2, 0)->text(), "3.26048");
    EXPECT_EQ(model_standard_mean(), "3.26048");  // the fourth line found no reading to fill
    // After the last reading the focus leaves the grid rather than entering the means.
    table->setCurrentCell(2, 1);
    QTest::keyClick(table, Qt::Key_Tab);
    EXPECT_FALSE(table->hasFocus());
}

// The window fits its screen's available area, title bar and all; taller, the extra height goes
// to the results.
TEST_F(Comparison, FitsTheScreenAndGivesExtraHeightToTheResults) {
    QApplication::processEvents();
    const QRect area = window->screen()->availableGeometry();
    EXPECT_LE(window->frameGeometry().width(), area.width());
    EXPECT_LE(window->frameGeometry().height() + 32, area.height()) << "room for a title bar";
    EXPECT_TRUE(area.contains(window->frameGeometry().topLeft()));
    const int lowest = window->minimumSizeHint().height();
    window->resize(window->width(), lowest);
    QApplication::processEvents();
    const int results = window->results()->height(), readings = window->reading_table(0)->height();
    window->resize(window->width(), lowest + 100);
    QApplication::processEvents();
    EXPECT_GE(window->results()->height(), results + 90);
    EXPECT_LE(window->reading_table(0)->height(), readings + 10);
}

// A new run is not a sea of red: an empty cell is framed only once a reading of its point was
// typed (its tip says why all along); a text that cannot be used, at once.
TEST_F(Comparison, EmptyCellsAreFramedOnlyOnceThePointIsStarted) {
    window->from_certificate()->click();
    QTableWidget* table = window->reading_table(0);
    EXPECT_TRUE(table->item(0, 0)->data(kProblemRole).toString().isEmpty());
    EXPECT_FALSE(table->item(0, 0)->toolTip().isEmpty());
    EXPECT_TRUE(window->certificate(0)->styleSheet().isEmpty());
    type_reading(0, 0, 0, "3.26046");
    EXPECT_FALSE(table->item(1, 0)->data(kProblemRole).toString().isEmpty());
    EXPECT_FALSE(window->certificate(0)->styleSheet().isEmpty());
    EXPECT_TRUE(window->reading_table(1)->item(0, 0)->data(kProblemRole).toString().isEmpty());
    type_reading(1, 1, 0, "16.3x");
    EXPECT_FALSE(window->reading_table(1)->item(0, 1)->data(kProblemRole).toString().isEmpty());
}

// 新建 clears the run after asking, and keeps it when the answer is no.
TEST_F(Comparison, ANewRunClearsAfterAsking) {
    worked_example();
    prompts.accept = false;
    window->new_run_action()->trigger();
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(window->reading_table(0)->item(0, 1)->text(), "16.38544");
    prompts.accept = true;
    window->new_run_action()->trigger();
    EXPECT_EQ(window->reading_table(0)->item(0, 1)->text(), "");
    EXPECT_EQ(window->working_number(0)->text(), "");
    EXPECT_EQ(window->point_temperature(0)->text(), "400");  // the usual points of type K again
    EXPECT_TRUE(window->from_certificate()->isChecked());     // the standard stays
}

TEST_F(Comparison, ItsRecordAsCsvAndPdf) {
    worked_example();
    prompts.path = dir.filePath("run.csv");
    window->record_action(ComparisonWindow::RecordAction::SaveCsv)->trigger();
    ASSERT_EQ(prompts.kinds.size(), 1u);
    EXPECT_EQ(prompts.kinds[0], WindowPrompts::RecordKind::Comparison);
    QFile csv(*prompts.path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(csv.readAll());
    EXPECT_TRUE(text.contains(QString::fromUtf8("K-01,400,3.25870,9.57,16.38544,16.39714,42.24,-0.0195,-0.46,±1.60,合格")))
        << text.toStdString();
    prompts.path = dir.filePath("run.pdf");
    window->record_action(ComparisonWindow::RecordAction::ExportPdf)->trigger();
    EXPECT_TRUE(prompts.errors.isEmpty());
    QFile pdf(*prompts.path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_GT(pdf.size(), 10000);
}

}  // namespace
}  // namespace its90::ui::testing
