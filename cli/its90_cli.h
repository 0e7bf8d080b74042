#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace its90::cli {

// Exit statuses of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRejected = 1;  // a value lies outside the function's range
inline constexpr int kExitUsage = 2;     // a bad command, type or number

// Runs `its90` with its arguments (without the program name). Results go to `out`, one line
// per input value; messages go to `err`. Returns the exit status.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

}  // namespace its90::cli
