#include "gui/lists/BlackListForm.h"

#include "gui/lists/ListTableModel.h"

#include <QTableView>

namespace vexlon::gui {

TBLACKFORM::TBLACKFORM(ProgramState& state)
    : ListEditForm(state, WhiteBlackListSession::Kind::Black, "TBLACKFORM", QStringLiteral("Vexlon Black List "))
{
    buildTable("bList", m_rows.rows(), {ListColumn::Word, ListColumn::LanguageId, ListColumn::Language, ListColumn::Action},
               {QStringLiteral("Caption"), QStringLiteral("Language ID"), QStringLiteral("Language"),
                QStringLiteral("Action")},
               [this](int row, const QString& typed) { return m_rows.confirmEdit(row, typed); });
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

} // namespace vexlon::gui
