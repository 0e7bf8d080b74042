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
#include "cli/exit_status.h"
#include "core/exact_inverse.h"
#include "core/its90.h"
#include "text/strict_number.h"

namespace its90::cli {

struct Context {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    const char* usage;  // the running command's help (English), shown after a usage error
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
    // A value word that is not a number, or a number beyond the double's range: an empty
    // line out, the reason on standard error.
    void bad_number(std::string_view text, const text::StrictNumber& read);
    // A line of standard input longer than any number: an empty line out, the reason.
    void line_too_long();
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
    // Calls `take` with each line of standard input, of at most kLongestLine characters; a
    // longer one is reported once and passed over. What is written is shown before a read
    // that waits for input, so a person at a terminal sees each result at once. False when
    // standard input could not be read (reported).
    static constexpr std::size_t kLongestLine = 1000;
    // `source` names a file read in place of standard input, for the message.
    bool for_each_line(const std::function<void(std::string_view)>& take, std::string_view source = {});
    // The number of temperatures from `from` to `to` every `step`, both ends included; nothing,
    // after the reason has been reported, for more than ten million.
    std::optional<long> step_count(double from, double to, double step);
    // Calls `visit` with each of the `count` temperatures from `from` every `step`, rounded to
    // 10 places, one at a time; stops when standard output fails.
    void for_each_step(double from, double step, long count,
                       const std::function<void(double)>& visit);
    // E(TCJ) of a reference junction at TCJ (0 without one); nothing, after the reason has
    // been reported, when the type's function rejects TCJ.
    std::optional<double> junction_emf(Thermocouple type, std::optional<double> junction);
    // The same from the unrounded reference function, for what is itself unrounded (the exact
    // inverse, the text tables).
    std::optional<double> junction_emf_unrounded(Thermocouple type, std::optional<double> junction);
    // A number option; a word that is not a number is a usage error (reported, status 2).
    std::optional<double> number_option(const Arguments& args, std::string_view name);
    // Whether a usage error has been reported.
    bool usage_failed() const { return status >= kExitUsage; }
};

// The command's arguments, or nothing after a usage error has been reported.
std::optional<Arguments> parse_or_report(Context& ctx, const std::vector<std::string>& words,
                                         std::initializer_list<std::string_view> single,
                                         std::initializer_list<std::string_view> multi = {},
                                         std::initializer_list<std::string_view> flags = {});

// Two strict numbers written X:Y ("231.928:47.922451"), or nothing.
std::optional<std::pair<double, double>> number_pair(std::string_view word);

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
// temperature, in words, with the temperatures its range covers.
std::string exact_rejection(std::optional<Thermocouple> type, const Rejection& rejection);

// Whether `path` names a file that can be read: a folder, or a file that is missing or may not
// be read, is reported by name (exit status 1).
bool readable_file_or_report(Context& ctx, const std::string& path);

}  // namespace its90::cli
