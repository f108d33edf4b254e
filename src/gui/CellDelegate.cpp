#include "gui/CellDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

namespace vexlon::gui {

QString visibleText(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        if (c == QLatin1Char('\t'))
            c = QChar(0x2192);
        else if (c.unicode() < 0x20)
            c = QChar(static_cast<char16_t>(0x2400 + c.unicode()));
        else if (c.unicode() == 0x7F)
            c = QChar(0x2421);
    }
    return out;
}

QString CellDelegate::displayText(const QVariant& value, const QLocale& locale) const
{
    return visibleText(QStyledItemDelegate::displayText(value, locale));
}

bool CellDelegate::isCut(const QStyleOptionViewItem& option, const QAbstractItemView* view, const QString& text) const
{
    const QStyle* style = view ? view->style() : QApplication::style();
    // The room the style leaves the text: its rectangle less the margin it
    // keeps on either side.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, view) + 1;
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &option, view);
    return option.fontMetrics.horizontalAdvance(text) > room.width() - 2 * margin;
}

QString CellDelegate::cellToolTip(const QAbstractItemView* view, const QModelIndex& index) const
{
    if (!view || !index.isValid())
        return {};
    QStyleOptionViewItem option;
    option.initFrom(view->viewport());
    option.rect = view->visualRect(index);
    option.font = view->font();
    option.fontMetrics = view->fontMetrics();
    initStyleOption(&option, index);
    const QString notes = index.data(Qt::ToolTipRole).toString();
    const QString text = option.text;
    if (text.isEmpty() || !isCut(option, view, text))
        return notes;
    return notes.isEmpty() ? text : text + QLatin1Char('\n') + notes;
}

bool CellDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                             const QModelIndex& index)
{
    if (!event || !view || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString tip = cellToolTip(view, index);
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return false;
    }
    QToolTip::showText(event->globalPos(), tip, view, view->visualRect(index));
    return true;
}

} // namespace vexlon::gui
