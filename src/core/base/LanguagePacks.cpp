#include "core/base/LanguagePacks.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"

#include <QFileInfo>
#include <optional>

namespace vexlon {

namespace {

std::optional<QByteArrayList> readLines(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    try {
        return splitLines(readWholeFile(path));
    } catch (const VexlonError&) {
        return std::nullopt;
    }
}

// Reads one section of a pack: the count line, then that many entries,
// comment lines ("//") skipped without counting. nullopt when the count is
// not a number or the file ends first.
std::optional<QStringList> readSection(const QByteArrayList& lines, qsizetype& pos)
{
    if (pos >= lines.size())
        return std::nullopt;
    const std::optional<int32_t> count = tryStrToInt(lines.at(pos++));
    if (!count || *count < 0)
        return std::nullopt;
    QStringList entries;
    // The count is only a claim: room for no more than the lines left.
    entries.reserve(qMin<qsizetype>(*count, lines.size() - pos));
    while (entries.size() < *count) {
        if (pos >= lines.size())
            return std::nullopt;
        const QByteArray& line = lines.at(pos++);
        if (line.startsWith("//"))
            continue;
        entries.append(cp1251::toUnicode(line));
    }
    return entries;
}

bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

// The two lines before an optional section; true when the second names it.
bool sectionFollows(const QByteArrayList& lines, qsizetype& pos, const char* name)
{
    pos += 2;
    return pos - 1 < lines.size() && lines.at(pos - 1) == name;
}

} // namespace

bool LoadLanguageList(const QString& programDirectory, TiTAPLanguages& list)
{
    const std::optional<QByteArrayList> lines = readLines(programDirectory + QLatin1String(kLanguageListFile));
    if (!lines || lines->size() < 4)
        return false;
    if (lines->at(0) != "Vexlon LANGUAGELIST FILE" || lines->at(2) != kVersionTag)
        return false;
    const std::optional<int32_t> count = tryStrToInt(lines->at(3));
    if (!count || *count < 0 || lines->size() < 4 + 2 * qsizetype(*count))
        return false;
    TiTAPLanguages read;
    read.Tag = cp1251::toUnicode(lines->at(2));
    read.Count = *count;
    read.Items.reserve(*count);
    for (int i = 0; i < *count; ++i) {
        TiTAPLanguagesItem item;
        item.Name = cp1251::toUnicode(lines->at(4 + 2 * i));
        const QString fileName = cp1251::toUnicode(lines->at(5 + 2 * i));
        // A pack lives in the Languages folder; a name that reaches out of
        // it makes the list a damaged one.
        if (!isPlainFileName(fileName))
            return false;
        item.FileName = programDirectory + QStringLiteral("/Languages/") + fileName;
        read.Items.append(item);
    }
    list = read;
    return true;
}

bool LoadLanguagePack(const TiTAPLanguages& list, int index, UiTexts& texts)
{
    if (list.Tag != QLatin1String(kVersionTag) || index < 0 || index >= list.Count || index >= list.Items.size())
        return false;
    const std::optional<QByteArrayList> lines = readLines(list.Items.at(index).FileName);
    if (!lines)
        return false;

    qsizetype pos = 5;
    UiTexts read = texts;
    const std::optional<QStringList> ui = readSection(*lines, pos);
    if (!ui)
        return false;
    read.ui = *ui;
    if (sectionFollows(*lines, pos, "MESSAGES")) {
        const std::optional<QStringList> messages = readSection(*lines, pos);
        if (!messages)
            return false;
        read.messages = *messages;
    }
    if (sectionFollows(*lines, pos, "STAT")) {
        const std::optional<QStringList> stat = readSection(*lines, pos);
        if (!stat)
            return false;
        read.stat = *stat;
    }
    texts = read;
    return true;
}

} // namespace vexlon
