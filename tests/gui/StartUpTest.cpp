// Start-up of the main window with complete, missing and corrupt data files:
// what is reported, and what still works afterwards.
#include "GuiSupport.h"

#include "core/app/StartUp.h"
#include "core/dictionary/TableOps.h"
#include "core/lists/ListFiles.h"
#include "gui/DictionaryModel.h"

#include <QToolButton>

namespace vexlon::test {

class StartUp : public testing::Test {
protected:
    StartUp() { writeSettings(dir); }
    // Starts the main window, answering every message box with OK; each
    // message shown must be the next of `messages`.
    void launch(const QStringList& messages, const QStringList& arguments = {})
    {
        answers.otherwise = [](QDialog&) { return int(QMessageBox::Ok); };
        form = std::make_unique<gui::TMainForm>(arguments, dir.dir());
        EXPECT_EQ(answers.shown, messages);
    }
    ProgramState& state() { return form->editor().state; }
    QString statusLine() { return dictionaryStatusLine(state(), form->editor().table).text; }

    ProgramDir dir;
    ScriptedAnswerer answers;
    std::unique_ptr<gui::TMainForm> form;
};

// Nothing to report; the pack's captions and both status lines are shown.
TEST_F(StartUp, CompleteDataStartsSilentlyWithThePackApplied)
{
    launch({});
    EXPECT_FALSE(form->terminateRequested());
    const UiTexts& t = state().texts;
    EXPECT_EQ(form->ToolButton1->text(), t.UI(0));
    EXPECT_EQ(form->model()->headerData(1, Qt::Horizontal).toString(), t.UI(11));
    EXPECT_EQ(form->Label1->text(), t.UI(30));
    EXPECT_EQ(form->Label3->text(), statusLine());
    EXPECT_EQ(form->Label3->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(form->Label4->text(), t.MESSAGES(21));
    EXPECT_EQ(form->Label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(StartUp, MissingSettingsFileIsReportedAndWrittenWithDefaults)
{
    QFile::remove(dir.path("Vexlon.ini"));
    launch({QString::fromLatin1(kSettingsErrorMessage)});
    TSettings written, defaults;
    ASSERT_TRUE(LoadSettings(dir.path("Vexlon.ini"), written));
    SetDefaultSettings(defaults);
    EXPECT_EQ(written, defaults);
}

// Each list that cannot be read is reported; the status line still follows.
TEST_F(StartUp, MissingListsAreReportedAndTheWindowGoesOn)
{
    QDir(dir.path("Lists")).removeRecursively();
    launch({listReadErrorText(ListKind::Statistic), listReadErrorText(ListKind::White),
            listReadErrorText(ListKind::Black)});
    EXPECT_EQ(form->Label3->text(), statusLine());
}

TEST_F(StartUp, MissingLanguageListKeepsBuiltInCaptionsAndEnglishMessages)
{
    QFile::remove(dir.path("Languages/Languages.ini"));
    launch({QString::fromLatin1(kLanguageListErrorMessage)});
    EXPECT_EQ(form->ToolButton1->text(), QStringLiteral("New Dictionary"));
    EXPECT_EQ(form->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("language ID"));
    EXPECT_TRUE(form->Label3->text().startsWith(QStringLiteral("Free: "))) << form->Label3->text().toStdString();
}

TEST_F(StartUp, BadLanguageStructureEndsTheProgramAfterTheOtherSteps)
{
    writeFile(dir.path("iTAP_Lang_structure.dat"), QByteArray("\x00\x02", 2)); // version 2: refused
    launch({QString::fromLatin1(kCriticalStructureMessage)});
    EXPECT_TRUE(form->terminateRequested());
    EXPECT_EQ(form->ToolButton1->text(), state().texts.UI(0)); // the pack is still applied
}

// An error ends the sequence before the status line; the commands work.
TEST_F(StartUp, ListFileWithBadCountStopsTheSequenceButTheWindowWorks)
{
    writeFile(dir.path("Lists/Statistic.csv"), "Vexlon list file\r\nx\r\nx\r\ncount;x\r\n");
    launch({QStringLiteral("File \"%1\", line 4: 'x' is not a valid integer value").arg(dir.path("Lists/Statistic.csv"))});
    EXPECT_TRUE(form->Label3->text().isEmpty());
    form->Clear1Click();
    EXPECT_EQ(form->Label3->text(), statusLine());
}

// The pieces of a path split at its blanks are joined again and the file is
// opened once the window shows.
TEST_F(StartUp, CommandLinePiecesAreJoinedWithBlanksAndOpened)
{
    QDir().mkpath(dir.path("my dicts"));
    ASSERT_TRUE(QFile::copy(dir.path("samples/sample.iud"), dir.path("my dicts/my sample.iud")));
    launch({}, {dir.path("my"), QStringLiteral("dicts/my"), QStringLiteral("sample.iud")});
    form->show();
    QTRY_VERIFY(form->editor().table.count() > 0);
    EXPECT_TRUE(answers.shown.isEmpty()) << answers.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form->model()->rowCount(), form->editor().table.count());
}

} // namespace vexlon::test
