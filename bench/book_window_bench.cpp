// 记录簿 at a laboratory's scale: opening it and a keystroke in its 编号 box, with books of
// 10^4 and 10^5 records. A keystroke's search runs once typing pauses; what is measured is
// that search with the list shown again, as the user waits for it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <map>
#include <memory>

#include "bench/book_fill.h"
#include "tests/doubles/recording_message_box.h"
#include "ui/book_window.h"
#include "ui/main_window.h"

namespace {

using namespace its90;

bench::FilledBook& filled(int records) {
    static std::map<int, std::unique_ptr<bench::FilledBook>> made;
    std::unique_ptr<bench::FilledBook>& f = made[records];
    if (!f) {
        f = std::make_unique<bench::FilledBook>(records);
        f->book.reset();  // the window opens the book itself
    }
    return *f;
}

constexpr int kScales[] = {10000, 100000};

// The calculator's window with its book on `records` records.
struct Calculator {
    form::RecordingMessageBox box;
    std::unique_ptr<ui::MainWindow> window;
    explicit Calculator(int records) {
        qputenv("ITS90_BOOK", QByteArray::fromStdString(filled(records).path));
        window = std::make_unique<ui::MainWindow>(box);
    }
};

// 文件 > 记录簿…: the window made, the book searched, the list shown.
void book_window_open(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Calculator calculator(static_cast<int>(state.range(0)));
        state.ResumeTiming();
        calculator.window->show_book();
        QApplication::processEvents();
        benchmark::DoNotOptimize(calculator.window->book_window()->list()->model()->rowCount());
    }
}
BENCHMARK(book_window_open)->Unit(benchmark::kMillisecond)->Arg(kScales[0])->Arg(kScales[1]);

// A character typed in 编号 and the search it starts, the list drawn again.
void book_window_keystroke(benchmark::State& state) {
    Calculator calculator(static_cast<int>(state.range(0)));
    calculator.window->show_book();
    ui::BookWindow* book = calculator.window->book_window();
    const QString texts[2] = {"BJ-12", "BJ-1"};
    int i = 0;
    for (auto _ : state) {
        book->number_filter()->setText(texts[i++ & 1]);
        book->search();
        QApplication::processEvents();
    }
    state.counters["rows"] = book->list()->model()->rowCount();
}
BENCHMARK(book_window_keystroke)->Unit(benchmark::kMillisecond)->Arg(kScales[0])->Arg(kScales[1]);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    for (int records : kScales) filled(records);  // set up before the first measurement
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
