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

namespace its90::form {

class Form1;

// What the user types before saving or printing; the window keeps it for the next record
// of the same run.
struct Identification {
    std::string number;         // 编号 of the thermocouple
    std::string operator_name;  // 检定员
    std::string notes;          // 备注
    bool one_degree_table = false;  // add the thermocouple's own 1 degC table
};

struct CalibrationRecord {
    std::string date_time;
    Identification identification;
    calibration::Calibration calibration;  // middle point, deviations, deviation function
    std::array<double, 3> emfs;            // measured at zinc, the middle point, copper (mV)
    std::array<std::string, 9> table;      // 300 ... 1100 degC, as the window shows them
    // The temperature typed into T1(12) and the EMF there, as the window shows them.
    std::optional<std::pair<std::string, std::string>> any_temperature;
    calibration::AcceptanceCheck check;
};

// The record of the calibration the panel's boxes give, or nothing while its three EMFs give
// no table. `date_time` is the moment of the record, as it is to be printed.
std::optional<CalibrationRecord> calibration_record(const Form1& form, Identification id,
                                                    std::string date_time);

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
    const char* temperature;
};
std::array<FixedPointName, 3> fixed_point_names(calibration::MiddlePoint middle);

// The record as rows of cells, in reading order, numbers with '.' whatever the locale.
using Rows = std::vector<std::vector<std::string>>;
Rows record_rows(const CalibrationRecord& record);

// Its tables, each with its row of headings first, as every rendering shows them: the fixed
// points with their EMFs and deviations, the 300 ... 1100 degC table, the acceptance check.
Rows fixed_point_rows(const CalibrationRecord& record);
Rows graduation_rows(const CalibrationRecord& record);
Rows check_rows(const CalibrationRecord& record);
const char* verdict(bool pass);  // 合格 or 不合格

// Tab-separated, for the clipboard: pastes into a spreadsheet as a table.
std::string to_tsv(const CalibrationRecord& record);
// UTF-8 with a byte-order mark, comma-separated, CRLF line ends, fields quoted where needed.
std::string to_csv(const CalibrationRecord& record);

}  // namespace its90::form
