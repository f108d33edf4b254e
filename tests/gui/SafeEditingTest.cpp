// The main window keeps the user's words: questions before they are
// dropped, undo and redo, the filter, the title and status bar, the keys a
// desktop user expects, the layout at every size and the remembered window.
#include "GuiSupport.h"

#include "core/app/DictionaryFiles.h"
#include "core/base/CodePage1251.h"
#include "core/base/TextFile.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>

namespace vexlon::test {

class SafeEditing : public MainWindowTest {
protected:
    QString shown() { return answers.shown.join(','); }
    QVector<DictRow> fruit() { return {row("apple", "1"), row("Apricot", "2"), row("banana", "3"), row("cherry", "4")}; }
    QString status() { return form->statusBar()->currentMessage(); }
    // The next dialog (a file or Find dialog) gets the text typed into its line and is accepted.
    void expectText(const QString& text)
    {
        answers.expect([text](QDialog& d) {
            QLineEdit* line = d.findChild<QLineEdit*>(QStringLiteral("Edit1"));
            (line ? line : d.findChild<QLineEdit*>())->setText(text);
            return int(QDialog::Accepted);
        });
    }
};

TEST_F(SafeEditing, UnsavedWordsAreNeverDroppedWithoutAYes)
{
    fill(fruit(), true);
    // Closing, Ctrl+N and Open each ask; No keeps everything.
    answers.expectBox(QMessageBox::No);
    EXPECT_TRUE(!form->close() && form->isVisible());
    answers.expectBox(QMessageBox::No);
    key(Qt::Key_N, Qt::ControlModifier);
    answers.expectBox(QMessageBox::No);
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(shown(), QStringList(3, texts().MESSAGES(26)).join(','));
    EXPECT_EQ(words(), "apple,Apricot,banana,cherry");

    // No to "size differs" leaves the loaded words, modified mark and all.
    QFile shortFile(path("short.iud"));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly) && shortFile.write(QByteArray(100, '\0')) == 100);
    shortFile.close();
    answers.expectBox(QMessageBox::Yes);
    expectText(path("short.iud"));
    answers.expectBox(QMessageBox::No);
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(words() == "apple,Apricot,banana,cherry" && table().modified) << words().toStdString();

    // The dialogs of Ctrl shortcuts leave no Ctrl behind: plain S and Down
    // neither save nor move.
    answers.shown.clear();
    selectRows(form->ListView1, {0});
    key(Qt::Key_S);
    key(Qt::Key_Down);
    EXPECT_EQ(shown() + '|' + words(), "|apple,Apricot,banana,cherry");

    answers.expectBox(QMessageBox::Yes);
    EXPECT_TRUE(form->close());
}

TEST_F(SafeEditing, EveryChangeIsUndoneAndRedoneByKeyAndNamed)
{
    fill({row("it's", "1"), row("ok", "2"), row("a.b", "3")});
    key(Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(words(), "its,ok,ab");
    EXPECT_EQ(status(), QStringLiteral("Cleaning changed 2 words"));
    EXPECT_EQ(form->Undo1->text(), QStringLiteral("Undo Cleaning: Symbols"));
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("New dictionary[*]")) && form->isWindowModified());
    selectRows(form->ListView1, {1});
    key(Qt::Key_Delete);
    EXPECT_EQ(words(true), "its 1,ab 3*"); // the next word is selected
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(words(), "its,ok,ab");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(words(), "it's,ok,a.b");
    EXPECT_EQ(status(), QStringLiteral("Undo Cleaning: Symbols"));
    EXPECT_FALSE(form->Undo1->isEnabled());
    EXPECT_EQ(form->Redo1->text(), QStringLiteral("Redo Cleaning: Symbols"));
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(words(), "its,ok,ab");
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(words(), "its,ab");
    EXPECT_TRUE(form->PopupMenu1->actions().contains(form->Undo1));
}

