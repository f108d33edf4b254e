// The shared dialogs, the settings dialog, the about box, the usage gauge's
// picture and the file association.
#include "GuiSupport.h"

#include "gui/AboutBox.h"
#include "gui/FileAssociation.h"
#include "gui/SettingsDialog.h"
#include "gui/SharedDialogs.h"
#include "gui/UsageGauge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace vexlon::test {

TEST(UsageGauge, Picture)
{
    const QImage image = gui::drawGauge(computeGauge(5100, 5081, 0));
    ASSERT_EQ(image.size(), QSize(580, 320));
    // Bar 4 (lime, 55 bytes a bar) reaches the top grid line (y = 40), bar 2
    // (blue, 5081 of 5100 bytes free) nearly; bar 5 (aqua, 0 %) has no height.
    EXPECT_EQ(image.pixelColor(317, 45), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(147, 60), QColor(0, 0, 255));
    EXPECT_NE(image.pixelColor(430, 300), QColor(0, 255, 255));
}

TEST(SharedDialogs, TheChooserGivesAnIndexOrNothing)
{
    ScriptedAnswerer answers;
    answers.expect([](QDialog& d) {
        auto* list = d.findChild<QListWidget*>();
        EXPECT_EQ(list->currentRow(), 0); // the first is selected
        EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("OkButton"))->text(), QStringLiteral("Take"));
        list->setCurrentRow(2);
        return int(QDialog::Accepted);
    });
    answers.expect([](QDialog&) { return int(QDialog::Rejected); }); // the close box
    const QStringList names = {QStringLiteral("English"), QStringLiteral("Russian"), QStringLiteral("German")};
    for (int expected : {2, 255})
        EXPECT_EQ(gui::ChooseLanguage(QStringLiteral("?"), QStringLiteral("Take"), QStringLiteral("Leave"), names, nullptr), expected);
}

// The settings dialog over the program's own packs and languages.
class SettingsDialog : public MainWindowTest {
protected:
    void SetUp() override
    {
        start();
        settings = state().settings;
    }
    std::unique_ptr<gui::TSettingForm> dialog()
    {
        return std::make_unique<gui::TSettingForm>(settings, state().languageList, state().langStructure, texts(), nullptr);
    }
    TSettings settings;
};

// Only digits can be typed; leaving a field checks its range, and a refused
// value is reported and replaced.
TEST_F(SettingsDialog, DigitsOnlyAndRangeChecksOfTheSizeAndWordLength)
{
    settings.UsersDictionaryModified = 1;
    const auto form = dialog();
    answers.otherwise = [](QDialog&) { return int(QMessageBox::Ok); };
    form->Edit1->setText(QStringLiteral("5a1"));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("51"));
    EXPECT_EQ(answers.shown, QStringList{texts().MESSAGES(5)});
    const QStringList size{texts().MESSAGES(4)}, length{QString()}, none;
    const struct {
        QLineEdit* edit;
        const char *typed, *after;
        QStringList shown;
    } cases[] = {{form->Edit1, "26", "5100", size}, {form->Edit1, "65536", "5100", size},
                 {form->Edit1, "27", "27", none},   {form->Edit1, "65535", "65535", none},
                 {form->Edit2, "", "2", length},    {form->Edit2, "1", "2", length},
                 {form->Edit2, "256", "2", length}, {form->Edit2, "7", "7", none}};
    for (const auto& c : cases) {
        answers.shown.clear();
        c.edit->setText(QString::fromLatin1(c.typed));
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(c.edit, &out);
        EXPECT_EQ(c.edit->text(), QString::fromLatin1(c.after)) << c.typed;
        EXPECT_EQ(answers.shown, c.shown) << c.typed;
    }
    form->Button1->click();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(settings.UsersDictionarySize, 65535);
    EXPECT_EQ(settings.UsersDictionaryModified, 1);
    EXPECT_EQ(settings.MinWordLength, 7);
}

TEST_F(SettingsDialog, StandardSizeWinsAndCancelChangesNothing)
{
    const auto cancelled = dialog();
    cancelled->CheckBox4->setChecked(true);
    cancelled->Button2->click();
    EXPECT_FALSE(settings.WhiteListOn);

    settings.UsersDictionaryModified = 1;
    settings.UsersDictionarySize = 6000;
    const auto form = dialog();
    EXPECT_FALSE(form->ComboBox3->isEnabled());
    form->CheckBox9->click();
    EXPECT_TRUE(form->ComboBox3->isEnabled());
    form->RadioButton1->click();
    EXPECT_FALSE(form->Edit1->isEnabled());
    form->CheckBox10->setChecked(true);
    form->RadioButton4->setChecked(true);
    form->Button1->click();
    EXPECT_EQ(settings.UsersDictionaryModified, 0);
    EXPECT_EQ(settings.UsersDictionarySize, 5100);
    EXPECT_TRUE(settings.LanguageClean);
    EXPECT_TRUE(settings.AssociateFiles);
    EXPECT_EQ(settings.StatisticType, 1);
    EXPECT_TRUE(answers.shown.isEmpty());
}

