// `its90 meter`: a meter asked who it is, or a channel read, as a run would read it.
#include <QCoreApplication>

#include <string>
#include <variant>
#include <vector>

#include "cli/commands.h"
#include "cli/meter_options.h"
#include "cli/output.h"
#include "cli/words.h"
#include "instrument/address.h"
#include "instrument/profile.h"
#include "text/number_text.h"

namespace its90::cli {

const char* const kMeterHelp =
    N_("Usage: its90 meter identify ADDRESS [--profile NAME|FILE] [--log FILE]\n"
       "       its90 meter read ADDRESS --channel CH [--count N] [--profile NAME|FILE] [--log FILE]\n"
       "\n"
       "A meter reached at ADDRESS: tcp://HOST:PORT (a raw SCPI socket; port 5025 when none\n"
       "is given) or serial:///dev/DEVICE?baud=N (9600 baud when none is given), spoken to by\n"
       "its profile: one shipped with the program (generic, simulator, keysight-34970a,\n"
       "keithley-2700; generic when none is given) or a profile file of your own.\n"
       "'identify' prints what the meter says it is (its answer to *IDN?). 'read' selects\n"
       "the channel CH and reads it N times (1), printing each EMF in mV with every digit the\n"
       "meter gave. --log FILE appends every command and reply to FILE, time-stamped.\n"
       "A reply that is no number, no reply within the profile's timeout or an error the\n"
       "meter reports is an error (exit status 1) naming the meter, the command and the reply.\n"
       "\n"
       "Examples:\n"
       "  its90 meter identify tcp://192.168.0.20:5025\n"
       "  its90 meter read serial:///dev/ttyUSB0?baud=9600 --channel 101 --count 10\n");

namespace {

std::string why(const instrument::AddressFault& fault, const std::string& address) {
    using Cause = instrument::AddressFault::Cause;
    switch (fault.cause) {
    case Cause::UnknownScheme:
        return format(tr("'%1' is no meter address: give tcp://HOST:PORT or serial:///dev/DEVICE?baud=N"), quoted(address));
    case Cause::NoHost: return format(tr("'%1' names no host"), quoted(address));
    case Cause::BadPort: return format(tr("'%1': the port '%2' is not a whole number from 1 to 65535"), quoted(address), quoted(fault.part));
    case Cause::NoDevice: return format(tr("'%1' names no device: give serial:///dev/DEVICE"), quoted(address));
    case Cause::BadBaud: return format(tr("'%1': the baud rate '%2' is not a whole number from 50 to 4000000"), quoted(address), quoted(fault.part));
    case Cause::UnknownOption: return format(tr("'%1': a serial line takes only baud=N, not '%2'"), quoted(address), quoted(fault.part));
    }
    return {};
}

std::string why(const instrument::ProfileFault& fault, const std::string& name) {
    using Cause = instrument::ProfileFault::Cause;
    const std::string where = format(tr("profile %1, line %2: "), quoted(name), std::to_string(fault.line));
    switch (fault.cause) {
    case Cause::NoEquals: return where + format(tr("'%1' is not key = value"), quoted(fault.text));
    case Cause::UnknownKey: return where + format(tr("unknown key '%1'"), quoted(fault.text));
    case Cause::Repeated: return where + format(tr("'%1' is given twice"), quoted(fault.text));
    case Cause::NoRead: return format(tr("profile %1: 'read' is empty"), quoted(name));
    case Cause::BadUnit: return where + format(tr("the unit is V or mV, not '%1'"), quoted(fault.text));
    case Cause::BadTimeout:
        return where + format(tr("timeout_ms is a whole number from 1 to 600000, not '%1'"), quoted(fault.text));
    case Cause::CannotRead: return format(tr("cannot read the profile '%1'"), quoted(fault.text));
    case Cause::UnknownName: {
        std::string names;
        for (const std::string& n : instrument::shipped_profile_names()) names += (names.empty() ? "" : ", ") + n;
        return format(tr("no profile '%1' is shipped (%2); a file of your own is named by its path"), quoted(fault.text), names);
    }
    }
    return {};
}

// The sockets and serial ports need Qt's application object; the command line makes one
// when it first reads a meter.
void ensure_qt() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "its90";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

}  // namespace

std::string why(const instrument::MeterFault& f) {
    using Cause = instrument::MeterFault::Cause;
    const std::string meter = printable(f.meter);
    const std::string detail = f.detail.empty() ? "" : " (" + printable(f.detail) + ")";
    switch (f.cause) {
    case Cause::CannotConnect: return format(tr("cannot reach the meter at %1%2"), meter, detail);
    case Cause::Timeout:
        return format(tr("the meter at %1 gave no reply to '%2' in time"), meter, printable(f.command));
    case Cause::Dropped:
        return format(tr("the link to the meter at %1 went down at '%2' and could not be opened again%3"), meter,
                      printable(f.command), detail);
    case Cause::NotANumber:
        return format(tr("the meter at %1 answered '%2' with '%3', which is no number"), meter, printable(f.command),
                      quoted(f.reply));
    case Cause::Overload:
        return format(tr("the meter at %1 answered '%2' with '%3': an overload, no reading"), meter,
                      printable(f.command), quoted(f.reply));
    case Cause::MeterError:
        return format(tr("the meter at %1 reports the error '%3' after '%2'"), meter, printable(f.command),
                      quoted(f.reply));
    case Cause::CannotLog: return format(tr("cannot write the exchange log '%1'"), quoted(f.detail));
    }
    return {};
}

std::string why(const instrument::Interruption& i) {
    using Kind = instrument::Interruption::Kind;
    if (i.kind == Kind::Meter) return why(i.meter);
    if (i.kind == Kind::Book) return why(i.book);
    const instrument::PointTimeout& t = i.timeout;
    const std::string minutes = text::fixed(t.seconds / 60, 1);
    if (!t.standard_C || std::abs(*t.standard_C - t.point) > calibration::kMostPlausibleDeviationC) {
        return format(tr("%1: the standard did not come within %2 \u2103 of the point in %3 min (last at %4)"),
                      degrees(t.point), text::general(calibration::kMostPlausibleDeviationC), minutes,
                      t.standard_C ? text::fixed(*t.standard_C, 1) + " \u2103" : std::string("-"));
    }
    std::string limits;
    if (!t.stability.enough) limits = tr("too few readings yet");
    if (!t.stability.sd_met) {
        limits += (limits.empty() ? "" : "; ") +
                  format(tr("standard deviation %1 \u03bcV above its limit"), text::fixed(t.stability.sd_uV, 2));
    }
    if (!t.stability.drift_met) {
        limits += (limits.empty() ? "" : "; ") +
                  format(tr("drift %1 \u2103/min above its limit"), text::fixed(t.stability.drift_C_per_min, 3));
    }
    return format(tr("%1: the furnace did not settle in %2 min: %3"), degrees(t.point), minutes, limits);
}

std::unique_ptr<instrument::Meter> meter_or_report(Context& ctx, const std::string& address, const Arguments& args) {
    const auto parsed = instrument::parse_address(address);
    if (const auto* fault = std::get_if<instrument::AddressFault>(&parsed)) {
        ctx.usage_error(why(*fault, address));
        return nullptr;
    }
    const std::string profile_name = args.value("profile").value_or("generic");
    const auto profile = instrument::find_profile(profile_name);
    if (const auto* fault = std::get_if<instrument::ProfileFault>(&profile)) {
        ctx.usage_error(why(*fault, profile_name));
        return nullptr;
    }
    ensure_qt();
    try {
        return std::make_unique<instrument::Meter>(std::get<instrument::MeterAddress>(parsed),
                                                   std::get<instrument::Profile>(profile),
                                                   instrument::MeterOptions{args.value("log").value_or("")});
    } catch (const instrument::MeterFailure& f) {
        ctx.fail(why(f.fault()));
        return nullptr;
    }
}

int run_meter(Context& ctx, const std::vector<std::string>& words) {
    const std::optional<Arguments> args = parse_or_report(ctx, words, {"profile", "log", "channel", "count"});
    if (!args) return ctx.status;
    if (args->positional.size() != 2 || (args->positional[0] != "identify" && args->positional[0] != "read")) {
        return ctx.usage_error(tr("give identify or read, and the meter's address"));
    }
    const bool read = args->positional[0] == "read";
    if (read && !args->has("channel")) return ctx.usage_error(tr("--channel is needed"));
    if (!read && (args->has("channel") || args->has("count"))) {
        return ctx.usage_error(tr("--channel and --count go with read"));
    }
    long count = 1;
    if (args->has("count")) {
        const std::optional<double> n = ctx.number_option(*args, "count");
        if (!n) return ctx.status;
        if (*n < 1 || *n > 100000 || *n != static_cast<long>(*n)) {
            return ctx.usage_error(tr("--count is a whole number from 1 to 100000"));
        }
        count = static_cast<long>(*n);
    }
    if (read && args->value("channel")->empty()) return ctx.usage_error(tr("--channel takes the channel"));
    std::unique_ptr<instrument::Meter> meter = meter_or_report(ctx, args->positional[1], *args);
    if (!meter) return ctx.status;
    try {
        if (!read) {
            ctx.out << printable(meter->identify()) << '\n';
            return ctx.status;
        }
        for (long i = 0; i < count; ++i) {
            ctx.out << meter->read(*args->value("channel")).emf_text << '\n';
            ctx.out.flush();
        }
    } catch (const instrument::MeterFailure& f) {
        return ctx.fail(why(f.fault()));
    }
    return ctx.status;
}

}  // namespace its90::cli
