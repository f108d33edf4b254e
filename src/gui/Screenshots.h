// Pictures of the main window, the usage gauge and the settings dialog,
// taken by the running program (hidden option "--screenshot DIR") for the
// documentation.
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
