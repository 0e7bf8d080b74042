// The calibration record from the window: the PDF as pdftotext and pdftoppm read it, the
// printout, saving that fails, and the menu that reaches it all.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "tests/ui/window_fixture.h"
#include "ui/record_page.h"

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
        const auto r = form::calibration_record(
            form->model(), {"S-0421", "张三", "备注：复检", one_degree_table}, "2026-12-08 10:00");
        EXPECT_TRUE(r);
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
                                 "0.00999995000000195", "2.99999994579647e-10", "1.00000003153133e-13",
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

}  // namespace
}  // namespace its90::ui::testing
