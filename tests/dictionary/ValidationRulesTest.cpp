#include "dictionary/Validation.h"

#include "support/RuleFixture.h"

using namespace vexlon;
using namespace vexlon::test;

class ValidationTest : public RuleFixture {};

TEST_F(ValidationTest, CheckFindsEmptyShortLongAndRepeatedWords)
{
    add("ab", "01");
    add("ab", "02");
    EXPECT_FALSE(DictionaryHasProblem(state, table));
    add("ab", "01");
    EXPECT_TRUE(DictionaryHasProblem(state, table));
    EXPECT_TRUE(dialogs.atRest());
    EXPECT_TRUE(dialogs.showed("STAT8"));

    table.clear();
    add("x");
    EXPECT_TRUE(DictionaryHasProblem(state, table));
    table.clear();
    add(QByteArray(249, 'w'));
    EXPECT_FALSE(DictionaryHasProblem(state, table));
    add(QByteArray(250, 'w'));
    EXPECT_TRUE(DictionaryHasProblem(state, table));
}

TEST_F(ValidationTest, RepairLeavesProtectedProblemsInPlace)
{
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
