// The comparison run's record on paper: A4, the standard, the working thermocouples, the
// results and verdicts with a plot of dt against t in each thermocouple's class band, then
// the readings; drawn by the same code for a PDF file and a printer.
#pragma once

#include <QString>

#include "form/comparison_record.h"

class QPagedPaintDevice;

namespace its90::ui {

void draw_comparison(QPagedPaintDevice& device, const form::ComparisonRecord& record);

// Saved as the calibration record is: every byte checked, the file replaced only when whole.
bool save_comparison_csv(const QString& path, const form::ComparisonRecord& record, QString& error);
bool save_comparison_pdf(const QString& path, const form::ComparisonRecord& record, QString& error);

}  // namespace its90::ui
