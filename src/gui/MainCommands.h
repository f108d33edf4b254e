// Commands of the main window whose windows are not part of this build yet.
// Each tells the user so instead of doing nothing.
#pragma once

class QWidget;

namespace vexlon {
class IDialogs;
}

namespace vexlon::gui {

void BlackListWindowNotAvailable(IDialogs& dialogs);
void WhiteListWindowNotAvailable(IDialogs& dialogs);
void StatisticWindowNotAvailable(IDialogs& dialogs);

} // namespace vexlon::gui
