// The language structure file built from the readable language table, the
// generator's refusal of tables that would build a wrong file, and the sample
// dictionary written with the structure.
#include "MkData.h"

#include "core/base/CodePage1251.h"
#include "core/base/TextFile.h"
#include "core/dictionary/ItudFile.h"
#include "support/CoreFixture.h"

#include <QSet>

namespace vexlon::mkdata {
namespace {

QVector<LanguageDef> parse(const QString& text)
{
    return parseLanguageSource(text.split(QLatin1Char('\n')), QStringLiteral("test.txt"));
}

TEST(mkdata_LangStructure, GeneratedFileHoldsTheSevenLanguagesWithBothCasesAndTranslatesEveryLetter)
{
    const QString path = QStringLiteral(VEXLON_BIN_DIR "/iTAP_Lang_structure.dat");
    EXPECT_TRUE(readWholeFile(path).startsWith(QByteArray("Vexlon languages\x00\x01", 18)));
    TiTAPStructure structure;
    ASSERT_TRUE(LoadLangStructure(path, structure));
    ASSERT_EQ(structure.Count, structure.Languages.size());
    // The second header word is the offset of the first language block.
    EXPECT_EQ(structure.HeaderWord2, structure.Languages.first().Offset);
    QSet<uint8_t> ids;
    QHash<QByteArray, const TLanguages*> byName;
    int translated = 0;
    for (const TLanguages& language : structure.Languages) {
        SCOPED_TRACE(language.Name.constData());
        ids.insert(language.ID);
        byName.insert(language.Name, &language);
        const QSet<char16_t> chars(language.Chars.begin(), language.Chars.end());
        for (char16_t c = u'A'; c <= u'Z'; ++c) // Latin letters keep their ASCII codes
            for (char16_t unit : {c, char16_t(c + 32)})
                EXPECT_EQ(language.Codes.value(language.Chars.indexOf(unit)), unit) << char(unit);
        for (int j = 0; j < language.Chars.size(); ++j) {
            const QChar c(language.Chars[j]);
            EXPECT_TRUE(c.isLetter() && chars.contains(c.toUpper().unicode()) && chars.contains(c.toLower().unicode()))
                << "U+" << std::hex << int(c.unicode());
            // Every letter, the German ones too, goes to its phone code and back.
            EXPECT_EQ(EncodeChar(structure, 0, language.ID, c), language.Codes[j]) << "U+" << std::hex << int(c.unicode());
            EXPECT_EQ(DecodeChar(structure, 0, language.ID, language.Codes[j]), c) << std::hex << int(language.Codes[j]);
            translated += !cp1251::canEncode(c.unicode()) || cp1251::fromUnit(c.unicode()) != language.Codes[j];
        }
    }
    EXPECT_EQ(ids.size(), 7);
    EXPECT_GT(translated, 0);
    // Letters each alphabet cannot do without.
    const std::pair<const char*, std::u16string> letters[] = {
        {"English", u""},
        {"Russian", u"ЁёАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя"},
        {"Ukrainian", u"ҐґЄєІіЇї"},
        {"Belarusian", u"ЎўІі"},
        {"Bulgarian", u"ЪъЩщ"},
        {"Serbian", u"ЂђЈјЉљЊњЋћЏџ"},
        {"German", u"ÄäÖöÜüß"},
    };
    for (const auto& [name, needed] : letters) {
        ASSERT_TRUE(byName.contains(name)) << name;
        for (char16_t c : needed)
            EXPECT_TRUE(byName[name]->Chars.contains(c)) << name << " lacks U+" << std::hex << int(c);
    }
}

TEST(mkdata_LangStructure, BuiltFileIsTheDocumentedBytes)
{
    const QVector<LanguageDef> source = parse(QStringLiteral("# two languages\n"
                                                             "language 0x10 Украинский ЯЗ\n"
                                                             "  0x41 AB\n"
                                                             "  0x80 Я я\n"
                                                             "\n"
                                                             "language 200 Second\n"
                                                             "  0x80 ЖЗ\n"));
    // Thirteen characters: 26 bytes of UTF-8, 13 in the code page.
    QByteArray expected = test::langStructureBytes({{0x10, cp1251::fromUnicode(u"Украинский ЯЗ"), {{0x41, u'A'}, {0x42, u'B'}, {0x80, u'Я'}, {0x81, u'я'}}},
                                                    {200, "Second", {{0x80, u'Ж'}, {0x81, u'З'}}}});
    expected.replace(0, 16, "Vexlon languages");
    expected[19] = 36; // the first block follows the two offsets
    EXPECT_EQ(buildLangStructure(source), expected);
}

TEST(mkdata_LangStructure, GeneratorRefusesTablesThatWouldBuildAWrongFile)
{
    // Each source with a piece of the message it must be refused with.
    const std::pair<QString, const char*> broken[] = {
        {QStringLiteral("language 1 Fourteen chars\n 0x41 A\n"), "longer than 13"},
        {QStringLiteral("language 16 One\n 0x41 A\nlanguage 0x10 Two\n 0x41 A\n"), "test.txt:3: the language id 0x10 is already used on line 1"},
        {QStringLiteral("language 1 One\n 0x80 ЖЗИ\n 0x82 К\n"), "test.txt:3:"}, // one code twice
        {QStringLiteral("language 1 One\n 0xFE ЖЗИ\n"), "above 0xFF"},
    };
    for (const auto& [text, message] : broken) {
        try {
            parse(text);
            ADD_FAILURE() << "accepted: " << text.toStdString();
        } catch (const SourceError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

// The sample dictionary: written through the dictionary writer with the
// generated language structure, it reads back as its source.
TEST(mkdata_Sample, DictionaryReadsBackAsItsSource)
{
    const QByteArray bytes = readWholeFile(QStringLiteral(VEXLON_BIN_DIR "/samples/sample.iud"));
    ASSERT_EQ(bytes.size(), 5100);
    EXPECT_EQ(bytes.left(4), QByteArray("\x07\xDA\x13\xD9", 4));
    EXPECT_EQ(bytes[8], '\x18');
    EXPECT_EQ(bytes.right(3), QByteArray(3, '\0'));

    ProgramState state;
    ASSERT_TRUE(LoadLangStructure(QStringLiteral(VEXLON_BIN_DIR "/iTAP_Lang_structure.dat"), state.langStructure));
    const QVector<DictRow> rows = ParseDictionary(bytes, state);
    const QVector<SampleWord> words = parseSampleSource(
        readSourceLines(QStringLiteral(VEXLON_DATA_SOURCE_DIR "/samples/words.txt")), QStringLiteral("words.txt"));
    ASSERT_EQ(rows.size(), words.size());
    EXPECT_GE(words.size(), 80);

    QSet<QString> languages;
    for (int i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(words[i].word.toStdString());
        EXPECT_EQ(rows[i].word, words[i].word);
        EXPECT_EQ(cp1251::toUnicode(rows[i].language), words[i].language);
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
    EXPECT_EQ((uint8_t(bytes[6]) << 8) | uint8_t(bytes[7]), rows.size());
}

} // namespace
} // namespace vexlon::mkdata
