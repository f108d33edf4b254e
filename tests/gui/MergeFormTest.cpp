// Merge and Export as the user meets them: the preview shows what becomes
// of each word and follows the checks, calling it off changes nothing, a
// merge is one undoable step, a merge too large for the phone is fitted or
// merged only after a Yes; the export reads back as the table's words.
#include "GuiSupport.h"

#include "core/app/Merge.h"
#include "core/base/TextFile.h"
#include "core/dictionary/KeyboardFiles.h"
#include "core/dictionary/TableOps.h"
#include "gui/MergeForm.h"

#include <QComboBox>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>

namespace vexlon::test {

class MergeForm : public MainWindowTest {
protected:
    using Preview = std::function<int(gui::MergeForm&)>;
    // A file in the test's folder.
    QString source(const char* name, const QByteArray& bytes)
    {
        writeFileSafely(path(name), bytes);
        return path(name);
    }
    // The file dialog gets the files typed into its name field (and the
    // filter entry chosen).
    void expectFiles(const QStringList& files, int filter = -1)
    {
        answers.expect([files, filter](QDialog& d) {
            auto& dialog = static_cast<QFileDialog&>(d);
            if (filter >= 0)
                dialog.selectNameFilter(dialog.nameFilters().at(filter));
            const QString typed = files.size() == 1 ? files.first() : '"' + files.join(QStringLiteral("\" \"")) + '"';
            dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
            return int(QDialog::Accepted);
        });
    }
    // The language chooser is answered with the language of that name.
    void expectLanguage(const QString& name)
    {
        answers.expect([name](QDialog& d) {
            auto* list = d.findChild<QListWidget*>(QStringLiteral("ListBox1"));
            list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
            return int(QDialog::Accepted);
        });
    }
    void expectPreview(Preview body)
    {
        answers.expect([body = std::move(body)](QDialog& d) {
            auto* preview = qobject_cast<gui::MergeForm*>(&d);
            EXPECT_TRUE(preview && preview->windowTitle() == QStringLiteral("Merge"));
            return preview ? body(*preview) : int(QDialog::Rejected);
        });
    }
    // Merges words.txt ("apple", "Cherry", "kiwi"; English) into apple, banana, cherry.
    void mergeFruit(Preview preview)
    {
        fill({row("apple", "1"), row("banana", "2"), row("cherry", "3")});
        expectFiles({source("words.txt", "apple\nCherry\nkiwi\n")});
        expectLanguage(QStringLiteral("English"));
        expectPreview(std::move(preview));
        form->Merge1->trigger();
    }
    // The rows the preview shows: "word|language|fate|source|checked".
    static QStringList shownRows(gui::MergeForm& p)
    {
        QStringList out;
        const QAbstractItemModel* m = p.Table->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = gui::MergeModel::ColWord; c <= gui::MergeModel::ColSource; ++c)
                cells << m->index(r, c).data().toString();
            out << cells.join('|') + '|' + QString::number(m->index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked);
        }
        return out;
    }
    // The capacity line as it must read for the preview's plan now.
    QString capacityLine(const gui::MergeForm& p)
    {
        const MergeCapacity c = mergeCapacity(form->editor(), p.plan());
        return QStringLiteral("Before: %1 of %2 bytes free, %3 words. After: %4 bytes free, %5 words (+%6, -%7)")
            .arg(c.freeBefore).arg(c.size).arg(c.wordsBefore).arg(c.freeAfter).arg(c.wordsAfter).arg(c.added).arg(c.removed);
    }
    static bool green(const QLabel* label) { return label->palette().color(QPalette::WindowText) == QColor(0, 128, 0); }
    QString status() { return form->statusBar()->currentMessage(); }
};

