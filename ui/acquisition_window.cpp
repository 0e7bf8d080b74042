#include "ui/acquisition_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <variant>

#include "core/sensors.h"
#include "form/book_records.h"
#include "instrument/address.h"
#include "instrument/profile.h"
#include "text/number_text.h"
#include "ui/book_access.h"
#include "ui/comparison_window.h"
#include "ui/fonts.h"
#include "ui/stability_plot.h"

namespace its90::ui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

const QColor kProblemColour(0xc6, 0x28, 0x28);

}  // namespace

// The run's reports, made on its thread, handed to the window's own.
class AcquisitionWindow::Relay final : public instrument::RunObserver {
public:
    explicit Relay(AcquisitionWindow* window) : window_(window) {}
    void changed(const instrument::RunStatus& status) override {
        const std::string identity = run != nullptr ? run->identity() : std::string();
        QMetaObject::invokeMethod(window_, [w = window_, status, identity] { w->status_changed(status, identity); },
                                  Qt::QueuedConnection);
    }
    void arrived(const instrument::TakenReading& reading) override {
        QMetaObject::invokeMethod(window_, [w = window_, reading] { w->reading_arrived(reading); }, Qt::QueuedConnection);
    }
    instrument::Run* run = nullptr;

private:
    AcquisitionWindow* window_;
};

