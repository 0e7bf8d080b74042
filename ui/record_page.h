// The calibration record on paper: one A4 page, and more for the 1 degC table, drawn by the
// same code for a PDF file and for a printer.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <string>

#include "form/calibration_record.h"

class QPagedPaintDevice;

namespace its90::ui {

// Draws the record on the device's pages (A4, portrait).
void draw_record(QPagedPaintDevice& device, const form::CalibrationRecord& record);

// Write the record to `path` through a temporary file that replaces it only when complete,
// so a failed save never leaves a half-written or emptied file. False, with the reason in
// `error`, when it cannot be written.
// Writes `bytes` to `path` the same way: every byte and the flush checked, the file replaced
// only when complete. False, with the reason in `error`, when it cannot be written.
bool save_bytes(const QString& path, const QByteArray& bytes, QString& error);
bool save_text(const QString& path, const std::string& text, QString& error);
// A PDF document of what `draw` draws, made whole in memory, then saved as above.
bool save_document(const QString& path, const char* title,
                   const std::function<void(QPagedPaintDevice&)>& draw, QString& error);
bool save_csv(const QString& path, const form::CalibrationRecord& record, QString& error);
bool save_pdf(const QString& path, const form::CalibrationRecord& record, QString& error);

}  // namespace its90::ui
