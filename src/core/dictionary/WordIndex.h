// Hash indexes over words, so that the membership tests and searches of the
// word rules cost one lookup instead of a walk over every row or entry.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QHashFunctions>
#include <QString>
#include <cstdint>

namespace vexlon {

// The identity of a list entry: the word's characters and its language ID.
inline QString wordKey(const QString& word, uint8_t languageId)
{
    QString key;
    key.reserve(word.size() + 1);
    key.append(QChar(static_cast<char16_t>(languageId)));
    key.append(word);
    return key;
}

// A word and the exact text of its language ID column; the length prefix
// keeps any two different pairs apart.
inline QString wordAndTextKey(const QString& word, const QByteArray& languageIdText)
{
    QString key = QString::number(languageIdText.size());
    key.append(QLatin1Char(':')).append(QString::fromLatin1(languageIdText)).append(word);
    return key;
}

// The first position of each (word, language ID) pair of a list of entries
// with `Word` and `LanguageID` fields; positions appended later are found
// after the earlier ones, as a search from the first entry finds them.
class FirstEntryIndex {
public:
    // Room for this many pairs without growing.
    void reserve(qsizetype size) { m_first.reserve(size); }
    template <class Items>
    void build(const Items& items)
    {
        if (!m_first.isEmpty())
            m_first.clear();
        if (m_first.capacity() < items.size())
            m_first.reserve(items.size());
        for (qsizetype i = 0; i < items.size(); ++i)
            appended(items[i].Word, items[i].LanguageID, static_cast<int>(i));
    }
    // The first position holding the pair, or -1.
    int find(const QString& word, uint8_t languageId) const { return m_first.value(Key {word, languageId}, 0) - 1; }
    bool contains(const QString& word, uint8_t languageId) const { return find(word, languageId) >= 0; }
    // The first position holding the pair; when there is none, records the
    // pair at position (an entry about to be appended there) and gives -1.
    int findOrAppend(const QString& word, uint8_t languageId, int position)
    {
        // One lookup: a new pair's value starts at 0.
        int& first = m_first[Key {word, languageId}];
        if (first > 0)
            return first - 1;
        first = position + 1;
        return -1;
    }
    // Records an entry appended at position; an earlier one stays first.
    void appended(const QString& word, uint8_t languageId, int position)
    {
        int& first = m_first[Key {word, languageId}];
        if (first == 0)
            first = position + 1;
    }

private:
    // The word shares its characters with the entry.
    struct Key {
        QString word;
        uint8_t languageId;
        bool operator==(const Key&) const = default;
        friend size_t qHash(const Key& key, size_t seed = 0) noexcept { return qHashMulti(seed, key.word, key.languageId); }
    };
    // Each pair's first position plus one.
    QHash<Key, int> m_first;
};

} // namespace vexlon
