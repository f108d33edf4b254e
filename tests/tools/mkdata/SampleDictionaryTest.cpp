// The sample dictionary: written through the dictionary writer with the
// generated language structure, it reads back as its source.
#include "MkData.h"

#include "app/base/Ansi.h"
#include "app/base/Convert.h"
#include "app/base/TextFile.h"
#include "dictionary/ItudFile.h"
#include "dictionary/LangStructure.h"

#include <QSet>
#include <gtest/gtest.h>

namespace vexlon::mkdata {
namespace {

const QString kBin = QStringLiteral(VEXLON_BIN_DIR);
const QString kSources = QStringLiteral(VEXLON_DATA_SOURCE_DIR);

ProgramState stateWithGeneratedStructure()
{
    ProgramState state;
    EXPECT_TRUE(LoadLangStructure(kBin + QStringLiteral("/iTAP_Lang_structure.dat"), state.langStructure));
    return state;
}

QVector<SampleWord> sourceWords()
{
    return parseSampleSource(readSourceLines(kSources + QStringLiteral("/samples/words.txt")), QStringLiteral("words.txt"));
}

TEST(mkdata_Sample, DictionaryReadsBackAsItsSource)
{
    const QByteArray bytes = readWholeFile(kBin + QStringLiteral("/samples/sample.iud"));
    ASSERT_EQ(bytes.size(), 5100);
    EXPECT_EQ(DictionaryTrailer(bytes), QByteArray(3, '\0'));

    const ProgramState state = stateWithGeneratedStructure();
    const QVector<DictRow> rows = ParseDictionary(bytes, state);
    const QVector<SampleWord> words = sourceWords();
    ASSERT_EQ(rows.size(), words.size());
    EXPECT_GE(words.size(), 80);
    EXPECT_LE(words.size(), 150);

    QSet<QString> languages;
    for (int i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(words[i].word.toStdString());
        EXPECT_EQ(ansi::toUnicode(rows[i].word), words[i].word);
        EXPECT_EQ(ansi::toUnicode(rows[i].language), words[i].language);
        EXPECT_EQ(rows[i].number, QByteArray::number(i + 1));
        EXPECT_EQ(rows[i].status, QByteArray(status::UsersDictionary));
        EXPECT_GE(words[i].word.size(), 2);
        languages.insert(words[i].language);
    }
    EXPECT_TRUE(languages.contains(QStringLiteral("English")));
    EXPECT_TRUE(languages.contains(QStringLiteral("Russian")));

    // The Cyrillic letters are stored as phone codes, not as code page
    // bytes: read without translation, those words come out different.
    ProgramState untranslated = state;
    untranslated.settings.iTAPModification = 1;
    const QVector<DictRow> raw = ParseDictionary(bytes, untranslated);
    ASSERT_EQ(raw.size(), rows.size());
    int differing = 0;
    for (int i = 0; i < rows.size(); ++i) {
        if (words[i].language == QLatin1String("English"))
            EXPECT_EQ(raw[i].word, rows[i].word);
        else if (raw[i].word != rows[i].word)
            ++differing;
    }
    EXPECT_GT(differing, 0);
}

TEST(mkdata_Sample, RefusesBadWords)
{
    const ProgramState state = stateWithGeneratedStructure();
    auto refusal = [&](const QString& text) -> std::string {
        try {
            sampleRows(parseSampleSource(text.split(QLatin1Char('\n')), QStringLiteral("w.txt")), state.langStructure, QStringLiteral("w.txt"));
        } catch (const SourceError& e) {
            return e.what();
        }
        return {};
    };
    // The same word under two languages, Latin letters in a Russian word.
    EXPECT_EQ(refusal(QStringLiteral("мама Russian\nмама Ukrainian\nsms Russian\nhello English")), "");

    EXPECT_NE(refusal(QStringLiteral("hello English\nx English")).find("w.txt:2:"), std::string::npos);
    EXPECT_NE(refusal(QStringLiteral("hello English\nHello English")).find("repeats the word of line 1"), std::string::npos);
    EXPECT_NE(refusal(QStringLiteral("привет Русский")).find("no language"), std::string::npos);
    EXPECT_NE(refusal(QStringLiteral("привет English")).find("not a letter"), std::string::npos);
    EXPECT_NE(refusal(QStringLiteral("grüße German")).find("code page"), std::string::npos);
    EXPECT_NE(refusal(QStringLiteral("hello")), "");
    EXPECT_NE(refusal(QStringLiteral("# only a comment")), "");
}

TEST(mkdata_Sample, RowsCarryTheLanguageOfTheStructure)
{
    const ProgramState state = stateWithGeneratedStructure();
    const QVector<DictRow> rows = sampleRows(parseSampleSource({QStringLiteral("# c"), QStringLiteral("ёжик Russian")}, QStringLiteral("w")),
                                             state.langStructure, QStringLiteral("w"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].word, ansi::fromUnicode(u"ёжик"));
    EXPECT_EQ(rows[0].number, "1");
    EXPECT_EQ(rows[0].language, "Russian");
    uint8_t russianId = 0;
    for (const TLanguages& l : state.langStructure.Languages) {
        if (l.Name == "Russian")
            russianId = l.ID;
    }
    EXPECT_EQ(rows[0].languageId, byteToHex(russianId));

    // Written and read back through the structure: the same word.
    const QByteArray file = buildSampleDictionary(rows, state.langStructure, QByteArray("\x01\x02\x03"));
    EXPECT_EQ(file.size(), 5100);
    EXPECT_EQ(file.right(3), QByteArray("\x01\x02\x03"));
    const QVector<DictRow> back = ParseDictionary(file, state);
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back[0].word, rows[0].word);
}

} // namespace
} // namespace vexlon::mkdata
