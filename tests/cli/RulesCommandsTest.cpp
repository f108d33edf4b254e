// The word rule commands of vexlon-cli, run in-process over a data folder
// the test builds.
#include "app/base/Settings.h"
#include "cli/Cli.h"
#include "dictionary/CsvTextFiles.h"
#include "lists/ListFiles.h"
#include "support/RuleFixture.h"

#include <sstream>

using namespace vexlon;
using namespace vexlon::test;

class CliRulesTest : public RuleFixture {
protected:
    void SetUp() override
    {
        RuleFixture::SetUp();
        write("iTAP_Lang_structure.dat", smallLangStructure(testLanguages()));
        SaveSettings(state.settings, file("Vexlon.ini"));
        for (const char* name : {kWhiteListFile, kBlackListFile, kStatisticFile})
            writeListFile(name, {});
    }
    void writeListFile(const char* name, const QList<QByteArray>& entries)
    {
        QByteArray bytes = "Vexlon list file\r\nList Type;x\r\nLastUpdate;x\r\nWord Amount;" + QByteArray::number(entries.size()) + "\r\n";
        for (const QByteArray& e : entries)
            bytes += e + "\r\n";
        write(QString::fromLatin1(name), bytes);
    }
    void writeCsv(const QString& name, const QList<QByteArray>& words)
    {
        QByteArray bytes = "Vexlon CSV format users dictionary file\r\nx\r\nWord Amount;" + QByteArray::number(words.size()) + "\r\n";
        for (const QByteArray& w : words)
            bytes += w + ";01;\r\n";
        write(name, bytes);
    }
    int run(std::vector<std::string> args)
    {
        out.str(std::string());
        err.str(std::string());
        args.insert(args.begin(), {"--data-dir", dir.path().toStdString()});
        return cli::runCli(args, out, err);
    }
    std::string path(const char* name) const { return file(QString::fromLatin1(name)).toStdString(); }
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CliRulesTest, ListShowPrintsEntriesOrFailsWithTheStartUpMessage)
{
    writeListFile(kWhiteListFile, {"hello;3;01;Old", "\xEF\xF0\xE8;4;02;"});
    EXPECT_EQ(run({"list", "show", "white"}), cli::ExitOk);
    EXPECT_EQ(out.str(), "hello\t3\t01\tEnglish\n\xD0\xBF\xD1\x80\xD0\xB8\t4\t02\tRussian\n");

    QFile::remove(file(QString::fromLatin1(kBlackListFile)));
    EXPECT_EQ(run({"list", "show", "black"}), cli::ExitError);
    EXPECT_EQ(err.str(), "ERROR[05]: Error of reading black list file.\n");

    writeListFile(kStatisticFile, {"a;x;01;"});
    EXPECT_EQ(run({"list", "show", "statistic"}), cli::ExitError);
    EXPECT_NE(err.str().find("ERROR[03]: Error of reading Statislic list file.\n"), std::string::npos);
    EXPECT_NE(err.str().find("'x' is not a valid integer value"), std::string::npos);
    EXPECT_EQ(run({"list", "show", "grey"}), cli::ExitError);
}

TEST_F(CliRulesTest, CleanRunsTheChosenRulesAndSaves)
{
    writeCsv("in.csv", {"abc123", "hell", "hello", "x9", "bad"});
    writeListFile(kBlackListFile, {"bad;0;01;"});
    EXPECT_EQ(run({"clean", path("in.csv"), path("out.csv"), "--rules", "numbers,blacklist"}), cli::ExitOk) << err.str();
    DictionaryTable t;
    ASSERT_TRUE(ReadCsvFile(state, t, file("out.csv")));
    QList<QByteArray> got;
    for (const DictRow& r : t.rows())
        got << r.word;
    EXPECT_EQ(got, (QList<QByteArray> {"abc", "hell", "hello"}));

    EXPECT_EQ(run({"clean", path("in.csv"), path("out2.csv"), "--rules", "all"}), cli::ExitOk) << err.str();
    t.clear();
    ASSERT_TRUE(ReadCsvFile(state, t, file("out2.csv")));
    EXPECT_EQ(t.count(), 3); // "hell" goes by Intelect, "x9" by the numbers and length

    EXPECT_EQ(run({"clean", path("in.csv"), path("out3.csv"), "--rules", "language", "--language-index", "0"}), cli::ExitOk);
    // Every word was English: an empty dictionary is saved.
    t.clear();
    ASSERT_TRUE(ReadCsvFile(state, t, file("out3.csv")));
    EXPECT_EQ(t.count(), 0);
}

TEST_F(CliRulesTest, CountRatesEveryFileAndRefusesAnUnreadableStatistic)
{
    writeCsv("a.csv", {"one", "two"});
    writeCsv("b.csv", {"two", "three"});
    EXPECT_EQ(run({"count", path("a.csv"), path("b.csv")}), cli::ExitOk) << err.str();
    TSTATLST stored;
    ASSERT_TRUE(ReadListFile(file(QString::fromLatin1(kStatisticFile)), stored, state.langStructure));
    ASSERT_EQ(stored.Count, 3);
    EXPECT_EQ(stored.Items[1].Word, QByteArray("two"));
    EXPECT_EQ(stored.Items[1].Rating, 2);

    write(QString::fromLatin1(kStatisticFile), "not a list\r\n");
    EXPECT_EQ(run({"count", path("a.csv")}), cli::ExitError);
    EXPECT_EQ(read(QString::fromLatin1(kStatisticFile)), QByteArray("not a list\r\n"));
}

TEST_F(CliRulesTest, FillMakesOrExtendsADictionaryFromTheStatistic)
{
    writeListFile(kStatisticFile, {"low;1;01;", "top;9;01;", "mid;5;02;"});
    EXPECT_EQ(run({"fill", path("made.csv")}), cli::ExitOk) << err.str();
    DictionaryTable t;
    ASSERT_TRUE(ReadCsvFile(state, t, file("made.csv")));
    QList<QByteArray> got;
    for (const DictRow& r : t.rows())
        got << r.word;
    EXPECT_EQ(got, (QList<QByteArray> {"top", "mid", "low"}));

    writeCsv("base.csv", {"mid", "own"});
    EXPECT_EQ(run({"fill", path("more.csv"), "--type", "1", "--from", path("base.csv")}), cli::ExitOk) << err.str();
    t.clear();
    ASSERT_TRUE(ReadCsvFile(state, t, file("more.csv")));
    EXPECT_EQ(t.count(), 4);
    EXPECT_EQ(run({"fill", path("x.csv"), "--type", "0", "--from", path("base.csv")}), cli::ExitError);
    EXPECT_EQ(run({"fill", path("x.csv"), "--type", "7"}), cli::ExitError);
}

TEST_F(CliRulesTest, ShowAppliesTheWhiteListWhenItIsOn)
{
    state.settings.WhiteListOn = true;
    SaveSettings(state.settings, file("Vexlon.ini"));
    writeListFile(kWhiteListFile, {"white;1;01;"});
    writeCsv("d.csv", {"alpha"});
    EXPECT_EQ(run({"show", path("d.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "1\twhite\t01\tEnglish\tWhite List");
    EXPECT_EQ(err.str().find("not applied"), std::string::npos);

    // A list that cannot be read is a warning; the command goes on.
    write(QString::fromLatin1(kBlackListFile), "junk");
    EXPECT_EQ(run({"show", path("d.csv")}), cli::ExitOk);
    EXPECT_NE(err.str().find("ERROR[05]"), std::string::npos);
}
