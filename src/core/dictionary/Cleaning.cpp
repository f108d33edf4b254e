#include "core/dictionary/Cleaning.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/dictionary/LangStructure.h"
#include "core/dictionary/TableOps.h"
#include "core/dictionary/WordIndex.h"

#include <QHash>
#include <array>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

namespace vexlon {

namespace {

std::u16string toStd(const QString& word)
{
    return std::u16string(reinterpret_cast<const char16_t*>(word.utf16()), static_cast<size_t>(word.size()));
}

// The words of the table by language, for the Intelect rule: a word has a
// longer word beginning with it exactly when the first word sorting after
// it (code unit order) begins with it.
class PrefixIndex {
public:
    void insert(int32_t id, const QString& word) { m_words[id].insert(toStd(word)); }
    void erase(int32_t id, const QString& word)
    {
        auto& words = m_words[id];
        auto it = words.find(toStd(word));
        if (it != words.end())
            words.erase(it);
    }
    bool hasLongerWithPrefix(int32_t id, const QString& word) const
    {
        auto found = m_words.find(id);
        if (found == m_words.end())
            return false;
        const std::u16string prefix = toStd(word);
        auto it = found->second.upper_bound(prefix);
        return it != found->second.end() && it->size() > prefix.size() && it->compare(0, prefix.size(), prefix) == 0;
    }

private:
    std::unordered_map<int32_t, std::multiset<std::u16string>> m_words;
};

} // namespace

QString StripSymbols(const QString& word)
{
    QString out;
    out.reserve(word.size());
    for (QChar c : word) {
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c.isLetter() || cp1251::isKeptCode(c))
            out.append(c);
    }
    return out;
}

QString StripDigits(const QString& word)
{
    QString out;
    out.reserve(word.size());
    for (QChar c : word) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            out.append(c);
    }
    return out;
}

void CleanDictionary(const ProgramState& state, DictionaryTable& table, const CleanRules& rules)
{
    ProgressScope progress(state.ui(), state.texts.STAT(9));
    UpdateScope update(table);

    std::optional<int32_t> cleanLanguage;
    if (rules.language && state.settings.LanguageCleanIndex < state.langStructure.Languages.size())
        cleanLanguage = state.langStructure.Languages.at(state.settings.LanguageCleanIndex).ID;
    FirstEntryIndex black;
    if (rules.blackList)
        black.build(state.blackList.Items);

    // The walk goes over a copy; the rows it keeps, cleaned, form the new
    // table. The Intelect index holds every row still in the table with its
    // present word: rows already walked cleaned, the rows below as they were.
    const QVector<DictRow> source = table.rows();
    PrefixIndex prefixes;
    if (rules.intelect) {
        for (const DictRow& row : source) {
            if (const std::optional<int32_t> id = tryHexToInt(row.languageId))
                prefixes.insert(*id, row.word);
        }
    }
    const bool needsId = rules.blackList || rules.language || rules.intelect;
    QVector<DictRow> kept;
    kept.reserve(source.size());
    bool changed = false;
    const int total = static_cast<int>(source.size());
    int k = 0;
    try {
        for (; k < total; ++k) {
            progress.show(static_cast<int>(kept.size()), static_cast<int>(kept.size()) + total - k);
            DictRow row = source.at(k);
            if (row.isProtected()) {
                kept.append(row);
                continue;
            }
            const int32_t id = needsId ? hexToInt(row.languageId) : 0;
            const QString original = row.word;
            if (rules.symbols)
                row.word = StripSymbols(row.word);
            if (rules.numbers)
                row.word = StripDigits(row.word);
            if (rules.intelect)
                prefixes.erase(id, original);
            bool remove = false;
            if (rules.blackList && id >= 0 && id <= 0xFF && black.contains(row.word, static_cast<uint8_t>(id)))
                remove = true;
            else if (cleanLanguage && id == *cleanLanguage)
                remove = true;
            else if (rules.intelect && prefixes.hasLongerWithPrefix(id, row.word))
                remove = true;
            else if (rules.byLength && row.word.size() < state.settings.MinWordLength)
                remove = true;
            if (remove) {
                changed = true;
                continue;
            }
            if (rules.intelect)
                prefixes.insert(id, row.word);
            changed = changed || row.word != original;
            kept.append(row);
        }
    } catch (...) {
        // The rows already cleaned stay cleaned; the rest stay as they were.
        for (int rest = k; rest < total; ++rest)
            kept.append(source.at(rest));
        table.replaceAll(std::move(kept));
        if (changed)
            table.modified = true;
        throw;
    }
    table.replaceAll(std::move(kept));
    RemoveShortWords(state, table, 2);
    RemoveDuplicates(state, table);
    table.modified = true;
}

CleanRules rulesForItem(const TSettings& settings, CleaningItem item)
{
    CleanRules rules;
    switch (item) {
    case CleaningItem::Symbols:
        rules.symbols = true;
        break;
    case CleaningItem::Numbers:
        rules.numbers = true;
        break;
    case CleaningItem::Language:
        rules.language = true;
        break;
    case CleaningItem::ByLength:
        rules.byLength = true;
        break;
    case CleaningItem::Intelect:
        rules.intelect = true;
        break;
    case CleaningItem::BlackList:
        rules.blackList = true;
        break;
    case CleaningItem::All:
        rules.symbols = settings.SymbolicClean;
        rules.numbers = settings.NumericClean;
        rules.language = settings.LanguageClean;
        rules.intelect = settings.IntelectClean;
        rules.blackList = settings.BlackListClean;
        rules.byLength = true;
        break;
    }
    return rules;
}

