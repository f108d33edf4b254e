// The white list, black list and statistic windows driven as a user drives
// them: opened from the main window, worked with keys, buttons, header
// clicks and in-place edits, closed every way, and the lists, the list
// files and the dictionary table checked afterwards.
#include "GuiSupport.h"

#include "app/base/Ansi.h"
#include "app/base/Convert.h"
#include "dictionary/TableOps.h"
#include "gui/DictionaryModel.h"
#include "gui/lists/BlackListForm.h"
#include "gui/lists/ListTableModel.h"
#include "gui/lists/StatisticForm.h"
#include "gui/lists/WhiteListForm.h"
#include "lists/ListFiles.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace vexlon::test {

using gui::TBLACKFORM;
using gui::TMainForm;
using gui::TST;
using gui::TWHITEFORM;

class ListForms : public testing::Test {
protected:
    void start(const std::function<void(TSettings&)>& change = {})
    {
        writeSettings(dir, change);
        form = std::make_unique<TMainForm>(QStringList{}, dir.dir());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QApplication::setActiveWindow(form.get());
        form->ListView1->setFocus();
        QCoreApplication::processEvents();
        const QVector<TLanguages>& languages = state().langStructure.Languages;
        ASSERT_GE(languages.size(), 2);
        a = languages.at(0).ID;
        b = languages.at(1).ID;
        ASSERT_NE(a, b);
    }

    ProgramState& state() { return form->editor().state; }
    DictionaryTable& table() { return form->editor().table; }
    const UiTexts& texts() { return state().texts; }
    QByteArray hex(uint8_t id) { return byteToHex(id); }

