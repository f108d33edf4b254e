// The white list window: the white list's words in the user's order, with
// Add, Delete, Cancel Deletion, Move Up, Move Down, Change Language, Edit,
// Apply and Cancel. Changes stay in the rows until Apply replaces the white
// list; whatever closes the window, the main window then writes the list
// file and puts the list into the dictionary.
#pragma once

#include "gui/lists/ListEditForm.h"

namespace vexlon::gui {

class TWHITEFORM : public ListEditForm {
    Q_OBJECT
public:
    explicit TWHITEFORM(ProgramState& state);

    void ToolButton1Click() { addRow(); }
    void ToolButton2Click() { markDelete(); }
    void ToolButton3Click() { cancelDeletion(); }
    void ToolButton5Click(); // Move Up
    void ToolButton6Click(); // Move Down
    void ToolButton8Click() { changeLanguage(); }
    void ToolButton9Click() { editSelected(); }
    void ToolButton11Click() { apply(); }
    void ToolButton12Click() { closeWindow(QDialog::Rejected); } // Cancel

    QTableView* ListView1;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton5, *ToolButton6, *ToolButton8, *ToolButton9,
        *ToolButton11, *ToolButton12;

protected:
    bool keyDown(int key, bool ctrl) override;
    void cancelCommand() override { ToolButton12Click(); }
    void editCommand() override { ToolButton9Click(); }
};

} // namespace vexlon::gui
