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

#include "bench/book_fill.h"
#include "book/book.h"

namespace {

using namespace its90;

using Fixture = bench::FilledBook;

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
        benchmark::DoNotOptimize(b.keep(bench::bench_record(book::Kind::Comparison, "K-" + std::to_string(i), 2026, i)));
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
