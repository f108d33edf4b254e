#include "core/dictionary/ItudFile.h"

#include "core/base/Errors.h"
#include "core/dictionary/CoreFixture.h"
#include "core/dictionary/LangStructure.h"

using namespace vexlon;
using namespace vexlon::test;

namespace {

DictRow row(const QByteArray& word, const QByteArray& id, const QByteArray& number = "1")
{
    DictRow r;
    r.word = word;
    r.number = number;
    r.languageId = id;
    r.status = status::UsersDictionary;
    return r;
}

} // namespace

class ItudFileTest : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        ASSERT_TRUE(ParseLangStructure(
            langStructureBytes({{0x01, "English", {}}, {0x02, "Russian", {{0x80, u'\u0410'}, {0x81, u'\u0431'}}}}),
            state.langStructure));
        write("phConfig.cfg", QByteArray("\xAB\xCD\xEF", 3));
    }

    QByteArray header(uint16_t used, uint16_t count) const
    {
        QByteArray h("\x07\xDA\x13\xD9\x00\x00\x00\x00\x18\x00\x00\x00\x00\x00\x00\x00", 16);
        h[4] = static_cast<char>(used >> 8);
        h[5] = static_cast<char>(used & 0xFF);
        h[6] = static_cast<char>(count >> 8);
        h[7] = static_cast<char>(count & 0xFF);
        return h;
    }
    // A whole 5100-byte file from the header's records.
    QByteArray fileOf(const QByteArray& records, uint16_t count, const QByteArray& trailer = "\xAB\xCD\xEF") const
    {
        QByteArray f = header(static_cast<uint16_t>(records.size()), count) + records;
        f.append(QByteArray(5100 - 3 - f.size(), '\0'));
        return f + trailer;
    }
    DictionaryTable table;
};

TEST_F(ItudFileTest, WritesTheDocumentedBytes)
{
    state.settings.iTAPModification = 1;
    table.append(row("ab", "01"));
    table.append(row("abc", "01"));
    WriteDictionaryFile(state, table, file("out.iud"));
    const QByteArray out = read("out.iud");
    ASSERT_EQ(out.size(), 5100);
    EXPECT_EQ(out.left(16), QByteArray("\x07\xDA\x13\xD9\x00\x10\x00\x02\x18\x00\x00\x00\x00\x00\x00\x00", 16));
    EXPECT_EQ(out.mid(16, 16), QByteArray("\x08\x01\x00\x01\x02\x61\x62\x00\x08\x01\x00\x01\x03\x61\x62\x63", 16));
    EXPECT_EQ(out.mid(32, 5100 - 35), QByteArray(5100 - 35, '\0'));
    EXPECT_EQ(out.right(3), QByteArray("\xAB\xCD\xEF", 3));
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(ItudFileTest, RecordSizesAndTheLongestWord)
{
    state.settings.iTAPModification = 1;
    QVector<DictRow> rows {row("a", "01"), row(QByteArray(249, 'x'), "01")};
    const QByteArray out = BuildDictionary(rows, state, "\0\0\0");
    EXPECT_EQ(out.mid(16, 6), QByteArray("\x06\x01\x00\x01\x01\x61", 6));
    EXPECT_EQ(static_cast<uint8_t>(out[22]), 254);
    EXPECT_EQ(static_cast<uint8_t>(out[26]), 249);
    EXPECT_EQ(out.mid(4, 2), QByteArray("\x01\x04", 2)); // 6 + 254 bytes of records

    rows.append(row(QByteArray(250, 'y'), "01"));
    EXPECT_THROW(BuildDictionary(rows, state, "\0\0\0"), VexlonError);
}

TEST_F(ItudFileTest, ModificationOneTranslatesThroughTheLanguageTable)
{
    // Mode 0: U+0410 (0xC0 in the code page) is phone code 0x80 in language 02.
    table.append(row("\xC0\xE1", "02"));
    WriteDictionaryFile(state, table, file("out.iud"));
    EXPECT_EQ(read("out.iud").mid(16, 8), QByteArray("\x08\x01\x00\x02\x02\x80\x81\x00", 8));

    DictionaryTable back;
    ASSERT_TRUE(ReadDictionaryFile(state, back, file("out.iud")));
    ASSERT_EQ(back.count(), 1);
    EXPECT_EQ(back.row(0).word, QByteArray("\xC0\xE1"));
    EXPECT_EQ(back.row(0).language, QByteArray("Russian"));
}

TEST_F(ItudFileTest, ReadsRowsAndPassesOverOtherRecordKinds)
{
    const QByteArray records = QByteArray("\x08\x01\x00\x01\x02\x61\x62\x00", 8) + QByteArray("\x06\x02\x00\x09\x09\x09", 6)
        + QByteArray("\x08\x01\x00\x02\x03\x80\x81\x80", 8) + QByteArray("\x06\x01\x00\x33\x01\x7A", 6);
    write("in.iud", fileOf(records, 4, "\x01\x02\x03"));
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("in.iud")));
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(table.row(0), (DictRow {"ab", "1", "01", "English", "Users Dictionary"}));
    // The passed-over record leaves a gap in the numbers.
    EXPECT_EQ(table.row(1), (DictRow {"\xC0\xE1\xC0", "3", "02", "Russian", "Users Dictionary"}));
    EXPECT_EQ(table.row(2), (DictRow {"z", "4", "33", "Unknown", "Users Dictionary"}));
    EXPECT_EQ(read("phConfig.cfg"), QByteArray("\x01\x02\x03"));
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(ItudFileTest, ReadThenWriteReproducesTheFile)
{
    state.settings.iTAPModification = 1;
    const QByteArray records = QByteArray("\x08\x01\x00\x01\x02\x61\x62\x00", 8) + QByteArray("\x08\x01\x00\x02\x03\xC0\xE1\xFF", 8)
        + QByteArray("\x06\x01\x00\x01\x01\x7A", 6);
    const QByteArray original = fileOf(records, 3, "\x10\x20\x30");
    write("in.iud", original);
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("in.iud")));
    WriteDictionaryFile(state, table, file("out.iud"));
    EXPECT_EQ(read("out.iud"), original);
}

