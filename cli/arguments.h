// The command line's words after the command: positional arguments and --options.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace its90::cli {

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>, std::less<>> options;  // without "--"

    bool has(std::string_view name) const { return options.find(name) != options.end(); }
    // The last value given for a single-valued option.
    std::optional<std::string> value(std::string_view name) const;
    std::vector<std::string> values(std::string_view name) const;
};

// `--name value` or `--name=value` for the names in `single`; a name in `multi` takes every
// following word up to the next --option; a name in `flags` takes no value. Anything else
// starting with "--" is an error, whose text is returned in `error`. "-" and negative numbers
// are positional.
std::optional<Arguments> parse_arguments(const std::vector<std::string>& words,
                                         std::initializer_list<std::string_view> single,
                                         std::initializer_list<std::string_view> multi,
                                         std::string& error,
                                         std::initializer_list<std::string_view> flags = {});

}  // namespace its90::cli
