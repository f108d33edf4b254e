// What the white list, black list and statistic windows share: a modal
// top-level window with the table on the left and a column of bold text
// buttons on the right, the window's own dialogs, the selection kept in the
// core's rows around every command, in-place editing of words, the Find
// dialog and select-all, undo and redo of the commands, the keys of a
// desktop table (F2 and Enter edit, Tab reaches the buttons, a header click
// sorts and a second one reverses), and the window's size, position and
// column widths, kept per user.
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
#include <optional>

class QAction;
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

    // Runs a command of the window: the view's selection goes into the rows
    // first and comes back afterwards, the window's dialogs answer the
    // core, and an error that stops the command is shown over the window.
    void runCommand(const std::function<void()>& body, bool reordered);

    void FindKey();       // F7
    void SelectAllRows(); // Ctrl+A
    // Opens the in-place editor on the word of a row.
    void editWord(int row);
    // Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y: take back or do again the last
    // command that changed the rows. Their actions are in the table's
    // context menu, named after the step ("Undo Add").
    void undoCommand();
    void redoCommand();
    QAction* undoAction() const { return m_undo; }
    QAction* redoAction() const { return m_redo; }

protected:
    ListFormBase(ProgramState& state, const char* objectName, const QString& title, QSize size, QSize minimum);

    // Builds the table (named viewName) over the core's rows with the given
    // columns; columnClicked(column) runs for header clicks and edit for a
    // confirmed in-place edit.
    void buildTable(const char* viewName, const QVector<ListRow>& rows, const QVector<ListColumn>& columns,
                    const QStringList& headers, std::function<bool(int, const QString&)> edit);
    QToolButton* addButton(const char* name, const QString& caption, const char* hint, std::function<void()> handler);
    void addSeparator(const char* name);
    // The designed width of a fixed column; it grows to show its caption.
    void setColumnWidth(int column, int width);
    // Puts texts UI[first], UI[first+1], ... into the title, the column
    // captions and the buttons, in this order (nothing while no pack is
    // loaded), then fits the fixed columns and the buttons to their texts.
    // It ends the building: the size, position and column widths the user
    // left are put back.
    void applyTexts(int first, const QList<QToolButton*>& buttons);

    // The core's rows, their selection and history.
    virtual ListRows& session() = 0;
    // A header click on a column, reversed for a second click on it; the
    // order it sorted in, nothing when the column does not sort.
    virtual std::optional<Qt::SortOrder> columnClicked(ListColumn column, bool reversed) = 0;
    // A key pressed in the table while no word is edited, with Ctrl held or
    // not; true when the window used it.
    virtual bool keyDown(int key, bool ctrl) = 0;
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
    // However the window closes, its size, position and column widths are
    // kept for the next time.
    void done(int result) override;

    ProgramState& m_state;

private:
    void syncSelectionToRows();
    void syncSelectionFromRows();
    void fitToTexts();
    void sortClicked(int section);
    void showSortIndicator();
    void updateHistoryActions();
    void restoreLayout();
    void saveLayout() const;

    GuiDialogs m_dialogs;
    QPointer<QWidget> m_mainWindow;
    QTableView* m_view = nullptr;
    ListTableModel* m_model = nullptr;
    QToolBar* m_toolBar = nullptr;
    QHBoxLayout* m_layout = nullptr;
    QList<QToolButton*> m_buttons;
    QMap<int, int> m_columnWidths;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    // The column the rows were last sorted by (-1: none, or the order has
    // changed since), whether that click reversed the order, and the order.
    int m_sortSection = -1;
    bool m_sortReversed = false;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
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
