// The book at a laboratory's scale and at ten times it: 10^4 and 10^5 records (20 standards
// calibrated for 50 years, the rest comparisons). How long a search, a standard's history, a
// keep and the command line's open-and-search take, and how each grows with the book.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "book/book.h"
#include "book/fixed_points.h"

namespace {

using namespace its90;

book::Record record(book::Kind kind, const std::string& number, int year, int i) {
    book::Record r;
    r.kind = kind;
    r.number = number;
    r.type = std::string(1, kind == book::Kind::FixedPoint ? 'S' : 'K');
    r.operator_name = i % 2 ? "王工" : "李工";
    char date[32];
    std::snprintf(date, sizeof date, "%04d-05-01 09:%02d", year, 10 + i % 50);
    r.date = date;
    r.program_version = "bench";
    r.inputs = book::fields_of({{3.45689 + i * 1e-6, 5.87013, 10.5848}, calibration::MiddlePoint::Aluminium, std::nullopt});
    for (int k = 0; k < 30; ++k) r.inputs.push_back({"reading_" + std::to_string(k), "16.38544"});
    r.document = std::string(3000, 'x');
    return r;
}

struct Fixture {
    std::string dir;
    std::string path;
    std::unique_ptr<book::Book> book;
    explicit Fixture(int records) {
        // On tmpfs where there is one: setting up the records, each its own durable
        // transaction, is not what is measured.
        char pattern[] = "/dev/shm/its90-book-bench-XXXXXX";
        char fallback[] = "/tmp/its90-book-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        dir = made != nullptr ? made : mkdtemp(fallback);
        path = dir + "/book.sqlite";
        book = std::make_unique<book::Book>(path);
        int i = 0;
        for (int s = 0; s < 20; ++s) {
            for (int year = 1977; year < 2027; ++year) {
                book->keep(record(book::Kind::FixedPoint, "S-" + std::to_string(s), year, i++));
            }
        }
        for (int c = 0; i < records; ++c) book->keep(record(book::Kind::Comparison, "BJ-" + std::to_string(c), 2000 + c % 27, i++));
    }
    ~Fixture() { std::filesystem::remove_all(dir); }
};

// The book of `records` records, made once.
Fixture& fixture(int records) {
    static std::map<int, std::unique_ptr<Fixture>> made;
    std::unique_ptr<Fixture>& f = made[records];
    if (!f) f = std::make_unique<Fixture>(records);
    return *f;
}

constexpr int kScales[] = {10000, 100000};

void book_search_by_number(benchmark::State& state) {
    book::Query q;
    q.number = "BJ-12";
    for (auto _ : state) benchmark::DoNotOptimize(fixture(static_cast<int>(state.range(0))).book->list(q));
}
BENCHMARK(book_search_by_number)->Unit(benchmark::kMillisecond)->Arg(kScales[0])->Arg(kScales[1]);

void book_search_by_operator_and_year(benchmark::State& state) {
    book::Query q;
    q.operator_name = "王";
    q.date_from = "2026";
    q.kind = book::Kind::FixedPoint;
    for (auto _ : state) benchmark::DoNotOptimize(fixture(static_cast<int>(state.range(0))).book->list(q));
}
BENCHMARK(book_search_by_operator_and_year)->Unit(benchmark::kMillisecond)->Arg(kScales[0])->Arg(kScales[1]);

void book_list_everything(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(fixture(static_cast<int>(state.range(0))).book->list({}));
}
BENCHMARK(book_list_everything)->Unit(benchmark::kMillisecond)->Arg(kScales[0])->Arg(kScales[1]);

void book_standard_history_of_50(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(book::standard_history(*fixture(static_cast<int>(state.range(0))).book, "S-7"));
}
BENCHMARK(book_standard_history_of_50)->Unit(benchmark::kMillisecond)->Arg(kScales[0])->Arg(kScales[1]);

// What `its90 book list --number BJ-12` does besides starting: open the book, search it.
void book_open_and_search_by_number(benchmark::State& state) {
    book::Query q;
    q.number = "BJ-12";
    for (auto _ : state) {
        book::Book b(fixture(static_cast<int>(state.range(0))).path);
        benchmark::DoNotOptimize(b.list(q));
    }
}
BENCHMARK(book_open_and_search_by_number)->Unit(benchmark::kMillisecond)->Arg(kScales[0])->Arg(kScales[1]);

void book_open_and_keep_one(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        book::Book b(fixture(static_cast<int>(state.range(0))).path);
        benchmark::DoNotOptimize(b.keep(record(book::Kind::Comparison, "K-" + std::to_string(i), 2026, i)));
        ++i;
    }
}
BENCHMARK(book_open_and_keep_one)->Unit(benchmark::kMillisecond)->Arg(kScales[0])->Arg(kScales[1]);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (int records : kScales) fixture(records);  // set up before the first measurement
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
