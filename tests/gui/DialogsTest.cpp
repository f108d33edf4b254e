// The rules that live in the dialogs themselves: the settings dialog's
// field checks, and the per-user file association.
#include "GuiSupport.h"

#include "gui/FileAssociation.h"
#include "gui/SettingsDialog.h"

#include <QFocusEvent>
#include <QPushButton>
#include <QRadioButton>

namespace vexlon::test {

using SettingsDialog = MainWindowTest;

// Only digits can be typed; leaving a field checks its range, and a refused
// value is reported and replaced. The standard size wins over a typed one.
TEST_F(SettingsDialog, DigitsOnlyRangeChecksAndTheStandardSize)
{
    TSettings settings = state().settings;
    settings.UsersDictionaryModified = 1;
    gui::TSettingForm form(settings, state().languageList, state().langStructure, texts(), nullptr);
    answers.otherwise = [](QDialog&) { return int(QMessageBox::Ok); };
    form.Edit1->setText(QStringLiteral("5a1"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("51"));
    EXPECT_EQ(answers.shown, QStringList{texts().MESSAGES(5)});
    const QStringList size{texts().MESSAGES(4)}, length{QString()}, none;
    const struct {
        QLineEdit* edit;
        const char *typed, *after;
        QStringList shown;
    } cases[] = {{form.Edit1, "26", "5100", size}, {form.Edit1, "65536", "5100", size},
                 {form.Edit1, "27", "27", none},   {form.Edit1, "65535", "65535", none},
                 {form.Edit2, "", "2", length},    {form.Edit2, "1", "2", length},
                 {form.Edit2, "256", "2", length}, {form.Edit2, "7", "7", none}};
    for (const auto& c : cases) {
        answers.shown.clear();
        c.edit->setText(QString::fromLatin1(c.typed));
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(c.edit, &out);
        EXPECT_EQ(c.edit->text(), QString::fromLatin1(c.after)) << c.typed;
        EXPECT_EQ(answers.shown, c.shown) << c.typed;
    }
    form.Button1->click();
    EXPECT_EQ(settings.UsersDictionarySize, 65535);
    EXPECT_EQ(settings.MinWordLength, 7);

    gui::TSettingForm standard(settings, state().languageList, state().langStructure, texts(), nullptr);
    standard.RadioButton1->click();
    EXPECT_FALSE(standard.Edit1->isEnabled());
    standard.Button1->click();
    EXPECT_EQ(settings.UsersDictionaryModified, 0);
    EXPECT_EQ(settings.UsersDictionarySize, 5100);
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
    // A path with blanks or quotes is quoted as the desktop entry format wants.
    EXPECT_EQ(gui::desktopExecLine(QStringLiteral("/my apps/vexlon")), QStringLiteral("\"/my apps/vexlon\" %f"));
    EXPECT_EQ(gui::desktopExecLine(QStringLiteral("/a$b/vexlon")), QStringLiteral("\"/a\\\\$b/vexlon\" %f"));
    // A folder that cannot be written is a failure, not a crash.
    EXPECT_FALSE(gui::RegisterFileAssociation(QStringLiteral("/x"), QStringLiteral("/proc/no-such"), false));
}

} // namespace vexlon::test
