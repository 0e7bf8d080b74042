// The command line's words: English as written here, or the user's language where a message
// catalog has them (gettext, domain "its90"). Every text a user reads passes through tr().
#pragma once

#include <array>
#include <optional>
#include <string>

#include "calibration/type_s_calibration.h"
#include "core/outcome.h"
#include "core/thermocouples.h"

namespace its90::cli {

// Marks a text for the catalogs where it is written, to be translated where it is shown.
constexpr const char* N_(const char* english) { return english; }

// The text in the user's language (the English text where no catalog has it).
const char* tr(const char* english);

// Makes the catalogs in `locale_dir` (…/share/locale) the ones tr() reads, in the language
// of the user's locale. Until it is called (tests), tr() gives the English texts.
void use_message_catalogs(const std::string& locale_dir);

// `pattern` with %1 ... %5 replaced by a ... e: a translation may put them in another order.
std::string format(std::string pattern, const std::string& a, const std::string& b = {},
                   const std::string& c = {}, const std::string& d = {}, const std::string& e = {});

// "type K" or "Pt100": what a rejection is about.
std::string subject(std::optional<Thermocouple> type);

// Why a value has no result, in words: "type K temperature outside -270 … 1372 ℃". A bound
// is quoted with the digits it carries: a published decimal as it is, an EMF computed from
// a reference function to 3 places (mV), a resistance to 3 places (ohm).
std::string why(const Rejection& rejection, std::optional<Thermocouple> type);
// The same about another thermometer, named as a rejection names it: "SPRT".
std::string why(const Rejection& rejection, const std::string& about);

// Why three fixed-point EMFs are no type S thermocouple's, naming the point and its EMF.
std::string why(const calibration::ImplausibleEmfs& fault, const std::array<double, 3>& emfs,
                calibration::MiddlePoint middle);
// Why a standard's own EMF at a point is no type S thermocouple's; `deviation_C` as
// implausible_standard_emf gives it.
std::string why_standard_emf(double t, double emf, double deviation_C);

}  // namespace its90::cli
