// Pictures of the main window, the usage gauge and the settings dialog,
// taken by vexlon-screenshots (a test program, never installed) for the
// documentation and the test command.
#pragma once

#include <QString>

namespace vexlon::gui {

class TMainForm;

// From now on every modal dialog is answered without a user.
void answerDialogsForScreenshots();

// Once the window is on the screen and its file is loaded: saves
// DIR/main-window.png, DIR/usage-gauge.png and DIR/settings.png, then ends
// the program.
void scheduleScreenshots(TMainForm& form, const QString& dir);

} // namespace vexlon::gui
