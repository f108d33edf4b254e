#include "gui/WordEditDelegate.h"

#include "core/dictionary/DictionaryTable.h"
#include "gui/DictionaryModel.h"

#include <QAbstractProxyModel>
#include <QLineEdit>
#include <QToolTip>

namespace vexlon::gui {

WordEditDelegate::WordEditDelegate(const DictionaryModel& model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model)
{
}

QWidget* WordEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || index.column() != ColWord)
        return editor;
    QModelIndex source = index;
    while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(source.model()))
        source = proxy->mapToSource(source);
    const int row = source.row();
    const auto check = [this, line, row](const QString& text) {
        bool storable = true;
        const QString notes = m_model.letterNotes(row, text, &storable);
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
