#include "core/app/Commands.h"
#include "core/app/DictionaryFiles.h"
#include "core/app/Gauge.h"
#include "core/base/Errors.h"

#include "core/dictionary/CsvTextFiles.h"
#include "core/lists/ListFiles.h"
#include "support/CoreFixture.h"

#include <array>

using namespace vexlon;
using namespace vexlon::test;

class CommandsTest : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        editor.state = state;
    }
    void addRow(const QByteArray& word, const QByteArray& status = status::UsersDictionary)
    {
        editor.table.append(row(word, "01", status, QByteArray::number(editor.table.count() + 1)));
    }
    QList<QByteArray> shown(int c = ColWord) const { return column(editor.table, c); }
    bool open(const QString& name, OpenFilter filter = OpenFilter::Csv)
    {
        return OpenDictionary(editor, [&] { return std::optional<OpenChoice>({file(name), filter}); });
    }
    SaveOutcome save(const std::optional<SaveChoice>& choice)
    {
        return SaveDictionary(editor, [&] { return choice; });
    }
    Editor editor;
};

TEST_F(CommandsTest, NewAndOpenAskBeforeDiscardingApplyTheWhiteListAndReplaceOnlyWithAFileReadWhole)
{
    editor.state.settings.WhiteListOn = true;
    setItems(editor.state.whiteList, {{"white", 9, 1, ""}});
    addRow("mine");
    editor.table.modified = true;
    dialogs.answers = {false};
    EXPECT_FALSE(NewDictionary(editor));
    EXPECT_EQ(shown(), QList<QByteArray> {"mine"});
    dialogs.answers = {true};
    EXPECT_TRUE(NewDictionary(editor));
    EXPECT_EQ(dialogs.questions.back().text, QStringLiteral("M26"));
    EXPECT_EQ(shown(), QList<QByteArray> {"white"});
    EXPECT_FALSE(editor.table.modified);

    // The white list row comes first and removes the same word below it.
    write("d.csv", "Vexlon CSV format users dictionary file\r\nx\r\nWord Amount;4\r\nzeta;01;\r\nwhite;01;\r\nab;01;\r\nx;01;\r\n");
    ASSERT_TRUE(open("d.csv"));
    const QList<QByteArray> opened {"white", "zeta", "ab"};
    EXPECT_EQ(shown(), opened);
    EXPECT_EQ(shown(ColNumber), (QList<QByteArray> {"1", "2", "3"}));
    EXPECT_FALSE(editor.table.modified);
    EXPECT_EQ(editor.documentName, file("d.csv"));

    // Cancelling the file dialog, a dictionary file of another size
    // declined, a file that breaks off: the words and the modified mark stay.
    editor.table.modified = true;
    dialogs.answers = {true};
    EXPECT_FALSE(OpenDictionary(editor, [] { return std::optional<OpenChoice>(); }));
    write("short.iud", QByteArray(100, '\0'));
    dialogs.answers = {true, false};
    EXPECT_FALSE(open("short.iud", OpenFilter::UsersDictionary));
    EXPECT_EQ(shown(), opened);
    write("bad.csv", "Vexlon CSV format users dictionary file\r\nx\r\nWord Amount;4\r\nzeta;zz;\r\n");
    dialogs.answers = {true};
    EXPECT_ANY_THROW(open("bad.csv"));
    EXPECT_EQ(shown(), opened);
    EXPECT_TRUE(editor.table.modified);
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(CommandsTest, OnlyASaveThatWroteItsFileCountsAsSaved)
{
    for (const char* w : {"alpha", "beta"})
        addRow(w);
    editor.table.modified = true;
    EXPECT_EQ(save(std::nullopt), SaveOutcome::NotChosen);
    EXPECT_TRUE(editor.table.modified);
    EXPECT_TRUE(editor.state.statisticList.Items.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(file("Lists/Statistic.csv")));

    EXPECT_EQ(save(SaveChoice {file("out"), SaveFilter::Csv}), SaveOutcome::Saved);
    EXPECT_FALSE(read("out.csv").isEmpty());
    EXPECT_FALSE(editor.table.modified);
    EXPECT_EQ(editor.documentName, file("out.csv"));
    EXPECT_EQ(dialogs.reports.back(), QStringLiteral("Saved 2 words to out.csv"));
    TSTATLST stored;
    ASSERT_TRUE(ReadListFile(file("Lists/Statistic.csv"), stored, state.langStructure));
    EXPECT_EQ(entries(stored), (QList<QByteArray> {"2", "alpha/1/1", "beta/1/1"}));

    // An existing file: No ends the command before the statistic.
    editor.table.modified = true;
    dialogs.answers = {false};
    EXPECT_EQ(save(SaveChoice {file("out.csv"), SaveFilter::Csv}), SaveOutcome::Declined);
    EXPECT_EQ(editor.state.statisticList.Items[0].Rating, 1);
    EXPECT_EQ(dialogs.questions.back().kind, ConfirmKind::Warning);
    EXPECT_TRUE(editor.table.modified);

    // A failing check offers the repair and saves nothing; declined, it
    // says why.
    addRow("x");
    dialogs.answers = {false};
    EXPECT_EQ(save(std::nullopt), SaveOutcome::HasProblem);
    EXPECT_EQ(dialogs.messages.back(), QString::fromLatin1(kNotSavedProblemText));
    EXPECT_EQ(editor.table.count(), 3);
    dialogs.answers = {true};
    EXPECT_EQ(save(std::nullopt), SaveOutcome::HasProblem);
    EXPECT_EQ(editor.table.count(), 2);

    // Words that do not fit (19 + 10 + 10 bytes, one must stay free): told
    // how many bytes are too many.
    editor.state.settings.UsersDictionarySize = 30;
    EXPECT_EQ(save(SaveChoice {QString(), SaveFilter::Csv}), SaveOutcome::Full);
    EXPECT_EQ(dialogs.messages.back(), QString::fromLatin1(kNotSavedFullText).arg(30).arg(10));
    EXPECT_TRUE(editor.table.modified);
    EXPECT_TRUE(dialogs.atRest());

    // A name the file dialog showed with bytes that are not UTF-8 is not the
    // file's own: nothing is written under it, and opening it says why.
    editor.state.settings.UsersDictionarySize = 5100;
    const QString unreachable = file(QStringLiteral(u"caf\uFFFD"));
    EXPECT_EQ(save(SaveChoice {unreachable, SaveFilter::Csv}), SaveOutcome::Declined);
    EXPECT_TRUE(dialogs.messages.back().contains(QStringLiteral("not UTF-8")));
    EXPECT_FALSE(QFileInfo::exists(unreachable + QStringLiteral(".csv")));
    EXPECT_THROW(OpenDictionaryFile(editor, unreachable, OpenFilter::Csv), FileError);
    EXPECT_EQ(editor.table.count(), 2);
}

TEST_F(CommandsTest, ClosingTheWhiteListWindowAndTheStartUpListReading)
{
    setItems(editor.state.whiteList, {{"w1", 5, 1, ""}, {"w2", 6, 1, ""}});
    for (const char* w : {"a", "b"})
        addRow(w);
    editor.table.setCell(1, ColNumber, "77");
    AfterWhiteListWindow(editor);
    EXPECT_FALSE(read("Lists/WhiteList.csv").isEmpty());
    EXPECT_EQ(shown(), (QList<QByteArray> {"a", "b"})); // WhiteListOn is off
    EXPECT_EQ(shown(ColNumber), (QList<QByteArray> {"1", "2"}));
    EXPECT_TRUE(editor.table.modified);

    // A word taken off the list loses its protection; the others keep theirs.
    addRow("w1", status::WhiteList);
    addRow("gone", status::WhiteList);
    addRow("mine", status::Locked);
    AfterWhiteListWindow(editor);
    EXPECT_EQ(shown(ColStatus).mid(2), (QList<QByteArray> {status::WhiteList, status::UsersDictionary, status::Locked}));
    for (int i = 0; i < 3; ++i)
        editor.table.removeAt(2);

    editor.state.settings.WhiteListOn = true;
    AfterWhiteListWindow(editor);
    EXPECT_EQ(shown(), (QList<QByteArray> {"w1", "w2", "a", "b"}));
    EXPECT_EQ(shown(ColNumber), (QList<QByteArray> {"5", "2", "3", "4"})); // renumbering starts at row 1

    // The start-up reads the lists in order and reports each missing one.
    dialogs.messages.clear();
    EXPECT_TRUE(QDir(file("Lists")).removeRecursively());
    ReadListsAtStartUp(editor);
    EXPECT_EQ(dialogs.messages, (QStringList {listReadErrorText(ListKind::Statistic), listReadErrorText(ListKind::White),
                                              listReadErrorText(ListKind::Black)}));
}

TEST(Gauge, ValuesRoundHalvesToEvenAndCapTheOverload)
{
    // size, free, rows -> code, free, used, using %, overloading %. Halves
    // go to the even neighbour: 51 of 200 (25.5 %) gives 26, 49 (24.5 %) 24.
    const std::array<int64_t, 8> cases[] = {{5100, 5081, 0, 19, 5081, 19, 0, 0},
                                            {5100, -100, 10, 69, 0, 5200, 100, 2},
                                            {5100, -6000, 10, 69, 0, 11100, 100, 100},
                                            {200, 149, 1, 24, 149, 51, 26, 0},
                                            {200, 151, 1, 24, 151, 49, 24, 0},
                                            {0, 0, 0, 19, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        const GaugeValues v = computeGauge(int32_t(c[0]), int32_t(c[1]), int(c[2]));
        EXPECT_EQ((std::array<int64_t, 8>{c[0], c[1], c[2], v.code, v.free, v.used, v.usingPercent, v.overloading}), c);
    }
}
