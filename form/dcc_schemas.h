// The DCC schemas compiled into the program: dcc.xsd and the SI_Format.xsd it imports.
#pragma once

#include <span>
#include <string_view>

namespace its90::form {

struct DccSchema {
    std::string_view name;  // "dcc.xsd"
    std::string_view text;
};
extern const std::span<const DccSchema> kDccSchemas;

}  // namespace its90::form
