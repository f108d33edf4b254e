// The main window's wiring: keys, buttons, menu items, header clicks,
// double clicks and status line clicks reach their commands, and what a
// command decides reaches the user. The rules of the commands are the core
// tests' business.
#include "GuiSupport.h"

#include "core/base/CodePage1251.h"
#include "core/dictionary/TableOps.h"
#include "gui/DictionaryModel.h"
#include "gui/UsageGauge.h"

#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QToolButton>

namespace vexlon::test {

class MainWindow : public MainWindowTest {
protected:
    void SetUp() override { start(); }
    // The dialogs shown, the words and the modified mark.
    QString outcome()
    {
        return answers.shown.join(QLatin1Char(',')) + QLatin1Char('|') + QString::fromLatin1(words(table()).join(',')) +
               QLatin1Char('|') + QString::number(table().modified);
    }
};

// Each toolbar button and the key its hint names run the same command; every
// dialog is cancelled (a question is answered Yes). Saving puts the rows in
// Number order; without a phone Save to Phone builds the file all the same.
TEST_F(MainWindow, ToolbarButtonsAndTheKeysTheirHintsNameRunTheSameCommand)
{
    answers.otherwise = [](QDialog& d) {
        return qobject_cast<QMessageBox*>(&d) ? int(QMessageBox::Yes) : int(QDialog::Rejected);
    };
    const struct {
        QToolButton* button;
        QKeyCombination key;
        QString outcome;
    } cases[] = {{form->ToolButton2, Qt::CTRL | Qt::Key_O, texts().MESSAGES(26) + ",OpenDialog1|bb,aa|0"},
                 {form->ToolButton3, Qt::CTRL | Qt::Key_S, "SaveDialog1|aa,bb|0"},
                 {form->ToolButton4, Qt::ALT | Qt::Key_O, "|bb,aa|0"}, // no phone: the status is refreshed
                 {form->ToolButton5, Qt::ALT | Qt::Key_S, texts().MESSAGES(27) + "|aa,bb|0"},
                 {form->ToolButton6, QKeyCombination(Qt::Key_F5), "TSettingForm|bb,aa|1"},
                 {form->ToolButton7, QKeyCombination(Qt::Key_F2), "TBLACKFORM|bb,aa|1"},
                 {form->ToolButton8, QKeyCombination(Qt::Key_F3), "TWHITEFORM|bb,aa|1"},
                 {form->ToolButton9, QKeyCombination(Qt::Key_F4), "TST|bb,aa|1"},
                 {form->ToolButton10, QKeyCombination(Qt::Key_F8), "TAPF|bb,aa|1"}};
    for (const auto& c : cases) {
        const std::string name = c.button->objectName().toStdString();
        EXPECT_EQ(c.button->toolTip(), QKeySequence(c.key).toString()) << name;
        for (bool byKey : {true, false}) {
            fill({row("bb", "2"), row("aa", "1")});
            table().modified = true;
            answers.shown.clear();
            byKey ? key(c.key.key(), c.key.keyboardModifiers()) : c.button->click();
            EXPECT_EQ(outcome(), c.outcome) << name << (byKey ? " key" : " button");
        }
    }
    EXPECT_EQ(QFileInfo(dir.path("TempFile/PhULFile.iud")).size(), 5100); // built by Save to Phone
    // New asks before discarding changes; the Clear item's Ctrl+N does not.
    answers.shown.clear();
    answers.expectBox(QMessageBox::No);
    form->ToolButton1->click();
    EXPECT_EQ(outcome(), texts().MESSAGES(26) + "|bb,aa|1");
}

// The popup menu's captions come from the pack, and each item's key works
// while the table has the focus.
TEST_F(MainWindow, PopupItemsTakeTheirCaptionsFromThePackAndAnswerTheirKeys)
{
    QStringList captions, expected;
    for (QAction* a : form->PopupMenu1->actions()) {
        expected << texts().UI(15 + captions.size());
        captions << a->text();
    }
    EXPECT_EQ(captions.size(), 8);
    EXPECT_EQ(captions, expected);

    answers.otherwise = [](QDialog&) { return int(QDialog::Rejected); };
    const std::pair<QAction*, QKeyCombination> items[] = {
        {form->Clear1, Qt::CTRL | Qt::Key_N},          {form->Add1, Qt::CTRL | Qt::Key_D},
        {form->SetLanguage1, Qt::CTRL | Qt::Key_L},    {form->N1, Qt::CTRL | Qt::Key_Delete},
        {form->LockUnlock1, Qt::CTRL | Qt::Key_U},     {form->Symbols1, Qt::CTRL | Qt::ALT | Qt::Key_S},
        {form->Numbers1, Qt::CTRL | Qt::ALT | Qt::Key_N}, {form->Language1, Qt::CTRL | Qt::ALT | Qt::Key_L},
        {form->ByLength1, Qt::CTRL | Qt::ALT | Qt::Key_E}, {form->Intelect1, Qt::CTRL | Qt::ALT | Qt::Key_I},
        {form->BlackList1, Qt::CTRL | Qt::ALT | Qt::Key_B}, {form->All1, Qt::CTRL | Qt::ALT | Qt::Key_A},
        {form->oBlackList1, Qt::CTRL | Qt::Key_B},     {form->oWhiteList1, Qt::CTRL | Qt::Key_W}};
    for (const auto& [action, combination] : items) {
        QSignalSpy triggered(action, &QAction::triggered);
        key(combination.key(), combination.keyboardModifiers());
        EXPECT_EQ(triggered.count(), 1) << action->objectName().toStdString();
    }
}

// Some items run to their effect: Delete tells why protected rows stay,
// Numbers cleans, Add opens the in-place editor whose text goes through the
// core's edit, Clear empties.
TEST_F(MainWindow, PopupKeysReachTheirCommands)
{
    fill({row("alpha", "1"), row("beta", "2", "Locked"), row("abc123", "3")});
    selectRows(form->ListView1, {0, 1});
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(answers.shown, QStringList{texts().MESSAGES(13)});
    key(Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(words(table()), (QByteArrayList{"beta", "abc"}));
    answers.expect([](QDialog&) { return int(QDialog::Accepted); });
    key(Qt::Key_D, Qt::ControlModifier);
    typeInEditor(form->ListView1, QStringLiteral("Hello World"));
    EXPECT_EQ(words(table()), (QByteArrayList{"beta", "helloworld", "abc"}));
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(table().count(), 0);
}

// Ctrl+O and Alt+O are two keys: Ctrl+Alt+O is neither, and runs nothing.
TEST_F(MainWindow, CtrlAndAltTogetherRunNeitherCommand)
{
    table().modified = true;
    key(Qt::Key_O, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(answers.shown.isEmpty());
    EXPECT_TRUE(table().modified);
}

// The view shows the words from their code page; only the word of an
// unprotected row is editable.
TEST_F(MainWindow, ModelShowsTheTable)
{
    fill({row("", "1"), row("beta", "2", "Locked")});
    table().setCell(0, ColWord, cp1251::fromUnicode(u"\u0441\u043b\u043e\u0432\u043e"));
    const gui::DictionaryModel* m = form->model();
    EXPECT_EQ(m->index(0, 0).data().toString(), QString::fromUtf16(u"\u0441\u043b\u043e\u0432\u043e"));
    const auto editable = [m](int r, int c) { return bool(m->flags(m->index(r, c)) & Qt::ItemIsEditable); };
    EXPECT_EQ(QList<bool>({editable(0, 0), editable(0, 1), editable(1, 0)}), QList<bool>({true, false, false}));
}

TEST_F(MainWindow, OpenDialogReadsTheChosenFileWithTheChosenFilterAndOffersItAgain)
{
    writeFile(dir.path("words.txt"), "zebra apple");
    answers.expect([this](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        dialog.selectNameFilter(dialog.nameFilters().at(1)); // Text Files
        dialog.selectFile(dir.path("words.txt"));
        return int(QDialog::Accepted);
    });
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(words(table()), (QByteArrayList{"zebra", "apple"}));
    EXPECT_EQ(form->model()->rowCount(), 2);
    answers.expect([](QDialog& d) {
        EXPECT_EQ(dynamic_cast<QFileDialog&>(d).selectedNameFilter(), QStringLiteral("Text Files (*.txt)"));
        return int(QDialog::Rejected);
    });
    key(Qt::Key_O, Qt::ControlModifier);
}

// A selects all, F7 selects what the core finds, Ctrl+Up/Down move the
// selected row and the selection follows it.
TEST_F(MainWindow, SelectFindAndMoveKeys)
{
    fill({row("apple", "1"), row("Apricot", "2"), row("apex", "3")});
    key(Qt::Key_A);
    EXPECT_EQ(selectedRows(form->ListView1), (QList<int>{0, 1, 2}));
    answers.expect([](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("ap"));
        return int(QDialog::Accepted);
    });
    key(Qt::Key_F7);
    EXPECT_EQ(selectedRows(form->ListView1), (QList<int>{0, 2}));

    selectRows(form->ListView1, {1});
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(words(table()), (QByteArrayList{"apple", "apex", "Apricot"}));
    EXPECT_EQ(selectedRows(form->ListView1), QList<int>{2});
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(words(table()).value(1), QByteArray("Apricot"));
}

TEST_F(MainWindow, DoubleClickEditsUnprotectedRowsOnly)
{
    fill({row("white", "1", "White List"), row("Plain", "2")});
    doubleClickWord(form->ListView1, 0);
    EXPECT_EQ(editorOf(form->ListView1), nullptr);
    doubleClickWord(form->ListView1, 1);
    ASSERT_NE(editorOf(form->ListView1), nullptr);
    typeInEditor(form->ListView1, QStringLiteral("Ab Cd"), Qt::Key_Escape); // cancelled: nothing changes
    EXPECT_EQ(table().row(1).word, QByteArray("Plain"));
    EXPECT_FALSE(table().modified);
}

TEST_F(MainWindow, HeaderClickSortsKeepingTheSelectionAndShowsAConversionError)
{
    fill({row("b", "10"), row("a", "9"), row("c", "zz")});
    selectRows(form->ListView1, {0}); // "b"
    clickHeader(form->ListView1, ColWord);
    EXPECT_EQ(words(table()), (QByteArrayList{"a", "b", "c"}));
    EXPECT_EQ(selectedRows(form->ListView1), QList<int>{1});
    answers.expectBox(QMessageBox::Ok);
    clickHeader(form->ListView1, ColNumber);
    EXPECT_EQ(answers.shown, QStringList{QStringLiteral("'zz' is not a valid integer value")});
    EXPECT_EQ(form->Label5->text(), QString()); // the progress display is at rest
}

// F6 asks before putting the white list on top and renumbering.
TEST_F(MainWindow, WhiteListKeyAsksFirst)
{
    fill({row("b", "7"), row("a", "3")});
    answers.expectBox(QMessageBox::No);
    key(Qt::Key_F6);
    EXPECT_EQ(answers.shown, QStringList{texts().MESSAGES(18)});
    EXPECT_EQ(table().row(0).number, QByteArray("7"));
    answers.expectBox(QMessageBox::Yes);
    key(Qt::Key_F6);
    EXPECT_EQ(table().row(0).number, QByteArray("1"));
    EXPECT_EQ(table().row(1).number, QByteArray("2"));
}

TEST_F(MainWindow, StatusLineClickOpensAGaugeWindowPerClick)
{
    fill({row("ab", "1"), row("abc", "2")});
    QTest::mouseClick(form->Label3, Qt::LeftButton);
    QTest::mouseClick(form->Label3, Qt::LeftButton);
    const QList<gui::UsageGaugeWindow*> windows = form->findChildren<gui::UsageGaugeWindow*>();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows.first()->values().free, FreeBytes(state(), table()));
}

} // namespace vexlon::test
