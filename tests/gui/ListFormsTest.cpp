// The white list, black list and statistic windows driven as a user drives
// them: opened from the main window, worked with keys, buttons, header
// clicks and in-place edits, closed every way, and the lists, the list
// files and the dictionary table checked afterwards.
#include "GuiSupport.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/dictionary/TableOps.h"
#include "gui/DictionaryModel.h"
#include "gui/lists/BlackListForm.h"
#include "gui/lists/StatisticForm.h"
#include "gui/lists/WhiteListForm.h"
#include "core/lists/ListFiles.h"

#include <QApplication>
#include <QListWidget>
#include <QRegularExpression>
#include <QToolButton>

namespace vexlon::test {

using gui::TBLACKFORM;
using gui::TST;
using gui::TWHITEFORM;

class ListForms : public MainWindowTest {
protected:
    void open(const std::function<void(TSettings&)>& change = {})
    {
        start(change);
        const QVector<TLanguages>& languages = state().langStructure.Languages;
        ASSERT_GE(languages.size(), 2);
        a = languages.at(0).ID;
        b = languages.at(1).ID;
        ASSERT_NE(a, b);
    }
    static TLST list(std::initializer_list<TLST_ITEM> items)
    {
        TLST l;
        l.Items = items;
        l.Count = static_cast<int>(l.Items.size());
        return l;
    }

    // Opens the window with open(), checks that it is a modal top-level
    // window over the disabled main window, shows it and hands it to drive;
    // the main window is enabled again once it has closed.
    template <class Form>
    void withWindow(const std::function<void()>& open, const std::function<void(Form&)>& drive)
    {
        bool ran = false;
        answers.expect([&](QDialog& d) {
            auto* window = dynamic_cast<Form*>(&d);
            EXPECT_NE(window, nullptr) << d.objectName().toStdString();
            if (!window)
                return int(QDialog::Rejected);
            EXPECT_FALSE(form->isEnabled());
            EXPECT_TRUE(window->isEnabled());
            EXPECT_EQ(window->parentWidget(), nullptr);
            EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
            window->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
            EXPECT_EQ(window->windowHandle()->transientParent(), form->windowHandle()); // kept above it
            window->activateWindow();
            QApplication::setActiveWindow(window);
            window->view()->setFocus();
            drive(*window);
            ran = true;
            return window->result();
        });
        open();
        EXPECT_TRUE(ran);
        EXPECT_TRUE(form->isEnabled());
    }
    static void key(gui::ListFormBase& w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(w.view(), Qt::Key(k), mods);
    }
    using MainWindowTest::key;
    static QByteArrayList column(const gui::ListFormBase& w, int c)
    {
        QByteArrayList out;
        const QAbstractItemModel* m = w.view()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << cp1251::fromUnicode(m->index(r, c).data().toString());
        return out;
    }
    // Answers the next dialog, checking that it is usable and owned by the
    // list window, and its text (a message box) or object name (others).
    void expectOwned(const QString& textOrName, int result, const std::function<void(QDialog&)>& fill = {})
    {
        answers.expect([textOrName, result, fill](QDialog& d) {
            EXPECT_TRUE(d.isEnabled()) << d.objectName().toStdString();
            EXPECT_NE(qobject_cast<gui::ListFormBase*>(d.parentWidget()), nullptr) << "owned by the list window";
            const auto* box = qobject_cast<QMessageBox*>(&d);
            EXPECT_EQ(box ? box->text() : d.objectName(), textOrName);
            if (fill)
                fill(d);
            return result;
        });
    }
    void expectBox(const QString& text, QMessageBox::StandardButton button) { expectOwned(text, int(button)); }
    // The language chooser with its prompt, answered with a row (-1: Cancel).
    void expectChooser(const QString& prompt, int choice)
    {
        const int result = choice < 0 ? int(QDialog::Rejected) : int(QDialog::Accepted);
        expectOwned(QStringLiteral("ChooseLanguage"), result, [prompt, choice](QDialog& d) {
            EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label1"))->text(), prompt);
            if (choice >= 0)
                d.findChild<QListWidget*>()->setCurrentRow(choice);
        });
    }
    // A one-line entry dialog, given the text.
    void expectEntry(const char* name, const QString& text)
    {
        expectOwned(QString::fromLatin1(name), int(QDialog::Accepted),
                    [text](QDialog& d) { d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(text); });
    }
    template <class List = TLST>
    List readList(const char* file)
    {
        List out;
        EXPECT_TRUE(ReadListFile(dir.path(file), out, state().langStructure)) << file;
        return out;
    }
    // "word number" per item.
    static QByteArrayList entries(const TLST& l)
    {
        QByteArrayList out;
        for (const TLST_ITEM& i : l.Items)
            out << i.Word + ' ' + QByteArray::number(i.Number);
        return out;
    }

