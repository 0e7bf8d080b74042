#include "instrument/plan.h"

#include <algorithm>
#include <map>

#include "calibration/comparison.h"
#include "core/sensors.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace its90::instrument {

namespace {

std::vector<std::string> split(std::string_view line, char separator) {
    std::vector<std::string> cells;
    while (true) {
        const std::size_t at = line.find(separator);
        cells.emplace_back(line.substr(0, at));
        if (at == std::string_view::npos) return cells;
        line.remove_prefix(at + 1);
    }
}

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.pop_back();
    std::size_t start = 0;
    while (start < s.size() && (s[start] == ' ' || s[start] == '\t')) ++start;
    return s.substr(start);
}

// A number or channel in the book's text of a plan: its separators (tab, line end) and the
// escape itself written as \t, \n and \\.
std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\') out += "\\\\";
        else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

std::string unescaped(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char n = s[++i];
            out += n == 't' ? '\t' : n == 'n' ? '\n' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

bool has_control_character(std::string_view text) {
    for (const unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) return true;
    }
    return false;
}

std::string plan_text(const Plan& plan) {
    using text::round_trip;
    std::string out;
    out += "readings\t" + std::to_string(plan.readings) + "\n";
    out += "interval_s\t" + round_trip(plan.interval_s) + "\n";
    out += "point_timeout_s\t" + round_trip(plan.point_timeout_s) + "\n";
    out += "stable_count\t" + std::to_string(plan.stability.count) + "\n";
    out += "stable_sd_uV\t" + round_trip(plan.stability.sd_uV) + "\n";
    out += "stable_drift_C_per_min\t" + round_trip(plan.stability.drift_C_per_min) + "\n";
    for (double t : plan.points) out += "point\t" + round_trip(t) + "\n";
    out += "standard\t" + escaped(plan.standard_channel) + "\n";
    for (const PlannedThermocouple& w : plan.working) {
        out += std::string("working\t") + letter(w.type) + "\t" + escaped(w.channel) + "\t" + escaped(w.number) + "\n";
    }
    return out;
}

