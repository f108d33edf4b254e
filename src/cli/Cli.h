// vexlon-cli: the editor's core without a window.
//
//   vexlon-cli [--data-dir DIR] [--yes] [--simulate FOLDER] [--trace] COMMAND ...
//
// Exit status: 0 success; 1 phone command failed or no phone; 2 usage error,
// failed read or write; 3 the dictionary fails the check before saving;
// 4 the words do not fit into the users dictionary.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vexlon::cli {

enum ExitStatus { ExitOk = 0, ExitPhone = 1, ExitError = 2, ExitProblem = 3, ExitFull = 4 };

// Parses the arguments (without the program name) and runs the command.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace vexlon::cli