    static TLST list(std::initializer_list<TLST_ITEM> items)
    {
        TLST l;
        l.Items = items;
        l.Count = static_cast<int>(l.Items.size());
        return l;
    }
    void fill(QVector<DictRow> rows)
    {
        table().replaceAll(std::move(rows));
        table().modified = false;
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
    void mainKey(int k) { QTest::keyClick(form->ListView1, Qt::Key(k)); }
    static void key(gui::ListFormBase& w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(w.view(), Qt::Key(k), mods);
    }
    static QByteArrayList column(const gui::ListFormBase& w, int c)
    {
        QByteArrayList out;
        const QAbstractItemModel* m = w.view()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << ansi::fromUnicode(m->index(r, c).data().toString());
        return out;
    }
    static QStringList headers(const gui::ListFormBase& w)
    {
        QStringList out;
        const QAbstractItemModel* m = w.view()->model();
        for (int c = 0; c < m->columnCount(); ++c)
            out << m->headerData(c, Qt::Horizontal).toString();
        return out;
    }
    static void clickHeader(gui::ListFormBase& w, int c)
    {
        QHeaderView* h = w.view()->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(c) + 5, 5));
    }
    // Opens the in-place editor with a double click on the row's word.
    static QLineEdit* doubleClickWord(gui::ListFormBase& w, int row)
    {
        const QRect cell = w.view()->visualRect(w.view()->model()->index(row, 0));
        QTest::mouseClick(w.view()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(w.view()->viewport(), Qt::LeftButton, {}, cell.center());
        return editorOf(w);
    }
    // The open in-place editor (closed ones are deleted later).
    static QLineEdit* editorOf(gui::ListFormBase& w)
    {
        for (QLineEdit* editor : w.view()->findChildren<QLineEdit*>()) {
            if (editor->isVisible())
                return editor;
        }
        return nullptr;
    }
    static void type(QLineEdit* editor, const QString& text, int finish = Qt::Key_Return)
    {
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key(finish));
        QCoreApplication::processEvents(); // the view commits when the event loop runs
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A step that answers a message box of the window with the button,
    // checking its text and that it can be used.
    void expectBox(const QString& text, QMessageBox::StandardButton button)
    {
        answers.expect([text, button](QDialog& d) {
            auto* box = qobject_cast<QMessageBox*>(&d);
            EXPECT_NE(box, nullptr) << d.objectName().toStdString();
            EXPECT_TRUE(d.isEnabled()) << d.objectName().toStdString();
            EXPECT_NE(qobject_cast<gui::ListFormBase*>(d.parentWidget()), nullptr) << "owned by the list window";
            if (box)
                EXPECT_EQ(box->text(), text);
            return int(button);
        });
    }
    // A step that answers the language chooser with a row (-1: Cancel).
    void expectChooser(const QString& prompt, int choice)
    {
        answers.expect([prompt, choice](QDialog& d) {
            EXPECT_EQ(d.objectName(), QStringLiteral("ChooseLanguage"));
            EXPECT_TRUE(d.isEnabled());
            EXPECT_NE(qobject_cast<gui::ListFormBase*>(d.parentWidget()), nullptr) << "owned by the list window";
            EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label1"))->text(), prompt);
            if (choice < 0)
                return int(QDialog::Rejected);
            d.findChild<QListWidget*>()->setCurrentRow(choice);
            return int(QDialog::Accepted);
        });
    }
    TLST readList(const char* file)
    {
        TLST out;
        EXPECT_TRUE(ReadListFile(dir.path(file), out, state().langStructure)) << file;
        return out;
    }
    static QByteArrayList wordsOf(const TLST& l)
    {
        QByteArrayList out;
        for (const TLST_ITEM& i : l.Items)
            out << i.Word;
        return out;
    }
    static QList<int> numbersOf(const TLST& l)
    {
        QList<int> out;
        for (const TLST_ITEM& i : l.Items)
            out << i.Number;
        return out;
    }
    static void checkButtons(const QList<QToolButton*>& buttons, const UiTexts& t, int first,
                             const QList<const char*>& hints)
    {
        for (int i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i]->text(), t.UI(first + i)) << i;
            EXPECT_EQ(buttons[i]->toolTip(), QString::fromLatin1(hints[i])) << i;
            EXPECT_TRUE(buttons[i]->font().bold());
            // 111 pixels as designed, wider when the caption needs it.
            EXPECT_GE(buttons[i]->width(), 111);
            EXPECT_GE(buttons[i]->width(), buttons[i]->sizeHint().width());
            EXPECT_EQ(buttons[i]->width(), buttons[0]->width());
        }
    }

    ProgramDir dir;
    ScriptedAnswerer answers;
    std::unique_ptr<TMainForm> form;
    uint8_t a = 0;
    uint8_t b = 0;
};

