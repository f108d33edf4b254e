// What the white list, black list and statistic windows share: a modal
// top-level window with the table on the left and a column of bold text
// buttons on the right, the window's own dialogs, the selection kept in the
// core's rows around every command, in-place editing of words, the Find
// dialog and select-all.
//
// The window has no parent widget: the main window disables itself while
// the window is open, and a disabled parent would disable its child windows
// too. Questions and messages of the window's commands are owned by the
// window, so they stay usable while the main window is disabled.
#pragma once

#include "core/base/ProgramState.h"
#include "gui/GuiDialogs.h"
#include "core/lists/StatisticSession.h"
#include "core/lists/WhiteBlackListSession.h"

#include <QDialog>
#include <QMap>
#include <QPointer>
#include <functional>

class QHBoxLayout;
class QLabel;
class QProgressBar;
class QTableView;
class QToolBar;
class QToolButton;

namespace vexlon::gui {

class ListTableModel;

class ListFormBase : public QDialog {
    Q_OBJECT
public:
    ~ListFormBase() override;

    // The main window's progress display and dictionary status line, which
    // the window's commands report to (all may be null).
    void attachProgress(QLabel* activity, QProgressBar* bar, QLabel* statusLine);
    // The window this one stands over (kept above it by the window manager).
    void setMainWindow(QWidget* mainWindow) { m_mainWindow = mainWindow; }

    QTableView* view() const { return m_view; }
    ListTableModel* tableModel() const { return m_model; }

    // The window's Ctrl flag: set on Ctrl down in the table, cleared on Ctrl
    // up and when the table loses the focus (a release elsewhere is never
    // seen by the table).
    bool CtrlDown = false;

    // Runs a command of the window: the view's selection goes into the rows
    // first and comes back afterwards, the window's dialogs answer the
    // core, and an error that stops the command is shown over the window.
    void runCommand(const std::function<void()>& body, bool reordered);

    void FindKey();       // F7
    void SelectAllRows(); // Ctrl+A
    // Opens the in-place editor on the word of a row.
    void editWord(int row);

protected:
    ListFormBase(ProgramState& state, const char* objectName, const QString& title, QSize size, QSize minimum);

    // Builds the table (named viewName) over the core's rows with the given
    // columns; columnClicked(column) runs for header clicks and edit for a
    // confirmed in-place edit.
    void buildTable(const char* viewName, const QVector<ListRow>& rows, const QVector<ListColumn>& columns,
                    const QStringList& headers, std::function<bool(int, const QByteArray&)> edit);
    QToolButton* addButton(const char* name, const QString& caption, const char* hint, std::function<void()> handler);
    void addSeparator(const char* name);
    // The designed width of a fixed column; it grows to show its caption.
    void setColumnWidth(int column, int width);
    // Puts texts UI[first], UI[first+1], ... into the title, the column
    // captions and the buttons, in this order (nothing while no pack is
    // loaded), then fits the fixed columns and the buttons to their texts.
    void applyTexts(int first, const QList<QToolButton*>& buttons);

    // The core's selection flags and rows.
    virtual const QVector<ListRow>& coreRows() const = 0;
    virtual void setCoreSelected(int row, bool selected) = 0;
    // A header click on a column.
    virtual void columnClicked(ListColumn column) = 0;
    // A key pressed in the table; true when the window used it.
    virtual bool keyDown(int key) = 0;
    // Esc, the Cancel button and the close box.
    virtual void cancelCommand() = 0;
    // A double click on a row.
    virtual void editCommand() = 0;

    // Closes the window with a result, passing over cancelCommand.
    void closeWindow(int result) { done(result); }
    // The row of the view's current cell (-1 when none).
    int currentRow() const;
    // Whether a word is being edited in place.
    bool editingWord() const;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The close box and Esc outside the table run the window's Cancel.
    void reject() override;

    ProgramState& m_state;

private:
    void syncSelectionToRows();
    void syncSelectionFromRows();
    void fitToTexts();

    GuiDialogs m_dialogs;
    QPointer<QWidget> m_mainWindow;
    QTableView* m_view = nullptr;
    ListTableModel* m_model = nullptr;
    QToolBar* m_toolBar = nullptr;
    QHBoxLayout* m_layout = nullptr;
    QList<QToolButton*> m_buttons;
    QMap<int, int> m_columnWidths;
};

// Makes dialogs the program's dialog interface for as long as it lives.
class DialogsScope {
public:
    DialogsScope(ProgramState& state, IDialogs& dialogs) : m_state(state), m_previous(state.dialogs)
    {
        state.dialogs = &dialogs;
    }
    ~DialogsScope() { m_state.dialogs = m_previous; }
    DialogsScope(const DialogsScope&) = delete;
    DialogsScope& operator=(const DialogsScope&) = delete;

private:
    ProgramState& m_state;
    IDialogs* m_previous;
};

} // namespace vexlon::gui
