// Time per call of every reference function, and values per second through `its90 emf K -`.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/its90_cli.h"
#include "core/its90.h"
#include "core/sensors.h"

namespace {

using its90::ReferenceFunction;

// Arguments spread over the function's range, so that every sub-range is visited.
void run_function(benchmark::State& state, ReferenceFunction f, float lower, float upper) {
    std::vector<float> arguments;
    for (int i = 0; i < 256; ++i) arguments.push_back(lower + (upper - lower) * i / 255.0f);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f(arguments[i++ & 255]));
    }
    state.SetItemsProcessed(state.iterations());
}

// Every function of the sensor table over the range its entry accepts.
const bool kRegistered = [] {
    std::vector<const its90::Sensor*> sensors = {&its90::pt100()};
    for (its90::Thermocouple type : its90::kAllThermocouples) sensors.push_back(&its90::sensor_of(type));
    for (const its90::Sensor* sensor : sensors) {
        const its90::Sensor& s = *sensor;
        const std::string name = s.name;
        benchmark::RegisterBenchmark((s.has_inverse() ? "E90_" + name : "R_" + name).c_str(),
                                     run_function, s.output, static_cast<float>(s.temperatures.lowest),
                                     static_cast<float>(s.temperatures.highest));
        if (!s.has_inverse()) continue;
        benchmark::RegisterBenchmark(("T90_" + name).c_str(), run_function, s.inverse,
                                     static_cast<float>(s.emfs.lowest),
                                     static_cast<float>(s.emfs.highest));
    }
    return true;
}();

// The command line's batch path: parse, convert and print 100,000 values per iteration.
void cli_emf_k_batch(benchmark::State& state) {
    std::string input;
    for (int i = 0; i < 100000; ++i) input += std::to_string(-270 + (i % 16420) * 0.1) + "\n";
    for (auto _ : state) {
        std::istringstream in(input);
        std::ostringstream out, err;
        benchmark::DoNotOptimize(its90::cli::run({"emf", "K", "-"}, in, out, err));
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(cli_emf_k_batch)->Unit(benchmark::kMillisecond);

}  // namespace
