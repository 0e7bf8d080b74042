// The record of a type S calibration that the technician keeps: one model, rendered as
// rows of cells for the clipboard (tab-separated) and CSV here, and drawn as a page by the
// window for PDF and print.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calibration/type_s_calibration.h"
#include "calibration/uncertainty.h"
#include "core/outcome.h"

namespace its90::form {

// What the user types before saving or printing; the window keeps it for the next record
// of the same run.
struct Identification {
    std::string number;         // 编号 of the thermocouple
    std::string operator_name;  // 检定员
    std::string notes;          // 备注
    bool one_degree_table = false;  // add the thermocouple's own 1 degC table
    // The kept record this one corrects ("记录 5（2025-05-20 15:40）"); empty for none.
    std::string corrects = {};
    // Why it corrects it (修改原因): a correction must say.
    std::string reason = {};
    // What the certificate states besides the results, typed when the record is kept: the
    // customer, the standard used (its number, certificate and uncertainty) and the ambient
    // conditions, in degC and % relative humidity; each may be left empty.
    std::string customer = {};
    std::string standard_used = {};
    std::string ambient_temperature = {};
    std::string relative_humidity = {};
};

// What a record is computed from: the three EMFs measured at zinc, the middle point and
// copper (mV), the middle point, and the temperature typed for the panel's single EMF, when
// the panel shows an EMF for it.
struct CalibrationInputs {
    std::array<double, 3> emfs;
    calibration::MiddlePoint middle;
    std::optional<std::string> temperature;
};

struct CalibrationRecord {
    std::string date_time;  // filled in when the record is issued
    Identification identification;
    calibration::Calibration calibration;  // middle point, deviations, deviation function
    std::array<double, 3> emfs;            // measured at zinc, the middle point, copper (mV)
    std::array<std::string, 9> table;      // 300 ... 1100 degC, as the window shows them
    // The temperature typed into T1(12) and the EMF there, as the window shows them.
    std::optional<std::pair<std::string, std::string>> any_temperature;
    calibration::AcceptanceCheck check;
    // The uncertainty, once a budget gives the fixed points theirs: u_1 ... u_3, u_0, k, and
    // the budget's table as the record shows it.
    std::optional<calibration::FixedPointUncertainties> uncertainty;
    std::vector<std::vector<std::string>> budget;
};

// The record of a calibration, without its identification and date; NotFinite where the EMFs
// give no table (values beyond the computable range).
Outcome<CalibrationRecord> calibration_record(const CalibrationInputs& inputs);

// Why the panel offers no record, as the window says it (its menu entries' tool tips).
inline constexpr const char* kRecordNeedsEmfs = "输入锌点、中间点（铝点或锑点）和铜点的电势后可用";
inline constexpr const char* kRecordBeyondRange = "输入的电势值超出计算范围，无法生成记录";

// The texts every rendering shares.
namespace record_texts {
inline constexpr const char* kTitle = "标准铂铑10-铂热电偶 (S 型) 定点分度结果";
inline constexpr const char* kRegulation =
    "JJG 75-1995《标准铂铑10-铂热电偶检定规程》，技术要求：热电动势";
inline constexpr const char* kPass = "合格";
inline constexpr const char* kFail = "不合格";
}  // namespace record_texts

// A fixed point: its name and temperature as printed ("铝点", "660.323").
struct FixedPointName {
    const char* name;
    std::string temperature;
};
std::array<FixedPointName, 3> fixed_point_names(calibration::MiddlePoint middle);

// Why EMFs are no type S thermocouple's, as the window says it: three fixed-point EMFs out of
// order or too far from the reference function (the point named), or a standard's own EMF at
// a comparison point (deviation_C as implausible_standard_emf gives it).
std::string implausible_words(const calibration::ImplausibleEmfs& fault, const std::array<double, 3>& emfs,
                              calibration::MiddlePoint middle);
std::string implausible_standard_words(double t, double deviation_C);

// The record as rows of cells, in reading order, numbers with '.' whatever the locale.
using Rows = std::vector<std::vector<std::string>>;

// Every record's identification as rows: its date, number (under `number_heading`: 编号 or
// 记录编号), operator, notes, and the record it corrects when it is a correction.
Rows identification_rows(const std::string& date_time, const Identification& id, const char* number_heading);
Rows record_rows(const CalibrationRecord& record);

// Its tables, each with its row of headings first, as every rendering shows them: the fixed
// points with their EMFs and deviations, the 300 ... 1100 degC table, the acceptance check.
Rows fixed_point_rows(const CalibrationRecord& record);
Rows graduation_rows(const CalibrationRecord& record);
Rows check_rows(const CalibrationRecord& record);
// With an uncertainty: at each table temperature the combined standard uncertainty, its
// effective degrees of freedom, k and the expanded uncertainty in μV and ℃.
Rows expanded_uncertainty_rows(const CalibrationRecord& record);
const char* verdict(bool pass);  // 合格 or 不合格
// The thermocouple's own EMF at a whole degree to 3 places, as the 1 degC table shows it.
std::string one_degree_text(const calibration::Calibration& c, int t);
// "A = … mV，B = … mV/℃，C = … mV/℃²", six significant digits each.
std::string coefficients_text(const calibration::Calibration& calibration);
// A, B and C to the resolution the deviations carry (a coefficient below it is 0).
std::array<std::string, 3> coefficient_texts(const calibration::Calibration& calibration);

// Tab-separated, for the clipboard: pastes into a spreadsheet as a table.
std::string to_tsv(const CalibrationRecord& record);
// UTF-8 with a byte-order mark, comma-separated, CRLF line ends, fields quoted where needed.
std::string to_csv(const CalibrationRecord& record);
// U at a temperature of the record (uV and degC), when it has an uncertainty and one is
// defined there.
std::optional<calibration::DeviationUncertainty> uncertainty_at(const CalibrationRecord& record, double t);
// Any record's rows in those two forms.
std::string tsv_of(const Rows& rows);
std::string csv_of(const Rows& rows);

}  // namespace its90::form
