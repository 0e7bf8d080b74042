#include "cli/arguments.h"

#include <algorithm>

#include "cli/output.h"

namespace its90::cli {
namespace {

bool contains(std::initializer_list<std::string_view> names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool is_option(std::string_view word) { return word.size() > 2 && word.substr(0, 2) == "--"; }

}  // namespace

std::optional<std::string> Arguments::value(std::string_view name) const {
    const auto it = options.find(name);
    if (it == options.end() || it->second.empty()) return std::nullopt;
    return it->second.back();
}

std::vector<std::string> Arguments::values(std::string_view name) const {
    const auto it = options.find(name);
    return it == options.end() ? std::vector<std::string>{} : it->second;
}

std::optional<Arguments> parse_arguments(const std::vector<std::string>& words,
                                         std::initializer_list<std::string_view> single,
                                         std::initializer_list<std::string_view> multi,
                                         std::string& error,
                                         std::initializer_list<std::string_view> flags) {
    Arguments a;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (!is_option(word)) {
            a.positional.push_back(word);
            continue;
        }
        std::string name = word.substr(2);
        std::optional<std::string> inline_value;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inline_value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (contains(flags, name)) {
            if (inline_value) {
                error = "option --" + name + " takes no value";
                return std::nullopt;
            }
            a.options[name];
        } else if (contains(single, name)) {
            if (!inline_value && i + 1 >= words.size()) {
                error = "option --" + name + " needs a value";
                return std::nullopt;
            }
            a.options[name].push_back(inline_value ? *inline_value : words[++i]);
        } else if (contains(multi, name)) {
            std::vector<std::string>& values = a.options[name];
            if (inline_value) values.push_back(*inline_value);
            while (i + 1 < words.size() && !is_option(words[i + 1])) values.push_back(words[++i]);
            if (values.empty()) {
                error = "option --" + name + " needs at least one value";
                return std::nullopt;
            }
        } else {
            error = "unknown option " + quoted(word);
            return std::nullopt;
        }
    }
    return a;
}

}  // namespace its90::cli
