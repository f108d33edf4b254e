#include "core/dictionary/CsvTextFiles.h"

#include "core/base/Errors.h"
#include "core/dictionary/CoreFixture.h"
#include "core/dictionary/LangStructure.h"
#include "core/dictionary/TableOps.h"

using namespace vexlon;
using namespace vexlon::test;

class CsvTextFilesTest : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        ASSERT_TRUE(ParseLangStructure(langStructureBytes({{0x01, "L1", {}}, {0x0A, "L2", {}}}), state.langStructure));
    }
    QVector<QByteArray> words() const
    {
        QVector<QByteArray> out;
        for (const DictRow& r : table.rows())
            out << r.word;
        return out;
    }
    DictionaryTable table;
};

TEST_F(CsvTextFilesTest, WritesHeaderAndOneLinePerRow)
{
    table.append({"ab", "7", "01", "L1", "Locked"});
    table.append({"cd", "9", "0A", "L2", "Users Dictionary"});
    const QByteArray out = BuildCsvFile(table.rows(), QStringLiteral("1/2/03 at 4:05:06"));
    EXPECT_EQ(out, QByteArray("Vexlon CSV format users dictionary file\r\n"
                              "Saved: ;1/2/03 at 4:05:06\r\n"
                              "Word Amount;2\r\n"
                              "ab;01;L1;\r\n"
                              "cd;0A;L2;\r\n"));
    WriteCsvFile(state, table, file("out.csv"));
    const QByteArray written = read("out.csv");
    EXPECT_TRUE(written.startsWith("Vexlon CSV format users dictionary file\r\nSaved: ;"));
    EXPECT_TRUE(written.endsWith("\r\nWord Amount;2\r\nab;01;L1;\r\ncd;0A;L2;\r\n"));
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(CsvTextFilesTest, ReadsBackWithNamesFromTheLanguageStructure)
{
    write("in.csv", "anything\r\nSaved: ;x\r\nWord Amount;3\r\nab;01;wrong name;\r\ncd;0a;L2;extra;fields\nxy;1;\r\nnot read;01;\r\n");
    table.append({"old", "1", "01", "L1", "Locked"});
    ASSERT_TRUE(ReadCsvFile(state, table, file("in.csv")));
    ASSERT_EQ(table.count(), 4);
    EXPECT_EQ(table.row(1), (DictRow {"ab", "0", "01", "L1", "CSV file format"}));
    // The language ID text is kept as written; the name comes from the id.
    EXPECT_EQ(table.row(2), (DictRow {"cd", "1", "0a", "L2", "CSV file format"}));
    EXPECT_EQ(table.row(3), (DictRow {"xy", "2", "1", "L1", "CSV file format"}));
    EXPECT_EQ(rowLanguageId(table.row(3)), 1);
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(CsvTextFilesTest, CountAndLanguageErrors)
{
    write("zero.csv", "a\r\nb\r\nWord Amount;0\r\nab;01;\r\n");
    ASSERT_TRUE(ReadCsvFile(state, table, file("zero.csv")));
    EXPECT_EQ(table.count(), 0);

    write("count.csv", "a\r\nb\r\nWord Amount;two\r\nab;01;\r\n");
    EXPECT_THROW(ReadCsvFile(state, table, file("count.csv")), ConvertError);
    EXPECT_EQ(table.count(), 0);
    EXPECT_TRUE(dialogs.atRest());

    // A bad language ID stops reading there; the rows before it stay.
    write("lang.csv", "a\r\nb\r\nWord Amount;3\r\nab;01;\r\ncd;zz;\r\nef;01;\r\n");
    EXPECT_THROW(ReadCsvFile(state, table, file("lang.csv")), ConvertError);
    EXPECT_EQ(words(), QVector<QByteArray>({"ab"}));
    EXPECT_TRUE(dialogs.atRest());

    // Fewer lines than the count: the first missing line has no language ID.
    table.clear();
    write("short.csv", "a\r\nb\r\nWord Amount;1000000000\r\nab;01;\r\n");
    EXPECT_THROW(ReadCsvFile(state, table, file("short.csv")), ConvertError);
    EXPECT_EQ(table.count(), 1);

    EXPECT_FALSE(ReadCsvFile(state, table, file("missing.csv")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(CsvTextFilesTest, AWordWithASemicolonIsRefusedNotCorrupted)
{
    write("out.csv", "previous");
    table.append({"a;b", "1", "01", "L1", "Users Dictionary"});
    EXPECT_THROW(WriteCsvFile(state, table, file("out.csv")), VexlonError);
    EXPECT_EQ(read("out.csv"), QByteArray("previous"));
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(CsvTextFilesTest, TextFilesSplitAtEveryBlank)
{
    write("in.txt", "one two  three\r\n\r\n last\tword\nend");
    ReadTextFile(state, table, file("in.txt"));
    EXPECT_EQ(words(), QVector<QByteArray>({"one", "two", "", "three", "", "", "last\tword", "end"}));
    for (const DictRow& r : table.rows()) {
        EXPECT_EQ(r.languageId, QByteArray("FF"));
        EXPECT_EQ(r.language, QByteArray());
        EXPECT_EQ(r.status, QByteArray("Text File"));
    }
    // Numbers are where each word ended in its line.
    EXPECT_EQ(table.row(0).number, QByteArray("4"));
    EXPECT_EQ(table.row(3).number, QByteArray("15"));

    const int before = table.count();
    ReadTextFile(state, table, file("missing.txt"));
    EXPECT_EQ(table.count(), before);
}
