// show FILE [--as iud|csv|txt|all] [--raw]: a dictionary as the editor opens it.
#pragma once

#include "cli/Session.h"

#include <string>
#include <vector>

namespace vexlon::cli {

// args: the words after the command's name; returns the exit status.
int runShow(Session& session, const std::vector<std::string>& args);

// Shared by the commands that open a dictionary as `show` does.
struct OpenRequest {
    std::string path;
    std::string as; // iud, csv, txt, all or empty (by extension)
    bool raw = false;
};
// Opens the file into the session's table; false after printing why.
bool openAsShow(Session& session, const OpenRequest& request);

} // namespace vexlon::cli
