#include "its90_cli.h"

#include <cmath>
#include <cstdio>
#include <istream>
#include <ostream>
#include <string_view>

#include "its90.h"
#include "strict_number.h"

namespace its90::cli {
namespace {

constexpr std::string_view kUsage =
    "Usage: its90 COMMAND [ARGUMENTS]\n"
    "\n"
    "ITS-90 reference functions of thermocouples (IEC 60584-1 / NIST Monograph 175)\n"
    "and the Pt100 resistance (IEC 60751), as in the ITS-90 calculator window.\n"
    "\n"
    "Commands:\n"
    "  emf TYPE VALUE...    temperature in \u2103 -> EMF in mV (reference junction at 0 \u2103)\n"
    "  temp TYPE VALUE...   EMF in mV -> temperature in \u2103\n"
    "  pt100 VALUE...       temperature in \u2103 -> Pt100 resistance in \u03a9\n"
    "\n"
    "TYPE is one of S R B K N J E T, in either case. A VALUE of '-' reads values from\n"
    "standard input, one per line. Each value gives one line on standard output: the\n"
    "result with up to 15 significant digits, or an empty line when the value is rejected\n"
    "(the reason goes to standard error).\n"
    "\n"
    "Exit status: 0 all values converted, 1 a value outside the function's range,\n"
    "2 a bad command, type or a value that is not a number.\n"
    "\n"
    "Run 'its90 COMMAND --help' for the help of one command.\n";

struct Command {
    std::string_view name;
    bool takes_type;
    std::string_view help;
};

constexpr Command kCommands[] = {
    {"emf", true,
     "Usage: its90 emf TYPE VALUE...\n"
     "\n"
     "Thermocouple EMF in mV (reference junction at 0 \u2103) at each temperature in \u2103,\n"
     "rounded to 5 decimal places. TYPE is one of S R B K N J E T.\n"
     "\n"
     "Examples:\n"
     "  its90 emf K 100          prints 4.09623\n"
     "  its90 emf s -50 1064.18  prints -0.23556 and 10.33421\n"
     "  seq 0 10 1000 | its90 emf J -\n"},
    {"temp", true,
     "Usage: its90 temp TYPE VALUE...\n"
     "\n"
     "Temperature in \u2103 from each thermocouple EMF in mV, by the published inverse\n"
     "function, rounded to 4 decimal places. TYPE is one of S R B K N J E T.\n"
     "\n"
     "Examples:\n"
     "  its90 temp K 4.096       prints 99.9633\n"
     "  its90 temp S 18.693      prints 1768.046\n"},
    {"pt100", false,
     "Usage: its90 pt100 VALUE...\n"
     "\n"
     "Resistance in \u03a9 of a Pt100 (R0 = 100 \u03a9, IEC 60751) at each temperature in \u2103,\n"
     "from -200 to 850 \u2103.\n"
     "\n"
     "Examples:\n"
     "  its90 pt100 100          prints 138.5055\n"
     "  its90 pt100 -200 850     prints 18.52008 and 390.481125\n"},
};

const Command* find_command(std::string_view name) {
    for (const Command& c : kCommands) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

bool is_help(std::string_view arg) { return arg == "--help" || arg == "-h"; }

void print_result(std::ostream& out, double value) {
    if (value == 0.0) value = 0.0;  // no "-0" for a negative zero
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    out << buffer << '\n';
}

// Converts the values of one command and keeps the worst exit status.
class Converter {
public:
    Converter(ReferenceFunction function, std::ostream& out, std::ostream& err, bool is_type_b)
        : function_(function), out_(out), err_(err), is_type_b_(is_type_b) {}

    void convert(std::string_view text) {
        const std::optional<double> number = parse_strict_number(text);
        if (!number) {
            out_ << '\n';
            err_ << "its90: '" << text << "' is not a number\n";
            worsen(kExitUsage);
            return;
        }
        try {
            const Result result = function_(to_single(*number));
            if (result.accepted()) {
                print_result(out_, result.value());
                return;
            }
            out_ << '\n';
            err_ << "its90: " << text << ": ";
            if (is_type_b_ && result.message().empty()) {
                err_ << "type B EMF outside 0.291 \u2026 13.82 mV (no inverse function there)\n";
            } else {
                err_ << result.message() << '\n';
            }
            worsen(kExitRejected);
        } catch (const FloatingPointError& e) {
            out_ << '\n';
            err_ << "its90: " << text << ": " << e.what() << '\n';
            worsen(kExitRejected);
        }
    }

    void convert_stream(std::istream& in) {
        std::string line;
        while (std::getline(in, line)) convert(line);
    }

    int status() const { return status_; }

private:
    void worsen(int status) {
        if (status > status_) status_ = status;
    }

    ReferenceFunction function_;
    std::ostream& out_;
    std::ostream& err_;
    bool is_type_b_;
    int status_ = kExitOk;
};

int usage_error(std::ostream& err, std::string_view what) {
    err << "its90: " << what << "\n\n" << kUsage;
    return kExitUsage;
}

}  // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    if (args.empty()) return usage_error(err, "missing command");
    if (is_help(args[0])) {
        out << kUsage;
        return kExitOk;
    }
    const Command* command = find_command(args[0]);
    if (command == nullptr) return usage_error(err, "unknown command '" + args[0] + "'");
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (is_help(args[i])) {
            out << command->help;
            return kExitOk;
        }
    }

    std::size_t first_value = 1;
    ReferenceFunction function = R_Pt100;
    bool is_type_b = false;
    if (command->takes_type) {
        if (args.size() < 2) return usage_error(err, "missing thermocouple type");
        const std::string& name = args[1];
        const std::optional<Thermocouple> type =
            name.size() == 1 ? thermocouple_from_letter(name[0]) : std::nullopt;
        if (!type) return usage_error(err, "unknown thermocouple type '" + name + "'");
        function = command->name == "emf" ? emf_function(*type) : temperature_function(*type);
        is_type_b = command->name == "temp" && *type == Thermocouple::B;
        first_value = 2;
    }
    if (args.size() <= first_value) return usage_error(err, "missing values");

    Converter converter(function, out, err, is_type_b);
    for (std::size_t i = first_value; i < args.size(); ++i) {
        if (args[i] == "-") {
            converter.convert_stream(in);
        } else {
            converter.convert(args[i]);
        }
    }
    return converter.status();
}

}  // namespace its90::cli
