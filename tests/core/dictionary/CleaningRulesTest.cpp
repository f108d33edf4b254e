// Cleaning and the pre-save check on small tables whose outcome is known.
// The indexed passes are compared with the plain ones on random tables in
// ReferenceEquivalenceTest; these cases pin what both must do.
#include "core/dictionary/Cleaning.h"

#include "core/base/Errors.h"
#include "core/dictionary/Validation.h"
#include "support/CoreFixture.h"

using namespace vexlon;
using namespace vexlon::test;

class CleaningTest : public CoreFixture {};

// Each rule alone, then the closing passes (short words, duplicates with
// lower-casing). Protected rows are never touched.
TEST_F(CleaningTest, EachRuleRemovesItsRowsAndSparesProtectedOnesUntilABadLanguageId)
{
    EXPECT_EQ(StripSymbols("it's-ok!"), QByteArray("itsok")); // digits, letters and high Cyrillic stay
    EXPECT_EQ(StripSymbols("x\xA8y\xB8z\xC0" "9"), QByteArray("xyz\xC0" "9"));
    EXPECT_EQ(StripDigits("a1b23\xC0"), QByteArray("ab\xC0"));
    struct Row {
        QByteArray word, id, status;
    };
    const QByteArray U = status::UsersDictionary, L = status::Locked, W = status::WhiteList;
    struct Case {
        const char* name;
        bool CleanRules::*rule;
        QVector<Row> rows;
        QList<QByteArray> expected;
    };
    const QVector<Case> cases = {
        {"symbols", &CleanRules::symbols, {{"it's", "01", U}, {"a-", "01", U}, {"b!", "01", L}}, {"its", "b!"}},
        {"numbers", &CleanRules::numbers, {{"abc123", "01", U}, {"a1", "01", U}, {"12", "01", U}, {"99", "01", L}},
         {"abc", "99"}},
        {"black list", &CleanRules::blackList, {{"bad", "01", U}, {"bad", "02", U}, {"bad", "01", L}, {"Bad", "01", U}},
         {"bad", "bad", "bad"}},
        {"by length", &CleanRules::byLength, {{"ab", "01", U}, {"ab", "02", L}, {"abc", "01", U}}, {"ab", "abc"}},
        {"language", &CleanRules::language, {{"one", "02", U}, {"two", "01", U}, {"six", "02", W}}, {"two", "six"}},
        // Prefixes of longer words of the same language go; equal words do
        // not remove each other (the duplicate pass does).
        {"intelect", &CleanRules::intelect,
         {{"hell", "01", U}, {"hello", "01", U}, {"hel", "02", U}, {"Hell", "01", U}, {"he", "01", L}, {"same", "01", U},
          {"same", "01", U}},
         {"hello", "hel", "hell", "he", "same"}},
    };
    state.settings.MinWordLength = 3;
    state.settings.LanguageCleanIndex = 1; // Russian, 02
    setItems(state.blackList, {{"bad", 0, 0x01, "English"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        table.clear();
        for (const Row& r : c.rows)
            add(r.word, r.id, r.status);
        dialogs.captions.clear();
        CleanRules rules;
        rules.*c.rule = true;
        CleanDictionary(state, table, rules);
        EXPECT_EQ(words(), c.expected);
        EXPECT_TRUE(table.modified);
        EXPECT_EQ(dialogs.captions, (QStringList {"STAT9", "STAT7", "STAT6"}));
        EXPECT_TRUE(dialogs.atRest());
    }

    // A bad language ID stops the run, keeping what was cleaned.
    table.clear();
    table.modified = false;
    add("ab1");
    table.append(row("cd2", "zz"));
    add("ef3");
    CleanRules rules;
    rules.numbers = true;
    rules.blackList = true;
    EXPECT_THROW(CleanDictionary(state, table, rules), ConvertError);
    EXPECT_EQ(words(), (QList<QByteArray> {"ab", "cd2", "ef3"}));
    EXPECT_TRUE(table.modified); // a row has changed
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(CleaningTest, MenuLanguageItemAsksAndAllRunsByLengthEvenWithEverySwitchOff)
{
    add("one", "02");
    add("two", "01");
    state.settings.LanguageCleanIndex = 2;
    dialogs.languages = {kNoLanguage};
    EXPECT_FALSE(RunCleaningCommand(state, table, CleaningItem::Language));
    EXPECT_EQ(table.count(), 2);
    EXPECT_FALSE(table.modified);
    EXPECT_EQ(dialogs.statusRefreshes, 1);

    dialogs.languages = {1};
    EXPECT_TRUE(RunCleaningCommand(state, table, CleaningItem::Language));
    EXPECT_EQ(words(), (QList<QByteArray> {"two"}));
    EXPECT_EQ(state.settings.LanguageCleanIndex, 2); // the choice held for that run only
    EXPECT_EQ(dialogs.languagePrompts, (QStringList {"M17", "M17"}));

    table.clear();
    state.settings.SymbolicClean = state.settings.NumericClean = state.settings.IntelectClean = false;
    state.settings.BlackListClean = state.settings.LanguageClean = false;
    state.settings.MinWordLength = 4;
    for (const char* w : {"a-b!", "abc", "ABCD", "abcd"})
        add(w);
    RunCleaningCommand(state, table, CleaningItem::All);
    EXPECT_EQ(words(), (QList<QByteArray> {"a-b!", "abcd"}));
    EXPECT_EQ(dialogs.statusRefreshes, 3);
}

TEST_F(CleaningTest, PreSaveCheckBoundsAndRepairLeavesProtectedProblems)
{
    add("ab", "01");
    add("ab", "02");
    add(QByteArray(249, 'w'));
    EXPECT_FALSE(DictionaryHasProblem(state, table));
    EXPECT_TRUE(dialogs.captions.contains("STAT8"));
    EXPECT_TRUE(dialogs.atRest());
    for (const QByteArray& bad : {QByteArray("ab"), QByteArray("x"), QByteArray(250, 'w')}) {
        add(bad);
        EXPECT_TRUE(DictionaryHasProblem(state, table)) << bad.size();
        table.removeAt(table.count() - 1);
    }

    table.clear();
    add("a");
    add("b", "01", status::Locked);
    add("cd");
    add("CD");
    add("ef", "01", status::Locked);
    add("ef", "01", status::WhiteList);
    RepairDictionary(state, table);
    EXPECT_EQ(words(), (QList<QByteArray> {"b", "cd", "ef", "ef"}));
    EXPECT_TRUE(DictionaryHasProblem(state, table));
    EXPECT_EQ(dialogs.statusRefreshes, 1);
}