std::optional<Plan> plan_from_text(std::string_view text) {
    Plan plan;
    plan.points.clear();
    bool standard = false;
    for (const std::string& line : split(text, '\n')) {
        if (line.empty()) continue;
        const std::vector<std::string> cells = split(line, '\t');
        const auto number = [&](std::size_t i) { return i < cells.size() ? text::parse_strict_number(cells[i]) : std::nullopt; };
        const std::string& key = cells[0];
        if (key == "working" && cells.size() == 4 && cells[1].size() == 1) {
            const std::optional<Thermocouple> type = thermocouple_from_letter(cells[1][0]);
            if (!type) return std::nullopt;
            plan.working.push_back({unescaped(cells[3]), *type, unescaped(cells[2])});
        } else if (key == "standard" && cells.size() == 2) {
            plan.standard_channel = unescaped(cells[1]);
            standard = true;
        } else if (cells.size() == 2 && number(1)) {
            const double v = *number(1);
            if (key == "readings") plan.readings = static_cast<int>(v);
            else if (key == "interval_s") plan.interval_s = v;
            else if (key == "point_timeout_s") plan.point_timeout_s = v;
            else if (key == "stable_count") plan.stability.count = static_cast<int>(v);
            else if (key == "stable_sd_uV") plan.stability.sd_uV = v;
            else if (key == "stable_drift_C_per_min") plan.stability.drift_C_per_min = v;
            else if (key == "point") plan.points.push_back(v);
            else return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (!standard || plan.points.empty() || plan.working.empty() || plan.readings < 1) return std::nullopt;
    return plan;
}

std::variant<Plan, PlanFault> plan_from_csv(std::string_view csv, const Plan& settings, int most_points,
                                            int most_working) {
    Plan plan = settings;
    plan.points.clear();
    plan.working.clear();
    plan.standard_channel.clear();
    // Who is at each point, and each thermocouple's line of first mention.
    std::vector<std::vector<std::string>> at_point;
    std::map<std::string, int> first_line;
    int line_number = 0;
    for (const std::string& raw : split(csv, '\n')) {
        ++line_number;
        const std::string line = trimmed(raw);
        if (line.empty() || line.front() == '#' || (line_number == 1 && line.starts_with("t_C"))) continue;
        std::vector<std::string> cells = split(line, ',');
        if (cells.size() != 4) return PlanFault{PlanFault::Cause::NotFourCells, line_number, line};
        for (std::string& c : cells) c = trimmed(c);
        const std::optional<double> t = text::parse_strict_number(cells[0]);
        if (!t) return PlanFault{PlanFault::Cause::NotANumber, line_number, cells[0]};
        const std::optional<Thermocouple> type =
            cells[2].size() == 1 ? thermocouple_from_letter(cells[2][0]) : std::nullopt;
        if (!type) return PlanFault{PlanFault::Cause::UnknownType, line_number, cells[2]};
        const std::string& who = cells[1];
        const std::string& channel = cells[3];
        if (who.empty()) return PlanFault{PlanFault::Cause::NoNumber, line_number, ""};
        if (channel.empty()) return PlanFault{PlanFault::Cause::NoChannel, line_number, who};
        // A tab or a control character is sent to the meter with the channel: a typing slip.
        if (has_control_character(channel) || has_control_character(who)) {
            return PlanFault{PlanFault::Cause::ControlCharacter, line_number, who};
        }
        auto point = std::find(plan.points.begin(), plan.points.end(), *t);
        if (point == plan.points.end()) {
            if (static_cast<int>(plan.points.size()) >= most_points) return PlanFault{PlanFault::Cause::TooMany, line_number, "", *t};
            plan.points.push_back(*t);
            at_point.emplace_back();
            point = plan.points.end() - 1;
        }
        std::vector<std::string>& here = at_point[static_cast<std::size_t>(point - plan.points.begin())];
        if (std::find(here.begin(), here.end(), who) == here.end()) here.push_back(who);
        // One channel for each thermocouple, and each its own.
        const auto clash = [&](const std::string& other_channel, const std::string& other) {
            return (other == who) != (other_channel == channel);
        };
        if (who == "standard") {
            if (*type != Thermocouple::S) return PlanFault{PlanFault::Cause::StandardNotS, line_number, who};
            if (!plan.standard_channel.empty() && plan.standard_channel != channel) {
                return PlanFault{PlanFault::Cause::TwoChannels, line_number, who};
            }
            plan.standard_channel = channel;
        } else {
            auto known = std::find_if(plan.working.begin(), plan.working.end(),
                                      [&](const PlannedThermocouple& w) { return w.number == who; });
            if (known == plan.working.end()) {
                if (static_cast<int>(plan.working.size()) >= most_working) return PlanFault{PlanFault::Cause::TooMany, line_number, who};
                plan.working.push_back({who, *type, channel});
                first_line[who] = line_number;
            } else if (known->type != *type) {
                return PlanFault{PlanFault::Cause::TwoTypes, line_number, who};
            } else if (known->channel != channel) {
                return PlanFault{PlanFault::Cause::TwoChannels, line_number, who};
            }
        }
        if (!plan.standard_channel.empty() && clash(plan.standard_channel, "standard")) {
            return PlanFault{PlanFault::Cause::TwoChannels, line_number, who};
        }
        for (const PlannedThermocouple& w : plan.working) {
            if (clash(w.channel, w.number)) return PlanFault{PlanFault::Cause::TwoChannels, line_number, who};
        }
    }
    if (plan.working.empty()) return PlanFault{PlanFault::Cause::NoWorking, 0, ""};
    for (std::size_t p = 0; p < plan.points.size(); ++p) {
        const std::vector<std::string>& here = at_point[p];
        if (std::find(here.begin(), here.end(), "standard") == here.end()) {
            return PlanFault{PlanFault::Cause::NoStandard, 0, "standard", plan.points[p]};
        }
        for (const PlannedThermocouple& w : plan.working) {
            if (std::find(here.begin(), here.end(), w.number) == here.end()) {
                return PlanFault{PlanFault::Cause::Missing, first_line[w.number], w.number, plan.points[p]};
            }
            if (!calibration::comparison_points(w.type).contains(plan.points[p]) ||
                !calibration::comparison_points(Thermocouple::S).contains(plan.points[p])) {
                return PlanFault{PlanFault::Cause::NotComparable, first_line[w.number], w.number, plan.points[p]};
            }
        }
    }
    return plan;
}

}  // namespace its90::instrument
