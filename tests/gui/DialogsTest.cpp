// The shared dialogs, the settings dialog, the about box, the usage gauge's
// numbers and the file association.
#include "GuiSupport.h"

#include "app/base/Settings.h"
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
#include <QTest>
#include <QToolButton>

namespace vexlon::test {

TEST(UsageGauge, ValuesForEmptyOverfullAndFarOverfullTables)
{
    const gui::GaugeValues empty = gui::computeGauge(5100, 5081, 0);
    EXPECT_EQ(empty.code, 19);
    EXPECT_EQ(empty.free, 5081);
    EXPECT_EQ(empty.used, 19);
    EXPECT_EQ(empty.size, 5100);
    EXPECT_EQ(empty.usingPercent, 0);
    EXPECT_EQ(empty.overloading, 0);

    const gui::GaugeValues over = gui::computeGauge(5100, -100, 10);
    EXPECT_EQ(over.free, 0);
    EXPECT_EQ(over.used, 5200);
    EXPECT_EQ(over.usingPercent, 100);
    EXPECT_EQ(over.overloading, 2);

    EXPECT_EQ(gui::computeGauge(5100, -6000, 10).overloading, 100);
    // Halves go to the even neighbour: 2550 of 5100 free is 50 % exactly,
    // 51 of 200 (25.5 %) gives 26, 49 of 200 (24.5 %) gives 24.
    EXPECT_EQ(gui::computeGauge(200, 149, 1).usingPercent, 26);
    EXPECT_EQ(gui::computeGauge(200, 151, 1).usingPercent, 24);
}

TEST(UsageGauge, PictureShowsTheBarsInTheirColours)
{
    const QImage image = gui::drawGauge(gui::computeGauge(5100, 5081, 0));
    ASSERT_EQ(image.size(), QSize(580, 320));
    // B = 55: bar 4 (lime) spans x 290..345 and reaches the top grid line
    // (y = 40); bar 2 (blue, 5081 of 5100 bytes) nearly as high.
    EXPECT_EQ(image.pixelColor(317, 45), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(147, 60), QColor(0, 0, 255));
    // Bar 5 (aqua, 0 %) has no height above the base line.
    EXPECT_NE(image.pixelColor(430, 300), QColor(0, 255, 255));
}

TEST(FindInTable, MatchesTheBeginningExactlyAndCaseSensitively)
{
    const QVector<QByteArray> captions = {"ab", "abc", "Abc", "xab", "a"};
    EXPECT_EQ(gui::rowsStartingWith(captions, "ab"), (QVector<int>{0, 1}));
    EXPECT_TRUE(gui::rowsStartingWith(captions, "").isEmpty());
    EXPECT_TRUE(gui::rowsStartingWith(captions, "zz").isEmpty());
}

TEST(ChooseLanguage, ChosenIndexOrNothing)
{
    ScriptedAnswerer answers;
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Vexlon"));
        EXPECT_EQ(d.height(), 300);
        auto* list = d.findChild<QListWidget*>();
        EXPECT_EQ(list->currentRow(), 0); // the first is selected
        EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("OkButton"))->text(), QStringLiteral("Take"));
        list->setCurrentRow(2);
        return int(QDialog::Accepted);
    });
    const QStringList names = {QStringLiteral("English"), QStringLiteral("Russian"), QStringLiteral("German")};
    EXPECT_EQ(gui::ChooseLanguage(QStringLiteral("Which?"), QStringLiteral("Take"), QStringLiteral("Leave"), names, nullptr), 2);
    answers.expect([](QDialog&) { return int(QDialog::Rejected); }); // the close box
    EXPECT_EQ(gui::ChooseLanguage(QStringLiteral("Which?"), QStringLiteral("Take"), QStringLiteral("Leave"), names, nullptr), 255);
}

class SettingsDialog : public testing::Test {
protected:
    SettingsDialog()
    {
        SetDefaultSettings(settings);
        texts.messages = QStringList{QStringLiteral("m0"), QStringLiteral("m1"), QStringLiteral("m2"), QStringLiteral("m3"),
                                     QStringLiteral("size out of range"), QStringLiteral("digits only")};
        languages.Tag = QStringLiteral("VEXLON2011TST");
        languages.Count = 1;
        languages.Items = {{QStringLiteral("English"), QStringLiteral("English.lng")}};
        TLanguages en;
        en.ID = 1;
        en.Name = "English";
        structure.Languages = {en};
        structure.Count = 1;
    }
    TSettings settings;
    UiTexts texts;
    TiTAPLanguages languages;
    TiTAPStructure structure;
    ScriptedAnswerer answers;
};

