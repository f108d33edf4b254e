// fill OUT [--type 0|1] [--from FILE]: a dictionary of the best-rated words.
#pragma once

#include "cli/Session.h"

#include <string>
#include <vector>

namespace vexlon::cli {

int runFill(Session& session, const std::vector<std::string>& args);

} // namespace vexlon::cli
