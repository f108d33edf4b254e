#include "cli/MergeCommand.h"

#include "cli/Arguments.h"
#include "cli/Cli.h"
#include "cli/ConvertCommand.h"
#include "cli/FileNames.h"
#include "cli/ShowCommand.h"

#include "core/app/Merge.h"
#include "core/base/Convert.h"
#include "core/base/TextFile.h"

#include <QFileInfo>

#include <map>

namespace vexlon::cli {

namespace {

const char* const kMergeUsage =
    "vexlon-cli: usage: merge DICT SOURCE... [--out FILE] [--report FILE] [--dry-run] [--fit] [--language ID] "
    "[--as dictionary|csv|text|words|gboard]\n";
const char* const kExportUsage = "vexlon-cli: usage: export DICT --to gboard|words OUT\n";

void printCapacity(Session& session, const MergeCapacity& c)
{
    session.out << "# before: free " << c.freeBefore << " words " << c.wordsBefore << '\n'
                << "# after: free " << c.freeAfter << " words " << c.wordsAfter << " (+" << c.added << " -" << c.removed
                << ")\n";
}

void printFates(Session& session, const MergePlan& plan)
{
    std::map<int, int> counts;
    for (const MergeItem& item : plan.items)
        ++counts[static_cast<int>(item.isExisting() ? Fate::DoesNotFit : item.fate)];
    for (const auto& [fate, count] : counts)
        session.out << fateText(static_cast<Fate>(fate)).toStdString() << '\t' << count << '\n';
    if (!plan.skipped.isEmpty())
        session.out << "not read\t" << plan.skipped.size() << '\n';
}

} // namespace

int runMerge(Session& session, const std::vector<std::string>& args)
{
    const Arguments parsed = parseArguments(args, {"--out", "--report", "--language", "--as"}, {"--dry-run", "--fit"});
    if (!parsed.ok || parsed.positional.size() < 2) {
        session.err << kMergeUsage;
        return ExitError;
    }
    std::optional<uint8_t> language;
    if (parsed.has("--language")) {
        const std::optional<int32_t> id = tryHexToInt(QByteArray::fromStdString(parsed.value("--language")));
        if (!id || *id < 0 || *id > 0xFF) {
            session.err << "vexlon-cli: --language takes a language ID from 00 to FF\n";
            return ExitError;
        }
        language = static_cast<uint8_t>(*id);
    }
    std::optional<SourceKind> forcedKind;
    if (parsed.has("--as")) {
        forcedKind = sourceKindFromName(QString::fromStdString(parsed.value("--as")));
        if (!forcedKind) {
            session.err << "vexlon-cli: --as takes dictionary, csv, text, words or gboard\n";
            return ExitError;
        }
    }
    const std::string& dictPath = parsed.positional[0];
    const bool dryRun = parsed.has("--dry-run");
    std::string outPath = parsed.value("--out");
    if (outPath.empty() && !dryRun) {
        const QString suffix = QFileInfo(QString::fromStdString(dictPath)).suffix().toLower();
        if (suffix != QLatin1String("iud") && suffix != QLatin1String("csv")) {
            session.err << "vexlon-cli: " << dictPath
                        << " is neither a dictionary (.iud) nor a CSV file, so the merge cannot be written back to it; "
                           "give --out FILE\n";
            return ExitError;
        }
        outPath = dictPath;
    }

    if (!openAsShow(session, OpenRequest {dictPath, std::string(), false}))
        return ExitError;
    Editor& editor = session.editor;
    MergePlan plan;
    for (size_t i = 1; i < parsed.positional.size(); ++i) {
        NamedFile in(parsed.positional[i]);
        const QString path = in.readName();
        const SourceKind kind =
            forcedKind ? *forcedKind : guessSourceKind(path, readWholeFile(path, kMaxDictionaryFileBytes));
        if (!ReadMergeSource(editor, path, kind, plan, language)) {
            session.err << "vexlon-cli: " << parsed.positional[i]
                        << " was not merged: its words need a language (give --language ID); nothing was written\n";
            return ExitError;
        }
    }
    AssessMerge(editor, plan);
    MergeCapacity capacity = mergeCapacity(editor, plan);
    if (!capacity.fitsAfter() && parsed.has("--fit")) {
        ProposeFit(editor, plan);
        capacity = mergeCapacity(editor, plan);
    }
    printFates(session, plan);
    printCapacity(session, capacity);
    if (parsed.has("--report")) {
        NamedFile report(parsed.value("--report"));
        const QByteArray bytes = BuildMergeReport(editor.state, plan);
        report.write([&](const QString& name) { writeFileSafely(name, bytes); });
    }
    if (!capacity.fitsAfter()) {
        session.err << "vexlon-cli: the merged words do not fit into the users dictionary ("
                    << capacity.freeAfter << " bytes free); nothing was written"
                    << (parsed.has("--fit") ? "" : " (--fit leaves words out until they fit)") << '\n';
        return ExitFull;
    }
    if (dryRun)
        return ExitOk;
    ApplyMerge(editor, plan);
    return saveAsConvert(session, outPath, std::string(), Repair::NotOffered);
}

int runExport(Session& session, const std::vector<std::string>& args)
{
    const Arguments parsed = parseArguments(args, {"--to"});
    if (!parsed.ok || parsed.positional.size() != 2 || !parsed.has("--to")) {
        session.err << kExportUsage;
        return ExitError;
    }
    const std::string to = parsed.value("--to");
    const std::string& outPath = parsed.positional[1];
    ExportFormat format;
    if (to == "words")
        format = ExportFormat::WordList;
    else if (to == "gboard")
        format = QFileInfo(QString::fromStdString(outPath)).suffix().toLower() == QLatin1String("txt")
                     ? ExportFormat::GboardText
                     : ExportFormat::GboardZip;
    else {
        session.err << "vexlon-cli: --to takes gboard or words\n";
        return ExitError;
    }
    if (!openAsShow(session, OpenRequest {parsed.positional[0], std::string(), false}))
        return ExitError;
    const Editor& editor = session.editor;
    if (editor.table.isEmpty()) {
        session.err << "vexlon-cli: the dictionary is empty; nothing was written\n";
        return ExitError;
    }
    const QByteArray bytes = ExportDictionary(editor.state, editor.table, format);
    NamedFile out(outPath);
    out.write([&](const QString& name) { writeFileSafely(name, bytes); });
    session.out << "exported " << editor.table.count() << " words\n";
    return ExitOk;
}

} // namespace vexlon::cli
