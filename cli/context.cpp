#include "cli/context.h"

#include <cmath>
#include <istream>
#include <ostream>

#include "cli/output.h"
#include "core/sensors.h"
#include "text/strict_number.h"

namespace its90::cli {

using text::parse_strict_number;

// Every message goes through printable(): a word of the user's can hold control characters.
int Context::usage_error(std::string_view what) {
    err << "its90: " << printable(what) << "\n\n" << usage;
    worsen(kExitUsage);
    return status;
}

void Context::value_message(std::string_view message) {
    if (++messages <= kMessagesShown) err << "its90: " << printable(message) << '\n';
}

void Context::reject(std::string_view text, std::string_view why) {
    out << '\n';
    value_message(quoted(text) + ": " + std::string(why));
    worsen(kExitRejected);
}

void Context::not_a_number(std::string_view text) {
    out << '\n';
    value_message("'" + quoted(text) + "' is not a number");
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
        err << "its90: " << messages - kMessagesShown << " more rejected values; their messages "
            << "are not shown\n";
    }
    out.flush();
    if (!out) io_error("cannot write standard output");
}

void Context::for_each_value(const std::vector<std::string>& words,
                             const std::function<void(std::string_view, double)>& convert) {
    const auto one = [&](std::string_view text) {
        const std::optional<double> number = parse_strict_number(text);
        if (!number) return not_a_number(text);
        try {
            convert(text, *number);
        } catch (const FloatingPointError& e) {
            reject(text, e.what());
        }
    };
    for (const std::string& word : words) {
        if (!out) return;  // nothing more can be written
        if (word != "-") {
            one(word);
            continue;
        }
        std::string line;
        while (out && std::getline(in, line)) one(line);
        if (in.bad()) {
            io_error("cannot read standard input");
            return;
        }
    }
}

std::optional<long> Context::step_count(double from, double to, double step) {
    if ((to - from) / step > 1e7) {
        fail("more than 10 million rows");
        return std::nullopt;
    }
    return static_cast<long>(std::floor((to - from) / step * (1 + 1e-12))) + 1;
}

void Context::for_each_step(double from, double step, long count,
                            const std::function<void(double)>& visit) {
    for (long i = 0; i < count && out; ++i) visit(round_half_even(from + static_cast<double>(i) * step, 10));
}

std::optional<double> Context::junction_emf(ReferenceFunction emf, std::optional<double> junction) {
    if (!junction) return 0.0;
    const Result r = emf(to_single(*junction));
    if (r.rejected()) {
        fail("reference junction at " + degrees(*junction) + ": " + std::string(r.message()));
        return std::nullopt;
    }
    return r.value();
}

std::optional<double> Context::junction_emf_unrounded(Thermocouple type,
                                                     std::optional<double> junction) {
    if (!junction) return 0.0;
    const Result r = emf_unrounded(type, *junction);
    if (r.rejected()) {
        fail("reference junction at " + degrees(*junction) + ": " + std::string(r.message()));
        return std::nullopt;
    }
    return r.value();
}

std::optional<double> Context::number_option(const Arguments& args, std::string_view name,
                                             bool& bad) {
    const std::optional<std::string> word = args.value(name);
    if (!word) return std::nullopt;
    const std::optional<double> number = parse_strict_number(*word);
    if (!number) {
        usage_error("--" + std::string(name) + " takes a number, not '" + quoted(*word) + "'");
        bad = true;
    }
    return number;
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

std::optional<Thermocouple> type_or_report(Context& ctx, const std::string& word) {
    const std::optional<Thermocouple> type =
        word.size() == 1 ? thermocouple_from_letter(word[0]) : std::nullopt;
    if (!type) ctx.usage_error("unknown thermocouple type '" + quoted(word) + "'");
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

std::string exact_rejection(std::optional<Thermocouple> type, const ExactTemperature& t) {
    if (!type) {
        return "resistance outside " + shortest(R_Pt100_unrounded(-200).value()) + " \u2026 " +
               shortest(R_Pt100_unrounded(850).value()) + " \u03a9 (-200 \u2026 850 \u2103)";
    }
    if (t.failure == ExactTemperature::Failure::TwoTemperatures) {
        return "two temperatures between 0 and 42.13 \u2103 share this type B EMF";
    }
    const EmfRange range = exact_emf_range(*type);
    return std::string("type ") + letter(*type) + " EMF outside " + shortest(range.lowest) +
           " \u2026 " + shortest(range.highest) + " mV";
}

std::string degrees(double t) { return shortest(t) + " \u2103"; }

}  // namespace its90::cli
