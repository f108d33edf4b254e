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
//
// A word of the text: where it stands among all its words, and where its
// bytes are in the text (which is at most kMaxDictionaryFileBytes long).
struct Occurrence {
    int position = -1;
    uint32_t offset = 0;
    uint32_t size = 0;
};

struct WordGroup {
    QString lower;
    size_t hash = 0;
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

uint32_t tagOf(size_t hash)
{
    return static_cast<uint32_t>(static_cast<uint64_t>(hash) >> 32);
}

class Folder {
public:
    // The words are views into text, which stays where it is while the
    // folder is used.
    Folder(QByteArrayView text, QSet<QString> whiteListed, TextEncoding encoding)
        : m_text(text), m_whiteListed(std::move(whiteListed)), m_encoding(encoding)
    {
    }

    // Adds the words in order; false when a word's lower case is not
    // stable. The table slots of all the words are asked for before the
    // first is read, so that the memory fetches them side by side instead
    // of one by one.
    bool add(const QByteArrayView* words, size_t count)
    {
        size_t hashes[kBatch];
        for (size_t i = 0; i < count; ++i) {
            hashes[i] = bytesHash(words[i]);
            __builtin_prefetch(&m_spellings[hashes[i] & (m_spellings.size() - 1)]);
        }
        for (size_t i = 0; i < count; ++i) {
            if (!add(words[i], hashes[i]))
                return false;
        }
        return true;
    }

    static constexpr size_t kBatch = 16;

    // The rows in file order, numbered from firstNumber. The folder is
    // emptied.
    QVector<DictRow> takeRows(qsizetype firstNumber)
    {
        std::vector<Spelling>().swap(m_spellings);
        std::vector<Slot>().swap(m_groupSlots);
        // Each kept occurrence with its group, back in file order: positions
        // are distinct and below m_position.
        std::vector<int> byPosition(static_cast<size_t>(m_position), -1);
        for (size_t g = 0; g < m_kept.size(); ++g) {
            if (!m_whiteListedGroup[g])
                byPosition[static_cast<size_t>(m_kept[g].position)] = static_cast<int>(g);
        }
        for (const Occurrence& o : m_whiteListedRows)
            byPosition[static_cast<size_t>(o.position)] = kWhiteListedRow;
        const QByteArray textStatus(status::TextFile);
        const QByteArray noLanguage("FF");
        QVector<DictRow> out;
        out.reserve(static_cast<qsizetype>(m_kept.size() + m_whiteListedRows.size()));
        qsizetype number = firstNumber;
        // Without white-list words every group gives one row, and its lower
        // case is what the duplicate removal would leave. With them, that
        // removal still runs over the rows as the text spells them.
        const bool lowered = m_whiteListed.isEmpty();
        size_t nextWhiteListed = 0;
        for (const int g : byPosition) {
            if (g == kNone)
                continue;
            const Occurrence& o = g == kWhiteListedRow ? m_whiteListedRows[nextWhiteListed++] : m_kept[static_cast<size_t>(g)];
            DictRow row;
            row.word = lowered && g >= 0 ? m_groups[static_cast<size_t>(g)].lower : decodeText(bytesOf(o.offset, o.size), m_encoding);
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, number++).ptr;
            row.number = QByteArray(digits, end - digits);
            row.languageId = noLanguage;
            row.status = textStatus;
            out.append(std::move(row));
        }
        std::vector<WordGroup>().swap(m_groups);
        std::vector<Occurrence>().swap(m_kept);
        std::vector<bool>().swap(m_whiteListedGroup);
        std::vector<Occurrence>().swap(m_whiteListedRows);
        return out;
    }

private:
    bool add(QByteArrayView bytes, size_t hash)
    {
        Spelling* s = &spellingSlot(bytes, hash);
        if (s->group < 0) {
            const QString word = decodeText(bytes, m_encoding);
            const std::optional<QString> lower = stableLowerCase(word);
            if (!lower)
                return false;
            s->offset = offsetOf(bytes);
            s->size = static_cast<uint32_t>(bytes.size()) & kSizeMask;
            s->tag = tagOf(hash);
            s->lowerCase = *lower == word;
            s->group = groupOf(*lower);
            s->whiteListed = m_whiteListedGroup[static_cast<size_t>(s->group)];
            if (++m_spellingCount * 2 > m_spellings.size()) {
                growSpellings();
                s = &spellingSlot(bytes, hash);
            }
        }
        const Occurrence here {m_position++, offsetOf(bytes), static_cast<uint32_t>(bytes.size())};
        if (s->whiteListed) {
            if (!s->lowerCase)
                m_whiteListedRows.push_back(here);
        } else {
            Occurrence& kept = m_kept[static_cast<size_t>(s->group)];
            if (kept.position < 0 || !s->lowerCase)
                kept = here;
        }
        return true;
    }

    static constexpr int kNone = -1;
    static constexpr int kWhiteListedRow = -2;

