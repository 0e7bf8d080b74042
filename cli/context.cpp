#include "cli/context.h"

#include <filesystem>

#include <cmath>
#include <limits>
#include <istream>
#include <ostream>

#include "cli/output.h"
#include "cli/words.h"
#include "core/sensors.h"
#include "text/number_text.h"

namespace its90::cli {

using text::general;
using text::parse_strict_number;

// Every message goes through printable(): a word of the user's can hold control characters.
int Context::usage_error(std::string_view what) {
    err << "its90: " << printable(what) << "\n\n" << tr(usage);
    worsen(kExitUsage);
    return status;
}

void Context::value_message(std::string_view message) {
    if (++messages <= kMessagesShown) err << "its90: " << printable(message) << '\n';
}

void Context::reject(std::string_view text, std::string_view why) {
    out << '\n';
    value_message(cli::quoted(text) + ": " + std::string(why));
    worsen(kExitRejected);
}

void Context::bad_number(std::string_view text, const text::StrictNumber& read) {
    out << '\n';
    const bool range = read.problem == text::StrictNumber::Problem::OutOfRange;
    value_message(format(range ? tr("'%1' lies beyond the range of numbers this program holds")
                               : tr("'%1' is not a number"),
                         cli::quoted(text)));
    worsen(kExitUsage);
}

void Context::line_too_long() {
    out << '\n';
    value_message(format(tr("a line of more than %1 characters is not a number"),
                         std::to_string(kLongestLine)));
    worsen(kExitUsage);
}

int Context::fail(std::string_view why) {
    err << "its90: " << printable(why) << '\n';
    worsen(kExitRejected);
    return status;
}

int Context::io_error(std::string_view what) {
    err << "its90: " << what << '\n';
    worsen(kExitIo);
    return status;
}

void Context::finish() {
    if (messages > kMessagesShown) {
        err << "its90: "
            << format(tr("%1 more rejected values; their messages are not shown"),
                      std::to_string(messages - kMessagesShown))
            << '\n';
    }
    out.flush();
    if (!out) io_error(tr("cannot write standard output"));
}

void Context::for_each_value(const std::vector<std::string>& words,
                             const std::function<void(std::string_view, double)>& convert) {
    const auto one = [&](std::string_view text) {
        const text::StrictNumber number = text::read_strict_number(text);
        if (!number.value) return bad_number(text, number);
        try {
            convert(text, *number.value);
        } catch (const FloatingPointError&) {
            reject(text, why(Rejection::not_finite(Quantity::Temperature), std::nullopt));
        }
    };
    for (const std::string& word : words) {
        if (!out) return;  // nothing more can be written
        if (word != "-") {
            one(word);
            continue;
        }
        if (!for_each_line(one)) return;
    }
}

bool Context::for_each_line(const std::function<void(std::string_view)>& take, std::string_view source) {
    char line[kLongestLine + 2];
    std::streambuf* input = in.rdbuf();
    while (out) {
        // Nothing read ahead is waiting: the next read may wait for a person or a slow
        // producer, who should see every result so far.
        if (input == nullptr || input->in_avail() <= 0) out.flush();
        in.getline(line, sizeof line);
        if (in.bad()) break;
        const std::size_t n = static_cast<std::size_t>(in.gcount());
        if (in.fail() && !in.eof()) {
            // The line fills the buffer: it is longer than any number. Pass over the rest.
            in.clear();
            in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
            if (in.bad()) break;
            line_too_long();
            continue;
        }
        if (n == 0 && in.eof()) break;  // no more lines
        const std::size_t length = in.eof() ? n : n - 1;  // without the '\n' taken
        const std::string_view text(line, length);
        if (length > kLongestLine) {
            line_too_long();
        } else {
            take(text);
        }
        if (in.eof()) break;
    }
    if (in.bad()) {
        io_error(source.empty() ? tr("cannot read standard input") : format(tr("cannot read '%1'"), cli::quoted(source)));
        return false;
    }
    return true;
}

bool readable_file_or_report(Context& ctx, const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        ctx.fail(format(tr("'%1' is a folder, not a file"), cli::quoted(path)));
        return false;
    }
    if (!std::filesystem::exists(path, ec)) {
        ctx.fail(format(tr("there is no file '%1'"), cli::quoted(path)));
        return false;
    }
    return true;
}

