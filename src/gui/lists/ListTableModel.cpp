#include "gui/lists/ListTableModel.h"

#include "core/base/CodePage1251.h"

#include <QColor>

namespace vexlon::gui {

ListTableModel::ListTableModel(const QVector<ListRow>& rows, QVector<ListColumn> columns, QStringList builtInHeaders,
                               EditHandler edit, QObject* parent)
    : QAbstractTableModel(parent), m_rows(rows), m_columns(std::move(columns)), m_builtIn(std::move(builtInHeaders)),
      m_headers(m_builtIn), m_edit(std::move(edit))
{
}

void ListTableModel::setHeaders(const QStringList& headers)
{
    for (int i = 0; i < m_headers.size(); ++i)
        m_headers[i] = i < headers.size() && !headers.at(i).isEmpty() ? headers.at(i) : m_builtIn.at(i);
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void ListTableModel::rowsReordered()
{
    beginResetModel();
    endResetModel();
}

void ListTableModel::rowsChanged()
{
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int ListTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ListTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString ListTableModel::field(const ListRow& row, ListColumn column) const
{
    switch (column) {
    case ListColumn::Word:
        return row.word;
    case ListColumn::Number:
        return cp1251::toUnicode(row.number);
    case ListColumn::LanguageId:
        return cp1251::toUnicode(row.languageId);
    case ListColumn::Language:
        return cp1251::toUnicode(row.language);
    case ListColumn::Action:
        break;
    }
    return cp1251::toUnicode(row.action);
}

namespace {

bool isNumberColumn(ListColumn column)
{
    return column == ListColumn::Number || column == ListColumn::LanguageId;
}

} // namespace

QVariant ListTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const ListColumn column = m_columns.at(index.column());
    switch (role) {
    case Qt::ToolTipRole:
        if (column == ListColumn::Word)
            return letterNotes(index.row(), m_rows.at(index.row()).word);
        return {};
    case Qt::ForegroundRole: {
        if (column != ListColumn::Word)
            return {};
        bool storable = true;
        letterNotes(index.row(), m_rows.at(index.row()).word, &storable);
        return storable ? QVariant() : QVariant(QColor(Qt::red));
    }
    case Qt::DisplayRole:
        return column == ListColumn::Word ? cp1251::shown(m_rows.at(index.row()).word) : field(m_rows.at(index.row()), column);
    case Qt::EditRole:
        return field(m_rows.at(index.row()), column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment((isNumberColumn(column) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_headers.value(section);
    if (role == Qt::TextAlignmentRole && isNumberColumn(m_columns.at(section)))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags ListTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_columns.value(index.column()) == ListColumn::Word)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ListTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount()
        || m_columns.value(index.column()) != ListColumn::Word || !m_edit)
        return false;
    if (!m_edit(index.row(), value.toString()))
        return false;
    // The mark of the row changed along with its word.
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

void ListTableModel::setLetterChecks(const ProgramState& state)
{
    m_letters = std::make_unique<LetterChecker>(state);
}

QString ListTableModel::letterNotes(int row, const QString& word, bool* storable) const
{
    if (storable)
        *storable = true;
    if (!m_letters || row < 0 || row >= m_rows.size())
        return {};
    QStringList lines;
    for (const LetterNote& note : m_letters->check(word, m_rows.at(row).languageId)) {
        if (!note.storable && storable)
            *storable = false;
        lines << (note.storable ? QString() : QStringLiteral("Cannot be stored: ")) + note.reason;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace vexlon::gui