TEST_F(SafeEditing, TheFilterHidesWordsAndCommandsActOnWhatIsShown)
{
    QVector<DictRow> rows = fruit();
    rows << row("", "5");
    rows.last().word = QStringLiteral("Пряник");
    fill(rows);
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(form->FilterEdit->hasFocus());
    QTest::keyClicks(form->FilterEdit, QStringLiteral("AP"));
    EXPECT_EQ(form->ListView1->model()->rowCount(), 2);
    EXPECT_EQ(form->FilterCount->text(), QStringLiteral("2 of 5 words match"));
    form->FilterEdit->setText(QStringLiteral("пРЯ")); // letters of the code page, any case
    EXPECT_EQ(form->ListView1->model()->rowCount(), 1);

    form->FilterEdit->setText(QStringLiteral("an"));
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Delete);
    // Only "banana" was shown; the numbers of the others stay.
    form->FilterEdit->clear();
    EXPECT_EQ(words(true), "apple 1,Apricot 2,cherry 4," + rows.last().word + " 5");
}

TEST_F(SafeEditing, CommandsSayWhatTheyDidAndWhyNothingHappened)
{
    fill(fruit());
    // Find without a match (Open from Phone without a phone: MainWindow's tests).
    expectText(QStringLiteral("zz"));
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_F7);
    EXPECT_EQ(shown(), QStringLiteral("FindInTable,No word begins with \"zz\"."));

    // Words that do not fit are refused with the reason.
    answers.shown.clear();
    state().settings.UsersDictionarySize = 30;
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(shown().startsWith(QStringLiteral("The dictionary has not been saved: its words do not fit")));

    // A save confirms in the status bar and names the file in the title.
    state().settings.UsersDictionarySize = 5100;
    expectText(path("mine"));
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(status(), QStringLiteral("Saved 4 words to mine.iud"));
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("mine.iud[*]")) && !form->isWindowModified());
}

TEST_F(SafeEditing, KeysHeadersAndTheNewWordBehaveAsOnADesktop)
{
    fill(fruit());
    QHeaderView* header = form->ListView1->horizontalHeader();
    clickHeader(form->ListView1, ColNumber);
    clickHeader(form->ListView1, ColNumber);
    EXPECT_EQ(words(), "cherry,banana,Apricot,apple");
    EXPECT_TRUE(header->isSortIndicatorShown() && header->sortIndicatorOrder() == Qt::DescendingOrder);
    clickHeader(form->ListView1, ColNumber);
    EXPECT_EQ(words(), "apple,Apricot,banana,cherry");

    // Enter edits the current word; Tab leaves the table.
    selectRows(form->ListView1, {2});
    key(Qt::Key_Return);
    typeInEditor(form->ListView1, QStringLiteral("Kiwi"));
    EXPECT_EQ(words(), "apple,Apricot,kiwi,cherry");
    key(Qt::Key_Tab);
    EXPECT_TRUE(qobject_cast<QToolButton*>(QApplication::focusWidget())) << "Tab reaches the buttons";

    // The word added (its language accepted) goes through the core's edit
    // and stays selected.
    answers.otherwise = [](QDialog&) { return int(QDialog::Accepted); };
    selectRows(form->ListView1, {0});
    key(Qt::Key_D, Qt::ControlModifier);
    typeInEditor(form->ListView1, QStringLiteral("Fig Tree"));
    EXPECT_EQ(words(true), "apple 1,figtree 1*,Apricot 2,kiwi 3,cherry 4");
}

