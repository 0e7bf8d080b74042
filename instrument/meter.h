// A meter reached over its address and spoken to by its profile: every query waits at most
// the profile's timeout, a dropped link is opened again and the reading asked for anew, and
// every exchange can be logged to a file. Blocking: a window runs it on a thread of its own.
// Qt stays inside (this header is plain C++, for the window models).
#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "instrument/address.h"
#include "instrument/profile.h"

namespace its90::instrument {

// What went wrong with a meter, for the message made where it is reported: the meter (its
// address, and what it said it is), the command and the reply.
struct MeterFault {
    enum class Cause {
        CannotConnect,  // no answer at the address, no such device, no right to it
        Timeout,        // no reply within the profile's timeout
        Dropped,        // the link went down and could not be opened again
        NotANumber,     // a reading's reply that is no number
        Overload,       // the meter's overload value (9.9E37) or a reading beyond any EMF
        MeterError,     // the error query answered an error
        CannotLog,      // the exchange log could not be written
    };
    Cause cause;
    std::string meter;    // its address
    std::string command;
    std::string reply;    // what came back, or the error query's answer
    std::string detail;   // the system's or Qt's own words, English
};

class MeterFailure : public std::exception {
public:
    explicit MeterFailure(MeterFault fault) : fault_(std::move(fault)), what_(fault_.meter + ": " + fault_.command + ": " + fault_.reply + " " + fault_.detail) {}
    const MeterFault& fault() const { return fault_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    MeterFault fault_;
    std::string what_;
};

// A reading as it came and as an EMF: the reply's text, and the EMF in mV as a decimal text
// with every digit the meter gave (the reply's decimal point moved, never rounded).
struct MeterReading {
    std::string reply;
    std::string emf_text;
    double emf_mV = 0;
};

struct MeterOptions {
    std::string log_path;        // every exchange appended there, when not empty
    int reconnect_attempts = 3;  // after a dropped link, before giving up
    int reconnect_pause_ms = 500;
};

class Meter {
public:
    Meter(MeterAddress address, Profile profile, MeterOptions options = {});
    ~Meter();
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;

    const MeterAddress& address() const;
    const Profile& profile() const;
    // Connects (when not connected), sends the profile's setup and asks who the meter is.
    // Throws MeterFailure.
    std::string identify();
    // One reading of a channel: selected, read, checked. Throws MeterFailure.
    MeterReading read(std::string_view channel);
    // The furnace's set point, when the profile says how; false without. Throws MeterFailure.
    bool set_point(double temperature);
    // How often the link has been opened again.
    int reconnections() const;
    void disconnect();

private:
    struct Link;
    std::string query(const std::string& command);
    void send(const std::string& command);
    void ensure_connected();
    void log(char direction, std::string_view text);
    template <class Step>
    auto with_reconnection(Step step);

    MeterAddress address_;
    Profile profile_;
    MeterOptions options_;
    std::unique_ptr<Link> link_;
    std::string identity_;
    int reconnections_ = 0;
    bool connected_once_ = false;
};

}  // namespace its90::instrument
