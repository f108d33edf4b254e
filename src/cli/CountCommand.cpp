// count FILE...
#include "cli/CountCommand.h"

#include "cli/Cli.h"
#include "cli/ShowCommand.h"

#include "core/lists/ListFiles.h"
#include "core/lists/Statistics.h"

namespace vexlon::cli {

int runCount(Session& session, const std::vector<std::string>& args)
{
    if (args.empty()) {
        session.err << "vexlon-cli: usage: count FILE...\n";
        return ExitError;
    }
    ProgramState& state = session.editor.state;
    if (!session.statisticRead) {
        // Writing now would replace the user's statistic with these counts
        // alone.
        session.err << "vexlon-cli: the statistic list could not be read; it is not rewritten\n";
        return ExitError;
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
