// What the white list and black list windows share beyond the common window
// frame: the rows of one list, and the commands and keys both windows have
// (Add, Delete, Cancel Deletion, Change Language, Edit, Apply).
#pragma once

#include "gui/lists/ListFormBase.h"

namespace vexlon::gui {

class ListEditForm : public ListFormBase {
    Q_OBJECT
public:
    const WhiteBlackListSession& rows() const { return m_rows; }

protected:
    ListEditForm(ProgramState& state, WhiteBlackListSession::Kind kind, const char* objectName, const QString& title);

    void addRow();
    void markDelete();
    void cancelDeletion();
    void changeLanguage();
    void editSelected();
    // Replaces the window's list with the rows and closes the window.
    void apply();

    // Insert, Del and Ctrl+Del, Ctrl+L, Ctrl+Enter; true when the key was one
    // of them.
    bool sharedKey(int key, bool ctrl);

    ListRows& session() override { return m_rows; }
    std::optional<Qt::SortOrder> columnClicked(ListColumn column, bool reversed) override
    {
        return m_rows.sortByColumn(column, reversed);
    }

    WhiteBlackListSession m_rows;

private:
    WhiteBlackListSession::Kind m_kind;
};

} // namespace vexlon::gui
