// The windows' records as the book keeps them, and back: every input as typed (EMFs, readings,
// points, coefficients, the budget, the identification and date), so that a kept record loads
// into its window again and is re-issued exactly; and the words the windows show for the book.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "book/book.h"
#include "book/fixed_points.h"
#include "book/triple_point.h"
#include "form/calibration_record.h"
#include "form/comparison_record.h"
#include "form/resistance_form.h"
#include "form/uncertainty_form.h"

namespace its90::form {

// Why the book could not do what was asked, with its file: "记录簿 … 无法打开：……".
std::string book_problem_text(const book::Problem& problem);
// A run's readings from the meter, every one as it arrived, for audit: a heading row, then
// one row a reading.
Rows run_reading_rows(const std::vector<book::KeptReading>& readings);

// 待核验, 已核验, 已批准, 已退回.
const char* state_text(book::State state);
// Why a step of a record's sign-off was refused, in words.
std::string sign_off_refusal_text(book::SignOffRefusal refusal, std::int64_t record, const std::string& person);
// 定点分度, 比较法检定, 电阻温度计.
const char* kind_text(book::Kind kind);

// ---- The budget --------------------------------------------------------------------------

void add_budget_fields(std::vector<book::Field>& fields, const UncertaintyForm& budget);
// The kept budget's lines and coverage factor in place of `budget`'s; false when the record
// has none (then `budget` is left as it is).
bool load_budget(const book::Record& record, UncertaintyForm& budget);
// A budget kept for reuse under a laboratory and a name, and back into the window's budget
// (false when it holds no lines); and how the window names one: "定点炉（一室，2026-12-09 10:00）".
book::KeptBudget kept_budget(const UncertaintyForm& budget, std::string laboratory, std::string name,
                             std::string date, std::string program_version);
bool load_kept_budget(const book::KeptBudget& kept, UncertaintyForm& budget);
std::string kept_budget_title(const book::KeptBudget& kept);

// The identification a record was issued with.
Identification identification_of(const book::Record& record);
// How a correction names the record it corrects: "记录 5（2025-05-20 15:40）".
std::string correction_text(const book::Record& corrected);
// What a record being issued corrects: the record a window loaded for correction, when the new
// one has its number (and, given, its type); empty otherwise.
std::string correction_of(const std::optional<book::Record>& correcting, const std::string& number,
                          const std::string& type = {});

// ---- The fixed-point calibration ---------------------------------------------------------

// What the panel held, as typed: the three EMFs' texts and the temperature of T1(12).
struct PanelTexts {
    std::array<std::string, 3> emfs;
    std::string temperature;
};

book::Record book_record(const CalibrationRecord& record, const PanelTexts& typed,
                         const UncertaintyForm* budget, const std::string& program_version);
// The panel's texts of a kept calibration (the EMFs' exact texts where the command line kept
// it); nothing when it is not one.
struct FixedPointEntry {
    PanelTexts typed;
    book::FixedPointInputs inputs;  // the numbers they were read as
};
std::optional<FixedPointEntry> fixed_point_entry(const book::Record& record);
// The record recomputed from its inputs, with its identification, date and budget as issued.
std::optional<CalibrationRecord> recomputed_calibration(const book::Record& record);

// ---- The comparison ----------------------------------------------------------------------

book::Record book_record(const ComparisonRecord& record, const UncertaintyForm* budget,
                         const std::string& program_version);
// The run's inputs into `form` (its standard pinned to the calibration it was computed with);
// false when the record is not a comparison or lacks them.
bool load_comparison(const book::Record& record, ComparisonForm& form);
std::optional<ComparisonRecord> recomputed_comparison(const book::Record& record);
// A standard's calibration from the book, for the comparison.
KeptStandard kept_standard(const book::Calibrated& calibrated);

// ---- Resistance thermometers ---------------------------------------------------------------

// The page's fields as typed, with the record's document (the rows as saved).
book::Record book_record(const SprtForm& form, const Identification& id, const std::string& date,
                         const Rows& document, const std::string& program_version);
book::Record book_record(const CvdForm& form, const Identification& id, const std::string& date,
                         const Rows& document, const std::string& program_version);
book::Record book_record(const CopperForm& form, const Identification& id, const std::string& date,
                         const Rows& document, const std::string& program_version);
// Which page a resistance record is of; nothing for another record.
enum class ResistancePage { Sprt, Cvd, Copper };
std::optional<ResistancePage> resistance_page(const book::Record& record);
bool load_sprt(const book::Record& record, SprtForm& form);
bool load_cvd(const book::Record& record, CvdForm& form);
bool load_copper(const book::Record& record, CopperForm& form);

// ---- What the book window shows ----------------------------------------------------------

// The list's columns: 记录号, 种类, 编号, 分度号, 日期, 检定员, 状态.
std::vector<std::string> list_row(const book::Record& record);
// A standard's history: one row per calibration (date, record, D1 ... D3 in uV, the check's
// deviations from the required EMFs in uV with the verdict, E at 300 ... 1100 degC and its
// drift since the first calibration in uV), its headings first.
Rows history_rows(const std::vector<book::Calibrated>& history);
// An SPRT's R_TPW at each record kept for it: date, record, range, where its coefficients came
// from, R_TPW, its change from the first in mohm and as mK at the triple point of water.
Rows tpw_history_rows(const std::vector<book::TriplePointResistance>& history);

}  // namespace its90::form