AcquisitionWindow::AcquisitionWindow(ComparisonWindow& comparison, WindowPrompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), comparison_(comparison), prompts_(&prompts), relay_(std::make_unique<Relay>(this)) {
    dress_tool_window(*this, QStringLiteral("AcquisitionWindow"), QStringLiteral("自动采集"));
    auto* layout = new QVBoxLayout(this);

    auto* meter_box = new QGroupBox(QStringLiteral("仪表"), this);
    auto* meter = new QGridLayout(meter_box);
    meter->addWidget(new QLabel(QStringLiteral("地址："), meter_box), 0, 0);
    address_ = new QLineEdit(meter_box);
    address_->setObjectName(QStringLiteral("meter_address"));
    address_->setToolTip(QStringLiteral("tcp://主机:端口（SCPI 套接字，默认端口 5025）或 serial:///dev/ttyUSB0?baud=9600"));
    meter->addWidget(address_, 0, 1);
    meter->addWidget(new QLabel(QStringLiteral("配置："), meter_box), 0, 2);
    profile_ = new QComboBox(meter_box);
    profile_->setObjectName(QStringLiteral("meter_profile"));
    profile_->setEditable(true);
    for (const std::string& name : instrument::shipped_profile_names()) profile_->addItem(q(name));
    profile_->setToolTip(QStringLiteral("随程序提供的仪表配置，或输入自己的配置文件路径"));
    meter->addWidget(profile_, 0, 3);
    test_ = new QPushButton(QStringLiteral("连接测试"), meter_box);
    test_->setObjectName(QStringLiteral("meter_test"));
    meter->addWidget(test_, 0, 4);
    meter->addWidget(new QLabel(QStringLiteral("通信记录："), meter_box), 1, 0);
    log_ = new QLineEdit(meter_box);
    log_->setObjectName(QStringLiteral("meter_log"));
    log_->setPlaceholderText(QStringLiteral("可选：把每条命令和回答加上时间追加到此文件"));
    meter->addWidget(log_, 1, 1, 1, 4);
    identity_ = new QLabel(QStringLiteral("仪表识别：—"), meter_box);
    identity_->setObjectName(QStringLiteral("meter_identity"));
    identity_->setWordWrap(true);
    identity_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    meter->addWidget(identity_, 2, 0, 1, 5);
    meter->setColumnStretch(1, 3);
    meter->setColumnStretch(3, 1);
    layout->addWidget(meter_box);

    auto* middle = new QHBoxLayout;
    auto* channel_box = new QGroupBox(QStringLiteral("通道"), this);
    auto* channel_layout = new QVBoxLayout(channel_box);
    channels_ = new QTableWidget(channel_box);
    channels_->setObjectName(QStringLiteral("channels"));
    channels_->setColumnCount(2);
    channels_->setHorizontalHeaderLabels({QStringLiteral("热电偶"), QStringLiteral("通道")});
    channels_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    channels_->verticalHeader()->setVisible(false);
    channels_->verticalHeader()->setDefaultSectionSize(22);
    channels_->setMinimumHeight(22 * 5);
    channel_layout->addWidget(channels_);
    middle->addWidget(channel_box, 1);

    auto* limits_box = new QGroupBox(QStringLiteral("稳定判据"), this);
    auto* limits_layout = new QVBoxLayout(limits_box);
    auto* form = new QFormLayout;
    limits_layout->addLayout(form);
    const char* labels[] = {"读数个数 N：", "标准偏差上限 / μV：", "漂移上限 / (℃/min)：", "读数间隔 / s：", "每点限时 / min："};
    const char* names[] = {"stable_count", "stable_sd", "stable_drift", "interval", "point_timeout"};
    for (std::size_t i = 0; i < limits_.size(); ++i) {
        limits_[i] = new QLineEdit(limits_box);
        limits_[i]->setObjectName(QString::fromUtf8(names[i]));
        limits_[i]->setMaximumWidth(120);
        form->addRow(QString::fromUtf8(labels[i]), limits_[i]);
    }
    points_ = new QLabel(limits_box);
    points_->setObjectName(QStringLiteral("plan_points"));
    points_->setWordWrap(true);
    limits_layout->addWidget(points_);
    auto* explain = new QLabel(QStringLiteral("标准热电偶的最后 N 个读数（每隔读数间隔读一次）的标准偏差和漂移都不超过限值时，"
                                              "依次读取：标准、各被检热电偶，每点读数次数与比较法校准窗口相同。"),
                               limits_box);
    explain->setWordWrap(true);
    limits_layout->addWidget(explain);
    limits_layout->addStretch(1);
    middle->addWidget(limits_box, 1);
    layout->addLayout(middle);

    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton(QStringLiteral("开始(&S)"), this);
    pause_ = new QPushButton(QStringLiteral("暂停(&P)"), this);
    resume_ = new QPushButton(QStringLiteral("继续(&C)"), this);
    stop_ = new QPushButton(QStringLiteral("停止(&T)"), this);
    start_->setObjectName(QStringLiteral("start"));
    pause_->setObjectName(QStringLiteral("pause"));
    resume_->setObjectName(QStringLiteral("resume"));
    stop_->setObjectName(QStringLiteral("stop"));
    for (QPushButton* b : {start_, pause_, resume_, stop_}) buttons->addWidget(b);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    auto* live_box = new QGroupBox(QStringLiteral("本点"), this);
    auto* live = new QVBoxLayout(live_box);
    state_ = new QLabel(QStringLiteral("状态：未开始"), live_box);
    state_->setObjectName(QStringLiteral("run_state"));
    QFont bold = state_->font();
    bold.setBold(true);
    state_->setFont(bold);
    progress_ = new QLabel(live_box);
    progress_->setObjectName(QStringLiteral("run_progress"));
    stability_ = new QLabel(live_box);
    stability_->setObjectName(QStringLiteral("run_stability"));
    message_ = new QLabel(live_box);
    message_->setObjectName(QStringLiteral("run_message"));
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    plot_ = new StabilityPlot(live_box);
    plot_->setObjectName(QStringLiteral("stability_plot"));
    for (QWidget* w : {static_cast<QWidget*>(state_), static_cast<QWidget*>(progress_),
                       static_cast<QWidget*>(stability_), static_cast<QWidget*>(message_)}) {
        live->addWidget(w);
    }
    live->addWidget(plot_, 1);
    layout->addWidget(live_box, 1);

    show_settings(form::AcquisitionSettings{});
    connect(test_, &QPushButton::clicked, this, [this] { test_connection(); });
    connect(start_, &QPushButton::clicked, this, [this] { start(); });
    connect(pause_, &QPushButton::clicked, this, [this] { pause(); });
    connect(resume_, &QPushButton::clicked, this, [this] { resume(); });
    connect(stop_, &QPushButton::clicked, this, [this] { stop(); });
    update_buttons();
    fit_on_screen(*this, QSize(820, 760));
}

