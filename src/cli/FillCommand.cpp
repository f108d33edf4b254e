// fill OUT [--type 0|1] [--from FILE]
#include "cli/FillCommand.h"

#include "cli/Cli.h"
#include "cli/ConvertCommand.h"
#include "cli/ShowCommand.h"

#include "cli/Arguments.h"

#include "core/base/Convert.h"
#include "core/lists/Statistics.h"

namespace vexlon::cli {

int runFill(Session& session, const std::vector<std::string>& args)
{
    const Arguments parsed = parseArguments(args, {"--type", "--from"});
    ProgramState& state = session.editor.state;
    const std::string type = parsed.value("--type");
    bool bad = !parsed.ok || parsed.positional.size() != 1;
    if (parsed.has("--type")) {
        if (type == "0")
            state.settings.StatisticType = 0;
        else if (type == "1")
            state.settings.StatisticType = 1;
        else
            bad = true;
    }
    if (bad) {
        session.err << "vexlon-cli: usage: fill OUT [--type 0|1] [--from FILE]\n";
        return ExitError;
    }
    const std::string& outPath = parsed.positional[0];
    const OpenRequest from {parsed.value("--from"), std::string(), false};
    if (!from.path.empty()) {
        if (state.settings.StatisticType != 1) {
            session.err << "vexlon-cli: --from is for type 1, which adds words to a dictionary\n";
            return ExitError;
        }
        if (!openAsShow(session, from))
            return ExitError;
    }
    // The statistic window saves (ordering by rating) before it fills.
    SortStatisticByRating(state.statisticList);
    FillDictionaryFromStatistic(state, session.editor.table);
    return saveAsConvert(session, outPath, std::string(), Repair::NotOffered);
}

} // namespace vexlon::cli
