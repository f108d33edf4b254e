#include "core/dictionary/KeyboardFiles.h"

#include "core/base/CodePage1251.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "core/dictionary/CsvTextFiles.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <archive.h>
#include <archive_entry.h>
#include <memory>
#include <new>

namespace vexlon {

namespace {

// ---- Limits and messages ---------------------------------------------------

VexlonError tooManyWords()
{
    return VexlonError(QStringLiteral("The file holds more than %1 words, more than a dictionary table takes; it was not read.")
                           .arg(kMaxWordsInFile));
}

VexlonError tooManySkipped()
{
    return VexlonError(QStringLiteral("The file holds more than %1 lines that give no word; it was not read.").arg(kMaxWordsInFile));
}

// Appends a word or a skipped line, refusing the file once either list
// passes the limit, so that no input makes the lists outgrow the table.
void addWord(KeyboardWords& result, KeyboardWord word)
{
    if (result.words.size() >= kMaxWordsInFile)
        throw tooManyWords();
    result.words.append(std::move(word));
}

void addSkipped(KeyboardWords& result, int line, const QString& text, const QString& reason)
{
    if (result.skipped.size() >= kMaxWordsInFile)
        throw tooManySkipped();
    result.skipped.append(SkippedLine {line, text, reason});
}

QString wordShown(const QString& word)
{
    return printable(cp1251::shown(word));
}

// ---- Text ------------------------------------------------------------------

// The text of valid UTF-8; nothing when any sequence is not valid, so that
// no U+FFFD ever stands in for what the file held. The bytes are one line:
// the file's byte-order mark is gone already, so a U+FEFF that opens the
// line is part of it and is kept.
std::optional<QString> strictUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool holdsKeptCode(QStringView text)
{
    for (const QChar c : text) {
        if (cp1251::isKeptCode(c))
            return true;
    }
    return false;
}

bool holdsLineEnd(QStringView text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

bool holdsBlank(QStringView text)
{
    for (const QChar c : text) {
        if (c.isSpace())
            return true;
    }
    return false;
}

// The first line of the bytes without its trailing blanks, the byte-order
// mark already gone.
bool isGboardHeader(QByteArrayView firstLine)
{
    while (!firstLine.isEmpty() && (firstLine.back() == ' ' || firstLine.back() == '\t' || firstLine.back() == '\r'))
        firstLine.chop(1);
    return firstLine == QByteArrayView(kGboardHeader);
}

QByteArrayView withoutBom(QByteArrayView bytes)
{
    return bytes.startsWith(QByteArrayView(kUtf8Bom)) ? bytes.sliced(3) : bytes;
}

const QString& reasonNotUtf8()
{
    static const QString reason = QStringLiteral("The line is not valid UTF-8.");
    return reason;
}

const QString& reasonKeptCode()
{
    static const QString reason =
        QStringLiteral("The word holds a private-use character (U+F700 to U+F7FF) that the program keeps for phone codes without a letter.");
    return reason;
}

// ---- Zip archives ----------------------------------------------------------

struct ReadFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteFree {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryFree {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};

QString archiveError(archive* a)
{
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unknown error");
}

VexlonError notAZip(const QString& reason)
{
    return VexlonError(QStringLiteral("The file is not a readable zip archive (%1).").arg(reason));
}

VexlonError entryTooLarge()
{
    return VexlonError(QStringLiteral("The \"%1\" inside the zip archive is larger than %2 MB, more than a dictionary file may be; it was not read.")
                           .arg(QLatin1StringView(kGboardEntryName))
                           .arg(kMaxDictionaryFileBytes >> 20));
}

// True for a regular entry named "dictionary.txt", in any letter case, in
// any folder of the archive.
bool isDictionaryEntry(archive_entry* entry)
{
    if (archive_entry_filetype(entry) != AE_IFREG)
        return false;
    const char* path = archive_entry_pathname(entry);
    if (!path)
        path = archive_entry_pathname_utf8(entry);
    if (!path)
        return false;
    QByteArrayView name(path);
    const qsizetype slash = std::max(name.lastIndexOf('/'), name.lastIndexOf('\\'));
    if (slash >= 0)
        name = name.sliced(slash + 1);
    return name.compare(QByteArrayView(kGboardEntryName), Qt::CaseInsensitive) == 0;
}

// libarchive's write callback: appends to the QByteArray behind client.
// Nothing may be thrown through the library, so a failed allocation ends the
// archive with an error instead.
la_ssize_t appendToBytes(archive* /*a*/, void* client, const void* buffer, size_t length)
{
    try {
        static_cast<QByteArray*>(client)->append(static_cast<const char*>(buffer), static_cast<qsizetype>(length));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return static_cast<la_ssize_t>(length);
}

// ---- Languages -------------------------------------------------------------

// The name of a structure language as Qt names languages would match it.
QString languageKey(const QByteArray& name)
{
    QString key = QString::fromLatin1(name);
    while (key.endsWith(QChar(u'\0')))
        key.chop(1);
    return key.trimmed().toCaseFolded();
}

// Every language Qt knows, by its English name.
const QHash<QString, QLocale::Language>& languagesByName()
{
    static const QHash<QString, QLocale::Language> byName = [] {
        QHash<QString, QLocale::Language> map;
        for (int l = QLocale::AnyLanguage + 1; l <= QLocale::LastLanguage; ++l) {
            const auto language = static_cast<QLocale::Language>(l);
            const QString name = QLocale::languageToString(language).toCaseFolded();
            if (!name.isEmpty() && !map.contains(name))
                map.insert(name, language);
        }
        return map;
    }();
    return byName;
}

// A locale code is letters and digits in parts joined by "-" or "_".
bool isLocaleCode(const QString& code)
{
    if (code.isEmpty() || code.size() > 35)
        return false;
    for (const QChar c : code) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'-' || u == u'_';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

bool looksLikeZip(QByteArrayView bytes)
{
    // A local file header, or the end record of an empty archive.
    return bytes.startsWith(QByteArrayView("PK\x03\x04", 4)) || bytes.startsWith(QByteArrayView("PK\x05\x06", 4));
}

bool looksLikeGboardText(QByteArrayView bytes)
{
    bytes = withoutBom(bytes);
    const qsizetype lf = bytes.indexOf('\n');
    return isGboardHeader(lf < 0 ? bytes : bytes.first(lf));
}

KeyboardWords ParseGboardText(const QByteArray& bytes)
{
    QByteArray content = bytes;
    if (content.startsWith(kUtf8Bom))
        content.remove(0, 3);
    LineReader lines(std::move(content));
    if (!isGboardHeader(lines.next()))
        throw VexlonError(QStringLiteral("The file is not a Gboard dictionary: its first line is not \"%1\".").arg(QLatin1StringView(kGboardHeader)));
    const QString noTab = QStringLiteral("The line holds no tab between the word and its shortcut.");
    const QString emptyWord = QStringLiteral("The line gives no word before its first tab.");
    KeyboardWords result;
    int number = 1;
    while (!lines.atEnd()) {
        ++number;
        const QByteArrayView line = lines.next();
        const std::optional<QString> text = strictUtf8(line);
        if (!text) {
            addSkipped(result, number, QString::fromUtf8(line), reasonNotUtf8());
            continue;
        }
        if (text->trimmed().isEmpty() || text->startsWith(QLatin1Char('#')))
            continue;
        // Word, shortcut and locale; a line of Gboard's carries nothing
        // more, so fields past the locale are passed over.
        const QStringList fields = text->split(QLatin1Char('\t'));
        if (fields.size() < 2) {
            addSkipped(result, number, *text, noTab);
            continue;
        }
        KeyboardWord word {fields[0].trimmed(), fields[1].trimmed(), fields.size() > 2 ? fields[2].trimmed() : QString(), number};
        if (word.word.isEmpty()) {
            addSkipped(result, number, *text, emptyWord);
            continue;
        }
        if (holdsKeptCode(word.word)) {
            addSkipped(result, number, *text, reasonKeptCode());
            continue;
        }
        addWord(result, std::move(word));
    }
    return result;
}

QByteArray ExtractGboardText(const QByteArray& zipBytes)
{
    if (zipBytes.isEmpty())
        throw notAZip(QStringLiteral("it is empty"));
    std::unique_ptr<archive, ReadFree> reader(archive_read_new());
    if (!reader)
        throw notAZip(QStringLiteral("out of memory"));
    archive* a = reader.get();
    archive_read_support_format_zip(a);
    if (archive_read_open_memory(a, zipBytes.constData(), static_cast<size_t>(zipBytes.size())) != ARCHIVE_OK)
        throw notAZip(archiveError(a));
    for (;;) {
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF)
            break;
        // A warning is about a name the locale cannot show; the entry is
        // still read.
        if (status < ARCHIVE_WARN)
            throw notAZip(archiveError(a));
        if (!isDictionaryEntry(entry))
            continue;
        // The size the archive states is checked first; the bytes are
        // counted too, as a damaged archive may state less than it holds.
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > kMaxDictionaryFileBytes)
            throw entryTooLarge();
        QByteArray text;
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0)
            text.reserve(static_cast<qsizetype>(archive_entry_size(entry)));
        std::unique_ptr<char[]> buffer(new char[1 << 16]);
        for (;;) {
            const la_ssize_t n = archive_read_data(a, buffer.get(), 1 << 16);
            if (n < 0)
                throw notAZip(archiveError(a));
            if (n == 0)
                break;
            if (text.size() + n > kMaxDictionaryFileBytes)
                throw entryTooLarge();
            text.append(buffer.get(), static_cast<qsizetype>(n));
        }
        return text;
    }
    throw VexlonError(QStringLiteral("The zip archive holds no \"%1\"; it is not a Gboard dictionary export.").arg(QLatin1StringView(kGboardEntryName)));
}

QByteArray BuildGboardText(const QVector<KeyboardWord>& words)
{
    QByteArray out(kGboardHeader);
    out.append('\n');
    const auto refuse = [](const QString& word, const QString& why) {
        return VexlonError(QStringLiteral("The word \"%1\" %2, which a Gboard dictionary cannot carry; nothing was written.").arg(wordShown(word), why));
    };
    for (const KeyboardWord& w : words) {
        if (w.word.isEmpty())
            throw VexlonError(QStringLiteral("An empty word cannot be written to a Gboard dictionary; nothing was written."));
        if (holdsKeptCode(w.word))
            throw refuse(w.word, QStringLiteral("holds a code without a letter (%1)").arg(cp1251::keptCodesText(w.word)));
        for (const QString* field : {&w.word, &w.shortcut, &w.locale}) {
            if (field->contains(QLatin1Char('\t')))
                throw refuse(w.word, QStringLiteral("has a tab in its word, shortcut or locale"));
            if (holdsLineEnd(*field))
                throw refuse(w.word, QStringLiteral("has a line end in its word, shortcut or locale"));
            if (!field->isValidUtf16())
                throw refuse(w.word, QStringLiteral("holds a broken UTF-16 surrogate"));
        }
        // The reader trims the fields and takes a line starting with "#" for
        // a comment; such a word would not come back as it went.
        if (w.word.trimmed() != w.word)
            throw refuse(w.word, QStringLiteral("starts or ends with a blank"));
        if (w.word.startsWith(QLatin1Char('#')))
            throw refuse(w.word, QStringLiteral("starts with \"#\", which marks a comment line"));
        out.append(w.word.toUtf8()).append('\t').append(w.shortcut.trimmed().toUtf8()).append('\t').append(w.locale.trimmed().toUtf8()).append('\n');
    }
    return out;
}

QByteArray BuildGboardZip(const QByteArray& text)
{
    QByteArray out;
    std::unique_ptr<archive, WriteFree> writer(archive_write_new());
    std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
    if (!writer || !entry)
        throw VexlonError(QStringLiteral("Cannot make the zip archive: out of memory."));
    archive* a = writer.get();
    const auto fail = [a]() { return VexlonError(QStringLiteral("Cannot make the zip archive: %1.").arg(archiveError(a))); };
    if (archive_write_set_format_zip(a) != ARCHIVE_OK || archive_write_zip_set_compression_deflate(a) != ARCHIVE_OK
        || archive_write_set_bytes_in_last_block(a, 1) != ARCHIVE_OK
        || archive_write_open2(a, &out, nullptr, appendToBytes, nullptr, nullptr) != ARCHIVE_OK)
        throw fail();
    archive_entry_set_pathname(entry.get(), kGboardEntryName);
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), text.size());
    archive_entry_set_mtime(entry.get(), static_cast<time_t>(QDateTime::currentSecsSinceEpoch()), 0);
    if (archive_write_header(a, entry.get()) != ARCHIVE_OK)
        throw fail();
    qsizetype done = 0;
    while (done < text.size()) {
        const la_ssize_t n = archive_write_data(a, text.constData() + done, static_cast<size_t>(text.size() - done));
        if (n <= 0)
            throw fail();
        done += static_cast<qsizetype>(n);
    }
    if (archive_write_close(a) != ARCHIVE_OK)
        throw fail();
    return out;
}

KeyboardWords ParseWordList(const QByteArray& bytes)
{
    QByteArray content = bytes;
    const TextEncoding encoding = takeEncoding(content);
    const QString blankInside = QStringLiteral("The line holds a blank inside; a word list gives one word a line.");
    KeyboardWords result;
    LineReader lines(std::move(content));
    int number = 0;
    while (!lines.atEnd()) {
        ++number;
        const QByteArrayView line = lines.next();
        QString text;
        if (encoding == TextEncoding::Utf8) {
            // A file with a byte-order mark is read as UTF-8 even where it
            // is not valid; such a line gives no word.
            std::optional<QString> decoded = strictUtf8(line);
            if (!decoded) {
                addSkipped(result, number, QString::fromUtf8(line), reasonNotUtf8());
                continue;
            }
            text = std::move(*decoded);
        } else {
            // Windows-1251: a byte without a letter becomes a kept code and
            // is written back as it came.
            text = decodeText(line, encoding);
        }
        const QString word = text.trimmed();
        if (word.isEmpty())
            continue;
        if (holdsBlank(word)) {
            addSkipped(result, number, text, blankInside);
            continue;
        }
        // In UTF-8 a kept code's character stands for no phone code.
        if (encoding == TextEncoding::Utf8 && holdsKeptCode(word)) {
            addSkipped(result, number, text, reasonKeptCode());
            continue;
        }
        addWord(result, KeyboardWord {word, QString(), QString(), number});
    }
    return result;
}

QByteArray BuildWordList(const QStringList& words)
{
    const auto refuse = [](const QString& word, const QString& why) {
        return VexlonError(QStringLiteral("The word \"%1\" %2, which a word list cannot carry; nothing was written.").arg(wordShown(word), why));
    };
    QByteArray out;
    for (const QString& word : words) {
        if (word.isEmpty())
            throw VexlonError(QStringLiteral("An empty word cannot be written to a word list; nothing was written."));
        if (holdsKeptCode(word))
            throw refuse(word, QStringLiteral("holds a code without a letter (%1)").arg(cp1251::keptCodesText(word)));
        if (holdsLineEnd(word))
            throw refuse(word, QStringLiteral("has a line end"));
        // The reader trims each line and skips one with a blank inside.
        if (holdsBlank(word))
            throw refuse(word, QStringLiteral("holds a blank"));
        if (!word.isValidUtf16())
            throw refuse(word, QStringLiteral("holds a broken UTF-16 surrogate"));
        // As the file's first bytes it would read as the byte-order mark.
        if (word.startsWith(QChar(u'\uFEFF')))
            throw refuse(word, QStringLiteral("starts with U+FEFF, the byte-order mark"));
        out.append(word.toUtf8()).append('\n');
    }
    return out;
}

QString localeOfLanguage(const TiTAPStructure& structure, uint8_t id)
{
    for (const TLanguages& language : structure.Languages) {
        if (language.ID != id)
            continue;
        const auto found = languagesByName().constFind(languageKey(language.Name));
        if (found == languagesByName().constEnd())
            return QString();
        const QLocale locale(*found);
        if (locale.language() != *found)
            return QString();
        return locale.name().replace(QLatin1Char('_'), QLatin1Char('-'));
    }
    return QString();
}

std::optional<uint8_t> languageOfLocale(const TiTAPStructure& structure, const QString& locale)
{
    const QString code = locale.trimmed();
    if (!isLocaleCode(code))
        return std::nullopt;
    // QLocale takes "-" and "_" and any letter case, and gives the "C"
    // locale for a code it does not know.
    const QLocale::Language language = QLocale(code).language();
    if (language == QLocale::C || language == QLocale::AnyLanguage)
        return std::nullopt;
    const QString name = QLocale::languageToString(language).toCaseFolded();
    for (const TLanguages& l : structure.Languages) {
        if (languageKey(l.Name) == name)
            return l.ID;
    }
    return std::nullopt;
}

} // namespace vexlon
