// The phone commands over a fake phone: what reaches the phone, what the
// user is told, and what happens to the table, the statistic and the
// modified mark when the phone refuses or breaks off.
#include "core/app/PhoneCommands.h"

#include "core/base/Errors.h"
#include "core/dictionary/ItudFile.h"
#include "support/RuleFixture.h"

using namespace vexlon;
using namespace vexlon::test;

namespace {

class FakePhone : public PhoneLink {
public:
    bool present = true;
    bool opened = true;
    bool refuse = false;          // downloads and uploads fail part-way
    QByteArray stored;            // the phone's dictionary file
    QByteArrayList uploads;       // every upload tried
    int restarts = 0;
    QString modelText = QStringLiteral("V3x");

    bool hasCurrentPhone() override { return present; }
    bool isOpen() override { return opened; }
    bool open() override { return opened = true; }
    QString model() override { return refuse ? QString() : modelText; }
    QString imei() override { return refuse ? QString() : QStringLiteral("35000012345678"); }
    QString flexVersion() override { return refuse ? QString() : QStringLiteral("R374"); }
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

class PhoneCommandsTest : public RuleFixture {
protected:
    void SetUp() override
    {
        RuleFixture::SetUp();
        write(QStringLiteral("phConfig.cfg"), QByteArray(3, '\0'));
        editor.state = state;
        editor.state.settings.iTAPModification = 1;
        hooks.statusUpdate = [this] { return phoneStatus(editor.state, &phone).ready; };
    }
    void addRow(const QByteArray& word)
    {
        editor.table.append(row(word, "01", status::UsersDictionary, QByteArray::number(editor.table.count() + 1)));
    }
    QByteArrayList tableWords() const
    {
        QByteArrayList out;
        for (const DictRow& r : editor.table.rows())
            out << r.word;
        return out;
    }
    Editor editor;
    FakePhone phone;
    PhoneCommandHooks hooks;
};

} // namespace

TEST_F(PhoneCommandsTest, StatusLineForNoPhoneAPhoneNotOpenAndAReadyPhone)
{
    EXPECT_EQ(phoneStatus(editor.state, nullptr).text, QStringLiteral("M21"));
    phone.opened = false;
    PhoneStatus s = phoneStatus(editor.state, &phone);
    EXPECT_EQ(s.text, QStringLiteral("M20"));
    EXPECT_FALSE(s.green || s.ready);
    phone.opened = true;
    s = phoneStatus(editor.state, &phone);
    EXPECT_EQ(s.text, QStringLiteral("M20 V3x"));
    EXPECT_TRUE(s.green && s.ready);
}

TEST_F(PhoneCommandsTest, SaveSendsExactlyTheCheckedDictionaryAndNothingElse)
{
    addRow("hello");
    addRow("world");
    editor.table.modified = true;
    EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::Sent);
    ASSERT_EQ(phone.uploads.size(), 1);
    EXPECT_EQ(phone.uploads[0], read(QString::fromLatin1(kUploadFile)));
    EXPECT_EQ(phone.uploads[0].size(), editor.state.settings.UsersDictionarySize);
    EXPECT_FALSE(editor.table.modified);

    // A repeated word, a one-letter word: the repair is offered, nothing sent.
    addRow("hello");
    dialogs.answers = {false};
    EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::HasProblem);
    // More words than the phone's file holds: refused, nothing sent.
    editor.state.settings.UsersDictionarySize = 30;
    editor.table.removeAt(2);
    EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::Full);
    EXPECT_EQ(phone.uploads.size(), 1);
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

    phone.refuse = true;
    OpenFromPhone(editor, &phone, hooks);
    EXPECT_EQ(dialogs.messages, QStringList{QString::fromLatin1(kPhoneReadFailedText)});
    EXPECT_EQ(tableWords(), QByteArrayList{"mine"});
    EXPECT_TRUE(editor.table.modified);

    phone.refuse = false;
    OpenFromPhone(editor, &phone, hooks);
    EXPECT_EQ(tableWords(), (QByteArrayList{"alpha", "beta"}));
    EXPECT_EQ(read(QString::fromLatin1(kDownloadFile)), phone.stored);
    EXPECT_FALSE(editor.table.modified);
}

TEST_F(PhoneCommandsTest, InformationFailsOnlyWhenNothingAtAllCanBeRead)
{
    phone.stored = QByteArray(5100, '\0');
    EXPECT_EQ(PhoneInformation(editor, &phone, hooks),
              (QStringList{"Phone Model-> V3x", "Phone IMEI: 35000012345678", "Phone Flex: R374",
                           "iTAP Users Dictionary file size-> 5100 bytes"}));
    phone.refuse = true;
    EXPECT_THROW(PhoneInformation(editor, &phone, hooks), VexlonError);
    phone.present = false;
    EXPECT_TRUE(PhoneInformation(editor, &phone, hooks).isEmpty());
}
