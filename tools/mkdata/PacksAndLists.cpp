#include "MkData.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/TextFile.h"

#include <QDir>
#include <QSet>
#include <optional>

namespace vexlon::mkdata {

namespace {

// Walks a pack's lines as the program reads them, keeping the line number
// for the messages.
class PackReader {
public:
    PackReader(const QByteArrayList& lines, const QString& source) : m_lines(lines), m_source(source) {}

    void skip(int count, const char* what)
    {
        for (int i = 0; i < count; ++i)
            next(what);
    }

    QByteArray next(const char* what)
    {
        if (m_pos >= m_lines.size())
            throw SourceError(m_source, static_cast<int>(m_pos) + 1, QStringLiteral("the file ends where %1 is expected").arg(QLatin1String(what)));
        return m_lines.at(m_pos++);
    }

    int line() const { return static_cast<int>(m_pos); } // of the line read last

    // A count line, then that many entries; comment lines are skipped
    // without counting.
    int section(const char* name, int minimum)
    {
        const QByteArray countLine = next("the entry count");
        const std::optional<int32_t> count = tryStrToInt(countLine);
        if (!count || *count < 0)
            throw SourceError(m_source, line(), QStringLiteral("\"%1\" is not the entry count of the %2 section")
                                                    .arg(cp1251::toUnicode(countLine), QLatin1String(name)));
        if (*count < minimum)
            throw SourceError(m_source, line(), QStringLiteral("the %1 section has %2 entries; the program uses %3")
                                                    .arg(QLatin1String(name))
                                                    .arg(*count)
                                                    .arg(minimum));
        const int countLineNo = line();
        int read = 0;
        while (read < *count) {
            if (m_pos >= m_lines.size())
                throw SourceError(m_source, countLineNo, QStringLiteral("the %1 section announces %2 entries but the file ends after %3")
                                                             .arg(QLatin1String(name))
                                                             .arg(*count)
                                                             .arg(read));
            const QByteArray entry = m_lines.at(m_pos++);
            if (entry.startsWith("//"))
                continue;
            if (entry.trimmed().isEmpty())
                throw SourceError(m_source, line(), QStringLiteral("entry %1 of the %2 section is empty").arg(read).arg(QLatin1String(name)));
            ++read;
        }
        return *count;
    }

    // The free line and the name line before a section.
    void sectionHeader(const char* name)
    {
        next("the line before a section");
        const QByteArray marker = next(name);
        if (marker != name)
            throw SourceError(m_source, line(), QStringLiteral("\"%1\" stands where \"%2\" is expected (is the count of the section before right?)")
                                                    .arg(cp1251::toUnicode(marker), QLatin1String(name)));
    }

