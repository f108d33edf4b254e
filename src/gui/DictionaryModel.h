// The dictionary table as the main window's table view sees it: a thin
// model over the core's DictionaryTable that follows every change the core
// reports. A kept code (a phone code that stands for no character) shows as
// its byte between angle brackets, and the Status column flags the row; so
// does a character the phone cannot store in the row's language. Only the
// word column is editable, and only on rows that are not protected. A
// confirmed edit goes to the editor's edit command.
#pragma once

#include "core/base/ProgramState.h"
#include "core/dictionary/DictionaryTable.h"
#include "core/dictionary/Letters.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <functional>
#include <memory>

namespace vexlon::gui {

class DictionaryModel : public QAbstractTableModel, public TableObserver {
    Q_OBJECT
public:
    // state: the settings and language structure the letter notes follow;
    // without it no notes are made.
    explicit DictionaryModel(DictionaryTable& table, const ProgramState* state = nullptr, QObject* parent = nullptr);
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
    // What a confirmed in-place edit of a row runs; true when the word
    // changed.
    void setEditCommand(std::function<bool(int, const QString&)> command) { m_edit = std::move(command); }
    // The notes on a word typed for a row: each character the phone cannot
    // store or does not know as a letter of the row's language, with the
    // reason, one per line; empty when there is nothing to say.
    QString letterNotes(int row, const QString& word, bool* storable = nullptr) const;

    // TableObserver
    void tableReset() override;
    void rowsInserted(int first, int last) override;
    void rowsRemoved(int first, int last) override;
    void rowsChanged(int first, int last) override;

private:
    QString statusText(const DictRow& row) const;

    DictionaryTable& m_table;
    const ProgramState* m_state;
    std::unique_ptr<LetterChecker> m_letters;
    QStringList m_headers;
    std::function<bool(int, const QString&)> m_edit;
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
