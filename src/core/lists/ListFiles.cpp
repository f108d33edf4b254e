#include "core/lists/ListFiles.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "core/dictionary/LangStructure.h"

#include <QFileInfo>
#include <algorithm>
#include <charconv>

namespace vexlon {

namespace {

const char* const kBlackWhiteType = "List Type;Black/White list";
const char* const kStatisticType = "List Type;Statistic list";

// The first three ";"-ended fields of an entry line; a field whose ";" is
// missing, and every field after it, is empty. Whatever follows the third
// ";" (the language name and anything beyond) is not used.
void splitEntry(QByteArrayView line, QByteArray fields[3])
{
    qsizetype start = 0;
    for (int f = 0; f < 3; ++f) {
        const qsizetype end = line.indexOf(';', start);
        if (end < 0)
            return;
        fields[f] = line.sliced(start, end - start).toByteArray();
        start = end + 1;
    }
}

// Checks the first line and reads the count of line 4; false when the file
// is not a list file.
bool parseHeader(LineReader& reader, int32_t& count)
{
    if (reader.next() != kListFileFirstLine)
        return false;
    reader.next();
    reader.next();
    const QByteArrayView amountLine = reader.next();
    const qsizetype semicolon = amountLine.lastIndexOf(';');
    if (semicolon < 0)
        return false;
    count = strToInt(amountLine.sliced(semicolon + 1));
    if (count < 0)
        throw RangeError(QStringLiteral("Range check error: a list of %1 entries").arg(count));
    return true;
}

template <class List, class Item, class SetNumber>
bool parseList(QByteArray bytes, List& list, const TiTAPStructure& structure, const QString& name,
               SetNumber setNumber)
{
    const TextEncoding encoding = takeEncoding(bytes);
    LineReader lines(bytes);
    int32_t count = 0;
    try {
        if (!parseHeader(lines, count))
            return false;
    } catch (const ConvertError& e) {
        throw VexlonError::atLine(e, name, 4);
    } catch (const RangeError& e) {
        throw VexlonError::atLine(e, name, 4);
    }
    // Lines missing past the end of the file read as empty lines, which
    // fail to convert: the entries never outnumber the lines present, and
    // those are counted before any entry is made.
    const qsizetype present = qMax<qsizetype>(0, countLines(bytes) - 4);
    if (qMin<qsizetype>(count, present) > kMaxListEntries)
        throw VexlonError(QStringLiteral("The list file \"%1\" holds more than %2 entries; it was not read.")
                              .arg(printable(name))
                              .arg(kMaxListEntries));
    QVector<Item> items;
    items.reserve(qMin<qsizetype>(count, present));
    try {
        for (int32_t i = 0; i < count; ++i) {
            const QByteArrayView line = lines.next();
            QByteArray fields[3];
            splitEntry(line, fields);
            Item item;
            item.Word = decodeText(fields[0], encoding);
            setNumber(item, strToInt(fields[1]));
            item.LanguageID = static_cast<uint8_t>(hexToInt(fields[2]) & 0xFF);
            item.LanguageTitle = LanguageName(structure, item.LanguageID);
            items.append(item);
        }
    } catch (const ConvertError& e) {
        const qsizetype line = 5 + items.size();
        list.Count = static_cast<int>(items.size());
        list.Items = std::move(items);
        throw VexlonError::atLine(e, name, line);
    }
    list.Count = static_cast<int>(items.size());
    list.Items = std::move(items);
    return true;
}

QByteArray cleanTitle(QByteArray title)
{
    title.replace('\r', ' ').replace('\n', ' ');
    return title;
}

// A list is written in Windows-1251 while every word fits it, and as UTF-8
// with the byte-order mark otherwise, so that no letter is lost.
template <class List, class NumberOf>
QByteArray content(const List& list, const char* typeLine, const QByteArray& stamp, NumberOf numberOf)
{
    for (const auto& item : list.Items) {
        if (!listCanStore(item.Word))
            throw VexlonError(QStringLiteral("The word \"%1\" holds \";\" or a line break and cannot be stored in a list file")
                                  .arg(printable(cp1251::shown(item.Word))));
    }
    qsizetype size = 200;
    for (const auto& item : list.Items)
        size += item.Word.size() + item.LanguageTitle.size() + 20;
    // Each line followed by CR LF. The part after the number is the same for
    // every entry of a language and title, and is made once for a run of
    // them. Empty when a word does not fit the encoding.
    const auto build = [&](TextEncoding encoding) {
        const auto own = [encoding](const QByteArray& text) {
            return encoding == TextEncoding::Utf8 ? cp1251::toUnicode(text).toUtf8() : text;
        };
        QByteArray out;
        out.reserve(encoding == TextEncoding::Utf8 ? 2 * size : size);
        if (encoding == TextEncoding::Utf8)
            out.append(kUtf8Bom);
        for (const QByteArray& line : {QByteArray(kListFileFirstLine), QByteArray(typeLine), QByteArray("LastUpdate;") + own(stamp),
                                       QByteArray("Word Amount;") + QByteArray::number(list.Items.size())})
            out.append(line).append("\r\n");
        QByteArray word;
        QByteArray tail;
        int tailId = -1;
        QByteArray tailTitle;
        for (const auto& item : list.Items) {
            if (encodeText(item.Word, encoding, word) >= 0)
                return QByteArray();
            if (item.LanguageID != tailId || item.LanguageTitle != tailTitle) {
                tailId = item.LanguageID;
                tailTitle = item.LanguageTitle;
                tail = ';' + byteToHex(item.LanguageID) + ';' + own(cleanTitle(item.LanguageTitle)) + "\r\n";
            }
            char number[16];
            const auto written = std::to_chars(number, number + sizeof number, numberOf(item));
            out.append(word).append(';').append(number, static_cast<qsizetype>(written.ptr - number)).append(tail);
        }
        return out;
    };
    QByteArray bytes = build(TextEncoding::Windows1251);
    return bytes.isEmpty() ? build(TextEncoding::Utf8) : bytes;
}

QByteArray stampNow()
{
    return cp1251::fromUnicode(cp1251::nowStamp());
}

template <class List>
bool isIn(const List& list, const QString& word, uint8_t languageId)
{
    for (const auto& item : list.Items) {
        if (item.Word == word && item.LanguageID == languageId)
            return true;
    }
    return false;
}

} // namespace

const char* listFileName(ListKind kind)
{
    switch (kind) {
    case ListKind::White:
        return kWhiteListFile;
    case ListKind::Black:
        return kBlackListFile;
    case ListKind::Statistic:
        break;
    }
    return kStatisticFile;
}

QString listReadErrorText(ListKind kind)
{
    switch (kind) {
    case ListKind::White:
        return QStringLiteral("ERROR[04]: Error of reading white list file.");
    case ListKind::Black:
        return QStringLiteral("ERROR[05]: Error of reading black list file.");
    case ListKind::Statistic:
        break;
    }
    return QStringLiteral("ERROR[03]: Error of reading Statislic list file.");
}

bool ParseListFile(const QByteArray& bytes, TLST& list, const TiTAPStructure& structure, const QString& name)
{
    return parseList<TLST, TLST_ITEM>(bytes, list, structure, name,
                                      [](TLST_ITEM& item, int32_t n) { item.Number = n; });
}

bool ParseListFile(const QByteArray& bytes, TSTATLST& list, const TiTAPStructure& structure, const QString& name)
{
    return parseList<TSTATLST, TSTATLST_ITEM>(bytes, list, structure, name,
                                              [](TSTATLST_ITEM& item, int32_t n) { item.Rating = n; });
}

bool ReadListFile(const QString& path, TLST& list, const TiTAPStructure& structure)
{
    if (!QFileInfo(path).isFile())
        return false;
    return ParseListFile(readWholeFile(path, kMaxListFileBytes), list, structure, path);
}

bool ReadListFile(const QString& path, TSTATLST& list, const TiTAPStructure& structure)
{
    if (!QFileInfo(path).isFile())
        return false;
    return ParseListFile(readWholeFile(path, kMaxListFileBytes), list, structure, path);
}

bool listCanStore(const QString& word)
{
    // One pass over the word, for every word of a count.
    return std::none_of(word.begin(), word.end(), [](QChar c) { return c == u';' || c == u'\r' || c == u'\n'; });
}

QByteArray ListFileContent(const TLST& list, const QByteArray& stamp)
{
    return content(list, kBlackWhiteType, stamp, [](const TLST_ITEM& item) { return item.Number; });
}

QByteArray ListFileContent(const TSTATLST& list, const QByteArray& stamp)
{
    return content(list, kStatisticType, stamp, [](const TSTATLST_ITEM& item) { return item.Rating; });
}

void WriteListFile(const TLST& list, const QString& path)
{
    writeFileSafely(path, ListFileContent(list, stampNow()));
}

void WriteListFile(const TSTATLST& list, const QString& path)
{
    writeFileSafely(path, ListFileContent(list, stampNow()));
}

bool IsInList(const TLST& list, const QString& word, uint8_t languageId)
{
    return isIn(list, word, languageId);
}

bool IsInList(const TSTATLST& list, const QString& word, uint8_t languageId)
{
    return isIn(list, word, languageId);
}

bool ReadProgramList(ProgramState& state, ListKind kind)
{
    const QString path = state.path(listFileName(kind));
    bool read = false;
    switch (kind) {
    case ListKind::White:
        read = ReadListFile(path, state.whiteList, state.langStructure);
        if (!read)
            state.whiteList = TLST();
        break;
    case ListKind::Black:
        read = ReadListFile(path, state.blackList, state.langStructure);
        if (!read)
            state.blackList = TLST();
        break;
    case ListKind::Statistic:
        read = ReadListFile(path, state.statisticList, state.langStructure);
        if (!read)
            state.statisticList = TSTATLST();
        break;
    }
    return read;
}

void WriteProgramList(const ProgramState& state, ListKind kind)
{
    const QString path = state.path(listFileName(kind));
    switch (kind) {
    case ListKind::White:
        WriteListFile(state.whiteList, path);
        break;
    case ListKind::Black:
        WriteListFile(state.blackList, path);
        break;
    case ListKind::Statistic:
        WriteListFile(state.statisticList, path);
        break;
    }
}

QString unstorableWordsText(int count, const QString& first)
{
    return QStringLiteral("%1 word(s) holding \";\" cannot be stored in a list file and were not added (first: \"%2\").")
        .arg(count)
        .arg(printable(cp1251::shown(first)));
}

void AppendListEntry(TLST& list, FirstEntryIndex& index, const QString& word, const QByteArray& number,
                     uint8_t languageId, const QByteArray& title)
{
    TLST_ITEM item;
    item.Word = word;
    item.Number = strToInt(number);
    item.LanguageID = languageId;
    item.LanguageTitle = title;
    list.Items.append(item);
    list.Count = static_cast<int>(list.Items.size());
    index.appended(word, languageId, list.Count - 1);
}

} // namespace vexlon
