// What a user feels: the time one keystroke takes in each kind of edit, with every nested
// write it causes, and the start-up of the window to its first frame against a bare QWidget.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <chrono>
#include <memory>

#include "form1.h"
#include "message_box.h"

extern char** environ;

namespace {

using its90::ui::Form1;

// Alternates a field between two texts so that every set is a change, as a keystroke is.
void keystrokes(benchmark::State& state, int foc_flag, int sensor, QLineEdit* Form1::*field,
                const char* a, const char* b) {
    its90::ui::RecordingMessageBox box;
    Form1 form(box);
    form.Form_Load();
    form.Op_S[sensor]->setChecked(true);
    form.foc_flag = static_cast<std::int16_t>(foc_flag);
    QLineEdit* edit = form.*field;
    const QString texts[2] = {a, b};
    int i = 0;
    for (auto _ : state) edit->setText(texts[i++ & 1]);
    if (box.texts.size() != 0) state.SkipWithError("a message box was shown");
}

QLineEdit* Form1::*const kTxtT90 = &Form1::Txt_T90;
QLineEdit* Form1::*const kTxtE90 = &Form1::Txt_E90;

void temperature_edit(benchmark::State& state) {
    keystrokes(state, 1, 2, kTxtT90, "100", "1000");  // type K: EMF and differential value
}
void emf_edit(benchmark::State& state) { keystrokes(state, 2, 2, kTxtE90, "4.096", "41.276"); }

void calibration_edit(benchmark::State& state, int foc_flag, int field) {
    its90::ui::RecordingMessageBox box;
    Form1 form(box);
    form.Form_Load();
    form.T1[0]->setText("3.45123");
    form.T1[1]->setText("5.87211");
    form.T1[2]->setText("10.5891");
    form.T1[12]->setText("1000");
    form.foc_flag = static_cast<std::int16_t>(foc_flag);
    const QString texts[2] = {field == 2 ? "10.5891" : "1000", field == 2 ? "10.58911" : "100"};
    int i = 0;
    for (auto _ : state) form.T1[field]->setText(texts[i++ & 1]);
    if (!box.texts.isEmpty()) state.SkipWithError("a message box was shown");
}
void calibration_table_edit(benchmark::State& state) { calibration_edit(state, 4, 2); }
void calibration_temperature_edit(benchmark::State& state) { calibration_edit(state, 3, 12); }

BENCHMARK(temperature_edit)->Unit(benchmark::kMicrosecond);
BENCHMARK(emf_edit)->Unit(benchmark::kMicrosecond);
BENCHMARK(calibration_table_edit)->Unit(benchmark::kMicrosecond);
BENCHMARK(calibration_temperature_edit)->Unit(benchmark::kMicrosecond);

// ---- Start-up ----------------------------------------------------------------------------

struct Run {
    double seconds;
    double peak_mib;
};

Run spawn(const char* program, const char* argument) {
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) return {-1, 0};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {-1, 0};
    return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss / 1024.0};
}

// Both programs in turn within one run, so that the ratio compares like with like.
void startup_to_first_frame(benchmark::State& state) {
    double form = 0, bare = 0, form_peak = 0, bare_peak = 0;
    for (auto _ : state) {
        const Run f = spawn(ITS90_CALCULATOR, "--exit-after-first-frame");
        const Run b = spawn(ITS90_BARE_WINDOW, nullptr);
        if (f.seconds < 0 || b.seconds < 0) {
            state.SkipWithError("a start-up probe failed");
            return;
        }
        state.SetIterationTime(f.seconds);
        form += f.seconds;
        bare += b.seconds;
        form_peak = std::max(form_peak, f.peak_mib);
        bare_peak = std::max(bare_peak, b.peak_mib);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["calculator_ms"] = 1000 * form / n;
    state.counters["bare_widget_ms"] = 1000 * bare / n;
    state.counters["ratio"] = form / bare;
    state.counters["calculator_peak_MiB"] = form_peak;
    state.counters["bare_peak_MiB"] = bare_peak;
}
BENCHMARK(startup_to_first_frame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
