// Resistance thermometers: a fit of 20 points and a single conversion each way (the issue's
// limit: 50 us each).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "calibration/resistance_fit.h"
#include "core/cvd.h"
#include "core/sprt.h"

namespace {

using its90::calibration::TemperatureResistance;

void cvd_fit_20_points(benchmark::State& state) {
    const its90::cvd::Coefficients k = its90::cvd::iec(100);
    std::vector<TemperatureResistance> points;
    for (int i = 0; i < 20; ++i) {
        const double t = -190 + i * 52.0;
        points.push_back({t, *its90::cvd::resistance(k, t) + ((i % 3) - 1) * 0.002});
    }
    for (auto _ : state) benchmark::DoNotOptimize(its90::calibration::fit_cvd(points));
}
BENCHMARK(cvd_fit_20_points)->Unit(benchmark::kMicrosecond);

// Inputs spread over the whole range, taken in turn: an inverse that starts from a guess is
// timed on every kind of value, not on two it may have learnt.
std::vector<double> spread(double low, double high) {
    std::vector<double> values;
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> value(low, high);
    for (int i = 0; i < 1024; ++i) values.push_back(value(random));
    return values;
}

void cvd_temperature(benchmark::State& state) {
    const its90::cvd::Coefficients k = its90::cvd::iec(1000);
    const std::vector<double> r = spread(*its90::cvd::resistance(k, -200), *its90::cvd::resistance(k, 850));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(its90::cvd::temperature(k, r[i++ & 1023]));
    }
}
BENCHMARK(cvd_temperature)->Unit(benchmark::kMicrosecond);

void sprt_temperature(benchmark::State& state) {
    const its90::sprt::Coefficients k{-1.2134e-4, -9.9190e-6};
    using its90::sprt::DeviationRange;
    const std::vector<double> w = spread(*its90::sprt::w_at(DeviationRange::TPWZn, k, 0),
                                         *its90::sprt::w_at(DeviationRange::TPWZn, k, 419.527));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(its90::sprt::t90_at(DeviationRange::TPWZn, k, w[i++ & 1023]));
    }
}
BENCHMARK(sprt_temperature)->Unit(benchmark::kMicrosecond);

// The reference function's inverse over both of its functions, -259 ... 962 degC.
void sprt_reference_inverse(benchmark::State& state) {
    const std::vector<double> wr = spread(0.0012, 4.2864);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(its90::sprt::t90_of_Wr(wr[i++ & 1023]));
    }
}
BENCHMARK(sprt_reference_inverse)->Unit(benchmark::kMicrosecond);

void sprt_resistance(benchmark::State& state) {
    const its90::sprt::Coefficients k{-1.2134e-4, -9.9190e-6};
    double t = 231.928;
    for (auto _ : state) {
        benchmark::DoNotOptimize(its90::sprt::w_at(its90::sprt::DeviationRange::TPWZn, k, t));
        t = t < 300 ? 419.527 : 231.928;
    }
}
BENCHMARK(sprt_resistance)->Unit(benchmark::kMicrosecond);

void sprt_fit_tpw_ag(benchmark::State& state) {
    its90::sprt::Coefficients k{-1.6e-4, -8.5e-6, 1.9e-6, 2e-6, 0};
    k.w_al = its90::sprt::w_at_aluminium(k);
    std::vector<TemperatureResistance> points;
    for (double t : {231.928, 419.527, 660.323, 961.78}) {
        points.push_back({t, *its90::sprt::w_at(its90::sprt::DeviationRange::TPWAg, k, t) * 25.5});
    }
    if (!its90::calibration::fit_sprt(its90::sprt::DeviationRange::TPWAg, 25.5, points).ok()) {
        state.SkipWithError("the fit was refused");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(its90::calibration::fit_sprt(its90::sprt::DeviationRange::TPWAg, 25.5, points));
    }
}
BENCHMARK(sprt_fit_tpw_ag)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
