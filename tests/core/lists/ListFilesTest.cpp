#include "core/lists/ListFiles.h"

#include "core/base/CodePage1251.h"
#include "core/base/Errors.h"
#include "support/CoreFixture.h"

using namespace vexlon;
using namespace vexlon::test;

class ListFilesTest : public CoreFixture {
protected:
    static QByteArray listFile(const QByteArray& amount, const QList<QByteArray>& entries)
    {
        QByteArray out = "Vexlon list file\r\nList Type;Black/White list\r\nLastUpdate;x\r\nWord Amount;" + amount + "\r\n";
        for (const QByteArray& e : entries)
            out += e + "\r\n";
        return out;
    }
};

TEST_F(ListFilesTest, WrittenListReadsBackWithNamesFromTheStructure)
{
    TSTATLST list;
    setItems(list, {{"hello", 7, 0x01, "stale"}, {cp("\xEF\xF0\xE8"), -3, 0x02, "Russian"}, {"", 0, 0x7F, "x"}});
    const QString path = file("Lists/Statistic.csv");
    WriteListFile(list, path);
    const QByteArray bytes = read("Lists/Statistic.csv");
    const QList<QByteArray> lines = bytes.split('\n');
    EXPECT_EQ(lines.mid(0, 2) + lines.mid(3, 2), (QList<QByteArray> {"Vexlon list file\r", "List Type;Statistic list\r", "Word Amount;3\r",
                                                                     "hello;7;01;stale\r"}));
    EXPECT_TRUE(lines[2].startsWith("LastUpdate;") && lines[2].contains(" at "));
    EXPECT_TRUE(bytes.endsWith(";0;7F;x\r\n"));

    TSTATLST back;
    ASSERT_TRUE(ReadListFile(path, back, state.langStructure));
    EXPECT_EQ(entries(back), entries(list));
    ASSERT_EQ(back.Items.size(), 3);
    EXPECT_EQ(back.Items[0].LanguageTitle + '/' + back.Items[2].LanguageTitle, QByteArray("English/Unknown"));

    // An empty list is the four header lines alone.
    WriteListFile(TLST(), path);
    EXPECT_TRUE(read("Lists/Statistic.csv").endsWith("Word Amount;0\r\n"));
    EXPECT_EQ(read("Lists/Statistic.csv").count('\n'), 4);
}

TEST_F(ListFilesTest, HeaderIsCheckedExactlyOnlyCountEntriesAreReadAndDamagedFieldsRaise)
{
    TLST list;
    setItems(list, {{"keep", 1, 1, "English"}});
    EXPECT_FALSE(ReadListFile(file("Lists/none.csv"), list, state.langStructure));
    for (const QByteArray& bad : {QByteArray("Vexlon list file \r\n"), QByteArray("vexlon list file\r\nx\r\nx\r\nWord Amount;0\r\n"),
                                  QByteArray("Vexlon list file\r\nx\r\nx\r\nWord Amount 0\r\n")})
        EXPECT_FALSE(ParseListFile(bad, list, state.langStructure)) << bad.constData();
    EXPECT_EQ(entries(list), (QList<QByteArray> {"1", "keep/1/1"})); // a refused file leaves the list alone

    // A statistic file is accepted as a white list: the type line is not read.
    ASSERT_TRUE(ParseListFile(listFile("2", {"a;5;01;", "b;6;1FF;Whatever;more;fields"}), list, state.langStructure));
    ASSERT_EQ(list.Count, 2);
    EXPECT_EQ(list.Items[1].LanguageID, 0xFF);
    EXPECT_EQ(list.Items[1].LanguageTitle, QByteArray("Unknown"));
    // More lines than the count: only the first count entries.
    ASSERT_TRUE(ParseListFile(listFile("1", {";5;0A;", "b;6;01;"}), list, state.langStructure));
    ASSERT_EQ(list.Count, 1);
    EXPECT_EQ(list.Items[0].Word, QByteArray());
    EXPECT_EQ(list.Items[0].LanguageTitle, QByteArray("German"));

    // Damaged fields raise errors without reading past the file.
    const QByteArray notNumbers[] = {listFile("", {}), listFile("x", {}), listFile("1", {"a;b;01;"}),
                                          listFile("1", {"a;1;0G;"}), listFile("1", {"a;1;01"}) /* needs its ";" */};
    for (const QByteArray& bad : notNumbers)
        EXPECT_THROW(ParseListFile(bad, list, state.langStructure), ConvertError) << bad.constData();
    // A count far beyond the lines present: the entries before the missing
    // line stay, nothing is read or reserved beyond the file.
    try {
        ParseListFile(listFile("2000000000", {"a;1;01;", "b;2\x01;02;"}), list, state.langStructure,
                      QStringLiteral("Lists/x.csv"));
        FAIL() << "no conversion error";
    } catch (const ConvertError& e) {
        // The message names the file and the line, and shows no raw control
        // character.
        EXPECT_EQ(e.message(), QStringLiteral("File \"Lists/x.csv\", line 6: '2\\x01' is not a valid integer value"));
    }
    EXPECT_EQ(entries(list), (QList<QByteArray> {"1", "a/1/1"}));

    setItems(list, {{"keep", 1, 1, "English"}});
    EXPECT_THROW(ParseListFile(listFile("-1", {}), list, state.langStructure), RangeError);
    EXPECT_EQ(list.Count, 1);
}

