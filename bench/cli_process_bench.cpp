// `its90 emf K -`, `its90 temp K -`, `its90 sprt temp -` and `its90 cvd temp -` as whole
// processes on a million values from a file,
// side by side with the plain C converter (strtod, printf "%.15g") on the same input.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

// A file of a million values uniformly spread between `lower` and `upper`.
std::string input_file(const char* name, double lower, double upper, int decimals) {
    const std::string path = std::string("/tmp/its90_bench_") + name + ".txt";
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> value(lower, upper);
    for (int i = 0; i < 1000000; ++i) std::fprintf(f, "%.*f\n", decimals, value(random));
    std::fclose(f);
    return path;
}

// Seconds for one run of `argv` with `input` as standard input and /dev/null as output.
double run(const std::vector<const char*>& argv, const std::string& input) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const char* a : argv) args.push_back(const_cast<char*>(a));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &files, nullptr, args.data(), environ) == 0) waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&files);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double>(end - start).count();
}

void side_by_side(benchmark::State& state, const std::vector<const char*>& its90_args, const std::string& input) {
    double its90 = 0, plain = 0;
    std::vector<const char*> argv = {ITS90_CLI};
    argv.insert(argv.end(), its90_args.begin(), its90_args.end());
    for (auto _ : state) {
        const double a = run(argv, input);
        const double b = run({ITS90_PLAIN_CONVERTER}, input);
        if (a < 0 || b < 0) {
            state.SkipWithError("a process failed");
            return;
        }
        state.SetIterationTime(a);
        its90 += a;
        plain += b;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["its90_ms"] = 1000 * its90 / n;
    state.counters["plain_c_ms"] = 1000 * plain / n;
    state.counters["ratio"] = its90 / plain;
}

void emf_k_million(benchmark::State& state) {
    static const std::string input = input_file("temperatures", -270, 1372, 4);
    side_by_side(state, {"emf", "K", "-"}, input);
}
void temp_k_million(benchmark::State& state) {
    static const std::string input = input_file("emfs", -5.891, 54.886, 5);
    side_by_side(state, {"temp", "K", "-"}, input);
}
// Resistance thermometers' inverses: an SPRT on TPW-Zn and a Pt100, resistances over their
// ranges.
void sprt_temp_million(benchmark::State& state) {
    static const std::string input = input_file("sprt_ohms", 25.32, 65.03, 6);
    side_by_side(state, {"sprt", "temp", "TPW-Zn", "--rtpw", "25.319871", "--a", "-1.2134e-4", "--b", "-9.9190e-6", "-"},
                 input);
}
void cvd_temp_million(benchmark::State& state) {
    static const std::string input = input_file("cvd_ohms", 18.53, 390.48, 5);
    side_by_side(state, {"cvd", "temp", "--r0", "100", "--a", "3.9083e-3", "--b", "-5.775e-7", "--c", "-4.183e-12", "-"},
                 input);
}
BENCHMARK(emf_k_million)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(temp_k_million)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(sprt_temp_million)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(cvd_temp_million)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
