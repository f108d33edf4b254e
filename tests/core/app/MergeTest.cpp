#include "core/app/History.h"
#include "core/app/Merge.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/KeyboardFiles.h"
#include "core/dictionary/TableOps.h"
#include "core/lists/Statistics.h"

#include "support/CoreFixture.h"
#include "support/RandomTables.h"

#include <QFileInfo>
#include <random>

using namespace vexlon;
using namespace vexlon::test;

class MergeTest : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        editor.state = state;
    }
    void addRow(const QString& word, const QByteArray& id = "01", const QByteArray& status = status::UsersDictionary)
    {
        editor.table.append(DictRow {word, QByteArray::number(editor.table.count() + 1), id, "L" + id, status});
    }
    // Reads a source written to the program directory.
    bool readSource(const QString& name, const QByteArray& bytes, std::optional<uint8_t> language = std::nullopt)
    {
        write(name, bytes);
        return ReadMergeSource(editor, file(name), guessSourceKind(name, bytes), plan, language);
    }
    const MergeItem& item(const QString& word, int nth = 0) const
    {
        for (const MergeItem& i : plan.items) {
            if (i.row.word == word && nth-- == 0)
                return i;
        }
        throw std::logic_error("no item " + word.toStdString());
    }
    QStringList words() const
    {
        QStringList out;
        for (const DictRow& row : editor.table.rows())
            out << row.word + QLatin1Char('/') + QString::fromLatin1(row.languageId);
        return out;
    }
    Editor editor;
    MergePlan plan;
};

TEST_F(MergeTest, EveryIncomingWordGetsItsFateAndOnlyNewWordsAndOtherLanguagesAreChecked)
{
    editor.state.settings.MinWordLength = 3;
    addRow(QStringLiteral("mouse"));
    addRow(QStringLiteral("tor"), "02");
    addRow(QStringLiteral("keep"), "01", status::Locked);
    setItems(editor.state.blackList, {{QStringLiteral("bad"), 1, 1, ""}});
    // A word list in English (the first language of the chooser).
    dialogs.languages = {0};
    // The longest word a record holds, and one letter more.
    const QString longest(249, QLatin1Char('w'));
    const QString tooLong(250, QLatin1Char('v'));
    ASSERT_TRUE(readSource(QStringLiteral("words.txt"),
                           (QStringLiteral("mouse\nMouse\nbad\nab\na\ngr\u00FCn\nsea\n\nsea\ntor\nSEA\nkeep\n") + longest
                            + QLatin1Char('\n') + tooLong + QLatin1Char('\n'))
                               .toUtf8()));
    EXPECT_EQ(dialogs.languagePrompts.size(), 1) << "one language for the whole list";
    AssessMerge(editor, plan);

    struct Case {
        const char16_t* word;
        int nth;
        Fate fate;
        bool checked;
        bool checkable;
    };
    const Case cases[] = {
        {u"mouse", 0, Fate::Present, false, false},     {u"Mouse", 0, Fate::CaseOnly, false, true},
        {u"bad", 0, Fate::BlackListed, false, true},     {u"ab", 0, Fate::TooShort, false, true},
        {u"a", 0, Fate::TooShort, false, false},         {u"gr\u00FCn", 0, Fate::LacksLetters, false, false},
        {u"sea", 0, Fate::New, true, true},              {u"sea", 1, Fate::Present, false, false},
        {u"tor", 0, Fate::OtherLanguage, true, true},    {u"SEA", 0, Fate::CaseOnly, false, true},
        {u"keep", 0, Fate::Present, false, false},
    };
    ASSERT_EQ(plan.items.size(), std::size(cases) + 2);
    EXPECT_EQ(item(longest).fate, Fate::New);
    EXPECT_EQ(item(tooLong).fate, Fate::LacksLetters);
    EXPECT_FALSE(item(tooLong).checkable);
    for (const Case& c : cases) {
        const MergeItem& i = item(QString::fromUtf16(c.word), c.nth);
        SCOPED_TRACE(i.row.word.toStdString());
        EXPECT_EQ(i.fate, c.fate) << fateText(i.fate).toStdString();
        EXPECT_EQ(i.checked, c.checked);
        EXPECT_EQ(i.checkable, c.checkable);
        EXPECT_EQ(i.row.languageId, "01");
        EXPECT_EQ(i.source, QStringLiteral("words.txt"));
    }
    EXPECT_EQ(item(QStringLiteral("tor")).line, 10);
    EXPECT_TRUE(item(QStringLiteral("gr\u00FCn")).note.contains(QStringLiteral("U+00FC")));
    EXPECT_TRUE(item(QStringLiteral("tor")).note.contains(QStringLiteral("L02 (02)")));
    EXPECT_TRUE(item(QStringLiteral("SEA")).note.contains(QStringLiteral("earlier word of the sources")));

    // Checking every checkable word never adds a word twice in a language.
    for (MergeItem& i : plan.items)
        i.checked = i.checkable;
    ApplyMerge(editor, plan);
    QStringList all = words();
    all.removeDuplicates();
    EXPECT_EQ(all, words());
}

