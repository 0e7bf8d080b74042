// 不确定度评定 through its widgets: lines added and typed, what each gives, a bad value framed
// and kept; the calibration record then shows U beside its table and the budget, and the
// comparison window U(dt) in its results.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>

#include "tests/ui/recording_prompts.h"
#include "tests/ui/window_fixture.h"
#include "form/uncertainty_form.h"
#include "ui/budget_window.h"
#include "ui/comparison_window.h"

namespace its90::ui::testing {
namespace {

using form::BudgetQuantity;

class BudgetTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        form->set_prompts(&prompts);
        form->show_budget();
        window = form->budget_window();
        ASSERT_NE(window, nullptr);
    }
    // Adds a line and types its value, as the technician does.
    void line(BudgetQuantity q, const char* value) {
        window->add_line(q);
        window->table()->item(window->table()->rowCount() - 1, 2)->setText(value);
    }
    RecordingPrompts prompts;
    BudgetWindow* window = nullptr;
};

TEST_F(BudgetTest, LinesGiveTheRecordItsUncertainty) {
    retype(box(T1(0)), "3.45689");
    retype(box(T1(1)), "5.87013");
    retype(box(T1(2)), "10.5848");
    line(BudgetQuantity::Zinc, "0.5");
    line(BudgetQuantity::Middle, "0.6");
    EXPECT_TRUE(window->summary()->text().contains(QString::fromUtf8("需锌点、中间点、铜点")));
    line(BudgetQuantity::Copper, "0.8");
    EXPECT_TRUE(window->summary()->text().contains(QString::fromUtf8("锌点：u<sub>c</sub> = 0.5 μV")));
    EXPECT_EQ(window->table()->item(2, 7)->text(), "0.8");  // the standard uncertainty
    form->record_action(MainWindow::RecordAction::Copy)->trigger();
    const QString tsv = QApplication::clipboard()->text();
    EXPECT_TRUE(tsv.contains(QString::fromUtf8("温度/℃\t电势/mV\tU/μV\tU/℃"))) << tsv.toStdString();
    EXPECT_TRUE(tsv.contains(QString::fromUtf8("铜点\t\t0.8\tμV\t正态"))) << tsv.toStdString();  // the budget
    // u, nu_eff, k and U at the table's temperatures; the page shows the same table.
    EXPECT_TRUE(tsv.contains(QString::fromUtf8("温度/℃\tu/μV\t有效自由度 νeff\tk\tU/μV\tU/℃\n300\t"))) << tsv.toStdString();
    if (const QByteArray out = qgetenv("ITS90_RECORD_PDF"); !out.isEmpty()) {
        prompts.path = QString::fromLocal8Bit(out);
        form->record_action(MainWindow::RecordAction::ExportPdf)->trigger();
    }

    // A bad value: framed, kept, and the record states no uncertainty.
    window->table()->item(0, 2)->setText("abc");
    EXPECT_EQ(window->table()->item(0, 2)->text(), "abc");
    EXPECT_FALSE(window->table()->item(0, 2)->toolTip().isEmpty());
    form->record_action(MainWindow::RecordAction::Copy)->trigger();
    EXPECT_FALSE(QApplication::clipboard()->text().contains(QString::fromUtf8("U/μV")));
}

// Its status grows as lines are added; the buttons stay where they are, and the status shows
// whole above them.
TEST_F(BudgetTest, AGrowingStatusMovesNoButton) {
    QApplication::processEvents();
    QPushButton* add = nullptr;
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == QString::fromUtf8("添加分量")) add = b;
    }
    ASSERT_NE(add, nullptr);
    const QPoint at = add->mapTo(window, QPoint(0, 0));
    for (BudgetQuantity q : {BudgetQuantity::Zinc, BudgetQuantity::Middle, BudgetQuantity::Copper, BudgetQuantity::Common,
                             BudgetQuantity::Certificate, BudgetQuantity::Voltmeter, BudgetQuantity::Furnace}) {
        line(q, "0.5");
    }
    QApplication::processEvents();
    EXPECT_EQ(add->mapTo(window, QPoint(0, 0)), at);
    const QRect summary = window->summary()->geometry();
    EXPECT_LE(summary.bottom(), add->mapTo(window, QPoint(0, 0)).y());
    EXPECT_GE(summary.height(), window->summary()->heightForWidth(summary.width()));
}

// A budget kept in the book under its laboratory and name is offered again at the next start
// (a new window over an empty budget) and loads line for line; replacing lines asks first.
TEST_F(BudgetTest, AKeptBudgetIsOfferedAgainAtTheNextStart) {
    line(BudgetQuantity::Zinc, "0.5");
    line(BudgetQuantity::Copper, "0.8");
    window->coverage()->setText("2");
    window->keep();
    ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
    ASSERT_EQ(window->kept_budgets()->count(), 1);
    EXPECT_TRUE(window->kept_budgets()->itemText(0).startsWith(QString::fromUtf8("定点炉（一室，")));

    form::UncertaintyForm next_start;
    BudgetWindow again(next_start, [] {}, prompts);
    ASSERT_EQ(again.kept_budgets()->count(), 1);
    EXPECT_TRUE(again.findChild<QLabel*>("kept_status")->text().contains(QString::fromUtf8("定点炉")));
    again.load_kept();
    ASSERT_EQ(next_start.row_count(), 2);
    EXPECT_EQ(next_start.row(1).value, "0.8");
    EXPECT_EQ(next_start.row(1).quantity, BudgetQuantity::Copper);
    // Over lines of its own: asked, and a no keeps them.
    prompts.accept = false;
    next_start.remove_row(1);
    again.load_kept();
    EXPECT_EQ(next_start.row_count(), 1);
    EXPECT_EQ(prompts.questions.size(), 1);
}

TEST_F(BudgetTest, TheComparisonShowsUOfDeltaT) {
    line(BudgetQuantity::Certificate, "1.5");
    line(BudgetQuantity::Voltmeter, "0.5");
    form->show_comparison();
    ComparisonWindow* c = form->comparison_window();
    c->from_certificate()->click();
    c->readings()->setValue(1);
    c->point_count()->setValue(1);
    c->point_temperature(0)->selectAll();
    c->point_temperature(0)->insert("400");
    c->certificate(0)->insert("3.2587");
    c->reading_table(0)->item(0, 0)->setText("3.26046");
    c->reading_table(0)->item(0, 1)->setText("16.38544");
    EXPECT_FALSE(c->results()->item(0, 7)->text().isEmpty());
    EXPECT_EQ(c->results()->item(0, 9)->text(), QString::fromUtf8("合格"));
    // Changing the budget changes the comparison at once.
    window->table()->item(0, 2)->setText("40");
    EXPECT_EQ(c->results()->item(0, 9)->text(), QString::fromUtf8("不能判定"));
}

}  // namespace
}  // namespace its90::ui::testing
