// Hash indexes over words, so that the membership tests and searches of the
// word rules cost one lookup instead of a walk over every row or entry.
#pragma once

#include <QByteArray>
#include <QHash>
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
    template <class Items>
    void build(const Items& items)
    {
        m_first.clear();
        m_first.reserve(items.size());
        for (qsizetype i = 0; i < items.size(); ++i)
            appended(items[i].Word, items[i].LanguageID, static_cast<int>(i));
    }
    // The first position holding the pair, or -1.
    int find(const QString& word, uint8_t languageId) const
    {
        return m_first.value(wordKey(word, languageId), -1);
    }
    bool contains(const QString& word, uint8_t languageId) const { return find(word, languageId) >= 0; }
    // Records an entry appended at position; an earlier one stays first.
    void appended(const QString& word, uint8_t languageId, int position)
    {
        const QString key = wordKey(word, languageId);
        if (!m_first.contains(key))
            m_first.insert(key, position);
    }

private:
    QHash<QString, int> m_first;
};

} // namespace vexlon