TEST_F(SettingsDialog, MainWindowReappliesPackAndWritesSettingsWhateverClosedIt)
{
    QFile::remove(dir.path("Vexlon.ini"));
    // Cancel: the file is still written, unchanged values.
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("TSettingForm"));
        d.findChild<QCheckBox*>(QStringLiteral("CheckBox4"))->setChecked(true);
        return int(QDialog::Rejected);
    });
    key(Qt::Key_F5);
    TSettings written;
    ASSERT_TRUE(LoadSettings(dir.path("Vexlon.ini"), written));
    EXPECT_FALSE(written.WhiteListOn);
    // Apply with the second pack: the window's captions change at once.
    ASSERT_GE(state().languageList.Count, 2);
    const QString before = form->ToolButton1->text();
    answers.expect([](QDialog& d) {
        d.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
        d.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        return d.result();
    });
    form->ToolButton6->click();
    ASSERT_TRUE(LoadSettings(dir.path("Vexlon.ini"), written));
    EXPECT_EQ(written.Language, 1);
    EXPECT_NE(form->ToolButton1->text(), before);
    EXPECT_EQ(form->ToolButton1->text(), state().texts.UI(0));
}

TEST(AboutBox, ShowsTheReadMeOrNothing)
{
    ProgramDir dir;
    writeFile(dir.path("ReadMe.txt"), "first line\r\n\xcf\xf0\xe8\xe2\xe5\xf2\r\n"); // "Привет" in the 8-bit code page
    {
        gui::TAPF about(dir.dir(), nullptr);
        EXPECT_EQ(about.memo()->toPlainText(), QStringLiteral("first line\n") + QString::fromUtf16(u"\u041f\u0440\u0438\u0432\u0435\u0442"));
    }
    QFile::remove(dir.path("ReadMe.txt"));
    gui::TAPF about(dir.dir(), nullptr);
    EXPECT_TRUE(about.memo()->toPlainText().isEmpty());
}

TEST(FileAssociation, WritesMimePackageAndDesktopEntryPerUser)
{
    QTemporaryDir home;
    const QString data = home.path() + QStringLiteral("/share");
    ASSERT_TRUE(gui::RegisterFileAssociation(QStringLiteral("/opt/vexlon/bin/vexlon"), data, false));
    QFile mime(data + QStringLiteral("/mime/packages/vexlon.xml"));
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
    EXPECT_TRUE(mime.readAll().contains("<glob pattern=\"*.iud\"/>"));
    QFile desktop(data + QStringLiteral("/applications/vexlon.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QByteArray entry = desktop.readAll();
    EXPECT_TRUE(entry.contains("\nExec=/opt/vexlon/bin/vexlon %f\n"));
    EXPECT_TRUE(entry.contains(QByteArray("MimeType=") + gui::kDictionaryMimeType + ";"));
    // Twice gives the same result.
    ASSERT_TRUE(gui::RegisterFileAssociation(QStringLiteral("/opt/vexlon/bin/vexlon"), data, false));
    desktop.seek(0);
    EXPECT_EQ(desktop.readAll(), entry);

    // A path with blanks or quotes is quoted as the desktop entry format wants.
    EXPECT_EQ(gui::desktopExecLine(QStringLiteral("/my apps/vexlon")), QStringLiteral("\"/my apps/vexlon\" %f"));
    EXPECT_EQ(gui::desktopExecLine(QStringLiteral("/a$b/vexlon")), QStringLiteral("\"/a\\\\$b/vexlon\" %f"));

    // The user's data folder comes from XDG_DATA_HOME.
    qputenv("XDG_DATA_HOME", data.toUtf8());
    EXPECT_EQ(gui::userDataHome(), data);
    qunsetenv("XDG_DATA_HOME");
    // A folder that cannot be written is a failure, not a crash.
    EXPECT_FALSE(gui::RegisterFileAssociation(QStringLiteral("/x"), QStringLiteral("/proc/no-such"), false));
}

} // namespace vexlon::test
