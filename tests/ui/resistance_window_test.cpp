// 电阻温度计 through its widgets: opened from the 工具 menu, the certificate example typed on
// the SPRT page, points fitted on the CVD page with their residuals, a bad point framed and
// kept, and the page's record saved.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "book/book.h"
#include "tests/ui/recording_prompts.h"
#include "tests/ui/window_fixture.h"
#include "ui/entry_table.h"
#include "ui/resistance_window.h"

namespace its90::ui::testing {
namespace {

class Resistance : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        form->set_prompts(&prompts);
        form->show_resistance();
        window = form->resistance_window();
        ASSERT_NE(window, nullptr);
    }
    void type(const form::Field& field, const QString& text) {
        QLineEdit* e = window->edit_of(field);
        e->selectAll();
        e->insert(text);
    }
    RecordingPrompts prompts;
    ResistanceWindow* window = nullptr;
    QTemporaryDir dir;
};

TEST_F(Resistance, TheCertificateExampleOnTheSprtPage) {
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pages()->count(), 3);  // SPRT, CVD, copper
    type(window->sprt().r_tpw, "25.319871");
    type(window->sprt().a, "-1.2134e-4");
    type(window->sprt().b, "-9.9190e-6");
    type(window->sprt().resistance, "65.039218");
    EXPECT_TRUE(window->sprt_result()->text().contains(QString::fromUtf8("t90 = 419.527011 ℃")))
        << window->sprt_result()->text().toStdString();
    EXPECT_EQ(window->table(0)->rowCount(), 11);
    // Its record as CSV.
    prompts.path = dir.filePath("sprt.csv");
    window->record_action(ResistanceWindow::RecordAction::SaveCsv)->trigger();
    QFile csv(*prompts.path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(csv.readAll()).contains("TPW-Zn"));
    if (const QByteArray out = qgetenv("ITS90_RECORD_PDF"); !out.isEmpty()) {  // to look at
        prompts.path = QString::fromLocal8Bit(out);
        window->record_action(ResistanceWindow::RecordAction::ExportPdf)->trigger();
    }
}

// A new window says in its tips what each field needs, and frames it red once typing began.
// Cu100 of JJG 229: its table at -50 ... 150 degC, t -> R, and the record kept and loaded back
// on its own page; the CVD page's R0 chosen by name.
TEST_F(Resistance, TheCopperPageAndNamedPlatinumThermometers) {
    window->pages()->setCurrentIndex(2);
    window->copper_r0()->setCurrentIndex(1);
    EXPECT_EQ(window->copper().r0(), 100);
    type(window->copper().temperature, "-50");
    EXPECT_EQ(window->copper_result()->text(), QString::fromUtf8("R = 78.4863 Ω，W = 0.784863"));
    EXPECT_EQ(window->table(2)->rowCount(), 21);
    EXPECT_EQ(window->table(2)->item(15, 1)->text(), "142.7999");  // 100 degC: W = 1.4280
    prompts.path = dir.filePath("cu.csv");
    window->record_action(ResistanceWindow::RecordAction::SaveCsv)->trigger();
    const book::Book b(qEnvironmentVariable("ITS90_BOOK").toStdString(), book::Book::Access::ReadOnly);
    const std::vector<book::Record> kept = b.list({});
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].type, "Cu100");
    window->copper_r0()->setCurrentIndex(0);
    window->pages()->setCurrentIndex(0);
    ASSERT_TRUE(window->load(*b.find(kept[0].id), false));
    EXPECT_EQ(window->pages()->currentIndex(), 2);
    EXPECT_EQ(window->copper().r0(), 100);
    EXPECT_EQ(window->copper_r0()->currentIndex(), 1);

    window->pages()->setCurrentIndex(1);
    window->cvd_named_r0()->activated(2);
    EXPECT_EQ(window->cvd().r0.text, "1000");
    EXPECT_EQ(window->edit_of(window->cvd().r0)->text(), "1000");
    type(window->cvd().r0, "99.98");
    EXPECT_EQ(window->cvd_named_r0()->currentIndex(), 3);  // 其他
}

