#include "core/lists/TextCounting.h"

#include "core/base/TextFile.h"
#include "core/dictionary/Cleaning.h"
#include "core/dictionary/CsvTextFiles.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

namespace vexlon {

namespace {

// How the load's duplicate removal treats the rows of one lower-case word
// (all text rows share the language "FF"). A row whose word is already
// lower-case is removed by any earlier row of the word. Without a white-list
// row of the word, each other row removes the one row left before it, so the
// last row whose word is not lower-case stays, or else the first row. The
// white-list rows come first and are protected; they remove every
// lower-case row and are never removed, so every row whose word is not
// lower-case stays.
struct Occurrence {
    qsizetype position = -1; // among all words of the file
    int spelling = -1;
};

struct WordGroup {
    QString lower;
    size_t hash = 0;
    bool whiteListed = false;
    Occurrence kept; // without a white-list row
};

struct Spelling {
    QByteArrayView bytes; // in the file's bytes
    size_t hash = 0;
    int group = -1;
    bool lowerCase = false;
};

// FNV-1a over the bytes with a final mix: a word is a few bytes, for which
// this costs a fraction of a general-purpose hash.
size_t bytesHash(QByteArrayView bytes)
{
    uint64_t h = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        h ^= static_cast<uint8_t>(c);
        h *= 0x100000001b3ULL;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return static_cast<size_t>(h);
}

class Folder {
public:
    Folder(QSet<QString> whiteListed, TextEncoding encoding) : m_whiteListed(std::move(whiteListed)), m_encoding(encoding) {}

    // False when the word's lower case is not stable. The bytes stay where
    // they are while the folder is used.
    bool add(QByteArrayView bytes)
    {
        const size_t hash = bytesHash(bytes);
        int& slot = slotOf(bytes, hash);
        int spelling = slot;
        if (spelling < 0) {
            Spelling s;
            s.bytes = bytes;
            s.hash = hash;
            const QString word = decodeText(bytes, m_encoding);
            const std::optional<QString> lower = stableLowerCase(word);
            if (!lower)
                return false;
            s.lowerCase = *lower == word;
            s.group = groupOf(*lower);
            spelling = static_cast<int>(m_byIndex.size());
            m_byIndex.push_back(std::move(s));
            slot = spelling;
            if (m_byIndex.size() * 2 > m_slots.size())
                rehash(m_slots, m_byIndex);
        }
        const Spelling& s = m_byIndex[static_cast<size_t>(spelling)];
        WordGroup& g = m_groups[static_cast<size_t>(s.group)];
        const Occurrence here {m_position++, spelling};
        if (g.whiteListed) {
            if (!s.lowerCase)
                m_whiteListedRows.push_back(here);
        } else if (g.kept.position < 0 || !s.lowerCase) {
            g.kept = here;
        }
        return true;
    }

