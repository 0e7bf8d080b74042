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

}  // namespace its90::cli::testing
