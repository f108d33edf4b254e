// vexlon-cli's output and messages: words printed so that they can neither
// break the tab-separated columns nor reach the terminal as control
// characters, messages that name only the options of the command that
// printed them, and `count` starting the statistic list when there is none.
#include "core/base/CodePage1251.h"
#include "core/dictionary/ItudFile.h"
#include "support/CliFixture.h"

#include <QDir>
#include <QFile>
#include <cctype>
#include <fstream>
#include <regex>
#include <set>

using namespace vexlon;
using namespace vexlon::test;

namespace {

using CliOutputTest = CliFixture;

// Undoes the escaping of one printed field: \\ \t \n \r and \xHH. A lone
// backslash or a bad escape fails the test.
std::string unescape(const std::string& field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (i + 1 >= field.size()) {
            ADD_FAILURE() << "lone backslash in " << field;
            return out;
        }
        const char e = field[++i];
        if (e == '\\')
            out += '\\';
        else if (e == 't')
            out += '\t';
        else if (e == 'n')
            out += '\n';
        else if (e == 'r')
            out += '\r';
        else if (e == 'x' && i + 2 < field.size() && std::isxdigit(static_cast<unsigned char>(field[i + 1]))
                 && std::isxdigit(static_cast<unsigned char>(field[i + 2]))) {
            const unsigned code = static_cast<unsigned>(std::stoul(field.substr(i + 1, 2), nullptr, 16));
            out += QString(QChar(static_cast<char16_t>(code))).toStdString();
            i += 2;
        } else {
            ADD_FAILURE() << "bad escape \\" << e << " in " << field;
        }
    }
    return out;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

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

TEST_F(CliOutputTest, ShowAndListShowEscapeControlCharactersReversibly)
{
    const QList<QByteArray> words = {"tab\there", "back\\slash\\t", "line\nfeed", "carriage\rreturn",
                                     QByteArray("bell\x07") + "and\x1B[1m", "del\x7F", "\\x41not",
                                     "\xEF\xF0\xE8\xE2\xE5\xF2", "plain", "c1\x98"};
    for (const QByteArray& w : words)
        add(w);
    WriteDictionaryFile(state, table, file(QStringLiteral("ctl.iud")));

    ASSERT_EQ(run({"show", path("ctl.iud")}), cli::ExitOk) << err.str();
    std::vector<std::string> lines = split(out.str(), '\n');
    ASSERT_EQ(lines.back(), "");
    lines.pop_back();
    ASSERT_EQ(lines.size(), static_cast<size_t>(words.size()) + 1) << out.str();
    EXPECT_TRUE(lines.back().starts_with("# free ")) << lines.back();
    std::set<std::string> shown;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::vector<std::string> fields = split(lines[i], '\t');
        ASSERT_EQ(fields.size(), 5u) << lines[i];
        for (const char c : lines[i])
            EXPECT_FALSE((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) << lines[i];
        shown.insert(unescape(fields[1]));
    }
    // The Cyrillic word is printed as its letters, not escaped.
    EXPECT_NE(out.str().find("\t\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\t"), std::string::npos);
    EXPECT_NE(out.str().find("\ttab\\there\t"), std::string::npos);
    EXPECT_NE(out.str().find("\tback\\\\slash\\\\t\t"), std::string::npos);
    EXPECT_NE(out.str().find("\tbell\\x07and\\x1B[1m\t"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\tdel\\x7F\t"), std::string::npos);
    EXPECT_NE(out.str().find("\tline\\nfeed\t"), std::string::npos);
    EXPECT_NE(out.str().find("\tcarriage\\rreturn\t"), std::string::npos);
    EXPECT_NE(out.str().find("\tc1\\x98\t"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\t\\\\x41not\t"), std::string::npos);
    // Every word reads back exactly.
    for (const QByteArray& w : words)
        EXPECT_EQ(shown.count(cp1251::toUnicode(w).toStdString()), 1u) << w.toStdString();

    // A list's words and language names are printed the same way.
    writeListFile(kWhiteListFile, {"a\tb\\;3;01;", "c\x01;4;02;"});
    ASSERT_EQ(run({"list", "show", "white"}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), "a\\tb\\\\\t3\t01\tEnglish\nc\\x01\t4\t02\tRussian\n");
}

TEST_F(CliOutputTest, MessagesNameOnlyTheOptionsOfTheirCommand)
{
    // A word too long for the check before saving, which the load keeps.
    writeCsv("long.csv", {"alpha", QByteArray(250, 'w')});
    writeCsv("good.csv", {"alpha", "beta"});
    writeListFile(kStatisticFile, {"top;9;01;"});
    const std::set<std::string> global = {"--data-dir", "--yes", "--simulate", "--trace", "--help", "--version"};
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::set<std::string> options;
    };
    const std::set<std::string> showOptions = {"--as", "--raw"};
    const std::set<std::string> convertOptions = {"--as", "--to", "--repair"};
    const std::set<std::string> cleanOptions = {"--rules", "--language-index", "--as", "--to"};
    const std::set<std::string> fillOptions = {"--type", "--from"};
    const Case cases[] = {
        {"show, usage", {"show"}, cli::ExitError, showOptions},
        {"show, bad --as", {"show", path("good.csv"), "--as", "doc"}, cli::ExitError, showOptions},
        {"convert, usage", {"convert", path("good.csv")}, cli::ExitError, convertOptions},
        {"convert, bad --to", {"convert", path("good.csv"), path("o.x"), "--to", "txt"}, cli::ExitError, convertOptions},
        {"convert, check fails", {"convert", path("long.csv"), path("o.iud")}, cli::ExitProblem, convertOptions},
        {"convert, repair fails", {"convert", path("long.csv"), path("o.iud"), "--repair"}, cli::ExitProblem, convertOptions},
        {"clean, usage", {"clean", path("good.csv"), path("o.csv")}, cli::ExitError, cleanOptions},
        {"clean, bad index", {"clean", path("good.csv"), path("o.csv"), "--rules", "language", "--language-index", "9"},
         cli::ExitError, cleanOptions},
        {"clean, check fails", {"clean", path("long.csv"), path("o.csv"), "--rules", "numbers"}, cli::ExitProblem,
         cleanOptions},
        {"clean, unknown --repair", {"clean", path("long.csv"), path("o.csv"), "--rules", "numbers", "--repair"},
         cli::ExitError, cleanOptions},
        {"fill, usage", {"fill", path("o.csv"), "--type", "2"}, cli::ExitError, fillOptions},
        {"fill, --from with type 0", {"fill", path("o.csv"), "--type", "0", "--from", path("good.csv")}, cli::ExitError, fillOptions},
        {"fill, check fails", {"fill", path("o.csv"), "--type", "1", "--from", path("long.csv")}, cli::ExitProblem,
         fillOptions},
        {"count, usage", {"count"}, cli::ExitError, {}},
        {"list, usage", {"list", "show", "grey"}, cli::ExitError, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(run(c.args), c.status) << err.str();
        EXPECT_FALSE(err.str().empty());
        for (const std::string& named : optionsNamed(err.str()))
            EXPECT_TRUE(c.options.count(named) || global.count(named)) << named << " in: " << err.str();
        EXPECT_FALSE(exists("o.csv"));
        EXPECT_FALSE(exists("o.iud"));
    }
    // Convert, which has the repair, still offers it.
    EXPECT_EQ(run({"convert", path("long.csv"), path("o.iud")}), cli::ExitProblem);
    EXPECT_TRUE(errSays("--repair")) << err.str();
}

TEST_F(CliOutputTest, CountStartsAStatisticListWhenThereIsNone)
{
    writeCsv("a.csv", {"one", "two"});
    writeCsv("b.csv", {"two", "three"});
    const QString list = QString::fromLatin1(kStatisticFile);
    // What count writes over the fixture's empty list, the reference format.
    ASSERT_EQ(run({"count", path("a.csv"), path("b.csv")}), cli::ExitOk) << err.str();
    const QByteArray reference = read(list);
    const std::string referenceOut = out.str();

    ASSERT_TRUE(QFile::remove(file(list)));
    ASSERT_EQ(run({"count", path("a.csv"), path("b.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), referenceOut);
    EXPECT_FALSE(errSays("ERROR[03]")) << err.str();
    EXPECT_TRUE(errSays("started")) << err.str();
    const QByteArray started = read(list);
    QList<QByteArray> startedLines = started.split('\n');
    QList<QByteArray> referenceLines = reference.split('\n');
    // Byte for byte as the program writes a list file, but for the time
    // stamp on line 3.
    ASSERT_GT(startedLines.size(), 3);
    ASSERT_EQ(startedLines.size(), referenceLines.size());
    EXPECT_TRUE(startedLines[2].startsWith("LastUpdate;") || startedLines[2] == referenceLines[2]) << started.toStdString();
    startedLines[2] = referenceLines[2] = "stamp";
    EXPECT_EQ(startedLines, referenceLines);
    EXPECT_TRUE(started.startsWith("Vexlon list file\r\n"));
    EXPECT_TRUE(started.endsWith("\r\none;1;01;English\r\ntwo;2;01;English\r\nthree;1;01;English\r\n")) << started.toStdString();

    // The new list is the user's from now on: the next count adds to it.
    ASSERT_EQ(run({"count", path("b.csv")}), cli::ExitOk) << err.str();
    EXPECT_TRUE(err.str().empty()) << err.str();
    EXPECT_TRUE(read(list).endsWith("\r\none;1;01;English\r\ntwo;3;01;English\r\nthree;2;01;English\r\n"));
    ASSERT_EQ(run({"list", "show", "statistic"}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), "one\t1\t01\tEnglish\ntwo\t3\t01\tEnglish\nthree\t2\t01\tEnglish\n");

    // Other commands still warn of the missing list as the editor does.
    ASSERT_TRUE(QFile::remove(file(list)));
    EXPECT_EQ(run({"show", path("a.csv")}), cli::ExitOk);
    EXPECT_TRUE(errSays("warning: ERROR[03]")) << err.str();
    EXPECT_FALSE(exists(kStatisticFile));

    // Something that is not a list file in its place is not replaced.
    ASSERT_TRUE(QDir(dir.path()).mkpath(list));
    EXPECT_EQ(run({"count", path("a.csv")}), cli::ExitError);
    EXPECT_TRUE(QFileInfo(file(list)).isDir());
    ASSERT_TRUE(QDir(file(list)).removeRecursively());

    // Without the lists' folder nothing is counted and nothing is made.
    ASSERT_TRUE(QDir(file(QStringLiteral("Lists"))).removeRecursively());
    EXPECT_EQ(run({"count", path("a.csv")}), cli::ExitError);
    EXPECT_TRUE(errSays("Lists")) << err.str();
    EXPECT_TRUE(out.str().empty()) << out.str();
    EXPECT_FALSE(exists("Lists"));
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
    std::ifstream written(iud, std::ios::binary);
    ASSERT_TRUE(written.good());
    const std::string bytes((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.size(), 5100u);
    const std::string csv = folder + "/\xFF.csv";
    ASSERT_EQ(run({"convert", iud, csv}), cli::ExitOk) << err.str();
    ASSERT_EQ(run({"show", csv}), cli::ExitOk) << err.str();
    EXPECT_NE(out.str().find("one"), std::string::npos);
    EXPECT_NE(out.str().find("two"), std::string::npos);
    // Only the two files and what the fixture made are in the folder.
    const QStringList entries = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_FALSE(entries.join(QLatin1Char(' ')).contains(QStringLiteral(".part"))) << entries.join(' ').toStdString();
    EXPECT_EQ(run({"convert", iud, folder + "/\xFF/x.iud"}), cli::ExitError);
    EXPECT_TRUE(errSays("Cannot create file")) << err.str();
}
