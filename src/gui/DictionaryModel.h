// The dictionary table as the main window's table view sees it: a thin
// model over the core's DictionaryTable that follows every change the core
// reports. Texts are shown from the code page of the words; only the word
// column is editable, and only on rows that are not protected. A confirmed
// edit goes to the editor's edit command.
#pragma once

#include "core/dictionary/DictionaryTable.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <functional>

namespace vexlon::gui {

class DictionaryModel : public QAbstractTableModel, public TableObserver {
    Q_OBJECT
public:
    explicit DictionaryModel(DictionaryTable& table, QObject* parent = nullptr);
    ~DictionaryModel() override;

    // The five column captions; an empty entry keeps the built-in caption.
    void setHeaders(const QStringList& headers);
    static QStringList builtInHeaders();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    DictionaryTable& table() { return m_table; }
    // What a confirmed in-place edit of a row runs (the typed text in the
    // words' code page); true when the word changed.
    void setEditCommand(std::function<bool(int, const QByteArray&)> command) { m_edit = std::move(command); }

    // TableObserver
    void tableReset() override;
    void rowsInserted(int first, int last) override;
    void rowsRemoved(int first, int last) override;
    void rowsChanged(int first, int last) override;

private:
    DictionaryTable& m_table;
    QStringList m_headers;
    std::function<bool(int, const QByteArray&)> m_edit;
};

// The live filter above the table: the rows whose word holds the typed text
// anywhere, letters compared without case. It only hides rows; numbering,
// order and what is saved stay the core's.
class WordFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit WordFilterModel(QObject* parent = nullptr);
    void setPattern(const QString& pattern);
    QString pattern() const { return m_pattern; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString m_pattern;
};

} // namespace vexlon::gui
