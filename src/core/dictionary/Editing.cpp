#include "core/dictionary/Editing.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/dictionary/TableOps.h"

namespace vexlon {

int firstSelectedRow(const DictionaryTable& table)
{
    for (int i = 0; i < table.count(); ++i) {
        if (table.row(i).selected)
            return i;
    }
    return -1;
}

bool hasSelection(const DictionaryTable& table)
{
    return firstSelectedRow(table) >= 0;
}

QStringList languageChoices(const TiTAPStructure& structure)
{
    QStringList names;
    for (const TLanguages& language : structure.Languages)
        names << cp1251::toUnicode(language.Name);
    return names;
}

const TLanguages* chooseLanguage(const ProgramState& state, int promptEntry)
{
    const QStringList names = languageChoices(state.langStructure);
    const uint8_t chosen = state.ui().chooseLanguage(state.texts.MESSAGES(promptEntry), state.texts.MESSAGES(7),
                                                     state.texts.MESSAGES(8), names);
    if (chosen == kNoLanguage || chosen >= state.langStructure.Languages.size())
        return nullptr;
    return &state.langStructure.Languages.at(chosen);
}

int AddWord(const ProgramState& state, DictionaryTable& table)
{
    int position = firstSelectedRow(table) + 1;
    if (position < state.whiteList.Count)
        position = state.whiteList.Count;
    const TLanguages* language = chooseLanguage(state, 6);
    if (!language)
        return -1;
    DictRow row;
    row.word = "new";
    row.number = QByteArray::number(position);
    row.languageId = byteToHex(language->ID);
    row.language = language->Name;
    row.status = status::AddedByUser;
    if (position > table.count())
        position = table.count();
    table.insert(position, row);
    RefreshDictionaryStatus(state, table);
    table.modified = true;
    return position;
}

void SetLanguage(const ProgramState& state, DictionaryTable& table)
{
    const TLanguages* language = chooseLanguage(state, 9);
    if (!language || !hasSelection(table))
        return;
    UpdateScope update(table);
    ProgressScope progress(state.ui(), state.texts.STAT(10));
    const QByteArray id = byteToHex(language->ID);
    bool told = false;
    for (int i = 0; i < table.count(); ++i) {
        progress.show(i, table.count());
        const DictRow& row = table.row(i);
        if (!row.selected)
            continue;
        if (row.isProtected()) {
            if (!told)
                state.ui().message(state.texts.MESSAGES(10));
            told = true;
            continue;
        }
        DictRow changed = row;
        changed.languageId = id;
        changed.language = language->Name;
        table.setRow(i, changed);
    }
    table.modified = true;
}

void LockUnlock(const ProgramState& state, DictionaryTable& table)
{
    if (!hasSelection(table))
        return;
    UpdateScope update(table);
    ProgressScope progress(state.ui(), state.texts.STAT(11));
    bool toldWhiteList = false;
    bool keepLocked = false;
    for (int i = 0; i < table.count(); ++i) {
        progress.show(i, table.count());
        const DictRow& row = table.row(i);
        if (!row.selected)
            continue;
        if (row.status == status::WhiteList) {
            if (!toldWhiteList)
                state.ui().message(state.texts.MESSAGES(11));
            toldWhiteList = true;
        } else if (row.status != status::Locked) {
            table.setCell(i, ColStatus, status::Locked);
        } else if (!keepLocked) {
            if (state.ui().confirm(state.texts.MESSAGES(12), ConfirmKind::Warning))
                table.setCell(i, ColStatus, status::EditedByUser);
            else
                keepLocked = true;
        }
    }
}

void DeleteSelected(const ProgramState& state, DictionaryTable& table)
{
    {
        UpdateScope update(table);
        QVector<DictRow> kept;
        kept.reserve(table.count());
        bool told = false;
        for (const DictRow& row : table.rows()) {
            if (!row.selected) {
                kept.append(row);
            } else if (row.isProtected()) {
                if (!told)
                    state.ui().message(state.texts.MESSAGES(13));
                told = true;
                kept.append(row);
            }
        }
        if (kept.size() != table.count())
            table.replaceAll(std::move(kept));
    }
    RefreshDictionaryStatus(state, table);
    table.modified = true;
}

bool CanEditWord(const DictionaryTable& table, int index)
{
    return index >= 0 && index < table.count() && !table.row(index).isProtected();
}

QString EditedWord(const QString& typed)
{
    QString word = cp1251::toLower(typed);
    word.remove(QLatin1Char(' '));
    return word;
}

bool EditWord(DictionaryTable& table, int index, const QString& typed)
{
    if (!CanEditWord(table, index))
        return false;
    DictRow row = table.row(index);
    row.word = EditedWord(typed);
    row.status = status::EditedByUser;
    table.setRow(index, row);
    table.modified = true;
    return true;
}

namespace {

// The two rows trade places and Numbers, so the Number column keeps its
// order and the saved file, written in Number order, keeps the move.
void moveRow(DictionaryTable& table, int from, int to)
{
    DictRow row = table.row(from);
    DictRow other = table.row(to);
    std::swap(row.number, other.number);
    table.setRow(to, other);
    table.removeAt(from);
    row.selected = true;
    table.insert(to, row);
    table.modified = true;
}

} // namespace

bool MoveRowDown(DictionaryTable& table)
{
    const int r = firstSelectedRow(table);
    if (r < 0 || r >= table.count() - 1 || table.row(r).status == status::WhiteList)
        return false;
    moveRow(table, r, r + 1);
    return true;
}

bool MoveRowUp(DictionaryTable& table)
{
    const int r = firstSelectedRow(table);
    if (r <= 0 || table.row(r).status == status::WhiteList || table.row(r - 1).status == status::WhiteList)
        return false;
    moveRow(table, r, r - 1);
    return true;
}

} // namespace vexlon
