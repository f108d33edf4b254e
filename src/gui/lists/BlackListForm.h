// The black list window: the black list's words in word order, with Add,
// Delete, Cancel Deletion, Change Language, Edit, Apply and Cancel. Changes
// stay in the rows until Apply replaces the black list; whatever closes the
// window, the main window then writes the list file.
#pragma once

#include "gui/lists/ListEditForm.h"

namespace vexlon::gui {

class TBLACKFORM : public ListEditForm {
    Q_OBJECT
public:
    explicit TBLACKFORM(ProgramState& state);

    void ToolButton1Click() { addRow(); }
    void ToolButton2Click() { markDelete(); }
    void ToolButton3Click() { cancelDeletion(); }
    void ToolButton4Click() { changeLanguage(); }
    void ToolButton6Click() { editSelected(); }
    void ToolButton8Click() { apply(); }
    void ToolButton9Click() { closeWindow(QDialog::Rejected); } // Cancel

    QTableView* bList;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton4, *ToolButton6, *ToolButton8, *ToolButton9;

protected:
    bool keyDown(int key, bool ctrl) override { return sharedKey(key, ctrl); }
    void cancelCommand() override { ToolButton9Click(); }
    void editCommand() override { ToolButton6Click(); }
};

} // namespace vexlon::gui
