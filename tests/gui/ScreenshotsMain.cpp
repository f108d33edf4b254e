// vexlon-screenshots DIR PROGRAM_DIR FILE (a test program, never installed):
// pictures of the editor on FILE with the data of PROGRAM_DIR (main window,
// usage gauge, settings dialog; the window, a question and the file dialog
// under the Russian pack; the merge preview of a small word list), then of a second window over a virtual
// phone holding FILE, saved into DIR for the documentation and the test
// command, every dialog answered. Exits 1 when a picture could not be taken.
#include "core/base/TextFile.h"
#include "gui/Icons.h"
#include "gui/LaunchOptions.h"
#include "gui/MainForm.h"
#include "gui/ModalRunner.h"
#include "gui/UsageGauge.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>

using namespace vexlon::gui;

namespace {

constexpr int kSettleMs = 1500; // for a new window to get onto the screen and load its file
bool everySaved = true;

void settle()
{
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
}

void fail(const QString& what)
{
    std::fprintf(stderr, "vexlon-screenshots: %s\n", qPrintable(what));
    everySaved = false;
}

void save(QWidget& widget, const QString& file)
{
    if (!widget.grab().save(file))
        fail(file + QStringLiteral(" could not be saved"));
}

// Dialogs are answered by the next step when there is one; otherwise a
// message box gets its default button and any other dialog is cancelled.
class Photographer : public DialogAnswerer {
public:
    using Step = std::function<int(QDialog&)>;
    std::deque<Step> steps;
    static int byDefault(QDialog& dialog)
    {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            const QMessageBox::StandardButton button = box->standardButton(box->defaultButton());
            return button != QMessageBox::NoButton ? int(button) : int(QMessageBox::Ok);
        }
        return QDialog::Rejected;
    }
    // The dialog is shown long enough to be photographed, then answered by
    // default.
    void photograph(const QString& file)
    {
        steps.push_back([file](QDialog& dialog) {
            dialog.show();
            settle();
            save(dialog, file);
            dialog.hide();
            return byDefault(dialog);
        });
    }
    // The settings dialog takes the UI language pack numbered `pack`.
    void choosePack(int pack)
    {
        steps.push_back([pack](QDialog& dialog) {
            if (auto* packs = dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1")))
                packs->setCurrentIndex(pack);
            if (auto* apply = dialog.findChild<QPushButton*>(QStringLiteral("Button1")))
                apply->click();
            return dialog.result();
        });
    }
    // The next file dialog gets the file typed into its name field.
    void typeFile(const QString& file)
    {
        steps.push_back([file](QDialog& dialog) {
            if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(file);
            return int(QDialog::Accepted);
        });
    }
    // The next dialog is accepted as it stands.
    void acceptAsShown()
    {
        steps.push_back([](QDialog&) { return int(QDialog::Accepted); });
    }
    int answer(QDialog& dialog) override
    {
        if (steps.empty())
            return byDefault(dialog);
        const Step step = std::move(steps.front());
        steps.pop_front();
        return step(dialog);
    }
} photographer;

// DIR/main-window.png, DIR/usage-gauge.png and DIR/settings.png.
void scheduleScreenshots(TMainForm& form, const QString& dir, std::function<void()> then)
{
    QTimer::singleShot(kSettleMs, &form, [&form, dir, then = std::move(then)] {
        settle();
        save(form, dir + QStringLiteral("/main-window.png"));
        form.Label3Click();
        settle();
        bool gauge = false;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<UsageGaugeWindow*>(w)) {
                save(*window, dir + QStringLiteral("/usage-gauge.png"));
                window->close();
                gauge = true;
            }
        }
        if (!gauge)
            fail(QStringLiteral("the usage gauge did not open"));
        photographer.photograph(dir + QStringLiteral("/settings.png"));
        form.ToolButton6Click();
        // Under the Russian pack: the question before discarding changes and
        // the file dialog, Qt's own texts included; then back to English.
        photographer.choosePack(1);
        form.ToolButton6Click();
        settle();
        save(form, dir + QStringLiteral("/main-window-ru.png"));
        const bool modified = form.editor().table.modified;
        form.editor().table.modified = true;
        photographer.photograph(dir + QStringLiteral("/question-ru.png"));
        photographer.photograph(dir + QStringLiteral("/open-dialog-ru.png"));
        form.ToolButton2Click();
        form.editor().table.modified = modified;
        photographer.choosePack(0);
        form.ToolButton6Click();
        // DIR/merge-preview.png: a word list in the chooser's first
        // language, the preview called off.
        QTemporaryDir sources;
        const QString list = sources.path() + QStringLiteral("/words.txt");
        try {
            vexlon::writeFileSafely(list, "hello\nworld\nphone\nkeyboard\nHello\n");
        } catch (const std::exception& e) {
            fail(QString::fromLocal8Bit(e.what()));
        }
        photographer.typeFile(list);
        photographer.acceptAsShown();
        photographer.photograph(dir + QStringLiteral("/merge-preview.png"));
        form.Merge1Click();
        if (!photographer.steps.empty())
            fail(QStringLiteral("a dialog to be photographed did not come"));
        then();
    });
}

