#include "gui/SharedDialogs.h"

#include "gui/ModalRunner.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

namespace vexlon::gui {

namespace {

constexpr uint8_t kNothingChosen = 255;

void centreOnScreen(QDialog& dialog)
{
    dialog.setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    if (const QScreen* screen = dialog.screen()) {
        const QRect area = screen->availableGeometry();
        dialog.move(area.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
    }
}

} // namespace

uint8_t ChooseLanguage(const QString& prompt, const QString& okCaption, const QString& cancelCaption,
                       const QStringList& languageNames, QWidget* owner)
{
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("ChooseLanguage"));
    dialog.setWindowTitle(QStringLiteral("Vexlon"));

    auto* label = new QLabel(prompt, &dialog);
    label->setObjectName(QStringLiteral("Label1"));
    label->move(10, 5);
    label->adjustSize();
    const int labelWidth = qMax(label->width(), 120);

    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("ListBox1"));
    list->setFrameShape(QFrame::NoFrame);
    list->setGeometry(10, 30, labelWidth + 19 - 10, 200);
    list->addItems(languageNames);
    if (list->count() > 0)
        list->setCurrentRow(0);

    const int buttonWidth = qMax((labelWidth - 20) / 2, 50);
    auto* ok = new QPushButton(okCaption, &dialog);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setGeometry(10, 240, buttonWidth, 25);
    ok->setDefault(true);
    auto* cancel = new QPushButton(cancelCaption, &dialog);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setGeometry((labelWidth + 25) / 2, 240, buttonWidth, 25);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);

    dialog.setFixedSize(qMax(labelWidth + 25, (labelWidth + 25) / 2 + buttonWidth + 10), 300);
    centreOnScreen(dialog);

    if (runModal(dialog) != QDialog::Accepted)
        return kNothingChosen;
    const int row = list->currentRow();
    if (row < 0 || row >= kNothingChosen)
        return kNothingChosen;
    return static_cast<uint8_t>(row);
}

std::optional<QString> AskFindText(const QString& title, const QString& prompt, const QString& buttonCaption,
                                   QWidget* owner)
{
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("FindInTable"));
    dialog.setWindowTitle(title);
    dialog.setFixedSize(300, 150);

    auto* label = new QLabel(prompt, &dialog);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(10, 8, 300 - 20, 17);
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->setFrame(false);
    edit->setGeometry(5, 8 + 17 + 5, 300 - 13, 21);
    auto* button = new QPushButton(buttonCaption, &dialog);
    button->setObjectName(QStringLiteral("Button1"));
    button->setGeometry(300 / 2 - 35, 150 - 50 - 23, 70, 23);
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
    centreOnScreen(dialog);

    if (runModal(dialog) != QDialog::Accepted || edit->text().isEmpty())
        return std::nullopt;
    return edit->text();
}

} // namespace vexlon::gui
