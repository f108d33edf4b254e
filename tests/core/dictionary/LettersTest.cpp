// Letters against the shipped language structure.
#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/Letters.h"
#include "support/CoreFixture.h"

#include <random>

using namespace vexlon;
using namespace vexlon::test;

class LettersTest : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        ASSERT_TRUE(LoadLangStructure(QStringLiteral(VEXLON_DATA_STAGE_DIR "/iTAP_Lang_structure.dat"), state.langStructure));
    }
    const TLanguages& language(const char* name) const
    {
        for (const TLanguages& l : state.langStructure.Languages) {
            if (l.Name == name)
                return l;
        }
        throw std::runtime_error(name);
    }
    static DictRow unicodeRow(const QString& word, uint8_t id)
    {
        return DictRow {word, "1", byteToHex(id), "", status::UsersDictionary};
    }
};

// Random codes (many the table gives no letter) in every language and an
// unknown one, in both modes, come back byte for byte, none as U+FFFD.
TEST_F(LettersTest, EveryCodeOfEveryLanguageSurvivesAReadAndAWrite)
{
    std::mt19937 rng(13);
    QVector<uint8_t> ids;
    for (const TLanguages& l : state.langStructure.Languages)
        ids << l.ID;
    ids << 0x5A;
    for (int mode : {0, 1}) {
        state.settings.iTAPModification = mode;
        const int count = 300;
        QByteArray records;
        for (int i = 0; i < count; ++i) {
            const uint8_t id = ids[static_cast<int>(rng() % ids.size())];
            const int n = 1 + static_cast<int>(rng() % 12);
            records.append(static_cast<char>(recordSize(n))).append("\x01\x00", 2).append(static_cast<char>(id)).append(static_cast<char>(n));
            for (int c = 0; c < n; ++c)
                records.append(static_cast<char>(rng() % 256));
            if (n % 2 == 0)
                records.append('\0');
        }
        QByteArray file("\x07\xDA\x13\xD9\x00\x00\x01\x2C\x18\x00\x00\x00\x00\x00\x00\x00", 16); // 300 records
        file[4] = static_cast<char>(records.size() >> 8);
        file[5] = static_cast<char>(records.size() & 0xFF);
        file += records;
        file.append(QByteArray(5100 - 3 - file.size(), '\0')).append("\x01\x02\x03");
        const QVector<DictRow> rows = ParseDictionary(file, state);
        ASSERT_EQ(rows.size(), count);
        EXPECT_EQ(BuildDictionary(rows, state, "\x01\x02\x03"), file) << "mode " << mode;
        for (const DictRow& row : rows)
            EXPECT_FALSE(row.word.contains(QChar(0xFFFD))) << bytes(row.word).toHex().constData();
    }
}

