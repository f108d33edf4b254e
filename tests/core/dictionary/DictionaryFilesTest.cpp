// The dictionary file, and the CSV and text files the editor also reads.
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/TableOps.h"

#include "core/base/Errors.h"
#include "support/CoreFixture.h"

using namespace vexlon;
using namespace vexlon::test;

namespace {

// The record of the English word "ab".
const QByteArray kAb("\x08\x01\x00\x01\x02\x61\x62\x00", 8);
const QByteArray kTrailer("\xAB\xCD\xEF", 3);

} // namespace

class ItudFileTest : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        write("phConfig.cfg", kTrailer);
    }
    static QByteArray header(uint16_t used, uint16_t count)
    {
        QByteArray h("\x07\xDA\x13\xD9\x00\x00\x00\x00\x18\x00\x00\x00\x00\x00\x00\x00", 16);
        h[4] = static_cast<char>(used >> 8);
        h[5] = static_cast<char>(used & 0xFF);
        h[6] = static_cast<char>(count >> 8);
        h[7] = static_cast<char>(count & 0xFF);
        return h;
    }
    // A whole 5100-byte file from the header's records.
    static QByteArray fileOf(const QByteArray& records, uint16_t count, const QByteArray& trailer = kTrailer)
    {
        QByteArray f = header(static_cast<uint16_t>(records.size()), count) + records;
        f.append(QByteArray(5100 - 3 - f.size(), '\0'));
        return f + trailer;
    }
    // Reads a file of these bytes, answering the size question with Yes.
    bool readBytes(const QByteArray& bytes)
    {
        dialogs.answers = {true};
        write("in.iud", bytes);
        return ReadDictionaryFile(state, table, file("in.iud"));
    }
};

TEST_F(ItudFileTest, WritesTheDocumentedBytesUpToTheLongestWord)
{
    state.settings.iTAPModification = 1;
    add("ab");
    add("abc");
    WriteDictionaryFile(state, table, file("out.iud"));
    EXPECT_EQ(read("out.iud"), fileOf(kAb + QByteArray("\x08\x01\x00\x01\x03\x61\x62\x63", 8), 2));
    // The progress bar reached the last row before it was reset.
    ASSERT_GE(dialogs.progressCalls.size(), 2u);
    EXPECT_EQ(dialogs.progressCalls.end()[-2], std::pair(1, 1));
    EXPECT_TRUE(dialogs.atRest());

    QVector<DictRow> rows {row("a"), row(QByteArray(249, 'x'))};
    const QByteArray built = BuildDictionary(rows, state, "\0\0\0");
    // 6 + 254 bytes of records; the second record's length and letter count.
    EXPECT_EQ(built.mid(4, 2) + built.mid(16, 6) + built[22] + built[26], QByteArray("\x01\x04\x06\x01\x00\x01\x01\x61\xFE\xF9", 10));
    rows.append(row(QByteArray(250, 'y')));
    EXPECT_THROW(BuildDictionary(rows, state, "\0\0\0"), VexlonError);
}

TEST_F(ItudFileTest, ModificationZeroTranslatesAndReadingPassesOverOtherRecordKinds)
{
    // U+0410 (0xC0 in the code page) is phone code 0x80 in language 02.
    add("\xC0\xE1", "02");
    WriteDictionaryFile(state, table, file("out.iud"));
    EXPECT_EQ(read("out.iud").mid(16, 8), QByteArray("\x08\x01\x00\x02\x02\x80\x81\x00", 8));

    const QByteArray records = kAb + QByteArray("\x06\x02\x00\x09\x09\x09\x08\x01\x00\x02\x03\x80\x81\x80\x06\x01\x00\x33\x01\x7A", 20);
    ASSERT_TRUE(readBytes(fileOf(records, 4, "\x01\x02\x03")));
    // The passed-over record leaves a gap in the numbers.
    EXPECT_EQ(table.rows(), (QVector<DictRow> {{"ab", "1", "01", "English", "Users Dictionary"},
                                               {cp("\xC0\xE1\xC0"), "3", "02", "Russian", "Users Dictionary"},
                                               {"z", "4", "33", "Unknown", "Users Dictionary"}}));
    EXPECT_EQ(read("phConfig.cfg"), QByteArray("\x01\x02\x03"));
    EXPECT_TRUE(dialogs.atRest());

    // Without translation a file of word records is written back byte for byte.
    state.settings.iTAPModification = 1;
    const QByteArray original = fileOf(kAb + QByteArray("\x08\x01\x00\x02\x03\xC0\xE1\xFF\x06\x01\x00\x01\x01\x7A", 14), 3, "\x10\x20\x30");
    ASSERT_TRUE(readBytes(original));
    WriteDictionaryFile(state, table, file("out.iud"));
    EXPECT_EQ(read("out.iud"), original);
}