bool RunCleaningCommand(ProgramState& state, DictionaryTable& table, CleaningItem item)
{
    if (item != CleaningItem::Language) {
        CleanDictionary(state, table, rulesForItem(state.settings, item));
        RefreshDictionaryStatus(state, table);
        return true;
    }
    QStringList names;
    for (const TLanguages& language : state.langStructure.Languages)
        names << cp1251::toUnicode(language.Name);
    const uint8_t chosen = state.ui().chooseLanguage(state.texts.MESSAGES(17), state.texts.MESSAGES(7),
                                                     state.texts.MESSAGES(8), names);
    if (chosen == kNoLanguage || chosen >= names.size()) {
        RefreshDictionaryStatus(state, table);
        return false;
    }
    // The chosen language holds for this run only.
    struct Restore {
        TSettings& settings;
        uint8_t index;
        ~Restore() { settings.LanguageCleanIndex = index; }
    } restore { state.settings, state.settings.LanguageCleanIndex };
    state.settings.LanguageCleanIndex = chosen;
    CleanDictionary(state, table, rulesForItem(state.settings, CleaningItem::Language));
    RefreshDictionaryStatus(state, table);
    return true;
}

void RemoveShortWords(const ProgramState& state, DictionaryTable& table, uint8_t minimum)
{
    ProgressScope progress(state.ui(), state.texts.STAT(7));
    UpdateScope update(table);
    const QVector<DictRow>& rows = table.rows();
    QVector<DictRow> kept;
    kept.reserve(rows.size());
    const int total = table.count();
    for (int i = 0; i < total; ++i) {
        progress.show(static_cast<int>(kept.size()), static_cast<int>(kept.size()) + total - i);
        const DictRow& row = rows.at(i);
        if (row.isProtected() || row.word.size() >= minimum)
            kept.append(row);
    }
    if (kept.size() != rows.size())
        table.replaceAll(std::move(kept));
}

QString languageKey(const QByteArray& languageIdText)
{
    // A dictionary record keeps the low byte of the value: "101" and "01"
    // are written as one language.
    if (const std::optional<int32_t> id = tryHexToInt(languageIdText)) {
        QString key(2, QLatin1Char('v'));
        key[1] = QChar(static_cast<char16_t>(static_cast<uint32_t>(*id) & 0xFF));
        return key;
    }
    return QLatin1Char('t') + wordAndTextKey(QString(), languageIdText);
}

void RemoveDuplicates(const ProgramState& state, DictionaryTable& table)
{
    ProgressScope progress(state.ui(), state.texts.STAT(6));
    UpdateScope update(table);
    const QVector<DictRow>& rows = table.rows();
    const int n = table.count();

    // Rows not yet walked keep their own word: they are found by their exact
    // characters. Rows already walked are lower-case. Both are kept per (word,
    // language) in table order; a search takes the first of a group, the
    // rows below before the rows above, as the wrap-around search does.
    std::vector<QString> language(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        language[static_cast<size_t>(i)] = languageKey(rows.at(i).languageId);
    const auto keyOf = [&](int i, const QString& word) { return language[static_cast<size_t>(i)] + word; };
    QHash<QString, std::deque<int>> ahead;
    QHash<QString, std::deque<int>> behind;
    ahead.reserve(n);
    for (int i = 0; i < n; ++i)
        ahead[keyOf(i, rows.at(i).word)].push_back(i);

    std::vector<bool> removed(static_cast<size_t>(n), false);
    std::vector<QString> lowered(static_cast<size_t>(n));
    int remaining = n;
    int position = 0;
    for (int i = 0; i < n; ++i) {
        if (removed[static_cast<size_t>(i)])
            continue;
        progress.show(position, remaining);
        const DictRow& row = rows.at(i);
        ahead[keyOf(i, row.word)].pop_front();
        lowered[static_cast<size_t>(i)] = cp1251::toLower(row.word);
        const QString key = keyOf(i, lowered[static_cast<size_t>(i)]);
        for (;;) {
            auto below = ahead.find(key);
            if (below != ahead.end() && !below->empty()) {
                const int j = below->front();
                if (rows.at(j).isProtected())
                    break;
                removed[static_cast<size_t>(j)] = true;
                --remaining;
                below->pop_front();
                continue; // the row looks again
            }
            auto above = behind.find(key);
            if (above != behind.end() && !above->empty()) {
                const int j = above->front();
                if (!rows.at(j).isProtected()) {
                    removed[static_cast<size_t>(j)] = true;
                    --remaining;
                    --position;
                    above->pop_front();
                }
            }
            break;
        }
        behind[key].push_back(i);
        ++position;
    }

    QVector<DictRow> kept;
    kept.reserve(remaining);
    bool changed = remaining != n;
    for (int i = 0; i < n; ++i) {
        if (removed[static_cast<size_t>(i)])
            continue;
        DictRow row = rows.at(i);
        if (row.word != lowered[static_cast<size_t>(i)]) {
            row.word = lowered[static_cast<size_t>(i)];
            changed = true;
        }
        kept.append(row);
    }
    if (changed)
        table.replaceAll(std::move(kept));
}

} // namespace vexlon
