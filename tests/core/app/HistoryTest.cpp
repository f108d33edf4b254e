// Random runs of every command that changes the dictionary or a list, then
// undo all and redo all, each state compared with its snapshot.
#include "core/app/Commands.h"
#include "core/app/DictionaryFiles.h"
#include "core/app/EditCommands.h"
#include "core/app/History.h"

#include "core/dictionary/CsvTextFiles.h"
#include "core/lists/ListFiles.h"
#include "support/CoreFixture.h"

#include <QRegularExpression>
#include <random>

using namespace vexlon;
using namespace vexlon::test;

namespace {

// Answers every question at random, as a user clicking about would.
class RandomDialogs : public IDialogs {
public:
    explicit RandomDialogs(std::mt19937& rng) : m_rng(rng) {}
    bool confirm(const QString&, ConfirmKind) override { return m_rng() % 4 != 0; }
    void message(const QString&) override {}
    uint8_t chooseLanguage(const QString&, const QString&, const QString&, const QStringList& names) override
    {
        return m_rng() % 5 == 0 ? kNoLanguage : static_cast<uint8_t>(m_rng() % names.size());
    }
    void progressText(const QString&) override {}
    void progress(int, int) override {}

private:
    std::mt19937& m_rng;
};

class HistoryTest : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        editor.state = state;
        editor.state.dialogs = &random;
        QByteArray csv = "Vexlon CSV format users dictionary file\r\nx\r\nWord Amount;10\r\n";
        for (const char* w : {"alpha", "beta", "gamma", "delta", "alp", "x1y", "omega", "b-c", "hello", "he"})
            csv += QByteArray(w) + ";01;\r\n";
        write("one.csv", csv);
        for (ListKind kind : {ListKind::White, ListKind::Black, ListKind::Statistic})
            WriteProgramList(editor.state, kind);
        write("two.csv", "Vexlon CSV format users dictionary file\r\nx\r\nWord Amount;3\r\nzulu;0A;\r\nyankee;01;\r\nxray;0A;\r\n");
    }

    // Each row's word, number, language ID and status, and the three list
    // files without their time of writing. (Not the modified mark: a later
    // save of the same file changes what earlier states count as.)
    std::string picture()
    {
        QStringList out;
        for (const DictRow& r : editor.table.rows())
            out << r.word + QString::fromLatin1(' ' + r.number + ' ' + r.languageId + ' ' + r.status);
        for (const char* list : {kWhiteListFile, kBlackListFile, kStatisticFile})
            out << QString::fromLatin1(read(QString::fromLatin1(list))).remove(QRegularExpression(QStringLiteral("LastUpdate;[^\r]*")));
        return out.join(QLatin1Char('\n')).toStdString();
    }

    void runOne()
    {
        for (int i = 0; i < editor.table.count(); ++i)
            editor.table.setSelected(i, rng() % 3 == 0);
        const int count = editor.table.count();
        switch (rng() % 16) {
        case 0: AddCommand(editor); break;
        case 1:
            if (count > 0)
                EditWordCommand(editor, static_cast<int>(rng() % count), QByteArray("Word") + QByteArray::number(rng() % 50));
            break;
        case 2: DeleteCommand(editor); break;
        case 3: SetLanguageCommand(editor); break;
        case 4: LockUnlockCommand(editor); break;
        case 5: MoveCommand(editor, rng() % 2 == 0); break;
        case 6: CleaningCommand(editor, static_cast<CleaningItem>(rng() % 7)); break;
        case 7: ToBlackListCommand(editor); break;
        case 8: ToWhiteListCommand(editor); break;
        case 9: SortCommand(editor, static_cast<int>(rng() % 4), rng() % 2 == 0); break;
        case 10: ClearDictionary(editor); break;
        case 11: OpenDictionaryFile(editor, file(rng() % 2 ? QStringLiteral("one.csv") : QStringLiteral("two.csv")), OpenFilter::Csv); break;
        case 12: ApplyWhiteListKey(editor); break;
        case 13: // the white list window took an entry off the list
            ListWindowCommand(editor, ListWindow::White, [this] {
                if (!editor.state.whiteList.Items.isEmpty()) {
                    editor.state.whiteList.Items.removeAt(static_cast<int>(rng() % editor.state.whiteList.Items.size()));
                    editor.state.whiteList.Count = static_cast<int>(editor.state.whiteList.Items.size());
                }
            });
            break;
        case 14: // To Dictionary from the statistic window
            ListWindowCommand(editor, ListWindow::Statistic, [this] {
                DictionaryTable read;
                ReadCsvFile(editor.state, read, file(QStringLiteral("two.csv")));
                editor.table.replaceAll(read.rows());
            });
            break;
        case 15: PrepareSave(editor); break; // the repair before saving, when offered and taken
        }
    }

    std::mt19937 rng;
    RandomDialogs random {rng};
    Editor editor;
};

} // namespace