    uint8_t a = 0;
    uint8_t b = 0;
};

// Captions, headers and button captions follow the pack in one run from the
// window's first text; hints name the keys; buttons share one width.
TEST_F(ListForms, WindowsTakeTheirTextsFromThePack)
{
    open();
    gui::TWHITEFORM white(state());
    gui::TBLACKFORM black(state());
    gui::TST statistic(state(), table());
    const std::tuple<gui::ListFormBase*, int, QString> windows[] = {
        {&white, 69, "Insert Del Ctrl+Del Ctrl+Up Ctrl+Down Ctrl+L - Ctrl+Enter Esc"},
        {&black, 57, "Insert Del Ctrl+Del Ctrl+L - Ctrl+Enter Esc"},
        {&statistic, 84, "Del Ctrl+Del Ctrl+W Ctrl+B Ctrl+R - Ctrl+L Ctrl+D Ctrl+Enter Esc"}};
    for (const auto& [window, first, hints] : windows) {
        QStringList shown{window->windowTitle()}, expected, tips;
        const QAbstractItemModel* m = window->view()->model();
        for (int c = 0; c < m->columnCount(); ++c)
            shown << m->headerData(c, Qt::Horizontal).toString();
        const QList<QToolButton*> buttons = window->findChildren<QToolButton*>(QRegularExpression("^ToolButton"));
        for (QToolButton* button : buttons) {
            shown << button->text();
            tips << (button->toolTip().isEmpty() ? QStringLiteral("-") : button->toolTip());
            EXPECT_GE(button->width(), qMax(111, button->sizeHint().width())) << button->objectName().toStdString();
            EXPECT_EQ(button->width(), buttons.first()->width());
        }
        for (int i = 0; i < shown.size(); ++i)
            expected << texts().UI(first + i);
        EXPECT_EQ(shown, expected) << window->objectName().toStdString();
        EXPECT_EQ(tips.join(QLatin1Char(' ')), hints);
    }
}

TEST_F(ListForms, WhiteWindowCancelKeepsTheListButRewritesTheFileAndRenumbers)
{
    open();
    state().whiteList = list({{"c", 10, a, ""}, {"a", 9, a, ""}, {"b", 100, b, ""}});
    fill({row("w", "10"), row("x", "20"), row("y", "30"), row("z", "40")});
    QFile::remove(dir.path("Lists/WhiteList.csv"));

    withWindow<TWHITEFORM>([this] { key(Qt::Key_F3); }, [this](TWHITEFORM& w) {
        EXPECT_EQ(column(w, 0), (QByteArrayList{"a", "c", "b"})); // opened in Index order
        EXPECT_EQ(column(w, 1), (QByteArrayList{"9", "10", "100"}));
        // Change Language replaces a Delete mark; a cancelled chooser changes nothing.
        selectRows(w.ListView1, {0, 2});
        key(w, Qt::Key_Delete);
        selectRows(w.ListView1, {0});
        expectChooser(texts().MESSAGES(9), 1);
        key(w, Qt::Key_L, Qt::ControlModifier);
        EXPECT_EQ(column(w, 2).value(0), byteToHex(b));
        selectRows(w.ListView1, {1});
        expectChooser(texts().MESSAGES(9), -1);
        w.ToolButton8->click();
        EXPECT_EQ(column(w, 4), (QByteArrayList{"Change Language", "", "Delete"}));
        key(w, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(w.result(), int(QDialog::Rejected));
    });
    // The list is as it was, its file is written all the same, and the rows
    // from the white list's last position on are renumbered.
    EXPECT_EQ(entries(state().whiteList), (QByteArrayList{"c 10", "a 9", "b 100"}));
    EXPECT_EQ(entries(readList("Lists/WhiteList.csv")), entries(state().whiteList));
    EXPECT_EQ(words(table()), (QByteArrayList{"w", "x", "y", "z"})); // WhiteListOn is off
    EXPECT_EQ(numbers(table()), (QByteArrayList{"10", "20", "3", "4"}));
    EXPECT_TRUE(table().modified);
}

TEST_F(ListForms, WhiteWindowMovesAddsEditsAndAppliesIntoTheTable)
{
    open([](TSettings& s) { s.WhiteListOn = true; });
    state().whiteList = list({{"beta", 1, a, ""}, {"Alpha", 2, a, ""}, {"alpha", 3, a, ""}, {"delta", 4, a, ""},
                              {"delta", 5, b, ""}, {"beta", 6, a, ""}, {"zap", 7, a, ""}});
    fill({row("old", "1", "01", "White List"), row("x", "50"), row("y", "60")});

    withWindow<TWHITEFORM>([this] { form->ToolButton8->click(); }, [this](TWHITEFORM& w) {
        selectRows(w.ListView1, {6});
        key(w, Qt::Key_Delete);
        // The second "beta" goes up twice: it and the rows below it are
        // renumbered, and it stays the only selected row.
        selectRows(w.ListView1, {5});
        key(w, Qt::Key_Up, Qt::ControlModifier);
        key(w, Qt::Key_Up, Qt::ControlModifier);
        EXPECT_EQ(column(w, 0), (QByteArrayList{"beta", "Alpha", "alpha", "beta", "delta", "delta", "zap"}));
        EXPECT_EQ(column(w, 1), (QByteArrayList{"1", "2", "3", "4", "5", "6", "7"}));
        EXPECT_EQ(selectedRows(w.ListView1), QList<int>{3});
        key(w, Qt::Key_Down, Qt::ControlModifier);
        EXPECT_EQ(column(w, 0), (QByteArrayList{"beta", "Alpha", "alpha", "delta", "beta", "delta", "zap"}));
        EXPECT_EQ(selectedRows(w.ListView1), QList<int>{4});
        selectRows(w.ListView1, {0});
        w.ToolButton5->click(); // Up on the first row does nothing
        EXPECT_EQ(column(w, 0).value(0), QByteArray("beta"));

        // Add after the selected row, renumbering from there.
        selectRows(w.ListView1, {4});
        expectChooser(texts().MESSAGES(6), 0);
        key(w, Qt::Key_Insert);
        EXPECT_EQ(column(w, 0), (QByteArrayList{"beta", "Alpha", "alpha", "delta", "beta", "new", "delta", "zap"}));
        EXPECT_EQ(column(w, 1), (QByteArrayList{"1", "2", "3", "4", "5", "6", "7", "8"}));
        EXPECT_EQ(column(w, 2).value(5), byteToHex(a));
        // Edit with the button; the word is taken as typed.
        selectRows(w.ListView1, {5});
        w.ToolButton9->click();
        typeInEditor(w.view(), QStringLiteral("Omega"));
        EXPECT_EQ(column(w, 0).value(5), QByteArray("Omega"));
        EXPECT_EQ(column(w, 4).value(5), QByteArray("Edited"));

        key(w, Qt::Key_Return, Qt::ControlModifier);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(w.result(), int(QDialog::Accepted));
    });
    // Word order, marked and repeated rows gone, case variants both kept in
    // lower case, the same word in two languages kept, Index values kept.
    EXPECT_EQ(entries(state().whiteList), (QByteArrayList{"alpha 3", "alpha 2", "beta 1", "delta 4", "delta 7", "omega 6"}));
    const TLST stored = readList("Lists/WhiteList.csv");
    EXPECT_EQ(entries(stored), entries(state().whiteList));
    EXPECT_EQ(stored.Items.at(4).LanguageID, b);
    // The table: the white list on top, then the other rows renumbered from
    // the white list's last row.
    EXPECT_EQ(words(table()), (QByteArrayList{"alpha", "alpha", "beta", "delta", "delta", "omega", "x", "y"}));
    EXPECT_EQ(numbers(table()), (QByteArrayList{"3", "2", "1", "4", "7", "6", "7", "8"}));
    EXPECT_EQ(table().row(5).status, QByteArray("White List"));
    EXPECT_TRUE(table().modified);
    EXPECT_EQ(form->model()->rowCount(), 8);
}

TEST_F(ListForms, BlackWindowAddsFindsMarksEditsSortsAndApplies)
{
    open();
    state().blackList = list({{"Zeta", 5, a, ""}, {"alpha", 3, a, ""}, {"Alpha", 4, a, ""}, {"beta", 1, b, ""},
                              {"gone", 1, a, ""}});
    fill({row("alpha", "1")});

    withWindow<TBLACKFORM>([this] { key(Qt::Key_F2); }, [this](TBLACKFORM& w) {
        EXPECT_EQ(column(w, 0), (QByteArrayList{"alpha", "Alpha", "beta", "gone", "Zeta"}));
        // Larger language IDs first, Action does not sort, Word sorts again.
        clickHeader(w.bList, 1);
        const QByteArrayList ids = column(w, 1);
        EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end(), [](const QByteArray& x, const QByteArray& y) {
            return hexToInt(x) > hexToInt(y);
        }));
        clickHeader(w.bList, 3);
        EXPECT_EQ(column(w, 1), ids);
        clickHeader(w.bList, 0);
        EXPECT_EQ(column(w, 0), (QByteArrayList{"alpha", "Alpha", "beta", "gone", "Zeta"}));

        // Add: nothing on Cancel; the new word at the top otherwise.
        expectChooser(texts().MESSAGES(6), -1);
        key(w, Qt::Key_Insert);
        EXPECT_EQ(w.bList->model()->rowCount(), 5);
        expectChooser(texts().MESSAGES(6), 1);
        w.ToolButton1->click();
        EXPECT_EQ(column(w, 0).value(0), QByteArray("new"));
        EXPECT_EQ(column(w, 1).value(0), byteToHex(b));

        // F7 selects the words that begin with the text, case-sensitively.
        expectEntry("FindInTable", QStringLiteral("al"));
        key(w, Qt::Key_F7);
        EXPECT_EQ(selectedRows(w.bList), QList<int>{1});
        key(w, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(selectedRows(w.bList), (QList<int>{0, 1, 2, 3, 4, 5}));

        // Delete and Cancel Deletion.
        selectRows(w.bList, {2, 4});
        key(w, Qt::Key_Delete);
        selectRows(w.bList, {2});
        key(w, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(column(w, 3), (QByteArrayList{"", "", "", "", "Delete", ""}));

        // In-place edits: a ";" cannot be stored and is refused; Esc
        // cancels; Enter confirms.
        expectBox(QStringLiteral("The word \"a;b\" holds \";\" and cannot be stored in a list file; it was not changed."),
                  QMessageBox::Ok);
        doubleClickWord(w.view(), 0);
        typeInEditor(w.view(), QStringLiteral("a;b"));
        EXPECT_EQ(column(w, 0).value(0), QByteArray("new"));
        EXPECT_EQ(column(w, 3).value(0), QByteArray());
        doubleClickWord(w.view(), 5);
        typeInEditor(w.view(), QStringLiteral("zz"), Qt::Key_Escape);
        EXPECT_EQ(column(w, 0).value(5), QByteArray("Zeta"));
        EXPECT_TRUE(w.isVisible()); // Esc in the editor does not close the window
        doubleClickWord(w.view(), 0);
        typeInEditor(w.view(), QStringLiteral("Kappa"));
        EXPECT_EQ(column(w, 0).value(0), QByteArray("Kappa"));
        EXPECT_EQ(column(w, 3).value(0), QByteArray("Edited"));

        w.ToolButton8->click();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(entries(state().blackList), (QByteArrayList{"alpha 0", "alpha 0", "beta 0", "kappa 0", "zeta 0"}));
    EXPECT_EQ(state().blackList.Items.at(3).LanguageID, b);
    EXPECT_EQ(entries(readList("Lists/BlackList.csv")), entries(state().blackList));
    EXPECT_EQ(words(table()), QByteArrayList{"alpha"}); // the dictionary table is not touched
    EXPECT_FALSE(table().modified);

    // Closing with the close box leaves the list and rewrites the file.
    QFile::remove(dir.path("Lists/BlackList.csv"));
    withWindow<TBLACKFORM>([this] { form->ToolButton7->click(); }, [](TBLACKFORM& w) {
        selectRows(w.bList, {0});
        key(w, Qt::Key_Delete);
        w.close();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(state().blackList.Count, 5);
    EXPECT_EQ(readList("Lists/BlackList.csv").Count, 5);
}

TEST_F(ListForms, StatisticWindowMarksRatesSendsToListsSavesAndAsksBeforeDiscarding)
{
    open();
    state().statisticList.Items = {{"low", 1, a, ""}, {"high", 20, a, ""}, {"mid", 5, b, ""}, {"Mid", 5, b, ""}};
    state().statisticList.Count = 4;
    state().whiteList = list({{"mid", 1, b, ""}});

    withWindow<TST>([this] { key(Qt::Key_F4); }, [this](TST& w) {
        EXPECT_EQ(column(w, 0), (QByteArrayList{"high", "mid", "Mid", "low"}));
        EXPECT_EQ(column(w, 1), (QByteArrayList{"20", "5", "5", "1"}));
        // Without a selection these ask nothing (an unexpected dialog fails).
        w.view()->clearSelection();
        key(w, Qt::Key_L, Qt::ControlModifier);
        key(w, Qt::Key_R, Qt::ControlModifier);

        // To the lists: the files are written at once; a pair already on the
        // list keeps its row unmarked.
        selectRows(w.ListView1, {0, 1});
        key(w, Qt::Key_W, Qt::ControlModifier);
        EXPECT_EQ(column(w, 4), (QByteArrayList{"Added to White List", "", "", ""}));
        EXPECT_EQ(entries(readList("Lists/WhiteList.csv")), (QByteArrayList{"mid 1", "high 20"}));
        selectRows(w.ListView1, {2});
        w.ToolButton4->click();
        EXPECT_EQ(column(w, 4).value(2), QByteArray("Added to Black List"));
        EXPECT_EQ(entries(readList("Lists/BlackList.csv")), QByteArrayList{"Mid 5"});

        // Set Reiting: a text that is not a number is reported, a number is set.
        expectEntry("SetReiting", QStringLiteral("12x"));
        expectBox(QStringLiteral("'12x' is not a valid integer value"), QMessageBox::Ok);
        key(w, Qt::Key_R, Qt::ControlModifier);
        EXPECT_EQ(column(w, 1).value(2), QByteArray("5"));
        expectEntry("SetReiting", QStringLiteral("30"));
        w.ToolButton5->click();
        EXPECT_EQ(column(w, 1).value(2), QByteArray("30"));

        // Delete, Cancel Deletion, Delete again.
        selectRows(w.ListView1, {3});
        key(w, Qt::Key_Delete);
        key(w, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(column(w, 4).value(3), QByteArray());
        key(w, Qt::Key_Delete);
        EXPECT_EQ(column(w, 4).value(3), QByteArray("Delete"));

        // Save: the marked row goes, the rest by rating, marks cleared.
        expectBox(texts().MESSAGES(28), QMessageBox::Ok);
        key(w, Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(column(w, 0), (QByteArrayList{"Mid", "high", "mid"}));
        EXPECT_EQ(column(w, 4), (QByteArrayList{"", "", ""}));
        EXPECT_EQ(state().statisticList.Count, 3);

        // Cancel after changes asks; No keeps the window open with its rows,
        // and the close box asks the same; Yes closes and drops the mark.
        selectRows(w.ListView1, {0});
        key(w, Qt::Key_Delete);
        expectBox(texts().MESSAGES(29), QMessageBox::No);
        key(w, Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(column(w, 4).value(0), QByteArray("Delete"));
        expectBox(texts().MESSAGES(29), QMessageBox::Yes);
        w.close();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(answers.steps.size(), 0u);
    EXPECT_EQ(state().statisticList.Items.at(0).Word, QByteArray("Mid"));
    const auto stored = readList<TSTATLST>("Lists/Statistic.csv");
    EXPECT_EQ(stored.Count, 3);
    EXPECT_EQ(stored.Items.at(0).Rating, 30);

    // Unchanged: Cancel closes at once.
    withWindow<TST>([this] { form->ToolButton9->click(); }, [](TST& w) {
        w.ToolButton10->click();
        EXPECT_FALSE(w.isVisible());
    });
}

TEST_F(ListForms, ToDictionaryMakesADictionaryOfTheBestWordsAndTrimsItToTheCapacity)
{
    open();
    state().whiteList = list({{"keep", 1, a, ""}});
    for (int i = 0; i < 800; ++i)
        state().statisticList.Items.append({QByteArray("w") + QByteArray::number(i).rightJustified(3, '0'), i + 1, a, ""});
    state().statisticList.Count = 800;
    fill({row("old", "1")});

    withWindow<TST>([this] { key(Qt::Key_F4); }, [this](TST& w) {
        expectBox(texts().MESSAGES(30), QMessageBox::No);
        key(w, Qt::Key_D, Qt::ControlModifier);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(words(table()), QByteArrayList{"old"});
        expectBox(texts().MESSAGES(30), QMessageBox::Yes);
        w.ToolButton8->click();
        EXPECT_FALSE(w.isVisible());
    });
    // The white list, then the best-rated words while they fit.
    ASSERT_GT(table().count(), 2);
    EXPECT_EQ(table().row(0).word, QByteArray("keep"));
    EXPECT_EQ(table().row(0).status, QByteArray("White List"));
    EXPECT_EQ(table().row(1).number, QByteArray("00"));
    EXPECT_EQ(table().row(1).status, QByteArray("Reiting: 800; Line: 1"));
    for (int i = 1; i < table().count(); ++i)
        ASSERT_EQ(table().row(i).word, QByteArray("w") + QByteArray::number(800 - i).rightJustified(3, '0')) << i;
    const int32_t free = FreeBytes(state(), table());
    EXPECT_GE(free, 1);
    EXPECT_LT(free, 10); // one more four-letter word would not fit
    EXPECT_FALSE(table().modified);
    EXPECT_EQ(form->model()->rowCount(), table().count());
    EXPECT_EQ(form->Label3->text(), dictionaryStatusLine(state(), table()).text); // refreshed
    // Saved before filling.
    const auto stored = readList<TSTATLST>("Lists/Statistic.csv");
    EXPECT_EQ(stored.Count, 800);
    EXPECT_EQ(stored.Items.at(0).Word, QByteArray("w799"));
}

TEST_F(ListForms, ToDictionaryAddsMissingWordsWithoutAsking)
{
    open([](TSettings& s) { s.StatisticType = 1; });
    fill({row("alpha", "1"), row("beta", "2")});
    state().statisticList.Items = {{"alpha", 9, b, ""}, {"gamma", 5, a, ""}, {"delta", 3, a, ""}};
    state().statisticList.Count = 3;

    withWindow<TST>([this] { key(Qt::Key_F4); }, [](TST& w) {
        key(w, Qt::Key_D, Qt::ControlModifier);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(words(table()), (QByteArrayList{"alpha", "beta", "gamma", "delta"}));
    EXPECT_EQ(numbers(table()), (QByteArrayList{"1", "2", "3", "3"}));
    EXPECT_EQ(table().row(2).status, QByteArray("Reiting: 5; Line: 2"));
    EXPECT_FALSE(table().modified);
}

TEST_F(ListForms, WriteErrorsAreShownOverTheWindowThatRaisedThem)
{
    open();
    state().statisticList.Items = {{"word", 3, a, ""}};
    state().statisticList.Count = 1;
    ASSERT_TRUE(QDir(dir.path("Lists")).removeRecursively());

    withWindow<TST>([this] { key(Qt::Key_F4); }, [this](TST& w) {
        selectRows(w.ListView1, {0});
        answers.expect([&w](QDialog& d) {
            EXPECT_EQ(d.objectName(), QStringLiteral("ErrorBox"));
            EXPECT_EQ(d.parentWidget(), &w);
            EXPECT_TRUE(d.isEnabled());
            return int(QMessageBox::Ok);
        });
        key(w, Qt::Key_W, Qt::ControlModifier);
        EXPECT_TRUE(w.isVisible());
        key(w, Qt::Key_Escape);
    });
    EXPECT_EQ(entries(state().whiteList), QByteArrayList{"word 3"}); // kept in memory

    // The white list file cannot be written after the window closed: the
    // main window, enabled again, says so.
    withWindow<TWHITEFORM>([this] { key(Qt::Key_F3); }, [this](TWHITEFORM& w) {
        answers.expect([this](QDialog& d) {
            EXPECT_EQ(d.objectName(), QStringLiteral("ErrorBox"));
            EXPECT_TRUE(form->isEnabled());
            return int(QMessageBox::Ok);
        });
        w.ToolButton12->click();
    });
    EXPECT_EQ(answers.shown.size(), 4);
}

} // namespace vexlon::test