TEST_F(MergeTest, CapacityFollowsTheGaugeArithmeticAndTheMergeIsOneUndoableStep)
{
    editor.state.settings.UsersDictionarySize = 60;
    addRow(QStringLiteral("alpha"));
    addRow(QStringLiteral("beta"));
    // The dictionary's order on the phone stays: numbers are kept, the new
    // words come after the highest.
    editor.table.setCell(0, ColNumber, "7");
    editor.table.modified = false;
    dialogs.languages = {1};
    ASSERT_TRUE(readSource(QStringLiteral("w.txt"), "gamma\ndelta\nepsilon\n"));
    AssessMerge(editor, plan);
    plan.items[1].checked = false; // delta stays out

    const MergeCapacity c = mergeCapacity(editor, plan);
    EXPECT_EQ(c.freeBefore, 60 - 19 - 10 - 10);
    EXPECT_EQ(c.added, 2);
    EXPECT_EQ(c.wordsAfter, 4);
    const QStringList before = words();
    const MergeResult result = ApplyMerge(editor, plan);
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(c.freeAfter, FreeBytes(editor.state, editor.table));
    EXPECT_FALSE(c.fitsAfter());
    EXPECT_EQ(words(), (QStringList {"alpha/01", "beta/01", "gamma/02", "epsilon/02"}));
    EXPECT_EQ(column(editor.table, ColNumber), (QList<QByteArray> {"7", "2", "8", "9"}));
    EXPECT_TRUE(editor.table.modified);

    ASSERT_TRUE(UndoStep(editor));
    EXPECT_EQ(words(), before);
    EXPECT_FALSE(editor.table.modified);
    EXPECT_EQ(undoText(editor), QString());
}

// The plain reading of the fit rule: while the words do not fit, leave out
// the unprotected row that ranks first (lowest rating, then an incoming
// word before a row of the dictionary, then longest, then last), found by a
// walk over all of them. Rows from firstIncoming on are incoming.
static QSet<int> referenceFit(const QVector<DictRow>& rows, const QVector<int32_t>& ratings, int64_t free, int firstIncoming)
{
    QSet<int> out;
    while (free <= 0) {
        int best = -1;
        for (int i = 0; i < rows.size(); ++i) {
            if (out.contains(i) || rows[i].isProtected())
                continue;
            if (best < 0)
                best = i;
            int r = CompareRatings(ratings[i], ratings[best]);
            if (r == 0)
                r = (i >= firstIncoming) - (best >= firstIncoming);
            if (r == 0)
                r = rows[i].word.size() > rows[best].word.size() ? 1 : rows[i].word.size() < rows[best].word.size() ? -1 : 0;
            if (r > 0 || (r == 0 && i > best))
                best = i;
        }
        if (best < 0)
            break;
        out.insert(best);
        free += recordSize(rows[best].word.size());
    }
    return out;
}

TEST_F(MergeTest, TheFitProposalLeavesOutWhatThePlainRuleLeavesOutAndNeverAProtectedRow)
{
    RandomTables random(7);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        editor.table.clear();
        plan = MergePlan();
        editor.state.statisticList = TSTATLST();
        editor.state.settings.UsersDictionarySize = 27 + random.below(200);
        QVector<DictRow> merged;
        const int existing = random.below(12);
        for (int i = 0; i < existing; ++i) {
            const char* status = random.below(4) == 0 ? status::Locked : status::UsersDictionary;
            addRow(QStringLiteral("w%1x").arg(i) + random.word(6), random.below(2) ? "01" : "02", status);
            merged.append(editor.table.row(i));
        }
        const int incoming = random.below(12);
        for (int i = 0; i < incoming; ++i) {
            MergeItem item;
            item.row = DictRow {QStringLiteral("n%1y").arg(i) + random.word(6), "", "01", "L01", status::TextFile};
            item.checked = random.below(5) != 0;
            plan.items.append(item);
            if (item.checked)
                merged.append(item.row);
        }
        // Ratings: some rows rated, including ratings that compare as large
        // unsigned values.
        QVector<int32_t> ratings;
        for (const DictRow& row : merged) {
            const int32_t rating = random.below(3) == 0 ? 0 : (random.below(6) == 0 ? -5 : random.below(4));
            ratings.append(rating);
            if (rating != 0)
                editor.state.statisticList.Items.append({row.word, rating, static_cast<uint8_t>(hexToInt(row.languageId)), ""});
        }
        editor.state.statisticList.Count = static_cast<int>(editor.state.statisticList.Items.size());
        int64_t free = editor.state.settings.UsersDictionarySize - 19;
        for (const DictRow& row : merged)
            free -= recordSize(row.word.size());
        const QSet<int> expected = referenceFit(merged, ratings, free, existing);

        const bool fits = ProposeFit(editor, plan);
        QSet<QString> leftOut;
        for (const MergeItem& item : plan.items) {
            if (item.fate == Fate::DoesNotFit) {
                EXPECT_FALSE(item.checked);
                leftOut.insert(item.row.word);
            }
        }
        QSet<QString> expectedWords;
        for (int i : expected)
            expectedWords.insert(merged[i].word);
        EXPECT_EQ(leftOut, expectedWords);
        EXPECT_EQ(fits, mergeCapacity(editor, plan).fitsAfter());

        // Asking again proposes the same, and applying gives a dictionary
        // that fits whenever the proposal said so.
        const QVector<MergeItem> first = plan.items;
        ProposeFit(editor, plan);
        ASSERT_EQ(plan.items.size(), first.size());
        for (int i = 0; i < first.size(); ++i)
            EXPECT_EQ(plan.items[i].checked, first[i].checked);
        ApplyMerge(editor, plan);
        EXPECT_EQ(FreeBytes(editor.state, editor.table) > 0, fits);
        for (const DictRow& row : merged) {
            if (row.isProtected()) {
                EXPECT_TRUE(words().contains(row.word + QLatin1Char('/') + QString::fromLatin1(row.languageId)));
            }
        }
    }
}

