// The commands of vexlon-cli, run in-process over a data folder the test
// builds: arguments, exit codes, output and the files written. What the
// rules do to the words is pinned by the core's tests.
#include "support/CliFixture.h"

using namespace vexlon;
using namespace vexlon::test;

using CliRulesTest = CliFixture;

TEST_F(CliRulesTest, ListShowAndShowPrintRowsOrFailWithTheStartUpMessage)
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
    EXPECT_EQ(run({"list", "show", "grey"}), cli::ExitError);

    // Show prints the rows after the white list; an unreadable list is a warning.
    writeListFile(kBlackListFile, {});
    writeListFile(kStatisticFile, {});
    state.settings.WhiteListOn = true;
    SaveSettings(state.settings, file("Vexlon.ini"));
    writeListFile(kWhiteListFile, {"white;1;01;"});
    writeCsv("d.csv", {"alpha"});
    EXPECT_EQ(run({"show", path("d.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "1\twhite\t01\tEnglish\tWhite List");
    EXPECT_NE(out.str().find("\talpha\t01\tEnglish\t"), std::string::npos);
    EXPECT_NE(out.str().find("\n# free "), std::string::npos);
    EXPECT_TRUE(out.str().ends_with(" words 2\n")) << out.str();
    EXPECT_TRUE(err.str().empty()) << err.str();
    write(QString::fromLatin1(kBlackListFile), "junk");
    EXPECT_EQ(run({"show", path("d.csv")}), cli::ExitOk);
    EXPECT_NE(err.str().find("warning: ERROR[05]"), std::string::npos);
    EXPECT_EQ(run({"show", path("none.csv")}), cli::ExitError);
}

TEST_F(CliRulesTest, CleanAndConvertParseTheirArgumentsAndWriteNothingWhenRefused)
{
    writeCsv("in.csv", {"abc123", "hell", "hello", "x9", "bad"});
    writeListFile(kBlackListFile, {"bad;0;01;"});
    EXPECT_EQ(run({"clean", path("in.csv"), path("out.csv"), "--rules", "numbers,blacklist"}), cli::ExitOk) << err.str();
    EXPECT_EQ(csvWords("out.csv"), (QList<QByteArray> {"abc", "hell", "hello"}));
    // The chosen language (every word is English) for this run.
    EXPECT_EQ(run({"clean", path("in.csv"), path("lang.csv"), "--rules", "language", "--language-index", "0"}), cli::ExitOk);
    EXPECT_TRUE(csvWords("lang.csv").isEmpty());

    const std::vector<std::vector<std::string>> refused = {
        {"clean", path("in.csv"), path("bad.csv")},
        {"clean", path("in.csv"), path("bad.csv"), "--rules", "numbers,colours"},
        {"clean", path("in.csv"), path("bad.csv"), "--rules", "language", "--language-index", "3"},
        {"clean", path("none.csv"), path("bad.csv"), "--rules", "all"},
    };
    for (const auto& args : refused)
        EXPECT_EQ(run(args), cli::ExitError) << args.back();
    EXPECT_FALSE(exists("bad.csv"));

    // Convert writes either format, and nothing when the check fails.
    writeCsv("good.csv", {"alpha", "beta"});
    EXPECT_EQ(run({"convert", path("good.csv"), path("good.iud")}), cli::ExitOk) << err.str();
    EXPECT_EQ(read("good.iud").size(), state.settings.UsersDictionarySize);
    EXPECT_EQ(run({"convert", path("good.iud"), path("back.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(csvWords("back.csv"), (QList<QByteArray> {"alpha", "beta"}));
    EXPECT_EQ(run({"convert", path("good.csv"), path("x.out"), "--to", "txt"}), cli::ExitError);

    writeCsv("bad.csv", {"alpha", QByteArray(250, 'w')}); // loading leaves words too long
    EXPECT_EQ(run({"convert", path("bad.csv"), path("bad.iud")}), cli::ExitProblem);
    // The repair removes short and repeated words only, which the load has
    // already done.
    EXPECT_EQ(run({"convert", path("bad.csv"), path("bad.iud"), "--repair"}), cli::ExitProblem);
    EXPECT_FALSE(exists("bad.iud"));
}

TEST_F(CliRulesTest, CountAndFillUseTheStatisticAndRefuseAnUnreadableOne)
{
    writeCsv("a.csv", {"one", "two"});
    writeCsv("b.csv", {"two", "three"});
    EXPECT_EQ(run({"count", path("a.csv"), path("b.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), path("a.csv") + "\t2 words\n" + path("b.csv") + "\t2 words\n# statistic 3 entries\n");
    EXPECT_TRUE(read(QString::fromLatin1(kStatisticFile)).endsWith("\r\none;1;01;English\r\ntwo;2;01;English\r\nthree;1;01;English\r\n"));

    // Writing would replace the user's statistic with these counts alone.
    write(QString::fromLatin1(kStatisticFile), "not a list\r\n");
    EXPECT_EQ(run({"count", path("a.csv")}), cli::ExitError);
    EXPECT_EQ(read(QString::fromLatin1(kStatisticFile)), QByteArray("not a list\r\n"));
    EXPECT_EQ(run({"count"}), cli::ExitError);

    // Fill makes a dictionary from the statistic, or extends one with type 1.
    writeListFile(kStatisticFile, {"low;1;01;", "top;9;01;", "mid;5;02;"});
    EXPECT_EQ(run({"fill", path("made.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(csvWords("made.csv"), (QList<QByteArray> {"top", "mid", "low"}));
    // Type 1 adds to the dictionary given by --from.
    writeCsv("base.csv", {"own"});
    EXPECT_EQ(run({"fill", path("more.csv"), "--type", "1", "--from", path("base.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(csvWords("more.csv").size(), 4);
    EXPECT_EQ(run({"fill", path("x.csv"), "--type", "0", "--from", path("base.csv")}), cli::ExitError);
    EXPECT_EQ(run({"fill", path("x.csv"), "--type", "7"}), cli::ExitError);
    EXPECT_FALSE(exists("x.csv"));
}
