#include "gui/DictionaryModel.h"

#include "core/base/CodePage1251.h"
#include "core/dictionary/Editing.h"

namespace vexlon::gui {

DictionaryModel::DictionaryModel(DictionaryTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_headers(builtInHeaders())
{
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
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cp1251::toUnicode(m_table.row(index.row()).cell(index.column()));
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
    const QByteArray typed = cp1251::fromUnicode(value.toString());
    return m_edit ? m_edit(index.row(), typed) : EditWord(m_table, index.row(), typed);
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
