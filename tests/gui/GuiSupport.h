// Support for widget tests: a program directory copied from the built data,
// a scripted answerer for every modal dialog, and a fixture that drives the
// main window as a user does.
#pragma once

#include "core/base/Settings.h"
#include "gui/MainForm.h"
#include "gui/ModalRunner.h"

#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

// gtest shows Qt strings as text.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace vexlon::test {

// Copies the data beside the built program (language structure, packs,
// lists, trailer, ReadMe, sample) into a fresh folder.
class ProgramDir {
public:
    ProgramDir()
    {
        const QDir source(QStringLiteral(VEXLON_BIN_DIR "/"));
        QDirIterator it(source.path(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString rel = source.relativeFilePath(it.next());
            if (it.fileInfo().isExecutable() || rel == QLatin1String("Vexlon.ini"))
                continue;
            QDir().mkpath(QFileInfo(dir() + rel).absolutePath());
            QFile::copy(it.filePath(), dir() + rel);
            QFile(dir() + rel).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
        QDir().mkpath(dir() + QStringLiteral("TempFile"));
    }
    QString dir() const { return m_dir.path() + QLatin1Char('/'); }
    QString path(const char* rel) const { return dir() + QString::fromLatin1(rel); }

private:
    QTemporaryDir m_dir;
};

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

// A settings file with the defaults, so start-up has nothing to report.
inline void writeSettings(const ProgramDir& dir, const std::function<void(TSettings&)>& change = {})
{
    TSettings settings;
    SetDefaultSettings(settings);
    if (change)
        change(settings);
    SaveSettings(settings, dir.path("Vexlon.ini"));
}

// Answers modal dialogs from a script, then with `otherwise` when set; a
// dialog nobody expected fails the test and is answered No / Cancel.
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
    void expectBox(QMessageBox::StandardButton button)
    {
        expect([button](QDialog&) { return int(button); });
    }
    int answer(QDialog& dialog) override
    {
        const auto* box = qobject_cast<QMessageBox*>(&dialog);
        shown << (box ? box->text() : dialog.objectName());
        Step step = otherwise;
        if (!steps.empty()) {
            step = std::move(steps.front());
            steps.pop_front();
        } else if (!step) {
            ADD_FAILURE() << "unexpected dialog " << shown.last().toStdString();
            return box ? int(QMessageBox::No) : int(QDialog::Rejected);
        }
        return step(dialog);
    }
};

// Selects the rows, the first being the current one, as clicks would.
inline void selectRows(QTableView* view, std::initializer_list<int> rows)
{
    QItemSelection selection;
    for (int r : rows)
        selection.select(view->model()->index(r, 0), view->model()->index(r, view->model()->columnCount() - 1));
    view->selectionModel()->setCurrentIndex(view->model()->index(*rows.begin(), 0), QItemSelectionModel::NoUpdate);
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

inline QList<int> selectedRows(QTableView* view)
{
    QList<int> rows;
    for (const QModelIndex& i : view->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

inline void clickHeader(QTableView* view, int column)
{
    QHeaderView* h = view->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(column) + 5, 5));
}

// A click and a double click on the row's word.
inline void doubleClickWord(QTableView* view, int row)
{
    const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// The open in-place editor of the view (typeInEditor deletes closed ones).
inline QLineEdit* editorOf(QTableView* view)
{
    return view->findChild<QLineEdit*>();
}

// Replaces the text in the open in-place editor and ends with the key.
inline void typeInEditor(QTableView* view, const QString& text, int finish = Qt::Key_Return)
{
    QLineEdit* editor = editorOf(view);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key(finish));
    QCoreApplication::processEvents(); // the view commits when the event loop runs
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline QByteArrayList words(const DictionaryTable& table)
{
    QByteArrayList out;
    for (const DictRow& r : table.rows())
        out << r.word;
    return out;
}

inline DictRow row(const char* word, const char* number, const char* status = "Users Dictionary")
{
    return DictRow{word, number, "01", "English", status};
}

// The main window over a fresh program directory, shown, active and with
// the focus in its table.
class MainWindowTest : public testing::Test {
protected:
    void start(const std::function<void(TSettings&)>& change = {})
    {
        writeSettings(dir, change);
        form = std::make_unique<gui::TMainForm>(QStringList{}, dir.dir());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QApplication::setActiveWindow(form.get());
        form->ListView1->setFocus();
        QCoreApplication::processEvents();
    }
    ProgramState& state() { return form->editor().state; }
    DictionaryTable& table() { return form->editor().table; }
    const UiTexts& texts() { return state().texts; }
    void fill(QVector<DictRow> rows)
    {
        table().replaceAll(std::move(rows));
        table().modified = false;
    }
    // A key pressed in the table, the main window active as after a user's click.
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QApplication::setActiveWindow(form.get());
        form->ListView1->setFocus();
        QTest::keyClick(form->ListView1, Qt::Key(k), mods);
    }

    ProgramDir dir;
    ScriptedAnswerer answers;
    std::unique_ptr<gui::TMainForm> form;
};

} // namespace vexlon::test
