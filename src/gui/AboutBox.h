// The about box: program name and version, the ReadMe of the program
// directory, and a few lines of credits.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace vexlon::gui {

class TAPF : public QDialog {
    Q_OBJECT
public:
    // Loads programDirectory + "ReadMe.txt" (8-bit text) into the memo when
    // the file exists; the memo stays empty otherwise.
    TAPF(const QString& programDirectory, QWidget* owner);
    QPlainTextEdit* memo() const { return m_memo; }

private:
    QPlainTextEdit* m_memo;
};

} // namespace vexlon::gui
