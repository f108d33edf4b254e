// The main window driven as a user drives it: keys, menu shortcuts, header
// clicks, double clicks and in-place editing.
#include "GuiSupport.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "gui/DictionaryModel.h"
#include "gui/UsageGauge.h"

#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>

namespace vexlon::test {

class MainWindow : public MainWindowTest {
protected:
    void SetUp() override { start(); }
};

// Hints and shortcuts of the buttons and menu items, and the popup's
// captions from the pack.
TEST_F(MainWindow, HintsShortcutsAndPopupCaptions)
{
    QStringList hints, keys;
    for (QToolButton* b : {form->ToolButton1, form->ToolButton2, form->ToolButton3, form->ToolButton4, form->ToolButton5,
                           form->ToolButton6, form->ToolButton7, form->ToolButton8, form->ToolButton9, form->ToolButton10})
        hints << b->toolTip();
    EXPECT_EQ(hints.join(QLatin1Char(' ')), QStringLiteral("Ctrl+N Ctrl+O Ctrl+S Alt+O Alt+S F5 F2 F3 F4 F8"));
    for (QAction* a : {form->Clear1, form->Add1, form->SetLanguage1, form->N1, form->LockUnlock1, form->Symbols1,
                       form->Numbers1, form->Language1, form->ByLength1, form->Intelect1, form->BlackList1, form->All1,
                       form->oBlackList1, form->oWhiteList1})
        keys << a->shortcut().toString();
    EXPECT_EQ(keys.join(QLatin1Char(' ')), QStringLiteral("Ctrl+N Ctrl+D Ctrl+L Ctrl+Del Ctrl+U Ctrl+Alt+S Ctrl+Alt+N "
                                                          "Ctrl+Alt+L Ctrl+Alt+E Ctrl+Alt+I Ctrl+Alt+B Ctrl+Alt+A Ctrl+B Ctrl+W"));
    QStringList captions, expected;
    for (QAction* a : form->PopupMenu1->actions()) {
        expected << texts().UI(15 + captions.size());
        captions << a->text();
    }
    EXPECT_EQ(captions.size(), 8);
    EXPECT_EQ(captions, expected);
}

TEST_F(MainWindow, ModelPresentsTheTableAndFollowsItsChanges)
{
    fill({row("alpha", "1"), row("", "2", "0A")});
    table().setCell(1, ColWord, cp1251::fromUnicode(u"\u0441\u043b\u043e\u0432\u043e"));
    gui::DictionaryModel* m = form->model();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->index(1, 0).data().toString(), QString::fromUtf16(u"\u0441\u043b\u043e\u0432\u043e"));
    EXPECT_EQ(m->index(1, 2).data().toString(), QStringLiteral("0A"));
    EXPECT_TRUE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);
    table().insert(1, row("beta", "5"));
    table().removeAt(0);
    table().setCell(0, ColStatus, "Locked");
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("beta"));
    EXPECT_EQ(m->index(0, 4).data().toString(), QStringLiteral("Locked"));
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(MainWindow, ModifierKeysDecideBetweenFileAndPhoneCommands)
{
    fill({row("alpha", "1")});
    // Ctrl then O: the question about the changes, the open dialog, nothing else.
    table().modified = true;
    answers.expectBox(QMessageBox::Yes);
    answers.expectNamed(QStringLiteral("OpenDialog1"), QDialog::Rejected);
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(answers.texts().value(0), texts().MESSAGES(26));
    EXPECT_EQ(answers.shown.size(), 2);
    EXPECT_FALSE(table().modified);
    EXPECT_FALSE(form->CtrlDown);

    // Ctrl, then Alt, then O: Open from Phone only (no phone: the status
    // line is refreshed and the table counts as unmodified, no dialog).
    answers.shown.clear();
    table().modified = true;
    QTest::keyPress(form->ListView1, Qt::Key_Control);
    QTest::keyPress(form->ListView1, Qt::Key_Alt);
    EXPECT_TRUE(form->AltDown);
    EXPECT_FALSE(form->CtrlDown);
    QTest::keyClick(form->ListView1, Qt::Key_O);
    QTest::keyRelease(form->ListView1, Qt::Key_Alt);
    QTest::keyRelease(form->ListView1, Qt::Key_Control);
    EXPECT_TRUE(answers.shown.isEmpty());
    EXPECT_FALSE(table().modified);
    EXPECT_EQ(table().count(), 1);
    EXPECT_EQ(form->Label4->text(), texts().MESSAGES(21));
}

