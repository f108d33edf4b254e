#include "core/dictionary/Find.h"

namespace vexlon {

QVector<int> rowsStartingWith(const QVector<QString>& words, const QString& text)
{
    QVector<int> found;
    if (text.isEmpty())
        return found;
    for (int i = 0; i < words.size(); ++i) {
        if (words.at(i).startsWith(text))
            found.append(i);
    }
    return found;
}

QVector<int> FindInTable(DictionaryTable& table, const QString& text)
{
    QVector<QString> words;
    words.reserve(table.count());
    for (const DictRow& row : table.rows())
        words.append(row.word);
    const QVector<int> found = rowsStartingWith(words, text);
    if (text.isEmpty())
        return found;
    for (int i = 0; i < table.count(); ++i)
        table.setSelected(i, false);
    for (int i : found)
        table.setSelected(i, true);
    return found;
}

} // namespace vexlon
