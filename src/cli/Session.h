// One run of vexlon-cli: the options before the command and the editor state
// loaded from the program directory, with the tool's dialogs.
#pragma once

#include "cli/CliDialogs.h"
#include "core/app/Editor.h"

#include <ostream>
#include <string>

namespace vexlon::cli {

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
    // Set by a command that starts a statistic list when none exists: no
    // warning for a missing statistic list file.
    bool statisticMayBeMissing = false;
    // Which lists were read from their files.
    bool statisticRead = false;
    // No statistic list file exists (as opposed to one that cannot be read).
    bool statisticMissing = false;
    bool whiteRead = false;
    bool blackRead = false;

    Editor editor;
    const GlobalOptions& options;
    std::ostream& out;
    std::ostream& err;

private:
    CliDialogs m_dialogs;
};

} // namespace vexlon::cli