TEST_F(MergeForm, ThePreviewShowsEachWordsFateAndTheCapacityLineFollowsTheChecks)
{
    fill({row("apple", "1"), row("banana", "2")});
    const QString list = source("words.txt", "apple\nApple\ncherry\n");
    const QString gboard = source("keyboard.txt", "# Gboard Dictionary version:1\ndate\tdt\ten-US\nno tab\nbanana\t\ten-US\n");
    expectFiles({list, gboard});
    expectLanguage(QStringLiteral("English"));
    expectPreview([this](gui::MergeForm& p) {
        const QString en = "|English|";
        EXPECT_EQ(shownRows(p), (QStringList{"apple" + en + fateText(Fate::Present) + "|words.txt:1|0",
                                             "Apple" + en + fateText(Fate::CaseOnly) + "|words.txt:2|0",
                                             "cherry" + en + fateText(Fate::New) + "|words.txt:3|1",
                                             "date" + en + fateText(Fate::New) + "|keyboard.txt:2|1",
                                             "banana" + en + fateText(Fate::Present) + "|keyboard.txt:4|0"}));
        EXPECT_FALSE(p.model()->flags(p.model()->index(0, 0)) & Qt::ItemIsEnabled); // present: never added
        EXPECT_EQ(p.SkippedLabel->text(), QStringLiteral("1 line of the sources gave no word (see the report)"));
        EXPECT_TRUE(p.SkippedLabel->toolTip().contains(QStringLiteral("keyboard.txt:3: no tab")));

        // Space turns the selected word's check; Check all / Uncheck all act on the fate shown.
        const auto space = [&p](int row) { return [&p, row] { selectRows(p.Table, {row}); QTest::keyClick(p.Table, Qt::Key_Space); }; };
        const auto show = [&p](Fate fate) { p.FateFilter->setCurrentIndex(p.FateFilter->findData(int(fate))); };
        const std::pair<std::function<void()>, int> steps[] = {
            {space(2), 1}, {space(2), 2}, {space(0), 2}, // cherry off, on; a present word stays off
            {[&] { show(Fate::CaseOnly); p.CheckAllButton->click(); }, 3},
            {[&] { show(Fate::New); p.UncheckAllButton->click(); }, 1}};
        for (const auto& [act, added] : steps) {
            act();
            EXPECT_EQ(p.capacity().added, added);
            EXPECT_EQ(p.CapacityLabel->text(), capacityLine(p));
            EXPECT_TRUE(green(p.CapacityLabel) && !p.FitButton->isEnabled());
        }
        EXPECT_EQ(p.Table->model()->rowCount(), 2); // the new words only
        return int(QDialog::Rejected);
    });
    form->Merge1->trigger();
    EXPECT_EQ(words(), "apple,banana");
}

// Cancel and Escape change nothing; Merge adds the checked words as one step
// that one Undo takes back; a damaged source is told and nothing changes.
TEST_F(MergeForm, CallingThePreviewOffChangesNothingAndAMergeIsOneUndoableStep)
{
    const std::tuple<const char*, Preview, QString> cases[] = {
        {"Cancel", [](gui::MergeForm& p) { p.CancelButton->click(); return p.result(); }, "apple,banana,cherry"},
        {"Escape", [](gui::MergeForm& p) { QTest::keyClick(&p, Qt::Key_Escape); return p.result(); }, "apple,banana,cherry"},
        {"Merge", [](gui::MergeForm& p) { p.MergeButton->click(); return p.result(); }, "apple,banana,cherry,kiwi"}};
    for (const auto& [name, close, expected] : cases) {
        mergeFruit(close);
        EXPECT_EQ(words(), expected) << name;
    }
    EXPECT_EQ(form->Undo1->text(), QStringLiteral("Undo Merge"));
    EXPECT_TRUE(table().modified && form->isWindowModified());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(words(), "apple,banana,cherry");

    answers.shown.clear();
    expectFiles({source("broken.zip", QByteArray("PK\x03\x04", 4) + QByteArray(40, 'x'))});
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(answers.shown.size(), 2) << answers.shown.join(',').toStdString(); // the file dialog and the error
    EXPECT_EQ(words(), "apple,banana,cherry");
}

