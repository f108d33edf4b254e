#include "gui/lists/ListEditForm.h"

#include "gui/lists/ListTableModel.h"

#include <QTableView>

namespace vexlon::gui {

ListEditForm::ListEditForm(ProgramState& state, WhiteBlackListSession::Kind kind, const char* objectName, const QString& title)
    : ListFormBase(state, objectName, title, QSize(510, 280), QSize(510, 280)), m_rows(state, kind), m_kind(kind)
{
}

void ListEditForm::addRow()
{
    int added = -1;
    runCommand([this, &added] { added = m_rows.add(); }, true);
    if (added >= 0)
        view()->scrollTo(tableModel()->index(added, 0));
}

void ListEditForm::markDelete()
{
    runCommand([this] { m_rows.markDelete(); }, false);
}

void ListEditForm::cancelDeletion()
{
    runCommand([this] { m_rows.cancelDeletion(); }, false);
}

void ListEditForm::changeLanguage()
{
    runCommand([this] { m_rows.changeLanguage(); }, false);
}

void ListEditForm::editSelected()
{
    int row = -1;
    runCommand([this, &row] { row = m_rows.firstSelected(); }, false);
    editWord(row);
}

void ListEditForm::apply()
{
    bool applied = false;
    runCommand(
        [this, &applied] {
            TLST& list = m_kind == WhiteBlackListSession::Kind::White ? m_state.whiteList : m_state.blackList;
            list = m_rows.apply();
            applied = true;
        },
        false);
    if (applied)
        closeWindow(QDialog::Accepted);
}

bool ListEditForm::sharedKey(int key, bool ctrl)
{
    switch (key) {
    case Qt::Key_Insert:
        addRow();
        return true;
    case Qt::Key_Delete:
        ctrl ? cancelDeletion() : markDelete();
        return true;
    case Qt::Key_L:
        if (!ctrl)
            return false;
        changeLanguage();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!ctrl)
            return false;
        apply();
        return true;
    default:
        return false;
    }
}

} // namespace vexlon::gui
