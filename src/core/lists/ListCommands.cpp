#include "core/lists/ListCommands.h"

#include "core/base/Convert.h"
#include "core/dictionary/Editing.h"
#include "core/dictionary/LangStructure.h"
#include "core/dictionary/TableOps.h"
#include "core/dictionary/WordIndex.h"
#include "core/lists/ListFiles.h"

namespace vexlon {

void ApplyWhiteList(const ProgramState& state, DictionaryTable& table)
{
    UpdateScope update(table);
    QVector<DictRow> rows;
    rows.reserve(state.whiteList.Items.size() + table.count());
    for (const TLST_ITEM& item : state.whiteList.Items) {
        DictRow row;
        row.word = item.Word;
        row.number = QByteArray::number(item.Number);
        row.languageId = byteToHex(item.LanguageID);
        row.language = LanguageName(state.langStructure, item.LanguageID);
        row.status = status::WhiteList;
        rows.append(row);
    }
    FirstEntryIndex index;
    index.build(state.whiteList.Items);
    for (const DictRow& row : table.rows()) {
        if (row.status != status::WhiteList) {
            rows.append(row);
        } else if (!index.contains(row.word, static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF))) {
            // A word taken off the white list stays in the dictionary, no
            // longer protected.
            DictRow kept = row;
            kept.status = status::UsersDictionary;
            rows.append(kept);
        }
    }
    table.replaceAll(std::move(rows));
}

bool ReleaseFormerWhiteListRows(const ProgramState& state, DictionaryTable& table)
{
    FirstEntryIndex index;
    index.build(state.whiteList.Items);
    bool released = false;
    UpdateScope update(table);
    for (int i = 0; i < table.count(); ++i) {
        const DictRow& row = table.row(i);
        if (row.status == status::WhiteList
            && !index.contains(row.word, static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF))) {
            table.setCell(i, ColStatus, status::UsersDictionary);
            released = true;
        }
    }
    if (released)
        table.modified = true;
    return released;
}

namespace {

enum class Target { White, Black };

// The shared walk of "To WhiteList" and "To BlackList".
bool moveToList(ProgramState& state, DictionaryTable& table, Target target)
{
    const int first = firstSelectedRow(table);
    if (first < 0)
        return false;
    const bool white = target == Target::White;
    // Yes takes the words out of the dictionary, No leaves them marked;
    // Cancel leaves everything as it was.
    const Answer answer = white ? state.ui().ask(state.texts.MESSAGES(14), ConfirmKind::Warning)
                                : state.ui().ask(state.texts.MESSAGES(15), ConfirmKind::Confirmation);
    if (answer == Answer::Cancel)
        return false;
    const bool leave = answer == Answer::Yes;
    TLST& list = white ? state.whiteList : state.blackList;
    {
        UpdateScope update(table);
        ProgressScope progress(state.ui(), state.texts.STAT(white ? 12 : 13));
        FirstEntryIndex index;
        index.build(list.Items);

        const QVector<DictRow> source = table.rows();
        const int total = static_cast<int>(source.size());
        QVector<DictRow> kept(source.begin(), source.begin() + first);
        kept.reserve(total);
        int refused = 0;
        QString firstRefused;
        bool removedAny = false;
        int k = first;
        try {
            for (; k < total; ++k) {
                progress.show(static_cast<int>(kept.size()), static_cast<int>(kept.size()) + total - k);
                DictRow row = source.at(k);
                if (!row.selected || row.status == status::WhiteList) {
                    kept.append(row);
                    continue;
                }
                const auto id = static_cast<uint8_t>(rowLanguageId(row) & 0xFF);
                const bool known = index.contains(row.word, id);
                if (!known) {
                    if (!listCanStore(row.word)) {
                        // Left out, and so left in the table as it was.
                        if (refused++ == 0)
                            firstRefused = row.word;
                        kept.append(row);
                        continue;
                    }
                    AppendListEntry(list, index, row.word, row.number, id, row.language);
                } else if (white) {
                    kept.append(row);
                    continue;
                }
                if (!white && row.status == status::Locked) {
                    kept.append(row);
                } else if (leave) {
                    removedAny = true;
                } else {
                    row.status = white ? status::WhiteList : status::BlackList;
                    kept.append(row);
                }
            }
        } catch (...) {
            for (int rest = k; rest < total; ++rest)
                kept.append(source.at(rest));
            table.replaceAll(std::move(kept));
            if (removedAny || white)
                table.modified = true;
            throw;
        }
        table.replaceAll(std::move(kept));
        // The table has changed whatever becomes of the file.
        if (white || removedAny)
            table.modified = true;
        if (refused > 0)
            state.ui().message(unstorableWordsText(refused, firstRefused));
        WriteProgramList(state, white ? ListKind::White : ListKind::Black);
    }
    RefreshDictionaryStatus(state, table);
    return true;
}

} // namespace

bool ToWhiteList(ProgramState& state, DictionaryTable& table)
{
    return moveToList(state, table, Target::White);
}

bool ToBlackList(ProgramState& state, DictionaryTable& table)
{
    return moveToList(state, table, Target::Black);
}

} // namespace vexlon
