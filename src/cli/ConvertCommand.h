// convert IN OUT [--as ...] [--to iud|csv] [--repair]: open, check and save.
#pragma once

#include "cli/Session.h"

#include <string>
#include <vector>

namespace vexlon::cli {

int runConvert(Session& session, const std::vector<std::string>& args);
// Whether the saving command repairs a dictionary that fails the check, and
// whether it has --repair at all (its messages name only its own options).
enum class Repair { NotOffered, Off, On };
// Saves the table to out as `convert` does; returns the exit status.
int saveAsConvert(Session& session, const std::string& outPath, const std::string& to, Repair repair);

} // namespace vexlon::cli
