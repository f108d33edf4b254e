// vexlon-screenshots DIR PROGRAM_DIR FILE: the editor on FILE with the data
// of PROGRAM_DIR, then a second window over a virtual phone holding FILE,
// their pictures saved into DIR, every dialog answered. Exits 1 when a
// picture could not be taken.
#include "Screenshots.h"
#include "gui/Icons.h"
#include "gui/MainForm.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

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
    const QString dir = arguments.at(0);
    QString programDir = QDir(arguments.at(1)).absolutePath();
    if (!programDir.endsWith(QLatin1Char('/')))
        programDir += QLatin1Char('/');
    const QString file = arguments.at(2);
    vexlon::gui::TMainForm form({file}, programDir);
    if (form.terminateRequested())
        return 1;
    form.show();

    QTemporaryDir phoneFolder;
    std::unique_ptr<vexlon::gui::TMainForm> phoneForm;
    bool phoneReady = true;
    vexlon::gui::scheduleScreenshots(form, dir, [&] {
#ifdef VEXLON_HAVE_PHONE
        form.hide();
        phoneReady = phoneFolder.isValid() && vexlon::gui::prepareVirtualPhone(phoneFolder.path(), file);
        if (!phoneReady) {
            std::fprintf(stderr, "vexlon-screenshots: the virtual phone could not be set up in %s\n",
                         qPrintable(phoneFolder.path()));
            QApplication::quit();
            return;
        }
        phoneForm = std::make_unique<vexlon::gui::TMainForm>(QStringList{}, programDir);
        phoneForm->show();
        vexlon::gui::schedulePhoneScreenshots(*phoneForm, dir, [] { QApplication::quit(); });
#else
        QApplication::quit();
#endif
    });
    const int status = QApplication::exec();
    phoneForm.reset();
    if (status != 0)
        return status;
    return phoneReady && vexlon::gui::allScreenshotsSaved() ? 0 : 1;
}
