// The phone commands over a fake phone, and what a refusal or a break does
// to the table, the statistic and the modified mark.
#include "core/app/PhoneCommands.h"

#include "core/base/Errors.h"
#include "core/dictionary/ItudFile.h"
#include "support/CoreFixture.h"

using namespace vexlon;
using namespace vexlon::test;

namespace {

class FakePhone : public PhoneLink {
public:
    bool opened = true;
    bool refuse = false;          // downloads and uploads fail part-way
    QByteArray stored;            // the phone's dictionary file
    QByteArrayList uploads;       // every upload tried
    int restarts = 0;
    QString phoneModel = QStringLiteral("V3x");

    bool hasCurrentPhone() override { return true; }
    bool isOpen() override { return opened; }
    bool open() override { return opened = true; }
    QString model() override { return phoneModel; }
    QString imei() override { return QString(); }
    QString flexVersion() override { return QString(); }
    bool download(const QString&, QByteArray& bytes, int, const TransferProgress&) override
    {
        bytes = refuse ? stored.left(stored.size() / 2) : stored;
        return !refuse;
    }
    bool upload(const QByteArray& bytes, const QString&, int, const TransferProgress&) override
    {
        uploads << bytes;
        stored = refuse ? bytes.left(1000) : bytes;
        return !refuse;
    }
    bool restart() override { return ++restarts, true; }
};

class PhoneCommandsTest : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        write(QStringLiteral("phConfig.cfg"), QByteArray(3, '\0'));
        editor.state = state;
        editor.state.settings.iTAPModification = 1;
        hooks.statusUpdate = [this] { return phoneStatus(editor.state, &phone).ready; };
    }
    void addRow(const QByteArray& word)
    {
        editor.table.append(row(word, "01", status::UsersDictionary, QByteArray::number(editor.table.count() + 1)));
    }
    Editor editor;
    FakePhone phone;
    PhoneCommandHooks hooks;
};

} // namespace

TEST_F(PhoneCommandsTest, StatusLineAndSaveSendingExactlyTheCheckedDictionary)
{
    EXPECT_EQ(phoneStatus(editor.state, nullptr).text, QStringLiteral("M21"));
    EXPECT_TRUE(PhoneInformation(editor, nullptr, hooks).isEmpty());
    for (bool open : {false, true}) {
        phone.opened = open;
        const PhoneStatus s = phoneStatus(editor.state, &phone);
        EXPECT_EQ(std::tuple(s.text, s.green, s.ready), std::tuple(open ? QStringLiteral("M20 V3x") : QStringLiteral("M20"), open, open));
    }

    for (const char* w : {"hello", "world"})
        addRow(w);
    editor.table.modified = true;
    EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::Sent);
    ASSERT_EQ(phone.uploads.size(), 1);
    EXPECT_EQ(phone.uploads[0], read(QString::fromLatin1(kUploadFile)));
    EXPECT_EQ(phone.uploads[0].size(), editor.state.settings.UsersDictionarySize);
    EXPECT_FALSE(editor.table.modified);
}

TEST_F(PhoneCommandsTest, ARefusedUploadIsAFailureWithoutRestartOrStatistic)
{
    editor.state.settings.ReloadPhone = true;
    editor.state.settings.StatisticOn = true;
    addRow("hello");
    editor.table.modified = true;
    phone.refuse = true;
    EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::NotSent);
    EXPECT_EQ(dialogs.messages, QStringList{QString::fromLatin1(kPhoneWriteFailedText)});
    EXPECT_EQ(phone.restarts, 0);
    EXPECT_TRUE(editor.state.statisticList.Items.isEmpty());
    EXPECT_TRUE(editor.table.modified);
    // Without a phone nothing counts as saved or counted either.
    EXPECT_EQ(SaveToPhone(editor, nullptr, hooks), SaveToPhoneOutcome::NoPhone);
    EXPECT_EQ(dialogs.messages, (QStringList{QString::fromLatin1(kPhoneWriteFailedText), QStringLiteral("M27")}));
    EXPECT_TRUE(editor.state.statisticList.Items.isEmpty());
    EXPECT_TRUE(editor.table.modified);
    // Sent whole, the restart and the statistic follow.
    phone.refuse = false;
    EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::Sent);
    EXPECT_EQ(phone.restarts, 1);
    EXPECT_EQ(editor.state.statisticList.Items.size(), 1);
}

