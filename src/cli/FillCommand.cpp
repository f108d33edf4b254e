// fill OUT [--type 0|1] [--from FILE]
#include "cli/Cli.h"

#include "app/base/Convert.h"
#include "lists/Statistics.h"

namespace vexlon::cli {

int runFill(Session& session, const std::vector<std::string>& args)
{
    std::string outPath;
    std::string type;
    OpenRequest from;
    bool bad = false;
    for (size_t i = 0; i < args.size() && !bad; ++i) {
        if (args[i] == "--type" && i + 1 < args.size())
            type = args[++i];
        else if (args[i] == "--from" && i + 1 < args.size())
            from.path = args[++i];
        else if (args[i].rfind("--", 0) == 0 || !outPath.empty())
            bad = true;
        else
            outPath = args[i];
    }
    ProgramState& state = session.editor.state;
    if (!type.empty()) {
        if (type == "0")
            state.settings.StatisticType = 0;
        else if (type == "1")
            state.settings.StatisticType = 1;
        else
            bad = true;
    }
    if (bad || outPath.empty()) {
        session.err << "vexlon-cli: usage: fill OUT [--type 0|1] [--from FILE]\n";
        return ExitError;
    }
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
    return saveAsConvert(session, outPath, std::string(), false);
}

} // namespace vexlon::cli
