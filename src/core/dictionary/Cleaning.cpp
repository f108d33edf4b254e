#include "core/dictionary/Cleaning.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/dictionary/LangStructure.h"
#include "core/dictionary/TableOps.h"
#include "core/dictionary/WordIndex.h"

#include <QHash>
#include <QHashFunctions>
#include <algorithm>
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

// The lower case of the 256 characters of Windows-1251 (kept codes are their
// own lower case), made once from cp1251::toLower; ASCII at its own index,
// the others sorted by character for a binary search, with a direct index
// for the characters below U+0500.
class LowerCaseTable {
public:
    LowerCaseTable()
    {
        for (int b = 0; b < 256; ++b) {
            const QString c = cp1251::toUnicode(QByteArray(1, static_cast<char>(b)));
            const QString lower = cp1251::toLower(c);
            // Only a character that lower-cases to one character whose own
            // lower case is itself goes into the table.
            const bool usable = c.size() == 1 && lower.size() == 1 && cp1251::toLower(lower) == lower;
            m_entries[static_cast<size_t>(b)] = {c.isEmpty() ? char16_t(0) : c.at(0).unicode(),
                                                 usable ? lower.at(0).unicode() : char16_t(0), usable};
        }
        for (int b = 0; b < 0x80; ++b) {
            if (m_entries[static_cast<size_t>(b)].from != b)
                m_entries[static_cast<size_t>(b)].usable = false;
        }
        std::sort(m_entries.begin() + 0x80, m_entries.end(),
                  [](const Entry& a, const Entry& b) { return a.from < b.from; });
        // Where the table's characters below kDirect (ASCII, Latin-1 signs,
        // Cyrillic) are found without a search.
        m_direct.fill(-1);
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].usable && m_entries[i].from < kDirect)
                m_direct[m_entries[i].from] = static_cast<int16_t>(i);
        }
    }
    // False when the character is not in the table.
    bool lower(char16_t c, char16_t& out) const
    {
        if (c < kDirect) {
            const int16_t at = m_direct[c];
            if (at < 0)
                return false;
            out = m_entries[static_cast<size_t>(at)].to;
            return true;
        }
        const auto it = std::lower_bound(m_entries.begin() + 0x80, m_entries.end(), c,
                                         [](const Entry& e, char16_t x) { return e.from < x; });
        if (it == m_entries.end() || it->from != c || !it->usable)
            return false;
        out = it->to;
        return true;
    }

private:
    struct Entry {
        char16_t from;
        char16_t to;
        bool usable;
    };
    static constexpr char16_t kDirect = 0x0500;
    std::array<Entry, 256> m_entries {};
    std::array<int16_t, kDirect> m_direct {};
};

// The rows, which the table lets go of so that they are edited in place
// rather than copied; the caller puts them back.
QVector<DictRow> takeRows(DictionaryTable& table)
{
    QVector<DictRow> rows = table.rows();
    table.replaceAll(QVector<DictRow>());
    return rows;
}

// The language part of a row's group: the low byte of a hexadecimal ID, or
// 256 and up for each other text, which only ever equals itself.
class LanguageKeys {
public:
    int of(const QByteArray& text)
    {
        if (text == m_lastText && m_last >= 0)
            return m_last;
        m_lastText = text;
        if (const std::optional<int32_t> id = tryHexToInt(text))
            m_last = static_cast<int>(static_cast<uint32_t>(*id) & 0xFF);
        else
            m_last = otherText(text);
        return m_last;
    }

private:
    int otherText(const QByteArray& text)
    {
        auto it = m_other.constFind(text);
        if (it == m_other.constEnd())
            it = m_other.insert(text, 256 + static_cast<int>(m_other.size()));
        return it.value();
    }

    QByteArray m_lastText;
    int m_last = -1;
    QHash<QByteArray, int> m_other;
};

} // namespace

std::optional<QString> stableLowerCase(const QString& word)
{
    static const LowerCaseTable table;
    // Most words are lower-case already and stay shared.
    qsizetype i = 0;
    char16_t low = 0;
    for (; i < word.size(); ++i) {
        if (!table.lower(word.at(i).unicode(), low))
            break;
        if (low != word.at(i).unicode())
            break;
    }
    if (i == word.size())
        return word;
    QString out = word;
    char16_t* data = reinterpret_cast<char16_t*>(out.data());
    for (; i < out.size(); ++i) {
        if (!table.lower(data[i], low)) {
            // A character from outside the code page: the whole word is
            // lower-cased by the locale's rules.
            QString lower = cp1251::toLower(word);
            if (cp1251::toLower(lower) != lower)
                return std::nullopt;
            return lower;
        }
        data[i] = low;
    }
    return out;
}

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
    const int total = table.count();
    int kept = 0;
    for (int i = 0; i < total; ++i) {
        progress.show(kept, kept + total - i);
        const DictRow& row = rows.at(i);
        if (row.isProtected() || row.word.size() >= minimum)
            ++kept;
    }
    if (kept == total)
        return;
    QVector<DictRow> edited = takeRows(table);
    qsizetype out = 0;
    for (int i = 0; i < total; ++i) {
        DictRow& row = edited[i];
        if (!(row.isProtected() || row.word.size() >= minimum))
            continue;
        if (out != i)
            edited[out] = std::move(row);
        ++out;
    }
    edited.resize(out);
    table.replaceAll(std::move(edited));
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

