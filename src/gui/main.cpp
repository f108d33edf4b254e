// The editor's program entry.
#include "core/base/ProgramDirectory.h"
#include "gui/Icons.h"
#include "gui/MainForm.h"
#include "gui/Screenshots.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(vexlon::gui::makeIcon(vexlon::gui::IconKind::Program, 64));

    QStringList arguments = QApplication::arguments().mid(1);
    // Hidden option for the documentation: pictures of the windows.
    QString screenshotDir;
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--screenshot")) {
        screenshotDir = arguments.at(1);
        arguments = arguments.mid(2);
        vexlon::gui::answerDialogsForScreenshots();
    }

    vexlon::gui::TMainForm form(arguments, vexlon::ProgramDirectory());
    if (form.terminateRequested())
        return 1;
    form.show();
    if (!screenshotDir.isEmpty())
        vexlon::gui::scheduleScreenshots(form, screenshotDir);
    return QApplication::exec();
}
