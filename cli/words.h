// The command line's words: English as written here, or the user's language where a message
// catalog has them (gettext, domain "its90"). Every text a user reads passes through tr().
#pragma once

#include <array>
#include <optional>
#include <string>

#include "calibration/type_s_calibration.h"
#include "core/outcome.h"
#include "core/thermocouples.h"
#include "core/units.h"

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

// The unit the running command reads and gives temperatures in (--unit; degC unless set), its
// words too.
void set_temperature_unit(units::TemperatureUnit unit);
units::TemperatureUnit temperature_unit();
const char* unit_symbol();  // "℃", "K", "℉"
const char* unit_letter();  // "C", "K", "F": in CSV headings
// A temperature given in degC, as text in that unit: in degC as text::general writes it, in
// another unit the exact conversion of that decimal ("100.02" -> "373.17" K, "212.036" degF).
std::string temperature_text(double t);
// The same with the unit's symbol: "25 ℃", "298.15 K".
std::string degrees(double t);
// The same for a difference of temperatures (no offset: 1.5 degC is 2.7 degF), and for a
// quantity per degree (41.37 uV/degC is 22.98 uV/degF).
std::string interval_text(double d);
// The same of a difference whose degC text is given ("-0.8273" to 4 decimals): that text in
// degC, its exact conversion in another unit.
std::string interval_text(const std::string& celsius_text);
std::string per_degree_text(double per_c);
// A temperature typed in the unit in use, in degC.
double typed_temperature(double v);

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
