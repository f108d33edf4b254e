// vexlon-screenshots DIR PROGRAM_DIR FILE: the editor on FILE with the data
// of PROGRAM_DIR, its pictures saved into DIR, every dialog answered.
#include "Screenshots.h"
#include "gui/Icons.h"
#include "gui/MainForm.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: vexlon-screenshots DIR PROGRAM_DIR FILE\n");
        return 2;
    }
    QApplication::setWindowIcon(vexlon::gui::programIcon());
    vexlon::gui::answerDialogsForScreenshots();
    QString programDir = QDir(arguments.at(1)).absolutePath();
    if (!programDir.endsWith(QLatin1Char('/')))
        programDir += QLatin1Char('/');
    vexlon::gui::TMainForm form({arguments.at(2)}, programDir);
    if (form.terminateRequested())
        return 1;
    form.show();
    vexlon::gui::scheduleScreenshots(form, arguments.at(0));
    return QApplication::exec();
}
