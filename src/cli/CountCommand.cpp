// count FILE...
#include "cli/CountCommand.h"

#include "cli/Cli.h"
#include "cli/ShowCommand.h"

#include "core/lists/ListFiles.h"
#include "core/lists/Statistics.h"

#include <QFileInfo>

namespace vexlon::cli {

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
        if (!openAsShow(session, request))
            return ExitError;
        UpdateStatistic(state, session.editor.table);
        session.out << path << '\t' << session.editor.table.count() << " words\n";
    }
    WriteProgramList(state, ListKind::Statistic);
    session.out << "# statistic " << state.statisticList.Count << " entries\n";
    return ExitOk;
}

} // namespace vexlon::cli
