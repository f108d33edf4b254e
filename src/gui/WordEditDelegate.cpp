#include "gui/WordEditDelegate.h"

#include <QAbstractProxyModel>
#include <QLineEdit>
#include <QToolTip>

namespace vexlon::gui {

WordEditDelegate::WordEditDelegate(LetterNotes notes, QObject* parent)
    : CellDelegate(parent), m_notes(std::move(notes))
{
}

QWidget* WordEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return editor;
    QModelIndex source = index;
    while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(source.model()))
        source = proxy->mapToSource(source);
    const int row = source.row();
    const auto check = [this, line, row](const QString& text) {
        bool storable = true;
        const QString notes = m_notes(row, text, &storable);
        line->setProperty("letterNotes", notes);
        line->setToolTip(notes);
        line->setStyleSheet(storable ? QString() : QStringLiteral("color: red;"));
        if (notes.isEmpty())
            QToolTip::hideText();
        else if (line->isVisible())
            QToolTip::showText(line->mapToGlobal(QPoint(0, line->height())), notes, line);
    };
    connect(line, &QLineEdit::textChanged, line, check);
    return editor;
}

} // namespace vexlon::gui
