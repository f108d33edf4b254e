#include "cli/Cli.h"

#include "cli/CleanCommand.h"
#include "cli/ConvertCommand.h"
#include "cli/CountCommand.h"
#include "cli/FillCommand.h"
#include "cli/ListCommand.h"
#include "cli/MergeCommand.h"
#include "cli/PhoneCommand.h"
#include "cli/Session.h"
#include "cli/ShowCommand.h"

#include "core/base/Errors.h"

#include <QFileInfo>


namespace vexlon::cli {

namespace {

const char* const kUsage =
    "usage: vexlon-cli [--data-dir DIR] [--yes] [--simulate FOLDER] [--trace] COMMAND ...\n"
    "       vexlon-cli --help | --version\n"
    "commands:\n"
    "  show FILE [--as iud|csv|txt|all] [--raw]\n"
    "  convert IN OUT [--as iud|csv|txt|all] [--to iud|csv|csv-utf8] [--repair]\n"
    "  clean IN OUT --rules all|symbols,numbers,language,intelect,blacklist,length\n"
    "        [--language-index N] [--as iud|csv|txt|all] [--to iud|csv]\n"
    "  list show white|black|statistic\n"
    "  count FILE...\n"
    "  fill OUT [--type 0|1] [--from FILE]\n"
    "  merge DICT SOURCE... [--out FILE] [--report FILE] [--dry-run] [--fit] [--language ID]\n"
    "        [--as dictionary|csv|text|words|gboard]\n"
    "  export DICT --to gboard|words OUT\n"
    "  phone list|info|read OUT|write IN [--restart]|restart|switch|backups|restore [N]\n"
    "Exit status: 0 done, 1 phone failure or no phone, 2 usage error or failed read or write,\n"
    "3 the dictionary fails the check before saving, 4 the words do not fit. See vexlon-cli(1).\n";

} // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    GlobalOptions options;
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--data-dir" && i + 1 < args.size())
            options.dataDir = args[++i];
        else if (a == "--yes")
            options.yes = true;
        else if (a == "--simulate" && i + 1 < args.size())
            options.simulateFolder = args[++i];
        else if (a == "--trace")
            options.trace = true;
        else if (a == "--help" || a == "-h") {
            out << kUsage;
            return ExitOk;
        } else if (a == "--version") {
            out << "vexlon-cli " << VEXLON_VERSION << '\n';
            return ExitOk;
        } else
            break;
    }
    if (i >= args.size()) {
        err << kUsage;
        return ExitError;
    }
    const std::string command = args[i];
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());

    Session session(options, out, err);
    // `list show` reads its list itself and fails on a list it cannot read.
    session.readLists = command != "list";
    // `count` starts the statistic list when there is none.
    session.statisticMayBeMissing = command == "count";
    if (command == "phone") {
#ifdef VEXLON_HAVE_PHONE_CLI
        if (!session.load())
            return ExitError;
        return runPhone(session, rest);
#else
        err << "vexlon-cli: this build has no phone support\n";
        return ExitError;
#endif
    }

    using Command = int (*)(Session&, const std::vector<std::string>&);
    Command run = nullptr;
    if (command == "show")
        run = runShow;
    else if (command == "convert")
        run = runConvert;
    else if (command == "clean")
        run = runClean;
    else if (command == "list")
        run = runList;
    else if (command == "count")
        run = runCount;
    else if (command == "fill")
        run = runFill;
    else if (command == "merge")
        run = runMerge;
    else if (command == "export")
        run = runExport;
    if (!run) {
        err << "vexlon-cli: unknown command '" << command << "'\n" << kUsage;
        return ExitError;
    }
    if (!session.load())
        return ExitError;
    try {
        return run(session, rest);
    } catch (const VexlonError& e) {
        err << "vexlon-cli: " << e.message().toStdString() << '\n';
        return ExitError;
    }
}

} // namespace vexlon::cli
