// The calibration record from the window: the PDF as pdftotext and pdftoppm read it, the
// printout, saving that fails, and the menu that reaches it all.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPrinter>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "tests/ui/recording_prompts.h"
#include "tests/ui/window_fixture.h"
#include "ui/comparison_page.h"
#include "ui/record_page.h"
#include "ui/window_prompts.h"

namespace its90::ui::testing {
namespace {

// The output of a shell command, or nothing when it fails.
std::optional<std::string> output_of(const std::string& command) {
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string text;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    if (pclose(pipe) != 0) return std::nullopt;
    return text;
}

bool have_poppler() { return output_of("pdftotext -v 2>&1").has_value(); }

class Record : public WindowTest {
protected:
    void calibrate_antimony() {
        click(button(Op2));
        retype(box(T1(0)), "3.45689");
        retype(box(T1(1)), "5.5628");
        retype(box(T1(2)), "10.5848");
        retype(box(T1(12)), "1000");
    }
    form::CalibrationRecord record(bool one_degree_table = false) {
        std::optional<form::CalibrationRecord> r = form->model().record();
        EXPECT_TRUE(r);
        r->identification = {"S-0421", "张三", "备注：复检", one_degree_table};
        r->date_time = "2026-12-08 10:00";
        return *r;
    }
    QTemporaryDir dir;
};

TEST_F(Record, PdfHoldsEveryValueAndRendersAPage) {
    if (!have_poppler()) GTEST_SKIP() << "no poppler-utils";
    calibrate_antimony();
    const form::CalibrationRecord r = record(true);
    const QString path = dir.filePath("record.pdf");
    QString error;
    ASSERT_TRUE(save_pdf(path, r, error)) << error.toStdString();
    const std::optional<std::string> text = output_of("pdftotext -layout '" + path.toStdString() + "' -");
    ASSERT_TRUE(text);
    std::string collapsed;  // pdftotext may break a line's spaces differently
    for (char c : *text) {
        if (c != ' ' && c != '\n') collapsed += c;
    }
    for (int index : form::kTableBoxes) {
        const std::string value = box(T1(index))->text().trimmed().toStdString();
        EXPECT_NE(collapsed.find(value), std::string::npos) << value;
    }
    for (const char* expected : {"标准铂铑10-铂热电偶(S型)定点分度结果", "S-0421", "张三", "锑点",
                                 "A=0.01000", "B=0mV/℃", "C=0mV/℃²",
                                 "不合格", "总结论：不合格", "JJG75-1995", "10.766540401", "9.5971",
                                 "1℃分度表", "10.767"}) {
        EXPECT_NE(collapsed.find(expected), std::string::npos) << expected;
    }
    const std::string png = dir.filePath("page").toStdString();
    ASSERT_TRUE(output_of("pdftoppm -r 60 -png -f 1 -l 1 '" + path.toStdString() + "' '" + png + "'"));
    QImage page(QString::fromStdString(png + "-1.png"));
    ASSERT_FALSE(page.isNull());
    int ink = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) ink += qGray(page.pixel(x, y)) < 128;
    }
    EXPECT_GT(ink, 2000);  // text, rules and the plot, not a blank page
    // The record, and the 1 degC table on two more pages.
    EXPECT_EQ(output_of("pdfinfo '" + path.toStdString() + "' | awk '/^Pages:/ {print $2}'").value_or(""),
              "3\n");
    // Each page says which of how many it is; the pages after the first name the record.
    for (int p = 1; p <= 3; ++p) {
        std::string one = output_of("pdftotext -f " + std::to_string(p) + " -l " + std::to_string(p) + " '" +
                                    path.toStdString() + "' -").value_or("");
        std::erase(one, ' ');
        EXPECT_NE(one.find("第" + std::to_string(p) + "页共3页"), std::string::npos) << p;
        const bool headed = one.find("记录编号S-0421") != std::string::npos && one.find("（续）") != std::string::npos;
        EXPECT_EQ(headed, p > 1) << p << one.substr(0, 200);
    }
    if (const QByteArray out = qgetenv("ITS90_RECORD_PDF"); !out.isEmpty()) {
        QFile::remove(QString::fromLocal8Bit(out));
        QFile::copy(path, QString::fromLocal8Bit(out));
    }
    if (const QByteArray out = qgetenv("ITS90_RECORD_PNG"); !out.isEmpty()) {
        output_of("pdftoppm -r 100 -png -singlefile -f 1 -l 1 '" + path.toStdString() + "' '" +
                  out.toStdString() + "'");
    }
}

