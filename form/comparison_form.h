// The 比较法校准 window without its toolkit: the standard (its numbers and where its own EMF
// at each point comes from), up to six working thermocouples, the points, every reading as
// typed, and what all of it gives: each cell's problem, the means, each working
// thermocouple's result at each point and its overall verdict. Every edit keeps what was
// typed and computes everything again; nothing typed is ever discarded.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calibration/comparison.h"
#include "calibration/uncertainty.h"
#include "core/thermocouples.h"

namespace its90::form {

inline constexpr int kMostWorking = 6;
inline constexpr int kMostPoints = 8;
inline constexpr int kMostReadings = static_cast<int>(calibration::kMostReadings);

// The points a working type is usually checked at (JJG 351, JJG 141).
std::vector<int> usual_points(Thermocouple type);

struct WorkingThermocouple {
    std::string number;
    Thermocouple type = Thermocouple::K;
    int required_class = 1;  // the class it should meet: 1, 2 or 3
};

// A text box's text and, when it is not acceptable, why (the tool tip of its red frame).
struct Cell {
    std::string text;
    std::string problem;
    // A reading taken from the meter: what it gave. A text that differs from it now was
    // corrected by hand, which the record states.
    std::optional<std::string> measured;
    bool corrected() const { return measured && text != *measured; }
};

// The run a comparison's readings were taken in from a meter.
struct RunSource {
    std::int64_t run_id = 0;  // in the book; 0 when it was not kept
    std::string meter;        // its address
    std::string identity;     // what it said it is
};

// A reading taken from the meter and then typed over.
struct CorrectedReading {
    int point;
    int who;  // -1 the standard
    int reading;
    std::string measured;
    std::string text;
};

struct PointEntry {
    Cell temperature;                       // the nominal point, degC
    Cell certificate;                       // the standard's own EMF there, when typed
    std::vector<Cell> standard;             // kMostReadings cells; the first `readings` count
    std::array<std::vector<Cell>, kMostWorking> working;
};

// One working thermocouple at one point.
struct PointResult {
    std::optional<calibration::ComparisonResult> result;  // nothing: see `problem`
    std::string problem;
    double allowance = 0;  // of the required class at the point, degC (0: none there)
    bool pass = false;     // |dt| within the required class's allowance
    // With an uncertainty budget: U(dt), and the verdict with it (ILAC G8).
    std::optional<calibration::DeltaTUncertainty> uncertainty;
    std::optional<calibration::Conformity> conformity;
};

// The verdict's words: 合格, 不合格, or, with an uncertainty that crosses the allowance,
// 不能判定.
const char* verdict_text(const PointResult& r);

// One resolution per quantity wherever the comparison is shown: EMFs and their means to 5
// decimals (mV), as they are read; an allowance, like the dt it bounds, to 2 (degC).
inline constexpr int kEmfDecimals = 5;
std::string emf_text(double mV);
std::string allowance_text(double allowance_C);  // "±1.60"

// A standard's fixed-point calibration that does not follow the panel: one taken from the
// book (its record's id and date), or the one a kept comparison was computed with (id 0).
struct KeptStandard {
    std::int64_t record_id = 0;
    std::string date;
    calibration::Calibration calibration;
    std::optional<calibration::FixedPointUncertainties> uncertainty;  // its points' own
};

class ComparisonForm {
public:
    ComparisonForm();

    // ---- The standard ----
    std::string standard_number;
    std::string certificate_number;
    // Its own EMF at each point: from the calibration panel (the fixed points typed there,
    // followed live) or typed from its certificate, point by point.
    bool from_panel() const { return from_panel_; }
    void set_from_panel(bool from_panel);
    // The panel's calibration, or nothing while it gives none (the reason, in words).
    void set_panel(std::optional<calibration::Calibration> calibration, std::string reason);
    const std::optional<calibration::Calibration>& panel() const { return panel_; }
    const std::string& panel_reason() const { return panel_reason_; }
    // A kept standard's calibration, used in place of the panel's while it is set. Without one
    // but with `missing` (why the book gave none), the standard is still to come from the book:
    // the points say why they have no result rather than take the panel's.
    void set_kept_standard(std::optional<KeptStandard> kept, std::string missing = {});
    const std::optional<KeptStandard>& kept_standard() const { return kept_; }
    const std::string& kept_missing() const { return kept_missing_; }
    // The fixed-point calibration the standard's EMFs come from: the kept one, else the
    // panel's (nothing while the panel, or the book, has none).
    const calibration::Calibration* fixed_point_calibration() const {
        if (kept_) return &kept_->calibration;
        return kept_missing_.empty() && panel_ ? &*panel_ : nullptr;
    }

