// The main window driven as a user drives it: keys, menu shortcuts, header
// clicks, double clicks and in-place editing.
#include "GuiSupport.h"

#include "app/base/Ansi.h"
#include "app/base/Convert.h"
#include "gui/DictionaryModel.h"
#include "gui/SharedDialogs.h"
#include "gui/UsageGauge.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace vexlon::test {

using gui::TMainForm;

class MainWindow : public testing::Test {
protected:
    void SetUp() override
    {
        writeSettings(dir);
        form = std::make_unique<TMainForm>(QStringList{}, dir.dir());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QApplication::setActiveWindow(form.get());
        form->ListView1->setFocus();
        QCoreApplication::processEvents();
    }
    void fill(QVector<DictRow> rows)
    {
        form->editor().table.replaceAll(std::move(rows));
        form->editor().table.modified = false;
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(form->ListView1, Qt::Key(k), mods);
    }
    DictionaryTable& table() { return form->editor().table; }
    const UiTexts& texts() { return form->editor().state.texts; }

    ProgramDir dir;
    ScriptedAnswerer answers;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainWindow, LayoutControlsCaptionsAndHints)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vexlon"));
    EXPECT_EQ(form->minimumSize(), QSize(670, 580));
    const std::pair<QToolButton*, const char*> hints[] = {
        {form->ToolButton1, "Ctrl+N"}, {form->ToolButton2, "Ctrl+O"}, {form->ToolButton3, "Ctrl+S"},
        {form->ToolButton4, "Alt+O"},  {form->ToolButton5, "Alt+S"},  {form->ToolButton6, "F5"},
        {form->ToolButton7, "F2"},     {form->ToolButton8, "F3"},     {form->ToolButton9, "F4"},
        {form->ToolButton10, "F8"}};
    for (const auto& [button, hint] : hints)
        EXPECT_EQ(button->toolTip(), QString::fromLatin1(hint)) << button->objectName().toStdString();
    EXPECT_EQ(form->findChild<QTableView*>(QStringLiteral("ListView1")), form->ListView1);
    EXPECT_EQ(form->ListView1->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(form->ListView1->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    const std::pair<QAction*, QKeySequence> keys[] = {
        {form->Clear1, QKeySequence(QStringLiteral("Ctrl+N"))},       {form->Add1, QKeySequence(QStringLiteral("Ctrl+D"))},
        {form->SetLanguage1, QKeySequence(QStringLiteral("Ctrl+L"))}, {form->N1, QKeySequence(QStringLiteral("Ctrl+Del"))},
        {form->LockUnlock1, QKeySequence(QStringLiteral("Ctrl+U"))},  {form->Symbols1, QKeySequence(QStringLiteral("Ctrl+Alt+S"))},
        {form->Numbers1, QKeySequence(QStringLiteral("Ctrl+Alt+N"))}, {form->Language1, QKeySequence(QStringLiteral("Ctrl+Alt+L"))},
        {form->ByLength1, QKeySequence(QStringLiteral("Ctrl+Alt+E"))}, {form->Intelect1, QKeySequence(QStringLiteral("Ctrl+Alt+I"))},
        {form->BlackList1, QKeySequence(QStringLiteral("Ctrl+Alt+B"))}, {form->All1, QKeySequence(QStringLiteral("Ctrl+Alt+A"))},
        {form->oBlackList1, QKeySequence(QStringLiteral("Ctrl+B"))},  {form->oWhiteList1, QKeySequence(QStringLiteral("Ctrl+W"))}};
    for (const auto& [action, sequence] : keys)
        EXPECT_EQ(action->shortcut(), sequence) << action->objectName().toStdString();
    // Popup captions come from UI[15..29] in order.
    const QList<QAction*> items = form->PopupMenu1->actions();
    ASSERT_EQ(items.size(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(items[i]->text(), texts().UI(15 + i));
}

TEST_F(MainWindow, ModelPresentsTheTableAndFollowsItsChanges)
{
    DictRow cyr = row("", "2", "0A");
    cyr.word = ansi::fromUnicode(u"\u0441\u043b\u043e\u0432\u043e");
    fill({row("alpha", "1"), cyr});
    gui::DictionaryModel* m = form->model();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->index(1, 0).data().toString(), QString::fromUtf16(u"\u0441\u043b\u043e\u0432\u043e"));
    EXPECT_EQ(m->index(1, 2).data().toString(), QStringLiteral("0A"));
    EXPECT_TRUE(m->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    EXPECT_TRUE(m->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    EXPECT_TRUE(m->index(0, 3).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
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
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("OpenDialog1"));
        return int(QDialog::Rejected);
    });
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
    QFile f(dir.path("words.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("zebra apple mango");
    f.close();
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
    answers.expect([this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), texts().MESSAGES(23));
        d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("ap"));
        return int(QDialog::Accepted);
    });
    key(Qt::Key_F7);
    EXPECT_EQ(selectedRows(form->ListView1), (QList<int>{0, 2}));
    // An empty text changes nothing.
    answers.expect([](QDialog&) { return int(QDialog::Accepted); });
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
    QLineEdit* editor = form->ListView1->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible());
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Hello World"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the view commits the edit when the event loop runs
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

    selectRows(form->ListView1, {1});
    const QRect cell = form->ListView1->visualRect(form->model()->index(1, 0));
    QTest::mouseClick(form->ListView1->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(form->ListView1->viewport(), Qt::LeftButton, {}, cell.center());
    QLineEdit* editor = form->ListView1->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("Plain"));
    editor->setText(QStringLiteral("Ab Cd"));
    QTest::keyClick(editor, Qt::Key_Escape); // cancelled: nothing changes
    QCoreApplication::processEvents();
    EXPECT_EQ(table().row(1).word, QByteArray("Plain"));
    EXPECT_FALSE(table().modified);
}

TEST_F(MainWindow, HeaderClicksSortAndConversionErrorsAreShown)
{
    fill({row("b", "10"), row("a", "9"), row("c", "100")});
    const auto clickHeader = [this](int column) {
        QHeaderView* h = form->ListView1->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(column) + 5, 5));
    };
    selectRows(form->ListView1, {0}); // "b"
    clickHeader(ColNumber);
    EXPECT_EQ(words(table()), (QByteArrayList{"a", "b", "c"}));
    EXPECT_EQ(selectedRows(form->ListView1), QList<int>{1}); // the selection follows its row
    clickHeader(ColStatus);
    EXPECT_EQ(words(table()), (QByteArrayList{"a", "b", "c"}));

    table().setCell(1, ColNumber, "zz");
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("ErrorBox"));
        EXPECT_EQ(dynamic_cast<QMessageBox&>(d).text(), QStringLiteral("'zz' is not a valid integer value"));
        return int(QMessageBox::Ok);
    });
    clickHeader(ColNumber);
    EXPECT_EQ(answers.shown.size(), 1);
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
    EXPECT_EQ(v.code, 5 * 2 + 19);
    EXPECT_EQ(v.used, 19 + 8 + 8);
    EXPECT_EQ(v.free, 5100 - 35);
    EXPECT_EQ(windows.first()->windowTitle(), QStringLiteral("Vexlon"));
    EXPECT_EQ(windows.first()->size(), QSize(580, 320));
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
