#include <cctype>

#include "its90.h"

namespace its90 {
namespace {

struct TypeRow {
    Thermocouple type;
    char letter;
    ReferenceFunction emf;
    ReferenceFunction temperature;
};

constexpr TypeRow kTypes[] = {
    {Thermocouple::S, 'S', E90_S, T90_S}, {Thermocouple::B, 'B', E90_B, T90_B},
    {Thermocouple::K, 'K', E90_K, T90_K}, {Thermocouple::N, 'N', E90_N, T90_N},
    {Thermocouple::J, 'J', E90_J, T90_J}, {Thermocouple::E, 'E', E90_E, T90_E},
    {Thermocouple::T, 'T', E90_T, T90_T}, {Thermocouple::R, 'R', E90_R, T90_R},
};

const TypeRow& row(Thermocouple type) { return kTypes[static_cast<std::size_t>(type)]; }

}  // namespace

char letter(Thermocouple type) { return row(type).letter; }

std::optional<Thermocouple> thermocouple_from_letter(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const TypeRow& r : kTypes) {
        if (r.letter == upper) return r.type;
    }
    return std::nullopt;
}

ReferenceFunction emf_function(Thermocouple type) { return row(type).emf; }
ReferenceFunction temperature_function(Thermocouple type) { return row(type).temperature; }

}  // namespace its90
