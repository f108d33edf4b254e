// The indexed word rules against their plain references on many random
// tables: the same rows, in the same order, with the same cells.
#include "core/base/Errors.h"
#include "core/dictionary/Cleaning.h"
#include "core/dictionary/ReferenceRules.h"
#include "core/dictionary/Validation.h"
#include "support/RandomTables.h"
#include "support/RuleFixture.h"

using namespace vexlon;
using namespace vexlon::test;

class ReferenceEquivalenceTest : public RuleFixture {
protected:
    static std::string describe(const QVector<DictRow>& rows)
    {
        std::string out;
        for (const DictRow& r : rows)
            out += r.word.toHex().toStdString() + "/" + r.languageId.toStdString() + "/" + r.status.toStdString() + "/"
                + r.number.toStdString() + " ";
        return out;
    }
    // Runs the indexed and the plain cleaning on copies of rows; both must
    // end alike, whether they finish or stop with ConvertError.
    void expectSameCleaning(const QVector<DictRow>& rows, const CleanRules& rules, int round)
    {
        DictionaryTable fast, plain;
        fast.replaceAll(rows);
        plain.replaceAll(rows);
        bool fastThrew = false, plainThrew = false;
        try {
            CleanDictionary(state, fast, rules);
        } catch (const ConvertError&) {
            fastThrew = true;
        }
        try {
            reference::CleanDictionary(state.settings, state.langStructure, state.blackList, plain, rules);
        } catch (const ConvertError&) {
            plainThrew = true;
        }
        ASSERT_EQ(fastThrew, plainThrew) << "round " << round;
        ASSERT_EQ(fast.rows(), plain.rows()) << "round " << round << "\nin:   " << describe(rows)
                                            << "\nfast: " << describe(fast.rows()) << "\nref:  " << describe(plain.rows());
        if (!fastThrew) {
            ASSERT_TRUE(fast.modified);
        }
    }
};

TEST_F(ReferenceEquivalenceTest, RemoveDuplicatesAndShortWordsMatchOnRandomTables)
{
    RandomTables random(20240611);
    for (int round = 0; round < 400; ++round) {
        const QVector<DictRow> rows = random.rows(1 + random.below(40));
        DictionaryTable fast, plain;
        fast.replaceAll(rows);
        plain.replaceAll(rows);
        RemoveDuplicates(state, fast);
        reference::RemoveDuplicates(plain);
        ASSERT_EQ(fast.rows(), plain.rows()) << "round " << round << "\nin:   " << describe(rows)
                                            << "\nfast: " << describe(fast.rows()) << "\nref:  " << describe(plain.rows());
        const auto minimum = static_cast<uint8_t>(random.below(5));
        RemoveShortWords(state, fast, minimum);
        reference::RemoveShortWords(plain, minimum);
        ASSERT_EQ(fast.rows(), plain.rows()) << "round " << round;
    }
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(ReferenceEquivalenceTest, CleanDictionaryMatchesForEveryRuleSet)
{
    RandomTables random(77);
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
        state.blackList = TLST();
        for (int b = random.below(6); b > 0; --b)
            state.blackList.Items.append({random.word(3), 0, static_cast<uint8_t>(random.below(3) == 0 ? 2 : 1), ""});
        state.blackList.Count = static_cast<int>(state.blackList.Items.size());
        expectSameCleaning(random.rows(1 + random.below(40)), rules, round);
    }
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(ReferenceEquivalenceTest, StoppedCleaningLeavesTheSameRows)
{
    RandomTables random(5);
    CleanRules rules;
    rules.symbols = true;
    rules.intelect = true;
    for (int round = 0; round < 100; ++round) {
        QVector<DictRow> rows = random.rows(2 + random.below(20));
        rows[random.below(static_cast<int>(rows.size()))].languageId = "g1";
        expectSameCleaning(rows, rules, round);
    }
}

TEST_F(ReferenceEquivalenceTest, LargeTableGivesTheSameResult)
{
    const QVector<DictRow> rows = largeTable(3, 3000);
    expectSameCleaning(rows, rulesForItem(state.settings, CleaningItem::All), 0);
    DictionaryTable cleaned;
    cleaned.replaceAll(rows);
    CleanDictionary(state, cleaned, rulesForItem(state.settings, CleaningItem::All));
    EXPECT_LT(cleaned.count(), rows.size());
}

TEST_F(ReferenceEquivalenceTest, PreSaveCheckMatches)
{
    RandomTables random(99);
    int failing = 0;
    for (int round = 0; round < 500; ++round) {
        QVector<DictRow> rows;
        for (int i = 0, n = random.below(30); i < n; ++i) {
            DictRow r = random.row(i + 1);
            r.word = random.below(200) == 0 ? QByteArray(250, 'w') : random.word(8);
            rows.append(r);
        }
        DictionaryTable t;
        t.replaceAll(rows);
        const bool expected = reference::DictionaryHasProblem(t);
        failing += expected;
        ASSERT_EQ(DictionaryHasProblem(state, t), expected) << "round " << round;
    }
    EXPECT_GT(failing, 50); // both outcomes were exercised
    EXPECT_LT(failing, 450);
    EXPECT_TRUE(dialogs.atRest());
}
