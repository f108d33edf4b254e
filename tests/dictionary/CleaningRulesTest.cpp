#include "dictionary/Cleaning.h"

#include "app/base/Errors.h"
#include "support/RuleFixture.h"

using namespace vexlon;
using namespace vexlon::test;

class CleaningTest : public RuleFixture {
protected:
    CleanRules only(bool CleanRules::*rule)
    {
        CleanRules r;
        r.*rule = true;
        return r;
    }
};

TEST_F(CleaningTest, SymbolsAndNumbersStripBytesAndTheClosingPassesTakeWhatIsLeft)
{
    EXPECT_EQ(StripSymbols("it's-ok!"), QByteArray("itsok"));
    EXPECT_EQ(StripSymbols("a.b"), QByteArray("ab"));
    EXPECT_EQ(StripSymbols("x\xA8y\xB8z\xC0"), QByteArray("xyz\xC0"));
    EXPECT_EQ(StripDigits("abc123"), QByteArray("abc"));

    add("abc123");
    add("a1");      // becomes one letter: the closing short-word pass takes it
    add("12");      // becomes empty
    add("99", "01", status::Locked); // protected: untouched
    CleanDictionary(state, table, only(&CleanRules::numbers));
    EXPECT_EQ(words(), (QList<QByteArray> {"abc", "99"}));
    EXPECT_TRUE(table.modified);
    EXPECT_TRUE(dialogs.atRest());
    EXPECT_TRUE(dialogs.showed("STAT9"));
}

TEST_F(CleaningTest, IntelectRemovesPrefixesOfLongerWordsOfTheSameLanguageOnly)
{
    add("hell");
    add("hello");
    add("hel", "02");   // other language than "hello"
    add("Hell");        // case differs from "hello"
    add("same");
    add("same");        // equal words do not remove each other
    CleanDictionary(state, table, only(&CleanRules::intelect));
    // "same" twice is then reduced to one by the duplicate pass; "Hell" is
    // lower-cased by it.
    EXPECT_EQ(words(), (QList<QByteArray> {"hello", "hel", "hell", "same"}));
}

TEST_F(CleaningTest, IntelectSeesRowsAboveCleanedAndRowsBelowAsTheyWere)
{
    CleanRules rules;
    rules.symbols = true;
    rules.numbers = true;
    rules.intelect = true;
    // "1" and "01" are the same language but different texts, so the
    // duplicate pass keeps both spellings apart.
    table.append(row("ab", "01"));  // sees "ab!" below, not yet cleaned: removed
    table.append(row("ab!", "1"));
    table.append(row("xy1", "01"));
    table.append(row("xy", "1"));   // sees "xy" above, already cleaned: equal, kept
    CleanDictionary(state, table, rules);
    EXPECT_EQ(words(), (QList<QByteArray> {"ab", "xy", "xy"}));
    EXPECT_EQ(table.row(0).languageId, QByteArray("1"));
}

TEST_F(CleaningTest, BlackListLanguageAndLengthRulesSpareProtectedRows)
{
    state.blackList.Items = {{"bad", 0, 0x01, "English"}};
    state.blackList.Count = 1;
    add("bad");
    add("bad", "02");
    add("bad", "01", status::Locked);
    add("Bad");
    CleanDictionary(state, table, only(&CleanRules::blackList));
    EXPECT_EQ(words(), (QList<QByteArray> {"bad", "bad", "bad"})); // "Bad" lower-cased afterwards
    EXPECT_EQ(table.row(0).languageId, QByteArray("02"));

    table.clear();
    state.settings.MinWordLength = 3;
    add("ab");
    add("ab", "02", status::Locked);
    add("abc");
    CleanDictionary(state, table, only(&CleanRules::byLength));
    EXPECT_EQ(words(), (QList<QByteArray> {"ab", "abc"}));

    table.clear();
    state.settings.LanguageCleanIndex = 1; // Russian, 02
    add("one", "02");
    add("two", "01");
    add("six", "02", status::WhiteList);
    CleanDictionary(state, table, only(&CleanRules::language));
    EXPECT_EQ(words(), (QList<QByteArray> {"two", "six"}));
    // An index outside the language structure cleans no language.
    state.settings.LanguageCleanIndex = 200;
    add("ten", "02");
    CleanDictionary(state, table, only(&CleanRules::language));
    EXPECT_EQ(table.count(), 3);
}