    // The rows in file order, numbered from firstNumber. The folder is
    // emptied.
    QVector<DictRow> takeRows(qsizetype firstNumber)
    {
        std::vector<Occurrence> kept = std::move(m_whiteListedRows);
        kept.reserve(kept.size() + m_groups.size());
        for (const WordGroup& g : m_groups) {
            if (!g.whiteListed)
                kept.push_back(g.kept);
        }
        // Back in file order: positions are distinct and below m_position.
        {
            std::vector<int> byPosition(static_cast<size_t>(m_position), -1);
            for (size_t i = 0; i < kept.size(); ++i)
                byPosition[static_cast<size_t>(kept[i].position)] = static_cast<int>(i);
            std::vector<Occurrence> ordered;
            ordered.reserve(kept.size());
            for (int i : byPosition) {
                if (i >= 0)
                    ordered.push_back(kept[static_cast<size_t>(i)]);
            }
            kept.swap(ordered);
        }
        std::vector<int>().swap(m_slots);
        std::vector<int>().swap(m_groupSlots);
        const QByteArray textStatus(status::TextFile);
        const QByteArray noLanguage("FF");
        QVector<DictRow> out;
        out.reserve(static_cast<qsizetype>(kept.size()));
        qsizetype number = firstNumber;
        // Without white-list words every group gives one row, and its lower
        // case is what the duplicate removal would leave. With them, that
        // removal still runs over the rows as the text spells them.
        const bool lowered = m_whiteListed.isEmpty();
        for (const Occurrence& o : kept) {
            DictRow row;
            const Spelling& spelling = m_byIndex[static_cast<size_t>(o.spelling)];
            row.word = lowered ? m_groups[static_cast<size_t>(spelling.group)].lower : decodeText(spelling.bytes, m_encoding);
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, number++).ptr;
            row.number = QByteArray(digits, end - digits);
            row.languageId = noLanguage;
            row.status = textStatus;
            out.append(std::move(row));
        }
        std::vector<WordGroup>().swap(m_groups);
        std::vector<Spelling>().swap(m_byIndex);
        return out;
    }

private:
    // Open addressing, for the spellings over their bytes and for the groups
    // over their lower case: the slot holding the spelling, or the empty slot
    // (-1) where it belongs.
    int& slotOf(QByteArrayView bytes, size_t hash)
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            int& slot = m_slots[at];
            if (slot < 0)
                return slot;
            const Spelling& s = m_byIndex[static_cast<size_t>(slot)];
            if (s.hash == hash && s.bytes.size() == bytes.size()
                && std::memcmp(s.bytes.data(), bytes.data(), static_cast<size_t>(bytes.size())) == 0)
                return slot;
        }
    }
    // The group of a lower-case word, made when it is new.
    int groupOf(const QString& lower)
    {
        const size_t hash = qHash(lower);
        const size_t mask = m_groupSlots.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const int slot = m_groupSlots[at];
            if (slot >= 0) {
                const WordGroup& g = m_groups[static_cast<size_t>(slot)];
                if (g.hash == hash && g.lower == lower)
                    return slot;
                continue;
            }
            const auto next = static_cast<int>(m_groups.size());
            WordGroup g;
            g.lower = lower;
            g.hash = hash;
            g.whiteListed = m_whiteListed.contains(lower);
            m_groups.push_back(std::move(g));
            m_groupSlots[at] = next;
            if (m_groups.size() * 2 > m_groupSlots.size())
                rehash(m_groupSlots, m_groups);
            return next;
        }
    }
    template <class Entries>
    static void rehash(std::vector<int>& table, const Entries& entries)
    {
        std::vector<int> wider(table.size() * 2, -1);
        const size_t mask = wider.size() - 1;
        for (size_t i = 0; i < entries.size(); ++i) {
            size_t at = entries[i].hash & mask;
            while (wider[at] >= 0)
                at = (at + 1) & mask;
            wider[at] = static_cast<int>(i);
        }
        table.swap(wider);
    }
    QSet<QString> m_whiteListed;
    TextEncoding m_encoding;
    std::vector<int> m_slots = std::vector<int>(1024, -1);
    std::vector<Spelling> m_byIndex;
    std::vector<int> m_groupSlots = std::vector<int>(1024, -1);
    std::vector<WordGroup> m_groups;
    std::vector<Occurrence> m_whiteListedRows;
    qsizetype m_position = 0;
};

} // namespace

bool ReadTextFileFolded(const ProgramState& state, DictionaryTable& table, const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QByteArray bytes = readWholeFile(path, kMaxDictionaryFileBytes);
    const TextEncoding encoding = takeEncoding(bytes);
    // Every blank and every line gives a word: counted in one pass.
    qsizetype blanks = 0;
    qsizetype lineEnds = 0;
    for (const char c : std::as_const(bytes)) {
        blanks += c == ' ';
        lineEnds += c == '\n';
    }
    const qsizetype lineCount = lineEnds + (!bytes.isEmpty() && !bytes.endsWith('\n') ? 1 : 0);
    if (blanks + lineCount > kMaxWordsInFile) {
        ReadTextFile(state, table, path); // refuses the file
        return false;
    }
    // The white-list words of the text rows' language, which the load puts
    // above them.
    QSet<QString> whiteListed;
    if (state.settings.WhiteListOn) {
        for (const TLST_ITEM& item : state.whiteList.Items) {
            if (item.LanguageID != 0xFF)
                continue;
            const std::optional<QString> lower = stableLowerCase(item.Word);
            if (!lower) {
                ReadTextFile(state, table, path);
                return false;
            }
            whiteListed.insert(*lower);
        }
    }
    const bool lowered = whiteListed.isEmpty();
    LineReader lines(std::move(bytes));
    Folder folder(std::move(whiteListed), encoding);
    bool stable = true;
    while (stable && !lines.atEnd()) {
        const QByteArrayView line = lines.next();
        qsizetype start = 0;
        for (qsizetype i = 0; stable && i < line.size(); ++i) {
            if (line[i] == ' ') {
                stable = folder.add(line.sliced(start, i - start));
                start = i + 1;
            }
        }
        if (stable)
            stable = folder.add(line.sliced(start));
    }
    if (!stable) {
        ReadTextFile(state, table, path);
        return false;
    }
    QVector<DictRow> made = folder.takeRows(table.count() + 1);
    if (!table.isEmpty()) {
        QVector<DictRow> rows = table.rows();
        rows.append(std::move(made));
        made = std::move(rows);
    }
    table.replaceAll(std::move(made));
    return lowered;
}

} // namespace vexlon