std::optional<long> Context::step_count(double from, double to, double step) {
    if ((to - from) / step > 1e7) {
        fail(tr("more than 10 million rows"));
        return std::nullopt;
    }
    return static_cast<long>(std::floor((to - from) / step * (1 + 1e-12))) + 1;
}

void Context::for_each_step(double from, double step, long count,
                            const std::function<void(double)>& visit) {
    for (long i = 0; i < count && out; ++i) visit(round_half_even(from + static_cast<double>(i) * step, 10));
}

std::optional<double> Context::junction_emf(Thermocouple type, std::optional<double> junction) {
    if (!junction) return 0.0;
    const Result r = emf_function(type)(to_single(*junction));
    if (r.rejected()) {
        fail(format(tr("reference junction at %1: %2"), degrees(*junction), why(r.rejection(), type)));
        return std::nullopt;
    }
    return r.value();
}

std::optional<double> Context::junction_emf_unrounded(Thermocouple type,
                                                     std::optional<double> junction) {
    if (!junction) return 0.0;
    const Result r = emf_unrounded(type, *junction);
    if (r.rejected()) {
        fail(format(tr("reference junction at %1: %2"), degrees(*junction), why(r.rejection(), type)));
        return std::nullopt;
    }
    return r.value();
}

std::optional<double> Context::number_option(const Arguments& args, std::string_view name) {
    const std::optional<std::string> word = args.value(name);
    if (!word) return std::nullopt;
    const text::StrictNumber number = text::read_strict_number(*word);
    if (!number.value) {
        usage_error(format(number.problem == text::StrictNumber::Problem::OutOfRange
                               ? tr("--%1 %2 lies beyond the range of numbers this program holds")
                               : tr("--%1 takes a number, not '%2'"),
                           std::string(name), cli::quoted(*word)));
    }
    return number.value;
}

std::optional<Arguments> parse_or_report(Context& ctx, const std::vector<std::string>& words,
                                         std::initializer_list<std::string_view> single,
                                         std::initializer_list<std::string_view> multi,
                                         std::initializer_list<std::string_view> flags) {
    std::string error;
    std::optional<Arguments> args = parse_arguments(words, single, multi, error, flags);
    if (!args) ctx.usage_error(error);
    return args;
}

std::optional<std::pair<double, double>> number_pair(std::string_view word) {
    const std::size_t colon = word.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::optional<double> x = text::parse_strict_number(word.substr(0, colon));
    const std::optional<double> y = text::parse_strict_number(word.substr(colon + 1));
    if (!x || !y) return std::nullopt;
    return std::pair{*x, *y};
}

std::optional<Thermocouple> type_or_report(Context& ctx, const std::string& word) {
    const std::optional<Thermocouple> type =
        word.size() == 1 ? thermocouple_from_letter(word[0]) : std::nullopt;
    if (!type) ctx.usage_error(format(tr("unknown thermocouple type '%1'"), cli::quoted(word)));
    return type;
}

std::optional<SensorChoice> sensor_or_report(Context& ctx, const std::string& word) {
    std::string name = word;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == "pt100") return SensorChoice{std::nullopt};
    const std::optional<Thermocouple> type = type_or_report(ctx, word);
    if (!type) return std::nullopt;
    return SensorChoice{type};
}

std::string exact_rejection(std::optional<Thermocouple> type, const Rejection& rejection) {
    if (rejection.cause != Rejection::Cause::OutOfRange) return why(rejection, type);
    const Range t = type ? record_of(*type).emf.range() : kPt100Record.temperatures;
    return why(rejection, type) + " (" + temperature_text(t.lowest) + " \u2026 " + degrees(t.highest) + ")";
}

}  // namespace its90::cli