TEST_F(MainWindow, OpenDialogReadsTheChosenFileWithTheChosenFilter)
{
    answers.expect([this](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        dialog.selectNameFilter(dialog.nameFilters().at(1)); // Text Files
        dialog.selectFile(dir.path("words.txt"));
        return int(QDialog::Accepted);
    });
    writeFile(dir.path("words.txt"), "zebra apple mango");
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(words(table()), (QByteArrayList{"zebra", "apple", "mango"}));
    EXPECT_EQ(form->model()->rowCount(), 3);
    EXPECT_TRUE(form->Label3->text().contains(QStringLiteral("3")));
    // The filter chosen is offered again next time.
    answers.expect([](QDialog& d) {
        EXPECT_EQ(dynamic_cast<QFileDialog&>(d).selectedNameFilter(), QStringLiteral("Text Files (*.txt)"));
        return int(QDialog::Rejected);
    });
    key(Qt::Key_O, Qt::ControlModifier);
}

TEST_F(MainWindow, SelectAllFindAndMoveKeys)
{
    fill({row("apple", "1"), row("Apricot", "2"), row("apex", "3"), row("grape", "4")});
    key(Qt::Key_A);
    EXPECT_EQ(selectedRows(form->ListView1), (QList<int>{0, 1, 2, 3}));

    // F7: rows whose word begins with the text exactly; the earlier selection goes.
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("FindInTable"));
        d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("ap"));
        return int(QDialog::Accepted);
    });
    key(Qt::Key_F7);
    EXPECT_EQ(selectedRows(form->ListView1), (QList<int>{0, 2}));

    // Ctrl+Down moves the first selected row; numbers move with it.
    selectRows(form->ListView1, {1});
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(words(table()), (QByteArrayList{"apple", "apex", "Apricot", "grape"}));
    EXPECT_EQ(table().row(2).number, QByteArray("2"));
    EXPECT_EQ(selectedRows(form->ListView1), (QList<int>{2}));
    key(Qt::Key_Up, Qt::ControlModifier);
    key(Qt::Key_Up, Qt::ControlModifier);
    key(Qt::Key_Up, Qt::ControlModifier); // at the top: nothing
    EXPECT_EQ(words(table()), (QByteArrayList{"Apricot", "apple", "apex", "grape"}));
    EXPECT_FALSE(table().modified);
}

TEST_F(MainWindow, PopupShortcutsDeleteAddAndClean)
{
    fill({row("alpha", "1"), row("beta", "2", "01", "Locked"), row("gamma", "3"), row("abc123", "4")});
    selectRows(form->ListView1, {0, 1});
    answers.expectBox(QMessageBox::Ok); // MESSAGES[13]: protected rows stay
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(answers.texts(), QStringList{texts().MESSAGES(13)});
    EXPECT_EQ(words(table()), (QByteArrayList{"beta", "gamma", "abc123"}));
    EXPECT_TRUE(table().modified);

    // Ctrl+Alt+N: the Numbers cleaning.
    key(Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(words(table()), (QByteArrayList{"beta", "gamma", "abc"}));

    // Ctrl+D: the language chooser, then a row "new" after the selection
    // with the in-place editor open on it.
    selectRows(form->ListView1, {0});
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("ChooseLanguage"));
        auto* list = d.findChild<QListWidget*>();
        EXPECT_GT(list->count(), 1);
        list->setCurrentRow(1);
        return int(QDialog::Accepted);
    });
    key(Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(table().count(), 4);
    EXPECT_EQ(table().row(1).word, QByteArray("new"));
    EXPECT_EQ(table().row(1).languageId, byteToHex(form->editor().state.langStructure.Languages.at(1).ID));
    EXPECT_EQ(table().row(1).status, QByteArray("Added by User"));
    typeInEditor(form->ListView1, QStringLiteral("Hello World"));
    EXPECT_EQ(table().row(1).word, QByteArray("helloworld"));
    EXPECT_EQ(table().row(1).status, QByteArray("Edited by User"));

    // Ctrl+N: Clear, without a question.
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(table().count(), 0);
    EXPECT_FALSE(table().modified);
}

