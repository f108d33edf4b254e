#include "gui/lists/WhiteListForm.h"

#include "gui/lists/ListTableModel.h"

#include <QTableView>

namespace vexlon::gui {

TWHITEFORM::TWHITEFORM(ProgramState& state)
    : ListFormBase(state, "TWHITEFORM", QStringLiteral("Vexlon White List"), QSize(510, 280), QSize(510, 280)),
      m_rows(state, ListWindowModel::Kind::White)
{
    buildTable("ListView1", m_rows.rows(),
               {ListColumn::Word, ListColumn::Number, ListColumn::LanguageId, ListColumn::Language, ListColumn::Action},
               {QStringLiteral("Caption"), QStringLiteral("Index"), QStringLiteral("Language ID"),
                QStringLiteral("Language"), QStringLiteral("Action")},
               [this](int row, const QByteArray& typed) { return m_rows.confirmEdit(row, typed); });
    ListView1 = view();
    setColumnWidth(1, 50);
    setColumnWidth(2, 75);

    ToolButton1 = addButton("ToolButton1", QStringLiteral("Add"), "Insert", [this] { ToolButton1Click(); });
    ToolButton2 = addButton("ToolButton2", QStringLiteral("Delete"), "Del", [this] { ToolButton2Click(); });
    ToolButton3 = addButton("ToolButton3", QStringLiteral("Cancel Deletion"), "Ctrl+Del", [this] { ToolButton3Click(); });
    addSeparator("ToolButton4");
    ToolButton5 = addButton("ToolButton5", QStringLiteral("Move Up"), "Ctrl+Up", [this] { ToolButton5Click(); });
    ToolButton6 = addButton("ToolButton6", QStringLiteral("Move Down"), "Ctrl+Down", [this] { ToolButton6Click(); });
    addSeparator("ToolButton7");
    ToolButton8 = addButton("ToolButton8", QStringLiteral("Change Language"), "Ctrl+L", [this] { ToolButton8Click(); });
    ToolButton9 = addButton("ToolButton9", QStringLiteral("Edit"), nullptr, [this] { ToolButton9Click(); });
    addSeparator("ToolButton10");
    ToolButton11 = addButton("ToolButton11", QStringLiteral("Apply"), "Ctrl+Enter", [this] { ToolButton11Click(); });
    ToolButton12 = addButton("ToolButton12", QStringLiteral("Cancel"), "Esc", [this] { ToolButton12Click(); });

    applyTexts(69, {ToolButton1, ToolButton2, ToolButton3, ToolButton5, ToolButton6, ToolButton8, ToolButton9,
                    ToolButton11, ToolButton12});
}

void TWHITEFORM::ToolButton1Click()
{
    int added = -1;
    runCommand([this, &added] { added = m_rows.add(); }, true);
    if (added >= 0)
        ListView1->scrollTo(tableModel()->index(added, 0));
}

void TWHITEFORM::ToolButton2Click()
{
    runCommand([this] { m_rows.markDelete(); }, false);
}

void TWHITEFORM::ToolButton3Click()
{
    runCommand([this] { m_rows.cancelDeletion(); }, false);
}

void TWHITEFORM::ToolButton5Click()
{
    runCommand([this] { m_rows.moveUp(); }, true);
}

void TWHITEFORM::ToolButton6Click()
{
    runCommand([this] { m_rows.moveDown(); }, true);
}

void TWHITEFORM::ToolButton8Click()
{
    runCommand([this] { m_rows.changeLanguage(); }, false);
}

void TWHITEFORM::ToolButton9Click()
{
    int row = -1;
    runCommand([this, &row] { row = m_rows.firstSelected(); }, false);
    editWord(row);
}

void TWHITEFORM::ToolButton11Click()
{
    bool applied = false;
    runCommand(
        [this, &applied] {
            m_state.whiteList = m_rows.apply();
            applied = true;
        },
        false);
    if (applied)
        closeWindow(QDialog::Accepted);
}

void TWHITEFORM::ToolButton12Click()
{
    closeWindow(QDialog::Rejected);
}

bool TWHITEFORM::keyDown(int key)
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
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!CtrlDown)
            return false;
        key == Qt::Key_Up ? ToolButton5Click() : ToolButton6Click();
        return true;
    case Qt::Key_L:
        if (!CtrlDown)
            return false;
        ToolButton8Click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!CtrlDown)
            return false;
        ToolButton11Click();
        return true;
    default:
        return false;
    }
}

} // namespace vexlon::gui
