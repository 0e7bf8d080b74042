// The book from the windows: every record saved, exported or printed is kept (and a book that
// cannot keep it is told, the file saved all the same); 记录簿 finds it, shows it as issued,
// re-issues it byte for byte, loads it back and takes a correction; a standard's history and
// the comparison's standard come from the book.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDate>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTableView>
#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QThread>
#include <QCoreApplication>
#include <QTextBrowser>
#include <QScrollBar>
#include <QTemporaryDir>

#include "book/book.h"
#include "book/fixed_points.h"
#include "tests/ui/recording_prompts.h"
#include "tests/ui/window_fixture.h"
#include "ui/book_access.h"
#include "form/dcc.h"
#include "ui/book_window.h"
#include "ui/comparison_window.h"
#include "ui/resistance_window.h"

namespace its90::ui::testing {
namespace {

class Book : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        book_path = qEnvironmentVariable("ITS90_BOOK");
        form->set_prompts(&prompts);
    }
    void calibrate(const char* copper = "10.5848") {
        click(button(Op1));
        retype(box(T1(0)), "3.45689");
        retype(box(T1(1)), "5.87013");
        retype(box(T1(2)), copper);
    }
    QByteArray contents(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
    }
    // Every record kept, newest first, whole.
    std::vector<book::Record> kept() const {
        const book::Book b(book_path.toStdString(), book::Book::Access::ReadOnly);
        std::vector<book::Record> records;
        for (const book::Record& r : b.list({})) records.push_back(*b.find(r.id));
        return records;
    }
    void save_csv(const QString& name) {
        prompts.path = dir.filePath(name);
        form->record_action(MainWindow::RecordAction::SaveCsv)->trigger();
    }
    // As typed: the edit's textEdited.
    static void edit(QLineEdit* e, const QString& text) {
        e->selectAll();
        e->insert(text);
    }
    BookWindow* open_book() {
        form->show_book();
        return form->book_window();
    }
    // Until a search waiting for typing to pause has run.
    static void settle(BookWindow* window) {
        QElapsedTimer waited;
        waited.start();
        while (window->search_pending() && waited.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        EXPECT_FALSE(window->search_pending());
    }
    static int rows(BookWindow* window) { return window->list()->model()->rowCount(); }

    RecordingPrompts prompts;
    QTemporaryDir dir;
    QString book_path;
};

TEST_F(Book, EveryRecordIssuedIsKeptOnceADay) {
    calibrate();
    save_csv("first.csv");
    ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
    std::vector<book::Record> records = kept();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].number, "S-0421");
    EXPECT_EQ(records[0].operator_name, "张三");
    EXPECT_EQ(QByteArray::fromStdString(records[0].document), contents(dir.filePath("first.csv")));
    EXPECT_EQ(records[0].input("typed_copper"), "10.5848");
    // The same record exported and printed: still one record.
    prompts.path = dir.filePath("first.pdf");
    form->record_action(MainWindow::RecordAction::ExportPdf)->trigger();
    prompts.print_file = dir.filePath("printed.pdf");
    form->record_action(MainWindow::RecordAction::Print)->trigger();
    EXPECT_EQ(kept().size(), 1u);
    // Another calibration is another record; a cancelled save keeps nothing.
    calibrate("10.5858");
    prompts.path.reset();
    form->record_action(MainWindow::RecordAction::SaveCsv)->trigger();
    EXPECT_EQ(kept().size(), 1u);
    save_csv("second.csv");
    EXPECT_EQ(kept().size(), 2u);
}

TEST_F(Book, ABookThatCannotKeepTheRecordIsToldAndTheFileIsSaved) {
    qputenv("ITS90_BOOK", dir.filePath("no-such-folder/book.sqlite").toLocal8Bit());
    calibrate();
    save_csv("kept.csv");
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].startsWith(QString::fromUtf8("记录已保存到文件，但未能存入记录簿："))) << prompts.errors[0].toStdString();
    EXPECT_TRUE(prompts.errors[0].contains(dir.filePath("no-such-folder/book.sqlite")));
    EXPECT_NE(contents(dir.filePath("kept.csv")), "missing");
    EXPECT_EQ(box(T1(2))->text(), "10.5848");  // nothing typed is lost
}