TEST_F(ListFilesTest, UnstorableWordsAreRefusedMembershipIsExactAndUnreadableListsAreEmptied)
{
    TLST list;
    setItems(list, {{"ok", 1, 1, "English"}});
    const QString path = file("out.csv");
    WriteListFile(list, path);
    const QByteArray before = read("out.csv");
    list.Items.append({"a;b", 2, 1, "English"});
    list.Count = 2;
    EXPECT_THROW(WriteListFile(list, path), VexlonError);
    EXPECT_EQ(read("out.csv"), before);
    EXPECT_FALSE(listCanStore("a\nb"));
    EXPECT_TRUE(listCanStore("\xC0\xE0"));

    // Membership is exact: case and language count.
    setItems(list, {{"Word", 1, 0x01, ""}, {"word", 1, 0x02, ""}});
    EXPECT_TRUE(IsInList(list, "Word", 0x01));
    EXPECT_FALSE(IsInList(list, "word", 0x01));
    EXPECT_FALSE(IsInList(list, "Word", 0x02));

    setItems(state.whiteList, {{"stale", 1, 1, ""}});
    EXPECT_FALSE(ReadProgramList(state, ListKind::White));
    EXPECT_EQ(entries(state.whiteList), QList<QByteArray> {"0"});
    EXPECT_EQ(listReadErrorText(ListKind::Statistic), QStringLiteral("ERROR[03]: Error of reading Statislic list file."));
    write("Lists/BlackList.csv", listFile("1", {"nope;0;02;"}));
    EXPECT_TRUE(ReadProgramList(state, ListKind::Black));
    EXPECT_EQ(state.blackList.Items[0].LanguageTitle, QByteArray("Russian"));
}

// UTF-8 with or without the byte-order mark reads as the Windows-1251 twin.
TEST_F(ListFilesTest, ListsReadUtf8AndWriteItOnlyWhenAWordNeedsIt)
{
    const QString text = QStringLiteral(u"Vexlon list file\r\nList Type;Black/White list\r\nLastUpdate;x\r\n"
                                        u"Word Amount;1\r\nсёння;4;04;\r\n");
    for (const QByteArray& bytes : {cp1251::fromUnicode(text), text.toUtf8(), "\xEF\xBB\xBF" + text.toUtf8()}) {
        TLST parsed;
        ASSERT_TRUE(ParseListFile(bytes, parsed, state.langStructure));
        ASSERT_EQ(parsed.Items.size(), 1);
        EXPECT_EQ(parsed.Items[0].Word, QStringLiteral(u"сёння"));
    }
    TLST list;
    setItems(list, {{QStringLiteral(u"сёння"), 1, 0x04, ""}});
    EXPECT_TRUE(ListFileContent(list, "x").startsWith("Vexlon list file\r\n"));
    list.Items.append({QStringLiteral(u"grüße"), 2, 0x07, ""});
    const QByteArray utf8 = ListFileContent(list, "x");
    EXPECT_TRUE(utf8.startsWith("\xEF\xBB\xBFVexlon list file\r\n"));
    TLST back;
    ASSERT_TRUE(ParseListFile(utf8, back, state.langStructure));
    ASSERT_EQ(back.Items.size(), 2);
    EXPECT_EQ(back.Items[1].Word, QStringLiteral(u"grüße"));
}