TEST_F(HistoryTest, RandomRunsAreUndoneAndRedoneThroughEveryState)
{
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        rng.seed(seed);
        editor.history.clear();
        std::vector<std::string> states {picture()};
        QStringList names;
        for (int i = 0; i < 120; ++i) {
            const std::size_t before = editor.history.undoCount();
            try {
                runOne();
            } catch (const std::exception&) {
                // A command stopped by bad data still counts as one step.
            }
            if (editor.history.undoCount() > before) {
                states.push_back(picture());
                names << editor.history.undoName();
            } else {
                ASSERT_EQ(picture(), states.back()) << "seed " << seed << ": a change outside the history";
            }
        }
        ASSERT_GE(states.size(), 60u) << "seed " << seed;
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            EXPECT_EQ(undoText(editor), QStringLiteral("Undo ") + names.at(static_cast<qsizetype>(i - 1)));
            ASSERT_TRUE(UndoStep(editor));
            ASSERT_EQ(picture(), states.at(i - 1)) << "seed " << seed << " undoing " << names.at(static_cast<qsizetype>(i - 1)).toStdString();
        }
        EXPECT_FALSE(UndoStep(editor));
        for (std::size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(RedoStep(editor));
            ASSERT_EQ(picture(), states.at(i)) << "seed " << seed << " redoing " << names.at(static_cast<qsizetype>(i - 1)).toStdString();
        }
        EXPECT_FALSE(RedoStep(editor));
    }
}

TEST_F(HistoryTest, StepsAreNamedReportedBoundedAndForgetRedoOnANewChange)
{
    editor.state.dialogs = &dialogs;
    OpenDictionaryFile(editor, file(QStringLiteral("one.csv")), OpenFilter::Csv);
    EXPECT_EQ(dialogs.reports.back(), QStringLiteral("Opened one.csv: 10 words"));
    const QVector<DictRow> opened = editor.table.rows();
    CleaningCommand(editor, CleaningItem::Symbols);
    // Only "b-c" holds a symbol.
    EXPECT_EQ(dialogs.reports.back(), QStringLiteral("Cleaning changed 1 word"));
    EXPECT_EQ(undoText(editor), QStringLiteral("Undo Cleaning: Symbols"));
    EXPECT_TRUE(editor.table.modified);
    ASSERT_TRUE(UndoStep(editor));
    EXPECT_EQ(dialogs.reports.back(), QStringLiteral("Undo Cleaning: Symbols"));
    EXPECT_EQ(editor.table.rows(), opened);
    EXPECT_FALSE(editor.table.modified);
    EXPECT_EQ(redoText(editor), QStringLiteral("Redo Cleaning: Symbols"));
    // A new change drops what could be redone; a change of nothing is no step.
    editor.table.setSelected(0, true);
    MoveCommand(editor, true);
    EXPECT_TRUE(dialogs.reports.back().endsWith(QStringLiteral("\" to place 2"))) << dialogs.reports.back().toStdString();
    EXPECT_EQ(redoText(editor), QString());
    EXPECT_EQ(undoText(editor), QStringLiteral("Undo Move Down"));
    const std::size_t steps = editor.history.undoCount();
    CleaningCommand(editor, CleaningItem::Numbers);
    CleaningCommand(editor, CleaningItem::Numbers);
    EXPECT_EQ(editor.history.undoCount(), steps + 1);

    // A save in between: undoing back past it marks the table modified, and
    // coming back to the saved words marks it saved again.
    const auto save = [this] {
        dialogs.answers = {true}; // replace the file
        return SaveDictionary(editor, [this] { return std::optional<SaveChoice>({file("s.csv"), SaveFilter::Csv}); });
    };
    ASSERT_EQ(save(), SaveOutcome::Saved);
    ASSERT_TRUE(UndoStep(editor));
    EXPECT_TRUE(editor.table.modified);
    ASSERT_TRUE(RedoStep(editor));
    EXPECT_FALSE(editor.table.modified);
    // Back and forth across two saves: each kept state learns whether it
    // holds what the file holds now.
    for (int i = 0; i < editor.table.count(); ++i)
        editor.table.setSelected(i, i == 1);
    MoveCommand(editor, true);
    ASSERT_EQ(save(), SaveOutcome::Saved);
    MoveCommand(editor, false);
    ASSERT_EQ(save(), SaveOutcome::Saved);
    ASSERT_TRUE(UndoStep(editor));
    EXPECT_TRUE(editor.table.modified);
    ASSERT_TRUE(UndoStep(editor));
    EXPECT_FALSE(editor.table.modified);

    // A change of a list alone is told as such.
    editor.table.setRow(0, row("locked", "01", status::Locked, "1"));
    for (int i = 0; i < editor.table.count(); ++i)
        editor.table.setSelected(i, i == 0);
    dialogs.answers = {false};
    ToBlackListCommand(editor);
    EXPECT_EQ(dialogs.reports.back(), QStringLiteral("To BlackList changed the black list"));

    // The history is bounded, and deeper than a hundred steps.
    for (int i = 0; i < 250; ++i)
        MoveCommand(editor, i % 2 == 0);
    EXPECT_GE(kUndoDepth, 100u);
    int undone = 0;
    while (UndoStep(editor))
        ++undone;
    EXPECT_EQ(undone, static_cast<int>(kUndoDepth));
}
