// The indexed word rules against their plain references on many random
// tables: the same rows, in the same order, with the same cells.
#include "core/base/Errors.h"
#include "core/dictionary/Cleaning.h"
#include "core/dictionary/ReferenceRules.h"
#include "core/dictionary/Validation.h"
#include "support/RandomTables.h"
#include "support/CoreFixture.h"

#include <functional>

using namespace vexlon;
using namespace vexlon::test;

class ReferenceEquivalenceTest : public CoreFixture {
protected:
    // The indexed and the plain pass on copies of rows must end alike,
    // finished or stopped by a ConvertError; plain keeps the result.
    static void expectSame(const QVector<DictRow>& rows, int round, const std::function<void(DictionaryTable&)>& indexed,
                           const std::function<void(DictionaryTable&)>& reference, DictionaryTable& plain)
    {
        DictionaryTable fast;
        fast.replaceAll(rows);
        plain.replaceAll(rows);
        auto throws = [](const std::function<void(DictionaryTable&)>& pass, DictionaryTable& t) {
            try {
                pass(t);
            } catch (const ConvertError&) {
                return true;
            }
            return false;
        };
        const bool fastThrew = throws(indexed, fast);
        ASSERT_EQ(fastThrew, throws(reference, plain)) << "round " << round;
        ASSERT_EQ(fast.rows(), plain.rows()) << "round " << round; // the seed replays it
        ASSERT_TRUE(fastThrew || fast.modified == plain.modified) << "round " << round;
    }
};

// Random tables of up to 40 short words (repeats, prefixes, case variants,
// protected rows, language IDs that stop a pass or spell one ID in several
// ways): every set of cleaning rules, the closing passes and the pre-save check.
TEST_F(ReferenceEquivalenceTest, IndexedRulesMatchThePlainOnesOnRandomTables)
{
    RandomTables random(77);
    int failing = 0;
    for (int round = 0; round < 640; ++round) {
        CleanRules rules;
        const int bits = round % 64;
        rules.symbols = bits & 1;
        rules.numbers = bits & 2;
        rules.language = bits & 4;
        rules.intelect = bits & 8;
        rules.blackList = bits & 16;
        rules.byLength = bits & 32;
        state.settings.MinWordLength = static_cast<uint8_t>(random.below(5));
        state.settings.LanguageCleanIndex = static_cast<uint8_t>(random.below(4)); // 3 lies outside
        QVector<TLST_ITEM> black;
        for (int b = random.below(6); b > 0; --b)
            black.append({random.word(3), 0, static_cast<uint8_t>(random.below(3) == 0 ? 2 : 1), ""});
        setItems(state.blackList, black);
        QVector<DictRow> rows = random.rows(1 + random.below(40));
        if (random.below(100) == 0)
            rows[0].word = QByteArray(250, 'w');
        // Other spellings of the same language IDs, and texts that are not
        // hexadecimal at all, which only ever equal themselves.
        if (round % 3 == 1) {
            static const char* const spellings[] = {"1", "001", "0001", "01", "g1", "G1"};
            for (DictRow& row : rows) {
                if (random.below(2) == 0)
                    row.languageId = row.languageId == "02" ? QByteArray("2") : QByteArray(spellings[random.below(6)]);
            }
        }
        DictionaryTable plain;
        expectSame(rows, round, [&](DictionaryTable& t) { RemoveDuplicates(state, t); }, reference::RemoveDuplicates, plain);
        const auto minimum = static_cast<uint8_t>(random.below(5));
        const QVector<DictRow> deduplicated = plain.rows();
        expectSame(deduplicated, round, [&](DictionaryTable& t) { RemoveShortWords(state, t, minimum); },
                   [&](DictionaryTable& t) { reference::RemoveShortWords(t, minimum); }, plain);
        // The pre-save check on the table as it came and as the closing
        // passes left it.
        DictionaryTable raw;
        raw.replaceAll(rows);
        for (const DictionaryTable* checked : {&raw, &plain}) {
            const bool problem = reference::DictionaryHasProblem(*checked);
            failing += problem;
            ASSERT_EQ(DictionaryHasProblem(state, *checked), problem) << "round " << round;
        }
        if (round % 5 == 0)
            rows[random.below(static_cast<int>(rows.size()))].languageId = "g1";
        expectSame(rows, round, [&](DictionaryTable& t) { CleanDictionary(state, t, rules); },
                   [&](DictionaryTable& t) { reference::CleanDictionary(state.settings, state.langStructure, state.blackList, t, rules); },
                   plain);
    }
    EXPECT_GT(failing, 100); // both outcomes of the check were exercised
    EXPECT_LT(failing, 1180) << failing;
    EXPECT_TRUE(dialogs.atRest());
    // A table of a full dictionary's size.
    const QVector<DictRow> large = largeTable(3, 3000);
    const CleanRules all = rulesForItem(state.settings, CleaningItem::All);
    DictionaryTable plain;
    expectSame(large, -1, [&](DictionaryTable& t) { CleanDictionary(state, t, all); },
               [&](DictionaryTable& t) { reference::CleanDictionary(state.settings, state.langStructure, state.blackList, t, all); },
               plain);
    EXPECT_LT(plain.count(), large.size());
}

// The lower case duplicate removal uses is the code page's: every character
// of Windows-1251, random words of them, and words with letters from outside
// it (Greek capitals whose lower case depends on their neighbours, the
// Turkish dotted I). Then duplicate removal on tables made of few words in
// many spellings, so that groups are large and hold protected rows, already
// lower-case rows and rows in other capitals in every order.
TEST_F(ReferenceEquivalenceTest, DuplicateRemovalInOnePassMatchesTheWalkOnLargeGroups)
{
    for (int b = 0; b < 256; ++b) {
        const QString c = cp1251::toUnicode(QByteArray(1, static_cast<char>(b)));
        ASSERT_EQ(stableLowerCase(c), std::optional<QString>(cp1251::toLower(c))) << b;
    }
    const QString extra[] = {QStringLiteral("\u039F\u03A3"), QStringLiteral("\u03BF\u03C3"), QStringLiteral("\u03BF\u03C2"),
                             QStringLiteral("\u0130a"), QStringLiteral("i\u0307a"), QStringLiteral("\u03A3\u0410")};
    RandomTables random(6);
    for (int round = 0; round < 400; ++round) {
        QStringList vocabulary;
        for (int v = 1 + random.below(4); v > 0; --v)
            vocabulary << (random.below(5) == 0 ? extra[random.below(6)] : random.word(2));
        QVector<DictRow> rows;
        static const char* const statuses[] = {status::UsersDictionary, status::Locked, status::WhiteList, status::TextFile};
        static const char* const ids[] = {"01", "1", "02", "x"};
        for (int r = 1 + random.below(30); r > 0; --r) {
            QString w = vocabulary.at(random.below(static_cast<int>(vocabulary.size())));
            const int form = random.below(4);
            if (form == 0)
                w = w.toUpper();
            else if (form == 1)
                w = cp1251::toLower(w);
            ASSERT_EQ(stableLowerCase(w), std::optional<QString>(cp1251::toLower(w))) << "round " << round;
            rows.append({w, QByteArray::number(r), ids[random.below(4)], "L", statuses[random.below(4)], false});
        }
        DictionaryTable plain;
        expectSame(rows, round, [&](DictionaryTable& t) { RemoveDuplicates(state, t); }, reference::RemoveDuplicates, plain);
    }
}
