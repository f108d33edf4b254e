// The white list window: the white list's words in the user's order, with
// Add, Delete, Cancel Deletion, Move Up, Move Down, Change Language, Edit,
// Apply and Cancel. Changes stay in the rows until Apply replaces the white
// list; whatever closes the window, the main window then writes the list
// file and puts the list into the dictionary.
#pragma once

#include "gui/lists/ListFormBase.h"

namespace vexlon::gui {

class TWHITEFORM : public ListFormBase {
    Q_OBJECT
public:
    explicit TWHITEFORM(ProgramState& state);

    const ListWindowModel& rows() const { return m_rows; }

    void ToolButton1Click();  // Add
    void ToolButton2Click();  // Delete
    void ToolButton3Click();  // Cancel Deletion
    void ToolButton5Click();  // Move Up
    void ToolButton6Click();  // Move Down
    void ToolButton8Click();  // Change Language
    void ToolButton9Click();  // Edit
    void ToolButton11Click(); // Apply
    void ToolButton12Click(); // Cancel

    QTableView* ListView1;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton5, *ToolButton6, *ToolButton8, *ToolButton9,
        *ToolButton11, *ToolButton12;

protected:
    const QVector<ListRow>& coreRows() const override { return m_rows.rows(); }
    void setCoreSelected(int row, bool selected) override { m_rows.setSelected(row, selected); }
    void columnClicked(ListColumn column) override { m_rows.sortByColumn(column); }
    bool keyDown(int key) override;
    void cancelCommand() override { ToolButton12Click(); }
    void editCommand() override { ToolButton9Click(); }

private:
    ListWindowModel m_rows;
};

} // namespace vexlon::gui