TEST_F(MergeForm, AMergeTooLargeForThePhoneIsFittedOrMergedOnlyAfterAYes)
{
    state().settings.UsersDictionarySize = 80;
    fill({row("apple", "1"), row("banana", "2")});
    expectFiles({source("words.txt", "cherry\ndamson\nelderberry\nfig\ngrape\nhuckleberry\n")});
    expectLanguage(QStringLiteral("English"));
    expectPreview([this](gui::MergeForm& p) {
        // The command proposed a fit already; checking everything undoes it.
        EXPECT_EQ(p.FateFilter->findData(int(Fate::DoesNotFit)) > 0, true);
        EXPECT_TRUE(green(p.CapacityLabel));
        p.CheckAllButton->click();
        EXPECT_TRUE(!green(p.CapacityLabel) && p.FitButton->isEnabled());
        const MergeCapacity full = p.capacity();
        answers.expectBox(QMessageBox::No);
        p.MergeButton->click();
        EXPECT_EQ(p.result(), 0); // still open
        EXPECT_EQ(answers.shown.last(), QStringLiteral("The merged dictionary does not fit into the users dictionary of 80 "
                                                       "bytes (%1 bytes too many). Merge anyway? Saving will be refused "
                                                       "until words are removed.").arg(1 - full.freeAfter));
        p.FitButton->click();
        EXPECT_TRUE(green(p.CapacityLabel) && !p.FitButton->isEnabled() && p.capacity().fitsAfter());
        EXPECT_EQ(p.RemovedLabel->isVisibleTo(&p), p.capacity().removed > 0);
        EXPECT_EQ(p.CapacityLabel->text(), capacityLine(p));
        p.MergeButton->click(); // fits: no question
        return p.result();
    });
    form->Merge1->trigger();
    EXPECT_GT(FreeBytes(state(), table()), 0);
    EXPECT_GT(table().count(), 2);
}

TEST_F(MergeForm, ExportWritesWhatTheKeyboardReadersReadBackAsTheTablesWords)
{
    fill({row("apple", "1"), DictRow{QStringLiteral("пряник"), "2", "02", "Russian", status::UsersDictionary}});
    const auto gboardWords = [](const QByteArray& bytes) { return ParseGboardText(bytes).words; };
    const std::tuple<int, const char*, const char*, std::function<QVector<KeyboardWord>(const QByteArray&)>> cases[] = {
        {0, "dict", "dict.zip", [&](const QByteArray& b) { return gboardWords(ExtractGboardText(b)); }},
        {1, "dict", "dict.txt", gboardWords},
        {2, "list.txt", "list.txt", [](const QByteArray& b) { return ParseWordList(b).words; }}};
    for (const auto& [filter, typed, written, read] : cases) {
        expectFiles({path(typed)}, filter);
        form->Export1->trigger();
        const QVector<KeyboardWord> words = read(readWholeFile(path(written)));
        ASSERT_EQ(words.size(), 2) << written;
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(words[i].word, table().row(i).word);
            if (filter < 2) // each word carries the locale of its language
                EXPECT_EQ(languageOfLocale(state().langStructure, words[i].locale), i + 1) << words[i].locale.toStdString();
        }
        EXPECT_EQ(status(), QStringLiteral("Exported 2 words to %1").arg(written));
    }
    // Replacing a file is asked first; an empty table is never exported.
    writeFileSafely(path("dict.zip"), "mine");
    expectFiles({path("dict")}, 0);
    answers.expectBox(QMessageBox::No);
    form->Export1->trigger();
    EXPECT_EQ(readWholeFile(path("dict.zip")), "mine");
    fill({});
    answers.shown.clear();
    answers.expectBox(QMessageBox::Ok);
    form->Export1->trigger();
    EXPECT_EQ(answers.shown, QStringList{QStringLiteral("The dictionary is empty; there is nothing to export.")});
}

} // namespace vexlon::test
