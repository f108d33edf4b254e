// The sample dictionary: written through the dictionary writer with the
// generated language structure, it reads back as its source.
#include "MkData.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/TextFile.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/LangStructure.h"

#include <QSet>
#include <gtest/gtest.h>

namespace vexlon::mkdata {
namespace {

const QString kBin = QStringLiteral(VEXLON_BIN_DIR);

ProgramState stateWithGeneratedStructure()
{
    ProgramState state;
    EXPECT_TRUE(LoadLangStructure(kBin + QStringLiteral("/iTAP_Lang_structure.dat"), state.langStructure));
    return state;
}

TEST(mkdata_Sample, DictionaryReadsBackAsItsSource)
{
    const QByteArray bytes = readWholeFile(kBin + QStringLiteral("/samples/sample.iud"));
    ASSERT_EQ(bytes.size(), 5100);
    EXPECT_EQ(DictionaryTrailer(bytes), QByteArray(3, '\0'));

    const ProgramState state = stateWithGeneratedStructure();
    const QVector<DictRow> rows = ParseDictionary(bytes, state);
    const QVector<SampleWord> words = parseSampleSource(
        readSourceLines(QStringLiteral(VEXLON_DATA_SOURCE_DIR "/samples/words.txt")), QStringLiteral("words.txt"));
    ASSERT_EQ(rows.size(), words.size());
    EXPECT_GE(words.size(), 80);

    QSet<QString> languages;
    for (int i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(words[i].word.toStdString());
        EXPECT_EQ(cp1251::toUnicode(rows[i].word), words[i].word);
        EXPECT_EQ(cp1251::toUnicode(rows[i].language), words[i].language);
        EXPECT_EQ(rows[i].number, QByteArray::number(i + 1));
        EXPECT_EQ(rows[i].status, QByteArray(status::UsersDictionary));
        languages.insert(words[i].language);
    }
    EXPECT_TRUE(languages.contains(QStringLiteral("English")) && languages.contains(QStringLiteral("Russian")));

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
        else
            differing += raw[i].word != rows[i].word;
    }
    EXPECT_GT(differing, 0);

    // Built with another trailer, a single word still fills 5100 bytes and
    // reads back.
    const QVector<DictRow> one = sampleRows(parseSampleSource({QStringLiteral("# c"), QStringLiteral("ёжик Russian")}, QStringLiteral("w")),
                                            state.langStructure, QStringLiteral("w"));
    ASSERT_EQ(one.size(), 1);
    for (const TLanguages& l : state.langStructure.Languages)
        EXPECT_EQ(l.Name == "Russian", one[0].languageId == byteToHex(l.ID)) << l.Name.constData();
    const QByteArray file = buildSampleDictionary(one, state.langStructure, QByteArray("\x01\x02\x03"));
    EXPECT_EQ(file.size(), 5100);
    EXPECT_EQ(file.right(3), QByteArray("\x01\x02\x03"));
    const QVector<DictRow> back = ParseDictionary(file, state);
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back[0].word, cp1251::fromUnicode(u"ёжик"));
}

TEST(mkdata_Sample, RefusesBadWords)
{
    const ProgramState state = stateWithGeneratedStructure();
    auto refusal = [&](const char16_t* text) -> std::string {
        try {
            const QString source = QString::fromUtf16(text);
            sampleRows(parseSampleSource(source.split(QLatin1Char('\n')), QStringLiteral("w.txt")), state.langStructure,
                       QStringLiteral("w.txt"));
        } catch (const SourceError& e) {
            return e.what();
        }
        return "accepted";
    };
    // The same word under two languages, Latin letters in a Russian word.
    EXPECT_EQ(refusal(u"мама Russian\nмама Ukrainian\nsms Russian\nhello English"), "accepted");
    const std::pair<const char16_t*, const char*> bad[] = {
        {u"hello English\nx English", "w.txt:2:"},
        {u"hello English\nHello English", "repeats the word of line 1"},
        {u"привет Русский", "no language"},
        {u"привет English", "not a letter"},
        {u"grüße German", "code page"},
        {u"hello", ""},
        {u"# only a comment", ""},
    };
    for (const auto& [text, message] : bad) {
        const std::string got = refusal(text);
        EXPECT_TRUE(got != "accepted" && got.find(message) != std::string::npos) << got;
    }
}

} // namespace
} // namespace vexlon::mkdata