TEST_F(ItudFileTest, AFileOfAnotherSizeIsOpenedOnlyWhenTheUserAgreesAndDamagedFilesStopAtTheirEnd)
{
    add("kept");
    write("big.iud", fileOf(kAb, 1) + "x");
    dialogs.answers = {false};
    EXPECT_FALSE(ReadDictionaryFile(state, table, file("big.iud")));
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(std::pair(dialogs.questions[0].text, dialogs.questions[0].kind), std::pair(QStringLiteral("M3"), ConfirmKind::Warning));
    EXPECT_EQ(words(), QList<QByteArray> {"kept"});
    EXPECT_EQ(read("phConfig.cfg"), kTrailer); // untouched
    EXPECT_TRUE(dialogs.atRest());
    dialogs.answers = {true};
    EXPECT_TRUE(ReadDictionaryFile(state, table, file("big.iud")));
    EXPECT_EQ(words(), QList<QByteArray> {"ab"});

    // A count of 5 with one record present; a length byte and a character
    // count pointing past the end; a zero length byte, which ends the
    // records instead of reading one forever.
    const std::pair<QByteArray, int> damaged[] = {{header(8, 5) + kAb, 1},
                                                  {header(8, 2) + kAb + QByteArray("\xF0\x01\x00\x01\xF0\x61", 6), 1},
                                                  {fileOf(QByteArray("\x00\x01\x00\x01\x01\x61", 6), 0xFFFF), 0}};
    for (const auto& [bytes, count] : damaged) {
        ASSERT_TRUE(readBytes(bytes));
        EXPECT_EQ(table.count(), count) << bytes.size();
    }
    // Shorter than the trailer, or empty: no rows and no trailer of its own,
    // so the trailer of the last whole file stays and goes on into writes.
    EXPECT_EQ(read("phConfig.cfg"), kTrailer);
    for (const QByteArray& tiny : {QByteArray("\x07\xDA", 2), QByteArray("\x07", 1), QByteArray()}) {
        add("old");
        ASSERT_TRUE(readBytes(tiny));
        EXPECT_EQ(table.count(), 0) << tiny.size();
        EXPECT_EQ(read("phConfig.cfg"), kTrailer);
    }
    add("ab");
    WriteDictionaryFile(state, table, file("out.iud"));
    EXPECT_EQ(read("out.iud").right(3), kTrailer);
    // Three bytes are a whole trailer, though no header; an empty dictionary
    // still carries its trailer.
    for (const QByteArray& trailer : {QByteArray("\x07\xDA\x01", 3), QByteArray("\x09\x08\x07", 3)}) {
        add("old");
        ASSERT_TRUE(readBytes(trailer == "\x07\xDA\x01" ? trailer : fileOf(QByteArray(), 0, trailer)));
        EXPECT_EQ(table.count(), 0);
        EXPECT_EQ(read("phConfig.cfg"), trailer);
    }
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(ItudFileTest, BackupIsMadeOnceAndFailuresLeaveTargetAndDisplayAsTheyWere)
{
    write("first.iud", fileOf(QByteArray("\x06\x01\x00\x01\x01\x61", 6), 1));
    write("second.iud", fileOf(QByteArray("\x06\x01\x00\x01\x01\x62", 6), 1));
    for (const char* name : {"first.iud", "second.iud"}) {
        ASSERT_TRUE(ReadDictionaryFile(state, table, file(name)));
        EXPECT_EQ(read("TempFile/iTUD_backup.iud"), read("first.iud"));
    }
    QFile::remove(file("TempFile/iTUD_backup.iud"));
    state.settings.BackupCopy = false;
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("second.iud")));
    EXPECT_FALSE(QFile::exists(file("TempFile/iTUD_backup.iud")));

    write("target.iud", "previous");
    EXPECT_THROW(ReadDictionaryFile(state, table, file("missing.iud")), FileError);
    EXPECT_TRUE(dialogs.atRest());
    // A language ID that is not hexadecimal, words that do not fit, no
    // trailer file: nothing is written, and the display is at rest.
    add("ab");
    add("cd", "0Z");
    EXPECT_THROW(WriteDictionaryFile(state, table, file("target.iud")), ConvertError);
    EXPECT_EQ(read("target.iud"), QByteArray("previous"));
    EXPECT_TRUE(dialogs.atRest());
    table.clear();
    for (int i = 0; i < 700; ++i)
        add("abc");
    EXPECT_THROW(WriteDictionaryFile(state, table, file("target.iud")), VexlonError);
    EXPECT_EQ(read("target.iud"), QByteArray("previous"));
    table.clear();
    QFile::remove(file("phConfig.cfg"));
    EXPECT_THROW(WriteDictionaryFile(state, table, file("target.iud")), FileError);
    EXPECT_EQ(read("target.iud"), QByteArray("previous"));
    EXPECT_TRUE(dialogs.atRest());
}

