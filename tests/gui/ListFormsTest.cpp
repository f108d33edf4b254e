// The white list, black list and statistic windows: each key and button
// reaches its command, what a command says stands over its window, the
// windows open modally over the disabled main window, and the main window
// writes the lists afterwards. What the commands do to the rows is pinned by
// the core's list tests.
#include "GuiSupport.h"

#include "core/base/Convert.h"
#include "core/dictionary/TableOps.h"
#include "core/lists/ListFiles.h"
#include "gui/DictionaryModel.h"
#include "gui/lists/BlackListForm.h"
#include "gui/lists/StatisticForm.h"
#include "gui/lists/WhiteListForm.h"

#include <QListWidget>
#include <QRegularExpression>
#include <QToolButton>

namespace vexlon::test {

using gui::ListFormBase;
using Make = std::function<std::unique_ptr<ListFormBase>()>;

class ListForms : public MainWindowTest {
protected:
    void SetUp() override
    {
        start();
        const QVector<TLanguages>& languages = state().langStructure.Languages;
        ASSERT_GE(languages.size(), 2);
        a = languages.at(0).ID;
        b = languages.at(1).ID;
        idB = QString::fromLatin1(byteToHex(b));
        reset();
    }
    // The second row of every window has language a: c in the white list
    // (a 9, c 10, b 100), b in the black list (a, b, c), y in the statistic
    // (x 3, y 2, z 1).
    void reset()
    {
        const QVector<TLST_ITEM> items = {{"c", 10, a, ""}, {"a", 9, b, ""}, {"b", 100, a, ""}};
        state().whiteList = {3, items};
        state().blackList = {3, items};
        state().statisticList = {3, {{"z", 1, b, ""}, {"x", 3, a, ""}, {"y", 2, a, ""}}};
        fill({});
    }
    Make white() { return [this] { return std::make_unique<gui::TWHITEFORM>(state()); }; }
    Make black() { return [this] { return std::make_unique<gui::TBLACKFORM>(state()); }; }
    Make statistic() { return [this] { return std::make_unique<gui::TST>(state(), table()); }; }

    static void key(ListFormBase& w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(w.view(), Qt::Key(k), mods);
    }
    using MainWindowTest::key;
    // A cell's text; row -1: "open", or the result the window closed with.
    static QString cell(const ListFormBase& w, int row, int column)
    {
        if (row < 0)
            return w.isVisible() ? QStringLiteral("open") : QString::number(w.result());
        return w.view()->model()->index(row, column).data().toString();
    }
    // Every dialog is answered as a user who agrees: the second language, a
    // rating of 30, Yes; each must stand, usable, over the window.
    void answerOver(const QWidget* window)
    {
        answers.shown.clear();
        answers.otherwise = [window](QDialog& d) {
            EXPECT_EQ(d.parentWidget(), window) << d.objectName().toStdString();
            EXPECT_TRUE(d.isEnabled());
            if (auto* list = d.findChild<QListWidget*>())
                list->setCurrentRow(1);
            if (auto* edit = d.findChild<QLineEdit*>(QStringLiteral("Edit1")))
                edit->setText(QStringLiteral("30"));
            return qobject_cast<QMessageBox*>(&d) ? int(QMessageBox::Yes) : int(QDialog::Accepted);
        };
    }
    std::unique_ptr<ListFormBase> show(const Make& make)
    {
        auto w = make();
        w->show();
        QApplication::setActiveWindow(w.get()); // the keys go to it, not to the main window
        answerOver(w.get());
        return w;
    }

    // With the second row selected (and marked Delete first when `marked`),
    // the key and, on a fresh window, the button give the cell the effect.
    // Key 0 is a double click on the row's word, which opens the editor the
    // Edit button opens.
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        const char* button;
        int row, column;
        QString effect;
        bool marked = false;
    };
    void keysAndButtons(const Make& make, const std::vector<Case>& cases)
    {
        for (const Case& c : cases) {
            for (bool byKey : {true, false}) {
                reset();
                const auto w = show(make);
                selectRows(w->view(), {1});
                if (c.marked)
                    key(*w, Qt::Key_Delete);
                if (!byKey)
                    w->findChild<QToolButton*>(QLatin1String(c.button))->click();
                else
                    c.key ? key(*w, c.key, c.mods) : doubleClickWord(w->view(), 1);
                if (c.key == 0)
                    typeInEditor(w->view(), QStringLiteral("kappa"));
                EXPECT_EQ(cell(*w, c.row, c.column), c.effect) << c.button << (byKey ? " key" : " button");
            }
        }
    }

