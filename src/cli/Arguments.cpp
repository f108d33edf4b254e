#include "cli/Arguments.h"

#include <algorithm>

namespace vexlon::cli {

Arguments parseArguments(const std::vector<std::string>& args, std::initializer_list<const char*> valueOptions,
                         std::initializer_list<const char*> flagOptions)
{
    auto among = [](const std::string& word, std::initializer_list<const char*> options) {
        return std::any_of(options.begin(), options.end(), [&](const char* o) { return word == o; });
    };
    Arguments parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (among(word, valueOptions)) {
            if (i + 1 >= args.size()) {
                parsed.ok = false;
                break;
            }
            parsed.values[word] = args[++i];
        } else if (among(word, flagOptions)) {
            parsed.flags.insert(word);
        } else if (word.rfind("--", 0) == 0) {
            parsed.ok = false;
            break;
        } else {
            parsed.positional.push_back(word);
        }
    }
    return parsed;
}

} // namespace vexlon::cli
