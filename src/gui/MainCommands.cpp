#include "gui/MainCommands.h"

#include "app/base/Dialogs.h"

namespace vexlon::gui {

void BlackListWindowNotAvailable(IDialogs& dialogs)
{
    dialogs.message(QStringLiteral("The black list window is not available in this version of Vexlon yet."));
}

void WhiteListWindowNotAvailable(IDialogs& dialogs)
{
    dialogs.message(QStringLiteral("The white list window is not available in this version of Vexlon yet."));
}

void StatisticWindowNotAvailable(IDialogs& dialogs)
{
    dialogs.message(QStringLiteral("The statistic window is not available in this version of Vexlon yet."));
}

} // namespace vexlon::gui