// German letters are the German language's own; elsewhere, or in the mode
// that stores Windows-1251, the word is refused, never written with a "?".
TEST_F(LettersTest, LettersThePhoneCannotStoreAreNamedAndNeverWritten)
{
    const uint8_t german = language("German").ID;
    const uint8_t russian = language("Russian").ID;
    const uint8_t english = language("English").ID;
    state.settings.iTAPModification = 0;
    const QString word = QStringLiteral(u"grüße");
    const QByteArray built = BuildDictionary({unicodeRow(word, german)}, state, "abc");
    EXPECT_EQ(built.mid(16 + 5, 5), QByteArray("gr\xC2\xC3" "e"));
    EXPECT_EQ(ParseDictionary(built, state).value(0).word, word);

    EXPECT_EQ(FirstUnstorableLetter(state, word, byteToHex(russian)), 2);
    const QVector<LetterNote> notes = CheckLetters(state, word, byteToHex(russian));
    ASSERT_EQ(notes.size(), 2);
    EXPECT_FALSE(notes[0].storable);
    EXPECT_TRUE(notes[0].reason.contains(QStringLiteral(u"\"ü\" (U+00FC)")) && notes[0].reason.contains(QStringLiteral("Russian")))
        << notes[0].reason.toStdString();
    EXPECT_THROW(BuildDictionary({unicodeRow(word, russian)}, state, "abc"), VexlonError);
    // "ђ" is in the code page, but its byte is the Russian "Р".
    EXPECT_EQ(FirstUnstorableLetter(state, QStringLiteral(u"ђа"), byteToHex(russian)), 0);
    // A Cyrillic letter in an English word is stored as its byte, with a note.
    const QVector<LetterNote> english1 = CheckLetters(state, QStringLiteral(u"aж"), byteToHex(english));
    ASSERT_EQ(english1.size(), 1);
    EXPECT_TRUE(english1[0].storable);
    EXPECT_EQ(FirstUnstorableLetter(state, QStringLiteral(u"aж"), byteToHex(english)), -1);
    // Kept codes are stored as they came, with a note.
    const QString kept = QStringLiteral("ab") + cp1251::keptCode(0xE1);
    EXPECT_EQ(FirstUnstorableLetter(state, kept, byteToHex(russian)), -1);
    EXPECT_EQ(CheckLetters(state, kept, byteToHex(russian)).size(), 1);

    state.settings.iTAPModification = 1;
    EXPECT_EQ(FirstUnstorableLetter(state, word, byteToHex(german)), 2);
    EXPECT_EQ(FirstUnstorableLetter(state, QStringLiteral(u"ёжї"), byteToHex(german)), -1);
}

TEST_F(LettersTest, CsvFilesKeepEveryLetterInUtf8AndRefuseToDropOneInWindows1251)
{
    table.append(unicodeRow(QStringLiteral(u"grüße"), language("German").ID));
    table.append(unicodeRow(QStringLiteral(u"їжак"), language("Ukrainian").ID));
    write("old.csv", "old");
    EXPECT_THROW(WriteCsvFile(state, table, file("old.csv"), TextEncoding::Windows1251), VexlonError);
    EXPECT_EQ(read("old.csv"), QByteArray("old"));
    WriteCsvFile(state, table, file("new.csv"), TextEncoding::Utf8);
    EXPECT_TRUE(read("new.csv").startsWith("\xEF\xBB\xBFVexlon CSV format users dictionary file\r\n"));
    DictionaryTable back;
    ASSERT_TRUE(ReadCsvFile(state, back, file("new.csv")));
    ASSERT_EQ(back.count(), 2);
    EXPECT_EQ(QStringList({back.row(0).word, back.row(1).word}), QStringList({QStringLiteral(u"grüße"), QStringLiteral(u"їжак")}));
    EXPECT_EQ(back.row(1).language, QByteArray("Ukrainian"));
}

TEST_F(LettersTest, Utf8FilesAndTheirWindows1251TwinsReadToTheSameTable)
{
    const QString csv = QStringLiteral(u"Vexlon CSV format users dictionary file\r\nSaved: ;x\r\nWord Amount;2\r\n"
                                       u"ёжик;02;;\r\nlatin;01;;\r\n");
    const QString text = QStringLiteral(u"пряник їжак\nword\n");
    for (int f = 0; f < 3; ++f) {
        const auto encode = [f](const QString& s) {
            return f == 0 ? cp1251::fromUnicode(s) : (f == 1 ? s.toUtf8() : "\xEF\xBB\xBF" + s.toUtf8());
        };
        write("d.csv", encode(csv));
        write("d.txt", encode(text));
        DictionaryTable t;
        ASSERT_TRUE(ReadCsvFile(state, t, file("d.csv")));
        ReadTextFile(state, t, file("d.txt"));
        QStringList words;
        for (const DictRow& r : t.rows())
            words << r.word + QLatin1Char('/') + QString::fromLatin1(r.languageId);
        EXPECT_EQ(words, QStringLiteral(u"ёжик/02 latin/01 пряник/FF їжак/FF word/FF").split(QLatin1Char(' ')))
            << "form " << f;
    }
}
