// Gboard dictionary exports and plain word lists.
#include "core/dictionary/KeyboardFiles.h"

#include "core/base/CodePage1251.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/LangStructure.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <random>

using namespace vexlon;

namespace {

const QByteArray kHeader = QByteArray(kGboardHeader) + '\n';

// A zip of the named entries, made apart from the code under test.
QByteArray zipOf(const std::vector<std::pair<const char*, QByteArray>>& entries)
{
    QByteArray out(1 << 16, '\0');
    for (const auto& entry : entries)
        out.append(entry.second.size() + 256, '\0');
    size_t used = 0;
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open_memory(a, out.data(), static_cast<size_t>(out.size()), &used);
    for (const auto& [name, data] : entries) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, name);
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_size(e, data.size());
        archive_write_header(a, e);
        archive_write_data(a, data.constData(), static_cast<size_t>(data.size()));
        archive_entry_free(e);
    }
    EXPECT_EQ(archive_write_close(a), ARCHIVE_OK);
    archive_write_free(a);
    return out.first(static_cast<qsizetype>(used));
}

TiTAPStructure shippedStructure()
{
    TiTAPStructure structure;
    EXPECT_TRUE(LoadLangStructure(QStringLiteral(VEXLON_DATA_STAGE_DIR "/iTAP_Lang_structure.dat"), structure));
    return structure;
}

} // namespace

