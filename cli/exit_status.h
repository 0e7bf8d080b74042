// The exit statuses of its90.
#pragma once

namespace its90::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRejected = 1;  // a value or the command lies outside a range
inline constexpr int kExitUsage = 2;     // a bad command, type, option or number
inline constexpr int kExitIo = 3;        // standard input or output failed

}  // namespace its90::cli
