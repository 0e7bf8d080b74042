#include "instrument/profile.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <set>

#include "instrument/shipped_profiles.h"

namespace its90::instrument {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::variant<Profile, ProfileFault> parse_profile(std::string_view text, std::string_view name) {
    Profile p;
    p.name = std::string(name);
    std::set<std::string, std::less<>> given;
    int line_number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++line_number;
        if (line.empty() || line.front() == '#') continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return ProfileFault{ProfileFault::Cause::NoEquals, line_number, std::string(line)};
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string value(trimmed(line.substr(equals + 1)));
        if (key != "setup" && !given.insert(std::string(key)).second) {
            return ProfileFault{ProfileFault::Cause::Repeated, line_number, std::string(key)};
        }
        if (key == "name") p.name = value;
        else if (key == "identify") p.identify = value;
        else if (key == "setup") p.setup.push_back(value);
        else if (key == "select") p.select = value;
        else if (key == "read") p.read = value;
        else if (key == "error") p.error = value;
        else if (key == "set_point") p.set_point = value;
        else if (key == "unit") {
            if (value == "V") p.unit_to_mV_places = 3;
            else if (value == "mV") p.unit_to_mV_places = 0;
            else return ProfileFault{ProfileFault::Cause::BadUnit, line_number, value};
        } else if (key == "timeout_ms") {
            int ms = 0;
            const auto [end_of, ec] = std::from_chars(value.data(), value.data() + value.size(), ms);
            if (ec != std::errc() || end_of != value.data() + value.size() || ms < 1 || ms > 600'000) {
                return ProfileFault{ProfileFault::Cause::BadTimeout, line_number, value};
            }
            p.timeout_ms = ms;
        } else {
            return ProfileFault{ProfileFault::Cause::UnknownKey, line_number, std::string(key)};
        }
    }
    if (p.read.empty()) return ProfileFault{ProfileFault::Cause::NoRead, 0, "read"};
    return p;
}

std::vector<std::string> shipped_profile_names() {
    std::vector<std::string> names;
    for (const ShippedProfile& s : kShippedProfiles) names.emplace_back(s.name);
    return names;
}

std::variant<Profile, ProfileFault> find_profile(std::string_view name_or_file) {
    if (name_or_file.find('/') != std::string_view::npos || name_or_file.ends_with(".profile")) {
        std::ifstream file{std::string(name_or_file), std::ios::binary};
        if (!file) return ProfileFault{ProfileFault::Cause::CannotRead, 0, std::string(name_or_file)};
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (file.bad()) return ProfileFault{ProfileFault::Cause::CannotRead, 0, std::string(name_or_file)};
        std::string_view stem = name_or_file.substr(name_or_file.rfind('/') + 1);
        if (stem.ends_with(".profile")) stem.remove_suffix(8);
        return parse_profile(text, stem);
    }
    for (const ShippedProfile& s : kShippedProfiles) {
        if (s.name == name_or_file) return parse_profile(s.text, s.name);
    }
    return ProfileFault{ProfileFault::Cause::UnknownName, 0, std::string(name_or_file)};
}

std::string with_argument(std::string_view command, std::string_view argument) {
    std::string out;
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '%' && i + 1 < command.size() && command[i + 1] == '1') {
            out += argument;
            ++i;
        } else {
            out += command[i];
        }
    }
    return out;
}

}  // namespace its90::instrument
