// The commands of vexlon-cli, run in-process over a data folder the test
// builds: arguments, exit codes, output and the files written. What the
// rules do to the words is pinned by the core's tests; refused arguments by
// MessagesAndOutputTest.
#include "support/CliFixture.h"

#include <QDir>

using namespace vexlon;
using namespace vexlon::test;

using CliRulesTest = CliFixture;

TEST_F(CliRulesTest, ListShowAndShowPrintRowsOrFailWithTheStartUpMessage)
{
    QFile::remove(file(QString::fromLatin1(kBlackListFile)));
    EXPECT_EQ(run({"list", "show", "black"}), cli::ExitError);
    EXPECT_EQ(err.str(), "ERROR[05]: Error of reading black list file.\n");
    writeListFile(kStatisticFile, {"a;x;01;"});
    EXPECT_EQ(run({"list", "show", "statistic"}), cli::ExitError);
    EXPECT_TRUE(errSays("ERROR[03]: Error of reading Statislic list file.\n"));

    // Show prints the rows after the white list; an unreadable list is a warning.
    writeListFile(kBlackListFile, {});
    writeListFile(kStatisticFile, {});
    state.settings.WhiteListOn = true;
    SaveSettings(state.settings, file("Vexlon.ini"));
    writeListFile(kWhiteListFile, {"white;1;01;"});
    writeCsv("d.csv", {"alpha"});
    EXPECT_EQ(run({"show", path("d.csv")}), cli::ExitOk) << err.str();
    EXPECT_TRUE(out.str().starts_with("1\twhite\t01\tEnglish\tWhite List\n")) << out.str();
    EXPECT_NE(out.str().find("\talpha\t01\tEnglish\t"), std::string::npos);
    EXPECT_NE(out.str().find("\n# free "), std::string::npos);
    EXPECT_TRUE(out.str().ends_with(" words 2\n")) << out.str();
    EXPECT_TRUE(err.str().empty()) << err.str();
    write(QString::fromLatin1(kBlackListFile), "junk");
    EXPECT_EQ(run({"show", path("d.csv")}), cli::ExitOk);
    EXPECT_TRUE(errSays("warning: ERROR[05]"));
    EXPECT_EQ(run({"show", path("none.csv")}), cli::ExitError);
}

