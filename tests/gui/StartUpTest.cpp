// Start-up of the main window with complete, missing and corrupt data files:
// what is reported, and what still works afterwards.
#include "GuiSupport.h"

#include "core/base/Settings.h"
#include "gui/DictionaryModel.h"
#include "core/app/StartUp.h"

#include <QToolButton>

namespace vexlon::test {

class StartUp : public testing::Test {
protected:
    StartUp() { writeSettings(dir); }
    // Starts the main window, answering one message box per expected text.
    void launch(const QStringList& messages, const QStringList& arguments = {})
    {
        for (int i = 0; i < messages.size(); ++i)
            answers.expectBox(QMessageBox::Ok);
        form = std::make_unique<gui::TMainForm>(arguments, dir.dir());
        EXPECT_EQ(answers.texts(), messages);
    }
    ProgramState& state() { return form->editor().state; }

    ProgramDir dir;
    ScriptedAnswerer answers;
    std::unique_ptr<gui::TMainForm> form;
};

TEST_F(StartUp, CompleteDataStartsSilentlyWithThePackApplied)
{
    launch({});
    EXPECT_FALSE(form->terminateRequested());
    const UiTexts& t = state().texts;
    ASSERT_GE(t.ui.size(), 32);
    EXPECT_EQ(form->ToolButton1->text(), t.UI(0));
    EXPECT_EQ(form->model()->headerData(1, Qt::Horizontal).toString(), t.UI(11));
    EXPECT_EQ(form->Label3->text(), t.MESSAGES(0) + QStringLiteral("5081 b, ") + t.MESSAGES(1) + QStringLiteral("0"));
    EXPECT_EQ(form->Label3->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(form->Label4->text(), t.MESSAGES(21));
    EXPECT_EQ(form->Label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_GT(state().langStructure.Count, 0);
    EXPECT_EQ(state().langStructure.Languages.size(), state().langStructure.Count);
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

TEST_F(StartUp, MissingListsFolderReportsTheThreeListsInOrder)
{
    QDir(dir.path("Lists")).removeRecursively();
    launch({QStringLiteral("ERROR[03]: Error of reading Statislic list file."),
            QStringLiteral("ERROR[04]: Error of reading white list file."),
            QStringLiteral("ERROR[05]: Error of reading black list file.")});
    EXPECT_EQ(state().whiteList.Count + state().blackList.Count + state().statisticList.Count, 0);
    // The window still works: the status line was drawn after the lists.
    EXPECT_TRUE(form->Label3->text().contains(QStringLiteral("5081")));
}

TEST_F(StartUp, MissingLanguageListKeepsBuiltInCaptionsAndEnglishMessages)
{
    QFile::remove(dir.path("Languages/Languages.ini"));
    launch({QString::fromLatin1(kLanguageListErrorMessage)});
    EXPECT_EQ(state().languageList.Tag, QStringLiteral("CORRUPT"));
    EXPECT_EQ(form->ToolButton1->text(), QStringLiteral("New Dictionary"));
    EXPECT_EQ(form->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("language ID"));
    EXPECT_TRUE(state().texts.ui.isEmpty());
    // The status line speaks the English pack's words rather than bare numbers.
    EXPECT_TRUE(form->Label3->text().startsWith(QStringLiteral("Free: "))) << form->Label3->text().toStdString();
}

TEST_F(StartUp, BadLanguageStructureEndsTheProgramAfterTheOtherSteps)
{
    writeFile(dir.path("iTAP_Lang_structure.dat"), QByteArray("\x00\x02", 2)); // version 2: refused
    launch({QString::fromLatin1(kCriticalStructureMessage)});
    EXPECT_TRUE(form->terminateRequested());
    EXPECT_FALSE(state().texts.ui.isEmpty()); // the remaining steps ran: the pack is applied
}

TEST_F(StartUp, ListFileWithBadCountStopsTheSequenceButTheWindowWorks)
{
    writeFile(dir.path("Lists/Statistic.csv"), "Vexlon list file\r\nx\r\nx\r\ncount;x\r\n");
    answers.expectNamed(QStringLiteral("ErrorBox"), QMessageBox::Ok);
    form = std::make_unique<gui::TMainForm>(QStringList{}, dir.dir());
    ASSERT_EQ(answers.shown.size(), 1);
    EXPECT_TRUE(answers.texts().first().contains(QStringLiteral("is not a valid integer value")));
    // The status line was never drawn, but the commands work.
    EXPECT_TRUE(form->Label3->text().isEmpty());
    form->Clear1Click();
    EXPECT_TRUE(form->Label3->text().contains(QStringLiteral("5081")));
}

TEST_F(StartUp, CommandLinePiecesAreJoinedWithBlanksAndOpened)
{
    QDir().mkpath(dir.path("my dicts"));
    ASSERT_TRUE(QFile::copy(dir.path("samples/sample.iud"), dir.path("my dicts/my sample.iud")));
    launch({}, {dir.path("my"), QStringLiteral("dicts/my"), QStringLiteral("sample.iud")});
    form->show();
    QTRY_VERIFY(form->editor().table.count() > 0);
    EXPECT_TRUE(answers.shown.isEmpty()) << answers.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(form->editor().table.modified);
    EXPECT_EQ(form->editor().table.row(0).number, QByteArray("1"));
    EXPECT_EQ(form->model()->rowCount(), form->editor().table.count());
}

} // namespace vexlon::test
