// What a run is to take: its points, the standard's channel, each working thermocouple's
// number, type and channel, how many readings of each per point, and when the furnace counts
// as settled. At each point the readings go round in the order typed readings use: the
// standard, then each working thermocouple, `readings` times.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/thermocouples.h"
#include "instrument/stability.h"

namespace its90::instrument {

struct PlannedThermocouple {
    std::string number;
    Thermocouple type = Thermocouple::K;
    std::string channel;
    bool operator==(const PlannedThermocouple&) const = default;
};

struct Plan {
    std::vector<double> points;  // degC, in the order taken
    std::string standard_channel;
    std::vector<PlannedThermocouple> working;
    int readings = 10;           // of each thermocouple at each point
    StabilityLimits stability;
    double interval_s = 10;      // between the standard's readings while it settles
    double point_timeout_s = 3600;  // from a point's start to its settling

    int per_round() const { return 1 + static_cast<int>(working.size()); }
    int per_point() const { return readings * per_round(); }
    // Who the k-th reading of a point is of: -1 the standard, else the working thermocouple.
    int who(int k) const { return k % per_round() - 1; }
    const std::string& channel_of(int who) const {
        return who < 0 ? standard_channel : working[static_cast<std::size_t>(who)].channel;
    }
    bool operator==(const Plan&) const = default;
};

// Whether a number or channel holds a tab or another control character: sent to the meter
// with the channel, it is a typing slip.
bool has_control_character(std::string_view text);

// A plan as the book keeps it, and read back.
std::string plan_text(const Plan& plan);
std::optional<Plan> plan_from_text(std::string_view text);

// Why a plan file (t_C,thermocouple,type,channel, a row per point and thermocouple, the
// standard named "standard") gives no plan.
struct PlanFault {
    enum class Cause {
        NotFourCells,
        NotANumber,       // text: the cell
        UnknownType,      // text: the cell
        StandardNotS,
        NoNumber,         // a working thermocouple's number left empty
        NoChannel,
        TwoTypes,         // text: the thermocouple
        TwoChannels,      // text: the thermocouple; it moved, or two share one channel
        NoStandard,       // value: the point without the standard
        Missing,          // text: the thermocouple, value: the point it is missing at
        NoWorking,
        NotComparable,    // text: the thermocouple, value: the point outside its type's points
        TooMany,          // more points or thermocouples than a comparison takes
        ControlCharacter, // text: the thermocouple whose number or channel holds a tab or the like
    };
    Cause cause;
    int line = 0;
    std::string text;
    double value = 0;
};

// The points and thermocouples of a plan file; the rest of the plan is left as in `settings`.
// The points must be comparison points of every type in it, and of the standard's.
std::variant<Plan, PlanFault> plan_from_csv(std::string_view csv, const Plan& settings,
                                            int most_points, int most_working);

}  // namespace its90::instrument
