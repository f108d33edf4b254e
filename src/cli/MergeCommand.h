// merge DICT SOURCE... [--out FILE] [--report FILE] [--dry-run] [--fit]
//       [--language ID] [--as KIND]
// export DICT --to gboard|words OUT
// Words of other sources joined into a dictionary after the preview's
// checks, and a dictionary carried to today's keyboards.
#pragma once

#include "cli/Session.h"

#include <string>
#include <vector>

namespace vexlon::cli {

int runMerge(Session& session, const std::vector<std::string>& args);
int runExport(Session& session, const std::vector<std::string>& args);

} // namespace vexlon::cli
