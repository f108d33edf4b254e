#include "gui/DictionaryModel.h"

#include "core/base/CodePage1251.h"
#include "core/dictionary/Editing.h"
#include "core/dictionary/Letters.h"

#include <QColor>

namespace vexlon::gui {

DictionaryModel::DictionaryModel(DictionaryTable& table, const ProgramState* state, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_state(state), m_headers(builtInHeaders())
{
    if (m_state)
        m_letters = std::make_unique<LetterChecker>(*m_state);
    m_table.setObserver(this);
}

DictionaryModel::~DictionaryModel()
{
    m_table.setObserver(nullptr);
}

QStringList DictionaryModel::builtInHeaders()
{
    QStringList headers;
    for (const char* caption : kColumnCaptions)
        headers << QString::fromLatin1(caption);
    return headers;
}

void DictionaryModel::setHeaders(const QStringList& headers)
{
    const QStringList builtIn = builtInHeaders();
    for (int i = 0; i < kColumnCount; ++i)
        m_headers[i] = i < headers.size() && !headers.at(i).isEmpty() ? headers.at(i) : builtIn.at(i);
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

int DictionaryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.count();
}

int DictionaryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant DictionaryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_table.count())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const DictRow& row = m_table.row(index.row());
        if (index.column() == ColWord)
            return cp1251::shown(row.word);
        if (index.column() == ColStatus)
            return statusText(row);
        return row.text(index.column());
    }
    case Qt::EditRole:
        return m_table.row(index.row()).text(index.column());
    case Qt::ToolTipRole:
        if (index.column() == ColWord || index.column() == ColStatus)
            return letterNotes(index.row(), m_table.row(index.row()).word);
        return {};
    case Qt::ForegroundRole: {
        if (index.column() != ColWord && index.column() != ColStatus)
            return {};
        bool storable = true;
        letterNotes(index.row(), m_table.row(index.row()).word, &storable);
        return storable ? QVariant() : QVariant(QColor(Qt::red));
    }
    case Qt::TextAlignmentRole:
        if (index.column() == ColNumber || index.column() == ColLanguageId)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant DictionaryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return m_headers.at(section);
    if (role == Qt::TextAlignmentRole && (section == ColNumber || section == ColLanguageId))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags DictionaryModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ColWord && index.row() < m_table.count() && CanEditWord(m_table, index.row()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool DictionaryModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() != ColWord || index.row() >= m_table.count())
        return false;
    const QString typed = value.toString();
    return m_edit ? m_edit(index.row(), typed) : EditWord(m_table, index.row(), typed);
}

QString DictionaryModel::letterNotes(int row, const QString& word, bool* storable) const
{
    if (storable)
        *storable = true;
    if (!m_state || row < 0 || row >= m_table.count())
        return {};
    QStringList lines;
    for (const LetterNote& note : m_letters->check(word, m_table.row(row).languageId)) {
        if (!note.storable && storable)
            *storable = false;
        lines << (note.storable ? QString() : QStringLiteral("Cannot be stored: ")) + note.reason;
    }
    return lines.join(QLatin1Char('\n'));
}

QString DictionaryModel::statusText(const DictRow& row) const
{
    QString text = cp1251::toUnicode(row.status);
    const QString kept = cp1251::keptCodesText(row.word);
    if (!kept.isEmpty())
        text += QStringLiteral(" \u2022 kept codes %1").arg(kept);
    if (m_state) {
        const qsizetype bad = m_letters->firstUnstorable(row.word, row.languageId);
        if (bad >= 0)
            text += QStringLiteral(" \u2022 cannot store \"%1\"").arg(row.word.at(bad));
    }
    return text;
}

void DictionaryModel::tableReset()
{
    beginResetModel();
    endResetModel();
}

void DictionaryModel::rowsInserted(int first, int last)
{
    // The core has already inserted the rows; the view is told afterwards.
    beginInsertRows(QModelIndex(), first, last);
    endInsertRows();
}

void DictionaryModel::rowsRemoved(int first, int last)
{
    beginRemoveRows(QModelIndex(), first, last);
    endRemoveRows();
}

void DictionaryModel::rowsChanged(int first, int last)
{
    emit dataChanged(index(first, 0), index(last, kColumnCount - 1));
}

WordFilterModel::WordFilterModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
}

void WordFilterModel::setPattern(const QString& pattern)
{
    if (pattern == m_pattern)
        return;
    m_pattern = pattern;
    invalidateRowsFilter();
}

bool WordFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_pattern.isEmpty())
        return true;
    const QString word = sourceModel()->index(sourceRow, ColWord, sourceParent).data(Qt::DisplayRole).toString();
    return word.contains(m_pattern, Qt::CaseInsensitive);
}

} // namespace vexlon::gui
