// The statistic window: every word of the statistic list with its rating,
// highest first. Deletions, new ratings, edited words and languages reach
// the statistic list only through Save or To Dictionary; To "White" List and
// To "Black" List change those lists at once.
#pragma once

#include "core/dictionary/DictionaryTable.h"
#include "gui/lists/ListFormBase.h"

#include <optional>

namespace vexlon::gui {

class TST : public ListFormBase {
    Q_OBJECT
public:
    // table: the dictionary table that To Dictionary fills.
    TST(ProgramState& state, DictionaryTable& table);

    const StatisticSession& rows() const { return m_rows; }

    void ToolButton1Click();  // Delete
    void ToolButton2Click();  // Cancel Deletion
    void ToolButton3Click();  // To "White" List
    void ToolButton4Click();  // To "Black" List
    void ToolButton5Click();  // Set Reiting
    void ToolButton6Click();  // Edit
    void ToolButton7Click();  // Set Language
    void ToolButton8Click();  // To Dictionary
    void ToolButton9Click();  // Save
    void ToolButton10Click(); // Cancel

    QTableView* ListView1;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton4, *ToolButton5, *ToolButton6, *ToolButton7,
        *ToolButton8, *ToolButton9, *ToolButton10;

protected:
    ListRows& session() override { return m_rows; }
    std::optional<Qt::SortOrder> columnClicked(ListColumn column, bool reversed) override
    {
        return m_rows.sortByColumn(column, reversed);
    }
    bool keyDown(int key, bool ctrl) override;
    void cancelCommand() override { ToolButton10Click(); }
    void editCommand() override { ToolButton6Click(); }

private:
    StatisticSession m_rows;
    DictionaryTable& m_table;
};

// The Set Reiting prompt: the text typed, or nothing when the prompt was
// cancelled (its Cancel button, Escape or the close box).
std::optional<QString> AskRating(const QString& prompt, const QString& okCaption, const QString& cancelCaption,
                                 QWidget* owner);

} // namespace vexlon::gui