TEST_F(CliRulesTest, CleanAndConvertWriteTheWordsOrNothingWhenRefused)
{
    writeCsv("in.csv", {"abc123", "hell", "hello", "x9", "bad"});
    writeListFile(kBlackListFile, {"bad;0;01;"});
    EXPECT_EQ(run({"clean", path("in.csv"), path("out.csv"), "--rules", "numbers,blacklist"}), cli::ExitOk) << err.str();
    EXPECT_EQ(csvWords("out.csv"), (QList<QByteArray> {"abc", "hell", "hello"}));
    // The chosen language (every word is English) for this run.
    EXPECT_EQ(run({"clean", path("in.csv"), path("lang.csv"), "--rules", "language", "--language-index", "0"}), cli::ExitOk);
    EXPECT_TRUE(csvWords("lang.csv").isEmpty());
    EXPECT_EQ(run({"clean", path("in.csv"), path("bad.csv"), "--rules", "numbers,colours"}), cli::ExitError);
    EXPECT_EQ(run({"clean", path("none.csv"), path("bad.csv"), "--rules", "all"}), cli::ExitError);
    EXPECT_FALSE(exists("bad.csv"));

    writeCsv("good.csv", {"alpha", "beta"});
    EXPECT_EQ(run({"convert", path("good.csv"), path("good.iud")}), cli::ExitOk) << err.str();
    EXPECT_EQ(read("good.iud").size(), state.settings.UsersDictionarySize);
    EXPECT_EQ(run({"convert", path("good.iud"), path("back.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(csvWords("back.csv"), (QList<QByteArray> {"alpha", "beta"}));
}

// Count over the empty list, over none (which it starts, as the program
// writes a list file), and over the list it started; never over a file it
// cannot read, something else in the list's place or a missing folder.
TEST_F(CliRulesTest, CountStartsOrExtendsTheStatisticAndReplacesNothingElse)
{
    writeCsv("a.csv", {"one", "two"});
    writeCsv("b.csv", {"two", "three"});
    const QString list = QString::fromLatin1(kStatisticFile);
    ASSERT_EQ(run({"count", path("a.csv"), path("b.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), path("a.csv") + "\t2 words\n" + path("b.csv") + "\t2 words\n# statistic 3 entries\n");
    QList<QByteArray> reference = read(list).split('\n');
    const std::string referenceOut = out.str();

    ASSERT_TRUE(QFile::remove(file(list)));
    ASSERT_EQ(run({"count", path("a.csv"), path("b.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), referenceOut);
    EXPECT_TRUE(errSays("started") && !errSays("ERROR[03]")) << err.str();
    const QByteArray started = read(list);
    QList<QByteArray> startedLines = started.split('\n');
    ASSERT_GT(startedLines.size(), 3);
    EXPECT_TRUE(startedLines[2].startsWith("LastUpdate;")) << started.toStdString();
    startedLines[2] = reference[2] = "stamp";
    EXPECT_EQ(startedLines, reference);
    EXPECT_TRUE(started.startsWith("Vexlon list file\r\n"));
    EXPECT_TRUE(started.endsWith("\r\none;1;01;English\r\ntwo;2;01;English\r\nthree;1;01;English\r\n")) << started.toStdString();
    ASSERT_EQ(run({"count", path("b.csv")}), cli::ExitOk) << err.str();
    EXPECT_TRUE(err.str().empty()) << err.str();
    ASSERT_EQ(run({"list", "show", "statistic"}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), "one\t1\t01\tEnglish\ntwo\t3\t01\tEnglish\nthree\t2\t01\tEnglish\n");

    // Other commands still warn of the missing list as the editor does.
    ASSERT_TRUE(QFile::remove(file(list)));
    EXPECT_EQ(run({"show", path("a.csv")}), cli::ExitOk);
    EXPECT_TRUE(errSays("warning: ERROR[03]")) << err.str();
    EXPECT_FALSE(exists(kStatisticFile));
    write(list, "not a list\r\n");
    EXPECT_EQ(run({"count", path("a.csv")}), cli::ExitError);
    EXPECT_EQ(read(list), QByteArray("not a list\r\n"));
    ASSERT_TRUE(QFile::remove(file(list)) && QDir(dir.path()).mkpath(list));
    EXPECT_EQ(run({"count", path("a.csv")}), cli::ExitError);
    EXPECT_TRUE(QFileInfo(file(list)).isDir());
    ASSERT_TRUE(QDir(file(QStringLiteral("Lists"))).removeRecursively());
    EXPECT_EQ(run({"count", path("a.csv")}), cli::ExitError);
    EXPECT_TRUE(errSays("Lists")) << err.str();
    EXPECT_TRUE(out.str().empty()) << out.str();
    EXPECT_FALSE(exists("Lists"));
}

// A text is counted as show opens it (its words once each, whatever their
// case), though its repeats are folded while it is read.
TEST_F(CliRulesTest, CountOfATextCountsTheWordsShowGives)
{
    write("t.txt", "Two two three\r\nThree three four two\r\n");
    ASSERT_EQ(run({"show", path("t.txt")}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), "1\ttwo\tFF\t\tText File\n2\tthree\tFF\t\tText File\n3\tfour\tFF\t\tText File\n"
                         "# free 5053 words 3\n");
    ASSERT_EQ(run({"count", path("t.txt"), path("t.txt")}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), path("t.txt") + "\t3 words\n" + path("t.txt") + "\t3 words\n# statistic 3 entries\n");
    ASSERT_EQ(run({"list", "show", "statistic"}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), "two\t2\tFF\tUnknown\nthree\t2\tFF\tUnknown\nfour\t2\tFF\tUnknown\n");
}

// Fill makes a dictionary from the statistic, highest rating first, or with
// type 1 adds it to the one given by --from.
TEST_F(CliRulesTest, FillMakesOrExtendsADictionaryFromTheStatistic)
{
    writeListFile(kStatisticFile, {"low;1;01;", "top;9;01;", "mid;5;02;"});
    EXPECT_EQ(run({"fill", path("made.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(csvWords("made.csv"), (QList<QByteArray> {"top", "mid", "low"}));
    writeCsv("base.csv", {"own"});
    EXPECT_EQ(run({"fill", path("more.csv"), "--type", "1", "--from", path("base.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(csvWords("more.csv").size(), 4);
}
