// phone list|info|read OUT|write IN [--restart]|restart|switch.
#pragma once

#include "cli/Session.h"

#include <string>
#include <vector>

namespace vexlon::cli {

int runPhone(Session& session, const std::vector<std::string>& args);

} // namespace vexlon::cli
