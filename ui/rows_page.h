// A record given as rows of cells, on A4: its title, then each row's cells in columns,
// continued on further pages as needed. For records whose layout is their rows.
#pragma once

#include <string>
#include <vector>

#include "form/calibration_record.h"

class QPagedPaintDevice;

namespace its90::ui {

void draw_rows(QPagedPaintDevice& device, const char* title, const std::vector<std::vector<std::string>>& rows);

// The rows with the record's date, number, operator and notes in front.
std::vector<std::vector<std::string>> with_identification(std::vector<std::vector<std::string>> rows,
                                                          const form::Identification& id);

}  // namespace its90::ui
