// The dictionary table as the main window's table view sees it: a thin
// model over the core's DictionaryTable that follows every change the core
// reports. Texts are shown from the code page of the words; only the word
// column is editable, and only on rows that are not protected. A confirmed
// edit goes through the core's edit operation.
#pragma once

#include "core/dictionary/DictionaryTable.h"

#include <QAbstractTableModel>
#include <QStringList>

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

    // TableObserver
    void tableReset() override;
    void rowsInserted(int first, int last) override;
    void rowsRemoved(int first, int last) override;
    void rowsChanged(int first, int last) override;

signals:
    // A confirmed in-place edit changed a word (the status line is stale).
    void wordEdited(int row);

private:
    DictionaryTable& m_table;
    QStringList m_headers;
};

} // namespace vexlon::gui
