// The indexed word rules against their plain references on many random
// tables: the same rows, in the same order, with the same cells.
#include "app/base/Errors.h"
#include "dictionary/Cleaning.h"
#include "dictionary/ReferenceRules.h"
#include "dictionary/Validation.h"
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
};

TEST_F(ReferenceEquivalenceTest, RemoveDuplicatesAndShortWordsMatchOnRandomTables)
{
    RandomTables random(20240611);
    for (int round = 0; round < 400; ++round) {
        const QVector<DictRow> rows = random.rows(1 + random.below(40));
        DictionaryTable fast;
        fast.replaceAll(rows);
        DictionaryTable plain;
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
        for (int b = random.below(6); b > 0; --b) {
            TLST_ITEM item;
            item.Word = random.word(3);
            item.LanguageID = static_cast<uint8_t>(random.below(3) == 0 ? 2 : 1);
            state.blackList.Items.append(item);
        }
        state.blackList.Count = static_cast<int>(state.blackList.Items.size());

        const QVector<DictRow> rows = random.rows(1 + random.below(40));
        DictionaryTable fast;
        fast.replaceAll(rows);
        DictionaryTable plain;
        plain.replaceAll(rows);
        CleanDictionary(state, fast, rules);
        reference::CleanDictionary(state.settings, state.langStructure, state.blackList, plain, rules);
        ASSERT_EQ(fast.rows(), plain.rows()) << "round " << round << "\nin:   " << describe(rows)
                                            << "\nfast: " << describe(fast.rows()) << "\nref:  " << describe(plain.rows());
        ASSERT_TRUE(fast.modified);
    }
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(ReferenceEquivalenceTest, StoppedCleaningLeavesTheSameRows)
{
    RandomTables random(5);
    for (int round = 0; round < 100; ++round) {
        QVector<DictRow> rows = random.rows(2 + random.below(20));
        rows[random.below(static_cast<int>(rows.size()))].languageId = "g1";
        CleanRules rules;
        rules.symbols = true;
        rules.intelect = true;
        DictionaryTable fast;
        fast.replaceAll(rows);
        DictionaryTable plain;
        plain.replaceAll(rows);
        bool fastThrew = false;
        bool plainThrew = false;
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
        ASSERT_EQ(fast.rows(), plain.rows()) << "round " << round;
    }
}

TEST_F(ReferenceEquivalenceTest, PreSaveCheckMatches)
{
    RandomTables random(99);
    int failing = 0;
    for (int round = 0; round < 500; ++round) {
        QVector<DictRow> rows;
        const int n = random.below(30);
        for (int i = 0; i < n; ++i) {
            DictRow r = random.row(i + 1);
            r.word = random.word(8);
            if (random.below(200) == 0)
                r.word = QByteArray(250, 'w');
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

TEST_F(ReferenceEquivalenceTest, LargeTableGivesTheSameResult)
{
    const QVector<DictRow> rows = largeTable(3, 3000);
    DictionaryTable fast;
    fast.replaceAll(rows);
    DictionaryTable plain;
    plain.replaceAll(rows);
    CleanRules rules = rulesForItem(state.settings, CleaningItem::All);
    CleanDictionary(state, fast, rules);
    reference::CleanDictionary(state.settings, state.langStructure, state.blackList, plain, rules);
    EXPECT_LT(fast.count(), rows.size());
    EXPECT_EQ(fast.rows(), plain.rows());
}