namespace {

// The turn-by-turn walk, for the words whose lower case is not stable
// (lower-casing it again would change it), where rows of one lower-case word
// need not meet only each other.
void removeDuplicatesByWalk(ProgressScope& progress, DictionaryTable& table)
{
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

} // namespace

void RemoveDuplicates(const ProgramState& state, DictionaryTable& table)
{
    ProgressScope progress(state.ui(), state.texts.STAT(6));
    UpdateScope update(table);
    const QVector<DictRow>& rows = table.rows();
    const int n = table.count();

    // A row meets only rows of its own group: the same language and the same
    // lower-case word. In a group, row i's turn removes the rows below whose
    // word is already lower-case, up to the next protected such row (which in
    // its own turn goes on), so such a row is removed exactly when it is
    // unprotected and not the group's first row. A turn with no protected
    // lower-case row below it then removes the group's first remaining
    // walked row when that is unprotected. One pass decides all of it.
    // A row's lower case is its own word when that is lower-case already,
    // as almost every word is; only the others keep theirs apart.
    QHash<int, QString> loweredApart;
    std::vector<int> group(static_cast<size_t>(n));
    std::vector<int> languageOf(static_cast<size_t>(n));
    std::vector<uint8_t> flags(static_cast<size_t>(n)); // kExact, kProtected
    constexpr uint8_t kExact = 1;
    constexpr uint8_t kProtected = 2;
    const auto lowerOf = [&](int i) -> const QString& {
        if (flags[static_cast<size_t>(i)] & kExact)
            return rows.at(i).word;
        return *loweredApart.constFind(i);
    };
    // The groups by open addressing over the first row of each: a slot
    // holds that row, or -1.
    size_t slotCount = 16;
    while (slotCount < 2 * static_cast<size_t>(n))
        slotCount *= 2;
    std::vector<int> firstRows(slotCount, -1);
    int groupCount = 0;
    LanguageKeys languages;
    for (int i = 0; i < n; ++i) {
        const DictRow& row = rows.at(i);
        std::optional<QString> stable = stableLowerCase(row.word);
        if (!stable) {
            removeDuplicatesByWalk(progress, table);
            return;
        }
        const auto at = static_cast<size_t>(i);
        const bool exact = *stable == row.word;
        flags[at] = static_cast<uint8_t>((exact ? kExact : 0) | (row.isProtected() ? kProtected : 0));
        if (!exact)
            loweredApart.insert(i, std::move(*stable));
        const int languageKey = languages.of(row.languageId);
        languageOf[at] = languageKey;
        const QString& low = lowerOf(i);
        const size_t mask = slotCount - 1;
        for (size_t slot = qHashMulti(0, languageKey, low) & mask;; slot = (slot + 1) & mask) {
            const int first = firstRows[slot];
            if (first < 0) {
                firstRows[slot] = i;
                group[at] = groupCount++;
                break;
            }
            if (languageOf[static_cast<size_t>(first)] == languageKey && lowerOf(first) == low) {
                group[at] = group[static_cast<size_t>(first)];
                break;
            }
        }
    }
    std::vector<int>().swap(firstRows);
    struct Group {
        int lastProtectedExact = -1;
        int front = -1; // the first walked row still in the table
        int back = -1;
    };
    std::vector<Group> walk(static_cast<size_t>(groupCount));
    for (int i = 0; i < n; ++i) {
        if (flags[static_cast<size_t>(i)] == (kExact | kProtected))
            walk[static_cast<size_t>(group[static_cast<size_t>(i)])].lastProtectedExact = i;
    }

    std::vector<bool> removed(static_cast<size_t>(n), false);
    std::vector<int> nextWalked(static_cast<size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        progress.show(i, n);
        const auto at = static_cast<size_t>(i);
        Group& g = walk[static_cast<size_t>(group[at])];
        if (flags[at] == kExact && g.front >= 0) {
            // An earlier row of the group removed it before its turn.
            removed[at] = true;
            continue;
        }
        if (g.lastProtectedExact <= i && g.front >= 0) {
            const int first = g.front;
            if (!(flags[static_cast<size_t>(first)] & kProtected)) {
                removed[static_cast<size_t>(first)] = true;
                g.front = nextWalked[static_cast<size_t>(first)];
                if (g.front < 0)
                    g.back = -1;
            }
        }
        if (g.back >= 0)
            nextWalked[static_cast<size_t>(g.back)] = i;
        else
            g.front = i;
        g.back = i;
    }

    bool changed = false;
    for (int i = 0; i < n && !changed; ++i)
        changed = removed[static_cast<size_t>(i)] || !(flags[static_cast<size_t>(i)] & kExact);
    if (!changed)
        return;
    QVector<DictRow> edited = takeRows(table);
    qsizetype out = 0;
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<size_t>(i);
        if (removed[at])
            continue;
        DictRow& row = edited[i];
        if (!(flags[at] & kExact))
            row.word = loweredApart.take(i);
        if (out != i)
            edited[out] = std::move(row);
        ++out;
    }
    edited.resize(out);
    table.replaceAll(std::move(edited));
}

} // namespace vexlon
