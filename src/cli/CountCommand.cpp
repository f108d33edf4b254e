// count FILE...
#include "cli/CountCommand.h"

#include "cli/Cli.h"
#include "cli/FileNames.h"
#include "cli/ShowCommand.h"

#include "core/app/DictionaryFiles.h"
#include "core/lists/ListCommands.h"
#include "core/lists/ListFiles.h"
#include "core/lists/Statistics.h"
#include "core/lists/TextCounting.h"

#include <QFileInfo>

namespace vexlon::cli {

namespace {

// Opens a text file as show does, folding repeated words while it is read:
// the table ends with the rows show would give, without ever holding one row
// per running word.
bool openTextFolded(Session& session, const std::string& rawPath)
{
    NamedFile in(rawPath);
    const QString path = in.readName();
    if (!QFileInfo(path).isFile()) {
        session.err << "vexlon-cli: no file " << rawPath << '\n';
        return false;
    }
    Editor& editor = session.editor;
    {
        // Read aside, so that a file that fails leaves the table as it was;
        // then handed over, not shared, so that the load's passes edit the
        // rows in place.
        DictionaryTable read;
        ReadTextFileFolded(editor.state, read, path);
        UpdateScope update(editor.table);
        editor.table.replaceAll(read.rows());
        read.clear();
        if (editor.state.settings.WhiteListOn)
            ApplyWhiteList(editor.state, editor.table);
    }
    FinishLoad(editor);
    return true;
}

bool isTextFile(const std::string& path)
{
    return QFileInfo(QString::fromStdString(path)).suffix().toLower() == QLatin1String("txt");
}

} // namespace

int runCount(Session& session, const std::vector<std::string>& args)
{
    if (args.empty()) {
        session.err << "vexlon-cli: usage: count FILE...\n";
        return ExitError;
    }
    ProgramState& state = session.editor.state;
    if (!session.statisticRead && !session.statisticMissing) {
        // Writing now would replace the user's statistic with these counts
        // alone.
        session.err << "vexlon-cli: the statistic list could not be read; it is not rewritten\n";
        return ExitError;
    }
    const QString listPath = state.path(kStatisticFile);
    if (session.statisticMissing) {
        // The program never makes the lists' folder; say so before any file
        // is counted.
        const QString folder = QFileInfo(listPath).absolutePath();
        if (!QFileInfo(folder).isDir()) {
            session.err << "vexlon-cli: the folder " << folder.toStdString()
                        << " does not exist; the statistic list cannot be written\n";
            return ExitError;
        }
        session.err << "vexlon-cli: there is no statistic list yet; " << listPath.toStdString() << " is started\n";
    }
    for (const std::string& path : args) {
        OpenRequest request;
        request.path = path;
        if (!(isTextFile(path) ? openTextFolded(session, path) : openAsShow(session, request)))
            return ExitError;
        UpdateStatistic(state, session.editor.table);
        session.out << path << '\t' << session.editor.table.count() << " words\n";
    }
    WriteProgramList(state, ListKind::Statistic);
    session.out << "# statistic " << state.statisticList.Count << " entries\n";
    return ExitOk;
}

} // namespace vexlon::cli
