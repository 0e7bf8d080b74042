// its90 run in-process with arbitrary words and arbitrary standard input: the argument parser,
// every command's options, the --batch reader (standard input) and the --budget reader (a file
// holding the same bytes). Commands that write files or make long tables are left out. After
// each run: no crash, an exit status of 0 to 3, no "inf" or "nan" printed as a value, and a
// refused calibration or comparison (2) writes nothing to standard output.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/its90_cli.h"
#include "fuzz/fuzz_stream.h"

namespace {

const char* const kCommands[] = {"emf", "temp", "calibrate", "compare", "tolerance", "check", "sprt", "cvd"};
const char* const kWords[] = {"K", "S", "B", "N", "J", "E", "T", "R", "pt100", "--zn", "--al", "--sb", "--cu",
                              "--at", "--std", "--uut", "--cert", "--batch", "-", "--format", "csv", "text",
                              "--u-zn", "--u-al", "--u-cu", "--u-common", "--u-cert", "--u-dvm", "--u-furnace",
                              "--k", "--budget", "@budget", "--check", "--exact", "3.45689", "5.87013", "10.5848",
                              "400", "3.26046", "16.38544", "3.2587", "1e308", "-0", "temp", "wr", "tr", "fit"};

std::string budget_path() {
    static const std::string path = [] {
        char pattern[] = "/tmp/its90-fuzz-budget-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0) close(fd);
        return std::string(pattern);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    its90::fuzzing::Stream in(data, size);
    std::vector<std::string> args = {kCommands[in.next() % std::size(kCommands)]};
    for (int n = in.next() % 16; n > 0 && !in.empty(); --n) {
        const std::uint8_t pick = in.next();
        std::string word = pick < 200 ? kWords[pick % std::size(kWords)] : in.text(12);
        // Nothing that writes a file or a table of millions of rows.
        if (word == "--keep" || word == "--from" || word == "--to" || word == "--step" || word == "--readings-out") continue;
        if (word == "@budget") word = budget_path();
        args.push_back(word);
    }
    const std::string rest = in.rest();
    std::ofstream(budget_path(), std::ios::binary | std::ios::trunc) << rest;
    std::istringstream input(rest);
    std::ostringstream out, err;
    const int status = its90::cli::run(args, input, out, err);
    if (status < 0 || status > 3) std::abort();
    // Commands of one result (not a value per line, whose rejected values leave empty lines).
    const bool one_result = args[0] == "calibrate" || args[0] == "compare";
    if (status == 2 && one_result && !out.str().empty()) std::abort();
    // No value printed as a non-number: a whole word "inf", "nan", "Infinity" ... (the help's
    // "infinite" is a word of its own).
    std::string word;
    for (const char c : out.str() + "\n") {
        if (c == ' ' || c == ',' || c == '\n' || c == '\t' || c == '=') {
            for (const char* noise : {"inf", "-inf", "nan", "-nan", "Infinity", "-Infinity", "NaN"}) {
                if (word == noise) std::abort();
            }
            word.clear();
        } else {
            word += c;
        }
    }
    return 0;
}
