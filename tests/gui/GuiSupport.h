// Support for widget tests: a program directory copied from the built data,
// a scripted answerer for every modal dialog, and a fixture that drives the
// main window as a user does.
#pragma once

#include "core/base/Settings.h"
#include "gui/MainForm.h"
#include "gui/ModalRunner.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
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

namespace vexlon::test {

// Copies the data beside the built program (language structure, packs,
// lists, trailer, TempFile, ReadMe, sample) into a fresh folder.
class ProgramDir {
public:
    ProgramDir()
    {
        const QString from = QStringLiteral(VEXLON_BIN_DIR "/");
        QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        const QDir source(from);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString rel = source.relativeFilePath(path);
            if (it.fileInfo().isDir()) {
                QDir().mkpath(dir() + rel);
            } else if (!it.fileInfo().isExecutable() && rel != QLatin1String("Vexlon.ini")) {
                QDir().mkpath(QFileInfo(dir() + rel).absolutePath());
                QFile::copy(path, dir() + rel);
                QFile(dir() + rel).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
            }
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

// Answers modal dialogs from a script; every dialog is recorded. A dialog
// the script did not expect fails the test and is answered No / Cancel.
class ScriptedAnswerer : public gui::DialogAnswerer {
public:
    using Step = std::function<int(QDialog&)>;
    std::deque<Step> steps;
    QStringList shown; // "<objectName>: <text>"

    ScriptedAnswerer() { gui::setDialogAnswerer(this); }
    ~ScriptedAnswerer() override { gui::setDialogAnswerer(nullptr); }

    void expect(Step step) { steps.push_back(std::move(step)); }
    // A message box, answered with the button.
    void expectBox(QMessageBox::StandardButton button)
    {
        expect([button](QDialog& d) {
            EXPECT_NE(qobject_cast<QMessageBox*>(&d), nullptr) << d.objectName().toStdString();
            return int(button);
        });
    }

    // A dialog with this object name, answered with the result.
    void expectNamed(const QString& name, int result)
    {
        expect([name, result](QDialog& d) {
            EXPECT_EQ(d.objectName(), name);
            return result;
        });
    }

    int answer(QDialog& dialog) override
    {
        const auto* box = qobject_cast<QMessageBox*>(&dialog);
        shown << dialog.objectName() + QStringLiteral(": ") + (box ? box->text() : dialog.windowTitle());
        if (steps.empty()) {
            ADD_FAILURE() << "unexpected dialog " << shown.last().toStdString();
            return box ? int(QMessageBox::No) : int(QDialog::Rejected);
        }
        Step step = std::move(steps.front());
        steps.pop_front();
        return step(dialog);
    }
    // The texts of the message boxes shown, in order.
    QStringList texts() const
    {
        QStringList out;
        for (const QString& s : shown)
            out << s.section(QStringLiteral(": "), 1);
        return out;
    }
};

inline void selectRows(QTableView* view, std::initializer_list<int> rows)
{
    view->clearSelection();
    QItemSelection selection;
    for (int r : rows)
        selection.select(view->model()->index(r, 0), view->model()->index(r, view->model()->columnCount() - 1));
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

// A click and a double click on the row's word, which opens the in-place
// editor where the row may be edited.
inline void doubleClickWord(QTableView* view, int row)
{
    const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// The open in-place editor of the view (closed ones are deleted later).
inline QLineEdit* editorOf(QTableView* view)
{
    for (QLineEdit* editor : view->findChildren<QLineEdit*>()) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
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

inline QByteArrayList numbers(const DictionaryTable& table)
{
    QByteArrayList out;
    for (const DictRow& r : table.rows())
        out << r.number;
    return out;
}

inline DictRow row(const char* word, const char* number, const char* id = "01", const char* status = "Users Dictionary")
{
    DictRow r;
    r.word = word;
    r.number = number;
    r.languageId = id;
    r.language = "English";
    r.status = status;
    return r;
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
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(form->ListView1, Qt::Key(k), mods); }

    ProgramDir dir;
    ScriptedAnswerer answers;
    std::unique_ptr<gui::TMainForm> form;
};

} // namespace vexlon::test
