// The editor's program entry: `vexlon [--simulate FOLDER] [FILE]`,
// `vexlon --help`, `vexlon --version`.
#include "core/base/ProgramDirectory.h"
#include "gui/Icons.h"
#include "gui/LaunchOptions.h"
#include "gui/MainForm.h"

#include <QApplication>
#include <cstdio>

namespace {

using vexlon::gui::LaunchOptions;

// Help, the version and a bad command line are answered without a window;
// the exit status then, or -1 when the editor is to run.
int answerWithoutWindow(const LaunchOptions& options)
{
    switch (options.action) {
    case LaunchOptions::Action::Help:
        std::fputs(vexlon::gui::launchHelp().toLocal8Bit().constData(), stdout);
        return 0;
    case LaunchOptions::Action::Version:
        std::printf("vexlon %s\n", VEXLON_VERSION);
        return 0;
    case LaunchOptions::Action::Fail:
        std::fprintf(stderr, "%s\n", options.error.toLocal8Bit().constData());
        return vexlon::gui::kLaunchUsageExit;
    case LaunchOptions::Action::Run:
        break;
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    // Answered before any window system is needed.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    if (const int status = answerWithoutWindow(vexlon::gui::parseLaunchOptions(words)); status >= 0)
        return status;

    QApplication app(argc, argv);
    // Read again without the options that Qt took for itself.
    const LaunchOptions options = vexlon::gui::parseLaunchOptions(QApplication::arguments().mid(1));
    if (const int status = answerWithoutWindow(options); status >= 0)
        return status;
    QApplication::setApplicationVersion(QStringLiteral(VEXLON_VERSION));
    QApplication::setWindowIcon(vexlon::gui::programIcon());
    if (!options.simulateFolder.isEmpty())
        vexlon::gui::useSimulatedPhone(options.simulateFolder);
    vexlon::gui::TMainForm form(options.fileArguments, vexlon::ProgramDirectory());
    if (form.terminateRequested())
        return 1;
    form.show();
    return QApplication::exec();
}
