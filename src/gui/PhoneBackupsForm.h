// The phone backups window: every dictionary kept of every phone, newest
// first per phone (the attached phone's first), and for the chosen one:
// restore it to the phone it was read from, open it in the editor, or save
// its bytes to a file. Modal over the main window; the commands run through
// the main window, with its phone link and its dialogs.
#pragma once

#include "core/app/PhoneBackups.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QTimer>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace vexlon::gui {

class TMainForm;

class PhoneBackupsForm : public QDialog {
    Q_OBJECT
public:
    explicit PhoneBackupsForm(TMainForm& form);

    // Reads the rings again and asks which phone is attached.
    void refresh();
    // The backup of the selected row, or null.
    const PhoneBackup* selectedBackup() const;
    // The ring key of the attached, ready phone (empty without one).
    const QString& phoneKey() const { return m_phoneKey; }
    const QList<PhoneBackup>& backups() const { return m_backups; }

    void RestoreClick();
    void OpenClick();
    void SaveAsClick();

    QTableWidget* Table;
    QLabel *EmptyLabel, *FolderLabel;
    QPushButton *RestoreButton, *OpenButton, *SaveAsButton, *CloseButton;

private:
    // The attached phone's ring key, read from the phone; empty when no
    // phone is ready.
    QString readPhoneKey();
    void fillTable();
    void updateButtons();
    // Follows the phone arriving and leaving while the window is open.
    void checkPhone();
    void message(const QString& text);

    TMainForm& m_form;
    QList<PhoneBackup> m_backups;
    QString m_phoneKey;
    bool m_phoneReady = false;
    bool m_busy = false;
    int m_keyTries = 0;
    QStackedWidget* m_stack;
    QTimer m_phoneCheck;
};

} // namespace vexlon::gui
