// count FILE...: the words of each file counted into the statistic list.
#pragma once

#include "cli/Session.h"

#include <string>
#include <vector>

namespace vexlon::cli {

int runCount(Session& session, const std::vector<std::string>& args);

} // namespace vexlon::cli