TEST_F(Resistance, EmptyFieldsAreFramedOnlyOnceSomethingWasTyped) {
    QLineEdit* r_tpw = window->edit_of(window->sprt().r_tpw);
    EXPECT_FALSE(r_tpw->toolTip().isEmpty());
    EXPECT_TRUE(r_tpw->styleSheet().isEmpty());
    type(window->sprt().a, "-1.2134e-4");
    EXPECT_FALSE(r_tpw->styleSheet().isEmpty());
}

TEST_F(Resistance, PointsFittedOnTheCvdPage) {
    window->pages()->setCurrentIndex(1);
    window->cvd().set_fitted(true);
    window->refresh();
    const char* points[][2] = {{"-100", "60.25584"}, {"0", "100"}, {"100", "138.5055"}, {"400", "247.092"}};
    for (int i = 0; i < 4; ++i) {
        window->cvd_points()->item(i, 0)->setText(points[i][0]);
        window->cvd_points()->item(i, 1)->setText(points[i][1]);
    }
    ASSERT_TRUE(window->cvd().coefficients()) << window->cvd().coefficients_problem();
    EXPECT_NEAR(window->cvd().coefficients()->r0, 100, 1e-9);
    EXPECT_EQ(window->cvd_points()->item(1, 5)->text(), "AA");
    window->cvd_points()->item(2, 1)->setText("13x");
    EXPECT_EQ(window->cvd_points()->item(2, 1)->text(), "13x");
    EXPECT_FALSE(window->cvd_points()->item(2, 1)->toolTip().isEmpty());
    EXPECT_FALSE(window->cvd().coefficients());
}

// Typed as a technician types a list of points: t, Tab, R, Tab, … Every value lands in a t or
// R cell; the computed columns take no keystroke.
TEST_F(Resistance, TabGoesFromTToRToTheNextRowsT) {
    window->pages()->setCurrentIndex(1);
    window->cvd().set_fitted(true);
    window->refresh();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTableWidget* table = window->cvd_points();
    QApplication::processEvents();
    table->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(table->hasFocus());
    table->setCurrentCell(0, 0);
    const QStringList typed = {"-100", "60.25584", "0", "100", "100", "138.5055", "200", "175.856", "400", "247.092"};
    for (const QString& value : typed) {
        for (const QChar c : value) QTest::keyClicks(QApplication::focusWidget(), QString(c));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (int i = 0; i < typed.size(); ++i) {
        EXPECT_EQ(table->item(i / 2, i % 2)->text(), typed[i]) << i;
    }
    ASSERT_TRUE(window->cvd().coefficients()) << window->cvd().coefficients_problem();
    // Shift+Tab goes back over the computed columns too.
    table->setCurrentCell(2, 0);
    QTest::keyClick(table, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(table->currentColumn(), 1);
    EXPECT_EQ(table->currentRow(), 1);
    // A key on a computed cell changes nothing and moves nothing.
    table->setFocus();
    table->setCurrentCell(1, 3);
    const QString residual = table->item(1, 3)->text();
    QTest::keyClicks(table, "7");
    EXPECT_EQ(table->item(1, 3)->text(), residual);
    EXPECT_EQ(table->currentColumn(), 3);
    EXPECT_EQ(QApplication::focusWidget(), table);
}

// Two columns copied from a spreadsheet fill t and R from the current cell down.
TEST_F(Resistance, ABlockPastedFromASpreadsheetFillsThePoints) {
    window->pages()->setCurrentIndex(1);
    window->cvd().set_fitted(true);
    window->refresh();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto* table = static_cast<EntryTable*>(window->cvd_points());
    QApplication::processEvents();
    table->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(table->hasFocus());
    table->setCurrentCell(0, 0);
    QApplication::clipboard()->setText("-100\t60.25584\r\n0\t100\r\n100\t138.5055\r\n400\t247.092\r\n");
    QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(table->item(3, 0)->text(), "400");
    EXPECT_EQ(table->item(3, 1)->text(), "247.092");
    ASSERT_TRUE(window->cvd().coefficients()) << window->cvd().coefficients_problem();
    // A block wider than the input columns stops at them: the computed cells keep theirs.
    table->setCurrentCell(0, 1);
    EXPECT_EQ(table->paste("60.25584\t9\t9\t9\t9"), 1);
    EXPECT_NE(table->item(0, 2)->text(), "9");
}

}  // namespace
}  // namespace its90::ui::testing
