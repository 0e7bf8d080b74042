// What every command of the command line shares: its streams, its exit status and the way it
// reports a rejected value or a bad word.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/its90_cli.h"
#include "core/exact_inverse.h"
#include "core/its90.h"

namespace its90::cli {

struct Context {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    std::string_view usage;  // the running command's help, shown after a usage error
    int status = kExitOk;
    // Per-value messages: the first ones are shown, the rest only counted.
    static constexpr int kMessagesShown = 20;
    long messages = 0;

    void worsen(int s) {
        if (s > status) status = s;
    }
    // A usage error: the reason and the command's usage on standard error, exit status 2.
    int usage_error(std::string_view what);
    // A value that gives no result: an empty line out, the reason on standard error.
    void reject(std::string_view text, std::string_view why);
    void not_a_number(std::string_view text);
    // A message about one value, unless kMessagesShown have been shown already.
    void value_message(std::string_view message);
    // A failure of the whole command: the reason on standard error, exit status 1.
    int fail(std::string_view why);
    // Standard input or output failed: the reason on standard error, exit status 3.
    int io_error(std::string_view what);
    // After the command: a standard output that could not be written is an error, and the
    // per-value messages held back are counted in one line.
    void finish();

    // Calls `convert` with every value word's number; "-" reads standard input, one per line.
    void for_each_value(const std::vector<std::string>& words,
                        const std::function<void(std::string_view, double)>& convert);
    // The number of temperatures from `from` to `to` every `step`, both ends included; nothing,
    // after the reason has been reported, for more than ten million.
    std::optional<long> step_count(double from, double to, double step);
    // Calls `visit` with each of the `count` temperatures from `from` every `step`, rounded to
    // 10 places, one at a time; stops when standard output fails.
    void for_each_step(double from, double step, long count,
                       const std::function<void(double)>& visit);
    // E(TCJ) of a reference junction at TCJ (0 without one); nothing, after the reason has
    // been reported, when `emf` rejects TCJ.
    std::optional<double> junction_emf(ReferenceFunction emf, std::optional<double> junction);
    // The same from the unrounded reference function, for what is itself unrounded (the exact
    // inverse, the text tables).
    std::optional<double> junction_emf_unrounded(Thermocouple type, std::optional<double> junction);
    // A number option; a word that is not a number is a usage error (reported, status 2).
    std::optional<double> number_option(const Arguments& args, std::string_view name,
                                        bool& bad);
};

// The command's arguments, or nothing after a usage error has been reported.
std::optional<Arguments> parse_or_report(Context& ctx, const std::vector<std::string>& words,
                                         std::initializer_list<std::string_view> single,
                                         std::initializer_list<std::string_view> multi = {},
                                         std::initializer_list<std::string_view> flags = {});

// A thermocouple type, or nothing after a usage error has been reported.
std::optional<Thermocouple> type_or_report(Context& ctx, const std::string& word);

// A thermocouple type or the Pt100 ("Pt100" in either case), or nothing after a usage error
// has been reported.
struct SensorChoice {
    std::optional<Thermocouple> type;  // nothing: the Pt100
    bool pt100() const { return !type; }
};
std::optional<SensorChoice> sensor_or_report(Context& ctx, const std::string& word);

// Why the exact inverse of a thermocouple type (or, without one, of the Pt100) has no
// temperature, in words.
std::string exact_rejection(std::optional<Thermocouple> type, const ExactTemperature& t);

std::string degrees(double t);  // "25 ℃"

extern const std::string_view kTableHelp;
extern const std::string_view kCalibrateHelp;
extern const std::string_view kToleranceHelp;
extern const std::string_view kCheckHelp;
int run_table(Context& ctx, const std::vector<std::string>& words);
int run_calibrate(Context& ctx, const std::vector<std::string>& words);
int run_tolerance(Context& ctx, const std::vector<std::string>& words);
int run_check(Context& ctx, const std::vector<std::string>& words);

}  // namespace its90::cli
