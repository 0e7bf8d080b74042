#include "instrument/run.h"

#include <chrono>
#include <cmath>
#include <stdexcept>

#include "calibration/type_s_calibration.h"
#include "core/sensors.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::instrument {

namespace {

double steady_seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}


// The standard's temperature from a reading, by the type S reference function.
std::optional<double> standard_temperature(double emf_mV) {
    const Sensor& s = sensor_of(Thermocouple::S);
    if (!s.accepts_emf(emf_mV)) return std::nullopt;
    const Result t = s.inverse(to_single(emf_mV));
    return t.ok() ? std::optional<double>(*t) : std::nullopt;
}

}  // namespace

std::string local_time_ms() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    char text[64];
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms));
    return text;
}

Run::Run(Meter& meter, Plan plan, book::Book* book, RunObserver* observer, std::string program_version)
    : meter_(meter), plan_(std::move(plan)), book_(book), observer_(observer),
      program_version_(std::move(program_version)), taken_(plan_.points.size(), 0) {
    started_ = steady_seconds();
    status_.points = static_cast<int>(plan_.points.size());
    status_.to_take = plan_.per_point();
}

Run::Run(Meter& meter, book::Book& book, std::int64_t run_id, RunObserver* observer)
    : meter_(meter), book_(&book), observer_(observer), id_(run_id) {
    started_ = steady_seconds();
    const std::optional<book::KeptRun> kept = book.run(run_id);
    if (!kept) throw book::Failure({book::Problem::Cause::NoSuchRecord, book.path(), "no run " + std::to_string(run_id), static_cast<int>(run_id)});
    const std::optional<Plan> plan = plan_from_text(kept->plan);
    if (!plan) throw std::invalid_argument("run " + std::to_string(run_id) + ": its plan cannot be read");
    plan_ = *plan;
    program_version_ = kept->program_version;
    identity_ = kept->identity;
    taken_.assign(plan_.points.size(), 0);
    for (const book::KeptReading& k : book.run_readings(run_id)) {
        position_ = k.position + 1;
        if (k.for_stability || k.point < 0 || k.point >= static_cast<int>(plan_.points.size())) continue;
        TakenReading r;
        r.point = k.point;
        const int at = taken_[static_cast<std::size_t>(k.point)]++;
        r.who = plan_.who(at);
        r.index = at / plan_.per_round();
        r.reading = {k.reply, k.emf_mV, text::parse_strict_number(k.emf_mV).value_or(0)};
        r.taken_at = k.taken;
        readings_.push_back(std::move(r));
    }
    status_.points = static_cast<int>(plan_.points.size());
    status_.to_take = plan_.per_point();
}

double Run::now() const { return steady_seconds() - started_; }

void Run::pause() {
    pause_ = true;
    woken_.notify_all();
}

void Run::stop() {
    stop_ = true;
    woken_.notify_all();
}

std::optional<Phase> Run::asked() const {
    if (stop_) return Phase::Stopped;
    if (pause_) return Phase::Paused;
    return std::nullopt;
}

bool Run::wait(double seconds) {
    std::unique_lock lock(mutex_);
    woken_.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return stop_ || pause_; });
    return !(stop_ || pause_);
}

void Run::report() {
    if (observer_) observer_->changed(status_);
}

TakenReading Run::take(int who, int index, bool for_stability) {
    TakenReading r;
    r.point = status_.point;
    r.who = who;
    r.index = index;
    r.for_stability = for_stability;
    r.reading = meter_.read(plan_.channel_of(who));
    r.seconds = now();
    r.taken_at = local_time_ms();
    if (book_) {
        book_->keep_reading(id_, {position_, r.point,
                                  who < 0 ? "standard" : plan_.working[static_cast<std::size_t>(who)].number,
                                  plan_.channel_of(who), r.taken_at, r.reading.reply, r.reading.emf_text,
                                  for_stability});
    }
    ++position_;
    if (observer_) observer_->arrived(r);
    return r;
}

