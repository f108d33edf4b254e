// The black list window: the black list's words in word order, with Add,
// Delete, Cancel Deletion, Change Language, Edit, Apply and Cancel. Changes
// stay in the rows until Apply replaces the black list; whatever closes the
// window, the main window then writes the list file.
#pragma once

#include "gui/lists/ListFormBase.h"

namespace vexlon::gui {

class TBLACKFORM : public ListFormBase {
    Q_OBJECT
public:
    explicit TBLACKFORM(ProgramState& state);

    const ListWindowModel& rows() const { return m_rows; }

    void ToolButton1Click(); // Add
    void ToolButton2Click(); // Delete
    void ToolButton3Click(); // Cancel Deletion
    void ToolButton4Click(); // Change Language
    void ToolButton6Click(); // Edit
    void ToolButton8Click(); // Apply
    void ToolButton9Click(); // Cancel

    QTableView* bList;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton4, *ToolButton6, *ToolButton8, *ToolButton9;

protected:
    const QVector<ListRow>& coreRows() const override { return m_rows.rows(); }
    void setCoreSelected(int row, bool selected) override { m_rows.setSelected(row, selected); }
    void columnClicked(ListColumn column) override { m_rows.sortByColumn(column); }
    bool keyDown(int key) override;
    void cancelCommand() override { ToolButton9Click(); }
    void editCommand() override { ToolButton6Click(); }

private:
    ListWindowModel m_rows;
};

} // namespace vexlon::gui
