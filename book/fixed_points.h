// A type S standard's fixed-point calibrations as the book keeps them: the three EMFs, the
// middle point and the points' uncertainties as named inputs, read back into numbers; and a
// standard's history of calibrations, each recomputed from its inputs.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"
#include "calibration/type_s_calibration.h"
#include "calibration/uncertainty.h"

namespace its90::book {

// A number as an input keeps every bit: its shortest text that reads back as the same double.
Field number_field(std::string name, double value);
// An input read back as a number; nothing when it is missing or not a number.
std::optional<double> number_input(const Record& record, std::string_view name);

struct FixedPointInputs {
    std::array<double, 3> emfs{};  // zinc, the middle point, copper (mV)
    calibration::MiddlePoint middle = calibration::MiddlePoint::Aluminium;
    std::optional<calibration::FixedPointUncertainties> uncertainty;
};

// The inputs' fields, in the order they are kept.
std::vector<Field> fields_of(const FixedPointInputs& inputs);
// A fixed-point record's inputs; nothing for another kind of record or one that lacks them.
std::optional<FixedPointInputs> fixed_point_inputs(const Record& record);

// One calibration of a standard, recomputed from its inputs exactly as it was issued.
struct Calibrated {
    Record record;
    FixedPointInputs inputs;
    calibration::Calibration calibration;
    calibration::GraduationTable table;
    calibration::AcceptanceCheck check;
};
std::optional<Calibrated> recompute(const Record& record);

// A standard's calibrations that no correction replaces, oldest first; records whose inputs
// give no calibration are passed over, and records of the same EMFs and middle point on the
// same day are one calibration, which the latest of them stands for.
std::vector<Calibrated> standard_history(const Book& book, std::string_view number);

// The drift of a value from the standard's first calibration to this one, uV.
inline double drift_uV(double first_mV, double now_mV) { return (now_mV - first_mV) * 1000.0; }

}  // namespace its90::book
