// clean IN OUT --rules LIST: cleaning as the Cleaning menu does, then saving.
#pragma once

#include "cli/Session.h"

#include <string>
#include <vector>

namespace vexlon::cli {

int runClean(Session& session, const std::vector<std::string>& args);

} // namespace vexlon::cli