TEST_F(ListForms, WhiteWindowShowsThePackTextsAndCancelStillRewritesTheFileAndRenumbers)
{
    start();
    state().whiteList = list({{"c", 10, a, ""}, {"a", 9, a, ""}, {"b", 100, b, ""}});
    fill({row("w", "10"), row("x", "20"), row("y", "30"), row("z", "40")});
    QFile::remove(dir.path("Lists/WhiteList.csv"));

    withWindow<TWHITEFORM>([this] { mainKey(Qt::Key_F3); }, [this](TWHITEFORM& w) {
        EXPECT_EQ(w.objectName(), QStringLiteral("TWHITEFORM"));
        EXPECT_EQ(w.windowTitle(), texts().UI(69));
        EXPECT_EQ(headers(w), (QStringList{texts().UI(70), texts().UI(71), texts().UI(72), texts().UI(73), texts().UI(74)}));
        checkButtons({w.ToolButton1, w.ToolButton2, w.ToolButton3, w.ToolButton5, w.ToolButton6, w.ToolButton8,
                      w.ToolButton9, w.ToolButton11, w.ToolButton12},
                     texts(), 75, {"Insert", "Del", "Ctrl+Del", "Ctrl+Up", "Ctrl+Down", "Ctrl+L", "", "Ctrl+Enter", "Esc"});
        EXPECT_EQ(w.minimumSize(), QSize(510, 280));
        EXPECT_EQ(w.size(), QSize(510, 280));
        EXPECT_EQ(w.ListView1->objectName(), QStringLiteral("ListView1"));
        EXPECT_EQ(w.ListView1->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        EXPECT_GE(w.ListView1->horizontalHeader()->sectionSize(2), 75);
        EXPECT_GE(w.ListView1->horizontalHeader()->sectionSize(2), w.ListView1->horizontalHeader()->sectionSizeHint(2));
        EXPECT_EQ(w.ListView1->model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>()
                      & Qt::AlignRight,
                  Qt::AlignRight);
        // Opened in Index order.
        EXPECT_EQ(column(w, 0), (QByteArrayList{"a", "c", "b"}));
        EXPECT_EQ(column(w, 1), (QByteArrayList{"9", "10", "100"}));

        // Change Language replaces a Delete mark.
        selectRows(w.ListView1, {0, 2});
        key(w, Qt::Key_Delete);
        EXPECT_EQ(column(w, 4), (QByteArrayList{"Delete", "", "Delete"}));
        selectRows(w.ListView1, {0});
        expectChooser(texts().MESSAGES(9), 1);
        key(w, Qt::Key_L, Qt::ControlModifier);
        EXPECT_EQ(column(w, 2).value(0), hex(b));
        EXPECT_EQ(column(w, 4), (QByteArrayList{"Change Language", "", "Delete"}));
        // Cancelling the chooser changes nothing.
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
    EXPECT_EQ(wordsOf(state().whiteList), (QByteArrayList{"c", "a", "b"}));
    const TLST stored = readList("Lists/WhiteList.csv");
    EXPECT_EQ(wordsOf(stored), (QByteArrayList{"c", "a", "b"}));
    EXPECT_EQ(numbersOf(stored), (QList<int>{10, 9, 100}));
    EXPECT_EQ(words(table()), (QByteArrayList{"w", "x", "y", "z"})); // WhiteListOn is off
    QByteArrayList numbers;
    for (const DictRow& r : table().rows())
        numbers << r.number;
    EXPECT_EQ(numbers, (QByteArrayList{"10", "20", "3", "4"}));
    EXPECT_TRUE(table().modified);
}

TEST_F(ListForms, WhiteWindowMovesAddsEditsAndAppliesIntoTheTable)
{
    start([](TSettings& s) { s.WhiteListOn = true; });
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
        // Down one: every row renumbered.
        key(w, Qt::Key_Down, Qt::ControlModifier);
        EXPECT_EQ(column(w, 0), (QByteArrayList{"beta", "Alpha", "alpha", "delta", "beta", "delta", "zap"}));
        EXPECT_EQ(selectedRows(w.ListView1), QList<int>{4});
        // Up on the first row does nothing.
        selectRows(w.ListView1, {0});
        w.ToolButton5->click();
        EXPECT_EQ(column(w, 0).value(0), QByteArray("beta"));

        // Add after the selected row, renumbering from there.
        selectRows(w.ListView1, {4});
        expectChooser(texts().MESSAGES(6), 0);
        key(w, Qt::Key_Insert);
        EXPECT_EQ(column(w, 0), (QByteArrayList{"beta", "Alpha", "alpha", "delta", "beta", "new", "delta", "zap"}));
        EXPECT_EQ(column(w, 1), (QByteArrayList{"1", "2", "3", "4", "5", "6", "7", "8"}));
        EXPECT_EQ(column(w, 2).value(5), hex(a));

        // Edit with the button; the word is taken as typed.
        selectRows(w.ListView1, {5});
        w.ToolButton9->click();
        type(editorOf(w), QStringLiteral("Omega"));
        EXPECT_EQ(column(w, 0).value(5), QByteArray("Omega"));
        EXPECT_EQ(column(w, 4).value(5), QByteArray("Edited"));

        key(w, Qt::Key_Return, Qt::ControlModifier);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(w.result(), int(QDialog::Accepted));
    });
    // Word order, marked and repeated rows gone, case variants both kept in
    // lower case, the same word in two languages kept, Index values kept.
    const QByteArrayList expected{"alpha", "alpha", "beta", "delta", "delta", "omega"};
    EXPECT_EQ(wordsOf(state().whiteList), expected);
    EXPECT_EQ(numbersOf(state().whiteList), (QList<int>{3, 2, 1, 4, 7, 6}));
    const TLST stored = readList("Lists/WhiteList.csv");
    EXPECT_EQ(wordsOf(stored), expected);
    EXPECT_EQ(stored.Items.at(4).LanguageID, b);
    // The table: the white list on top, then the other rows renumbered from
    // the white list's last row.
    EXPECT_EQ(words(table()), (QByteArrayList{"alpha", "alpha", "beta", "delta", "delta", "omega", "x", "y"}));
    QByteArrayList numbers;
    for (const DictRow& r : table().rows())
        numbers << r.number;
    EXPECT_EQ(numbers, (QByteArrayList{"3", "2", "1", "4", "7", "6", "7", "8"}));
    EXPECT_EQ(table().row(5).status, QByteArray("White List"));
    EXPECT_TRUE(table().modified);
    EXPECT_EQ(form->model()->rowCount(), 8);
}

TEST_F(ListForms, BlackWindowAddsFindsMarksEditsSortsAndApplies)
{
    start();
    state().blackList = list({{"Zeta", 5, a, ""}, {"alpha", 3, a, ""}, {"Alpha", 4, a, ""}, {"beta", 1, b, ""},
                              {"gone", 1, a, ""}});
    fill({row("alpha", "1")});

    withWindow<TBLACKFORM>([this] { mainKey(Qt::Key_F2); }, [this](TBLACKFORM& w) {
        EXPECT_EQ(w.windowTitle(), texts().UI(57));
        EXPECT_EQ(headers(w), (QStringList{texts().UI(58), texts().UI(59), texts().UI(60), texts().UI(61)}));
        checkButtons({w.ToolButton1, w.ToolButton2, w.ToolButton3, w.ToolButton4, w.ToolButton6, w.ToolButton8,
                      w.ToolButton9},
                     texts(), 62, {"Insert", "Del", "Ctrl+Del", "Ctrl+L", "", "Ctrl+Enter", "Esc"});
        EXPECT_EQ(w.bList->objectName(), QStringLiteral("bList"));
        EXPECT_GE(w.bList->horizontalHeader()->sectionSize(1), 80);
        EXPECT_EQ(w.bList->horizontalHeader()->sectionResizeMode(1), QHeaderView::Fixed);
        EXPECT_EQ(w.minimumSize(), QSize(510, 280));
        EXPECT_EQ(column(w, 0), (QByteArrayList{"alpha", "Alpha", "beta", "gone", "Zeta"}));

        // Larger language IDs first, then the word order again.
        clickHeader(w, 1);
        const QByteArrayList ids = column(w, 1);
        EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end(), [](const QByteArray& x, const QByteArray& y) {
            return hexToInt(x) > hexToInt(y);
        }));
        clickHeader(w, 3); // Action: no sorting
        EXPECT_EQ(column(w, 1), ids);
        clickHeader(w, 0);
        EXPECT_EQ(column(w, 0), (QByteArrayList{"alpha", "Alpha", "beta", "gone", "Zeta"}));

        // Add: nothing on Cancel; the new word at the top otherwise.
        expectChooser(texts().MESSAGES(6), -1);
        key(w, Qt::Key_Insert);
        EXPECT_EQ(w.bList->model()->rowCount(), 5);
        expectChooser(texts().MESSAGES(6), 1);
        w.ToolButton1->click();
        EXPECT_EQ(column(w, 0).value(0), QByteArray("new"));
        EXPECT_EQ(column(w, 1).value(0), hex(b));

        // F7 selects the words that begin with the text, case-sensitively.
        answers.expect([this](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), texts().MESSAGES(23));
            EXPECT_TRUE(d.isEnabled());
            d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("al"));
            return int(QDialog::Accepted);
        });
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
        type(doubleClickWord(w, 0), QStringLiteral("a;b"));
        EXPECT_EQ(column(w, 0).value(0), QByteArray("new"));
        EXPECT_EQ(column(w, 3).value(0), QByteArray());
        type(doubleClickWord(w, 5), QStringLiteral("zz"), Qt::Key_Escape);
        EXPECT_EQ(column(w, 0).value(5), QByteArray("Zeta"));
        EXPECT_TRUE(w.isVisible()); // Esc in the editor does not close the window
        type(doubleClickWord(w, 0), QStringLiteral("Kappa"));
        EXPECT_EQ(column(w, 0).value(0), QByteArray("Kappa"));
        EXPECT_EQ(column(w, 3).value(0), QByteArray("Edited"));

        w.ToolButton8->click();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(wordsOf(state().blackList), (QByteArrayList{"alpha", "alpha", "beta", "kappa", "zeta"}));
    EXPECT_EQ(numbersOf(state().blackList), (QList<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(state().blackList.Items.at(3).LanguageID, b);
    const TLST stored = readList("Lists/BlackList.csv");
    EXPECT_EQ(wordsOf(stored), (QByteArrayList{"alpha", "alpha", "beta", "kappa", "zeta"}));
    // The dictionary table is not touched.
    EXPECT_EQ(words(table()), QByteArrayList{"alpha"});
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
    start();
    state().statisticList.Items = {{"low", 1, a, ""}, {"high", 20, a, ""}, {"mid", 5, b, ""}, {"Mid", 5, b, ""}};
    state().statisticList.Count = 4;
    state().whiteList = list({{"mid", 1, b, ""}});

    withWindow<TST>([this] { mainKey(Qt::Key_F4); }, [this](TST& w) {
        EXPECT_EQ(w.objectName(), QStringLiteral("TST"));
        EXPECT_EQ(w.windowTitle(), texts().UI(84));
        EXPECT_EQ(headers(w), (QStringList{texts().UI(85), texts().UI(86), texts().UI(87), texts().UI(88), texts().UI(89)}));
        checkButtons({w.ToolButton1, w.ToolButton2, w.ToolButton3, w.ToolButton4, w.ToolButton5, w.ToolButton6,
                      w.ToolButton7, w.ToolButton8, w.ToolButton9, w.ToolButton10},
                     texts(), 90,
                     {"Del", "Ctrl+Del", "Ctrl+W", "Ctrl+B", "Ctrl+R", "", "Ctrl+L", "Ctrl+D", "Ctrl+Enter", "Esc"});
        EXPECT_EQ(w.minimumSize(), QSize(510, 320));
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
        const TLST white = readList("Lists/WhiteList.csv");
        EXPECT_EQ(wordsOf(white), (QByteArrayList{"mid", "high"}));
        EXPECT_EQ(white.Items.at(1).Number, 20);
        selectRows(w.ListView1, {2});
        w.ToolButton4->click();
        EXPECT_EQ(column(w, 4).value(2), QByteArray("Added to Black List"));
        EXPECT_EQ(wordsOf(readList("Lists/BlackList.csv")), QByteArrayList{"Mid"});

        // Nothing changed yet: Cancel would close without a question. Set
        // Reiting: a text that is not a number is reported, a number is set.
        answers.expect([this](QDialog& d) {
            EXPECT_EQ(d.objectName(), QStringLiteral("SetReiting"));
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Vexlon"));
            EXPECT_EQ(d.size(), QSize(300, 150));
            EXPECT_TRUE(d.isEnabled());
            EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label1"))->text(), texts().MESSAGES(24));
            EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("Button1"))->text(), texts().MESSAGES(7));
            d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("12x"));
            return int(QDialog::Accepted);
        });
        expectBox(QStringLiteral("'12x' is not a valid integer value"), QMessageBox::Ok);
        key(w, Qt::Key_R, Qt::ControlModifier);
        EXPECT_EQ(column(w, 1).value(2), QByteArray("5"));
        answers.expect([](QDialog& d) {
            d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("30"));
            return int(QDialog::Accepted);
        });
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

        // Cancel after changes asks; No keeps the window open with its rows.
        selectRows(w.ListView1, {0});
        key(w, Qt::Key_Delete);
        expectBox(texts().MESSAGES(29), QMessageBox::No);
        key(w, Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(column(w, 4).value(0), QByteArray("Delete"));
        // The close box asks the same; Yes closes and drops the mark.
        expectBox(texts().MESSAGES(29), QMessageBox::Yes);
        w.close();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(answers.steps.size(), 0u);
    EXPECT_EQ(state().statisticList.Items.at(0).Word, QByteArray("Mid"));
    TSTATLST stored;
    ASSERT_TRUE(ReadListFile(dir.path("Lists/Statistic.csv"), stored, state().langStructure));
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
    start();
    state().whiteList = list({{"keep", 1, a, ""}});
    for (int i = 0; i < 800; ++i)
        state().statisticList.Items.append({QByteArray("w") + QByteArray::number(i).rightJustified(3, '0'), i + 1, a, ""});
    state().statisticList.Count = 800;
    fill({row("old", "1")});

    withWindow<TST>([this] { mainKey(Qt::Key_F4); }, [this](TST& w) {
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
    EXPECT_EQ(table().row(1).word, QByteArray("w799"));
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
    TSTATLST stored;
    ASSERT_TRUE(ReadListFile(dir.path("Lists/Statistic.csv"), stored, state().langStructure));
    EXPECT_EQ(stored.Count, 800);
    EXPECT_EQ(stored.Items.at(0).Word, QByteArray("w799"));
}

TEST_F(ListForms, ToDictionaryAddsMissingWordsWithoutAsking)
{
    start([](TSettings& s) { s.StatisticType = 1; });
    fill({row("alpha", "1"), row("beta", "2")});
    state().statisticList.Items = {{"alpha", 9, b, ""}, {"gamma", 5, a, ""}, {"delta", 3, a, ""}};
    state().statisticList.Count = 3;

    withWindow<TST>([this] { mainKey(Qt::Key_F4); }, [](TST& w) {
        key(w, Qt::Key_D, Qt::ControlModifier);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(words(table()), (QByteArrayList{"alpha", "beta", "gamma", "delta"}));
    EXPECT_EQ(table().row(2).number, QByteArray("3"));
    EXPECT_EQ(table().row(3).number, QByteArray("3"));
    EXPECT_EQ(table().row(2).status, QByteArray("Reiting: 5; Line: 2"));
    EXPECT_FALSE(table().modified);
}

TEST_F(ListForms, WriteErrorsAreShownOverTheWindowThatRaisedThem)
{
    start();
    state().statisticList.Items = {{"word", 3, a, ""}};
    state().statisticList.Count = 1;
    ASSERT_TRUE(QDir(dir.path("Lists")).removeRecursively());

    withWindow<TST>([this] { mainKey(Qt::Key_F4); }, [this](TST& w) {
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
    EXPECT_EQ(wordsOf(state().whiteList), QByteArrayList{"word"}); // kept in memory

    // The white list file cannot be written after the window closed: the
    // main window, enabled again, says so.
    withWindow<TWHITEFORM>([this] { mainKey(Qt::Key_F3); }, [this](TWHITEFORM& w) {
        answers.expect([this](QDialog& d) {
            EXPECT_EQ(d.objectName(), QStringLiteral("ErrorBox"));
            EXPECT_TRUE(form->isEnabled());
            EXPECT_TRUE(d.isEnabled());
            return int(QMessageBox::Ok);
        });
        w.ToolButton12->click();
    });
    EXPECT_EQ(answers.shown.size(), 4);
}

} // namespace vexlon::test
