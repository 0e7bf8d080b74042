// A record's certificate on A4, for PDF and print: the laboratory, the certificate's number,
// the particulars, the results with their expanded uncertainties, the conclusion and the
// three names; 未批准 across every page of a record not approved.
#pragma once

#include <optional>

#include "form/certificate.h"

class QPagedPaintDevice;

namespace its90::ui {

void draw_certificate(QPagedPaintDevice& device, const form::Certificate& certificate);

}  // namespace its90::ui

#include <QString>

namespace its90::ui {

// The certificate saved as PDF, or as its DCC (validated first: an invalid one is not
// written), the file replaced only when whole. False, with the reason in `error`.
bool save_certificate_pdf(const QString& path, const form::Certificate& certificate, QString& error);
bool save_dcc(const QString& path, const form::Certificate& certificate, QString& error);

// Without a window, for the command line: "--certificate ID --pdf FILE" draws a record's
// certificate, "--dcc ID --output FILE" writes its DCC ("-" for standard output), from the
// book ITS90_BOOK names (or the window's own). Nothing when the arguments ask neither;
// otherwise the exit status: 0 done, 1 the book or the file failed, 2 a bad request.
std::optional<int> export_without_window(int argc, char** argv);

}  // namespace its90::ui