TEST_F(PhoneCommandsTest, OpenReadsThePhoneOrChangesNothing)
{
    for (const char* w : {"alpha", "beta"})
        addRow(w);
    editor.state.settings.UsersDictionarySize = 5100;
    WriteDictionaryFile(editor.state, editor.table, file("phone.iud"));
    phone.stored = read(QStringLiteral("phone.iud"));
    editor.table.replaceAll({});
    addRow("mine");
    editor.table.modified = true;

    // Unsaved words are not dropped without a Yes.
    dialogs.answers = {false};
    EXPECT_FALSE(OpenFromPhone(editor, &phone, hooks));
    EXPECT_EQ(column(editor.table, ColWord), QByteArrayList{"mine"});

    dialogs.answers = {true};
    EXPECT_FALSE(OpenFromPhone(editor, nullptr, hooks));
    EXPECT_EQ(dialogs.messages, QStringList{QString::fromLatin1(kPhoneNotReadyForReadText)});
    EXPECT_TRUE(editor.table.modified);

    phone.refuse = true;
    dialogs.answers = {true};
    EXPECT_FALSE(OpenFromPhone(editor, &phone, hooks));
    EXPECT_EQ(dialogs.messages, (QStringList{QString::fromLatin1(kPhoneNotReadyForReadText), QString::fromLatin1(kPhoneReadFailedText)}));
    EXPECT_EQ(column(editor.table, ColWord), QByteArrayList{"mine"});
    EXPECT_TRUE(editor.table.modified);

    // A phone file of another size, declined: the words stay.
    phone.refuse = false;
    editor.state.settings.UsersDictionarySize = 6000;
    dialogs.answers = {true, false};
    EXPECT_FALSE(OpenFromPhone(editor, &phone, hooks));
    EXPECT_EQ(column(editor.table, ColWord), QByteArrayList{"mine"});
    EXPECT_TRUE(editor.table.modified);

    editor.state.settings.UsersDictionarySize = 5100;
    dialogs.answers = {true};
    EXPECT_TRUE(OpenFromPhone(editor, &phone, hooks));
    EXPECT_EQ(column(editor.table, ColWord), (QByteArrayList{"alpha", "beta"}));
    EXPECT_EQ(read(QString::fromLatin1(kDownloadFile)), phone.stored);
    EXPECT_FALSE(editor.table.modified);
    EXPECT_EQ(editor.documentName, QString::fromLatin1(kPhoneDocumentName));
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(PhoneCommandsTest, InformationFailsOnlyWhenNothingAtAllCanBeRead)
{
    phone.stored = QByteArray(5100, 'x');
    const QStringList whole = {QStringLiteral("Phone Model-> V3x"), QStringLiteral("Phone IMEI: "),
                               QStringLiteral("Phone Flex: "), QStringLiteral("iTAP Users Dictionary file size-> 5100 bytes")};
    EXPECT_EQ(PhoneInformation(editor, &phone, hooks), whole);
    phone.phoneModel.clear();
    EXPECT_EQ(PhoneInformation(editor, &phone, hooks).value(0), QStringLiteral("Phone Model-> "));
    phone.phoneModel = QStringLiteral("V3x");
    phone.refuse = true;
    EXPECT_EQ(PhoneInformation(editor, &phone, hooks).value(3),
              QStringLiteral("iTAP Users Dictionary file size-> could not be read"));
    phone.phoneModel.clear();
    EXPECT_THROW(PhoneInformation(editor, &phone, hooks), VexlonError);
}
