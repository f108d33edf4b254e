// The editor's command line: `vexlon [--simulate FOLDER] [--] [FILE]`,
// `vexlon --help`, `vexlon --version`, and the virtual phone that
// --simulate puts in place of the phones on USB.
#pragma once

#include <QString>
#include <QStringList>

namespace vexlon::gui {

struct LaunchOptions {
    enum class Action { Run, Help, Version, Fail };
    Action action = Action::Run;
    // The words of the dictionary path (the window joins them with blanks).
    QStringList fileArguments;
    // The absolute path of the virtual phone's folder; empty: phones on USB.
    QString simulateFolder;
    // Fail: the message for stderr (one line, no newline at the end).
    QString error;
};

// The exit status of a command line that fails.
inline constexpr int kLaunchUsageExit = 2;

// Reads the arguments after the program name. Options come before the words
// of the path: "--simulate FOLDER" (or "--simulate=FOLDER"; the last one
// given counts), "--help" / "-h" and "--version"; "--" ends them, and so
// does the first other word. FOLDER must be a folder the program can read.
LaunchOptions parseLaunchOptions(const QStringList& arguments);

// The text of --help.
QString launchHelp();

// Every phone link made from now on talks to the virtual phone whose files
// are in folder, set up by the folder's ".phone/" files as
// `vexlon-cli --simulate` does; each link gets a bus of its own with one
// phone on it.
void useSimulatedPhone(const QString& folder);

} // namespace vexlon::gui
