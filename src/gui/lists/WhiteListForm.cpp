#include "gui/lists/WhiteListForm.h"

#include "gui/lists/ListTableModel.h"

#include <QTableView>

namespace vexlon::gui {

TWHITEFORM::TWHITEFORM(ProgramState& state)
    : ListEditForm(state, WhiteBlackListSession::Kind::White, "TWHITEFORM", QStringLiteral("Vexlon White List"))
{
    buildTable("ListView1", m_rows.rows(),
               {ListColumn::Word, ListColumn::Number, ListColumn::LanguageId, ListColumn::Language, ListColumn::Action},
               {QStringLiteral("Caption"), QStringLiteral("Index"), QStringLiteral("Language ID"),
                QStringLiteral("Language"), QStringLiteral("Action")},
               [this](int row, const QString& typed) { return m_rows.confirmEdit(row, typed); });
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

void TWHITEFORM::ToolButton5Click()
{
    runCommand([this] { m_rows.moveUp(); }, true);
}

void TWHITEFORM::ToolButton6Click()
{
    runCommand([this] { m_rows.moveDown(); }, true);
}

bool TWHITEFORM::keyDown(int key, bool ctrl)
{
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && ctrl) {
        key == Qt::Key_Up ? ToolButton5Click() : ToolButton6Click();
        return true;
    }
    return sharedKey(key, ctrl);
}

} // namespace vexlon::gui
