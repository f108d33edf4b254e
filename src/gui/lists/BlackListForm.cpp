#include "gui/lists/BlackListForm.h"

#include "gui/lists/ListTableModel.h"

#include <QTableView>

namespace vexlon::gui {

TBLACKFORM::TBLACKFORM(ProgramState& state)
    : ListFormBase(state, "TBLACKFORM", QStringLiteral("Vexlon Black List "), QSize(510, 280), QSize(510, 280)),
      m_rows(state, ListWindowModel::Kind::Black)
{
    buildTable("bList", m_rows.rows(), {ListColumn::Word, ListColumn::LanguageId, ListColumn::Language, ListColumn::Action},
               {QStringLiteral("Caption"), QStringLiteral("Language ID"), QStringLiteral("Language"),
                QStringLiteral("Action")},
               [this](int row, const QByteArray& typed) { return m_rows.confirmEdit(row, typed); });
    bList = view();
    setColumnWidth(1, 80);

    ToolButton1 = addButton("ToolButton1", QStringLiteral("Add"), "Insert", [this] { ToolButton1Click(); });
    ToolButton2 = addButton("ToolButton2", QStringLiteral("Delete"), "Del", [this] { ToolButton2Click(); });
    ToolButton3 = addButton("ToolButton3", QStringLiteral("Cancel Deletion"), "Ctrl+Del", [this] { ToolButton3Click(); });
    ToolButton4 = addButton("ToolButton4", QStringLiteral("Change Language"), "Ctrl+L", [this] { ToolButton4Click(); });
    addSeparator("ToolButton5");
    ToolButton6 = addButton("ToolButton6", QStringLiteral("Edit"), nullptr, [this] { ToolButton6Click(); });
    addSeparator("ToolButton7");
    ToolButton8 = addButton("ToolButton8", QStringLiteral("Apply"), "Ctrl+Enter", [this] { ToolButton8Click(); });
    ToolButton9 = addButton("ToolButton9", QStringLiteral("Cancel"), "Esc", [this] { ToolButton9Click(); });

    applyTexts(57, {ToolButton1, ToolButton2, ToolButton3, ToolButton4, ToolButton6, ToolButton8, ToolButton9});
}

void TBLACKFORM::ToolButton1Click()
{
    int added = -1;
    runCommand([this, &added] { added = m_rows.add(); }, true);
    if (added >= 0)
        bList->scrollTo(tableModel()->index(added, 0));
}

void TBLACKFORM::ToolButton2Click()
{
    runCommand([this] { m_rows.markDelete(); }, false);
}

void TBLACKFORM::ToolButton3Click()
{
    runCommand([this] { m_rows.cancelDeletion(); }, false);
}

void TBLACKFORM::ToolButton4Click()
{
    runCommand([this] { m_rows.changeLanguage(); }, false);
}

void TBLACKFORM::ToolButton6Click()
{
    int row = -1;
    runCommand([this, &row] { row = m_rows.firstSelected(); }, false);
    editWord(row);
}

void TBLACKFORM::ToolButton8Click()
{
    bool applied = false;
    runCommand(
        [this, &applied] {
            m_state.blackList = m_rows.apply();
            applied = true;
        },
        false);
    if (applied)
        closeWindow(QDialog::Accepted);
}

void TBLACKFORM::ToolButton9Click()
{
    closeWindow(QDialog::Rejected);
}

bool TBLACKFORM::keyDown(int key)
{
    switch (key) {
    case Qt::Key_Insert:
        ToolButton1Click();
        return true;
    case Qt::Key_Delete:
        if (editingWord())
            return false;
        CtrlDown ? ToolButton3Click() : ToolButton2Click();
        return true;
    case Qt::Key_L:
        if (!CtrlDown)
            return false;
        ToolButton4Click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!CtrlDown)
            return false;
        ToolButton8Click();
        return true;
    default:
        return false;
    }
}

} // namespace vexlon::gui
