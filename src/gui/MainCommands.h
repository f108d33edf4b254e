// The main window's commands that open the white list, black list and
// statistic windows. Each window is modal and the main window is disabled
// while it is open; what the main window does after the window closed
// follows, however it was closed.
#pragma once

namespace vexlon::gui {

class TMainForm;

// "Black List" (ToolButton7, F2): the window, then the black list file.
void ShowBlackListWindow(TMainForm& form);
// "White List" (ToolButton8, F3): the window, then the white list file, the
// white list put into the table when it is on, the status line and the
// renumbering from the white list's last row.
void ShowWhiteListWindow(TMainForm& form);
// "Statistic" (ToolButton9, F4).
void ShowStatisticWindow(TMainForm& form);

} // namespace vexlon::gui