TEST_F(Book, TheBookWindowFindsShowsAndReissues) {
    calibrate();
    save_csv("issued.csv");
    BookWindow* window = open_book();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(rows(window), 1);
    struct Case {
        QLineEdit* filter;
        const char* text;
        int rows;
    };
    const Case cases[] = {{window->number_filter(), "0421", 1}, {window->number_filter(), "0422", 0},
                          {window->type_filter(), "s", 1},        {window->type_filter(), "K", 0},
                          {window->operator_filter(), "张", 1},   {window->date_from(), "2999", 0},
                          {window->date_to(), "2000-01-01", 0}};
    for (const Case& c : cases) {
        c.filter->setText(QString::fromUtf8(c.text));
        EXPECT_TRUE(window->search_pending()) << c.text;  // searched once typing pauses
        settle(window);
        EXPECT_EQ(rows(window), c.rows) << c.text;
        c.filter->clear();
        settle(window);
    }
    window->select(kept()[0].id);
    ASSERT_TRUE(window->selected());
    // Shown as labelled rows and tables, every cell whole.
    const QString shown = window->document()->toPlainText();
    for (const auto& row : book::document_rows(window->selected()->document)) {
        for (const std::string& cell : row) EXPECT_TRUE(shown.contains(QString::fromStdString(cell))) << cell;
    }
    EXPECT_TRUE(shown.contains(QString::fromUtf8("参考端温度")));
    EXPECT_FALSE(window->document()->horizontalScrollBar()->isVisible());
    // Re-issued: the CSV byte for byte, the PDF drawn again from the inputs.
    prompts.path = dir.filePath("again.csv");
    window->reissue(BookWindow::Reissue::Csv);
    EXPECT_EQ(contents(dir.filePath("again.csv")), contents(dir.filePath("issued.csv")));
    prompts.path = dir.filePath("again.pdf");
    window->reissue(BookWindow::Reissue::Pdf);
    EXPECT_TRUE(contents(dir.filePath("again.pdf")).startsWith("%PDF"));
    EXPECT_EQ(kept().size(), 1u);  // re-issuing keeps nothing new
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
}

TEST_F(Book, ARecordLoadsBackAndACorrectionReplacesIt) {
    calibrate();
    retype(box(T1(12)), "1000");
    save_csv("wrong.csv");
    const std::int64_t wrong = kept()[0].id;
    // The panel cleared, then the record loaded back: every text as typed, the table again.
    for (int i : {0, 1, 2, 12}) retype(box(T1(i)), "");
    BookWindow* window = open_book();
    window->select(wrong);
    window->load_selected(true);
    EXPECT_EQ(box(T1(0))->text(), "3.45689");
    EXPECT_EQ(box(T1(2))->text(), "10.5848");
    EXPECT_EQ(box(T1(12))->text(), "1000");
    EXPECT_FALSE(box(T1(3))->text().isEmpty());   // the 300 degC row
    EXPECT_FALSE(box(T1(13))->text().isEmpty());  // the EMF at 1000 degC
    ASSERT_TRUE(form->correcting());
    // The copper EMF was mistyped: the corrected record replaces the wrong one.
    retype(box(T1(2)), "10.5849");
    save_csv("right.csv");
    const std::vector<book::Record> records = kept();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].replaces, wrong);
    EXPECT_EQ(records[1].replaced_by, records[0].id);
    EXPECT_FALSE(form->correcting());
    // The correction says on its face which record it corrects; the next record does not.
    const QString corrects = QString::fromUtf8("更正,记录 %1（%2）").arg(wrong).arg(QString::fromStdString(records[1].date));
    EXPECT_TRUE(QString::fromUtf8(contents(dir.filePath("right.csv"))).contains(corrects));
    retype(box(T1(2)), "10.5850");
    save_csv("next.csv");
    EXPECT_FALSE(QString::fromUtf8(contents(dir.filePath("next.csv"))).contains(QString::fromUtf8("更正")));
    EXPECT_FALSE(kept()[0].replaces);
    window->search();
    window->select(wrong);
    EXPECT_TRUE(window->list()->model()->index(window->list()->currentIndex().row(), 6).data().toString().contains(
        QString::number(records[0].id)));
    // Re-issued as it was, with a word that it has been corrected.
    prompts.path = dir.filePath("wrong-again.csv");
    window->reissue(BookWindow::Reissue::Csv);
    EXPECT_EQ(contents(dir.filePath("wrong-again.csv")), contents(dir.filePath("wrong.csv")));
    EXPECT_TRUE(window->status()->text().contains(QString::fromUtf8("已由记录")));
    // A replaced record is not corrected twice.
    window->load_selected(true);
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains(QString::fromUtf8("已由记录")));
}

