// The main window: the dictionary table with its popup menu, the two tool
// bars, the dictionary and phone status lines and the progress display. It
// owns the editor's state for the whole run, runs the start-up, and turns
// every button, menu item and key into a call of the core.
#pragma once

#include <optional>

#include "core/app/Editor.h"
#include "core/app/PhoneCommands.h"
#include "core/dictionary/Cleaning.h"
#include "gui/GuiDialogs.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QTableView;
class QToolBar;
class QToolButton;
class QVBoxLayout;

namespace vexlon::gui {

class DictionaryModel;
class PhoneHandling;
class WordFilterModel;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Runs the start-up with the data of programDirectory (ends with "/");
    // arguments are the command-line arguments after the program name.
    TMainForm(const QStringList& arguments, const QString& programDirectory, QWidget* parent = nullptr);
    ~TMainForm() override;

    Editor& editor() { return m_editor; }
    DictionaryModel* model() const { return m_model; }
    // What the table view shows: the dictionary through the live filter.
    WordFilterModel* filterModel() const { return m_filter; }
    // The row of the view that shows a row of the table (-1 when hidden),
    // and the other way round.
    int viewRow(int tableRow) const;
    int tableRow(int viewRow) const;
    GuiDialogs& dialogs() { return m_dialogs; }
    // The language structure was bad: the program is to end at once.
    bool terminateRequested() const { return m_terminate; }
    // What the about box and the file association use as the program.
    // Where the file association is written (empty: the user's data folder).

    // Puts UI[0]..UI[31] into the window (nothing while no pack is loaded).
    void ApplyMainWindowTexts();

    // The selection of the view into the rows' flags and back.
    void syncSelectionToTable();
    void syncSelectionFromTable();

    // Runs a command: the selection goes into the table first and comes back
    // afterwards; an error that stops it is shown in an error box.
    void runCommand(const std::function<void()>& body);

    // The commands of the window.
    void ToolButton1Click(); // New Dictionary
    void ToolButton2Click(); // Open Dictionary
    void ToolButton3Click(); // Save Dictionary
    void ToolButton4Click(); // Open from Phone
    void ToolButton5Click(); // Save to Phone
    void ToolButton6Click(); // Settings
    void ToolButton7Click(); // Black List
    void ToolButton8Click(); // White List
    void ToolButton9Click(); // Statistic
    void ToolButton10Click(); // About Program
    void Label3Click();      // usage gauge
    void Label4Click();      // phone information
    void Clear1Click();
    void Add1Click();
    void SetLanguage1Click();
    void N1Click();
    void LockUnlock1Click();
    void CleaningClick(CleaningItem item);
    void oBlackList1Click();
    void oWhiteList1Click();
    void ListView1ColumnClick(int column);
    void ListView1DblClick();
    void WhiteListKey();     // F6
    void FindKey();          // F7
    void SelectAllRows();    // A
    void MoveRow(bool down); // Ctrl+Down / Ctrl+Up
    void UndoKey();          // Ctrl+Z
    void RedoKey();          // Ctrl+Shift+Z, Ctrl+Y
    void EditKey();          // Enter: edits the current word in place
    void FocusFilter();      // Ctrl+F
    // "Merge..." (Ctrl+M): the words of other files joined into the
    // dictionary after the preview.
    void Merge1Click();
    // "Export...": the dictionary for today's phone keyboards.
    void Export1Click();
    // The title (document name and modified mark) and the undo and redo
    // captions, from the editor's state.
    void updateTitle();
    // Opens the file named on the command line (done when first shown).
    void OpenCommandLineFile();
    // Opens the command-line file once the window is exposed (trying again
    // every 20 ms, at most triesLeft times).
    void openWhenOnScreen(int triesLeft);
    // Refreshes the phone status line; true when the current phone is ready.
    bool PhoneStatusUpdate();
    // The current phone's link (null without phone support) and the hooks
    // the phone commands report through.
    PhoneLink* phoneLink();
    PhoneCommandHooks phoneHooks();
    // "Phone backups..." (Alt+B): the window of the kept phone dictionaries.
    void PhoneBackups1Click();
    // Opens a phone backup as Open Dictionary opens a file, after asking
    // about unsaved changes; the title then names the phone and the time.
    // True when the table now holds the backup.
    bool openPhoneBackup(const PhoneBackup& backup);
    void registerAssociation();

    // The controls, named as the window names them.
    QToolBar *ToolBar1, *ToolBar2;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton4, *ToolButton5, *ToolButton6, *ToolButton7,
        *ToolButton8, *ToolButton9, *ToolButton10;
    QTableView* ListView1;
    QGroupBox *GroupBox1, *GroupBox2;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    QWidget* Panel1;
    QProgressBar* ProgressBar1;
    QMenu *PopupMenu1, *Cleaning1;
    QAction *Clear1, *Add1, *SetLanguage1, *N1, *LockUnlock1, *oBlackList1, *oWhiteList1;
    QAction *Symbols1, *Numbers1, *Language1, *ByLength1, *Intelect1, *BlackList1, *All1;
    QAction *Undo1, *Redo1;
    QAction* PhoneBackups1;
    QAction *Merge1, *Export1;
    QLineEdit* FilterEdit;
    QLabel* FilterCount;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Closing asks before unsaved changes are dropped, and keeps the
    // window's geometry, column widths and sort for the next run.
    void closeEvent(QCloseEvent* event) override;

private:
    // The save dialog of Save Dictionary and Export, in the folder last used
    // for a dictionary: the name chosen and the place of the filter entry
    // chosen (filter, the entry shown first, becomes that entry's text);
    // nothing when it was cancelled.
    struct SaveDialogChoice {
        QString path;
        qsizetype entry = 0;
    };
    std::optional<SaveDialogChoice> chooseFileToSave(const char* objectName, const QString& title, const char* filterText,
                                                     QString& filter);

    // The window, built part by part.
    void buildWindow();
    void buildToolBars();
    QTableView* buildTable(QWidget* central);
    void buildPopupMenu();
    void buildKeys();
    void buildStatusLines(QWidget* central, QVBoxLayout* layout);
    QWidget* buildProgressPanel(QWidget* central);
    QWidget* buildFilterBar(QWidget* central);
    void updateFilterCount();
    void restoreWindowState();
    void saveWindowState() const;
    // Widths that fit the captions and contents, until the user sets his own.
    void fitColumns();
    void showSortIndicator();
    QToolButton* addToolButton(QToolBar* bar, const char* name, const QString& caption, const char* hint, int iconKind,
                               int iconSize, void (TMainForm::*handler)());
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                         const std::function<void()>& handler);

    Editor m_editor;
    UiTexts m_fallback;
    GuiDialogs m_dialogs;
    DictionaryModel* m_model = nullptr;
    WordFilterModel* m_filter = nullptr;
    std::unique_ptr<PhoneHandling> m_phone;
    QStringList m_arguments;
    QString m_executablePath;
    QString m_openFilter;
    QString m_saveFilter;
    QString m_exportFilter;
    // The backup last opened, and what the title calls it while it is the
    // document.
    QString m_backupPath;
    QString m_backupTitle;
    bool m_terminate = false;
    bool m_shown = false;
    bool m_userColumns = false;    // the user's own column widths are in use
    bool m_fittingColumns = false; // the widths are being set by fitColumns
};

} // namespace vexlon::gui
