// How the cells of the editor's tables are drawn: a character that takes no
// room of its own (a tab inside a word) is shown by a visible sign, and a
// text too long for its cell is cut with "…" and shown whole in the cell's
// tooltip. Only the view changes; the word itself stays as it is.
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace vexlon::gui {

// The text as a cell shows it: a tab as "→", any other control character as
// its Unicode control picture (U+2400 and on).
QString visibleText(const QString& text);

class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CellDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    QString displayText(const QVariant& value, const QLocale& locale) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // The tooltip of the cell as the view now shows it: its whole text when
    // the cell cuts it, followed by the model's own tooltip; empty when there
    // is nothing to show.
    QString cellToolTip(const QAbstractItemView* view, const QModelIndex& index) const;

private:
    bool isCut(const QStyleOptionViewItem& option, const QAbstractItemView* view, const QString& text) const;
};

} // namespace vexlon::gui
