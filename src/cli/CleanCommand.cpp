// clean IN OUT --rules LIST [--language-index N] [--as iud|csv|txt|all] [--to iud|csv]
#include "cli/Cli.h"

#include "app/base/Convert.h"
#include "dictionary/Cleaning.h"
#include "dictionary/TableOps.h"

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
    OpenRequest request;
    std::string outPath;
    std::string to;
    std::string rulesText;
    std::string languageIndex;
    bool bad = false;
    for (size_t i = 0; i < args.size() && !bad; ++i) {
        if (args[i] == "--as" && i + 1 < args.size())
            request.as = args[++i];
        else if (args[i] == "--to" && i + 1 < args.size())
            to = args[++i];
        else if (args[i] == "--rules" && i + 1 < args.size())
            rulesText = args[++i];
        else if (args[i] == "--language-index" && i + 1 < args.size())
            languageIndex = args[++i];
        else if (args[i].rfind("--", 0) == 0)
            bad = true;
        else if (request.path.empty())
            request.path = args[i];
        else if (outPath.empty())
            outPath = args[i];
        else
            bad = true;
    }
    ProgramState& state = session.editor.state;
    CleanRules rules;
    if (bad || request.path.empty() || outPath.empty() || rulesText.empty()
        || !parseRules(rulesText, state.settings, rules)) {
        session.err << kCleanUsage;
        return ExitError;
    }
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
    return saveAsConvert(session, outPath, to, false);
}

} // namespace vexlon::cli