TEST_F(MergeTest, GboardSourcesMapTheirLocalesAndAskOnceForEachUnknownOne)
{
    const QByteArray text = "# Gboard Dictionary version:1\n"
                            "hello\thi\ten-US\n"
                            "\xD0\xB4\xD0\xBE\xD0\xBC\t\tru-RU\n"
                            "Haus\t\tde-DE\n"
                            "sol\t\tes-ES\n"
                            "luna\t\tes-ES\n"
                            "nolocale\t\t\n"
                            "broken line without tabs\n";
    dialogs.languages = {0, 1};
    ASSERT_TRUE(readSource(QStringLiteral("dictionary.zip"), BuildGboardZip(text)));
    EXPECT_EQ(dialogs.languagePrompts.size(), 2);
    EXPECT_TRUE(dialogs.languagePrompts[0].contains(QStringLiteral("es-ES")));
    const QStringList expected {"hello/01", QStringLiteral("\u0434\u043E\u043C/02"), "Haus/0A", "sol/01", "luna/01", "nolocale/02"};
    QStringList got;
    for (const MergeItem& i : plan.items)
        got << i.row.word + QLatin1Char('/') + QString::fromLatin1(i.row.languageId);
    EXPECT_EQ(got, expected);
    ASSERT_EQ(plan.skipped.size(), 1);
    EXPECT_EQ(plan.skipped[0].line, 8);

    // Damaged sources and a declined language leave the plan as it was.
    const MergePlan kept = plan;
    struct Bad {
        const char* name;
        QByteArray bytes;
    };
    const Bad bad[] = {
        {"nodict.zip", BuildGboardZip("x").replace("dictionary.txt", "dictionary.md ")},
        {"header.zip", BuildGboardZip("# Something else\nword\t\ten-US\n")},
        {"truncated.zip", BuildGboardZip(text).left(40)},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.name);
        try {
            readSource(QString::fromLatin1(b.name), b.bytes);
            ADD_FAILURE() << "read";
        } catch (const VexlonError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromLatin1(b.name))) << e.what();
        }
        EXPECT_EQ(plan.items, kept.items);
    }
    EXPECT_THROW(ReadMergeSource(editor, file(QStringLiteral("missing.csv")), SourceKind::Csv, plan), FileError);
    dialogs.languages = {kNoLanguage};
    EXPECT_FALSE(readSource(QStringLiteral("more.txt"), "one\ntwo\n"));
    EXPECT_EQ(plan.items, kept.items);
    EXPECT_EQ(plan.sources.size(), 1);
}