AcquisitionWindow::~AcquisitionWindow() {
    // A run in progress stops where it is; its readings are in the book, to be taken up again.
    if (run_) run_->pause();
    for (QThread* t : {thread_, test_thread_}) {
        if (t != nullptr) {
            t->wait();
            delete t;
        }
    }
}

void AcquisitionWindow::showEvent(QShowEvent* event) {
    if (!running()) follow_comparison();
    QWidget::showEvent(event);
}

void AcquisitionWindow::closeEvent(QCloseEvent* event) {
    // The window may be closed during a run: the run goes on, and the window comes back with
    // 比较法校准's 自动采集.
    QWidget::closeEvent(event);
}

form::AcquisitionSettings AcquisitionWindow::settings() const {
    form::AcquisitionSettings s;
    s.address = address_->text().trimmed().toStdString();
    s.profile = profile_->currentText().trimmed().toStdString();
    for (int row = 0; row < channels_->rowCount(); ++row) {
        const QTableWidgetItem* item = channels_->item(row, 1);
        const std::string channel = item != nullptr ? item->text().trimmed().toStdString() : std::string();
        if (row == 0) s.standard_channel = channel;
        else if (row - 1 < form::kMostWorking) s.channels[static_cast<std::size_t>(row - 1)] = channel;
    }
    s.count = limits_[0]->text().trimmed().toStdString();
    s.sd_uV = limits_[1]->text().trimmed().toStdString();
    s.drift_C_per_min = limits_[2]->text().trimmed().toStdString();
    s.interval_s = limits_[3]->text().trimmed().toStdString();
    s.timeout_min = limits_[4]->text().trimmed().toStdString();
    return s;
}

void AcquisitionWindow::show_settings(const form::AcquisitionSettings& s) {
    address_->setText(q(s.address));
    profile_->setCurrentText(q(s.profile));
    limits_[0]->setText(q(s.count));
    limits_[1]->setText(q(s.sd_uV));
    limits_[2]->setText(q(s.drift_C_per_min));
    limits_[3]->setText(q(s.interval_s));
    limits_[4]->setText(q(s.timeout_min));
    const form::ComparisonForm& f = comparison_.model();
    channels_->setRowCount(1 + f.working_count());
    for (int row = 0; row <= f.working_count(); ++row) {
        QString name = QStringLiteral("标准 (S)");
        if (row > 0) {
            const form::WorkingThermocouple& w = f.working(row - 1);
            name = (w.number.empty() ? QString::number(row) + "#" : q(w.number)) + " (" + QChar(letter(w.type)) + ")";
        }
        auto* who = new QTableWidgetItem(name);
        who->setFlags(Qt::ItemIsEnabled);
        channels_->setItem(row, 0, who);
        channels_->setItem(row, 1, new QTableWidgetItem(q(row == 0 ? s.standard_channel : s.channels[static_cast<std::size_t>(row - 1)])));
    }
    QStringList points;
    for (int p = 0; p < f.point_count(); ++p) points << q(f.point(p).temperature.text);
    points_->setText(QStringLiteral("检定点（比较法校准窗口）：%1 ℃；每点每支读数 %2 次")
                         .arg(points.join(QStringLiteral("、")), QString::number(f.readings())));
}

void AcquisitionWindow::follow_comparison() { show_settings(settings()); }

