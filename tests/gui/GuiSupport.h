// Widget tests' support: the application, a scripted answerer for modal
// dialogs and a fixture that drives the main window as a user does.
#pragma once

#include "core/base/Settings.h"
#include "gui/DictionaryModel.h"
#include "gui/MainForm.h"
#include "gui/ModalRunner.h"

#include <QApplication>
#include <QDirIterator>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; } // for gtest

namespace vexlon::test {

// The application of all widget tests; an unknown Qt warning fails the test.
class QtEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            static const QStringList harmless = {QStringLiteral("This plugin does not support"), // offscreen platform
                                                 QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("QFont::setPointSize")};
            const auto known = [&message](const QString& text) { return message.contains(text); };
            if (type != QtDebugMsg && type != QtInfoMsg && std::none_of(harmless.begin(), harmless.end(), known))
                ADD_FAILURE() << "Qt warning: " << message.toStdString();
        });
        static int argc = 1;
        static char name[] = "gui_tests";
        static char* argv[] = {name, nullptr};
        static QTemporaryDir config; // remembered geometry and sort: this run's own, never the user's

        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        // The phone backups too: never the user's.
        qputenv("XDG_DATA_HOME", QFile::encodeName(config.path() + QStringLiteral("/data")));
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }
    std::unique_ptr<QApplication> m_app;
};
inline testing::Environment* const g_qtEnvironment = testing::AddGlobalTestEnvironment(new QtEnvironment);

// Answers modal dialogs from a script, then with `otherwise`; a dialog nobody
// expected fails the test and is answered No / Cancel.
class ScriptedAnswerer : public gui::DialogAnswerer {
public:
    using Step = std::function<int(QDialog&)>;
    std::deque<Step> steps;
    Step otherwise;
    QStringList shown; // a message box's text, another dialog's object name

    ScriptedAnswerer() { gui::setDialogAnswerer(this); }
    ~ScriptedAnswerer() override
    {
        gui::setDialogAnswerer(nullptr);
        EXPECT_TRUE(steps.empty()) << steps.size() << " expected dialogs did not come";
    }
    void expect(Step step) { steps.push_back(std::move(step)); }
    void expectBox(QMessageBox::StandardButton button) { expect([button](QDialog&) { return int(button); }); }
    int answer(QDialog& dialog) override
    {
        const auto* box = qobject_cast<QMessageBox*>(&dialog);
        shown << (box ? box->text() : dialog.objectName());
        if (!steps.empty()) {
            const Step step = std::move(steps.front());
            steps.pop_front();
            return step(dialog);
        }
        EXPECT_TRUE(otherwise) << "unexpected dialog " << shown.last().toStdString();
        return otherwise ? otherwise(dialog) : box ? int(QMessageBox::No) : int(QDialog::Rejected);
    }
};

// Selects the rows as clicks would (none: no selection), the first current.
inline void selectRows(QTableView* view, const QList<int>& rows)
{
    QItemSelection selection;
    for (int r : rows)
        selection.select(view->model()->index(r, 0), view->model()->index(r, view->model()->columnCount() - 1));
    view->selectionModel()->setCurrentIndex(view->model()->index(rows.value(0), 0), QItemSelectionModel::NoUpdate);
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

// A click on the caption of the column.
inline void clickHeader(QTableView* view, int column)
{
    QHeaderView* h = view->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, {h->sectionViewportPosition(column) + 5, 5});
}

// A click and a double click on the row's word.
inline void doubleClickWord(QTableView* view, int row)
{
    const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Replaces the text in the open in-place editor and ends with the key.
inline void typeInEditor(QTableView* view, const QString& text, int finish = Qt::Key_Return)
{
    QLineEdit* editor = view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key(finish));
    QCoreApplication::processEvents(); // the view commits when the event loop runs
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline DictRow row(const char* word, const char* number, const char* status = "Users Dictionary")
{
    return DictRow{word, number, "01", "English", status};
}

// The main window over a copy of the built data, with default settings.
class MainWindowTest : public testing::Test {
protected:
    MainWindowTest()
    {
        const QDir source(QStringLiteral(VEXLON_BIN_DIR "/"));
        QDirIterator it(source.path(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString rel = source.relativeFilePath(it.next());
            if (it.fileInfo().isExecutable() || rel == QLatin1String("Vexlon.ini"))
                continue;
            QDir().mkpath(QFileInfo(path() + rel).absolutePath());
            QFile::copy(it.filePath(), path() + rel);
            QFile(path() + rel).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
        QDir().mkpath(path("TempFile"));
        TSettings defaults;
        SetDefaultSettings(defaults);
        SaveSettings(defaults, path("Vexlon.ini"));
        QSettings(QStringLiteral("Vexlon"), QStringLiteral("vexlon")).clear(); // a window nobody has sized or sorted
    }
    void SetUp() override { start(); }
    QString path(const char* rel = "") const { return m_dir.path() + QLatin1Char('/') + QString::fromLatin1(rel); }
    // Makes the window, each message box of its start-up answered OK.
    void launch(const QStringList& messages, const QStringList& arguments = {})
    {
        answers.otherwise = [](QDialog&) { return int(QMessageBox::Ok); };
        form = std::make_unique<gui::TMainForm>(arguments, path());
        answers.otherwise = nullptr;
        EXPECT_EQ(answers.shown, messages);
    }
    // Makes the window and shows it, active and with the focus in its table.
    void start(const QStringList& arguments = {})
    {
        form = std::make_unique<gui::TMainForm>(arguments, path());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        key(0);
    }
    ProgramState& state() { return form->editor().state; }
    DictionaryTable& table() { return form->editor().table; }
    const UiTexts& texts() { return state().texts; }
    void fill(QVector<DictRow> rows, bool modified = false) { table().replaceAll(std::move(rows)); table().modified = modified; }
    // A key pressed in the table (none for 0) of the active window.
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QApplication::setActiveWindow(form.get());
        form->ListView1->setFocus();
        if (k)
            QTest::keyClick(form->ListView1, Qt::Key(k), mods);
    }
    // The words, with their numbers (starred when selected) when `numbers`.
    QString words(bool numbers = false)
    {
        QStringList out;
        for (int i = 0; i < table().count(); ++i)
            out << table().row(i).word + (numbers ? ' ' + QString::fromLatin1(table().row(i).number) : "") +
                       (numbers && form->ListView1->selectionModel()->isRowSelected(i) ? "*" : "");
        return out.join(',');
    }

    QTemporaryDir m_dir;
    ScriptedAnswerer answers;
    std::unique_ptr<gui::TMainForm> form;
};

} // namespace vexlon::test
