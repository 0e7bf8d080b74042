// What the acquisition loop adds to a reading over the meter's own time: readings of the
// simulated meter on 127.0.0.1 taken bare (select, read, error query: the exchanges alone),
// then by a run at a settled point, with and without keeping each reading in the book.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <filesystem>
#include <variant>

#include "book/book.h"
#include "instrument/meter.h"
#include "instrument/plan.h"
#include "instrument/run.h"
#include "tests/doubles/simulated_meter.h"

namespace {

using namespace its90::instrument;

its90::testing::SimulatedMeter& simulator() {
    // A furnace already at the point, without noise: the run's gate is met at once.
    static its90::testing::SimulatedMeter sim({"--start", "400", "--tau", "0.001", "--noise", "0"});
    return sim;
}

Meter meter() {
    return Meter(std::get<MeterAddress>(parse_address(simulator().address())),
                 std::get<Profile>(find_profile("simulator")));
}

// One point, the standard and three working thermocouples, 20 readings each: 80 readings.
Plan plan() {
    Plan p;
    p.points = {400};
    p.standard_channel = "101";
    p.working = {{"K1", its90::Thermocouple::K, "102"}, {"K2", its90::Thermocouple::K, "103"},
                 {"K3", its90::Thermocouple::K, "104"}};
    p.readings = 20;
    p.interval_s = 0;
    p.stability = {2, 1000, 1000};
    return p;
}

void BM_MeterReading(benchmark::State& state) {
    Meter m = meter();
    const char* channels[] = {"101", "102", "103", "104"};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(m.read(channels[i++ % 4]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MeterReading)->Unit(benchmark::kMicrosecond)->UseRealTime();

void run_readings(benchmark::State& state, bool keep) {
    Meter m = meter();
    const std::string path = std::filesystem::temp_directory_path() / "its90-acquisition-bench.sqlite";
    std::int64_t readings = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(path);
        std::filesystem::remove(path + "-wal");
        std::filesystem::remove(path + "-shm");
        std::unique_ptr<its90::book::Book> book = keep ? std::make_unique<its90::book::Book>(path) : nullptr;
        state.ResumeTiming();
        Run run(m, plan(), book.get(), nullptr, "bench");
        if (run.go() != Phase::Finished) state.SkipWithError("the run did not finish");
        readings += static_cast<std::int64_t>(run.readings().size()) + 2;  // and the two settling ones
    }
    state.SetItemsProcessed(readings);
    state.counters["per_reading_us"] = benchmark::Counter(static_cast<double>(readings),
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    std::filesystem::remove(path);
}

void BM_RunReadingsKeptInTheBook(benchmark::State& state) { run_readings(state, true); }
void BM_RunReadingsWithoutABook(benchmark::State& state) { run_readings(state, false); }
BENCHMARK(BM_RunReadingsKeptInTheBook)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RunReadingsWithoutABook)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
