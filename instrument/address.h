// Where a meter is reached: a raw SCPI socket, "tcp://HOST:PORT" (port 5025 when none is
// given), or a serial line, "serial:///dev/ttyUSB0?baud=9600" (9600 baud when none is given).
#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace its90::instrument {

struct MeterAddress {
    enum class Kind { Tcp, Serial };
    Kind kind = Kind::Tcp;
    std::string host;    // Tcp
    int port = 5025;     // Tcp
    std::string device;  // Serial: its path
    int baud = 9600;     // Serial
    std::string text;    // as given
};

// Why a text is no meter address; the words are made where it is reported.
struct AddressFault {
    enum class Cause {
        UnknownScheme,  // neither tcp:// nor serial://
        NoHost,
        BadPort,        // not 1 ... 65535
        NoDevice,       // serial:// without an absolute path
        BadBaud,        // not a whole number of 50 ... 4000000
        UnknownOption,  // serial:// takes only baud=
    };
    Cause cause;
    std::string part;  // the part of the text that is wrong
};

std::variant<MeterAddress, AddressFault> parse_address(std::string_view text);

}  // namespace its90::instrument