std::unique_ptr<instrument::Meter> AcquisitionWindow::make_meter(QString& problem) const {
    const form::AcquisitionSettings s = settings();
    const auto address = instrument::parse_address(s.address);
    if (const auto* fault = std::get_if<instrument::AddressFault>(&address)) {
        problem = q(form::address_fault_text(*fault, s.address));
        return nullptr;
    }
    const auto profile = instrument::find_profile(s.profile);
    if (const auto* fault = std::get_if<instrument::ProfileFault>(&profile)) {
        problem = q(form::profile_fault_text(*fault, s.profile));
        return nullptr;
    }
    try {
        return std::make_unique<instrument::Meter>(std::get<instrument::MeterAddress>(address),
                                                   std::get<instrument::Profile>(profile),
                                                   instrument::MeterOptions{log_->text().trimmed().toStdString()});
    } catch (const instrument::MeterFailure& f) {
        problem = q(form::meter_fault_text(f.fault()));
        return nullptr;
    }
}

void AcquisitionWindow::show_problem(const QString& text) {
    message_->setText(text);
    message_->setStyleSheet(QStringLiteral("color: #c62828"));
}

void AcquisitionWindow::test_connection() {
    if (test_thread_ != nullptr) return;
    QString problem;
    std::shared_ptr<instrument::Meter> meter(make_meter(problem).release());
    if (!meter) {
        identity_->setText(QStringLiteral("仪表识别：") + problem);
        return;
    }
    identity_->setText(QStringLiteral("仪表识别：连接中…"));
    test_->setEnabled(false);
    // Asked on a thread of its own: a meter that does not answer holds up nothing but this.
    test_thread_ = QThread::create([this, meter] {
        QString answer;
        try {
            answer = QStringLiteral("仪表识别：") + q(meter->identify());
        } catch (const instrument::MeterFailure& f) {
            answer = QStringLiteral("仪表识别：") + q(form::meter_fault_text(f.fault()));
        }
        meter->disconnect();
        QMetaObject::invokeMethod(this, [this, answer] {
            identity_->setText(answer);
            test_thread_->wait();
            delete test_thread_;
            test_thread_ = nullptr;
            update_buttons();
        }, Qt::QueuedConnection);
    });
    test_thread_->start();
}

void AcquisitionWindow::start() {
    if (running()) return;
    follow_comparison();
    const auto plan = form::acquisition_plan(comparison_.model(), settings());
    if (const auto* why = std::get_if<std::string>(&plan)) {
        show_problem(q(*why));
        return;
    }
    QString problem;
    std::unique_ptr<instrument::Meter> meter = make_meter(problem);
    if (!meter) {
        show_problem(problem);
        return;
    }
    form::ComparisonForm& f = comparison_.model();
    if (f.has_readings() && !prompts_->confirm(QStringLiteral("自动采集"),
                                    QStringLiteral("比较法校准窗口中已有读数。开始自动采集将清除这些读数，用仪表读数代替。继续？"))) {
        return;
    }
    std::unique_ptr<book::Book> book = open_book(*prompts_, book::Book::Access::ReadWrite);
    if (!book) return;
    f.clear_readings();
    comparison_.refresh();
    book_ = std::move(book);
    meter_ = std::move(meter);
    run_ = std::make_unique<instrument::Run>(*meter_, std::get<instrument::Plan>(plan), book_.get(), relay_.get(),
                                             ITS90_VERSION);
    relay_->run = run_.get();
    plot_->clear();
    plotted_point_ = -1;
    message_->clear();
    go_on();
}

void AcquisitionWindow::go_on() {
    const instrument::Plan& plan = run_->plan();
    plot_->set_limits(plan.stability.count, plan.stability.sd_uV);
    message_->clear();
    thread_ = QThread::create([this] {
        const instrument::Phase end = run_->go();
        // The link belongs to this thread: the next go() opens its own.
        meter_->disconnect();
        QMetaObject::invokeMethod(this, [this, end] { ended(end); }, Qt::QueuedConnection);
    });
    thread_->start();
    update_buttons();
}

