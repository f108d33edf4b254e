#include "Screenshots.h"

#include "gui/LaunchOptions.h"
#include "gui/MainForm.h"
#include "gui/ModalRunner.h"
#include "gui/UsageGauge.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace vexlon::gui {

namespace {

// How long a new window is given to get onto the screen and load its file.
constexpr int kSettleMs = 1500;

bool& everySaved()
{
    static bool saved = true;
    return saved;
}

void settle()
{
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
}

void fail(const QString& what)
{
    std::fprintf(stderr, "vexlon-screenshots: %s\n", qPrintable(what));
    everySaved() = false;
}

void save(QWidget& widget, const QString& file)
{
    if (!widget.grab().save(file))
        fail(file + QStringLiteral(" could not be saved"));
}

// Message boxes are answered with their default button, so nothing waits
// for a user; the dialog named by the next picture is shown long enough to
// be photographed, then cancelled.
class Photographer : public DialogAnswerer {
public:
    QString nextPicture;
    int answer(QDialog& dialog) override
    {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            const QMessageBox::StandardButton button = box->standardButton(box->defaultButton());
            return button != QMessageBox::NoButton ? int(button) : int(QMessageBox::Ok);
        }
        if (nextPicture.isEmpty())
            return QDialog::Rejected;
        dialog.show();
        settle();
        save(dialog, nextPicture);
        dialog.hide();
        nextPicture.clear();
        return QDialog::Rejected;
    }
};

Photographer& photographer()
{
    static Photographer instance;
    return instance;
}

} // namespace

void answerDialogsForScreenshots()
{
    setDialogAnswerer(&photographer());
}

bool allScreenshotsSaved()
{
    return everySaved();
}

void scheduleScreenshots(TMainForm& form, const QString& dir, std::function<void()> then)
{
    QDir().mkpath(dir);
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

        photographer().nextPicture = dir + QStringLiteral("/settings.png");
        form.ToolButton6Click();
        then();
    });
}

bool prepareVirtualPhone(const QString& folder, const QString& dictionary)
{
    const QString target = folder + QStringLiteral("/a/iTAP_User_Dictionary");
    if (!QDir().mkpath(folder + QStringLiteral("/a")) || !QFile::copy(dictionary, target))
        return false;
    const LaunchOptions options = parseLaunchOptions({QStringLiteral("--simulate"), folder});
    if (options.action != LaunchOptions::Action::Run)
        return false;
    useSimulatedPhone(options.simulateFolder);
    return true;
}

void schedulePhoneScreenshots(TMainForm& form, const QString& dir, std::function<void()> then)
{
    QDir().mkpath(dir);
    QTimer::singleShot(kSettleMs, &form, [&form, dir, then = std::move(then)] {
        settle();
        if (!form.PhoneStatusUpdate())
            fail(QStringLiteral("the virtual phone is not ready"));
        // The read runs to its end inside the click: the picture of it is
        // taken from the progress bar's first change under the caption of
        // the phone read.
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

} // namespace vexlon::gui
