// The in-place editor of the word column: while a word is typed, each
// character the phone cannot store in the row's language, or does not know
// as one of its letters, is named with the reason beside the editor, and a
// word the phone cannot store is shown in red. Nothing typed is changed.
#pragma once

#include <QStyledItemDelegate>

namespace vexlon::gui {

class DictionaryModel;

class WordEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    WordEditDelegate(const DictionaryModel& model, QObject* parent = nullptr);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const DictionaryModel& m_model;
};

} // namespace vexlon::gui