TEST_F(MainWindow, DoubleClickEditsUnprotectedRowsOnly)
{
    fill({row("white", "1", "01", "White List"), row("Plain", "2")});
    selectRows(form->ListView1, {0});
    form->ListView1DblClick();
    EXPECT_EQ(form->ListView1->findChild<QLineEdit*>(), nullptr);

    doubleClickWord(form->ListView1, 1);
    ASSERT_NE(editorOf(form->ListView1), nullptr);
    EXPECT_EQ(editorOf(form->ListView1)->text(), QStringLiteral("Plain"));
    typeInEditor(form->ListView1, QStringLiteral("Ab Cd"), Qt::Key_Escape); // cancelled: nothing changes
    EXPECT_EQ(table().row(1).word, QByteArray("Plain"));
    EXPECT_FALSE(table().modified);
}

TEST_F(MainWindow, HeaderClicksSortAndConversionErrorsAreShown)
{
    fill({row("b", "10"), row("a", "9"), row("c", "100")});
    selectRows(form->ListView1, {0}); // "b"
    clickHeader(form->ListView1, ColNumber);
    EXPECT_EQ(words(table()), (QByteArrayList{"a", "b", "c"}));
    EXPECT_EQ(selectedRows(form->ListView1), QList<int>{1}); // the selection follows its row
    clickHeader(form->ListView1, ColStatus);
    EXPECT_EQ(words(table()), (QByteArrayList{"a", "b", "c"}));

    table().setCell(1, ColNumber, "zz");
    answers.expectNamed(QStringLiteral("ErrorBox"), QMessageBox::Ok);
    clickHeader(form->ListView1, ColNumber);
    EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("'zz' is not a valid integer value")});
    EXPECT_EQ(form->Label5->text(), QString()); // the progress display is at rest
}

TEST_F(MainWindow, WhiteListKeyAsksFirst)
{
    fill({row("b", "7"), row("a", "3")});
    answers.expectBox(QMessageBox::No);
    key(Qt::Key_F6);
    EXPECT_EQ(answers.texts(), QStringList{texts().MESSAGES(18)});
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
    QList<gui::UsageGaugeWindow*> windows = form->findChildren<gui::UsageGaugeWindow*>();
    ASSERT_EQ(windows.size(), 2);
    const gui::GaugeValues& v = windows.first()->values();
    EXPECT_EQ(v.used, 19 + 8 + 8);
    EXPECT_EQ(v.free, 5100 - 35);
}

TEST_F(MainWindow, SaveToPhoneWithoutPhoneBuildsTheFileAndSaysSo)
{
    fill({row("alpha", "2"), row("beta", "1")});
    table().modified = true;
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(answers.texts(), QStringList{texts().MESSAGES(27)});
    EXPECT_EQ(QFileInfo(dir.path("TempFile/PhULFile.iud")).size(), 5100);
    EXPECT_EQ(words(table()), (QByteArrayList{"beta", "alpha"})); // ordered by Number
    EXPECT_FALSE(table().modified);
}

} // namespace vexlon::test