TEST_F(CleaningTest, LanguageItemCleansTheChosenLanguageAndRestoresTheSetting)
{
    add("one", "02");
    add("two", "01");
    state.settings.LanguageCleanIndex = 0;
    dialogs.languages = {kNoLanguage};
    EXPECT_FALSE(RunCleaningCommand(state, table, CleaningItem::Language));
    EXPECT_EQ(table.count(), 2);
    EXPECT_FALSE(table.modified);
    EXPECT_EQ(dialogs.statusRefreshes, 1);

    dialogs.languages = {1};
    EXPECT_TRUE(RunCleaningCommand(state, table, CleaningItem::Language));
    EXPECT_EQ(words(), (QList<QByteArray> {"two"}));
    EXPECT_EQ(state.settings.LanguageCleanIndex, 0);
    EXPECT_EQ(dialogs.languagePrompts, (QStringList {"M17", "M17"}));
}

TEST_F(CleaningTest, AllWithEverySwitchOffStillRunsByLengthAndTheClosingPasses)
{
    state.settings.SymbolicClean = state.settings.NumericClean = state.settings.IntelectClean = false;
    state.settings.BlackListClean = state.settings.LanguageClean = false;
    state.settings.MinWordLength = 4;
    const CleanRules rules = rulesForItem(state.settings, CleaningItem::All);
    EXPECT_TRUE(rules.byLength);
    EXPECT_FALSE(rules.symbols || rules.numbers || rules.intelect || rules.blackList || rules.language);
    add("a-b!");
    add("abc");
    add("ABCD");
    add("abcd");
    RunCleaningCommand(state, table, CleaningItem::All);
    EXPECT_EQ(words(), (QList<QByteArray> {"a-b!", "abcd"}));
}

TEST_F(CleaningTest, BadLanguageIdStopsTheRunKeepingWhatWasCleaned)
{
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

TEST_F(CleaningTest, RemoveDuplicatesKeepsProtectedRowsAndOneOfEachGroup)
{
    add("Abc");
    add("abc");
    add("abc", "02");
    add("xyz");
    add("xyz", "01", status::Locked);
    add("XYZ");
    RemoveDuplicates(state, table);
    // The locked "xyz" ends the first "xyz"'s search, so that one stays; at
    // its own turn the locked row removes the first; "XYZ" then meets the
    // locked row and stays too.
    ASSERT_EQ(words(), (QList<QByteArray> {"abc", "abc", "xyz", "xyz"}));
    EXPECT_EQ(table.row(1).languageId, QByteArray("02"));
    EXPECT_EQ(table.row(2).status, QByteArray(status::Locked));
    EXPECT_EQ(table.row(3).number, QByteArray("6"));
    EXPECT_TRUE(dialogs.atRest());

    // An upper-case row finds the earlier lower-case one only at its own
    // turn, and the earlier one goes: the later row stays in its place.
    table.clear();
    add("qq", "01", status::EditedByUser);
    add("mid");
    add("QQ");
    RemoveDuplicates(state, table);
    EXPECT_EQ(words(), (QList<QByteArray> {"mid", "qq"}));
    EXPECT_EQ(table.row(1).status, QByteArray(status::UsersDictionary));
}

TEST_F(CleaningTest, RemoveShortWordsSparesProtectedRows)
{
    add("");
    add("a");
    add("a", "01", status::WhiteList);
    add("ab");
    RemoveShortWords(state, table, 2);
    EXPECT_EQ(words(), (QList<QByteArray> {"a", "ab"}));
    EXPECT_TRUE(dialogs.showed("STAT7"));
    EXPECT_TRUE(dialogs.atRest());
}
