// The editor's program entry: `vexlon [FILE]`, `vexlon --help`, `vexlon --version`.
#include "core/base/ProgramDirectory.h"
#include "gui/Icons.h"
#include "gui/MainForm.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

const char* const kHelp =
    "usage: vexlon [FILE]\n"
    "Edits the user dictionary of the predictive text of Motorola P2K phones.\n"
    "FILE, a dictionary file (.iud), is opened at start; all arguments are\n"
    "joined with blanks into one path.\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "See vexlon(1); vexlon-cli(1) does the same work without a window.\n";

} // namespace

int main(int argc, char* argv[])
{
    // Answered before any window system is needed.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vexlon %s\n", VEXLON_VERSION);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(VEXLON_VERSION));
    QApplication::setWindowIcon(vexlon::gui::programIcon());
    vexlon::gui::TMainForm form(QApplication::arguments().mid(1), vexlon::ProgramDirectory());
    if (form.terminateRequested())
        return 1;
    form.show();
    return QApplication::exec();
}