// A window that corrects a kept record says so until the correction is kept or cancelled, and
// loading puts nothing into a box the record does not fill.
TEST_F(Book, AWindowInCorrectionSaysSoAndCanStop) {
    calibrate();
    save_csv("wrong.csv");
    const std::int64_t wrong = kept()[0].id;
    for (int i : {0, 1, 2}) retype(box(T1(i)), "");
    const int height = form->height();
    BookWindow* window = open_book();
    window->select(wrong);
    window->load_selected(true);
    for (Control c : {Txt_T90, Txt_E90, Text1}) EXPECT_EQ(box(c)->text(), "") << "no stray value";
    CorrectionBanner* banner = form->correction_banner();
    ASSERT_TRUE(banner->isVisibleTo(form.get()));
    EXPECT_EQ(banner->label()->text(), QString::fromUtf8("正在更正记录 %1（%2）").arg(wrong).arg(QString::fromStdString(kept()[0].date)));
    EXPECT_EQ(form->height(), height + banner->height());
    EXPECT_TRUE(form->rect().contains(banner->geometry()));
    banner->cancel_button()->click();
    EXPECT_FALSE(form->correcting());
    EXPECT_FALSE(banner->isVisibleTo(form.get()));
    EXPECT_EQ(form->height(), height);
    save_csv("again.csv");  // an ordinary record again
    EXPECT_FALSE(kept()[0].replaces);
    EXPECT_FALSE(QString::fromUtf8(contents(dir.filePath("again.csv"))).contains(QString::fromUtf8("更正")));
}

TEST_F(Book, AStandardsHistoryIsTabledAndPlotted) {
    const char* copper[] = {"10.5848", "10.5858", "10.5868"};
    for (const char* cu : copper) {
        calibrate(cu);
        save_csv(QString::fromUtf8(cu) + ".csv");
    }
    BookWindow* window = open_book();
    window->history_number()->setText("S-0421");
    EXPECT_EQ(window->history_table()->rowCount(), 3);
    ASSERT_EQ(window->plot()->series().size(), 3u);
    const auto& copper_series = window->plot()->series()[0].values;  // 铜点, uV from required
    ASSERT_EQ(copper_series.size(), 3u);
    EXPECT_NEAR(copper_series[1] - copper_series[0], 1.0, 1e-6);  // E(Cu) 1 uV higher, its requirement fixed
    window->plot_choice()->setCurrentIndex(1);
    EXPECT_EQ(window->plot()->series().size(), 9u);  // 300 ... 1100 degC
    EXPECT_EQ(window->plot()->series()[8].values[0], 0.0);
    window->history_number()->setText("S-9999");
    EXPECT_EQ(window->history_table()->rowCount(), 0);
}

TEST_F(Book, TheComparisonTakesItsStandardFromTheBook) {
    {
        book::Book b(book_path.toStdString());
        for (const char* date : {"2024-05-01 09:00", "2025-05-01 09:00"}) {
            book::Record r;
            r.kind = book::Kind::FixedPoint;
            r.number = "S-7";
            r.type = "S";
            r.date = date;
            r.inputs = book::fields_of({{3.45689, date[3] == '4' ? 5.87013 : 5.87113, 10.5848},
                                        calibration::MiddlePoint::Aluminium, std::nullopt});
            b.keep(r);
        }
    }
    form->show_comparison();
    ComparisonWindow* c = form->comparison_window();
    c->from_book()->click();
    EXPECT_FALSE(c->model().fixed_point_calibration());  // no number yet: no panel either
    edit(c->standard_number(), "S-7");
    ASSERT_EQ(c->kept_choice()->count(), 2);
    ASSERT_TRUE(c->model().kept_standard());
    EXPECT_EQ(c->model().kept_standard()->date, "2025-05-01 09:00");  // the latest first
    const double latest = *c->model().standard_emf(0);
    c->kept_choice()->setCurrentIndex(1);
    EXPECT_EQ(c->model().kept_standard()->date, "2024-05-01 09:00");
    EXPECT_NE(*c->model().standard_emf(0), latest);
    // The same EMFs typed into the panel give exactly the same standard EMF.
    retype(box(T1(0)), "3.45689");
    retype(box(T1(1)), "5.87013");
    retype(box(T1(2)), "10.5848");
    const double from_book = *c->model().standard_emf(0);
    c->from_panel()->click();
    EXPECT_FALSE(c->model().kept_standard());
    EXPECT_EQ(*c->model().standard_emf(0), from_book);
}