Phase Run::go() {
    status_.interruption.reset();
    const auto finish = [&](Phase phase) {
        status_.phase = phase;
        // A pause asked for is spent once the run has paused (one asked for as it started
        // counts too); the next go() goes on.
        if (phase == Phase::Paused) pause_ = false;
        if (phase == Phase::Stopped && book_ && id_ != 0) {
            try {
                book_->end_run(id_, false);
            } catch (const book::Failure&) {
                // The run stays unfinished in the book: offered again at the next start.
            }
        }
        report();
        return phase;
    };
    const auto interrupted = [&](Interruption why) {
        status_.interruption = std::move(why);
        return finish(Phase::Paused);
    };
    try {
        status_.phase = Phase::Connecting;
        report();
        const std::string identity = meter_.identify();
        if (identity_.empty()) identity_ = identity;
        if (book_ && id_ == 0) {
            id_ = book_->start_run({0, book::now_text(), meter_.address().text, meter_.profile().name, identity_,
                                    plan_text(plan_), program_version_, std::nullopt, false});
        }
        const int points = static_cast<int>(plan_.points.size());
        for (int p = 0; p < points; ++p) {
            if (taken_[static_cast<std::size_t>(p)] >= plan_.per_point()) continue;
            const double t = plan_.points[static_cast<std::size_t>(p)];
            const double point_start = now();
            status_ = RunStatus{Phase::Heating, p, points, p, 0, status_.seconds_left, {}, std::nullopt,
                                taken_[static_cast<std::size_t>(p)], plan_.per_point(), false, std::nullopt};
            status_.set_by_hand = !meter_.set_point(t);
            report();
            const double seebeck = differential_value(sensor_of(Thermocouple::S), t).value_or(10);
            std::vector<StabilityReading> window;
            const auto update_times = [&] {
                status_.point_seconds = now() - point_start;
                if (!point_durations_.empty()) {
                    double mean = 0;
                    for (double d : point_durations_) mean += d;
                    mean /= static_cast<double>(point_durations_.size());
                    status_.seconds_left = std::max(0.0, mean * (points - p) - status_.point_seconds);
                }
            };
            // Settling: the standard read every interval until it has settled near the point.
            while (true) {
                if (const auto a = asked()) return finish(*a);
                const double tick = now();
                const TakenReading r = take(-1, 0, true);
                window.push_back({r.seconds, r.reading.emf_mV});
                if (window.size() > static_cast<std::size_t>(plan_.stability.count)) window.erase(window.begin());
                status_.stability = stability_of(window, seebeck, plan_.stability);
                status_.standard_C = standard_temperature(r.reading.emf_mV);
                const bool near = status_.standard_C &&
                                  std::fabs(*status_.standard_C - t) <= calibration::kMostPlausibleDeviationC;
                status_.phase = near ? Phase::Settling : Phase::Heating;
                update_times();
                report();
                if (near && status_.stability.stable()) break;
                if (status_.point_seconds >= plan_.point_timeout_s) {
                    return interrupted({Interruption::Kind::Timeout, {}, {},
                                        {t, status_.point_seconds, status_.standard_C, status_.stability}});
                }
                if (!wait(plan_.interval_s - (now() - tick))) return finish(*asked());
            }
            // Taking: round after round, the standard first.
            status_.phase = Phase::Taking;
            report();
            for (int& k = taken_[static_cast<std::size_t>(p)]; k < plan_.per_point(); ++k) {
                if (const auto a = asked()) return finish(*a);
                readings_.push_back(take(plan_.who(k), k / plan_.per_round(), false));
                status_.taken = k + 1;
                update_times();
                report();
            }
            point_durations_.push_back(now() - point_start);
            status_.points_done = p + 1;
        }
        if (book_) book_->end_run(id_, true);
        status_.points_done = points;
        status_.seconds_left = 0;
        return finish(Phase::Finished);
    } catch (const MeterFailure& f) {
        return interrupted({Interruption::Kind::Meter, f.fault(), {}, {}});
    } catch (const book::Failure& f) {
        return interrupted({Interruption::Kind::Book, {}, f.problem(), {}});
    }
}

}  // namespace its90::instrument
