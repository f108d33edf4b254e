#include "core/dictionary/DictionaryTable.h"

#include "core/base/CodePage1251.h"

namespace vexlon {

const QByteArray& DictRow::cell(int column) const
{
    Q_ASSERT(column != ColWord);
    switch (column) {
    case ColNumber:
        return number;
    case ColLanguageId:
        return languageId;
    case ColLanguage:
        return language;
    default:
        return status;
    }
}

QByteArray& DictRow::cell(int column)
{
    return const_cast<QByteArray&>(static_cast<const DictRow&>(*this).cell(column));
}

QString DictRow::text(int column) const
{
    return column == ColWord ? word : cp1251::toUnicode(cell(column));
}

void DictionaryTable::append(const DictRow& row)
{
    insert(count(), row);
}

void DictionaryTable::insert(int position, const DictRow& row)
{
    if (position < 0)
        position = 0;
    if (position > count())
        position = count();
    m_rows.insert(position, row);
    if (m_updateDepth > 0)
        m_pendingReset = true;
    else if (m_observer)
        m_observer->rowsInserted(position, position);
}

void DictionaryTable::removeAt(int index)
{
    m_rows.removeAt(index);
    if (m_updateDepth > 0)
        m_pendingReset = true;
    else if (m_observer)
        m_observer->rowsRemoved(index, index);
}

void DictionaryTable::clear()
{
    replaceAll({});
}

void DictionaryTable::replaceAll(QVector<DictRow> rows)
{
    m_rows = std::move(rows);
    if (m_updateDepth > 0)
        m_pendingReset = true;
    else if (m_observer)
        m_observer->tableReset();
}

void DictionaryTable::setRow(int index, const DictRow& row)
{
    m_rows[index] = row;
    changed(index, index);
}

void DictionaryTable::setCell(int index, int column, const QByteArray& text)
{
    if (column == ColWord)
        m_rows[index].word = cp1251::toUnicode(text);
    else
        m_rows[index].cell(column) = text;
    changed(index, index);
}

void DictionaryTable::setSelected(int index, bool selected)
{
    m_rows[index].selected = selected;
}

void DictionaryTable::changed(int first, int last)
{
    if (m_updateDepth > 0)
        m_pendingReset = true;
    else if (m_observer)
        m_observer->rowsChanged(first, last);
}

void DictionaryTable::beginUpdate()
{
    ++m_updateDepth;
}

void DictionaryTable::endUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0 && m_pendingReset) {
        m_pendingReset = false;
        if (m_observer)
            m_observer->tableReset();
    }
}

} // namespace vexlon