void AcquisitionWindow::pause() {
    if (run_ && running()) run_->pause();
}

void AcquisitionWindow::resume() {
    if (run_ && !running()) go_on();
}

void AcquisitionWindow::stop() {
    if (!run_) return;
    if (running()) {
        run_->stop();
        return;
    }
    // Paused: nothing reads the meter, the run is ended here.
    if (book_ && run_->id() != 0) {
        try {
            book_->end_run(run_->id(), false);
        } catch (const book::Failure& f) {
            prompts_->error(q(form::book_problem_text(f.problem())));
        }
    }
    ended(instrument::Phase::Stopped);
}

void AcquisitionWindow::status_changed(const instrument::RunStatus& s, const std::string& identity) {
    last_status_ = s;
    if (!run_) return;
    const instrument::Plan& plan = run_->plan();
    QString state = QStringLiteral("状态：") + QString::fromUtf8(form::phase_text(s.phase));
    if (s.set_by_hand && (s.phase == instrument::Phase::Heating || s.phase == instrument::Phase::Settling)) {
        state += QStringLiteral("　请将炉温设定为 %1 ℃").arg(q(text::general(plan.points[static_cast<std::size_t>(s.point)])));
    }
    state_->setText(state);
    progress_->setText(q(form::progress_text(s, plan)));
    stability_->setText(q(form::stability_text(s, plan)));
    if (s.interruption) {
        show_problem(q(form::interruption_text(*s.interruption)) +
                          QStringLiteral("。已采集的读数都已保存；排除后按“继续”，或按“停止”结束。"));
    }
    if (!identity.empty() && identity_text_ != identity) {
        identity_text_ = identity;
        identity_->setText(QStringLiteral("仪表识别：") + q(identity));
    }
    if (!identity_text_.empty() && run_->id() != 0) {
        form::ComparisonForm& f = comparison_.model();
        const form::RunSource source{run_->id(), address_->text().trimmed().toStdString(), identity_text_};
        if (!f.run_source || f.run_source->run_id != source.run_id) {
            f.run_source = source;
            comparison_.refresh();
        }
    }
    if (s.point != plotted_point_ && s.phase != instrument::Phase::Connecting) {
        plotted_point_ = s.point;
        plot_->clear();
        plot_origin_ = -1;
    }
}

void AcquisitionWindow::reading_arrived(const instrument::TakenReading& r) {
    if (r.who < 0 && r.point == plotted_point_) {
        if (plot_origin_ < 0) plot_origin_ = r.seconds;
        plot_->add({(r.seconds - plot_origin_) / 60, r.reading.emf_mV, !r.for_stability});
    }
    if (r.for_stability) return;
    comparison_.model().set_measured_reading(r.point, r.who, r.index, r.reading.emf_text);
    comparison_.refresh();
}

