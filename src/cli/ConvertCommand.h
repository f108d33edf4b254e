// convert IN OUT [--as ...] [--to iud|csv] [--repair]: open, check and save.
#pragma once

#include "cli/Session.h"

#include <string>
#include <vector>

namespace vexlon::cli {

int runConvert(Session& session, const std::vector<std::string>& args);
// Saves the table to out as `convert` does; returns the exit status.
int saveAsConvert(Session& session, const std::string& outPath, const std::string& to, bool repair);

} // namespace vexlon::cli
