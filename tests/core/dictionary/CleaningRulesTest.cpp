// Cleaning and the pre-save check on small tables whose outcome is known;
// ReferenceEquivalenceTest compares the indexed and the plain passes.
#include "core/dictionary/Cleaning.h"

#include "core/base/CodePage1251.h"
#include "core/base/Errors.h"
#include "core/dictionary/Validation.h"
#include "support/CoreFixture.h"

#include <QStringDecoder>

using namespace vexlon;
using namespace vexlon::test;

class CleaningTest : public CoreFixture {};

// Each rule alone, then the closing passes (short words, duplicates with
// lower-casing). Protected rows are never touched.
TEST_F(CleaningTest, EachRuleRemovesItsRowsAndSparesProtectedOnesUntilABadLanguageId)
{
    EXPECT_EQ(StripSymbols(QStringLiteral(u"it's-ok!")), u"itsok"); // digits, letters and high Cyrillic stay
    EXPECT_EQ(StripSymbols(cp("x\xA8y\xB8z\xC0" "9\xAB\xB9")), cp("x\xA8y\xB8z\xC0" "9")); // Ёё stay, «№ go
    EXPECT_EQ(StripSymbols(QStringLiteral(u"grüße!")), u"grüße"); // letters of any language stay
    const QString kept = QStringLiteral("a") + cp1251::keptCode(0x9F);
    EXPECT_EQ(StripSymbols(kept), kept); // so do codes the program cannot read
    EXPECT_EQ(StripDigits(cp("a1b23\xC0")), cp("ab\xC0"));
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
    add("cd2", "zz");
    add("ef3");
    CleanRules rules;
    rules.numbers = rules.blackList = true;
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
    const std::pair<const char*, const char*> rows[] = {{"a", status::UsersDictionary}, {"b", status::Locked}, {"cd", status::UsersDictionary},
                                                        {"CD", status::UsersDictionary}, {"ef", status::Locked}, {"ef", status::WhiteList}};
    for (const auto& [w, st] : rows)
        add(w, "01", st);
    RepairDictionary(state, table);
    EXPECT_EQ(words(), (QList<QByteArray> {"b", "cd", "ef", "ef"}));
    EXPECT_TRUE(DictionaryHasProblem(state, table));
    EXPECT_EQ(dialogs.statusRefreshes, 1);
}

// Ukrainian, Belarusian, Serbian and Macedonian letters sit among 0x80 to
// 0xBF between quotes, dashes and signs.
TEST_F(CleaningTest, SymbolsKeepsEveryLetterOfTheCodePageAndDropsEverySign)
{
    QStringDecoder decoder("windows-1251");
    ASSERT_TRUE(decoder.isValid());
    int kept = 0;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString text = decoder.decode(QByteArrayView(&byte, 1));
        decoder.resetState();
        const bool letter = text.size() == 1 && text.at(0).isLetter();
        const bool digit = b >= '0' && b <= '9';
        const QString word = cp(QByteArray("a") + byte + "b");
        const QString expected = letter || digit ? word : QStringLiteral("ab");
        EXPECT_EQ(StripSymbols(word), expected) << "byte 0x" << std::hex << b;
        kept += letter || digit;
    }
    // 10 digits, 52 ASCII letters, 64 letters from 0xC0 and the letters
    // among 0x80 to 0xBF (at least the 30 Cyrillic ones).
    EXPECT_GE(kept, 10 + 52 + 64 + 30);
    // Words of the languages that need those letters keep them whole.
    for (const QString& w : QStringLiteral(u"їжа сёння ґанок єдність ўсё љубав џеп Јања").split(QLatin1Char(' '))) {
        const QByteArray bytes = cp1251::fromUnicode(w);
        ASSERT_FALSE(bytes.contains('?')) << w.toStdString();
        EXPECT_EQ(StripSymbols(w), w) << w.toStdString();
        // Signs around them still go.
        EXPECT_EQ(StripSymbols(cp("\xAB" + bytes + "\xBB!\x96")), w) << w.toStdString();
    }
}

// IDs with one low byte are one language for the pre-save check and the
// duplicate pass; texts that are not hexadecimal equal only themselves.
TEST_F(CleaningTest, RepeatsAreFoundAcrossSpellingsOfOneLanguageId)
{
    for (const char* id : {"1", "01", "0001", "101"})
        add("word", id);
    add("word", "02");
    EXPECT_TRUE(DictionaryHasProblem(state, table));
    RemoveDuplicates(state, table);
    EXPECT_EQ(words(), (QList<QByteArray> {"word", "word"}));
    EXPECT_EQ(column(ColLanguageId), (QList<QByteArray> {"1", "02"}));
    EXPECT_FALSE(DictionaryHasProblem(state, table));

    // Case of the hexadecimal digits does not matter, the value does.
    table.clear();
    add("ab", "0a");
    add("AB", "A");
    add("ab", "1A");
    EXPECT_FALSE(DictionaryHasProblem(state, table)); // "ab" and "AB" differ byte-wise
    add("ab", "00A");
    EXPECT_TRUE(DictionaryHasProblem(state, table));
    RemoveDuplicates(state, table);
    EXPECT_EQ(words(), (QList<QByteArray> {"ab", "ab"}));
    EXPECT_EQ(column(ColLanguageId), (QList<QByteArray> {"A", "1A"}));

    // Texts that do not read as numbers: compared as text, as before.
    table.clear();
    add("cd", "g1");
    add("cd", "G1");
    add("cd", "01");
    EXPECT_FALSE(DictionaryHasProblem(state, table));
    add("cd", "g1");
    EXPECT_TRUE(DictionaryHasProblem(state, table));
    EXPECT_NO_THROW(RemoveDuplicates(state, table));
    EXPECT_EQ(column(ColLanguageId), (QList<QByteArray> {"g1", "G1", "01"}));

    // Of a group under several spellings only its protected row stays.
    table.clear();
    add("ef", "01");
    add("ef", "1", status::Locked);
    add("ef", "0001");
    RemoveDuplicates(state, table);
    EXPECT_EQ(column(ColLanguageId) + column(ColStatus), (QList<QByteArray> {"1", status::Locked}));
    EXPECT_TRUE(dialogs.atRest());
}
