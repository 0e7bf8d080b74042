// A comparison run taken from a meter: at each point of its plan the furnace is set (or the
// technician asked to), the standard read until it has settled, then the readings taken in
// turn. Every reading is kept in the book as it arrives, so a run stopped by anything (a fault,
// a crash, a killed process) is taken up again where it stopped with nothing confirmed lost.
// Blocking; pause() and stop() may be called from any thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "book/book.h"
#include "instrument/meter.h"
#include "instrument/plan.h"
#include "instrument/stability.h"

namespace its90::instrument {

enum class Phase {
    Connecting,
    Heating,   // the standard still more than the plausible deviation from the point
    Settling,  // near the point, waiting for the stability limits
    Taking,
    Finished,  // every point's readings taken
    Paused,    // asked to, or interrupted: go() again continues
    Stopped,   // ended before its end; the readings taken are kept
};

// Why a point did not settle in its time: the last stability figures and the standard's
// temperature then.
struct PointTimeout {
    double point = 0;
    double seconds = 0;
    std::optional<double> standard_C;  // nothing before any reading, or one that is no EMF of type S
    Stability stability;
};

// What paused a run.
struct Interruption {
    enum class Kind { Meter, Book, Timeout };
    Kind kind = Kind::Meter;
    MeterFault meter{};
    book::Problem book{};
    PointTimeout timeout{};
};

struct RunStatus {
    Phase phase = Phase::Connecting;
    int point = 0;  // the point at hand, from 0
    int points = 0;
    int points_done = 0;
    double point_seconds = 0;            // time at the point
    std::optional<double> seconds_left;  // from the points done so far
    Stability stability;
    std::optional<double> standard_C;    // from its last reading, by the type S reference function
    int taken = 0;                       // of the point's readings
    int to_take = 0;
    bool set_by_hand = false;            // the profile cannot set the furnace: the technician does
    std::optional<Interruption> interruption;
};

struct TakenReading {
    int point = 0;
    int who = -1;    // -1 the standard, else the working thermocouple
    int index = 0;   // its number among that thermocouple's readings at the point (stability: 0)
    MeterReading reading;
    double seconds = 0;  // since the run's start (in this process)
    bool for_stability = false;
    std::string taken_at;  // local time to the millisecond
};

// The local time to the millisecond, as readings and the exchange log state it:
// "2026-12-09 14:03:27.250".
std::string local_time_ms();

class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void changed(const RunStatus&) {}
    virtual void arrived(const TakenReading&) {}
};

class Run {
public:
    // A new run; kept in `book` when one is given (started at the first go()).
    Run(Meter& meter, Plan plan, book::Book* book, RunObserver* observer, std::string program_version);
    // A run kept in the book taken up again: its readings so far, and on from where it stopped.
    // Throws book::Failure; std::invalid_argument for a run whose plan cannot be read.
    Run(Meter& meter, book::Book& book, std::int64_t run_id, RunObserver* observer);

    // Goes on until the plan is done (Finished), stop() is called (Stopped) or it pauses
    // (Paused: pause() was called, or status().interruption says why).
    Phase go();
    void pause();
    void stop();

    const Plan& plan() const { return plan_; }
    std::int64_t id() const { return id_; }
    const RunStatus& status() const { return status_; }
    const std::string& identity() const { return identity_; }
    // The readings the results are computed from, in the order taken.
    const std::vector<TakenReading>& readings() const { return readings_; }

private:
    void report();
    bool wait(double seconds);  // false when asked to pause or stop meanwhile
    TakenReading take(int who, int index, bool for_stability);
    double now() const;
    std::optional<Phase> asked() const;

    Meter& meter_;
    Plan plan_;
    book::Book* book_;
    RunObserver* observer_;
    std::string program_version_;
    std::int64_t id_ = 0;
    std::string identity_;
    RunStatus status_;
    std::vector<TakenReading> readings_;
    std::vector<int> taken_;  // per point
    std::int64_t position_ = 0;
    std::vector<double> point_durations_;
    double started_ = 0;
    std::atomic<bool> pause_{false};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable woken_;
};

}  // namespace its90::instrument