void AcquisitionWindow::ended(instrument::Phase phase) {
    if (thread_ != nullptr) {
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
    state_->setText(QStringLiteral("状态：") + QString::fromUtf8(form::phase_text(phase)));
    if (phase == instrument::Phase::Finished) {
        message_->setText(QStringLiteral("采集完成：各检定点的读数已填入比较法校准窗口，并保存在记录簿中（采集 %1）。")
                              .arg(run_->id()));
        message_->setStyleSheet(QString());
    } else if (phase == instrument::Phase::Stopped) {
        message_->setText(QStringLiteral("采集已停止。已采集的读数保留在比较法校准窗口和记录簿中。"));
        message_->setStyleSheet(QString());
    } else if (!run_->status().interruption) {
        message_->setText(QStringLiteral("已暂停。按“继续”从暂停处接着采集。"));
        message_->setStyleSheet(QString());
    }
    if (phase != instrument::Phase::Paused) {
        relay_->run = nullptr;
        run_.reset();
        meter_.reset();
        book_.reset();
    }
    update_buttons();
}

void AcquisitionWindow::update_buttons() {
    const bool paused = run_ && !running();
    start_->setEnabled(!run_);
    pause_->setEnabled(running());
    resume_->setEnabled(paused);
    stop_->setEnabled(run_ != nullptr);
    test_->setEnabled(test_thread_ == nullptr && !running());
    for (QLineEdit* e : limits_) e->setEnabled(!run_);
    address_->setEnabled(!run_);
    log_->setEnabled(!run_);
    profile_->setEnabled(!run_);
    channels_->setEnabled(!run_);
}

bool AcquisitionWindow::offer_unfinished() {
    if (run_) return false;
    std::vector<book::KeptRun> runs;
    std::size_t kept = 0;
    std::string problem;
    read_book([&](const book::Book& b) {
        runs = b.runs(true);
        if (!runs.empty()) {
            for (const book::KeptReading& r : b.run_readings(runs.front().id)) kept += r.for_stability ? 0 : 1;
        }
    }, problem);
    if (runs.empty()) return false;
    const book::KeptRun& unfinished = runs.front();
    const std::optional<instrument::Plan> plan = instrument::plan_from_text(unfinished.plan);
    const bool fits = plan && static_cast<int>(plan->points.size()) <= form::kMostPoints &&
                      static_cast<int>(plan->working.size()) <= form::kMostWorking;
    if (!fits) {
        prompts_->error(QStringLiteral("记录簿中有一次未完成的自动采集（采集 %1，开始于 %2），其检定点或被检热电偶多于本窗口所能显示的；"
                                       "请用命令行 its90 compare --batch-plan … --resume 继续。")
                            .arg(unfinished.id).arg(q(unfinished.started)));
        return false;
    }
    const QString question =
        QStringLiteral("记录簿中有一次未完成的自动采集：采集 %1，开始于 %2，仪表 %3（%4），已保存 %5 个读数。\n\n"
                       "从中断处继续这次采集？选“否”则将它标为已停止，已采集的读数仍保存在记录簿中。")
            .arg(unfinished.id)
            .arg(q(unfinished.started), q(unfinished.meter), q(unfinished.identity))
            .arg(kept);
    if (!prompts_->confirm(QStringLiteral("继续未完成的采集"), question)) {
        if (std::unique_ptr<book::Book> b = open_book(*prompts_, book::Book::Access::ReadWrite)) {
            try {
                b->end_run(unfinished.id, false);
            } catch (const book::Failure& f) {
                prompts_->error(q(form::book_problem_text(f.problem())));
            }
        }
        return false;
    }
    form::AcquisitionSettings s = settings();
    form::ComparisonForm& f = comparison_.model();
    form::follow_plan(*plan, f, s);
    s.address = unfinished.meter;
    s.profile = unfinished.profile;
    show_settings(s);
    QString why;
    std::unique_ptr<instrument::Meter> meter = make_meter(why);
    if (!meter) {
        show_problem(why);
        return false;
    }
    std::unique_ptr<book::Book> book = open_book(*prompts_, book::Book::Access::ReadWrite);
    if (!book) return false;
    try {
        run_ = std::make_unique<instrument::Run>(*meter, *book, unfinished.id, relay_.get());
    } catch (const std::exception& e) {
        prompts_->error(QStringLiteral("无法继续采集 %1：%2").arg(unfinished.id).arg(QString::fromUtf8(e.what())));
        return false;
    }
    relay_->run = run_.get();
    book_ = std::move(book);
    meter_ = std::move(meter);
    f.clear_readings();
    for (const instrument::TakenReading& r : run_->readings()) f.set_measured_reading(r.point, r.who, r.index, r.reading.emf_text);
    f.run_source = form::RunSource{unfinished.id, unfinished.meter, unfinished.identity};
    identity_text_ = unfinished.identity;
    comparison_.refresh();
    plot_->clear();
    plotted_point_ = -1;
    go_on();
    return true;
}

}  // namespace its90::ui