    // Opens a window from the main window with the key: a top-level modal
    // window over the disabled main window, kept above it. The main window
    // is enabled again once it has closed.
    void withWindow(int openKey, const std::function<void(ListFormBase&)>& drive)
    {
        answers.expect([&](QDialog& d) {
            auto* w = qobject_cast<ListFormBase*>(&d);
            if (!w) {
                ADD_FAILURE() << "not a list window: " << d.objectName().toStdString();
                return int(QDialog::Rejected);
            }
            EXPECT_FALSE(form->isEnabled());
            EXPECT_TRUE(w->isEnabled());
            EXPECT_EQ(w->parentWidget(), nullptr);
            EXPECT_EQ(w->windowModality(), Qt::ApplicationModal);
            w->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
            EXPECT_EQ(w->windowHandle()->transientParent(), form->windowHandle());
            drive(*w);
            return w->result();
        });
        key(openKey);
        EXPECT_TRUE(answers.steps.empty()) << "the window or a dialog did not come";
        EXPECT_TRUE(form->isEnabled());
    }

    uint8_t a = 0;
    uint8_t b = 0;
    QString idB;
};

// Title, headers and button captions come from the pack in one run from the
// window's first text; the hints name the keys; the buttons share one width.
TEST_F(ListForms, WindowsTakeTheirTextsFromThePack)
{
    const std::tuple<Make, int, QString> windows[] = {
        {white(), 69, "Insert Del Ctrl+Del Ctrl+Up Ctrl+Down Ctrl+L - Ctrl+Enter Esc"},
        {black(), 57, "Insert Del Ctrl+Del Ctrl+L - Ctrl+Enter Esc"},
        {statistic(), 84, "Del Ctrl+Del Ctrl+W Ctrl+B Ctrl+R - Ctrl+L Ctrl+D Ctrl+Enter Esc"}};
    for (const auto& [make, first, hints] : windows) {
        const auto window = make();
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

TEST_F(ListForms, KeysAndButtonsReachTheirCommands)
{
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    keysAndButtons(white(), {{Qt::Key_Insert, {}, "ToolButton1", 2, 0, "new"},
                             {Qt::Key_Delete, {}, "ToolButton2", 1, 4, "Delete"},
                             {Qt::Key_Delete, ctrl, "ToolButton3", 1, 4, "", true},
                             {Qt::Key_Up, ctrl, "ToolButton5", 0, 0, "c"},
                             {Qt::Key_Down, ctrl, "ToolButton6", 2, 0, "c"},
                             {Qt::Key_L, ctrl, "ToolButton8", 1, 2, idB},
                             {0, {}, "ToolButton9", 1, 0, "kappa"},
                             {Qt::Key_Return, ctrl, "ToolButton11", -1, 0, "1"},
                             {Qt::Key_Escape, {}, "ToolButton12", -1, 0, "0"}});
    keysAndButtons(black(), {{Qt::Key_Insert, {}, "ToolButton1", 0, 0, "new"},
                             {Qt::Key_Delete, {}, "ToolButton2", 1, 3, "Delete"},
                             {Qt::Key_Delete, ctrl, "ToolButton3", 1, 3, "", true},
                             {Qt::Key_L, ctrl, "ToolButton4", 1, 1, idB},
                             {0, {}, "ToolButton6", 1, 0, "kappa"},
                             {Qt::Key_Return, ctrl, "ToolButton8", -1, 0, "1"},
                             {Qt::Key_Escape, {}, "ToolButton9", -1, 0, "0"}});
    keysAndButtons(statistic(), {{Qt::Key_Delete, {}, "ToolButton1", 1, 4, "Delete"},
                                 {Qt::Key_Delete, ctrl, "ToolButton2", 1, 4, "", true},
                                 {Qt::Key_W, ctrl, "ToolButton3", 1, 4, "Added to White List"},
                                 {Qt::Key_B, ctrl, "ToolButton4", 1, 4, "Added to Black List"},
                                 {Qt::Key_R, ctrl, "ToolButton5", 1, 1, "30"},
                                 {0, {}, "ToolButton6", 1, 0, "kappa"},
                                 {Qt::Key_L, ctrl, "ToolButton7", 1, 2, idB},
                                 {Qt::Key_D, ctrl, "ToolButton8", -1, 0, "1"},
                                 {Qt::Key_Return, ctrl, "ToolButton9", 1, 0, "z", true},
                                 {Qt::Key_Escape, {}, "ToolButton10", -1, 0, "0"}});
    // Set Reiting asks nothing without a selection.
    const auto w = show(statistic());
    key(*w, Qt::Key_R, ctrl);
    EXPECT_TRUE(answers.shown.isEmpty());
}

// An in-place edit goes through the window's command, whose refusal stands
// over the window; Esc in the editor leaves the window open.
TEST_F(ListForms, InPlaceEditRefusalAndEsc)
{
    const auto w = show(black());
    doubleClickWord(w->view(), 1);
    typeInEditor(w->view(), QStringLiteral("a;b"));
    EXPECT_EQ(answers.shown.size(), 1);
    EXPECT_EQ(cell(*w, 1, 0) + cell(*w, 1, 3), QStringLiteral("b"));
    doubleClickWord(w->view(), 1);
    typeInEditor(w->view(), QStringLiteral("zz"), Qt::Key_Escape);
    EXPECT_EQ(cell(*w, 1, 0), QStringLiteral("b"));
    EXPECT_TRUE(w->isVisible());
}

// F7 selects what begins with the text, a header click sorts with the
// selection following its row, Ctrl+A selects all.
TEST_F(ListForms, FindHeaderClickAndSelectAll)
{
    const auto w = show(white());
    answers.expect([](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("b"));
        return int(QDialog::Accepted);
    });
    key(*w, Qt::Key_F7);
    EXPECT_EQ(selectedRows(w->view()), QList<int>{2});
    clickHeader(w->view(), 0);
    EXPECT_EQ(cell(*w, 1, 0), QStringLiteral("b"));
    EXPECT_EQ(selectedRows(w->view()), QList<int>{1});
    key(*w, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selectedRows(w->view()), (QList<int>{0, 1, 2}));
}

// Esc and the close box keep the list, Apply takes the rows; either way the
// main window writes the list file once the window has closed.
TEST_F(ListForms, ListFilesAreWrittenHoweverTheWindowCloses)
{
    const std::function<void(ListFormBase&)> ways[] = {[](ListFormBase& w) { key(w, Qt::Key_Escape); },
                                                       [](ListFormBase& w) { w.close(); },
                                                       [](ListFormBase& w) { key(w, Qt::Key_Return, Qt::ControlModifier); }};
    for (const auto& [openKey, file] : {std::pair{Qt::Key_F3, "Lists/WhiteList.csv"}, std::pair{Qt::Key_F2, "Lists/BlackList.csv"}}) {
        for (int way = 0; way < 3; ++way) {
            reset();
            QFile::remove(dir.path(file));
            withWindow(openKey, [&](ListFormBase& w) {
                selectRows(w.view(), {0});
                key(w, Qt::Key_Delete);
                ways[way](w);
                EXPECT_FALSE(w.isVisible());
            });
            TLST stored;
            EXPECT_TRUE(ReadListFile(dir.path(file), stored, state().langStructure)) << file;
            EXPECT_EQ(stored.Count, way < 2 ? 3 : 2) << file << " way " << way;
        }
    }
}

// The close box asks before dropping changes as Cancel does; To Dictionary
// closes the window only when done, and the main window's view and status
// line follow the table it filled.
TEST_F(ListForms, StatisticWindowAsksBeforeClosingAndFillsTheMainWindow)
{
    withWindow(Qt::Key_F4, [this](ListFormBase& w) {
        selectRows(w.view(), {0});
        key(w, Qt::Key_Delete);
        answers.expectBox(QMessageBox::No);
        w.close();
        answers.expectBox(QMessageBox::No);
        key(w, Qt::Key_D, Qt::ControlModifier);
        EXPECT_TRUE(w.isVisible());
        answers.expectBox(QMessageBox::Yes);
        key(w, Qt::Key_D, Qt::ControlModifier);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(answers.shown, (QStringList{QStringLiteral("TST"), texts().MESSAGES(29), texts().MESSAGES(30),
                                          texts().MESSAGES(30)}));
    EXPECT_GT(table().count(), 0);
    EXPECT_EQ(form->model()->rowCount(), table().count());
    EXPECT_EQ(form->Label3->text(), dictionaryStatusLine(state(), table()).text);
}

// A list file that cannot be written is reported over the window that wrote
// it: the statistic window for its own command, the main window, enabled
// again, for the white list written after its window closed.
TEST_F(ListForms, WriteErrorsAreShownOverTheWindowThatRaisedThem)
{
    ASSERT_TRUE(QDir(dir.path("Lists")).removeRecursively());
    const auto errorOver = [this](const QWidget* owner) {
        answers.expect([owner](QDialog& d) {
            EXPECT_EQ(d.objectName(), QStringLiteral("ErrorBox"));
            EXPECT_EQ(d.parentWidget(), owner);
            EXPECT_TRUE(owner->isEnabled());
            return int(QMessageBox::Ok);
        });
    };
    withWindow(Qt::Key_F4, [&](ListFormBase& w) {
        selectRows(w.view(), {0});
        errorOver(&w);
        key(w, Qt::Key_W, Qt::ControlModifier);
        EXPECT_TRUE(w.isVisible());
        key(w, Qt::Key_Escape);
    });
    withWindow(Qt::Key_F3, [&](ListFormBase& w) {
        errorOver(form.get());
        key(w, Qt::Key_Escape);
    });
    EXPECT_EQ(answers.shown.size(), 4);
}

} // namespace vexlon::test
