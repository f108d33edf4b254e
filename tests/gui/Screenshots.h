// Pictures of the main window, the usage gauge, the settings dialog and the
// window with a (virtual) phone attached, taken by vexlon-screenshots (a
// test program, never installed) for the documentation and the test
// command.
#pragma once

#include <QString>
#include <functional>

namespace vexlon::gui {

class TMainForm;

// From now on every modal dialog is answered without a user.
void answerDialogsForScreenshots();

// Once the window is on the screen and its file is loaded: saves
// DIR/main-window.png, DIR/usage-gauge.png and DIR/settings.png, then runs
// `then`.
void scheduleScreenshots(TMainForm& form, const QString& dir, std::function<void()> then);

// Gives the virtual phone whose files are in `folder` a copy of the
// dictionary file as its own dictionary, and makes the phone link of every
// window made from now on talk to it, as `vexlon --simulate FOLDER` does.
bool prepareVirtualPhone(const QString& folder, const QString& dictionary);

// Once the window, whose phone holds a dictionary, is on the screen: runs
// Open from Phone, saving DIR/phone-reading.png while the dictionary comes
// from the phone and DIR/phone-connected.png once it is in the table, then
// runs `then`.
void schedulePhoneScreenshots(TMainForm& form, const QString& dir, std::function<void()> then);

// Whether every picture so far was saved.
bool allScreenshotsSaved();

} // namespace vexlon::gui