TEST_F(Book, AComparisonAndAResistancePageComeBackFromTheBook) {
    form->show_comparison();
    ComparisonWindow* c = form->comparison_window();
    c->from_certificate()->click();
    c->readings()->setValue(1);
    c->point_count()->setValue(1);
    edit(c->point_temperature(0), "400");
    edit(c->certificate(0), "3.2587");
    c->reading_table(0)->item(0, 0)->setText("3.26046");
    c->reading_table(0)->item(0, 1)->setText("16.38544");
    ASSERT_TRUE(c->model().complete());
    prompts.path = dir.filePath("run.csv");
    c->record_action(ComparisonWindow::RecordAction::SaveCsv)->trigger();
    ASSERT_EQ(kept().size(), 1u);
    const QString delta_t = c->results()->item(0, 6)->text();
    c->reading_table(0)->item(0, 1)->setText("16.4");  // changed after it was kept
    ASSERT_TRUE(form->load_record(kept()[0], false));
    EXPECT_EQ(c->reading_table(0)->item(0, 1)->text(), "16.38544");
    EXPECT_EQ(c->results()->item(0, 6)->text(), delta_t);
    EXPECT_FALSE(c->correction_banner()->isVisibleTo(c));
    // Loaded to be corrected: the title and the banner say which record, until cancelled.
    ASSERT_TRUE(form->load_record(kept()[0], true));
    EXPECT_TRUE(c->correction_banner()->isVisibleTo(c));
    EXPECT_EQ(c->windowTitle(), QString::fromUtf8("比较法校准 — 正在更正记录 %1").arg(kept()[0].id));
    c->correction_banner()->cancel_button()->click();
    EXPECT_EQ(c->windowTitle(), QString::fromUtf8("比较法校准"));

    form->show_resistance();
    ResistanceWindow* r = form->resistance_window();
    r->pages()->setCurrentIndex(0);
    edit(r->edit_of(r->sprt().r_tpw), "25.319871");
    edit(r->edit_of(r->sprt().a), "-1.2134e-4");
    edit(r->edit_of(r->sprt().b), "-9.9190e-6");
    edit(r->edit_of(r->sprt().temperature), "419.527");
    const QString result = r->sprt_result()->text();
    prompts.path = dir.filePath("sprt.csv");
    r->record_action(ResistanceWindow::RecordAction::SaveCsv)->trigger();
    const std::vector<book::Record> records = kept();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].type, "SPRT");
    edit(r->edit_of(r->sprt().temperature), "0");
    r->pages()->setCurrentIndex(1);
    ASSERT_TRUE(form->load_record(records[0], false));
    EXPECT_EQ(r->pages()->currentIndex(), 0);
    EXPECT_EQ(r->edit_of(r->sprt().temperature)->text(), "419.527");
    EXPECT_EQ(r->sprt_result()->text(), result);
    // A check at the triple point of water: the coefficients kept, the new R_TPW typed and
    // kept; the book window tables and plots the thermometer's R_TPW over its records.
    QPushButton* check = r->findChild<QPushButton*>("sprt_tpw_check");
    ASSERT_TRUE(check && check->isEnabled());
    check->click();
    EXPECT_EQ(r->edit_of(r->sprt().a)->text(), "-0.00012134");
    edit(r->edit_of(r->sprt().r_tpw), "25.320071");
    EXPECT_NE(r->sprt_result()->text(), result);
    prompts.path = dir.filePath("sprt-check.csv");
    r->record_action(ResistanceWindow::RecordAction::SaveCsv)->trigger();
    ASSERT_EQ(kept().size(), 3u);
    BookWindow* window = open_book();
    window->tpw_number()->setText(QString::fromStdString(records[0].number));
    EXPECT_EQ(window->tpw_table()->rowCount(), 2);
    // 该标准的历史 on the SPRT's record opens the same table.
    window->tpw_number()->clear();
    window->list()->selectRow(0);
    QPushButton* history = nullptr;
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == QString::fromUtf8("该标准的历史")) history = b;
    }
    ASSERT_TRUE(history && history->isEnabled());
    history->click();
    EXPECT_EQ(window->tpw_number()->text(), QString::fromStdString(records[0].number));
    EXPECT_EQ(window->tpw_table()->rowCount(), 2);
    ASSERT_EQ(window->tpw_plot()->series().size(), 1u);
    ASSERT_EQ(window->tpw_plot()->series()[0].values.size(), 2u);
    EXPECT_NEAR(window->tpw_plot()->series()[0].values[1], 0.0002 / (25.319871 * 0.0039885285) * 1000, 1e-6);
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
}

