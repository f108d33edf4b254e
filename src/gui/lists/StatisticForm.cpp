#include "gui/lists/StatisticForm.h"

#include "gui/ModalRunner.h"
#include "gui/lists/ListTableModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

namespace vexlon::gui {

std::optional<QString> AskRating(const QString& prompt, const QString& okCaption, const QString& cancelCaption,
                                 QWidget* owner)
{
    constexpr int width = 300;
    constexpr int height = 150;
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("SetReiting"));
    dialog.setWindowTitle(QStringLiteral("Vexlon"));
    dialog.setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    dialog.setFixedSize(width, height);

    auto* label = new QLabel(prompt, &dialog);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(10, 5, width - 20, 17);
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->setFrame(false);
    edit->setGeometry(10, 30, width - 33, 21);
    // OK and Cancel side by side under the field; Escape cancels too.
    auto* button = new QPushButton(okCaption, &dialog);
    button->setObjectName(QStringLiteral("Button1"));
    button->setGeometry(width / 2 - 80, height - 50 - 23, 75, 23);
    button->setDefault(true);
    auto* cancel = new QPushButton(cancelCaption, &dialog);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setGeometry(width / 2 + 5, height - 50 - 23, 75, 23);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    if (const QScreen* screen = dialog.screen())
        dialog.move(screen->availableGeometry().center() - QPoint(width / 2, height / 2));

    if (runModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

TST::TST(ProgramState& state, DictionaryTable& table)
    : ListFormBase(state, "TST", QStringLiteral("Vexlon Statistic"), QSize(600, 420), QSize(510, 320)),
      m_rows(state), m_table(table)
{
    buildTable("ListView1", m_rows.rows(),
               {ListColumn::Word, ListColumn::Number, ListColumn::LanguageId, ListColumn::Language, ListColumn::Action},
               {QStringLiteral("Caption"), QStringLiteral("Reiting"), QStringLiteral("Language ID"),
                QStringLiteral("Language"), QStringLiteral("Action")},
               [this](int row, const QString& typed) { return m_rows.confirmEdit(row, typed); });
    ListView1 = view();
    setColumnWidth(1, 60);

    ToolButton1 = addButton("ToolButton1", QStringLiteral("Delete"), "Del", [this] { ToolButton1Click(); });
    ToolButton2 = addButton("ToolButton2", QStringLiteral("Cancel Deletion"), "Ctrl+Del", [this] { ToolButton2Click(); });
    ToolButton3 = addButton("ToolButton3", QStringLiteral("To \"White\" List"), "Ctrl+W", [this] { ToolButton3Click(); });
    ToolButton4 = addButton("ToolButton4", QStringLiteral("To \"Black\" List"), "Ctrl+B", [this] { ToolButton4Click(); });
    ToolButton5 = addButton("ToolButton5", QStringLiteral("Set Reiting"), "Ctrl+R", [this] { ToolButton5Click(); });
    ToolButton6 = addButton("ToolButton6", QStringLiteral("Edit"), nullptr, [this] { ToolButton6Click(); });
    ToolButton7 = addButton("ToolButton7", QStringLiteral("Set Language"), "Ctrl+L", [this] { ToolButton7Click(); });
    ToolButton8 = addButton("ToolButton8", QStringLiteral("To Dictionary"), "Ctrl+D", [this] { ToolButton8Click(); });
    ToolButton9 = addButton("ToolButton9", QStringLiteral("Save"), "Ctrl+Enter", [this] { ToolButton9Click(); });
    ToolButton10 = addButton("ToolButton10", QStringLiteral("Cancel"), "Esc", [this] { ToolButton10Click(); });

    applyTexts(84, {ToolButton1, ToolButton2, ToolButton3, ToolButton4, ToolButton5, ToolButton6, ToolButton7,
                    ToolButton8, ToolButton9, ToolButton10});
}

void TST::ToolButton1Click()
{
    runCommand([this] { m_rows.markDelete(); }, false);
}

void TST::ToolButton2Click()
{
    runCommand([this] { m_rows.cancelDeletion(); }, false);
}

void TST::ToolButton3Click()
{
    runCommand([this] { m_rows.toWhiteList(); }, false);
}

void TST::ToolButton4Click()
{
    runCommand([this] { m_rows.toBlackList(); }, false);
}

void TST::ToolButton5Click()
{
    runCommand(
        [this] {
            if (!m_rows.hasSelection())
                return;
            const UiTexts& t = m_state.texts;
            const std::optional<QString> typed = AskRating(t.MESSAGES(24), t.MESSAGES(7), t.MESSAGES(8), this);
            if (typed)
                m_rows.setRating(*typed);
        },
        false);
}

void TST::ToolButton6Click()
{
    editWord(currentRow());
}

void TST::ToolButton7Click()
{
    runCommand([this] { m_rows.setLanguage(); }, false);
}

void TST::ToolButton8Click()
{
    bool done = false;
    runCommand([this, &done] { done = m_rows.toDictionary(m_table); }, true);
    if (done)
        closeWindow(QDialog::Accepted);
}

void TST::ToolButton9Click()
{
    runCommand([this] { m_rows.save(true); }, true);
}

void TST::ToolButton10Click()
{
    bool close = false;
    runCommand([this, &close] { close = m_rows.cancel(); }, false);
    if (close)
        closeWindow(QDialog::Rejected);
}

bool TST::keyDown(int key, bool ctrl)
{
    switch (key) {
    case Qt::Key_Delete:
        ctrl ? ToolButton2Click() : ToolButton1Click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!ctrl)
            return false;
        ToolButton9Click();
        return true;
    default:
        break;
    }
    if (!ctrl)
        return false;
    switch (key) {
    case Qt::Key_B:
        ToolButton4Click();
        return true;
    case Qt::Key_W:
        ToolButton3Click();
        return true;
    case Qt::Key_R:
        ToolButton5Click();
        return true;
    case Qt::Key_L:
        ToolButton7Click();
        return true;
    case Qt::Key_D:
        ToolButton8Click();
        return true;
    default:
        return false;
    }
}

} // namespace vexlon::gui
