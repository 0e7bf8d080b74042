// The 电阻温度计 window without its toolkit: a standard platinum resistance thermometer on
// ITS-90 (标准铂电阻) and an industrial one by Callendar-Van Dusen (工业铂电阻). On each page
// the coefficients, typed or fitted from points, conversions both ways, a table; every field
// as typed, what it gives or why it cannot be used. Every edit computes everything again.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calibration/resistance_fit.h"
#include "core/cvd.h"
#include "core/sprt.h"

namespace its90::form {

struct Field {
    std::string text;
    std::string problem;  // why the text cannot be used; empty when it can
};

// A table of temperatures from `from` to `to` every `step`.
struct TableRequest {
    Field from, to, step;
};
inline constexpr int kMostTableRows = 2001;

// ---- 标准铂电阻 -------------------------------------------------------------------------------

class SprtForm {
public:
    SprtForm();

    sprt::DeviationRange range() const { return range_; }
    void set_range(sprt::DeviationRange range);
    bool fitted() const { return fitted_; }
    void set_fitted(bool fitted);  // coefficients fitted from the fixed points, or typed
    // For a check at the triple point of water: the page's coefficients, fitted or typed,
    // become typed ones to every digit (W(Al) too), so the R_TPW measured in the check and
    // typed next converts with the certificate's coefficients instead of fitting them again.
    // False, and nothing changed, while there are no coefficients.
    bool keep_coefficients();

    // The typed coefficients by slot (a ... g: the range's names say what each is, c1 ... c5
    // in c ... g below the argon point); w_al: TPW-Ag only, empty: from a, b, c.
    Field r_tpw, a, b, c, d, e, f, g, w_al;
    // The resistances at the range's fixed points, in the record's point order, and, for a
    // measured point (e-H2-TPW's near 17 K and 20.3 K), the t90 it was measured at.
    std::array<Field, sprt::kMostCoefficients> point_r, point_t;
    Field temperature;  // t90 to convert
    Field resistance;   // R to convert
    TableRequest table;
    // The standard uncertainty of each fixed point's resistance (mohm), when fitted: carried
    // through the fit to every temperature (empty: none).
    Field u_points;

    // Every field edit goes through here so that everything is computed again.
    void edited() { evaluate(); }

    // U(t90) (k = 2, degC) at the converted temperature, from the points' uncertainty.
    std::optional<double> expanded_at_temperature() const { return expanded_at_temperature_; }

    // What it gives.
    std::optional<sprt::Coefficients> coefficients() const { return coefficients_; }
    const std::string& coefficients_problem() const { return coefficients_problem_; }
    // ITS-90's criteria on the coefficients, fitted or typed; nothing without coefficients.
    std::optional<sprt::Acceptance> acceptance() const {
        return coefficients_ ? std::optional<sprt::Acceptance>(sprt::acceptance(range_, *coefficients_)) : std::nullopt;
    }
    struct Conversion {
        double r, w, wr, dw, dr_dt;
    };
    std::optional<Conversion> at_temperature() const { return at_temperature_; }
    std::optional<double> at_resistance() const { return at_resistance_; }  // t90
    struct Row {
        double t90, r, w;
        std::optional<double> expanded;  // U(t90), k = 2, degC
    };
    const std::vector<Row>& rows() const { return rows_; }

private:
    void evaluate();
    std::optional<double> expanded_at(double t90) const;

    std::vector<sprt::Coefficients> perturbed_;  // the fit again with each point raised by u
    std::optional<double> expanded_at_temperature_;
    sprt::DeviationRange range_ = sprt::DeviationRange::TPWZn;
    bool fitted_ = false;
    std::optional<sprt::Coefficients> coefficients_;
    std::string coefficients_problem_;
    std::optional<Conversion> at_temperature_;
    std::optional<double> at_resistance_;
    std::vector<Row> rows_;
};

// ---- 工业铂电阻 -------------------------------------------------------------------------------

inline constexpr int kMostCvdPoints = 20;

class CvdForm {
public:
    CvdForm();

    bool fitted() const { return fitted_; }
    void set_fitted(bool fitted);
    // Whether a fit takes D, R0 D t^3 above 0 degC, too.
    bool with_d() const { return with_d_; }
    void set_with_d(bool with_d);

