// The dictionary table: one row per word with its number, language and
// status. The word is Unicode text (kept codes included); the other cells
// are 8-bit text. It is the only model of the dictionary being
// edited; the editor's table view presents it and every command changes it
// in place.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>

namespace vexlon {

enum Column { ColWord = 0, ColNumber = 1, ColLanguageId = 2, ColLanguage = 3, ColStatus = 4 };
inline constexpr int kColumnCount = 5;
// The built-in captions of the columns, in column order.
inline const char* const kColumnCaptions[kColumnCount] = {"Caption", "Number", "language ID", "Language", "Status"};

namespace status {
inline const char* const UsersDictionary = "Users Dictionary";
inline const char* const CsvFile = "CSV file format";
inline const char* const TextFile = "Text File";
inline const char* const AddedByUser = "Added by User";
inline const char* const EditedByUser = "Edited by User";
inline const char* const Locked = "Locked";
inline const char* const WhiteList = "White List";
inline const char* const BlackList = "Black List";
} // namespace status

struct DictRow {
    QString word;
    QByteArray number;
    QByteArray languageId;
    QByteArray language;
    QByteArray status;
    bool selected = false;

    // "White List" and "Locked" rows are never edited, re-languaged, deleted
    // or cleaned away.
    bool isProtected() const { return status == status::WhiteList || status == status::Locked; }
    // The cell of a column other than the word's.
    const QByteArray& cell(int column) const;
    QByteArray& cell(int column);
    // Any cell as text.
    QString text(int column) const;
    bool operator==(const DictRow&) const = default;
};

// Told about every change, so a view can follow. While updating is suspended
// only one tableReset arrives, when it resumes.
class TableObserver {
public:
    virtual ~TableObserver() = default;
    virtual void tableReset() = 0;
    virtual void rowsInserted(int first, int last) = 0;
    virtual void rowsRemoved(int first, int last) = 0;
    virtual void rowsChanged(int first, int last) = 0;
};

class DictionaryTable {
public:
    int count() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    const DictRow& row(int index) const { return m_rows.at(index); }
    const QVector<DictRow>& rows() const { return m_rows; }

    void append(const DictRow& row);
    // At the end when position is past the last row.
    void insert(int position, const DictRow& row);
    void removeAt(int index);
    void clear();
    void setRow(int index, const DictRow& row);
    // Sets a cell from 8-bit text of the code page.
    void setCell(int index, int column, const QByteArray& text);
    void setSelected(int index, bool selected);
    void replaceAll(QVector<DictRow> rows);

    // Suspends and resumes the updating of views; calls nest.
    void beginUpdate();
    void endUpdate();

    void setObserver(TableObserver* observer) { m_observer = observer; }

    // DictionaryModified: the table changed since it was last created,
    // loaded or saved.
    bool modified = false;

private:
    void changed(int first, int last);

    QVector<DictRow> m_rows;
    TableObserver* m_observer = nullptr;
    int m_updateDepth = 0;
    bool m_pendingReset = false;
};

// Suspends the table's updating for a scope, resuming on every way out.
class UpdateScope {
public:
    explicit UpdateScope(DictionaryTable& table) : m_table(table) { m_table.beginUpdate(); }
    ~UpdateScope() { m_table.endUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    DictionaryTable& m_table;
};

// The cost in bytes of a word's record in the dictionary file: n + 5 for an
// odd length n (taken modulo 256), n + 6 for an even one.
inline int recordSize(qsizetype wordLength)
{
    const int n = static_cast<int>(wordLength % 256);
    return n % 2 == 1 ? n + 5 : n + 6;
}

} // namespace vexlon
