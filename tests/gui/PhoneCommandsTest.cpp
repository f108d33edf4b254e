// Open from Phone, Save to Phone and the phone information over a fake
// current phone.
#include "GuiSupport.h"

#include "app/base/Errors.h"
#include "gui/PhoneCommands.h"

#include <QLabel>

namespace vexlon::test {

namespace {

class FakePhone : public gui::PhoneLink {
public:
    bool present = true;
    bool opened = true;
    bool uploadWorks = true;
    QByteArray phoneFile;
    QStringList calls;

    bool hasCurrentPhone() override { return present; }
    bool isOpen() override { return opened; }
    bool open() override
    {
        calls << QStringLiteral("open");
        opened = true;
        return true;
    }
    QString model() override { return QStringLiteral("V3x"); }
    QString imei() override { return QStringLiteral("123456789012345"); }
    QString flexVersion() override { return QStringLiteral("R252"); }
    void download(const QString& remote, const QString& local, int chunk, const gui::TransferProgress& progress) override
    {
        calls << QStringLiteral("download %1 %2").arg(remote).arg(chunk);
        QFile f(local);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw FileError::cannotCreate(local, f.errorString());
        f.write(phoneFile);
        progress(int(phoneFile.size()), int(phoneFile.size()));
    }
    bool upload(const QString& local, const QString& remote, int chunk, const gui::TransferProgress&) override
    {
        calls << QStringLiteral("upload %1 %2").arg(remote).arg(chunk);
        QFile f(local);
        if (f.open(QIODevice::ReadOnly))
            phoneFile = f.readAll();
        return uploadWorks;
    }
    bool restart() override
    {
        calls << QStringLiteral("restart");
        return true;
    }
};

class PhoneCommands : public testing::Test {
protected:
    void SetUp() override
    {
        writeSettings(dir);
        form = std::make_unique<gui::TMainForm>(QStringList{}, dir.dir());
        hooks.statusUpdate = [this] {
            const gui::PhoneStatus s = gui::phoneStatus(form->editor().state, &phone);
            status = s.text;
            return s.ready;
        };
        hooks.progress = [](int, int) { return true; };
    }
    Editor& editor() { return form->editor(); }
    const UiTexts& texts() { return editor().state.texts; }

    ProgramDir dir;
    ScriptedAnswerer answers;
    std::unique_ptr<gui::TMainForm> form;
    FakePhone phone;
    gui::PhoneCommandHooks hooks;
    QString status;
};

} // namespace

TEST_F(PhoneCommands, StatusLineForTheThreeStates)
{
    EXPECT_EQ(gui::phoneStatus(editor().state, nullptr).text, texts().MESSAGES(21));
    phone.opened = false;
    gui::PhoneStatus s = gui::phoneStatus(editor().state, &phone);
    EXPECT_EQ(s.text, texts().MESSAGES(20));
    EXPECT_FALSE(s.green);
    phone.opened = true;
    s = gui::phoneStatus(editor().state, &phone);
    EXPECT_EQ(s.text, texts().MESSAGES(20) + QStringLiteral(" V3x"));
    EXPECT_TRUE(s.green && s.ready);
}

TEST_F(PhoneCommands, SaveThenOpenRoundTripsThroughThePhone)
{
    editor().table.replaceAll({row("hello", "2"), row("world", "1")});
    editor().table.modified = true;
    editor().state.settings.ReloadPhone = false;
    EXPECT_EQ(gui::SaveToPhone(editor(), &phone, hooks), gui::SaveToPhoneOutcome::Sent);
    EXPECT_TRUE(answers.shown.isEmpty());
    EXPECT_EQ(phone.calls, QStringList{QStringLiteral("upload /a/iTAP_User_Dictionary 1000")});
    EXPECT_EQ(phone.phoneFile.size(), 5100);
    EXPECT_FALSE(editor().table.modified);
    EXPECT_EQ(editor().state.statisticList.Count, 2); // statistic is on by default

    editor().table.replaceAll({row("other", "1")});
    editor().table.modified = true;
    gui::OpenFromPhone(editor(), &phone, hooks);
    EXPECT_EQ(words(editor().table), (QByteArrayList{"world", "hello"}));
    EXPECT_EQ(editor().table.row(1).number, QByteArray("2"));
    EXPECT_FALSE(editor().table.modified);
    EXPECT_EQ(phone.calls.last(), QStringLiteral("download /a/iTAP_User_Dictionary 4000"));
}

TEST_F(PhoneCommands, FailedUploadIsReportedAndTheRestartStillFollows)
{
    editor().table.replaceAll({row("hello", "1")});
    phone.uploadWorks = false;
    phone.opened = true;
    answers.expectBox(QMessageBox::Ok);
    EXPECT_EQ(gui::SaveToPhone(editor(), &phone, hooks), gui::SaveToPhoneOutcome::NotSent);
    EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("File Has not sent")});
    EXPECT_EQ(phone.calls.last(), QStringLiteral("restart"));
}

TEST_F(PhoneCommands, ProblemsAndOverfullTablesAreNeverSent)
{
    editor().table.replaceAll({row("a", "1"), row("hello", "2")});
    answers.expectBox(QMessageBox::No);
    EXPECT_EQ(gui::SaveToPhone(editor(), &phone, hooks), gui::SaveToPhoneOutcome::HasProblem);
    EXPECT_EQ(answers.texts(), QStringList{texts().MESSAGES(16)});
    EXPECT_TRUE(phone.calls.isEmpty());

    // More words than the phone's file holds: refused like Save Dictionary.
    editor().state.settings.UsersDictionarySize = 40;
    editor().table.replaceAll({row("hello", "1"), row("world", "2"), row("again", "3")});
    EXPECT_EQ(gui::SaveToPhone(editor(), &phone, hooks), gui::SaveToPhoneOutcome::Full);
    EXPECT_TRUE(phone.calls.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.path("TempFile/PhULFile.iud")));
}

TEST_F(PhoneCommands, WithoutReadyPhoneNothingIsTransferred)
{
    phone.present = false;
    editor().table.replaceAll({row("hello", "1")});
    editor().table.modified = true;
    gui::OpenFromPhone(editor(), &phone, hooks);
    EXPECT_EQ(words(editor().table), QByteArrayList{"hello"});
    EXPECT_FALSE(editor().table.modified);
    EXPECT_EQ(status, texts().MESSAGES(21));
    EXPECT_TRUE(gui::PhoneInformation(editor(), &phone, hooks).isEmpty());
    EXPECT_TRUE(phone.calls.isEmpty());
}

TEST_F(PhoneCommands, InformationNamesTheFileSizeAndRemovesTheDownload)
{
    phone.phoneFile = QByteArray(5100, '\0');
    const QStringList lines = gui::PhoneInformation(editor(), &phone, hooks);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Phone Model-> V3x"), QStringLiteral("Phone IMEI: 123456789012345"),
                                  QStringLiteral("Phone Flex: R252"),
                                  QStringLiteral("iTAP Users Dictionary file size-> 5100 bytes")}));
    EXPECT_FALSE(QFileInfo::exists(dir.path("TempFile/trash.iud")));
}

} // namespace vexlon::test
