#include "Screenshots.h"

#include "gui/MainForm.h"
#include "gui/ModalRunner.h"
#include "gui/UsageGauge.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace vexlon::gui {

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
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
        dialog.grab().save(nextPicture);
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

void scheduleScreenshots(TMainForm& form, const QString& dir)
{
    QDir().mkpath(dir);
    QTimer::singleShot(1500, &form, [&form, dir] {
        settle();
        form.grab().save(dir + QStringLiteral("/main-window.png"));

        form.Label3Click();
        settle();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* gauge = qobject_cast<UsageGaugeWindow*>(w)) {
                gauge->grab().save(dir + QStringLiteral("/usage-gauge.png"));
                gauge->close();
            }
        }

        photographer().nextPicture = dir + QStringLiteral("/settings.png");
        form.ToolButton6Click();
        QApplication::quit();
    });
}

} // namespace vexlon::gui