TEST_F(MergeTest, ExportedWordsMergeBackWithTheSameWordsAndLanguages)
{
    RandomTables random(3);
    const QStringList extra {QStringLiteral("\u0434\u043E\u043C"), QStringLiteral("Haus")};
    for (int i = 0; i < 40; ++i)
        addRow(QStringLiteral("w%1_").arg(i) + random.word(4), i % 3 == 0 ? "02" : "01");
    addRow(extra[0], "02");
    addRow(extra[1], "0A");
    const QStringList exported = words();

    for (ExportFormat format : {ExportFormat::GboardZip, ExportFormat::GboardText}) {
        const QString name = format == ExportFormat::GboardZip ? QStringLiteral("out.zip") : QStringLiteral("out.txt");
        ExportDictionaryFile(editor.state, editor.table, format, file(name));
        Editor fresh;
        fresh.state = editor.state;
        MergePlan back;
        ASSERT_TRUE(ReadMergeSource(fresh, file(name), guessSourceKind(name, read(name)), back));
        AssessMerge(fresh, back);
        ApplyMerge(fresh, back);
        QStringList got;
        for (const DictRow& row : fresh.table.rows())
            got << row.word + QLatin1Char('/') + QString::fromLatin1(row.languageId);
        EXPECT_EQ(got.join(QLatin1Char(' ')).toStdString(), exported.join(QLatin1Char(' ')).toStdString()) << name.toStdString();
    }

    // A word list carries no language: merged back with one given, it gives
    // the words.
    ExportDictionaryFile(editor.state, editor.table, ExportFormat::WordList, file(QStringLiteral("list.txt")));
    EXPECT_EQ(guessSourceKind(QStringLiteral("list.txt"), read(QStringLiteral("list.txt"))), SourceKind::WordList);
    MergePlan back;
    Editor fresh;
    fresh.state = editor.state;
    ASSERT_TRUE(ReadMergeSource(fresh, file(QStringLiteral("list.txt")), SourceKind::WordList, back, uint8_t {1}));
    ASSERT_EQ(back.items.size(), editor.table.count());
    for (int i = 0; i < back.items.size(); ++i)
        EXPECT_EQ(back.items[i].row.word, editor.table.row(i).word);
}

TEST_F(MergeTest, TheReportListsEveryItemAndSkippedLineAndTheCommandAppliesOnlyAnAcceptedPreview)
{
    addRow(QStringLiteral("old"));
    write(QStringLiteral("g.txt"), "# Gboard Dictionary version:1\nsemi;colon\t\ten-US\nold\t\ten-US\nno tab here\n");
    write(QStringLiteral("t.txt"), "quoted\"word  more words\n");
    dialogs.languages = {0};
    bool shown = false;
    EXPECT_FALSE(MergeCommand(editor, {file(QStringLiteral("g.txt")), file(QStringLiteral("t.txt"))}, [&](MergePlan& p) {
        shown = true;
        plan = p;
        return false;
    }));
    EXPECT_TRUE(shown);
    EXPECT_EQ(words(), QStringList {"old/01"});

    const QByteArray report = BuildMergeReport(editor.state, plan);
    EXPECT_TRUE(report.startsWith(kUtf8Bom));
    const QList<QByteArray> lines = report.mid(3).split('\n');
    EXPECT_EQ(lines[0], "Source;Line;Word;Language ID;Language;Fate;Result;Note\r");
    EXPECT_EQ(lines[1], "g.txt;2;\"semi;colon\";01;English;new;added;\r");
    EXPECT_EQ(lines[2], "g.txt;3;old;01;English;already present;left out;\r");
    EXPECT_EQ(lines[3], "t.txt;1;\"quoted\"\"word\";01;English;new;added;\r");
    EXPECT_TRUE(report.contains("g.txt;4;no tab here;;;not read;skipped;"));

    dialogs.languages = {0};
    EXPECT_TRUE(MergeCommand(editor, {file(QStringLiteral("t.txt"))}, [](MergePlan&) { return true; }));
    EXPECT_EQ(words(), (QStringList {"old/01", "quoted\"word/01", "more/01", "words/01"}));
}

TEST_F(MergeTest, ADictionaryOfAnySizeGivesItsWordsAndChangesNoFileOfTheProgram)
{
    // Another phone's dictionary: another size and its own trailer.
    ProgramState other = editor.state;
    other.settings.UsersDictionarySize = 300;
    const QVector<DictRow> rows {DictRow {QStringLiteral("alpha"), "1", "01", "English", status::UsersDictionary},
                                 DictRow {QStringLiteral("\u0434\u043E\u043C"), "2", "02", "Russian", status::UsersDictionary}};
    write(QStringLiteral("other.iud"), BuildDictionary(rows, other, "xyz"));
    write(QString::fromLatin1(kTrailerFile), "abc");
    ASSERT_TRUE(ReadMergeSource(editor, file(QStringLiteral("other.iud")), SourceKind::Dictionary, plan));
    ASSERT_EQ(plan.items.size(), 2);
    EXPECT_EQ(plan.items[1].row.word, rows[1].word);
    EXPECT_EQ(plan.items[1].row.languageId, "02");
    EXPECT_TRUE(dialogs.questions.empty()) << "no question about the size";
    EXPECT_EQ(read(QString::fromLatin1(kTrailerFile)), "abc");
    EXPECT_FALSE(QFileInfo::exists(file(QString::fromLatin1(kBackupFile))));
}
