#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace its90::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRejected = 1;  // a value or the command lies outside a range
inline constexpr int kExitUsage = 2;     // a bad command, type, option or number
inline constexpr int kExitIo = 3;        // standard input or output failed

// Runs `its90` with its arguments (without the program name). Results go to `out`, one line
// per input value; messages go to `err`. Returns the exit status: 0 all converted, 1 a value
// or the command was rejected, 2 a bad command, type, option or number, 3 reading `in` or
// writing `out` failed.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

}  // namespace its90::cli
