#include "core/lists/ReferenceLists.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/dictionary/LangStructure.h"

namespace vexlon::reference {

void UpdateStatistic(TSTATLST& list, const TiTAPStructure& structure, const DictionaryTable& table)
{
    for (const DictRow& row : table.rows()) {
        const auto id = static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF);
        int found = -1;
        for (int i = 0; i < list.Count && found < 0; ++i)
            found = list.Items[i].Word == row.word && list.Items[i].LanguageID == id ? i : -1;
        if (found >= 0) {
            list.Items[found].Rating += 1;
        } else {
            list.Items.append({row.word, 1, id, LanguageName(structure, id)});
            list.Count += 1;
        }
    }
}

TLST applyListRows(const TiTAPStructure& structure, QVector<ListRow> rows, bool keepNumbers)
{
    int i = 0;
    while (i < rows.size()) {
        if (rows[i].action == action::Delete) {
            rows.removeAt(i);
            continue;
        }
        int j = 0;
        while (j < rows.size()) {
            if (j != i && rows[j].word == rows[i].word && rows[j].languageId == rows[i].languageId) {
                rows.removeAt(j);
                if (j < i)
                    --i;
            } else {
                ++j;
            }
        }
        rows[i].word = cp1251::toLower(rows[i].word);
        ++i;
    }
    TLST list;
    for (const ListRow& row : rows) {
        const auto id = static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF);
        list.Items.append({row.word, keepNumbers ? strToInt(row.number) : 0, id, LanguageName(structure, id)});
    }
    list.Count = static_cast<int>(list.Items.size());
    return list;
}

void FillAddFromStatistic(const TSettings& settings, const TSTATLST& list, const TiTAPStructure& structure,
                          DictionaryTable& table)
{
    auto freeBytes = [&] {
        int sum = 0;
        for (const DictRow& row : table.rows())
            sum += recordSize(row.word.size());
        return settings.UsersDictionarySize - 19 - sum;
    };
    const int n = table.count();
    const int free = freeBytes();
    int used = 0;
    for (int e = 0; e < list.Count; ++e) {
        const TSTATLST_ITEM& item = list.Items[e];
        bool present = false;
        for (const DictRow& row : table.rows())
            present = present || row.word == item.Word;
        if (present)
            continue;
        if (used >= free)
            break;
        DictRow row;
        row.word = item.Word;
        row.number = QByteArray::number(n + 1);
        row.languageId = byteToHex(item.LanguageID);
        row.language = LanguageName(structure, item.LanguageID);
        row.status = "Reiting: " + QByteArray::number(item.Rating) + "; Line: " + QByteArray::number(e + 1);
        table.append(row);
        used += recordSize(item.Word.size());
    }
    while (freeBytes() < 1 && !table.isEmpty())
        table.removeAt(table.count() - 1);
}

} // namespace vexlon::reference