    // The uncertainty budget's figures, or nothing without a budget.
    void set_uncertainties(std::optional<calibration::ComparisonUncertainties> comparison,
                           std::optional<calibration::FixedPointUncertainties> fixed_points);
    const std::optional<calibration::ComparisonUncertainties>& uncertainties() const { return uncertainties_; }

    // ---- The working thermocouples ----
    int working_count() const { return working_count_; }
    void set_working_count(int count);  // 1 ... kMostWorking
    const WorkingThermocouple& working(int i) const { return working_[static_cast<std::size_t>(i)]; }
    void set_working_number(int i, std::string number);
    // A new type: while the points are still the usual ones of the first thermocouple's type,
    // they follow it.
    void set_working_type(int i, Thermocouple type);
    void set_working_class(int i, int required_class);

    // ---- Points and readings ----
    int point_count() const { return point_count_; }
    void set_point_count(int count);  // 1 ... kMostPoints
    int readings() const { return readings_; }
    void set_readings(int count);  // 1 ... kMostReadings, each mean's number of readings
    const PointEntry& point(int p) const { return points_[static_cast<std::size_t>(p)]; }
    void edit_temperature(int p, std::string text);
    void edit_certificate(int p, std::string text);
    // who: -1 the standard, 0 ... kMostWorking - 1 a working thermocouple; r: the reading.
    void edit_reading(int p, int who, int r, std::string text);
    const Cell& reading(int p, int who, int r) const;
    // A reading from the meter: its text, kept as the measured one.
    void set_measured_reading(int p, int who, int r, std::string text);
    // Every reading emptied, none measured, no run named: where a run from a meter starts.
    void clear_readings();
    // Whether any shown reading holds a text.
    bool has_readings() const;
    // The run the measured readings came from, when they did.
    std::optional<RunSource> run_source;
    // Measured readings typed over since, in reading order.
    std::vector<CorrectedReading> corrected_readings() const;

    // A new run with the same standard, budget and thermocouples' types and classes: the
    // points (back to the usual ones), the readings and the working thermocouples' numbers
    // cleared.
    void clear_run();

    // ---- What it gives ----
    // A point's temperature, when its text reads as one.
    std::optional<double> temperature(int p) const { return temperature_[static_cast<std::size_t>(p)]; }
    // The mean of a column at a point, when all its readings are acceptable.
    std::optional<double> mean(int p, int who) const;
    // The standard's own EMF at a point (from the panel or typed), when there is one.
    std::optional<double> standard_emf(int p) const { return standard_emf_[static_cast<std::size_t>(p)]; }
    // A point's problem, shared by all its results (its temperature, the standard's side).
    const std::string& point_problem(int p) const { return point_problem_[static_cast<std::size_t>(p)]; }
    const PointResult& result(int i, int p) const {
        return results_[static_cast<std::size_t>(i)][static_cast<std::size_t>(p)];
    }
    // A working thermocouple's verdict over the points: pass, fail, or nothing until every
    // point has a result.
    std::optional<bool> verdict(int i) const { return verdict_[static_cast<std::size_t>(i)]; }
    // The verdict in words: 合格, 不合格, 不能判定 (an uncertainty crosses an allowance and no
    // point fails), or 未完成.
    const char* verdict_words(int i) const;
    // Whether every shown working thermocouple has a result at every point (for a record).
    bool complete() const;

private:
    void evaluate();
    Cell& cell(int p, int who, int r);
    bool points_are_usual() const;
    void set_usual_points();

    bool from_panel_ = true;
    std::optional<calibration::ComparisonUncertainties> uncertainties_;
    std::optional<calibration::FixedPointUncertainties> fixed_point_uncertainties_;
    std::optional<calibration::Calibration> panel_;
    std::string panel_reason_;
    std::optional<KeptStandard> kept_;
    std::string kept_missing_;
    int working_count_ = 1;
    std::array<WorkingThermocouple, kMostWorking> working_;
    int point_count_ = 0;
    int readings_ = 4;
    std::array<PointEntry, kMostPoints> points_;

    std::array<std::optional<double>, kMostPoints> temperature_{};
    std::array<std::optional<double>, kMostPoints> standard_emf_{};
    std::array<std::string, kMostPoints> point_problem_{};
    std::array<std::array<std::optional<double>, kMostWorking + 1>, kMostPoints> means_{};
    std::array<std::array<PointResult, kMostPoints>, kMostWorking> results_{};
    std::array<std::optional<bool>, kMostWorking> verdict_{};
};

}  // namespace its90::form
