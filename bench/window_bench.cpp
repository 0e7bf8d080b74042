// What a user feels: the time one keystroke takes in each kind of edit, with every nested
// write it causes, and the start-up of the window to its first frame against a bare QWidget.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <chrono>
#include <memory>

#include "form/form1.h"
#include "tests/doubles/recording_message_box.h"
#include "form/comparison_form.h"
#include "ui/comparison_window.h"
#include "ui/main_window.h"
#include "ui/window_prompts.h"

extern char** environ;

namespace {

using its90::form::Control;
using namespace its90::form::controls;

// One kind of edit: the sensor, the field whose focus sets foc_flag, the field typed into and
// two texts it alternates between, so that every set is a change, as a keystroke is.
struct Edit {
    int sensor;
    Control focus;
    Control field;
    const char* a;
    const char* b;
};

constexpr Edit kTemperatureEdit{2, Txt_T90, Txt_T90, "100", "1000"};  // type K: EMF, differential
constexpr Edit kEmfEdit{2, Txt_E90, Txt_E90, "4.096", "41.276"};
constexpr Edit kTableEdit{0, T1(2), T1(2), "10.5891", "10.58911"};  // nine E90_S rows
constexpr Edit kTemperatureModeEdit{0, T1(12), T1(12), "1000", "100"};

// The calibration's EMFs and temperature, typed before the focus sets the mode.
template <typename SetText>
void fill_calibration(SetText&& set) {
    set(T1(0), "3.45123");
    set(T1(1), "5.87211");
    set(T1(2), "10.5891");
    set(T1(12), "1000");
}

// The model alone: the handlers and every nested write, no widget.
void model_edit(benchmark::State& state, const Edit& e) {
    its90::form::RecordingMessageBox box;
    its90::form::Form1 form(box, ".");
    form.Form_Load();
    form.select_sensor(e.sensor);
    fill_calibration([&](Control c, const char* t) { form.edit(c, t); });
    form.got_focus(e.focus);
    int i = 0;
    for (auto _ : state) form.edit(e.field, (i++ & 1) ? e.b : e.a);
    if (!box.texts.empty()) state.SkipWithError("a message box was shown");
}

// Through the window: the widget's change reaches the model, whose writes the widgets show.
void window_edit(benchmark::State& state, const Edit& e) {
    its90::form::RecordingMessageBox box;
    its90::ui::MainWindow form(box, ".");
    form.model().Form_Load();
    form.option_button(Op_S(e.sensor))->setChecked(true);
    fill_calibration([&](Control c, const char* t) { form.text_box(c)->setText(t); });
    form.model().got_focus(e.focus);
    QLineEdit* edit = form.text_box(e.field);
    const QString texts[2] = {e.a, e.b};
    int i = 0;
    for (auto _ : state) edit->setText(texts[i++ & 1]);
    if (!box.texts.empty()) state.SkipWithError("a message box was shown");
}

BENCHMARK_CAPTURE(window_edit, temperature_edit, kTemperatureEdit)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(window_edit, emf_edit, kEmfEdit)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(window_edit, calibration_table_edit, kTableEdit)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(window_edit, calibration_temperature_edit, kTemperatureModeEdit)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(model_edit, temperature_edit, kTemperatureEdit)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(model_edit, emf_edit, kEmfEdit)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(model_edit, calibration_table_edit, kTableEdit)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(model_edit, calibration_temperature_edit, kTemperatureModeEdit)
    ->Unit(benchmark::kMicrosecond);

// ---- The comparison window: six working thermocouples, six points, ten readings each ----

void fill_comparison(its90::form::ComparisonForm& f) {
    f.set_from_panel(false);
    f.set_working_count(6);
    f.set_point_count(6);
    f.set_readings(10);
    const char* points[] = {"400", "500", "600", "700", "800", "900"};
    const char* standard[] = {"3.2594", "4.2333", "5.2487", "6.2753", "7.3450", "8.4492"};
    const char* working[] = {"16.397", "20.644", "24.905", "29.129", "33.275", "37.326"};
    for (int p = 0; p < 6; ++p) {
        f.edit_temperature(p, points[p]);
        f.edit_certificate(p, standard[p]);
        for (int r = 0; r < 10; ++r) {
            f.edit_reading(p, -1, r, standard[p]);
            for (int i = 0; i < 6; ++i) f.edit_reading(p, i, r, working[p]);
        }
    }
}

// The model alone: one reading retyped, everything computed again.
void comparison_model_edit(benchmark::State& state) {
    its90::form::ComparisonForm f;
    fill_comparison(f);
    const char* texts[2] = {"16.3971", "16.397"};
    int i = 0;
    for (auto _ : state) f.edit_reading(0, 3, 4, texts[i++ & 1]);
    if (!f.complete()) state.SkipWithError("the run has no result");
}

// Never asked: the benchmark saves and prints nothing.
class NoPrompts final : public its90::ui::WindowPrompts {
public:
    bool identification(its90::form::Identification&, RecordKind) override { return false; }
    std::optional<QString> save_path(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    bool print_setup(QPrinter&) override { return false; }
    void error(const QString&) override {}
    void about(const QString&, const QString&) override {}
    bool confirm(const QString&, const QString&) override { return false; }
    bool budget_name(QString&, QString&) override { return false; }
    bool sign_off(const QString&, const QStringList&, bool, QString&, QString&) override { return false; }
    bool person(QString&, bool&, bool&, bool&) override { return false; }
};

// Through the window: a cell of the readings table typed, the model's results shown.
void comparison_window_edit(benchmark::State& state) {
    NoPrompts prompts;
    its90::ui::ComparisonWindow window(prompts);
    fill_comparison(window.model());
    window.refresh();
    QTableWidgetItem* cell = window.reading_table(0)->item(4, 4);
    const QString texts[2] = {"16.3971", "16.397"};
    int i = 0;
    for (auto _ : state) cell->setText(texts[i++ & 1]);
    if (!window.model().complete()) state.SkipWithError("the run has no result");
}

BENCHMARK(comparison_model_edit)->Unit(benchmark::kMicrosecond);
BENCHMARK(comparison_window_edit)->Unit(benchmark::kMicrosecond);

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
        const Run f = spawn(ITS90_CALCULATOR, nullptr);
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
