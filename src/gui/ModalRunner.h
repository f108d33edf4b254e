// Every modal dialog of the editor runs through runModal(). Without an
// answerer it is shown with exec(); widget tests install a DialogAnswerer
// that is handed the fully built dialog instead and answers it the way a
// user would (typing, choosing, pressing a button), so no real modal loop
// ever blocks a test.
#pragma once

class QDialog;

namespace vexlon::gui {

class DialogAnswerer {
public:
    virtual ~DialogAnswerer() = default;
    // Answers the dialog and returns what exec() would have returned
    // (QDialog::Accepted/Rejected, or a QMessageBox::StandardButton for a
    // message box).
    virtual int answer(QDialog& dialog) = 0;
};

// Installs the answerer for every later modal dialog (nullptr: real
// dialogs again). The answerer is not owned.
void setDialogAnswerer(DialogAnswerer* answerer);
DialogAnswerer* dialogAnswerer();

// Shows the dialog modally and returns its result.
int runModal(QDialog& dialog);

} // namespace vexlon::gui
