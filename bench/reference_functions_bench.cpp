// Time per call of every reference function, and values per second through `its90 emf K -`.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/its90.h"
#include "cli/its90_cli.h"

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

#define ITS90_BENCH(fn, lower, upper) \
    BENCHMARK_CAPTURE(run_function, fn, its90::fn, lower, upper)

ITS90_BENCH(E90_S, -50.0f, 1768.1f);
ITS90_BENCH(E90_R, -50.0f, 1768.1f);
ITS90_BENCH(E90_B, 0.0f, 1820.0f);
ITS90_BENCH(E90_K, -270.0f, 1372.0f);
ITS90_BENCH(E90_N, -270.0f, 1300.0f);
ITS90_BENCH(E90_J, -210.0f, 1200.0f);
ITS90_BENCH(E90_E, -270.0f, 1000.0f);
ITS90_BENCH(E90_T, -270.0f, 400.0f);
ITS90_BENCH(T90_S, -0.236f, 18.693f);
ITS90_BENCH(T90_R, -0.226f, 21.103f);
ITS90_BENCH(T90_B, 0.291f, 13.82f);
ITS90_BENCH(T90_K, -5.891f, 54.886f);
ITS90_BENCH(T90_N, -3.99f, 47.513f);
ITS90_BENCH(T90_J, -8.059f, 69.553f);
ITS90_BENCH(T90_E, -8.825f, 76.373f);
ITS90_BENCH(T90_T, -5.603f, 20.872f);
ITS90_BENCH(R_Pt100, -200.0f, 850.0f);

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
