// 自动采集 end to end through its widgets, against the project's simulated meter: a whole run
// fills the comparison window's tables (shaded as measured) while the window stays
// responsive; pause and continue; a fault paused with its words and the run stopped; a
// reading typed over stated in the record; a run cut short offered again and finished.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "book/book.h"
#include "core/its90.h"
#include "form/book_records.h"
#include "form/comparison_record.h"
#include "tests/doubles/simulated_meter.h"
#include "tests/ui/recording_prompts.h"
#include "tests/ui/window_fixture.h"
#include "ui/acquisition_window.h"
#include "ui/book_window.h"
#include "ui/comparison_page.h"
#include "ui/comparison_window.h"

namespace its90::ui::testing {
namespace {

using its90::testing::SimulatedMeter;

class Acquisition : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        form->set_prompts(&prompts);
        form->show_comparison();
        comparison = form->comparison_window();
        ASSERT_NE(comparison, nullptr);
    }
    static std::vector<std::string> furnace(std::vector<std::string> more = {}) {
        std::vector<std::string> o = {"--channel", "101=S", "--channel", "102=K:0.5", "--channel", "103=K:-0.3",
                                      "--tau", "60", "--time-scale", "600", "--noise", "0.05"};
        o.insert(o.end(), more.begin(), more.end());
        return o;
    }
    static void edit(QLineEdit* e, const QString& text) {
        e->selectAll();
        e->insert(text);
    }
    // Two type K thermocouples at 300 and 400 degC, three readings each, the standard's own
    // EMF its reference EMF (the simulator's standard reads exactly that).
    void set_out_the_run(const SimulatedMeter& sim) {
        comparison->from_certificate()->click();
        comparison->working_count()->setValue(2);
        edit(comparison->working_number(0), "K1");
        edit(comparison->working_number(1), "K2");
        comparison->point_count()->setValue(2);
        comparison->readings()->setValue(3);
        edit(comparison->point_temperature(0), "300");
        edit(comparison->point_temperature(1), "400");
        edit(comparison->certificate(0), QString::fromStdString(text_of(*E90_S(300))));
        edit(comparison->certificate(1), QString::fromStdString(text_of(*E90_S(400))));
        comparison->show_acquisition();
        window = &comparison->acquisition();
        window->address()->setText(QString::fromStdString(sim.address()));
        window->profile()->setCurrentText("simulator");
        const char* limits[] = {"10", "1", "5", "0.01", "1"};
        for (int i = 0; i < 5; ++i) window->limit(i)->setText(limits[i]);
    }
    static std::string text_of(double x) {
        char s[32];
        std::snprintf(s, sizeof s, "%.5f", x);
        return s;
    }
    bool run_ends(int ms = 30000) {
        return QTest::qWaitFor([&] { return !window->running(); }, ms);
    }

    RecordingPrompts prompts;
    ComparisonWindow* comparison = nullptr;
    AcquisitionWindow* window = nullptr;
};