using CsvTextFilesTest = CoreFixture;

TEST_F(CsvTextFilesTest, CsvWritesHeaderAndOneLinePerRowAndTextFilesSplitAtEveryBlank)
{
    table.append({"ab", "7", "01", "L1", "Locked"});
    table.append({"cd", "9", "0A", "L2", "Users Dictionary"});
    const QByteArray body = "Word Amount;2\r\nab;01;L1;\r\ncd;0A;L2;\r\n";
    EXPECT_EQ(BuildCsvFile(table.rows(), QStringLiteral("1/2/03 at 4:05:06")),
              "Vexlon CSV format users dictionary file\r\nSaved: ;1/2/03 at 4:05:06\r\n" + body);
    WriteCsvFile(state, table, file("out.csv"));
    const QByteArray written = read("out.csv");
    EXPECT_TRUE(written.startsWith("Vexlon CSV format users dictionary file\r\nSaved: ;"));
    EXPECT_TRUE(written.endsWith("\r\n" + body));
    EXPECT_TRUE(dialogs.atRest());

    // A word holding the separator is refused, the old file kept.
    add("a;b");
    EXPECT_THROW(WriteCsvFile(state, table, file("out.csv")), VexlonError);
    EXPECT_EQ(read("out.csv"), written);
    EXPECT_TRUE(dialogs.atRest());

    // Text files split at every blank; numbers are where each word ended in
    // its line.
    table.clear();
    write("in.txt", "one two  three\r\n\r\n last\tword\nend");
    ReadTextFile(state, table, file("in.txt"));
    EXPECT_EQ(words(), QList<QByteArray>({"one", "two", "", "three", "", "", "last\tword", "end"}));
    for (const DictRow& r : table.rows())
        EXPECT_EQ(r, (DictRow {r.word, r.number, "FF", "", "Text File"}));
    EXPECT_EQ(table.row(0).number + '/' + table.row(3).number, QByteArray("4/15"));
    ReadTextFile(state, table, file("missing.txt"));
    EXPECT_EQ(table.count(), 8);
}

TEST_F(CsvTextFilesTest, ReadsBackWithNamesFromTheStructureOrStopsAtABadCountOrId)
{
    // The language ID text is kept as written; the name comes from the id.
    write("in.csv", "anything\r\nSaved: ;x\r\nWord Amount;3\r\nab;01;wrong name;\r\ncd;0a;L2;extra;fields\nxy;1;\r\nnot read;01;\r\n");
    table.append({"old", "1", "01", "L1", "Locked"});
    ASSERT_TRUE(ReadCsvFile(state, table, file("in.csv")));
    ASSERT_EQ(table.count(), 4);
    EXPECT_EQ(table.rows().mid(1), (QVector<DictRow> {{"ab", "0", "01", "English", "CSV file format"},
                                                      {"cd", "1", "0a", "German", "CSV file format"},
                                                      {"xy", "2", "1", "English", "CSV file format"}}));
    EXPECT_EQ(rowLanguageId(table.row(3)), 1);
    EXPECT_TRUE(dialogs.atRest());

    table.clear();
    write("zero.csv", "a\r\nb\r\nWord Amount;0\r\nab;01;\r\n");
    ASSERT_TRUE(ReadCsvFile(state, table, file("zero.csv")));
    write("count.csv", "a\r\nb\r\nWord Amount;two\r\nab;01;\r\n");
    EXPECT_THROW(ReadCsvFile(state, table, file("count.csv")), ConvertError);
    EXPECT_EQ(table.count(), 0);
    EXPECT_TRUE(dialogs.atRest());

    // A bad language ID stops reading there, the rows before it stay, and the
    // message names the file and the line, control characters escaped.
    write("lang.csv", "a\r\nb\r\nWord Amount;3\r\nab;01;\r\ncd;\x1b[2J;\r\nef;01;\r\n");
    try {
        ReadCsvFile(state, table, file("lang.csv"));
        ADD_FAILURE() << "read";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("File \"%1\", line 5: '\\x1B[2J' is not a valid integer value").arg(file("lang.csv")));
    }
    EXPECT_EQ(words(), QList<QByteArray>({"ab"}));
    EXPECT_TRUE(dialogs.atRest());

    // Fewer lines than the count: the first missing line has no language ID.
    table.clear();
    write("short.csv", "a\r\nb\r\nWord Amount;1000000000\r\nab;01;\r\n");
    EXPECT_THROW(ReadCsvFile(state, table, file("short.csv")), ConvertError);
    EXPECT_EQ(table.count(), 1);
    EXPECT_FALSE(ReadCsvFile(state, table, file("missing.csv")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
