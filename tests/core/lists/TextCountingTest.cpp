// Counting a text file while reading it against making every row first: after
// the load's white list, duplicate and short-word removal and renumbering,
// the same rows in the same order, and the same statistic.
#include "core/lists/TextCounting.h"

#include "core/base/Errors.h"
#include "core/dictionary/Cleaning.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/TableOps.h"
#include "core/lists/ListCommands.h"
#include "core/lists/Statistics.h"
#include "support/CoreFixture.h"
#include "support/RandomTables.h"

#include <functional>

using namespace vexlon;
using namespace vexlon::test;

class TextCountingTest : public CoreFixture {
protected:
    // What a load does after reading (the editor's follow-up of Open
    // Dictionary), then the count into an empty statistic list.
    // Rows the reader folded skip the duplicate removal unless white-list
    // rows came above them, as Open Dictionary does.
    void load(const std::function<bool(DictionaryTable&)>& read, DictionaryTable& out, TSTATLST& counted)
    {
        DictionaryTable t;
        const bool folded = read(t);
        if (state.settings.WhiteListOn)
            ApplyWhiteList(state, t);
        if (!folded || (state.settings.WhiteListOn && !state.whiteList.Items.isEmpty()))
            RemoveDuplicates(state, t);
        RemoveShortWords(state, t, state.settings.MinWordLength);
        RenumberRows(state, t, 0, t.count() - 1);
        out.replaceAll(t.rows());
        state.statisticList = TSTATLST();
        UpdateStatistic(state, t);
        counted = state.statisticList;
    }

    void expectSameAsEveryRow(const QString& name, int round)
    {
        const QString path = file(name);
        DictionaryTable all;
        DictionaryTable folded;
        TSTATLST allCounted;
        TSTATLST foldedCounted;
        load([&](DictionaryTable& t) { ReadTextFile(state, t, path); return false; }, all, allCounted);
        load([&](DictionaryTable& t) { return ReadTextFileFolded(state, t, path); }, folded, foldedCounted);
        ASSERT_EQ(folded.rows(), all.rows()) << "round " << round; // the seed replays it
        ASSERT_EQ(entries(foldedCounted), entries(allCounted)) << "round " << round;
    }
};

// Random texts of short words with many repeats: Latin and Cyrillic letters
// in both cases, Ё and ё, a byte without a character (a kept code), digits, symbols, empty
// words from doubled or outer blanks, LF and CR LF lines; written in
// Windows-1251 or in UTF-8 (with or without the byte-order mark, and then
// also with Greek capitals whose lower case depends on the letters around
// them, and the Turkish dotted I whose lower case is two characters). The
// white list, on or off, holds some of the words in other capitals, in the
// text's language and in another.
TEST_F(TextCountingTest, FoldingWhileReadingGivesTheRowsAndCountsOfMakingEveryRow)
{
    RandomTables random(1251);
    const QString extra[] = {QStringLiteral("\u039F\u03A3"), QStringLiteral("\u03C3\u03C2"), QStringLiteral("\u03BF\u03C2"),
                             QStringLiteral("\u0130x"), QStringLiteral("i\u0307x"), QStringLiteral("\u03A3")};
    for (int round = 0; round < 300; ++round) {
        const int encoding = round % 3; // 1251, UTF-8, UTF-8 with the mark
        QStringList vocabulary;
        for (int v = 1 + random.below(12); v > 0; --v) {
            QString w = random.word(3);
            if (encoding != 0 && random.below(4) == 0)
                w = extra[random.below(6)];
            else if (random.below(10) == 0)
                w += cp1251::keptCode(0x98);
            vocabulary << w;
        }
        QString text;
        const int words = random.below(60);
        for (int k = 0; k < words; ++k) {
            QString w = vocabulary.at(random.below(static_cast<int>(vocabulary.size())));
            const int form = random.below(6);
            if (form == 0)
                w = w.toUpper();
            else if (form == 1 && !w.isEmpty())
                w[0] = w.at(0).toUpper();
            else if (form == 2)
                w = w.toLower();
            text += w;
            const int gap = random.below(10);
            text += gap == 0 ? QStringLiteral("\r\n") : gap == 1 ? QStringLiteral("\n") : gap == 2 ? QStringLiteral("  ") : QStringLiteral(" ");
        }
        QByteArray bytes;
        if (encoding == 0) {
            cp1251::encodeWord(text, bytes);
        } else {
            bytes = text.toUtf8();
            if (encoding == 2)
                bytes.prepend(kUtf8Bom);
        }
        write(QStringLiteral("words.txt"), bytes);
        state.settings.MinWordLength = static_cast<uint8_t>(random.below(4));
        state.settings.WhiteListOn = random.below(2) == 0;
        QVector<TLST_ITEM> white;
        for (int b = random.below(4); b > 0; --b) {
            QString w = vocabulary.at(random.below(static_cast<int>(vocabulary.size())));
            if (random.below(2) == 0)
                w = w.toUpper();
            white.append({w, 0, static_cast<uint8_t>(random.below(3) == 0 ? 0x01 : 0xFF), ""});
        }
        setItems(state.whiteList, white);
        expectSameAsEveryRow(QStringLiteral("words.txt"), round);
    }
    EXPECT_TRUE(dialogs.atRest());
}

// A text of a few words repeated many times, among thousands of words in
// two spellings each, keeps one row per word; a missing file gives nothing,
// and a file of too many words is refused, adding nothing, as when every row
// is made.
TEST_F(TextCountingTest, RepeatsFoldToOneRowAndTheLimitsStay)
{
    QByteArray bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += "the The cat \xCA\xEE\xF2 \xEA\xEE\xF2 w" + QByteArray::number(i) + " W" + QByteArray::number(i) + "\r\n";
    write(QStringLiteral("many.txt"), bytes);
    DictionaryTable folded;
    ReadTextFileFolded(state, folded, file(QStringLiteral("many.txt")));
    EXPECT_EQ(folded.count(), 3 + 5000);
    expectSameAsEveryRow(QStringLiteral("many.txt"), -1);

    DictionaryTable none;
    ReadTextFileFolded(state, none, file(QStringLiteral("missing.txt")));
    EXPECT_TRUE(none.isEmpty());

    write(QStringLiteral("blanks.txt"), QByteArray(kMaxWordsInFile, ' '));
    DictionaryTable kept;
    kept.append(row("old"));
    EXPECT_THROW(ReadTextFileFolded(state, kept, file(QStringLiteral("blanks.txt"))), VexlonError);
    EXPECT_EQ(kept.count(), 1);
}
