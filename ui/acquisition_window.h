// 自动采集: the comparison's readings taken from a meter. The meter's address and profile, a
// 连接测试, each thermocouple's channel, the stability limits, 开始 / 暂停 / 继续 / 停止, and a
// live view of the point at hand: its state, progress, the stability figures and the
// standard's readings against time. The run goes on a thread of its own, so the windows stay
// responsive; each reading goes into the comparison window's table as it arrives (shaded as
// measured) and into the book.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "book/book.h"
#include "form/acquisition_form.h"
#include "instrument/meter.h"
#include "instrument/run.h"
#include "ui/window_prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QThread;

namespace its90::ui {

class ComparisonWindow;
class StabilityPlot;

class AcquisitionWindow final : public QWidget {
    Q_OBJECT
public:
    AcquisitionWindow(ComparisonWindow& comparison, WindowPrompts& prompts, QWidget* parent = nullptr);
    ~AcquisitionWindow() override;
    void set_prompts(WindowPrompts& prompts) { prompts_ = &prompts; }

    // A run kept in the book that did not end, offered to be taken up again: true when it is.
    // Declined, it is ended as stopped (its readings stay in the book).
    bool offer_unfinished();

    // The thermocouples and channels as the comparison window now has them.
    void follow_comparison();
    void start();
    void pause();
    void resume();
    void stop();
    bool running() const { return thread_ != nullptr; }
    const std::optional<instrument::RunStatus>& last_status() const { return last_status_; }

    // ---- Its controls, for tests and the screenshot ----
    QLineEdit* address() const { return address_; }
    QLineEdit* log_file() const { return log_; }
    QComboBox* profile() const { return profile_; }
    QPushButton* test_button() const { return test_; }
    QLabel* identity() const { return identity_; }
    QTableWidget* channels() const { return channels_; }
    QLineEdit* limit(int i) const { return limits_[static_cast<std::size_t>(i)]; }  // count, sd, drift, interval, timeout
    QPushButton* start_button() const { return start_; }
    QPushButton* pause_button() const { return pause_; }
    QPushButton* resume_button() const { return resume_; }
    QPushButton* stop_button() const { return stop_; }
    QLabel* state() const { return state_; }
    QLabel* progress() const { return progress_; }
    QLabel* stability() const { return stability_; }
    QLabel* message() const { return message_; }
    StabilityPlot* plot() const { return plot_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class Relay;
    form::AcquisitionSettings settings() const;
    void show_settings(const form::AcquisitionSettings& s);
    std::unique_ptr<instrument::Meter> make_meter(QString& problem) const;
    void go_on();  // the run's go() on a thread of its own
    void status_changed(const instrument::RunStatus& status, const std::string& identity);
    void reading_arrived(const instrument::TakenReading& reading);
    void ended(instrument::Phase phase);
    void test_connection();
    void show_problem(const QString& text);  // in red, above the plot
    void update_buttons();

    ComparisonWindow& comparison_;
    WindowPrompts* prompts_;
    QLineEdit* address_ = nullptr;
    QLineEdit* log_ = nullptr;
    QComboBox* profile_ = nullptr;
    QPushButton* test_ = nullptr;
    QLabel* identity_ = nullptr;
    QTableWidget* channels_ = nullptr;
    std::array<QLineEdit*, 5> limits_{};
    QLabel* points_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* pause_ = nullptr;
    QPushButton* resume_ = nullptr;
    QPushButton* stop_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* progress_ = nullptr;
    QLabel* stability_ = nullptr;
    QLabel* message_ = nullptr;
    StabilityPlot* plot_ = nullptr;

    std::unique_ptr<book::Book> book_;
    std::unique_ptr<instrument::Meter> meter_;
    std::unique_ptr<Relay> relay_;
    std::unique_ptr<instrument::Run> run_;
    QThread* thread_ = nullptr;
    QThread* test_thread_ = nullptr;
    std::optional<instrument::RunStatus> last_status_;
    std::string identity_text_;
    int plotted_point_ = -1;
    double plot_origin_ = -1;  // the run's seconds at the plotted point's first reading
};

}  // namespace its90::ui