TEST_F(SafeEditing, NothingOverlapsAtAnySizeAndTheWindowIsRemembered)
{
    const auto bottomOfTable = [this] { return form->ListView1->mapTo(form.get(), QPoint(0, form->ListView1->height())).y(); };
    const auto topOfStatus = [this] { return form->GroupBox2->mapTo(form.get(), QPoint(0, 0)).y(); };
    for (const QSize size : {form->minimumSize(), QSize(800, 600), QSize(1000, 900)}) {
        form->resize(size);
        QCoreApplication::processEvents();
        EXPECT_LE(bottomOfTable(), topOfStatus()) << size.width() << 'x' << size.height();
        EXPECT_LE(form->Panel1->mapTo(form.get(), QPoint(0, form->Panel1->height())).y(),
                  form->statusBar()->mapTo(form.get(), QPoint(0, 0)).y());
    }
    EXPECT_LE(form->minimumHeight(), 600);

    form->resize(900, 700);
    QHeaderView* header = form->ListView1->horizontalHeader();
    header->resizeSection(ColNumber, 111);
    fill(fruit());
    clickHeader(form->ListView1, ColWord);
    ASSERT_TRUE(form->close());
    form = std::make_unique<gui::TMainForm>(QStringList{}, path());
    EXPECT_EQ(form->size(), QSize(900, 700));
    header = form->ListView1->horizontalHeader();
    EXPECT_TRUE(header->sectionSize(ColNumber) == 111 && header->sortIndicatorSection() == ColWord && form->editor().sortColumn == ColWord);
}

// A phone code without a character shows as its byte and is flagged in the
// Status column; a letter the phone cannot store in the row's language is
// named while it is typed, and the word is marked once it is in the table.
TEST_F(SafeEditing, CodesAndLettersThePhoneCannotShowOrStoreAreMarked)
{
    QVector<DictRow> rows = fruit();
    rows[0].word = QStringLiteral("ab") + cp1251::keptCode(0x98);
    fill(rows);
    QAbstractItemModel* model = form->ListView1->model();
    EXPECT_EQ(model->index(0, ColWord).data().toString(), QStringLiteral(u"ab\u27E898\u27E9"));
    EXPECT_TRUE(model->index(0, ColStatus).data().toString().contains(QStringLiteral("kept codes 98")));
    EXPECT_FALSE(model->index(0, ColWord).data(Qt::ForegroundRole).isValid()); // shown, not flagged red

    const QModelIndex banana = model->index(2, ColWord);
    form->ListView1->setCurrentIndex(banana);
    form->ListView1->edit(banana);
    auto* editor = form->ListView1->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("ban"));
    EXPECT_EQ(editor->property("letterNotes").toString(), QString());
    editor->setText(QStringLiteral(u"grüße"));
    EXPECT_TRUE(editor->property("letterNotes").toString().contains(QStringLiteral("U+00FC"))) << editor->toolTip().toStdString();
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the view commits when the event loop runs
    EXPECT_EQ(table().row(2).word, QStringLiteral(u"grüße"));
    EXPECT_EQ(model->index(2, ColWord).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_TRUE(model->index(2, ColStatus).data().toString().contains(QStringLiteral(u"cannot store \"ü\"")));

    // Saved as CSV: the Windows-1251 entry refuses the letter and writes
    // nothing, the UTF-8 entry keeps it.
    const auto saveAs = [&](int filter, const char* name, bool refused) {
        answers.expect([&, filter, name](QDialog& d) {
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            dialog.selectNameFilter(dialog.nameFilters().at(filter));
            dialog.selectFile(path(name));
            return int(QDialog::Accepted);
        });
        if (refused)
            answers.expectBox(QMessageBox::Ok);
        key(Qt::Key_S, Qt::ControlModifier);
    };
    saveAs(1, "words.csv", true);
    EXPECT_TRUE(answers.shown.last().contains(QStringLiteral("Windows-1251 cannot store"))) << answers.shown.last().toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("words.csv")));
    EXPECT_TRUE(table().modified);
    saveAs(2, "words.csv", false);
    const QByteArray saved = readWholeFile(path("words.csv"));
    EXPECT_TRUE(saved.startsWith("\xEF\xBB\xBF") && saved.contains(QStringLiteral(u"grüße;01;").toUtf8())) << saved.toStdString();
    EXPECT_FALSE(table().modified);
}

} // namespace vexlon::test
