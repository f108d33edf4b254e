// list show white|black|statistic: a word list printed.
#pragma once

#include "cli/Session.h"

#include <string>
#include <vector>

namespace vexlon::cli {

int runList(Session& session, const std::vector<std::string>& args);

} // namespace vexlon::cli
