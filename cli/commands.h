// The commands of its90 beyond the conversions, each with its help text.
#pragma once

#include <string>
#include <vector>

#include "cli/context.h"

namespace its90::cli {

extern const char* const kTableHelp;
extern const char* const kCalibrateHelp;
extern const char* const kToleranceHelp;
extern const char* const kCheckHelp;
extern const char* const kCompareHelp;
extern const char* const kSprtHelp;
extern const char* const kCvdHelp;
int run_table(Context& ctx, const std::vector<std::string>& words);
int run_calibrate(Context& ctx, const std::vector<std::string>& words);
int run_tolerance(Context& ctx, const std::vector<std::string>& words);
int run_check(Context& ctx, const std::vector<std::string>& words);
int run_compare(Context& ctx, const std::vector<std::string>& words);
int run_sprt(Context& ctx, const std::vector<std::string>& words);
int run_cvd(Context& ctx, const std::vector<std::string>& words);

}  // namespace its90::cli
