#include "cli/words.h"

#include <libintl.h>

#include <algorithm>
#include <clocale>
#include <cmath>

#include "core/its90.h"
#include "text/number_text.h"

namespace its90::cli {
namespace {

constexpr const char* kDomain = "its90";
bool catalogs_in_use = false;

// A bound with at most 3 decimals (a published one: -270, 1768.1, -0.236) as it is; one
// computed from a function (-0.235555071492671 mV) to 3 places, as the tables give EMFs.
std::string bound(double x) {
    const double thousandths = x * 1000;
    return std::fabs(thousandths - std::nearbyint(thousandths)) < 1e-6 ? text::general(x)
                                                                      : text::fixed(x, 3);
}

units::TemperatureUnit unit_in_use = units::TemperatureUnit::Celsius;

// How many decimals a number's text carries ("-0.236": 3, "1768.1": 1, "5e-07": 7).
int decimals_of(const std::string& text) {
    const std::size_t e = text.find_first_of("eE");
    const std::string mantissa = text.substr(0, e);
    const std::size_t point = mantissa.find('.');
    int decimals = point == std::string::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
    if (e != std::string::npos) decimals -= std::stoi(text.substr(e + 1));
    return std::max(decimals, 0);
}

// A value given in degC as `celsius_text`, converted: to as many decimals as make the conversion
// of that decimal exact (kelvins add 273.15: two at least; degF multiply by 1.8: one more), the
// zeros beyond the degC text's own decimals dropped, so it neither loses nor invents a digit
// ("100" -> "373.15" K, "212" degF; "0.00000" stays five places).
std::string in_unit(const std::string& celsius_text, double converted) {
    const int d = decimals_of(celsius_text);
    const int places = unit_in_use == units::TemperatureUnit::Kelvin ? std::max(d, 2) : d + 1;
    std::string text = text::fixed(converted, places);
    for (int extra = places - d; extra > 0 && text.back() == '0'; --extra) text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    return text;
}

// A temperature bound (degC) in the unit in use: the exact conversion of the decimal bound()
// gives, so that it holds the values it held in degC.
std::string temperature_bound(double c) {
    const std::string celsius = bound(c);
    if (unit_in_use == units::TemperatureUnit::Celsius) return celsius;
    return in_unit(celsius, units::from_celsius(std::stod(celsius), unit_in_use));
}

}  // namespace

void set_temperature_unit(units::TemperatureUnit unit) { unit_in_use = unit; }
units::TemperatureUnit temperature_unit() { return unit_in_use; }

namespace {

struct UnitNames {
    const char* symbol;  // as shown
    const char* letter;  // in CSV headings
};

UnitNames unit_names() {
    switch (unit_in_use) {
        case units::TemperatureUnit::Kelvin: return {"K", "K"};
        case units::TemperatureUnit::Fahrenheit: return {"\u2109", "F"};
        case units::TemperatureUnit::Celsius: break;
    }
    return {"\u2103", "C"};
}

}  // namespace

const char* unit_symbol() { return unit_names().symbol; }
const char* unit_letter() { return unit_names().letter; }

std::string temperature_text(double t) {
    const std::string celsius = text::general(t);
    if (unit_in_use == units::TemperatureUnit::Celsius) return celsius;
    return in_unit(celsius, units::from_celsius(t, unit_in_use));
}

std::string degrees(double t) { return temperature_text(t) + " " + unit_symbol(); }

std::string interval_text(double d) { return interval_text(text::general(d)); }

std::string interval_text(const std::string& celsius_text) {
    if (unit_in_use == units::TemperatureUnit::Celsius) return celsius_text;
    return in_unit(celsius_text, units::interval_from_celsius(std::stod(celsius_text), unit_in_use));
}

// Per degF the value divides by 1.8, which no decimal makes exact: given to the decimals the
// degC value has (its resolution).
std::string per_degree_text(double per_c) {
    const std::string celsius = text::general(per_c);
    if (unit_in_use == units::TemperatureUnit::Celsius) return celsius;
    return text::fixed(per_c / units::interval_from_celsius(1, unit_in_use), decimals_of(celsius));
}

// Converted from another unit, to 10 decimals: 1123.15 K is 850 degC, not the 850.0000000000001
// of the subtraction (a range's end stays its end), and 1e-10 degC is below every resolution.
double typed_temperature(double v) {
    if (unit_in_use == units::TemperatureUnit::Celsius) return v;
    const double t = units::to_celsius(v, unit_in_use);
    // Far beyond every range the rounding would overflow; such a value is refused as it is.
    return std::fabs(t) < 1e12 ? round_half_even(t, 10) : t;
}

std::string format(std::string pattern, const std::string& a, const std::string& b,
                   const std::string& c, const std::string& d, const std::string& e) {
    // One pass, so that a value holding "%2" (a user's word) is never replaced in turn.
    const std::string* values[] = {&a, &b, &c, &d, &e};
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '5') {
            text += *values[pattern[i + 1] - '1'];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

const char* tr(const char* english) {
    return catalogs_in_use ? dgettext(kDomain, english) : english;
}

void use_message_catalogs(const std::string& locale_dir) {
    // The language of messages and the characters' encoding; numbers keep the C locale's '.'.
    std::setlocale(LC_MESSAGES, "");
    std::setlocale(LC_CTYPE, "");
    bindtextdomain(kDomain, locale_dir.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
    catalogs_in_use = true;
}

std::string subject(std::optional<Thermocouple> type) {
    if (!type) return "Pt100";
    return format(tr("type %1"), std::string(1, record_of(*type).letter));
}

std::string why(const Rejection& r, std::optional<Thermocouple> type) { return why(r, subject(type)); }

std::string why(const Rejection& r, const std::string& about) {
    using Cause = Rejection::Cause;
    switch (r.cause) {
        case Cause::NotFinite:
            return tr("the result lies beyond the computable range");
        case Cause::TwoTemperatures:
            return format(tr("two temperatures between %1 and %2 share this %3 EMF"), temperature_text(r.lowest),
                          degrees(r.highest), about);
        case Cause::NotAFixedPoint:
            return format(tr("%1 is no fixed point of the range (its points are at their assigned temperatures)"),
                          degrees(r.lowest));
        case Cause::MissingPoint:
            if (r.lowest != r.highest) {
                return format(tr("the range needs a point measured between %1 and %2"), temperature_text(r.lowest),
                              degrees(r.highest));
            }
            return format(tr("the range needs a point at %1"), degrees(r.lowest));
        case Cause::SameTemperature:
            if (r.lowest != r.highest) {
                return format(tr("two points between %1 and %2"), temperature_text(r.lowest), degrees(r.highest));
            }
            return format(tr("two points at %1"), degrees(r.lowest));
        case Cause::TooFewPoints:
            return format(tr("fewer points than the %1 unknowns"), text::general(r.lowest));
        case Cause::TooFewAbove:
            return format(tr("D needs %1 points above %2 at least"), text::general(r.lowest), degrees(r.highest));
        case Cause::NotMonotonic:
            return tr("the coefficients do not give a rising curve over the range (or a resistance is not above 0)");
        case Cause::Unpublished:
            return format(tr("no published relation between %1 and %2 %3"), temperature_bound(r.lowest),
                          temperature_bound(r.highest), unit_symbol());
        case Cause::OutOfRange: break;
    }
    const std::string low = bound(r.lowest), high = bound(r.highest);
    switch (r.quantity) {
        case Quantity::Temperature:
            return format(tr("%1 temperature outside %2 \u2026 %3 %4"), about, temperature_bound(r.lowest),
                          temperature_bound(r.highest), unit_symbol());
        case Quantity::Emf:
            return format(tr("%1 EMF outside %2 \u2026 %3 mV"), about, low, high);
        case Quantity::Resistance:
            return format(tr("%1 resistance outside %2 \u2026 %3 \u03a9"), about, low, high);
        case Quantity::Readings:
            return format(tr("a mean is taken of %1 to %2 readings"), low, high);
        case Quantity::Uncertainty:
            return tr("an uncertainty is a finite number of at least 0");
        case Quantity::CoverageFactor:
            return tr("a coverage factor is a number above 0");
    }
    return {};
}

namespace {

const char* point_name(int point, calibration::MiddlePoint middle) {
    if (point == 0) return tr("zinc");
    if (point == 2) return tr("copper");
    return middle == calibration::MiddlePoint::Aluminium ? tr("aluminium") : tr("antimony");
}

// A deviation in degC as a person reads it: "+600 ℃", "-12.5 ℃".
std::string signed_degrees(double d) {
    if (!std::isfinite(d)) return tr("an immeasurable distance");
    return (d > 0 ? "+" : "") + text::significant(d, 3) + " \u2103";
}

}  // namespace

std::string why(const calibration::ImplausibleEmfs& fault, const std::array<double, 3>& emfs,
                calibration::MiddlePoint middle) {
    const auto emf = [&](int point) { return text::general(emfs[static_cast<std::size_t>(point)]); };
    if (fault.fault == calibration::ImplausibleEmfs::Fault::OutOfOrder) {
        return format(tr("the %1 point's EMF %2 mV is not above the %3 point's %4 mV: the fixed points are out of "
                         "order (typed in the wrong boxes?)"),
                      point_name(fault.point, middle), emf(fault.point), point_name(fault.before, middle),
                      emf(fault.before));
    }
    return format(tr("the %1 point's EMF %2 mV lies %3 from type S's reference EMF there: no type S "
                     "thermocouple deviates so far (at most %4 ℃)"),
                  point_name(fault.point, middle), emf(fault.point), signed_degrees(fault.deviation_C),
                  text::general(calibration::kMostPlausibleDeviationC));
}

std::string why_standard_emf(double t, double emf, double deviation_C) {
    return format(tr("the standard's own EMF %1 mV lies %2 from type S's reference EMF at %3 ℃: no type S "
                     "thermocouple gives it there (at most %4 ℃ away)"),
                  text::general(emf), signed_degrees(deviation_C), text::general(t),
                  text::general(calibration::kMostPlausibleDeviationC));
}

}  // namespace its90::cli