#ifdef VEXLON_HAVE_PHONE
// Gives the virtual phone in `folder` a copy of the dictionary file, and
// every window made from now on a link to it, as `vexlon --simulate` does.
bool prepareVirtualPhone(const QString& folder, const QString& dictionary)
{
    if (!QDir().mkpath(folder + QStringLiteral("/a")) || !QFile::copy(dictionary, folder + QStringLiteral("/a/iTAP_User_Dictionary")))
        return false;
    const LaunchOptions options = parseLaunchOptions({QStringLiteral("--simulate"), folder});
    if (options.action != LaunchOptions::Action::Run)
        return false;
    useSimulatedPhone(options.simulateFolder);
    return true;
}

// Open from Phone: DIR/phone-reading.png while the dictionary comes (the read
// runs to its end inside the click: taken at the progress bar's first change
// under the phone read's caption), DIR/phone-connected.png once it is read.
void schedulePhoneScreenshots(TMainForm& form, const QString& dir, std::function<void()> then)
{
    QTimer::singleShot(kSettleMs, &form, [&form, dir, then = std::move(then)] {
        settle();
        if (!form.PhoneStatusUpdate())
            fail(QStringLiteral("the virtual phone is not ready"));
        const QString caption = form.editor().state.texts.STAT(15);
        bool reading = false;
        const QMetaObject::Connection watch =
            QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, &form, [&form, &reading, &caption, dir] {
                if (reading || form.Label5->text() != caption)
                    return;
                reading = true;
                save(form, dir + QStringLiteral("/phone-reading.png"));
            });
        form.ToolButton4Click();
        QObject::disconnect(watch);
        if (!reading)
            fail(QStringLiteral("Open from Phone showed no progress of a phone read"));
        if (form.editor().table.count() == 0)
            fail(QStringLiteral("nothing was read from the virtual phone"));
        settle();
        save(form, dir + QStringLiteral("/phone-connected.png"));
        then();
    });
}
#endif

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: vexlon-screenshots DIR PROGRAM_DIR FILE\n");
        return 2;
    }
    QApplication::setWindowIcon(programIcon());
    setDialogAnswerer(&photographer);
    const QString dir = arguments.at(0), file = arguments.at(2);
    QDir().mkpath(dir);
    QString programDir = QDir(arguments.at(1)).absolutePath();
    if (!programDir.endsWith(QLatin1Char('/')))
        programDir += QLatin1Char('/');
    TMainForm form({file}, programDir);
    if (form.terminateRequested())
        return 1;
    form.show();

    QTemporaryDir phoneFolder;
    std::unique_ptr<TMainForm> phoneForm;
    bool phoneReady = true;
    scheduleScreenshots(form, dir, [&] {
#ifdef VEXLON_HAVE_PHONE
        form.hide();
        phoneReady = phoneFolder.isValid() && prepareVirtualPhone(phoneFolder.path(), file);
        if (!phoneReady) {
            std::fprintf(stderr, "vexlon-screenshots: the virtual phone could not be set up in %s\n", qPrintable(phoneFolder.path()));
            QApplication::quit();
            return;
        }
        phoneForm = std::make_unique<TMainForm>(QStringList{}, programDir);
        phoneForm->show();
        schedulePhoneScreenshots(*phoneForm, dir, [] { QApplication::quit(); });
#else
        QApplication::quit();
#endif
    });
    const int status = QApplication::exec();
    phoneForm.reset();
    if (status != 0)
        return status;
    return phoneReady && everySaved ? 0 : 1;
}