TEST_F(ItudFileTest, EmptyDictionaryStillCarriesItsTrailer)
{
    table.append(row("old", "01"));
    write("in.iud", fileOf(QByteArray(), 0, "\x09\x08\x07"));
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("in.iud")));
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(read("phConfig.cfg"), QByteArray("\x09\x08\x07"));
}

TEST_F(ItudFileTest, AFileOfAnotherSizeIsOpenedOnlyWhenTheUserAgrees)
{
    table.append(row("kept", "01"));
    const QByteArray records = QByteArray("\x08\x01\x00\x01\x02\x61\x62\x00", 8);
    write("big.iud", fileOf(records, 1) + "x");
    EXPECT_FALSE(ReadDictionaryFile(state, table, file("big.iud")));
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, QStringLiteral("M3:"));
    EXPECT_EQ(dialogs.questions[0].kind, ConfirmKind::Warning);
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.row(0).word, QByteArray("kept"));
    EXPECT_EQ(read("phConfig.cfg"), QByteArray("\xAB\xCD\xEF")); // untouched
    EXPECT_TRUE(dialogs.atRest());

    dialogs.answers = {true};
    EXPECT_TRUE(ReadDictionaryFile(state, table, file("big.iud")));
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.row(0).word, QByteArray("ab"));
}

TEST_F(ItudFileTest, DamagedFilesStopAtTheirEnd)
{
    dialogs.answers = {true, true, true, true};
    // A count of 5 with one record present.
    QByteArray f = header(8, 5) + QByteArray("\x08\x01\x00\x01\x02\x61\x62\x00", 8);
    write("short.iud", f);
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("short.iud")));
    ASSERT_EQ(table.count(), 1);
    // A length byte pointing past the end, and a character count past the end.
    write("past.iud", header(8, 2) + QByteArray("\x08\x01\x00\x01\x02\x61\x62\x00\xF0\x01\x00\x01\xF0\x61", 14));
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("past.iud")));
    EXPECT_EQ(table.count(), 1);
    // A zero length byte ends the records instead of reading one forever.
    write("zero.iud", fileOf(QByteArray("\x00\x01\x00\x01\x01\x61", 6), 0xFFFF));
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("zero.iud")));
    EXPECT_EQ(table.count(), 0);
    // Shorter than a header.
    write("tiny.iud", QByteArray("\x07\xDA", 2));
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("tiny.iud")));
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(read("phConfig.cfg"), QByteArray("\x00\x07\xDA", 3));
}

TEST_F(ItudFileTest, BackupIsMadeOnceUntilDeleted)
{
    write("first.iud", fileOf(QByteArray("\x06\x01\x00\x01\x01\x61", 6), 1));
    write("second.iud", fileOf(QByteArray("\x06\x01\x00\x01\x01\x62", 6), 1));
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("first.iud")));
    EXPECT_EQ(read("TempFile/iTUD_backup.iud"), read("first.iud"));
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("second.iud")));
    EXPECT_EQ(read("TempFile/iTUD_backup.iud"), read("first.iud"));

    QFile::remove(file("TempFile/iTUD_backup.iud"));
    state.settings.BackupCopy = false;
    ASSERT_TRUE(ReadDictionaryFile(state, table, file("second.iud")));
    EXPECT_FALSE(QFile::exists(file("TempFile/iTUD_backup.iud")));
}

TEST_F(ItudFileTest, FailuresLeaveTargetAndDisplayAsTheyWere)
{
    write("target.iud", "previous");
    // A missing file to read.
    EXPECT_THROW(ReadDictionaryFile(state, table, file("missing.iud")), FileError);
    EXPECT_TRUE(dialogs.atRest());

    // A language ID that is not hexadecimal: nothing is written.
    table.append(row("ab", "01"));
    table.append(row("cd", "0Z"));
    EXPECT_THROW(WriteDictionaryFile(state, table, file("target.iud")), ConvertError);
    EXPECT_EQ(read("target.iud"), QByteArray("previous"));
    EXPECT_TRUE(dialogs.atRest());

    // Words that do not fit.
    table.clear();
    for (int i = 0; i < 700; ++i)
        table.append(row("abc", "01"));
    EXPECT_THROW(WriteDictionaryFile(state, table, file("target.iud")), VexlonError);
    EXPECT_EQ(read("target.iud"), QByteArray("previous"));

    // No trailer file: refused before the target is touched.
    table.clear();
    QFile::remove(file("phConfig.cfg"));
    EXPECT_THROW(WriteDictionaryFile(state, table, file("target.iud")), FileError);
    EXPECT_EQ(read("target.iud"), QByteArray("previous"));
    EXPECT_TRUE(dialogs.atRest());
}
