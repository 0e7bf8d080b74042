// The commands of its90 beyond the conversions, each with its help text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "book/book.h"
#include "cli/context.h"

namespace its90::cli {

extern const char* const kTableHelp;
extern const char* const kCalibrateHelp;
extern const char* const kToleranceHelp;
extern const char* const kCheckHelp;
extern const char* const kCompareHelp;
extern const char* const kSprtHelp;
extern const char* const kCvdHelp;
extern const char* const kCopperHelp;
extern const char* const kBookHelp;
extern const char* const kMeterHelp;
extern const char* const kFitHelp;
extern const char* const kIpts68Help;
int run_table(Context& ctx, const std::vector<std::string>& words);
int run_calibrate(Context& ctx, const std::vector<std::string>& words);
int run_tolerance(Context& ctx, const std::vector<std::string>& words);
int run_check(Context& ctx, const std::vector<std::string>& words);
int run_compare(Context& ctx, const std::vector<std::string>& words);
int run_sprt(Context& ctx, const std::vector<std::string>& words);
int run_cvd(Context& ctx, const std::vector<std::string>& words);
int run_copper(Context& ctx, const std::vector<std::string>& words);
int run_book(Context& ctx, const std::vector<std::string>& words);
int run_meter(Context& ctx, const std::vector<std::string>& words);
int run_fit(Context& ctx, const std::vector<std::string>& words);
int run_ipts68(Context& ctx, const std::vector<std::string>& words);

// Why the book could not do what was asked, with its path, in words.
std::string why(const book::Problem& problem);
// The book ITS90_BOOK names, or the window's own; nothing after the reason has been reported
// (exit status 1).
std::unique_ptr<book::Book> open_book_or_report(Context& ctx, book::Book::Access access);

}  // namespace its90::cli
