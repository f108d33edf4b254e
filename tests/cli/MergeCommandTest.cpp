// merge and export of vexlon-cli: exit statuses, what is written and what
// is not. The fates and the fit rule are pinned by the core's tests.
#include "support/CliFixture.h"

#include "core/dictionary/KeyboardFiles.h"

using namespace vexlon;
using namespace vexlon::test;

using CliMergeTest = CliFixture;

TEST_F(CliMergeTest, MergeWritesOnlyAMergeThatFitsOrIsFittedAndReportsEveryLine)
{
    writeCsv("d.csv", {"alpha", "beta"});
    write("w.txt", "gamma\nalpha\ndelta\n");
    const QByteArray original = read("d.csv");

    // Words without a language need one.
    EXPECT_EQ(run({"merge", path("d.csv"), path("w.txt")}), cli::ExitError);
    EXPECT_TRUE(errSays("give --language ID")) << err.str();
    EXPECT_EQ(read("d.csv"), original);

    EXPECT_EQ(run({"merge", path("d.csv"), path("w.txt"), "--language", "01", "--dry-run", "--report", path("r.csv")}),
              cli::ExitOk)
        << err.str();
    EXPECT_EQ(read("d.csv"), original);
    EXPECT_NE(out.str().find("new\t2\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("already present\t1\n"), std::string::npos);
    EXPECT_EQ(read("r.csv").count("\r\n"), 4);

    EXPECT_EQ(run({"merge", path("d.csv"), path("w.txt"), "--language", "01", "--out", path("m.csv")}), cli::ExitOk)
        << err.str();
    EXPECT_EQ(csvWords("m.csv"), (QList<QByteArray> {"alpha", "beta", "gamma", "delta"}));

    // A merge that does not fit: status 4 and nothing written, unless --fit
    // leaves words out (the longest first when none is rated).
    state.settings.UsersDictionarySize = 19 + 4 * 10 + 1;
    SaveSettings(state.settings, file("Vexlon.ini"));
    write("long.txt", "epsilonic\n");
    EXPECT_EQ(run({"merge", path("m.csv"), path("long.txt"), "--language", "01"}), cli::ExitFull);
    EXPECT_TRUE(errSays("--fit leaves words out")) << err.str();
    EXPECT_EQ(csvWords("m.csv"), (QList<QByteArray> {"alpha", "beta", "gamma", "delta"}));
    EXPECT_EQ(run({"merge", path("m.csv"), path("long.txt"), "--language", "01", "--fit"}), cli::ExitOk) << err.str();
    EXPECT_EQ(csvWords("m.csv"), (QList<QByteArray> {"alpha", "beta", "gamma", "delta"}));
    EXPECT_NE(out.str().find("does not fit\t1\n"), std::string::npos) << out.str();

    // A dictionary that cannot be written back needs --out.
    EXPECT_EQ(run({"merge", path("w.txt"), path("long.txt"), "--language", "01"}), cli::ExitError);
    EXPECT_FALSE(exists("w.iud"));
}

TEST_F(CliMergeTest, ExportedWordsMergeBackAndBadSourcesAreRefused)
{
    writeCsv("d.csv", {"alpha", "beta", "gamma"});
    EXPECT_EQ(run({"export", path("d.csv"), "--to", "gboard", path("g.zip")}), cli::ExitOk) << err.str();
    EXPECT_EQ(run({"export", path("d.csv"), "--to", "words", path("w.txt")}), cli::ExitOk) << err.str();
    EXPECT_EQ(read("w.txt"), "alpha\nbeta\ngamma\n");
    EXPECT_EQ(ParseGboardText(ExtractGboardText(read("g.zip"))).words.size(), 3);

    writeCsv("empty.csv", {});
    EXPECT_EQ(run({"merge", path("empty.csv"), path("g.zip")}), cli::ExitOk) << err.str();
    EXPECT_EQ(csvWords("empty.csv"), (QList<QByteArray> {"alpha", "beta", "gamma"}));
    EXPECT_EQ(run({"export", path("empty.csv"), "--to", "other", path("x.zip")}), cli::ExitError);

    write("bad.zip", "PK\x03\x04 not really a zip");
    const QByteArray before = read("empty.csv");
    EXPECT_EQ(run({"merge", path("empty.csv"), path("bad.zip")}), cli::ExitError);
    EXPECT_EQ(read("empty.csv"), before);
    EXPECT_EQ(run({"merge", path("empty.csv")}), cli::ExitError);
}
