// What the commands that read a meter share: the meter from its address and --profile, and
// the words for what went wrong with it.
#pragma once

#include <memory>
#include <string>

#include "cli/arguments.h"
#include "cli/context.h"
#include "instrument/meter.h"
#include "instrument/run.h"

namespace its90::cli {

// The meter at `address` spoken to by --profile (generic without it), its exchanges logged to
// --log when given; nothing after a usage error naming what is wrong.
std::unique_ptr<instrument::Meter> meter_or_report(Context& ctx, const std::string& address, const Arguments& args);

std::string why(const instrument::MeterFault& fault);
std::string why(const instrument::Interruption& interruption);

}  // namespace its90::cli
