// vexlon-cli: the editor's core without a window.
//
//   vexlon-cli [--data-dir DIR] [--yes] [--simulate FOLDER] [--trace] COMMAND ...
//
// Exit status: 0 success; 1 phone command failed or no phone; 2 usage error,
// failed read or write; 3 the dictionary fails the check before saving;
// 4 the words do not fit into the users dictionary.
#pragma once

#include "core/app/Editor.h"
#include "cli/CliDialogs.h"

#include <ostream>
#include <string>
#include <vector>

namespace vexlon::cli {

enum ExitStatus { ExitOk = 0, ExitPhone = 1, ExitError = 2, ExitProblem = 3, ExitFull = 4 };

struct GlobalOptions {
    std::string dataDir;
    bool yes = false;
    std::string simulateFolder;
    bool trace = false;
};

// One run of the tool: the editor state loaded from the program directory.
class Session {
public:
    Session(const GlobalOptions& options, std::ostream& out, std::ostream& err);
    // Loads the language structure (false: the critical message was printed),
    // the settings (defaults with a warning when missing or corrupt; never
    // written), the UI language pack and, unless readLists is off, the three
    // lists (a list that cannot be read is reported and stays empty).
    bool load();

    bool readLists = true;
    // Which lists were read from their files.
    bool statisticRead = false;
    bool whiteRead = false;
    bool blackRead = false;

    Editor editor;
    const GlobalOptions& options;
    std::ostream& out;
    std::ostream& err;

private:
    CliDialogs m_dialogs;
};

// Parses the arguments (without the program name) and runs the command.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The commands; args are the words after the command's name.
int runShow(Session& session, const std::vector<std::string>& args);
int runConvert(Session& session, const std::vector<std::string>& args);
int runClean(Session& session, const std::vector<std::string>& args);
int runList(Session& session, const std::vector<std::string>& args);
int runCount(Session& session, const std::vector<std::string>& args);
int runFill(Session& session, const std::vector<std::string>& args);
int runPhone(Session& session, const std::vector<std::string>& args);

// Shared by the commands that open a dictionary as `show` does.
struct OpenRequest {
    std::string path;
    std::string as; // iud, csv, txt, all or empty (by extension)
    bool raw = false;
};
// Opens the file into the session's table; false after printing why.
bool openAsShow(Session& session, const OpenRequest& request);
// Saves the table to out as `convert` does; returns the exit status.
int saveAsConvert(Session& session, const std::string& outPath, const std::string& to, bool repair);

} // namespace vexlon::cli
