// Seeded random dictionary tables for comparing the indexed word rules with
// the plain ones, and a table of a full dictionary's size.
#pragma once

#include "core/dictionary/DictionaryTable.h"

#include "core/base/CodePage1251.h"

#include <QByteArray>
#include <random>

namespace vexlon::test {

class RandomTables {
public:
    explicit RandomTables(uint32_t seed) : m_rng(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    QString word(int maxLength = 5)
    {
        // Latin letters in both cases, Cyrillic capitals and small letters
        // (0xC0..0xFF), 0xA8/0xB8, digits and symbols.
        static const char alphabet[] = "aAbBcC1'-.\xC0\xE0\xC1\xE1\xA8\xB8";
        const int length = below(maxLength + 1);
        QByteArray w;
        for (int i = 0; i < length; ++i)
            w.append(alphabet[below(static_cast<int>(sizeof(alphabet)) - 1)]);
        return cp1251::toUnicode(w);
    }

    // count rows with short words, three languages and about a quarter of
    // them protected, then repeats of some rows, exact or in another case.
    QVector<DictRow> rows(int count)
    {
        static const char* const ids[] = {"01", "02", "0A", "01"};
        static const char* const statuses[] = {status::UsersDictionary, status::EditedByUser, status::Locked,
                                               status::WhiteList, status::CsvFile};
        QVector<DictRow> out;
        for (int i = 0; i < count; ++i) {
            const QByteArray id = ids[below(4)];
            const int s = below(20);
            out.append({word(), QByteArray::number(i + 1), id, "L" + id,
                        s < 2 ? statuses[2] : s < 3 ? statuses[3] : s < 5 ? statuses[1] : s < 7 ? statuses[4] : statuses[0],
                        below(3) == 0});
        }
        for (int k = 0; k < count / 4 && !out.isEmpty(); ++k) {
            DictRow copy = out.at(below(static_cast<int>(out.size())));
            if (below(2) == 0)
                copy.word = copy.word.toUpper();
            copy.status = below(6) == 0 ? status::Locked : status::UsersDictionary;
            out.insert(below(static_cast<int>(out.size()) + 1), copy);
        }
        return out;
    }

private:
    std::mt19937 m_rng;
};

// A full dictionary of the largest size: about 10,900 words of two to eight
// letters drawn from a realistic mix, with repeats and prefixes.
inline QVector<DictRow> largeTable(uint32_t seed, int count = 10900)
{
    std::mt19937 rng(seed);
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const char letters[] = "etaoinshrdlucmfwypvbgkqjxz\xE0\xEE\xE5\xE8\xED\xF2";
    QVector<DictRow> out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        DictRow r;
        const int length = 2 + below(7);
        QByteArray word;
        for (int c = 0; c < length; ++c)
            word.append(letters[below(static_cast<int>(sizeof(letters)) - 1)]);
        r.word = cp1251::toUnicode(word);
        if (below(10) == 0 && !out.isEmpty())
            r.word = out.at(below(static_cast<int>(out.size()))).word.left(2 + below(3));
        if (below(20) == 0)
            r.word[0] = r.word[0].toUpper();
        r.number = QByteArray::number(i + 1);
        r.languageId = below(3) == 0 ? "02" : "01";
        r.language = "L" + r.languageId;
        r.status = below(50) == 0 ? status::Locked : status::UsersDictionary;
        out.append(r);
    }
    return out;
}

} // namespace vexlon::test
