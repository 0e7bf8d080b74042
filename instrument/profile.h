// How to talk to one kind of meter: a small text file of `key = value` lines, several shipped
// with the program. Blank lines and lines starting with # are passed over. %1 in a command
// stands for the channel (select, read) or the set point in degC (set_point).
//
//   identify  = *IDN?             asked once after connecting; its reply names the meter
//   setup     = *CLS              sent once after connecting; may be given several times
//   select    = ROUT:CLOS (@%1)   sent before each reading; empty for a meter of one channel
//   read      = MEAS:VOLT:DC?     its reply is the reading, a number
//   unit      = V                 the reading's unit: V or mV
//   error     = SYST:ERR?         asked after each reading; a reply not starting 0 is an error
//   set_point = SOUR:TEMP %1      sent at each point to the furnace or bath, when given
//   timeout_ms = 5000             how long a reply may take
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace its90::instrument {

struct Profile {
    std::string name;
    std::string identify = "*IDN?";
    std::vector<std::string> setup;
    std::string select = "ROUT:CLOS (@%1)";
    std::string read = "MEAS:VOLT:DC?";
    int unit_to_mV_places = 3;  // V: the reading's decimal point moves 3 places
    std::string error = "SYST:ERR?";
    std::string set_point;
    int timeout_ms = 5000;
};

struct ProfileFault {
    enum class Cause {
        NoEquals,     // a line that is no `key = value`
        UnknownKey,
        Repeated,     // a key other than setup given twice
        NoRead,       // read left empty
        BadUnit,      // not V or mV
        BadTimeout,   // not a whole number of 1 ... 600000 ms
        CannotRead,   // the file could not be read
        UnknownName,  // no shipped profile of that name
    };
    Cause cause;
    int line = 0;
    std::string text;  // the key, the value or the file
};

// A profile from its text; `name` is the profile's unless the text names it.
std::variant<Profile, ProfileFault> parse_profile(std::string_view text, std::string_view name);

// The profiles shipped with the program, by name ("generic" first).
std::vector<std::string> shipped_profile_names();
// A shipped profile by name, or a profile file by its path (a word with a / or ending .profile).
std::variant<Profile, ProfileFault> find_profile(std::string_view name_or_file);

// A command with its %1 filled in.
std::string with_argument(std::string_view command, std::string_view argument);

}  // namespace its90::instrument