    // Only comment and empty lines may follow the last section.
    void end()
    {
        while (m_pos < m_lines.size()) {
            const QByteArray rest = m_lines.at(m_pos++);
            if (!rest.startsWith("//") && !rest.trimmed().isEmpty())
                throw SourceError(m_source, line(), QStringLiteral("text after the last section (is the count of the section before right?)"));
        }
    }

private:
    const QByteArrayList& m_lines;
    QString m_source;
    qsizetype m_pos = 0;
};

} // namespace

PackCounts checkLanguagePack(const QByteArrayList& lines, const QString& source)
{
    PackReader reader(lines, source);
    PackCounts counts;
    reader.skip(5, "the five header lines");
    counts.ui = reader.section("UI", kMinimumPack.ui);
    reader.sectionHeader("MESSAGES");
    counts.messages = reader.section("MESSAGES", kMinimumPack.messages);
    reader.sectionHeader("STAT");
    counts.stat = reader.section("STAT", kMinimumPack.stat);
    reader.end();
    return counts;
}

QStringList checkLanguageList(const QByteArrayList& lines, const QString& source)
{
    if (lines.size() < 4)
        throw SourceError(source, 0, QStringLiteral("a language list has at least four lines"));
    if (lines.at(0) != "Vexlon LANGUAGELIST FILE")
        throw SourceError(source, 1, QStringLiteral("the first line must be \"Vexlon LANGUAGELIST FILE\""));
    if (lines.at(2) != kVersionTag)
        throw SourceError(source, 3, QStringLiteral("the third line must be \"%1\"").arg(QLatin1String(kVersionTag)));
    const std::optional<int32_t> count = tryStrToInt(lines.at(3));
    if (!count || *count < 1)
        throw SourceError(source, 4, QStringLiteral("\"%1\" is not a number of packs").arg(cp1251::toUnicode(lines.at(3))));
    if (lines.size() < 4 + 2 * qsizetype(*count))
        throw SourceError(source, 0, QStringLiteral("the list announces %1 packs but names fewer").arg(*count));

    QStringList files;
    QSet<QByteArray> names;
    for (int i = 0; i < *count; ++i) {
        const QByteArray& name = lines.at(4 + 2 * i);
        const QString file = cp1251::toUnicode(lines.at(5 + 2 * i));
        if (name.trimmed().isEmpty())
            throw SourceError(source, 5 + 2 * i, QStringLiteral("pack %1 has no name").arg(i));
        if (names.contains(name))
            throw SourceError(source, 5 + 2 * i, QStringLiteral("the pack name \"%1\" is used twice").arg(cp1251::toUnicode(name)));
        if (file.isEmpty() || file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\')) || file.startsWith(QLatin1Char('.')))
            throw SourceError(source, 6 + 2 * i, QStringLiteral("\"%1\" is not a plain file name in the Languages folder").arg(file));
        if (files.contains(file))
            throw SourceError(source, 6 + 2 * i, QStringLiteral("the pack file \"%1\" is named twice").arg(file));
        names.insert(name);
        files.append(file);
    }
    for (qsizetype i = 4 + 2 * qsizetype(*count); i < lines.size(); ++i) {
        if (!lines.at(i).trimmed().isEmpty())
            throw SourceError(source, static_cast<int>(i) + 1, QStringLiteral("text after the last pack (is the pack count right?)"));
    }
    return files;
}

QStringList buildLanguagePacks(const QString& sourceDir, const QString& outputDir)
{
    const QString listName = QStringLiteral("Languages.ini");
    const QByteArray list = toAnsiCrLf(readSourceLines(sourceDir + QLatin1Char('/') + listName), listName);
    const QStringList packFiles = checkLanguageList(splitLines(list), listName);

    // Everything is checked before anything is written.
    QVector<QPair<QString, QByteArray>> outputs;
    outputs.append({listName, list});
    for (const QString& file : packFiles) {
        const QByteArray pack = toAnsiCrLf(readSourceLines(sourceDir + QLatin1Char('/') + file), file);
        checkLanguagePack(splitLines(pack), file);
        outputs.append({file, pack});
    }
    QStringList written;
    for (const auto& [file, bytes] : outputs) {
        const QString path = outputDir + QLatin1Char('/') + file;
        writeOutput(path, bytes);
        written.append(path);
    }
    return written;
}

QByteArray emptyListFile(ListKind kind, const QString& stamp)
{
    const QByteArray type = kind == ListKind::Statistic ? "List Type;Statistic list" : "List Type;Black/White list";
    return joinCrLf({"Vexlon list file", type, "LastUpdate;" + cp1251::fromUnicode(stamp), "Word Amount;0"});
}

void writeEmptyLists(const QString& outputDir)
{
    const QString stamp = cp1251::nowStamp();
    writeOutput(outputDir + QStringLiteral("/WhiteList.csv"), emptyListFile(ListKind::WhiteOrBlack, stamp));
    writeOutput(outputDir + QStringLiteral("/BlackList.csv"), emptyListFile(ListKind::WhiteOrBlack, stamp));
    writeOutput(outputDir + QStringLiteral("/Statistic.csv"), emptyListFile(ListKind::Statistic, stamp));
}

QByteArray initialTrailer()
{
    return QByteArray(3, '\0');
}

} // namespace vexlon::mkdata