TEST_F(Record, PrintsThroughTheSameDrawingToAPdfPrinter) {
    if (!have_poppler()) GTEST_SKIP() << "no poppler-utils";
    calibrate_antimony();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("printed.pdf"));
    draw_record(printer, record());
    const std::optional<std::string> text = output_of("pdftotext '" + dir.filePath("printed.pdf").toStdString() + "' -");
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("2.333040049"), std::string::npos);
}

TEST_F(Record, AFailedSaveChangesNothing) {
    calibrate_antimony();
    const form::CalibrationRecord r = record();
    // An existing record stays whole when it cannot be replaced.
    const QString kept = dir.filePath("kept.csv");
    {
        QFile f(kept);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier record\n");
    }
    QString error;
    for (const QString& path : {dir.filePath("gone/record.csv"), QStringLiteral("/proc/record.csv")}) {
        EXPECT_FALSE(save_csv(path, r, error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(save_pdf(path, r, error)) << path.toStdString();
    }
    if (geteuid() != 0) {  // root writes into read-only folders
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_FALSE(save_csv(kept, r, error));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "earlier record\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.csv"});
    EXPECT_EQ(box(T1(3))->text(), " 2.333040049");  // the window keeps its values
}

// A small tmpfs, full or nearly so: a save that cannot write every byte fails, says why, and
// leaves the earlier record there byte for byte. Needs the right to mount (root, as in CI).
class FullDisk : public Record {
protected:
    void SetUp() override {
        Record::SetUp();
        mount_point = dir.filePath("small");
        QDir().mkpath(mount_point);
        const std::string command =
            "mount -t tmpfs -o size=512k tmpfs '" + mount_point.toStdString() + "' 2>/dev/null";
        if (geteuid() != 0 || std::system(command.c_str()) != 0) {
            GTEST_SKIP() << "cannot mount a small tmpfs here";
        }
        mounted = true;
    }
    void TearDown() override {
        if (mounted) std::system(("umount '" + mount_point.toStdString() + "'").c_str());
        Record::TearDown();
    }
    // Writes an earlier record, then fills the disk up to `left` bytes free.
    QByteArray earlier(const QString& name, qint64 left) {
        QByteArray bytes(10'000, 'e');
        QFile f(mount_point + "/" + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QFile filler(mount_point + "/filler");
        EXPECT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'f');
        while (free_bytes() > left + 1024 && filler.write(block) == block.size()) filler.flush();
        filler.close();
        return bytes;
    }
    qint64 free_bytes() const {
        return QStorageInfo(mount_point).bytesAvailable();
    }
    QByteArray contents(const QString& name) const {
        QFile f(mount_point + "/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
    }
    QString mount_point;
    bool mounted = false;
};

TEST_F(FullDisk, ASaveThatDoesNotFitKeepsTheEarlierRecord) {
    calibrate_antimony();
    const form::CalibrationRecord r = record(true);  // with the 1 degC table: a long record
    struct Case {
        const char* name;
        qint64 left;  // bytes free
        bool pdf;
    };
    const Case cases[] = {{"full.csv", 0, false}, {"full.pdf", 0, true},
                          {"nearly.csv", 8 * 1024, false}, {"nearly.pdf", 24 * 1024, true}};
    for (const Case& c : cases) {
        const QByteArray before = earlier(c.name, c.left);
        QString error;
        const QString path = mount_point + "/" + c.name;
        EXPECT_FALSE(c.pdf ? save_pdf(path, r, error) : save_csv(path, r, error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_EQ(contents(c.name), before) << c.name;
        QFile::remove(mount_point + "/filler");
        QFile::remove(path);
        // Nothing else is left behind: no temporary file.
        EXPECT_EQ(QDir(mount_point).entryList(QDir::Files | QDir::Hidden), QStringList{}) << c.name;
    }
    // With room, the same saves succeed.
    QString error;
    EXPECT_TRUE(save_csv(mount_point + "/room.csv", r, error)) << error.toStdString();
    EXPECT_TRUE(save_pdf(mount_point + "/room.pdf", r, error)) << error.toStdString();
}

class RecordFromTheWindow : public Record {
protected:
    void SetUp() override {
        Record::SetUp();
        form->set_prompts(&prompts);
    }
    QAction* action(MainWindow::RecordAction a) { return form->record_action(a); }
    RecordingPrompts prompts;
};

TEST_F(RecordFromTheWindow, EntriesAndShortcutsFollowTheTable) {
    using A = MainWindow::RecordAction;
    const std::pair<A, QKeySequence> shortcuts[] = {
        {A::Copy, QKeySequence("Ctrl+Shift+C")}, {A::SaveCsv, QKeySequence("Ctrl+S")},
        {A::ExportPdf, QKeySequence()}, {A::Print, QKeySequence("Ctrl+P")}};
    for (const auto& [a, keys] : shortcuts) {
        EXPECT_EQ(action(a)->shortcut(), keys);
        EXPECT_FALSE(action(a)->isEnabled());
    }
    retype(box(T1(0)), "3.45689");
    retype(box(T1(1)), "5.87013");
    EXPECT_FALSE(action(A::Copy)->isEnabled());
    retype(box(T1(2)), "10.5848");
    for (const auto& [a, keys] : shortcuts) EXPECT_TRUE(action(a)->isEnabled());
    retype(box(T1(1)), "");
    EXPECT_FALSE(action(A::Print)->isEnabled());
}

TEST_F(RecordFromTheWindow, MenusAddTheRecordToABoxsOwnEntries) {
    std::unique_ptr<QMenu> panel(form->calibration_menu());
    QStringList texts;
    for (QAction* a : panel->actions()) texts << a->text();
    EXPECT_EQ(texts, (QStringList{QString::fromUtf8("复制校准结果"), QString::fromUtf8("保存为 CSV…"),
                                  QString::fromUtf8("导出 PDF…"), QString::fromUtf8("打印…")}));
    std::unique_ptr<QMenu> on_box(form->calibration_menu(box(T1(3))));
    EXPECT_GT(on_box->actions().size(), 4 + 1);  // the box's copy and select entries first
    EXPECT_EQ(on_box->actions().back()->text(), QString::fromUtf8("打印…"));
    EXPECT_EQ(box(T1(3))->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST_F(RecordFromTheWindow, SaveCopyAndPrint) {
    calibrate_antimony();
    const QString path = dir.filePath("record.csv");
    // Cancelling the identification or the file dialog writes nothing.
    prompts.accept = false;
    action(MainWindow::RecordAction::SaveCsv)->trigger();
    prompts.accept = true;
    action(MainWindow::RecordAction::SaveCsv)->trigger();
    EXPECT_FALSE(QFile::exists(path));
    // Ctrl+S saves.
    prompts.path = path;
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray csv = saved.readAll();
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(csv.contains("300,2.333040049\r\n"));
    EXPECT_TRUE(csv.contains(QString::fromUtf8("编号,S-0421").toUtf8()));
    // The identification typed once is offered again for the next record of the run.
    ASSERT_GE(prompts.offered.size(), 3u);
    EXPECT_EQ(prompts.offered.back().number, "S-0421");
    EXPECT_EQ(prompts.filters.back(), QString::fromUtf8("CSV 文件 (*.csv)"));

    prompts.path = dir.filePath("record.pdf");
    action(MainWindow::RecordAction::ExportPdf)->trigger();
    EXPECT_TRUE(QFile::exists(dir.filePath("record.pdf")));

    action(MainWindow::RecordAction::Copy)->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().contains("300\t2.333040049\n"));

    prompts.print_file = dir.filePath("printed.pdf");
    action(MainWindow::RecordAction::Print)->trigger();
    EXPECT_TRUE(QFile::exists(dir.filePath("printed.pdf")));
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(RecordFromTheWindow, AFailedSaveSaysWhichFileAndWhy) {
    calibrate_antimony();
    prompts.path = dir.filePath("gone/record.csv");
    action(MainWindow::RecordAction::SaveCsv)->trigger();
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].startsWith(QString::fromUtf8("无法保存文件“") + *prompts.path + QString::fromUtf8("”：")));
    EXPECT_GT(prompts.errors[0].size(), QString::fromUtf8("无法保存文件“”：").size() + prompts.path->size());
    EXPECT_EQ(box(T1(3))->text(), " 2.333040049");
    EXPECT_EQ(box(T1(13))->text(), " 9.5971");
}

TEST(RecordDialog, AsksForTheIdentificationAndTheOneDegreeTable) {
    QWidget parent;
    ModalWindowPrompts prompts(&parent);
    form::Identification id{"S-1", "", "", false};
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<QLineEdit*>("number")->text(), "S-1");
        dialog->findChild<QLineEdit*>("operator_name")->setText(QString::fromUtf8("李四"));
        dialog->findChild<QPlainTextEdit*>("notes")->setPlainText("x");
        dialog->findChild<QCheckBox*>("one_degree_table")->setChecked(true);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(prompts.identification(id, WindowPrompts::RecordKind::Calibration));
    EXPECT_EQ(id.operator_name, "李四");
    EXPECT_EQ(id.notes, "x");
    EXPECT_TRUE(id.one_degree_table);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_FALSE(prompts.identification(id, WindowPrompts::RecordKind::Calibration));
    EXPECT_EQ(id.operator_name, "李四");  // cancelling changes nothing
}

// The number is named for what it identifies, and the certificate's particulars are asked with
// it: a condition that is no number keeps the dialog open with the reason, every field as typed.
TEST(RecordDialog, NamesItsNumberAndChecksTheConditions) {
    QWidget parent;
    ModalWindowPrompts prompts(&parent);
    const std::pair<WindowPrompts::RecordKind, const char*> kinds[] = {
        {WindowPrompts::RecordKind::Calibration, "热电偶编号："},
        {WindowPrompts::RecordKind::Comparison, "记录编号："},
        {WindowPrompts::RecordKind::Resistance, "温度计编号："},
    };
    for (const auto& [kind, label] : kinds) {
        form::Identification id{"N-1", "", "", false};
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* layout = qobject_cast<QFormLayout*>(dialog->layout());
            shown = qobject_cast<QLabel*>(layout->labelForField(dialog->findChild<QLineEdit*>("number")))->text();
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        });
        EXPECT_FALSE(prompts.identification(id, kind));
        EXPECT_EQ(shown, QString::fromUtf8(label));
    }
    form::Identification id{"S-1", "李四", "", false};
    QStringList said;
    QTimer::singleShot(0, [&said] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("customer")->setText(QString::fromUtf8("某电厂"));
        dialog->findChild<QLineEdit*>("ambient_temperature")->setText("20,5");
        dialog->findChild<QLineEdit*>("relative_humidity")->setText("abc");
        QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        ok->click();
        EXPECT_TRUE(dialog->isVisible());
        said << dialog->findChild<QLabel*>("problem")->text();
        EXPECT_EQ(dialog->findChild<QLineEdit*>("relative_humidity")->text(), "abc");
        dialog->findChild<QLineEdit*>("relative_humidity")->setText("45");
        ok->click();
    });
    ASSERT_TRUE(prompts.identification(id, WindowPrompts::RecordKind::Calibration));
    ASSERT_EQ(said.size(), 1);
    EXPECT_EQ(said[0], QString::fromUtf8("相对湿度“abc”不是数"));
    EXPECT_EQ(id.customer, "某电厂");
    EXPECT_EQ(id.ambient_temperature, "20.5");
    EXPECT_EQ(id.relative_humidity, "45");
}

// However many thermocouples and points push them down, the readings' heading stands on the
// page of the first point's table, never alone at the foot of the page before it.
TEST(ComparisonRecordPages, TheReadingsHeadingKeepsItsTable) {
    if (!have_poppler()) GTEST_SKIP() << "no poppler-utils";
    QTemporaryDir dir;
    const QString path = dir.filePath("comparison.pdf");
    for (int working = 1; working <= form::kMostWorking; ++working) {
        for (int points = 1; points <= form::kMostPoints; ++points) {
            form::ComparisonRecord record;
            record.date_time = "2026-12-08 10:00";
            form::ComparisonForm& f = record.form;
            f.set_from_panel(false);
            f.set_uncertainties(calibration::ComparisonUncertainties{1.5, 0.8, 0, 2}, std::nullopt);
            record.budget = {{"量", "分量", "数值"}, {"标准证书", "certificate", "1.5"}, {"电测仪器", "dvm", "0.8"}};
            f.set_working_count(working);
            f.set_point_count(points);
            f.set_readings(2);
            for (int p = 0; p < points; ++p) {
                f.edit_temperature(p, std::to_string(100 * (p + 1)));
                f.edit_certificate(p, std::array{"0.646", "1.441", "2.323", "3.259", "4.233", "5.239", "6.275", "7.345"}[static_cast<std::size_t>(p)]);
                for (int who = -1; who < working; ++who)
                    for (int r = 0; r < 2; ++r) f.edit_reading(p, who, r, who < 0 ? "3.0" : "16.0");
            }
            ASSERT_TRUE(f.complete()) << working << " x " << points;
            QString error;
            ASSERT_TRUE(save_comparison_pdf(path, record, error)) << error.toStdString();
            const std::string text = output_of("pdftotext -layout '" + path.toStdString() + "' -").value_or("");
            std::size_t start = 0;
            for (int page = 1; start < text.size(); ++page) {
                const std::size_t end = std::min(text.find('\f', start), text.size());
                const std::string on_page = text.substr(start, end - start);
                if (on_page.find("读数（mV") != std::string::npos) {
                    EXPECT_NE(on_page.find("检定点 "), std::string::npos)
                        << working << " thermocouples, " << points << " points: page " << page;
                }
                start = end + 1;
            }
        }
    }
}

// A standard from the book states its record, date and coefficients: a long line, set on two
// rather than cut at the page's edge.
// A long thermocouple number wraps in the tables and the plot's legend: every part of it is
// on the page, its start too.
TEST(ComparisonRecordPages, ALongNumberWrapsAndKeepsItsStart) {
    if (!have_poppler()) GTEST_SKIP() << "no poppler-utils";
    QTemporaryDir dir;
    form::ComparisonRecord record;
    record.date_time = "2026-12-08 10:00";
    form::ComparisonForm& f = record.form;
    f.set_from_panel(false);
    f.set_working_count(3);
    f.set_point_count(1);
    f.set_readings(1);
    f.edit_temperature(0, "400");
    f.edit_certificate(0, "3.2587");
    f.edit_reading(0, -1, 0, "3.26046");
    for (int i = 0; i < 3; ++i) {
        f.set_working_number(i, i == 0 ? "K-03 某热处理厂一号炉 WRNK-191 长号码" : "K-0" + std::to_string(i + 3));
        f.edit_reading(0, i, 0, "16.38544");
    }
    ASSERT_TRUE(f.complete());
    QString error;
    ASSERT_TRUE(save_comparison_pdf(dir.filePath("long.pdf"), record, error)) << error.toStdString();
    if (const QByteArray out = qgetenv("ITS90_RECORD_PDF"); !out.isEmpty()) {
        QFile::remove(QString::fromLocal8Bit(out));
        QFile::copy(dir.filePath("long.pdf"), QString::fromLocal8Bit(out));
    }
    std::string text = output_of("pdftotext '" + dir.filePath("long.pdf").toStdString() + "' -").value_or("");
    std::erase(text, ' ');
    std::erase(text, '\n');
    // In the results, the readings' heading and the legend: three times at least.
    std::size_t found = 0;
    for (std::size_t at = text.find("K-03某热处理"); at != std::string::npos; at = text.find("K-03某热处理", at + 1)) ++found;
    EXPECT_GE(found, 2u) << text.substr(0, 600);
    EXPECT_NE(text.find("WRNK-191"), std::string::npos);
}

TEST(ComparisonRecordPages, AKeptStandardIsStatedWhole) {
    if (!have_poppler()) GTEST_SKIP() << "no poppler-utils";
    QTemporaryDir dir;
    form::ComparisonRecord record;
    record.date_time = "2026-12-09 10:00";
    form::ComparisonForm& f = record.form;
    const Outcome<calibration::Calibration> c =
        calibration::calibrate(3.45389, 5.86823, 10.5879, calibration::MiddlePoint::Aluminium);
    f.set_kept_standard(form::KeptStandard{6, "2025-05-21 09:00", *c, std::nullopt});
    f.set_point_count(1);
    f.set_readings(1);
    f.edit_temperature(0, "400");
    f.edit_reading(0, -1, 0, "3.26046");
    f.edit_reading(0, 0, 0, "16.38544");
    ASSERT_TRUE(f.complete());
    QString error;
    ASSERT_TRUE(save_comparison_pdf(dir.filePath("kept.pdf"), record, error)) << error.toStdString();
    std::string text = output_of("pdftotext '" + dir.filePath("kept.pdf").toStdString() + "' -").value_or("");
    std::erase(text, ' ');
    for (const char* part : {"（记录6）", "A=0.00809mV", "B=-7.1e-06mV/℃", "C=1.085e-08mV/℃²"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
}

}  // namespace
}  // namespace its90::ui::testing
