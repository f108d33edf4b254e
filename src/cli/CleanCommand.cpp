// clean IN OUT --rules LIST [--language-index N] [--as iud|csv|txt|all] [--to iud|csv]
#include "cli/CleanCommand.h"

#include "cli/Cli.h"
#include "cli/ConvertCommand.h"
#include "cli/ShowCommand.h"

#include "cli/Arguments.h"

#include "core/base/Convert.h"
#include "core/dictionary/Cleaning.h"
#include "core/dictionary/TableOps.h"

#include <QByteArray>
#include <QList>

namespace vexlon::cli {

namespace {

const char* const kCleanUsage =
    "vexlon-cli: usage: clean IN OUT --rules all|symbols,numbers,language,intelect,blacklist,length "
    "[--language-index N] [--as iud|csv|txt|all] [--to iud|csv]\n";

bool parseRules(const std::string& text, const TSettings& settings, CleanRules& rules)
{
    if (text == "all") {
        rules = rulesForItem(settings, CleaningItem::All);
        return true;
    }
    const QList<QByteArray> names = QByteArray::fromStdString(text).split(',');
    for (const QByteArray& name : names) {
        if (name == "symbols")
            rules.symbols = true;
        else if (name == "numbers")
            rules.numbers = true;
        else if (name == "language")
            rules.language = true;
        else if (name == "intelect")
            rules.intelect = true;
        else if (name == "blacklist")
            rules.blackList = true;
        else if (name == "length")
            rules.byLength = true;
        else
            return false;
    }
    return true;
}

} // namespace

int runClean(Session& session, const std::vector<std::string>& args)
{
    const Arguments parsed = parseArguments(args, {"--as", "--to", "--rules", "--language-index"});
    ProgramState& state = session.editor.state;
    CleanRules rules;
    if (!parsed.ok || parsed.positional.size() != 2 || !parsed.has("--rules")
        || !parseRules(parsed.value("--rules"), state.settings, rules)) {
        session.err << kCleanUsage;
        return ExitError;
    }
    const OpenRequest request {parsed.positional[0], parsed.value("--as"), false};
    const std::string& outPath = parsed.positional[1];
    const std::string to = parsed.value("--to");
    const std::string languageIndex = parsed.value("--language-index");
    if (!languageIndex.empty()) {
        const std::optional<int32_t> index = tryStrToInt(QByteArray::fromStdString(languageIndex));
        if (!index || *index < 0 || *index >= state.langStructure.Languages.size()) {
            session.err << "vexlon-cli: --language-index takes an index of the language structure (0 to "
                        << state.langStructure.Languages.size() - 1 << ")\n";
            return ExitError;
        }
        // As the Language menu item does: the chosen language for this run.
        state.settings.LanguageCleanIndex = static_cast<uint8_t>(*index);
    }
    if (!openAsShow(session, request))
        return ExitError;
    CleanDictionary(state, session.editor.table, rules);
    RefreshDictionaryStatus(state, session.editor.table);
    return saveAsConvert(session, outPath, to, Repair::NotOffered);
}

} // namespace vexlon::cli
