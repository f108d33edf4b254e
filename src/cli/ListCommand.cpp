// list show white|black|statistic
#include "cli/ListCommand.h"

#include "cli/Cli.h"
#include "cli/ShowCommand.h"

#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/lists/ListFiles.h"

namespace vexlon::cli {

namespace {

template <class List, class NumberOf>
void printList(std::ostream& out, const List& list, NumberOf numberOf)
{
    for (const auto& item : list.Items) {
        out << outputField(item.Word) << '\t' << numberOf(item) << '\t' << byteToHex(item.LanguageID).toStdString()
            << '\t' << outputField(item.LanguageTitle) << '\n';
    }
}

} // namespace

int runList(Session& session, const std::vector<std::string>& args)
{
    if (args.size() != 2 || args[0] != "show" || (args[1] != "white" && args[1] != "black" && args[1] != "statistic")) {
        session.err << "vexlon-cli: usage: list show white|black|statistic\n";
        return ExitError;
    }
    const ListKind kind = args[1] == "white" ? ListKind::White : args[1] == "black" ? ListKind::Black : ListKind::Statistic;
    ProgramState& state = session.editor.state;
    bool read = false;
    QString detail;
    try {
        read = ReadProgramList(state, kind);
    } catch (const VexlonError& e) {
        detail = e.message();
    }
    if (!read) {
        session.err << listReadErrorText(kind).toStdString() << '\n';
        if (!detail.isEmpty())
            session.err << "vexlon-cli: " << detail.toStdString() << '\n';
        return ExitError;
    }
    if (kind == ListKind::Statistic)
        printList(session.out, state.statisticList, [](const TSTATLST_ITEM& item) { return item.Rating; });
    else
        printList(session.out, kind == ListKind::White ? state.whiteList : state.blackList,
                  [](const TLST_ITEM& item) { return item.Number; });
    return ExitOk;
}

} // namespace vexlon::cli
