#include "gui/ModalRunner.h"

#include <QDialog>

namespace vexlon::gui {

namespace {
DialogAnswerer* g_answerer = nullptr;
}

void setDialogAnswerer(DialogAnswerer* answerer)
{
    g_answerer = answerer;
}

DialogAnswerer* dialogAnswerer()
{
    return g_answerer;
}

int runModal(QDialog& dialog)
{
    if (g_answerer)
        return g_answerer->answer(dialog);
    return dialog.exec();
}

} // namespace vexlon::gui
