// The profiles shipped with the program, their files compiled in (made by the build from
// instrument/profiles/*.profile).
#pragma once

#include <span>
#include <string_view>

namespace its90::instrument {

struct ShippedProfile {
    std::string_view name;
    std::string_view text;
};

extern const std::span<const ShippedProfile> kShippedProfiles;

}  // namespace its90::instrument