TEST_F(Acquisition, AWholeRunFillsTheTablesAndTheWindowStaysResponsive) {
    SimulatedMeter sim(furnace({"--slow-ms", "5"}));
    set_out_the_run(sim);
    window->test_button()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->identity()->text().contains("its90-meter-sim"); }, 5000))
        << window->identity()->text().toStdString();
    // A timer on the window's thread keeps ticking while the meter is read.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    QElapsedTimer clock;
    clock.start();
    window->start_button()->click();
    ASSERT_TRUE(window->running());
    ASSERT_TRUE(run_ends());
    const double seconds = clock.elapsed() / 1000.0;
    EXPECT_GT(ticks, seconds * 100 / 3) << "ticks " << ticks << " in " << seconds << " s";
    EXPECT_EQ(window->state()->text(), "状态：完成") << window->message()->text().toStdString();
    const form::ComparisonForm& f = comparison->model();
    for (int p = 0; p < 2; ++p) {
        for (int who = -1; who < 2; ++who) {
            for (int r = 0; r < 3; ++r) {
                const form::Cell& c = f.reading(p, who, r);
                EXPECT_FALSE(c.text.empty());
                EXPECT_TRUE(c.measured && !c.corrected());
                EXPECT_EQ(comparison->reading_table(p)->item(r, who + 1)->text().toStdString(), c.text);
                EXPECT_EQ(comparison->reading_table(p)->item(r, who + 1)->toolTip(), "自动采集的仪表读数");
            }
        }
    }
    // Each offset of the simulator's furnace comes out as the thermocouple's dt.
    ASSERT_TRUE(f.complete());
    for (int p = 0; p < 2; ++p) {
        EXPECT_NEAR(f.result(0, p).result->delta_t, 0.5, 0.03);
        EXPECT_NEAR(f.result(1, p).result->delta_t, -0.3, 0.03);
    }
    ASSERT_TRUE(f.run_source);
    EXPECT_EQ(f.run_source->meter, sim.address());
    EXPECT_NE(f.run_source->identity.find("its90-meter-sim"), std::string::npos);
    // A reading typed over is shaded apart and stated, with what the meter gave.
    const std::string measured = f.reading(1, 0, 2).text;
    comparison->reading_table(1)->item(2, 1)->setText("16.40000");
    EXPECT_TRUE(comparison->model().reading(1, 0, 2).corrected());
    EXPECT_TRUE(comparison->reading_table(1)->item(2, 1)->toolTip().contains(QString::fromStdString(measured)));
    bool stated = false;
    for (const auto& row : form::run_source_rows(comparison->model())) {
        if (row.size() == 2 && row[0] == "手工修改") {
            stated = row[1] == "400 ℃ K1 第 3 次：仪表 " + measured + "，改为 16.40000";
        }
    }
    EXPECT_TRUE(stated);
    // The kept record names the run and what the meter gave for the cell typed over.
    const book::Record kept = form::book_record(form::ComparisonRecord{"2026-12-09 10:00:00", {}, comparison->model(), {}},
                                                nullptr, "test");
    EXPECT_EQ(kept.input("run_id"), std::to_string(f.run_source->run_id));
    EXPECT_EQ(kept.input("point_2_working_1_3_measured"), measured);
    // So does the page.
    QTemporaryDir dir;
    QString error;
    const form::ComparisonRecord record{"2026-12-09 10:00:00", {}, comparison->model(), {}};
    ASSERT_TRUE(save_comparison_pdf(dir.filePath("run.pdf"), record, error)) << error.toStdString();
    if (const QByteArray out = qgetenv("ITS90_RECORD_PDF"); !out.isEmpty()) {  // to look at
        QFile::remove(QString::fromLocal8Bit(out));
        QFile::copy(dir.filePath("run.pdf"), QString::fromLocal8Bit(out));
    }
    std::string page;
    if (FILE* text = popen(("pdftotext '" + dir.filePath("run.pdf").toStdString() + "' -").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, text)) > 0;) page.append(buffer, n);
        pclose(text);
    }
    std::erase(page, ' ');
    std::erase(page, '\n');
    EXPECT_NE(page.find("读数来源：自动采集：ITS90,Simulatedmeterits90-meter-sim"), std::string::npos) << page.substr(0, 800);
    EXPECT_NE(page.find("400℃K1第3次：仪表" + measured + "，改为16.40000"), std::string::npos);
    // Kept in the book, the record's raw readings are saved from 记录簿 for audit.
    std::int64_t kept_id = 0;
    {
        book::Book b(qEnvironmentVariable("ITS90_BOOK").toStdString());
        book::Record r = kept;
        r.number = "K1";
        r.date = "2026-12-09 10:00:00";
        kept_id = b.keep(r);
    }
    form->show_book();
    BookWindow* book_window = form->book_window();
    book_window->search();
    book_window->select(kept_id);
    ASSERT_TRUE(book_window->raw_readings_button()->isEnabled());
    prompts.path = dir.filePath("raw.csv");
    book_window->raw_readings_button()->click();
    QFile raw(dir.filePath("raw.csv"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QString csv = QString::fromUtf8(raw.readAll());
    EXPECT_EQ(csv.count(QStringLiteral(",读数")), 18);
    EXPECT_GE(csv.count(QStringLiteral(",稳定判据")), 10);
    EXPECT_TRUE(csv.contains(QString::fromStdString(",102,")));
    form::ComparisonForm loaded;
    ASSERT_TRUE(form::load_comparison(kept, loaded));
    EXPECT_TRUE(loaded.reading(1, 0, 2).corrected());
    EXPECT_TRUE(loaded.reading(0, -1, 0).measured && !loaded.reading(0, -1, 0).corrected());
    ASSERT_TRUE(loaded.run_source);
    EXPECT_EQ(loaded.run_source->run_id, f.run_source->run_id);
}

TEST_F(Acquisition, AWholeRunOverASerialLine) {
    SimulatedMeter sim(furnace(), SimulatedMeter::Link::Pty);
    set_out_the_run(sim);
    window->start_button()->click();
    ASSERT_TRUE(run_ends());
    EXPECT_EQ(window->state()->text(), "状态：完成") << window->message()->text().toStdString();
    const form::ComparisonForm& f = comparison->model();
    ASSERT_TRUE(f.complete());
    EXPECT_NEAR(f.result(0, 1).result->delta_t, 0.5, 0.03);
    EXPECT_NEAR(f.result(1, 1).result->delta_t, -0.3, 0.03);
    EXPECT_EQ(f.run_source->meter, sim.address());
}

TEST_F(Acquisition, PausedAndContinued) {
    SimulatedMeter sim(furnace());
    set_out_the_run(sim);
    window->start_button()->click();
    window->pause_button()->click();
    ASSERT_TRUE(run_ends());
    EXPECT_EQ(window->state()->text(), "状态：已暂停");
    EXPECT_TRUE(window->resume_button()->isEnabled());
    EXPECT_FALSE(window->start_button()->isEnabled());
    window->resume_button()->click();
    ASSERT_TRUE(run_ends());
    EXPECT_EQ(window->state()->text(), "状态：完成") << window->message()->text().toStdString();
    EXPECT_TRUE(comparison->model().complete());
}

TEST_F(Acquisition, AFaultPausesNamedAndTheRunIsStopped) {
    SimulatedMeter sim(furnace({"--garbage-at", "5"}));
    set_out_the_run(sim);
    window->start_button()->click();
    ASSERT_TRUE(run_ends());
    // The fifth reading was garbage: paused, with the meter, the command and the reply.
    EXPECT_EQ(window->state()->text(), "状态：已暂停");
    const QString message = window->message()->text();
    EXPECT_TRUE(message.contains(QString::fromStdString(sim.address())));
    EXPECT_TRUE(message.contains("MEAS:VOLT:DC?"));
    EXPECT_TRUE(message.contains("#?OVLD-garbage"));
    EXPECT_TRUE(message.contains("不是数字")) << message.toStdString();
    window->stop_button()->click();
    EXPECT_EQ(window->state()->text(), "状态：已停止");
    EXPECT_TRUE(window->start_button()->isEnabled());
    book::Book book(qEnvironmentVariable("ITS90_BOOK").toStdString(), book::Book::Access::ReadOnly);
    EXPECT_TRUE(book.runs(true).empty());
    ASSERT_EQ(book.runs().size(), 1U);
    EXPECT_FALSE(book.runs()[0].complete);
}

TEST_F(Acquisition, ARunCutShortIsOfferedAgainAndFinishedWithItsReadings) {
    SimulatedMeter sim(furnace());
    std::vector<std::string> before;
    {
        // Another session's run, cut short after four readings.
        set_out_the_run(sim);
        const auto plan = form::acquisition_plan(comparison->model(), form::AcquisitionSettings{
                                                                          sim.address(), "simulator", "101", {"102", "103"},
                                                                          "10", "1", "5", "0.01", "1"});
        ASSERT_TRUE(std::holds_alternative<instrument::Plan>(plan));
        struct PauseAfterFour : instrument::RunObserver {
            instrument::Run* run = nullptr;
            int taken = 0;
            void arrived(const instrument::TakenReading& r) override {
                if (!r.for_stability && ++taken == 4) run->pause();
            }
        } cut;
        instrument::Meter meter(std::get<instrument::MeterAddress>(instrument::parse_address(sim.address())),
                                std::get<instrument::Profile>(instrument::find_profile("simulator")));
        book::Book book(qEnvironmentVariable("ITS90_BOOK").toStdString());
        instrument::Run run(meter, std::get<instrument::Plan>(plan), &book, &cut, "test");
        cut.run = &run;
        ASSERT_EQ(run.go(), instrument::Phase::Paused);
        for (const instrument::TakenReading& r : run.readings()) before.push_back(r.reading.emf_text);
    }
    comparison->start_new_run();  // a fresh window's comparison
    prompts.questions.clear();
    form->offer_unfinished_run();
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].contains("已保存 4 个读数"));
    window = &comparison->acquisition();
    ASSERT_TRUE(window->running());
    ASSERT_TRUE(run_ends());
    EXPECT_EQ(window->state()->text(), "状态：完成") << window->message()->text().toStdString();
    const form::ComparisonForm& f = comparison->model();
    EXPECT_EQ(f.working(0).number, "K1");
    EXPECT_EQ(f.point(1).temperature.text, "400");
    EXPECT_EQ(window->channels()->item(2, 1)->text(), "103");
    // The four kept first, in their cells: standard, K1, K2, standard.
    EXPECT_EQ(f.reading(0, -1, 0).text, before[0]);
    EXPECT_EQ(f.reading(0, 0, 0).text, before[1]);
    EXPECT_EQ(f.reading(0, 1, 0).text, before[2]);
    EXPECT_EQ(f.reading(0, -1, 1).text, before[3]);
    for (int p = 0; p < 2; ++p) {
        for (int who = -1; who < 2; ++who) {
            for (int r = 0; r < 3; ++r) EXPECT_TRUE(f.reading(p, who, r).measured);
        }
    }
    // Declined, a run cut short is ended and not offered again.
    form->offer_unfinished_run();
    EXPECT_EQ(prompts.questions.size(), 1);
}

}  // namespace
}  // namespace its90::ui::testing