    // The spellings are kept in an open-addressing table over their bytes,
    // each with all a repeated word needs, so that a word already seen costs
    // one read of the table, one of its bytes and one of its group.
    struct Spelling {
        uint32_t offset = 0;
        uint32_t size : 30 = 0;
        uint32_t lowerCase : 1 = 0;
        uint32_t whiteListed : 1 = 0;
        uint32_t tag = 0; // the high half of the hash
        int group = -1;   // -1: the slot is empty
    };
    static constexpr uint32_t kSizeMask = (uint32_t(1) << 30) - 1;
    static_assert(kMaxDictionaryFileBytes <= kSizeMask);

    uint32_t offsetOf(QByteArrayView bytes) const { return static_cast<uint32_t>(bytes.data() - m_text.data()); }
    QByteArrayView bytesOf(uint32_t offset, uint32_t size) const { return m_text.sliced(offset, size); }
    // The groups are kept in order of arrival and found through a table of
    // slots over their lower case. A slot keeps the high half of its group's
    // hash, so that a probe reads a group only when that half matches.
    struct Slot {
        uint32_t tag = 0;
        int index = -1;
    };

    // The slot holding the spelling, or the empty slot where it belongs.
    Spelling& spellingSlot(QByteArrayView bytes, size_t hash)
    {
        const size_t mask = m_spellings.size() - 1;
        const uint32_t tag = tagOf(hash);
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            Spelling& s = m_spellings[at];
            if (s.group < 0)
                return s;
            if (s.tag == tag && s.size == static_cast<uint32_t>(bytes.size())
                && (bytes.isEmpty() || std::memcmp(m_text.data() + s.offset, bytes.data(), static_cast<size_t>(bytes.size())) == 0))
                return s;
        }
    }
    void growSpellings()
    {
        std::vector<Spelling> wider(m_spellings.size() * 2);
        const size_t mask = wider.size() - 1;
        for (const Spelling& s : m_spellings) {
            if (s.group < 0)
                continue;
            size_t at = bytesHash(bytesOf(s.offset, s.size)) & mask;
            while (wider[at].group >= 0)
                at = (at + 1) & mask;
            wider[at] = s;
        }
        m_spellings.swap(wider);
    }
    // The group of a lower-case word, made when it is new.
    int groupOf(const QString& lower)
    {
        const size_t hash = qHash(lower);
        const size_t mask = m_groupSlots.size() - 1;
        const uint32_t tag = tagOf(hash);
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot slot = m_groupSlots[at];
            if (slot.index >= 0) {
                if (slot.tag != tag)
                    continue;
                const WordGroup& g = m_groups[static_cast<size_t>(slot.index)];
                if (g.hash == hash && g.lower == lower)
                    return slot.index;
                continue;
            }
            const auto next = static_cast<int>(m_groups.size());
            m_groups.push_back(WordGroup {lower, hash});
            m_kept.push_back(Occurrence {});
            m_whiteListedGroup.push_back(m_whiteListed.contains(lower));
            m_groupSlots[at] = Slot {tag, next};
            if (m_groups.size() * 2 > m_groupSlots.size())
                growGroupSlots();
            return next;
        }
    }
    void growGroupSlots()
    {
        std::vector<Slot> wider(m_groupSlots.size() * 2);
        const size_t mask = wider.size() - 1;
        for (size_t i = 0; i < m_groups.size(); ++i) {
            size_t at = m_groups[i].hash & mask;
            while (wider[at].index >= 0)
                at = (at + 1) & mask;
            wider[at] = Slot {tagOf(m_groups[i].hash), static_cast<int>(i)};
        }
        m_groupSlots.swap(wider);
    }

    QByteArrayView m_text;
    QSet<QString> m_whiteListed;
    TextEncoding m_encoding;
    std::vector<Spelling> m_spellings = std::vector<Spelling>(1024);
    size_t m_spellingCount = 0;
    std::vector<Slot> m_groupSlots = std::vector<Slot>(1024);
    std::vector<WordGroup> m_groups;
    // By group: the occurrence that stays when no white-list row protects
    // the word, and whether one does.
    std::vector<Occurrence> m_kept;
    std::vector<bool> m_whiteListedGroup;
    // The occurrences that stay because a white-list row protects the word,
    // in file order.
    std::vector<Occurrence> m_whiteListedRows;
    int m_position = 0;
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
    Folder folder(lines.text(), std::move(whiteListed), encoding);
    QByteArrayView batch[Folder::kBatch];
    size_t batched = 0;
    bool stable = true;
    const auto take = [&](QByteArrayView word) {
        batch[batched++] = word;
        if (batched == Folder::kBatch) {
            stable = folder.add(batch, batched);
            batched = 0;
        }
    };
    while (stable && !lines.atEnd()) {
        const QByteArrayView line = lines.next();
        qsizetype start = 0;
        for (qsizetype i = 0; stable && i < line.size(); ++i) {
            if (line[i] == ' ') {
                take(line.sliced(start, i - start));
                start = i + 1;
            }
        }
        if (stable)
            take(line.sliced(start));
    }
    if (stable && batched > 0)
        stable = folder.add(batch, batched);
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
