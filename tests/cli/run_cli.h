// Runs the command line in-process on given arguments and standard input.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/its90_cli.h"

namespace its90::cli::testing {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

inline Outcome run_cli(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = run(args, in, out, err);
    return {status, out.str(), err.str()};
}

// A calibration at the reference EMFs of the fixed points (all deviations zero, aluminium),
// with more arguments.
inline Outcome calibrate_reference(const std::vector<std::string>& more) {
    std::vector<std::string> args = {"calibrate", "--zn", "3.44689", "--al", "5.86013",
                                     "--cu", "10.5748"};
    args.insert(args.end(), more.begin(), more.end());
    return run_cli(args);
}

}  // namespace its90::cli::testing
