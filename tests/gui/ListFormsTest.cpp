// The list windows open modally over the disabled main window, each key and
// button reaches its command, what a command says stands over the window.
#include "GuiSupport.h"

#include "core/base/Convert.h"
#include "core/dictionary/TableOps.h"
#include "core/lists/ListFiles.h"
#include "gui/lists/ListFormBase.h"
#include "gui/lists/StatisticForm.h"

#include <QListWidget>
#include <QPushButton>

namespace vexlon::test {

class ListForms : public MainWindowTest {
protected:
    static void key(gui::ListFormBase& w, int k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(w.view(), Qt::Key(k), mods); }
    using MainWindowTest::key;
    // One column of the window's rows, joined by commas.
    static QString column(gui::ListFormBase& w, int c)
    {
        QStringList out;
        for (int r = 0; r < w.view()->model()->rowCount(); ++r)
            out << w.view()->model()->index(r, c).data().toString();
        return out.join(',');
    }
    static void clickHeader(gui::ListFormBase& w, int c) { vexlon::test::clickHeader(w.view(), c); }
    // Opens the key's window, modal above the disabled main window, over lists
    // whose second row has the first language: white c (a 9, c 10, b 100), black
    // b (a, b, c), statistic y (x 3, y 2, z 1); its dialogs agree (2nd, 30, Yes).
    void withWindow(int openKey, const std::function<void(gui::ListFormBase&)>& drive)
    {
        const uint8_t a = state().langStructure.Languages.at(0).ID, b = state().langStructure.Languages.at(1).ID;
        const QVector<TLST_ITEM> items = {{"c", 10, a, ""}, {"a", 9, b, ""}, {"b", 100, a, ""}};
        state().whiteList = state().blackList = {3, items};
        state().statisticList = {3, {{"z", 1, b, ""}, {"x", 3, a, ""}, {"y", 2, a, ""}}};
        fill({});
        answers.shown.clear();
        answers.expect([&](QDialog& d) {
            auto* w = &dynamic_cast<gui::ListFormBase&>(d);
            EXPECT_FALSE(form->isEnabled());
            EXPECT_EQ(w->parentWidget(), nullptr);
            EXPECT_EQ(w->windowModality(), Qt::ApplicationModal);
            w->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
            EXPECT_EQ(w->windowHandle()->transientParent(), form->windowHandle());
            QApplication::setActiveWindow(w); // the keys go to it, not to the main window
            answers.otherwise = [w](QDialog& dialog) {
                EXPECT_EQ(dialog.parentWidget(), w) << dialog.objectName().toStdString(); // usable over the window
                if (auto* list = dialog.findChild<QListWidget*>())
                    list->setCurrentRow(1);
                if (auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1")))
                    edit->setText(QStringLiteral("30"));
                return qobject_cast<QMessageBox*>(&dialog) ? int(QMessageBox::Yes) : int(QDialog::Accepted);
            };
            drive(*w);
            answers.otherwise = nullptr;
            return w->result();
        });
        key(openKey);
        EXPECT_TRUE(answers.steps.empty() && form->isEnabled()) << "the window or a dialog did not come";
    }
};

// With the second row selected (marked Delete first when `marked`), the key
// and, in a fresh window, the button give the cell (row -1: the window's
// result) the effect; key 0 is a double click, the Edit button's editor.
TEST_F(ListForms, KeysAndButtonsReachTheirCommands)
{
    using enum Qt::Key;
    const Qt::KeyboardModifiers no, ctrl = Qt::ControlModifier;
    const QString idB = QString::fromLatin1(byteToHex(state().langStructure.Languages.at(1).ID));
    const int white = Key_F3, black = Key_F2, statistic = Key_F4;
    const std::tuple<int, int, Qt::KeyboardModifiers, int, int, int, QString, bool> cases[] = {
        {white, Key_Insert, no, 1, 2, 0, "new", 0}, {white, Key_Delete, no, 2, 1, 4, "Delete", 0}, {white, Key_Delete, ctrl, 3, 1, 4, "", 1},
        {white, Key_Up, ctrl, 5, 0, 0, "c", 0}, {white, Key_Down, ctrl, 6, 2, 0, "c", 0}, {white, Key_L, ctrl, 8, 1, 2, idB, 0},
        {white, 0, no, 9, 1, 0, "kappa", 0}, {white, Key_Return, ctrl, 11, -1, 0, "1", 0}, {white, Key_Escape, no, 12, -1, 0, "0", 0},
        {black, Key_Insert, no, 1, 0, 0, "new", 0}, {black, Key_Delete, no, 2, 1, 3, "Delete", 0}, {black, Key_Delete, ctrl, 3, 1, 3, "", 1},
        {black, Key_L, ctrl, 4, 1, 1, idB, 0}, {black, 0, no, 6, 1, 0, "kappa", 0}, {black, Key_Return, ctrl, 8, -1, 0, "1", 0},
        {black, Key_Escape, no, 9, -1, 0, "0", 0}, {statistic, Key_Delete, no, 1, 1, 4, "Delete", 0},
        {statistic, Key_Delete, ctrl, 2, 1, 4, "", 1}, {statistic, Key_W, ctrl, 3, 1, 4, "Added to White List", 0},
        {statistic, Key_B, ctrl, 4, 1, 4, "Added to Black List", 0}, {statistic, Key_R, ctrl, 5, 1, 1, "30", 0},
        {statistic, 0, no, 6, 1, 0, "kappa", 0}, {statistic, Key_L, ctrl, 7, 1, 2, idB, 0}, {statistic, Key_D, ctrl, 8, -1, 0, "1", 0},
        {statistic, Key_Return, ctrl, 9, 1, 0, "z", 1}, {statistic, Key_Escape, no, 10, -1, 0, "0", 0}};
    for (const auto& [window, k, mods, button, row, column, effect, marked] : cases) {
        for (bool byKey : {true, false}) {
            withWindow(window, [&](gui::ListFormBase& w) {
                selectRows(w.view(), {1});
                if (marked)
                    key(w, Qt::Key_Delete);
                if (!byKey)
                    w.findChild<QToolButton*>("ToolButton" + QString::number(button))->click();
                else
                    k ? key(w, k, mods) : doubleClickWord(w.view(), 1);
                if (k == 0)
                    typeInEditor(w.view(), QStringLiteral("kappa"));
                const QString result = w.isVisible() ? "open" : QString::number(w.result());
                EXPECT_EQ(row < 0 ? result : w.view()->model()->index(row, column).data().toString(), effect) << button << byKey;
                if (w.isVisible())
                    key(w, Qt::Key_Escape);
            });
        }
    }
}

// F2 and Enter edit the current word and Escape leaves only the editor; a
// letter does not select all rows, Ctrl+A does; Tab reaches the buttons,
// Space presses one; a second click on a header reverses its order.
TEST_F(ListForms, DesktopKeysAndHeaderClicks)
{
    withWindow(Qt::Key_F3, [&](gui::ListFormBase& w) {
        for (int k : {Qt::Key_F2, Qt::Key_Return}) {
            selectRows(w.view(), {1});
            key(w, k);
            ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr) << k;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            EXPECT_TRUE(w.isVisible() && QApplication::focusWidget() == w.view()) << k;
        }
        key(w, Qt::Key_A);
        EXPECT_EQ(w.view()->selectionModel()->selectedRows().size(), 1);
        key(w, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(w.view()->selectionModel()->selectedRows().size(), 3);

        selectRows(w.view(), {1});
        key(w, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), "ToolButton1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // Delete
        EXPECT_EQ(column(w, 4), ",Delete,");

        // Caption, Index and Language ID: ascending, descending, ascending.
        QHeaderView* header = w.view()->horizontalHeader();
        const std::tuple<int, QString, QString> clicks[] = {
            {0, "a,b,c", "c,b,a"}, {1, "9,10,100", "100,10,9"}, {2, "c,b,a", "a,c,b"}};
        for (const auto& [c, ascending, descending] : clicks) {
            for (int click = 0; click < 3; ++click) {
                clickHeader(w, c);
                EXPECT_EQ(column(w, c == 1 ? 1 : 0), click == 1 ? descending : ascending) << c << ' ' << click;
                EXPECT_TRUE(header->isSortIndicatorShown() && header->sortIndicatorSection() == c &&
                            header->sortIndicatorOrder() == (click == 1 ? Qt::DescendingOrder : Qt::AscendingOrder)) << c << ' ' << click;
            }
        }
        clickHeader(w, 4); // Action does not sort: the arrow stays
        EXPECT_EQ(header->sortIndicatorSection(), 2);
        key(w, Qt::Key_Escape);
    });
    // The statistic window's first order is the highest rating first.
    withWindow(Qt::Key_F4, [&](gui::ListFormBase& w) {
        for (const char* order : {"x,y,z", "z,y,x", "x,y,z"}) {
            clickHeader(w, 1);
            EXPECT_EQ(column(w, 0), order);
        }
        EXPECT_EQ(w.view()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        key(w, Qt::Key_Escape);
    });
}

// In each window: Enter in the word editor only confirms the word, whatever
// Ctrl shortcut was used there before; Ctrl+Z takes a command back, Ctrl+Shift+Z
// and Ctrl+Y do it again, the context menu names the step (the statistic
// window's To "White" List is taken back in the white list and its file
// too); the window comes back at the size, place and column widths it was
// closed with, kept in this run's settings, never the user's.
TEST_F(ListForms, EachWindowEditsUndoesRedoesAndKeepsItsGeometry)
{
    ASSERT_TRUE(QSettings("Vexlon", "vexlon").fileName().startsWith(QFile::decodeName(qgetenv("XDG_CONFIG_HOME"))));
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    for (int window : {Qt::Key_F3, Qt::Key_F2, Qt::Key_F4}) {
        QRect closed;
        withWindow(window, [&](gui::ListFormBase& w) {
            QSettings("Vexlon", "vexlon").remove(w.objectName());
            w.setGeometry(QRect(w.geometry().topLeft() + QPoint(7, 9), QSize(720, 430)));
            closed = w.geometry();
            w.view()->horizontalHeader()->resizeSection(0, 131);
            EXPECT_FALSE(w.undoAction()->isEnabled());
            EXPECT_EQ(w.view()->actions(), (QList<QAction*>{w.undoAction(), w.redoAction()}));
            selectRows(w.view(), {1});
            key(w, Qt::Key_Delete);
            EXPECT_EQ(w.undoAction()->text(), "Undo Delete");
            for (auto [k, mods, marks] : {std::tuple(Qt::Key_Z, ctrl, ",,"), {Qt::Key_Z, ctrl | Qt::ShiftModifier, ",Delete,"},
                                          {Qt::Key_Z, ctrl, ",,"}, {Qt::Key_Y, ctrl, ",Delete,"}}) {
                key(w, k, mods);
                EXPECT_EQ(column(w, w.view()->model()->columnCount() - 1), marks) << window;
            }
            if (window == Qt::Key_F4) {
                key(w, Qt::Key_W, ctrl);
                key(w, Qt::Key_Z, ctrl);
                TLST file;
                EXPECT_TRUE(ReadListFile(path("Lists/WhiteList.csv"), file, state().langStructure));
                EXPECT_TRUE(file.Count == 3 && state().whiteList.Count == 3);
                EXPECT_EQ(w.redoAction()->text(), "Redo To \"White\" List");
            }
            doubleClickWord(w.view(), 0);
            QLineEdit* editor = w.view()->findChild<QLineEdit*>();
            ASSERT_NE(editor, nullptr);
            QTest::keyClicks(editor, QStringLiteral("kappa"));
            QTest::keyClick(editor, Qt::Key_A, ctrl);
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();
            ASSERT_TRUE(w.isVisible()) << window;
            const QAbstractItemModel* m = w.view()->model();
            EXPECT_EQ(m->index(0, 0).data().toString() + ',' + m->index(0, m->columnCount() - 1).data().toString(), "kappa,Edited");
            key(w, Qt::Key_Escape);
        });
        withWindow(window, [&](gui::ListFormBase& w) {
            EXPECT_EQ(w.geometry(), closed) << window;
            EXPECT_EQ(w.view()->horizontalHeader()->sectionSize(0), 131);
            key(w, Qt::Key_Escape);
        });
    }
}

// The statistic window's close box asks before dropping changes (No keeps it);
// after To Dictionary the main window follows the table it filled.
// A list file that cannot be written is reported over the window that wrote
// it: the statistic window, or the main window once a list window closed.
TEST_F(ListForms, StatisticWindowQuestionsAndWriteErrors)
{
    withWindow(Qt::Key_F4, [this](gui::ListFormBase& w) {
        selectRows(w.view(), {0});
        key(w, Qt::Key_Delete);
        answers.expectBox(QMessageBox::No);
        w.close();
        answers.expectBox(QMessageBox::Yes);
        key(w, Qt::Key_D, Qt::ControlModifier);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(answers.shown, (QStringList{"TST", texts().MESSAGES(29), texts().MESSAGES(30)}));
    EXPECT_TRUE(table().count() > 0 && form->model()->rowCount() == table().count());
    EXPECT_EQ(form->Label3->text(), dictionaryStatusLine(state(), table()).text);

    ASSERT_TRUE(QDir(path("Lists")).removeRecursively());
    withWindow(Qt::Key_F4, [this](gui::ListFormBase& w) {
        selectRows(w.view(), {0});
        key(w, Qt::Key_W, Qt::ControlModifier);
        EXPECT_TRUE(answers.shown.size() == 2 && answers.shown[1].startsWith("Cannot ")) << answers.shown.join('|').toStdString();
        key(w, Qt::Key_Escape);
    });
    for (int openKey : {Qt::Key_F3, Qt::Key_F2}) {
        withWindow(openKey, [&](gui::ListFormBase& w) {
            answers.expect([this](QDialog& d) {
                EXPECT_EQ(d.parentWidget(), form.get());
                EXPECT_TRUE(form->isEnabled());
                return int(QMessageBox::Ok);
            });
            openKey == Qt::Key_F3 ? void(w.close()) : key(w, Qt::Key_Escape);
        });
        EXPECT_TRUE(answers.shown.size() == 2 && answers.shown[1].startsWith("Cannot ")) << answers.shown.join('|').toStdString();
    }
}

// The Set Reiting prompt can be declined: its Cancel button, captioned from
// the pack, and Escape give nothing; OK gives what was typed.
TEST_F(ListForms, SetReitingPromptOffersCancel)
{
    const auto ask = [this](const std::function<void(QDialog&)>& act) {
        answers.expect([&act](QDialog& d) {
            d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("30"));
            act(d);
            return d.result();
        });
        return gui::AskRating(texts().MESSAGES(24), texts().MESSAGES(7), texts().MESSAGES(8), form.get());
    };
    const auto click = [](const char* name) {
        return [name](QDialog& d) { d.findChild<QPushButton*>(QString::fromLatin1(name))->click(); };
    };
    EXPECT_EQ(ask(click("Button1")), std::optional<QString>(QStringLiteral("30")));
    EXPECT_EQ(ask([this](QDialog& d) {
                  EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("CancelButton"))->text(), texts().MESSAGES(8));
                  d.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
              }),
              std::nullopt);
    EXPECT_EQ(ask([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }), std::nullopt);
}

} // namespace vexlon::test