    Field r0, a, b, c, d;  // typed coefficients (c, d empty: 0)
    // The range typed coefficients hold for, as their certificate gives it (both empty: the
    // whole -200 ... 850 degC); beyond it nothing is converted.
    Field valid_from, valid_to;
    std::array<Field, kMostCvdPoints> point_t, point_r;  // the points to fit; empty rows unused
    Field temperature, resistance;
    Field ice, steam;  // R measured at 0 and at 100 degC
    TableRequest table;
    Field u_points;    // each point's standard uncertainty (mohm), when fitted; empty: none

    void edited() { evaluate(); }
    // U(t) (k = 2, degC) at the converted temperature, from the points' uncertainty.
    std::optional<double> expanded_at_temperature() const { return expanded_at_temperature_; }

    std::optional<cvd::Coefficients> coefficients() const { return coefficients_; }
    const std::string& coefficients_problem() const { return coefficients_problem_; }
    bool has_c() const { return has_c_; }
    bool has_d() const { return has_d_; }
    // Per fitted point: residual (mohm, degC), deviation from the IEC 60751 curve of the same
    // R0 (degC) and the tightest class met ("" for none).
    struct PointResult {
        double residual_mohm, residual_c, deviation;
        std::string tightest;
    };
    const std::vector<std::optional<PointResult>>& point_results() const { return point_results_; }
    std::optional<double> at_temperature() const { return at_temperature_; }  // R
    std::optional<double> at_resistance() const { return at_resistance_; }    // t
    // The ice- and steam-point checks: the deviation in degC from the IEC curve, the class.
    struct Check {
        double deviation;
        std::string tightest;
    };
    std::optional<Check> ice_check() const { return ice_check_; }
    std::optional<Check> steam_check() const { return steam_check_; }
    struct Row {
        double t, r;
        std::optional<double> expanded;  // U(t), k = 2, degC
        bool extrapolated = false;       // fitted, and beyond the points' temperatures
    };
    const std::vector<Row>& rows() const { return rows_; }
    // A fit's points' lowest and highest temperatures, beyond which its table is extrapolated.
    std::optional<std::pair<double, double>> fitted_span() const { return fitted_span_; }

private:
    void evaluate();
    std::optional<double> expanded_at(double t) const;
    std::optional<std::pair<double, double>> fitted_span_;

    std::vector<cvd::Coefficients> perturbed_;
    std::optional<double> expanded_at_temperature_;
    bool fitted_ = false;
    std::optional<cvd::Coefficients> coefficients_;
    std::string coefficients_problem_;
    bool has_c_ = false, has_d_ = false, with_d_ = false;
    std::vector<std::optional<PointResult>> point_results_;
    std::optional<double> at_temperature_, at_resistance_;
    std::optional<Check> ice_check_, steam_check_;
    std::vector<Row> rows_;
};

// ---- 铜电阻 (JJG 229) -----------------------------------------------------------------------

// A copper thermometer of JJG 229-2010, Cu50 or Cu100: t -> R and W, R -> t, a table.
class CopperForm {
public:
    CopperForm();

    double r0() const { return r0_; }
    void set_r0(double r0);  // 50 or 100; any other is refused and the R0 kept

    Field temperature, resistance;
    TableRequest table;
    void edited() { evaluate(); }

    std::optional<double> at_temperature() const { return at_temperature_; }  // R
    std::optional<double> at_resistance() const { return at_resistance_; }    // t
    struct Row {
        double t, r, w;  // W = R / R0
    };
    const std::vector<Row>& rows() const { return rows_; }

private:
    void evaluate();
    double r0_ = 50;
    std::optional<double> at_temperature_, at_resistance_;
    std::vector<Row> rows_;
};

// ITS-90's criteria as the page and the record state them, one line each:
// "W(Ga) = 1.11812442 ≥ 1.11807，满足"; and a line saying the thermometer fails them, or empty.
std::vector<std::string> acceptance_texts(const sprt::Acceptance& acceptance);
std::string acceptance_warning(const sprt::Acceptance& acceptance);

// How a table row beyond a fit's points is marked.
inline constexpr const char* kExtrapolated = "外推";

// The records of each page as rows (for the clipboard, CSV and the page).
std::vector<std::vector<std::string>> sprt_rows(const SprtForm& form);
std::vector<std::vector<std::string>> cvd_rows(const CvdForm& form);
std::vector<std::vector<std::string>> copper_rows(const CopperForm& form);

}  // namespace its90::form