// The window and the command line find the same book where none is named.
TEST(BookFile, TheWindowAndTheCommandLineShareTheApplicationDataFolder) {
    QTemporaryDir data;
    const QByteArray named = qgetenv("ITS90_BOOK");
    const QByteArray xdg = qgetenv("XDG_DATA_HOME");
    const QString name = QApplication::applicationName();
    qunsetenv("ITS90_BOOK");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication::setApplicationName(QStringLiteral("its90-calculator"));  // as the program names itself
    const QString window = book_file();
    EXPECT_EQ(window.toStdString(), book::default_book_path());
    EXPECT_TRUE(QFileInfo(window).dir().exists());  // made for the first record
    qputenv("ITS90_BOOK", "/elsewhere/lab.sqlite");
    EXPECT_EQ(book_file(), QStringLiteral("/elsewhere/lab.sqlite"));
    QApplication::setApplicationName(name);
    qputenv("ITS90_BOOK", named);
    qputenv("XDG_DATA_HOME", xdg);
    if (xdg.isEmpty()) qunsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace its90::ui::testing

namespace its90::ui::testing {
namespace {

// Sign-off from 记录簿: the signer chosen from the laboratory's people who hold the step's role
// (never the record's operator), each step shown, the certificate numbered on approval, a
// refusal without its reason kept nowhere, and 人员… adding a person.
TEST_F(Book, ARecordIsCheckedApprovedAndRefusedFromTheBookWindow) {
    std::int64_t id = 0, other = 0;
    {
        book::Book b(book_path.toStdString());
        b.add_person("张三", book::Role::Operator);
        b.add_person("张三", book::Role::Checker);
        b.add_person("李四", book::Role::Checker);
        b.add_person("王五", book::Role::Approver);
        book::Record r;
        r.number = "S-1";
        r.type = "S";
        r.operator_name = "张三";
        r.date = "2026-12-09 10:00:00";
        r.document = "a,b\r\n";
        id = b.keep(r);
        r.number = "S-2";
        other = b.keep(r);
    }
    BookWindow* window = open_book();
    window->select(id);
    EXPECT_TRUE(window->check_button()->isEnabled());
    EXPECT_FALSE(window->approve_button()->isEnabled());
    EXPECT_TRUE(window->details()->text().contains("状态：待核验"));

    prompts.signer = "李四";
    prompts.sign_comment = "与原始记录一致";
    window->check_button()->click();
    EXPECT_EQ(prompts.offered_people, QStringList{"李四"});  // not the operator, not the approver
    EXPECT_TRUE(window->details()->text().contains("状态：已核验"));
    EXPECT_TRUE(window->details()->text().contains("核验 李四"));
    EXPECT_TRUE(window->approve_button()->isEnabled());
    EXPECT_FALSE(window->check_button()->isEnabled());

    prompts.signer = "王五";
    prompts.sign_comment.clear();
    window->approve_button()->click();
    EXPECT_EQ(prompts.offered_people, QStringList{"王五"});
    const QString year = QString::number(QDate::currentDate().year());
    EXPECT_TRUE(window->details()->text().contains("证书编号 WD-" + year + "-0001")) << window->details()->text().toStdString();
    EXPECT_FALSE(window->refuse_button()->isEnabled());
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();

    // A refusal without its reason is refused and keeps nothing.
    window->select(other);
    prompts.signer = "李四";
    window->refuse_button()->click();
    EXPECT_TRUE(prompts.asked_reason);
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains("退回须说明原因"));
    prompts.sign_comment = "铜点电势与原始记录不符";
    window->refuse_button()->click();
    EXPECT_TRUE(window->details()->text().contains("状态：已退回"));
    {
        const book::Book b(book_path.toStdString(), book::Book::Access::ReadOnly);
        EXPECT_EQ(b.find(other)->state, book::State::Refused);
        ASSERT_EQ(b.sign_offs(other).size(), 1u);
        EXPECT_EQ(b.sign_offs(other)[0].comment, "铜点电势与原始记录不符");
    }
    // 人员…: a person and their roles.
    prompts.new_person = "赵六";
    prompts.new_roles = {false, true, true};
    window->people_button()->click();
    const book::Book b(book_path.toStdString(), book::Book::Access::ReadOnly);
    bool added = false;
    for (const book::Person& p : b.people()) {
        added = added || (p.name == "赵六" && p.roles == std::vector<book::Role>{book::Role::Checker, book::Role::Approver});
    }
    EXPECT_TRUE(added);
}

// 证书 in 记录簿: the certificate (PDF and paper) and the DCC of a record issued in the
// calculator with the certificate's particulars typed, before and after its approval.
TEST_F(Book, TheCertificateAndItsDccComeFromTheBookWindow) {
    calibrate();
    prompts.typed = {"S-0777", "张三", "", false, "", "", "某电厂", "定点炉 FP-2", "20,5", "46"};
    save_csv("record.csv");
    ASSERT_EQ(kept().size(), 1u);
    const book::Record record = kept().front();
    EXPECT_EQ(record.input("ambient_temperature_C"), "20.5");
    EXPECT_EQ(record.input("customer"), "某电厂");
    {
        book::Book b(book_path.toStdString());
        b.add_person("李四", book::Role::Checker);
        b.add_person("王五", book::Role::Approver);
        b.set_setting("laboratory_name", "某市计量测试所");
    }
    BookWindow* window = open_book();
    window->select(record.id);
    ASSERT_TRUE(window->certificate_button()->isEnabled());
    const QList<QAction*> actions = window->certificate_button()->menu()->actions();
    ASSERT_EQ(actions.size(), 3);
    // Not approved yet: issued all the same, saying so, without a number.
    prompts.path = dir.filePath("draft.xml");
    actions[2]->trigger();
    EXPECT_TRUE(window->status()->text().contains("尚未批准")) << window->status()->text().toStdString();
    const QByteArray draft = contents(dir.filePath("draft.xml"));
    EXPECT_EQ(form::dcc_fault(draft.toStdString()), "");
    EXPECT_TRUE(draft.contains("not-approved"));

    prompts.signer = "李四";
    window->check_button()->click();
    prompts.signer = "王五";
    window->approve_button()->click();
    ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
    const QString number = "WD-" + QString::number(QDate::currentDate().year()) + "-0001";
    prompts.path = dir.filePath("certificate.xml");
    actions[2]->trigger();
    const QByteArray dcc = contents(dir.filePath("certificate.xml"));
    EXPECT_EQ(form::dcc_fault(dcc.toStdString()), "");
    for (const char* part : {"某市计量测试所", "某电厂", "20.5", "\\percent", "李四", "王五", "\\milli\\volt"}) {
        EXPECT_TRUE(dcc.contains(part)) << part;
    }
    EXPECT_TRUE(dcc.contains(("<dcc:uniqueIdentifier>" + number + "</dcc:uniqueIdentifier>").toUtf8()));
    EXPECT_EQ(prompts.filters.back(), "DCC 文件 (*.xml)");
    prompts.path = dir.filePath("certificate.pdf");
    actions[0]->trigger();
    EXPECT_TRUE(contents(dir.filePath("certificate.pdf")).startsWith("%PDF-"));
    prompts.print_file = dir.filePath("printed.pdf");
    actions[1]->trigger();
    EXPECT_TRUE(contents(dir.filePath("printed.pdf")).startsWith("%PDF-"));
    // A file that cannot be written is named, and nothing else is touched.
    prompts.path = dir.filePath("none/certificate.xml");
    actions[2]->trigger();
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains("none/certificate.xml"));
    EXPECT_EQ(kept().size(), 1u);
}


}  // namespace
}  // namespace its90::ui::testing
