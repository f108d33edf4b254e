#include "core/dictionary/ReferenceRules.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"

namespace vexlon::reference {

namespace {

// Two language ID texts name one language when both read as hexadecimal
// numbers with the same low byte (what a record keeps), or, when neither
// reads, are the same text.
bool sameLanguage(const QByteArray& a, const QByteArray& b)
{
    const std::optional<int32_t> x = tryHexToInt(a);
    const std::optional<int32_t> y = tryHexToInt(b);
    if (x && y)
        return (*x & 0xFF) == (*y & 0xFF);
    if (x || y)
        return false;
    return a == b;
}

} // namespace

void RemoveShortWords(DictionaryTable& table, uint8_t minimum)
{
    int i = 0;
    while (i < table.count()) {
        if (!table.row(i).isProtected() && table.row(i).word.size() < minimum)
            table.removeAt(i);
        else
            ++i;
    }
}

void RemoveDuplicates(DictionaryTable& table)
{
    int i = 0;
    while (i < table.count()) {
        DictRow lowered = table.row(i);
        lowered.word = cp1251::toLower(lowered.word);
        table.setRow(i, lowered);
        const int n = table.count();
        int match = -1;
        for (int step = 1; step < n && match < 0; ++step) {
            const int j = (i + step) % n;
            if (table.row(j).word == table.row(i).word && sameLanguage(table.row(j).languageId, table.row(i).languageId))
                match = j;
        }
        if (match >= 0 && !table.row(match).isProtected())
            table.removeAt(match);
        else
            ++i;
    }
}

void CleanDictionary(const TSettings& settings, const TiTAPStructure& structure, const TLST& blackList,
                     DictionaryTable& table, const CleanRules& rules)
{
    int i = 0;
    while (i < table.count()) {
        if (table.row(i).isProtected()) {
            ++i;
            continue;
        }
        const bool needsId = rules.blackList || rules.language || rules.intelect;
        const int32_t id = needsId ? hexToInt(table.row(i).languageId) : 0;
        DictRow cleaned = table.row(i);
        if (rules.symbols)
            cleaned.word = StripSymbols(cleaned.word);
        if (rules.numbers)
            cleaned.word = StripDigits(cleaned.word);
        table.setRow(i, cleaned);
        const QString word = cleaned.word;
        bool blacklisted = false;
        for (qsizetype b = 0; rules.blackList && !blacklisted && b < blackList.Items.size(); ++b)
            blacklisted = blackList.Items[b].Word == word && blackList.Items[b].LanguageID == id;
        // A longer word of the same language that begins with this one.
        bool prefix = false;
        for (int j = 0; rules.intelect && !prefix && j < table.count(); ++j) {
            const QString& other = table.row(j).word;
            prefix = j != i && other.size() > word.size() && other.startsWith(word) && tryHexToInt(table.row(j).languageId) == id;
        }
        const bool language = rules.language && settings.LanguageCleanIndex < structure.Languages.size()
            && id == structure.Languages.at(settings.LanguageCleanIndex).ID;
        if (blacklisted || language || prefix || (rules.byLength && word.size() < settings.MinWordLength))
            table.removeAt(i);
        else
            ++i;
    }
    reference::RemoveShortWords(table, 2);
    reference::RemoveDuplicates(table);
    table.modified = true;
}

bool DictionaryHasProblem(const DictionaryTable& table)
{
    for (int i = 0; i < table.count(); ++i) {
        const QString& word = table.row(i).word;
        if (word.isEmpty() || word.size() < 2 || word.size() > 249)
            return true;
        for (int j = 0; j < table.count(); ++j) {
            if (j != i && table.row(j).word == word && sameLanguage(table.row(j).languageId, table.row(i).languageId))
                return true;
        }
    }
    return false;
}

} // namespace vexlon::reference
