// The in-place editor of a word column: while a word is typed, each
// character the phone cannot store in the row's language, or does not know
// as one of its letters, is named with the reason beside the editor, and a
// word the phone cannot store is shown in red. Nothing typed is changed.
#pragma once

#include "gui/CellDelegate.h"

#include <functional>

namespace vexlon::gui {

class WordEditDelegate : public CellDelegate {
    Q_OBJECT
public:
    // The notes on a text typed for a row of the source model, one per line
    // (empty when there is nothing to say); storable is cleared when the
    // phone cannot store the text.
    using LetterNotes = std::function<QString(int row, const QString& text, bool* storable)>;

    WordEditDelegate(LetterNotes notes, QObject* parent = nullptr);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    LetterNotes m_notes;
};

} // namespace vexlon::gui
