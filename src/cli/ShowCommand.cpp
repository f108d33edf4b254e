// show FILE [--as iud|csv|txt|all] [--raw]
#include "cli/ShowCommand.h"

#include "cli/Cli.h"

#include "cli/Arguments.h"
#include "cli/FileNames.h"

#include "core/app/DictionaryFiles.h"
#include "core/base/CodePage1251.h"
#include "core/base/Errors.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/TableOps.h"

#include <QFileInfo>
#include <algorithm>

namespace vexlon::cli {

namespace {

bool filterFor(const OpenRequest& request, OpenFilter& filter)
{
    std::string as = request.as;
    if (as.empty()) {
        const QString suffix = QFileInfo(QString::fromStdString(request.path)).suffix().toLower();
        as = suffix == QLatin1String("csv") ? "csv" : suffix == QLatin1String("txt") ? "txt" : "iud";
    }
    if (as == "iud")
        filter = OpenFilter::UsersDictionary;
    else if (as == "csv")
        filter = OpenFilter::Csv;
    else if (as == "txt")
        filter = OpenFilter::Text;
    else if (as == "all")
        filter = OpenFilter::All;
    else
        return false;
    return true;
}

} // namespace

std::string outputField(const QByteArray& ansiText)
{
    // Numbers, language IDs and statuses are plain ASCII, printed as they are.
    const bool plain = std::all_of(ansiText.begin(), ansiText.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\\'; });
    if (plain)
        return ansiText.toStdString();
    return outputField(cp1251::toUnicode(ansiText));
}

std::string outputField(const QString& text)
{
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u >= 0x20 && u != u'\\' && u != 0x7F && !(u >= 0x80 && u < 0xA0) && !cp1251::isKeptCode(c);
    });
    if (plain)
        return text.toStdString();
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (cp1251::isKeptCode(c))
            escaped += QStringLiteral("\\k") + QString::number(cp1251::keptCodeByte(c), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else if (u == u'\\')
            escaped += QLatin1String("\\\\");
        else if (u == u'\t')
            escaped += QLatin1String("\\t");
        else if (u == u'\n')
            escaped += QLatin1String("\\n");
        else if (u == u'\r')
            escaped += QLatin1String("\\r");
        else if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            escaped += QStringLiteral("\\x") + QString::number(u, 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            escaped += c;
    }
    return escaped.toStdString();
}

bool openAsShow(Session& session, const OpenRequest& request)
{
    OpenFilter filter;
    if (!filterFor(request, filter)) {
        session.err << "vexlon-cli: --as takes iud, csv, txt or all\n";
        return false;
    }
    NamedFile in(request.path);
    const QString path = in.readName();
    Editor& editor = session.editor;
    if (request.raw) {
        editor.table.clear();
        bool read = true;
        switch (filter) {
        case OpenFilter::UsersDictionary:
        case OpenFilter::All:
            read = ReadDictionaryFile(editor.state, editor.table, path);
            break;
        case OpenFilter::Csv:
            read = ReadCsvFile(editor.state, editor.table, path);
            break;
        case OpenFilter::Text:
            ReadTextFile(editor.state, editor.table, path);
            break;
        }
        if (!read) {
            session.err << "vexlon-cli: " << request.path << " was not opened\n";
            return false;
        }
        return true;
    }
    if (!QFileInfo(path).isFile() && filter != OpenFilter::UsersDictionary && filter != OpenFilter::All) {
        // The CSV and text readers pass over a missing file in silence; the
        // tool says so.
        session.err << "vexlon-cli: no file " << request.path << '\n';
        return false;
    }
    if (!OpenDictionaryFile(editor, path, filter)) {
        session.err << "vexlon-cli: " << request.path << " was not opened\n";
        return false;
    }
    return true;
}

int runShow(Session& session, const std::vector<std::string>& args)
{
    const Arguments parsed = parseArguments(args, {"--as"}, {"--raw"});
    if (!parsed.ok || parsed.positional.size() != 1) {
        session.err << "vexlon-cli: usage: show FILE [--as iud|csv|txt|all] [--raw]\n";
        return ExitError;
    }
    const OpenRequest request {parsed.positional[0], parsed.value("--as"), parsed.has("--raw")};
    if (!openAsShow(session, request))
        return ExitError;
    const DictionaryTable& table = session.editor.table;
    // The lines are gathered and written a piece at a time, into one buffer.
    constexpr size_t kPiece = 32 * 1024;
    std::string lines;
    lines.reserve(kPiece + 1024);
    for (const DictRow& row : table.rows()) {
        for (const std::string& field : {outputField(row.number), outputField(row.word), outputField(row.languageId),
                                         outputField(row.language)}) {
            lines += field;
            lines += '\t';
        }
        lines += outputField(row.status);
        lines += '\n';
        if (lines.size() >= kPiece) {
            session.out << lines;
            lines.clear();
        }
    }
    session.out << lines;
    session.out << "# free " << FreeBytes(session.editor.state, table) << " words " << table.count() << '\n';
    return ExitOk;
}

} // namespace vexlon::cli
