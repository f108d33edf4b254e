// convert IN OUT [--as iud|csv|txt|all] [--to iud|csv|csv-utf8] [--repair]
#include "cli/ConvertCommand.h"

#include "cli/Cli.h"
#include "cli/ShowCommand.h"

#include "cli/Arguments.h"
#include "cli/FileNames.h"

#include "core/app/DictionaryFiles.h"
#include "core/dictionary/TableOps.h"
#include "core/dictionary/Validation.h"

#include <QFileInfo>

namespace vexlon::cli {

int saveAsConvert(Session& session, const std::string& outPath, const std::string& to, Repair repair)
{
    SaveFilter filter = SaveFilter::ItapFormat;
    std::string target = to;
    if (target.empty())
        target = QFileInfo(QString::fromStdString(outPath)).suffix().toLower() == QLatin1String("csv") ? "csv" : "iud";
    if (target == "csv")
        filter = SaveFilter::Csv;
    else if (target == "csv-utf8")
        filter = SaveFilter::CsvUtf8;
    else if (target != "iud") {
        session.err << "vexlon-cli: --to takes iud, csv or csv-utf8\n";
        return ExitError;
    }
    Editor& editor = session.editor;
    if (DictionaryHasProblem(editor.state, editor.table)) {
        if (repair != Repair::On) {
            session.err << "vexlon-cli: the dictionary has empty, one-letter, too long or repeated words; "
                           "nothing was written"
                        << (repair == Repair::Off ? " (--repair removes them)" : "") << '\n';
            return ExitProblem;
        }
        RepairDictionary(editor.state, editor.table);
        if (DictionaryHasProblem(editor.state, editor.table)) {
            session.err << "vexlon-cli: the dictionary still fails the check after the repair (a word longer than 249 characters, or protected rows with short or repeated words); nothing was written\n";
            return ExitProblem;
        }
    }
    SortByNumber(editor.table);
    if (!RefreshDictionaryStatus(editor.state, editor.table)) {
        session.err << "vexlon-cli: the words do not fit into the users dictionary (" << FreeBytes(editor.state, editor.table)
                    << " bytes free); nothing was written\n";
        return ExitFull;
    }
    if (filter == SaveFilter::ItapFormat && RefuseUnstorableWords(editor))
        return ExitProblem;
    NamedFile out(outPath);
    out.write([&](const QString& name) { WriteDictionaryAs(editor, name, filter); });
    editor.table.modified = false;
    return ExitOk;
}

int runConvert(Session& session, const std::vector<std::string>& args)
{
    const Arguments parsed = parseArguments(args, {"--as", "--to"}, {"--repair"});
    if (!parsed.ok || parsed.positional.size() != 2) {
        session.err << "vexlon-cli: usage: convert IN OUT [--as iud|csv|txt|all] [--to iud|csv|csv-utf8] [--repair]\n";
        return ExitError;
    }
    const OpenRequest request {parsed.positional[0], parsed.value("--as"), false};
    const std::string& outPath = parsed.positional[1];
    const std::string to = parsed.value("--to");
    const Repair repair = parsed.has("--repair") ? Repair::On : Repair::Off;
    if (!openAsShow(session, request))
        return ExitError;
    return saveAsConvert(session, outPath, to, repair);
}

} // namespace vexlon::cli
