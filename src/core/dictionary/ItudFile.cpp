#include "core/dictionary/ItudFile.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "core/dictionary/LangStructure.h"
#include "core/dictionary/Letters.h"

#include <QFileInfo>
#include <array>
#include <optional>
#include <utility>

namespace vexlon {

namespace {

constexpr int kHeaderSize = 16;
constexpr int kTrailerSize = 3;

uint8_t byteAt(const QByteArray& bytes, qsizetype at)
{
    return static_cast<uint8_t>(bytes[at]);
}

void putBigEndian16(QByteArray& bytes, qsizetype at, uint32_t value)
{
    bytes[at] = static_cast<char>((value >> 8) & 0xFF);
    bytes[at + 1] = static_cast<char>(value & 0xFF);
}

} // namespace

QVector<DictRow> ParseDictionary(const QByteArray& bytes, const ProgramState& state, ProgressScope* progress)
{
    QVector<DictRow> rows;
    const qsizetype size = bytes.size();
    if (size < 8)
        return rows;
    const int count = (byteAt(bytes, 6) << 8) | byteAt(bytes, 7);
    CharTranslator translator(state.langStructure, state.settings.iTAPModification);
    qsizetype pos = kHeaderSize;
    // A record takes at least six bytes.
    rows.reserve(qMin<qsizetype>(count, size / 6 + 1));
    // Every row of a language shares its ID and name text, and every row
    // the status text, instead of a copy each.
    const QByteArray status(status::UsersDictionary);
    std::array<std::optional<std::pair<QByteArray, QByteArray>>, 256> languages;
    for (int i = 1; i <= count; ++i) {
        if (progress)
            progress->show(i, count);
        const qsizetype start = pos;
        if (start + 3 > size)
            break;
        const int length = byteAt(bytes, start);
        const int kind = (byteAt(bytes, start + 1) << 8) | byteAt(bytes, start + 2);
        if (length == 0)
            break;
        if (kind == 0x0100) {
            if (start + 5 > size)
                break;
            const uint8_t id = byteAt(bytes, start + 3);
            const int n = byteAt(bytes, start + 4);
            if (start + 5 + n > size)
                break;
            DictRow row;
            row.word = translator.decodeWord(id, QByteArrayView(bytes).sliced(start + 5, n));
            row.number = QByteArray::number(i);
            auto& language = languages[id];
            if (!language)
                language.emplace(byteToHex(id), LanguageName(state.langStructure, id));
            row.languageId = language->first;
            row.language = language->second;
            row.status = status;
            rows.append(std::move(row));
        }
        pos = start + length;
    }
    return rows;
}

QByteArray DictionaryTrailer(const QByteArray& bytes)
{
    QByteArray trailer(kTrailerSize, '\0');
    const qsizetype take = qMin<qsizetype>(kTrailerSize, bytes.size());
    for (qsizetype i = 0; i < take; ++i)
        trailer[kTrailerSize - take + i] = bytes[bytes.size() - take + i];
    return trailer;
}

QByteArray BuildDictionary(const QVector<DictRow>& rows, const ProgramState& state, const QByteArray& trailer,
                           ProgressScope* progress)
{
    const int32_t size = state.settings.UsersDictionarySize;
    if (size < kHeaderSize + kTrailerSize || size > 0xFFFF)
        throw VexlonError(QStringLiteral("The users dictionary size %1 cannot hold a dictionary file (27..65535).").arg(size));
    int64_t used = 0;
    for (const DictRow& row : rows) {
        if (row.word.size() > kMaxWordLength)
            throw VexlonError(QStringLiteral("The word \"%1\" is longer than %2 characters and cannot be written to a dictionary file.")
                                  .arg(printable(cp1251::shown(row.word.left(20))) + QLatin1String("..."))
                                  .arg(kMaxWordLength));
        used += recordSize(row.word.size());
    }
    if (used > size - kHeaderSize - kTrailerSize)
        throw VexlonError(QStringLiteral("The words take %1 bytes, more than the %2 bytes of the users dictionary.")
                              .arg(used)
                              .arg(size - kHeaderSize - kTrailerSize));

    QByteArray out(size, '\0');
    out[0] = '\x07';
    out[1] = '\xDA';
    putBigEndian16(out, 2, static_cast<uint32_t>(size - 19));
    putBigEndian16(out, 4, static_cast<uint32_t>(used));
    putBigEndian16(out, 6, static_cast<uint32_t>(rows.size()));
    out[8] = '\x18';
    CharTranslator translator(state.langStructure, state.settings.iTAPModification);
    qsizetype pos = kHeaderSize;
    QByteArray codes;
    const int last = static_cast<int>(rows.size()) - 1;
    for (int i = 0; i < rows.size(); ++i) {
        if (progress)
            progress->show(i, last);
        const DictRow& row = rows[i];
        const auto id = static_cast<uint8_t>(hexToInt(row.languageId) & 0xFF);
        const auto n = static_cast<int>(row.word.size());
        const int length = recordSize(n);
        out[pos] = static_cast<char>(length);
        out[pos + 1] = '\x01';
        out[pos + 2] = '\x00';
        out[pos + 3] = static_cast<char>(id);
        out[pos + 4] = static_cast<char>(n);
        const qsizetype bad = translator.encodeWord(id, row.word, codes);
        if (bad >= 0)
            throw VexlonError(unstorableLetterText(state, row.word, bad, id));
        for (int c = 0; c < n; ++c)
            out[pos + 5 + c] = codes[c];
        pos += length;
    }
    const QByteArray tail = DictionaryTrailer(trailer);
    for (int i = 0; i < kTrailerSize; ++i)
        out[size - kTrailerSize + i] = tail[i];
    return out;
}

bool ReadDictionaryFile(const ProgramState& state, DictionaryTable& table, const QString& path)
{
    ProgressScope progress(state.ui(), state.texts.STAT(0));
    const QByteArray bytes = readWholeFile(path, kMaxDictionaryFileBytes);
    if (bytes.size() != state.settings.UsersDictionarySize) {
        if (!state.ui().confirm(state.texts.MESSAGES(3), ConfirmKind::Warning))
            return false;
    }
    if (state.settings.BackupCopy) {
        const QString backup = state.path(kBackupFile);
        if (!QFileInfo::exists(backup)) {
            // The reading goes on without the copy, but the user who asked
            // for it learns that there is none.
            try {
                writeFileSafely(backup, bytes);
            } catch (const FileError& e) {
                state.ui().message(QStringLiteral("No backup copy was made. %1").arg(e.message()));
            }
        }
    }
    {
        UpdateScope update(table);
        table.replaceAll(ParseDictionary(bytes, state, &progress));
    }
    // A file too short to end in a whole trailer has none to pass on: the
    // trailer of the last complete file stays.
    if (bytes.size() >= kTrailerSize)
        writeFileSafely(state.path(kTrailerFile), DictionaryTrailer(bytes));
    return true;
}

void WriteDictionaryFile(const ProgramState& state, const DictionaryTable& table, const QString& path)
{
    ProgressScope progress(state.ui(), state.texts.STAT(2));
    const QByteArray trailer = DictionaryTrailer(readWholeFile(state.path(kTrailerFile)));
    writeFileSafely(path, BuildDictionary(table.rows(), state, trailer, &progress));
}

} // namespace vexlon