// Each file's words as "word|shortcut|locale|line", and the lines it skipped.
TEST(KeyboardFilesTest, FilesGiveTheirWordsAndSkipDamagedLinesWithTheirNumbers)
{
    struct Case {
        const char* name;
        KeyboardWords (*parse)(const QByteArray&);
        QByteArray bytes;
        QStringList words;
        QList<int> skipped;
    };
    const Case cases[] = {
        {"LF", ParseGboardText, kHeader + "hello\thi\ten-US\n\xD0\xBC\xD0\xB8\xD1\x80\t\tru-RU\n", {"hello|hi|en-US|2", QStringLiteral(u"мир||ru-RU|3")}, {}},
        {"CR LF, blanks", ParseGboardText, QByteArray(kGboardHeader) + " \r\nhello\thi\ten-US \r\nlast\t\t", {"hello|hi|en-US|2", "last|||3"}, {}},
        {"byte-order mark", ParseGboardText, kUtf8Bom + kHeader + "Stra\xC3\x9F" "e\t\tde-DE\n", {QStringLiteral(u"Straße||de-DE|2")}, {}},
        // Only the file's first bytes are its byte-order mark.
        {"U+FEFF opening a line", ParseGboardText, kUtf8Bom + kHeader + "\xEF\xBB\xBFmir\t\t\n", {QStringLiteral(u"\uFEFFmir|||2")}, {}},
        {"comments, no locale", ParseGboardText, kHeader + "# note\n\n   \nword\tw\n#x\ty\tz\n", {"word|w||5"}, {}},
        {"fields past the locale", ParseGboardText, kHeader + "a\tb\ten-US\textra\n", {"a|b|en-US|2"}, {}},
        {"damaged Gboard lines", ParseGboardText, kHeader + "notab\n\tshort\ten\n  \t\t\nbad\xFF\t\t\n\xEF\x9E\x98x\t\t\nok\t\t\n", {"ok|||7"}, {2, 3, 5, 6}},
        {"UTF-8 list", ParseWordList, "  \xD0\xBC\xD0\xB8\xD1\x80 \r\n\nStra\xC3\x9F" "e\ntwo words\n", {QStringLiteral(u"мир|||1"), QStringLiteral(u"Straße|||3")}, {4}},
        {"Windows-1251 list", ParseWordList, "\xEC\xE8\xF0\n\xC0\xE1\xE2 \xE3\n", {QStringLiteral(u"мир|||1")}, {2}},
        {"list with a byte-order mark", ParseWordList, kUtf8Bom + QByteArray("ok\nbad\xFF\n\xEF\x9E\x98\n\xEF\xBB\xBFx\n"), {"ok|||1", QStringLiteral(u"\uFEFFx|||4")}, {2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const KeyboardWords result = c.parse(c.bytes);
        QStringList words;
        for (const KeyboardWord& w : result.words)
            words << w.word + u'|' + w.shortcut + u'|' + w.locale + u'|' + QString::number(w.line);
        EXPECT_EQ(words, c.words);
        QList<int> skipped;
        for (const SkippedLine& s : result.skipped)
            skipped << s.line;
        EXPECT_EQ(skipped, c.skipped);
    }
    // Every Windows-1251 byte is kept, whether or not it is a letter.
    QByteArray bytes;
    for (int b = 0x80; b < 0x100; ++b)
        bytes += b == 0xA0 ? 'x' : static_cast<char>(b);
    const KeyboardWords all = ParseWordList(bytes);
    ASSERT_EQ(all.words.size(), 1);
    QByteArray back;
    EXPECT_EQ(cp1251::encodeWord(all.words[0].word, back), -1);
    EXPECT_EQ(back, bytes);
}

TEST(KeyboardFilesTest, TextWithoutTheGboardHeaderIsRefused)
{
    for (const QByteArray& text : {QByteArray(), QByteArray("hello\t\ten-US\n"), QByteArray("# Gboard Dictionary version:2\n"),
                                   QByteArray(" # Gboard Dictionary version:1\n"), QByteArray("\xFF\xFE#\0 \0G\0", 8)}) {
        EXPECT_FALSE(looksLikeGboardText(text)) << text.toHex().constData();
        EXPECT_THROW(ParseGboardText(text), VexlonError) << text.toHex().constData();
    }
}

TEST(KeyboardFilesTest, ZipGivesItsDictionaryTextFromAnyFolderAndRefusesWhatIsNoDictionary)
{
    const QByteArray text = kHeader + "hello\t\ten-US\n";
    EXPECT_TRUE(looksLikeZip(BuildGboardZip(text)));
    EXPECT_EQ(ExtractGboardText(BuildGboardZip(text)), text);
    EXPECT_EQ(ExtractGboardText(zipOf({{"readme.md", "x"}, {"export/Dictionary.TXT", text}})), text);
    EXPECT_EQ(ExtractGboardText(zipOf({{"/dictionary.txt", text}})), text);

    const QByteArray refused[] = {zipOf({{"words.txt", text}, {"dictionary.txt/", "x"}}), zipOf({}), QByteArray(), text,
                                  QByteArray("PK\x03\x04garbage", 11), QByteArray(300, '\xA5'),
                                  zipOf({{"dictionary.txt", QByteArray(kMaxDictionaryFileBytes + 1, 'a')}})};
    for (const QByteArray& zip : refused)
        EXPECT_THROW(ExtractGboardText(zip), VexlonError) << zip.first(std::min<qsizetype>(zip.size(), 40)).toHex().constData();
}

// Every cut and every changed byte gives the whole text or an error, never
// a part or a different text.
TEST(KeyboardFilesTest, DamagedZipNeverGivesADifferentText)
{
    QByteArray text = kHeader;
    for (int i = 0; i < 40; ++i)
        text += "word" + QByteArray::number(i) + "\t\tde-DE\n";
    const QByteArray zip = BuildGboardZip(text);
    for (qsizetype i = 0; i < zip.size(); ++i) {
        QByteArray flipped = zip;
        flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
        for (const QByteArray& damaged : {zip.first(i), flipped}) {
            try {
                EXPECT_EQ(ExtractGboardText(damaged), text) << "at " << i;
            } catch (const VexlonError&) {
            }
        }
    }
}

TEST(KeyboardFilesTest, LocalesMapToTheShippedLanguagesBothWays)
{
    const TiTAPStructure structure = shippedStructure();
    ASSERT_FALSE(structure.Languages.isEmpty());
    for (const TLanguages& l : structure.Languages) {
        const QString locale = localeOfLanguage(structure, l.ID);
        SCOPED_TRACE(l.Name.constData());
        ASSERT_EQ(locale.size(), 5);
        const QString lang = locale.first(2);
        for (const QString& code : {locale, QString(locale).replace(u'-', u'_'), lang, lang.toUpper() + u'-' + lang, locale.toLower()})
            EXPECT_EQ(languageOfLocale(structure, code), std::optional<uint8_t>(l.ID)) << code.toStdString();
    }
    EXPECT_EQ(localeOfLanguage(structure, 0x02), QStringLiteral(u"ru-RU"));
    EXPECT_EQ(localeOfLanguage(structure, 0x07), QStringLiteral(u"de-DE"));
    EXPECT_EQ(localeOfLanguage(structure, 0x5A), QString());
    for (const char* unknown : {"", "C", "xx-YY", "fr-FR", "ru RU", "english", "ru/RU"})
        EXPECT_EQ(languageOfLocale(structure, QString::fromLatin1(unknown)), std::nullopt) << unknown;
}

TEST(KeyboardFilesTest, RandomWordsComeBackThroughTheZipAndTheWordList)
{
    const TiTAPStructure structure = shippedStructure();
    const QString letters = QStringLiteral(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЯґєїіўђјљњћџäöüßÄÖÜabcxyz-'");
    std::mt19937 rng(7);
    QVector<KeyboardWord> words;
    QStringList plain;
    for (int i = 0; i < 500; ++i) {
        KeyboardWord w;
        for (int n = 1 + static_cast<int>(rng() % 15); n > 0; --n)
            w.word += letters[static_cast<qsizetype>(rng() % letters.size())];
        w.locale = localeOfLanguage(structure, structure.Languages[static_cast<qsizetype>(rng() % structure.Languages.size())].ID);
        w.line = i + 2;
        words << w;
        plain << w.word;
    }
    const KeyboardWords back = ParseGboardText(ExtractGboardText(BuildGboardZip(BuildGboardText(words))));
    ASSERT_EQ(back.words.size(), words.size());
    EXPECT_TRUE(back.skipped.isEmpty());
    for (qsizetype i = 0; i < words.size(); ++i) {
        EXPECT_EQ(back.words[i].word, words[i].word);
        EXPECT_EQ(back.words[i].locale, words[i].locale);
        EXPECT_EQ(back.words[i].line, words[i].line);
    }
    QStringList listBack;
    for (const KeyboardWord& w : ParseWordList(BuildWordList(plain)).words)
        listBack << w.word;
    EXPECT_EQ(listBack, plain);
}

TEST(KeyboardFilesTest, BuildingRefusesWordsTheFormatsCannotCarry)
{
    const QString kept = QStringLiteral(u"ab") + cp1251::keptCode(0x98);
    for (const QString& word : {QStringLiteral(u"a\tb"), QStringLiteral(u"a\nb"), QStringLiteral(u"a\rb"), kept, QStringLiteral(u"#tag"), QStringLiteral(u" lead")}) {
        try {
            BuildGboardText({KeyboardWord {QStringLiteral(u"fine"), {}, {}, 0}, KeyboardWord {word, {}, {}, 0}});
            ADD_FAILURE() << "accepted " << word.toStdString();
        } catch (const VexlonError& e) {
            EXPECT_TRUE(e.message().contains(printable(cp1251::shown(word)))) << e.what();
        }
    }
    EXPECT_THROW(BuildGboardText({KeyboardWord {QStringLiteral(u"fine"), QStringLiteral(u"x\ty"), {}, 0}}), VexlonError);
    EXPECT_THROW(BuildGboardText({KeyboardWord {}}), VexlonError);
    for (const QString& word : {QStringLiteral(u"a\nb"), kept, QStringLiteral(u"two words"), QStringLiteral(u"\uFEFFa"), QString()})
        EXPECT_THROW(BuildWordList({QStringLiteral(u"fine"), word}), VexlonError) << word.toStdString();
}

TEST(KeyboardFilesTest, MoreLinesThanATableTakesAreRefused)
{
    const QByteArray lines = QByteArray(kMaxWordsInFile + 1, '\n');
    EXPECT_THROW(ParseWordList(QByteArray(lines).replace("\n", "a\n")), VexlonError);
    EXPECT_THROW(ParseGboardText(kHeader + QByteArray(lines).replace("\n", "a\t\n")), VexlonError);
    EXPECT_THROW(ParseGboardText(kHeader + QByteArray(lines).replace("\n", "x\n")), VexlonError);
}
