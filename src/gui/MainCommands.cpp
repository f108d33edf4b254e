#include "gui/MainCommands.h"

#include "core/app/Commands.h"
#include "gui/MainForm.h"
#include "gui/ModalRunner.h"
#include "gui/lists/BlackListForm.h"
#include "gui/lists/StatisticForm.h"
#include "gui/lists/WhiteListForm.h"

namespace vexlon::gui {

namespace {

// Shows the window modally over the main window, which is disabled until
// the window has closed, however it closes. The window is top-level, so it
// stays enabled itself.
void showOver(TMainForm& form, ListFormBase& window)
{
    window.setMainWindow(&form);
    window.attachProgress(form.Label5, form.ProgressBar1, form.Label3);
    struct Enable {
        TMainForm& form;
        ~Enable() { form.setEnabled(true); }
    } enable{form};
    form.setEnabled(false);
    runModal(window);
}

} // namespace

void ShowBlackListWindow(TMainForm& form)
{
    ListWindowCommand(form.editor(), ListWindow::Black, [&form] {
        TBLACKFORM window(form.editor().state);
        showOver(form, window);
    });
}

void ShowWhiteListWindow(TMainForm& form)
{
    ListWindowCommand(form.editor(), ListWindow::White, [&form] {
        TWHITEFORM window(form.editor().state);
        showOver(form, window);
    });
}

void ShowStatisticWindow(TMainForm& form)
{
    ListWindowCommand(form.editor(), ListWindow::Statistic, [&form] {
        TST window(form.editor().state, form.editor().table);
        showOver(form, window);
    });
}

} // namespace vexlon::gui