TEST_F(SettingsDialog, DigitsOnlyAndRangeChecksOfTheSize)
{
    settings.UsersDictionaryModified = 1;
    gui::TSettingForm form(settings, languages, structure, texts, nullptr);
    EXPECT_EQ(form.size(), QSize(520, 610));
    EXPECT_TRUE(form.Edit1->isEnabled());
    answers.expectBox(QMessageBox::Ok);
    form.Edit1->setText(QStringLiteral("5a1"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("51"));
    EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("digits only")});

    const auto leave = [&form](QLineEdit* edit, const QString& text) {
        edit->setText(text);
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(edit, &out);
    };
    answers.shown.clear();
    answers.expectBox(QMessageBox::Ok);
    leave(form.Edit1, QStringLiteral("26"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("5100"));
    answers.expectBox(QMessageBox::Ok);
    leave(form.Edit1, QStringLiteral("65536"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("5100"));
    EXPECT_EQ(answers.texts(), QStringList(2, QStringLiteral("size out of range")));
    leave(form.Edit1, QStringLiteral("27"));
    leave(form.Edit1, QStringLiteral("65535"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("65535"));
    EXPECT_EQ(answers.shown.size(), 2);

    // The minimum word length: empty and 1 are refused with an empty message,
    // and so is a length that a byte cannot hold.
    for (const char* bad : {"", "1", "256"}) {
        answers.expectBox(QMessageBox::Ok);
        leave(form.Edit2, QString::fromLatin1(bad));
        EXPECT_EQ(form.Edit2->text(), QStringLiteral("2")) << bad;
    }
    EXPECT_EQ(answers.texts().last(), QString());
    leave(form.Edit2, QStringLiteral("7"));
    form.Button1->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(settings.UsersDictionarySize, 65535);
    EXPECT_EQ(settings.UsersDictionaryModified, 1);
    EXPECT_EQ(settings.MinWordLength, 7);
}

TEST_F(SettingsDialog, StandardSizeWinsAndCancelChangesNothing)
{
    {
        gui::TSettingForm form(settings, languages, structure, texts, nullptr);
        form.CheckBox4->setChecked(true);
        form.Button2->click();
    }
    EXPECT_FALSE(settings.WhiteListOn);

    settings.UsersDictionaryModified = 1;
    settings.UsersDictionarySize = 6000;
    gui::TSettingForm form(settings, languages, structure, texts, nullptr);
    EXPECT_FALSE(form.ComboBox3->isEnabled());
    form.CheckBox9->click();
    EXPECT_TRUE(form.ComboBox3->isEnabled());
    form.RadioButton1->click();
    EXPECT_FALSE(form.Edit1->isEnabled());
    form.CheckBox10->setChecked(true);
    form.RadioButton4->setChecked(true);
    form.Button1->click();
    EXPECT_EQ(settings.UsersDictionaryModified, 0);
    EXPECT_EQ(settings.UsersDictionarySize, 5100);
    EXPECT_TRUE(settings.LanguageClean);
    EXPECT_TRUE(settings.AssociateFiles);
    EXPECT_EQ(settings.StatisticType, 1);
    EXPECT_TRUE(answers.shown.isEmpty());
}

TEST_F(SettingsDialog, MainWindowReappliesPackAndWritesSettingsWhateverClosedIt)
{
    ProgramDir dir;
    writeSettings(dir);
    gui::TMainForm main({}, dir.dir());
    QFile::remove(dir.path("Vexlon.ini"));
    // Cancel: the file is still written, unchanged values.
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("TSettingForm"));
        d.findChild<QCheckBox*>(QStringLiteral("CheckBox4"))->setChecked(true);
        return int(QDialog::Rejected);
    });
    QTest::keyClick(main.ListView1, Qt::Key_F5);
    TSettings written;
    ASSERT_TRUE(LoadSettings(dir.path("Vexlon.ini"), written));
    EXPECT_FALSE(written.WhiteListOn);
    // Apply with the second pack: the window's captions change at once.
    ASSERT_GE(main.editor().state.languageList.Count, 2);
    const QString before = main.ToolButton1->text();
    answers.expect([](QDialog& d) {
        d.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
        d.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        return d.result();
    });
    main.ToolButton6->click();
    ASSERT_TRUE(LoadSettings(dir.path("Vexlon.ini"), written));
    EXPECT_EQ(written.Language, 1);
    EXPECT_NE(main.ToolButton1->text(), before);
    EXPECT_EQ(main.ToolButton1->text(), main.editor().state.texts.UI(0));
}

TEST(AboutBox, ShowsTheReadMeOrNothing)
{
    ProgramDir dir;
    QFile f(dir.path("ReadMe.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("first line\r\n\xcf\xf0\xe8\xe2\xe5\xf2\r\n"); // "Привет" in the 8-bit code page
    f.close();
    {
        gui::TAPF about(dir.dir(), nullptr);
        EXPECT_EQ(about.windowTitle(), QStringLiteral("Vexlon - About Program..."));
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
    const QByteArray xml = mime.readAll();
    EXPECT_TRUE(xml.contains("<glob pattern=\"*.iud\"/>"));
    EXPECT_TRUE(xml.contains(gui::kDictionaryMimeType));
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
