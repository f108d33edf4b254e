#include "core/lists/ReferenceLists.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/dictionary/LangStructure.h"

namespace vexlon::reference {

bool AddToStatistic(TSTATLST& list, const TiTAPStructure& structure, const QByteArray& word, uint8_t id)
{
    for (int i = 0; i < list.Count; ++i) {
        if (list.Items[i].Word == word && list.Items[i].LanguageID == id) {
            list.Items[i].Rating += 1;
            return true;
        }
    }
    list.Items.append({word, 1, id, LanguageName(structure, id)});
    list.Count += 1;
    return false;
}

void UpdateStatistic(TSTATLST& list, const TiTAPStructure& structure, const DictionaryTable& table)
{
    for (const DictRow& row : table.rows())
        AddToStatistic(list, structure, row.word, static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF));
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

namespace {
int freeBytes(const TSettings& settings, const DictionaryTable& table)
{
    int sum = 0;
    for (const DictRow& row : table.rows())
        sum += recordSize(row.word.size());
    return settings.UsersDictionarySize - 19 - sum;
}
} // namespace

void FillAddFromStatistic(const TSettings& settings, const TSTATLST& list, const TiTAPStructure& structure,
                          DictionaryTable& table)
{
    const int n = table.count();
    const int free = freeBytes(settings, table);
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
    while (freeBytes(settings, table) < 1 && !table.isEmpty())
        table.removeAt(table.count() - 1);
}

} // namespace vexlon::reference
