// The words after a command's name: options that take a value, flags, and
// the positional arguments in order.
#pragma once

#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vexlon::cli {

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    // False when an unknown option came, or a value option had no value.
    bool ok = true;

    std::string value(const std::string& option) const
    {
        auto it = values.find(option);
        return it == values.end() ? std::string() : it->second;
    }
    bool has(const std::string& option) const { return values.count(option) > 0 || flags.count(option) > 0; }
};

Arguments parseArguments(const std::vector<std::string>& args, std::initializer_list<const char*> valueOptions,
                         std::initializer_list<const char*> flagOptions = {});

} // namespace vexlon::cli
