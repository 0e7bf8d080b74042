// The record of a comparison run that the laboratory keeps: the standard and where its own
// EMFs came from, each working thermocouple, every reading and mean, each result with its
// allowance and verdict, and what e_ref and the differential values are. Rows for the
// clipboard and CSV here; the window draws the same rows, and a plot, on A4.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "form/calibration_record.h"
#include "form/comparison_form.h"

namespace its90::form {

struct ComparisonRecord {
    std::string date_time;
    Identification identification;
    ComparisonForm form;  // a copy of the window's state when the record was made
    std::vector<std::vector<std::string>> budget;  // the uncertainty budget's table, if any
};

namespace comparison_texts {
inline constexpr const char* kTitle = "工作用热电偶比较法检定结果";
inline constexpr const char* kRegulation =
    "JJG 351《工作用廉金属热电偶检定规程》；JJG 141《工作用贵金属热电偶检定规程》";
inline constexpr const char* kSources =
    "e分：被检分度号的参考函数（IEC 60584-1）在检定点的电势，修约到 5 位小数；"
    "S标、S被：t+0.5 ℃ 与 t−0.5 ℃ 参考电势之差，μV/℃，修约到 2 位小数（与主窗口相同）；"
    "Δe = ē被 + (e标证 − ē标)·S被/S标 − e分，Δt = Δe/S被。";
}  // namespace comparison_texts

// Where the standard's own EMF came from, in words: its certificate, or its fixed-point
// calibration with A, B and C.
std::string standard_source(const ComparisonForm& form);

// The record as rows of cells, in reading order.
Rows comparison_rows(const ComparisonRecord& record);
// Its parts, each with its headings first, as the page shows them.
Rows working_rows(const ComparisonForm& form);
Rows reading_rows(const ComparisonForm& form, int point);
// Where readings taken from a meter came from, and each one typed over since.
Rows run_source_rows(const ComparisonForm& form);
Rows result_rows(const ComparisonForm& form);
Rows verdict_rows(const ComparisonForm& form);

}  // namespace its90::form
