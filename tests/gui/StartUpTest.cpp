// Start-up of the main window with complete, missing and corrupt data files.
#include "GuiSupport.h"

#include "app/base/Settings.h"
#include "gui/DictionaryModel.h"
#include "gui/StartUp.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

namespace vexlon::test {

using gui::TMainForm;

TEST(StartUp, CompleteDataStartsSilentlyWithThePackApplied)
{
    ProgramDir dir;
    writeSettings(dir);
    ScriptedAnswerer answers;
    TMainForm form({}, dir.dir());
    EXPECT_TRUE(answers.shown.isEmpty()) << answers.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(form.terminateRequested());
    const UiTexts& t = form.editor().state.texts;
    ASSERT_GE(t.ui.size(), 32);
    EXPECT_EQ(form.ToolButton1->text(), t.UI(0));
    EXPECT_EQ(form.model()->headerData(1, Qt::Horizontal).toString(), t.UI(11));
    EXPECT_EQ(form.Label3->text(), t.MESSAGES(0) + QStringLiteral("5081 b, ") + t.MESSAGES(1) + QStringLiteral("0"));
    EXPECT_EQ(form.Label3->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(form.Label4->text(), t.MESSAGES(21));
    EXPECT_EQ(form.Label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(form.editor().state.langStructure.Languages.size(), form.editor().state.langStructure.Count);
    EXPECT_GT(form.editor().state.langStructure.Count, 0);
}

TEST(StartUp, MissingSettingsFileIsReportedAndWrittenWithDefaults)
{
    ProgramDir dir;
    ScriptedAnswerer answers;
    answers.expectBox(QMessageBox::Ok);
    TMainForm form({}, dir.dir());
    EXPECT_EQ(answers.texts(), QStringList{QString::fromLatin1(gui::kSettingsErrorMessage)});
    TSettings written;
    ASSERT_TRUE(LoadSettings(dir.path("Vexlon.ini"), written));
    TSettings defaults;
    SetDefaultSettings(defaults);
    EXPECT_EQ(written, defaults);
}

TEST(StartUp, MissingListsFolderReportsTheThreeListsInOrder)
{
    ProgramDir dir;
    writeSettings(dir);
    QDir(dir.path("Lists")).removeRecursively();
    ScriptedAnswerer answers;
    for (int i = 0; i < 3; ++i)
        answers.expectBox(QMessageBox::Ok);
    TMainForm form({}, dir.dir());
    EXPECT_EQ(answers.texts(), (QStringList{QStringLiteral("ERROR[03]: Error of reading Statislic list file."),
                                            QStringLiteral("ERROR[04]: Error of reading white list file."),
                                            QStringLiteral("ERROR[05]: Error of reading black list file.")}));
    EXPECT_EQ(form.editor().state.whiteList.Count, 0);
    EXPECT_EQ(form.editor().state.blackList.Count, 0);
    EXPECT_EQ(form.editor().state.statisticList.Count, 0);
    // The window still works: the status line was drawn after the lists.
    EXPECT_TRUE(form.Label3->text().contains(QStringLiteral("5081")));
}

TEST(StartUp, MissingLanguageListKeepsBuiltInCaptionsAndEnglishMessages)
{
    ProgramDir dir;
    writeSettings(dir);
    QFile::remove(dir.path("Languages/Languages.ini"));
    ScriptedAnswerer answers;
    answers.expectBox(QMessageBox::Ok);
    TMainForm form({}, dir.dir());
    EXPECT_EQ(answers.texts(), QStringList{QString::fromLatin1(gui::kLanguageListErrorMessage)});
    EXPECT_EQ(form.editor().state.languageList.Tag, QStringLiteral("CORRUPT"));
    EXPECT_EQ(form.ToolButton1->text(), QStringLiteral("New Dictionary"));
    EXPECT_EQ(form.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("language ID"));
    EXPECT_TRUE(form.editor().state.texts.ui.isEmpty());
    // The status line speaks the English pack's words rather than bare numbers.
    EXPECT_TRUE(form.Label3->text().startsWith(QStringLiteral("Free: "))) << form.Label3->text().toStdString();
}

TEST(StartUp, BadLanguageStructureEndsTheProgramAfterTheOtherSteps)
{
    ProgramDir dir;
    writeSettings(dir);
    QFile f(dir.path("iTAP_Lang_structure.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("\x00\x02", 2); // version 2: refused
    f.close();
    ScriptedAnswerer answers;
    answers.expectBox(QMessageBox::Ok);
    TMainForm form({}, dir.dir());
    EXPECT_EQ(answers.texts(), QStringList{QString::fromLatin1(gui::kCriticalStructureMessage)});
    EXPECT_TRUE(form.terminateRequested());
    // The remaining steps ran: the pack is applied.
    EXPECT_FALSE(form.editor().state.texts.ui.isEmpty());
}

TEST(StartUp, ListFileWithBadCountStopsTheSequenceButTheWindowWorks)
{
    ProgramDir dir;
    writeSettings(dir);
    QFile f(dir.path("Lists/Statistic.csv"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("Vexlon list file\r\nx\r\nx\r\ncount;x\r\n");
    f.close();
    ScriptedAnswerer answers;
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("ErrorBox"));
        return int(QMessageBox::Ok);
    });
    TMainForm form({}, dir.dir());
    ASSERT_EQ(answers.shown.size(), 1);
    EXPECT_TRUE(answers.texts().first().contains(QStringLiteral("is not a valid integer value")));
    // The status line was never drawn, but the commands work.
    EXPECT_TRUE(form.Label3->text().isEmpty());
    form.Clear1Click();
    EXPECT_TRUE(form.Label3->text().contains(QStringLiteral("5081")));
}

TEST(StartUp, CommandLinePiecesAreJoinedWithBlanksAndOpened)
{
    ProgramDir dir;
    writeSettings(dir);
    QDir().mkpath(dir.path("my dicts"));
    ASSERT_TRUE(QFile::copy(dir.path("samples/sample.iud"), dir.path("my dicts/my sample.iud")));
    ScriptedAnswerer answers;
    TMainForm form({dir.path("my"), QStringLiteral("dicts/my"), QStringLiteral("sample.iud")}, dir.dir());
    EXPECT_EQ(gui::commandLinePath({QStringLiteral("a"), QStringLiteral("b c")}), QStringLiteral("a b c"));
    form.show();
    QTRY_VERIFY(form.editor().table.count() > 0);
    EXPECT_TRUE(answers.shown.isEmpty()) << answers.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(form.editor().table.modified);
    EXPECT_EQ(form.editor().table.row(0).number, QByteArray("1"));
    EXPECT_EQ(form.model()->rowCount(), form.editor().table.count());
}

} // namespace vexlon::test
