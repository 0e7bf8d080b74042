#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/exit_status.h"

namespace its90::cli {

// Runs `its90` with its arguments (without the program name). Results go to `out`, one line
// per input value; messages go to `err`. Returns the exit status: 0 all converted, 1 a value
// or the command was rejected, 2 a bad command, type, option or number, 3 reading `in` or
// writing `out` failed.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

}  // namespace its90::cli
