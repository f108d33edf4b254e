// The rows of a list window (white list, black list or statistic) as its
// table view sees them: a thin model over the rows that the core's window
// model keeps. The window tells the model what a command did: a whole new
// order (reset) or changed texts. Only the word column is editable; a
// confirmed in-place edit goes through the core's edit operation.
#pragma once

#include "core/dictionary/Letters.h"
#include "core/lists/ListEditing.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

namespace vexlon::gui {

class ListTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using EditHandler = std::function<bool(int row, const QString& typed)>;

    // rows: the core's rows, which outlive the model; columns: which field
    // each column shows; builtInHeaders: the captions while no pack is
    // loaded; edit: called for a confirmed in-place edit of a word.
    ListTableModel(const QVector<ListRow>& rows, QVector<ListColumn> columns, QStringList builtInHeaders,
                   EditHandler edit, QObject* parent = nullptr);

    // The column captions; an empty entry keeps the built-in caption.
    void setHeaders(const QStringList& headers);
    const QVector<ListColumn>& columns() const { return m_columns; }
    int columnOf(ListColumn field) const { return static_cast<int>(m_columns.indexOf(field)); }

    // After a command that changed the number or order of the rows.
    void rowsReordered();
    // After a command that changed texts of rows in place.
    void rowsChanged();

    // With the program's state the word column shows, in red and in its
    // tip, the characters the phone cannot store in the row's language.
    void setLetterChecks(const ProgramState& state);
    // The notes on a word typed for a row, as the main table gives them.
    QString letterNotes(int row, const QString& word, bool* storable = nullptr) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    QString field(const ListRow& row, ListColumn column) const;

    const QVector<ListRow>& m_rows;
    QVector<ListColumn> m_columns;
    QStringList m_builtIn;
    QStringList m_headers;
    EditHandler m_edit;
    std::unique_ptr<LetterChecker> m_letters;
};

} // namespace vexlon::gui
