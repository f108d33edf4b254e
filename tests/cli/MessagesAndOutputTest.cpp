// vexlon-cli's output and messages: words printed so that they can neither
// break the tab-separated columns nor reach the terminal as control
// characters, messages that name only the options of the command that
// printed them, and file names that are not UTF-8.
#include "core/dictionary/ItudFile.h"
#include "support/CliFixture.h"

#include <QDir>
#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

using namespace vexlon;
using namespace vexlon::test;

namespace {

using CliOutputTest = CliFixture;

// Every "--option" a message names.
std::set<std::string> optionsNamed(const std::string& text)
{
    static const std::regex option("--[a-z][a-z-]*");
    std::set<std::string> named;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        named.insert(it->str());
    return named;
}

} // namespace

// Backslashes are doubled, \t \n \r named and other control characters
// (and undefined codes) written as \xHH, so each word keeps to its column
// and reads back exactly; Cyrillic letters are printed as they are.
TEST_F(CliOutputTest, ShowAndListShowEscapeControlCharactersReversibly)
{
    const std::pair<QByteArray, std::string> words[] = {
        {"tab\there", "tab\\there"}, {"back\\slash\\t", "back\\\\slash\\\\t"}, {"line\nfeed", "line\\nfeed"},
        {"carriage\rreturn", "carriage\\rreturn"}, {QByteArray("bell\x07") + "and\x1B[1m", "bell\\x07and\\x1B[1m"},
        {"del\x7F", "del\\x7F"}, {"\\x41not", "\\\\x41not"}, {"c1\x98", "c1\\x98"},
        {"\xEF\xF0\xE8\xE2\xE5\xF2", "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"}};
    for (const auto& [word, shown] : words)
        add(word);
    WriteDictionaryFile(state, table, file(QStringLiteral("ctl.iud")));
    ASSERT_EQ(run({"show", path("ctl.iud")}), cli::ExitOk) << err.str();
    std::istringstream lines(out.str());
    size_t count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_TRUE(line.starts_with("# free ") || std::count(line.begin(), line.end(), '\t') == 4) << line;
        EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }))
            << line;
    }
    EXPECT_EQ(count, std::size(words) + 1) << out.str();
    for (const auto& [word, shown] : words)
        EXPECT_NE(out.str().find('\t' + shown + '\t'), std::string::npos) << shown << " in " << out.str();

    // A list's words and language names are printed the same way.
    writeListFile(kWhiteListFile, {"hello;3;01;Old", "\xEF\xF0\xE8;4;02;", "a\tb\\;3;01;", "c\x01;4;02;"});
    ASSERT_EQ(run({"list", "show", "white"}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), "hello\t3\t01\tEnglish\n\xD0\xBF\xD1\x80\xD0\xB8\t4\t02\tRussian\n"
                         "a\\tb\\\\\t3\t01\tEnglish\nc\\x01\t4\t02\tRussian\n");
}

TEST_F(CliOutputTest, MessagesNameOnlyTheOptionsOfTheirCommand)
{
    // A word too long for the check before saving, which the load keeps.
    writeCsv("long.csv", {"alpha", QByteArray(250, 'w')});
    writeCsv("good.csv", {"alpha", "beta"});
    writeListFile(kStatisticFile, {"top;9;01;"});
    const std::set<std::string> global = {"--data-dir", "--yes", "--simulate", "--trace", "--help", "--version"};
    const std::set<std::string> show = {"--as", "--raw"}, convert = {"--as", "--to", "--repair"},
                                clean = {"--rules", "--language-index", "--as", "--to"}, fill = {"--type", "--from"};
    const std::string good = path("good.csv"), bad = path("long.csv"), csv = path("o.csv"), iud = path("o.iud");
    const struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::set<std::string> options;
    } cases[] = {
        {"show, usage", {"show"}, cli::ExitError, show},
        {"show, bad --as", {"show", good, "--as", "doc"}, cli::ExitError, show},
        {"convert, usage", {"convert", good}, cli::ExitError, convert},
        {"convert, bad --to", {"convert", good, path("o.x"), "--to", "txt"}, cli::ExitError, convert},
        {"convert, check fails", {"convert", bad, iud}, cli::ExitProblem, convert},
        {"convert, repair fails", {"convert", bad, iud, "--repair"}, cli::ExitProblem, convert},
        {"clean, usage", {"clean", good, csv}, cli::ExitError, clean},
        {"clean, bad index", {"clean", good, csv, "--rules", "language", "--language-index", "3"}, cli::ExitError, clean},
        {"clean, check fails", {"clean", bad, csv, "--rules", "numbers"}, cli::ExitProblem, clean},
        {"clean, unknown --repair", {"clean", bad, csv, "--rules", "numbers", "--repair"}, cli::ExitError, clean},
        {"fill, usage", {"fill", csv, "--type", "2"}, cli::ExitError, fill},
        {"fill, --from with type 0", {"fill", csv, "--type", "0", "--from", good}, cli::ExitError, fill},
        {"fill, check fails", {"fill", csv, "--type", "1", "--from", bad}, cli::ExitProblem, fill},
        {"count, usage", {"count"}, cli::ExitError, {}},
        {"list, usage", {"list", "show", "grey"}, cli::ExitError, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(run(c.args), c.status) << err.str();
        EXPECT_FALSE(err.str().empty());
        for (const std::string& named : optionsNamed(err.str()))
            EXPECT_TRUE(c.options.count(named) || global.count(named)) << named << " in: " << err.str();
        EXPECT_FALSE(exists("o.csv") || exists("o.iud"));
    }
    // Convert, which has the repair, still offers it.
    EXPECT_EQ(run({"convert", bad, iud}), cli::ExitProblem);
    EXPECT_TRUE(errSays("--repair")) << err.str();
}

// Names that are not UTF-8 (Windows-1251 bytes here) are read and written
// under exactly their own bytes; a folder that does not exist is an error
// that writes nothing anywhere.
TEST_F(CliOutputTest, FileNamesThatAreNotUtf8AreReadAndWrittenAsTheyAre)
{
    writeCsv("a.csv", {"one", "two"});
    const std::string folder = dir.path().toStdString();
    const std::string iud = folder + "/\xEF\xF0\xE8\xE2\xE5\xF2.iud";
    ASSERT_EQ(run({"convert", path("a.csv"), iud}), cli::ExitOk) << err.str();
    EXPECT_EQ(std::filesystem::file_size(iud), 5100u);
    const std::string csv = folder + "/\xFF.csv";
    ASSERT_EQ(run({"convert", iud, csv}), cli::ExitOk) << err.str();
    ASSERT_EQ(run({"show", csv}), cli::ExitOk) << err.str();
    EXPECT_TRUE(out.str().find("\tone\t") != std::string::npos && out.str().find("\ttwo\t") != std::string::npos) << out.str();
    // Only the two files and what the fixture made are in the folder.
    const QStringList entries = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_FALSE(entries.join(QLatin1Char(' ')).contains(QStringLiteral(".part"))) << entries.join(' ').toStdString();
    EXPECT_EQ(run({"convert", iud, folder + "/\xFF/x.iud"}), cli::ExitError);
    EXPECT_TRUE(errSays("Cannot create file")) << err.str();
}
