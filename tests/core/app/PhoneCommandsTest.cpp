// The phone commands over a fake phone, and what a refusal or a break does
// to the table, the statistic and the modified mark.
#include "core/app/PhoneCommands.h"

#include "core/base/Errors.h"
#include "core/dictionary/ItudFile.h"
#include "support/CoreFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <utility>

using namespace vexlon;
using namespace vexlon::test;

namespace {

class FakePhone : public PhoneLink {
public:
    bool opened = true;
    bool refuse = false;          // downloads and uploads fail part-way
    int failingDownloads = 0;     // the next downloads that fail
    int failingUploads = 0;       // the next uploads that fail part-way
    int corruptingUploads = 0;    // the next uploads that succeed but store byte 40 changed
    bool readBackFails = false;   // the download after the next upload fails
    QByteArray stored;            // the phone's dictionary file
    QByteArrayList uploads;       // every upload tried
    int restarts = 0;
    QString phoneModel = QStringLiteral("V3x");
    QString phoneImei = QStringLiteral("350000123456788");

    bool hasCurrentPhone() override { return true; }
    bool isOpen() override { return opened; }
    bool open() override { return opened = true; }
    QString model() override { return phoneModel; }
    QString imei() override { return phoneImei; }
    QString flexVersion() override { return QString(); }
    bool download(const QString&, QByteArray& bytes, int, const TransferProgress&) override
    {
        const bool fail = refuse || failingDownloads > 0;
        failingDownloads = qMax(0, failingDownloads - 1);
        bytes = fail ? stored.left(stored.size() / 2) : stored;
        return !fail;
    }
    bool upload(const QByteArray& bytes, const QString&, int, const TransferProgress&) override
    {
        uploads << bytes;
        const bool fail = refuse || failingUploads > 0;
        failingUploads = qMax(0, failingUploads - 1);
        stored = fail ? bytes.left(1000) : bytes;
        if (!fail && corruptingUploads > 0) {
            --corruptingUploads;
            stored[40] = char(stored[40] ^ 0x55);
        }
        if (std::exchange(readBackFails, false))
            failingDownloads = 1;
        return !fail;
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
        phone.stored = dictionaryOf({"old", "words"});
    }
    // A dictionary file of the words, as the editor writes it.
    QByteArray dictionaryOf(const QList<QByteArray>& words)
    {
        Editor other;
        other.state = editor.state;
        for (const QByteArray& w : words)
            other.table.append(row(w, "01", status::UsersDictionary, "1"));
        WriteDictionaryFile(other.state, other.table, file("other.iud"));
        return read(QStringLiteral("other.iud"));
    }
    PhoneBackupRing ring() { return PhoneBackupsOf(editor.state, phone); }
    QByteArrayList backedUp()
    {
        QByteArrayList bytes;
        for (const PhoneBackup& b : ring().list())
            bytes << PhoneBackupRing::bytesOf(b);
        return bytes;
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

TEST_F(PhoneCommandsTest, EveryWriteKeepsThePhonesDictionaryFirstInARingOfTheLastN)
{
    editor.state.settings.PhoneBackupCount = 2;
    const QByteArray a = phone.stored;
    addRow("hello");
    const auto save = [&](const char* word) {
        DictRow r = editor.table.row(0);
        r.word = QString::fromLatin1(word);
        editor.table.setRow(0, r);
        editor.table.modified = true;
        EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::Sent) << word;
        return phone.stored;
    };
    const QByteArray b = save("bravo");
    EXPECT_EQ(backedUp(), QByteArrayList{a});
    EXPECT_EQ(ring().list().first().words, 2);
    const QByteArray c = save("charlie");
    EXPECT_EQ(backedUp(), (QByteArrayList{b, a}));
    // Full: the oldest goes, its file too.
    const QString oldest = ring().list().last().path;
    save("charlie");
    EXPECT_EQ(backedUp(), (QByteArrayList{c, b}));
    EXPECT_FALSE(QFileInfo::exists(oldest));
    // The phone held what the newest backup holds: not kept twice.
    save("delta");
    EXPECT_EQ(backedUp(), (QByteArrayList{c, b}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // Each phone has its own ring.
    phone.phoneImei = QStringLiteral("49-0151/2");
    save("echo");
    EXPECT_EQ(ring().key(), QStringLiteral("4901512"));
    EXPECT_EQ(backedUp().size(), 1);
    EXPECT_EQ(PhoneBackupRing::allRings(phoneBackupRoot(editor.state)).size(), 2);
}

// A write the phone refuses part-way, or one whose read-back differs or
// fails, is a failure: no restart, no statistic, still modified, and the
// backup taken before it is offered and restored on Yes.
TEST_F(PhoneCommandsTest, AFailedOrAlteredWriteIsAFailureThatOffersTheBackup)
{
    editor.state.settings.ReloadPhone = true;
    editor.state.settings.StatisticOn = true;
    const QByteArray before = phone.stored;
    struct Case {
        const char* what;
        std::function<void()> arm;
        SaveToPhoneOutcome outcome;
        const char* message;
    };
    const Case cases[] = {
        {"refused part-way", [&] { phone.failingUploads = 1; }, SaveToPhoneOutcome::NotSent, kPhoneWriteFailedText},
        {"stored other bytes", [&] { phone.corruptingUploads = 1; }, SaveToPhoneOutcome::NotVerified, kPhoneCheckDiffersText},
        {"not readable afterwards", [&] { phone.readBackFails = true; }, SaveToPhoneOutcome::NotVerified,
         kPhoneCheckUnreadText},
    };
    addRow("hello");
    for (const bool restore : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (restore ? ", restored" : ", not restored"));
            phone = FakePhone();
            phone.stored = before;
            dialogs.messages.clear();
            editor.table.modified = true;
            c.arm();
            dialogs.answers = {restore};
            EXPECT_EQ(SaveToPhone(editor, &phone, hooks), c.outcome);
            EXPECT_EQ(dialogs.messages.value(0), QString::fromLatin1(c.message));
            ASSERT_EQ(dialogs.questions.back().text,
                      QString::fromLatin1(kOfferRestoreText).arg(describeBackup(ring().list().first())));
            EXPECT_EQ(phone.stored == before, restore);
            EXPECT_EQ(backedUp().first(), before);
            EXPECT_EQ(phone.restarts, restore ? 1 : 0);
            EXPECT_TRUE(editor.state.statisticList.Items.isEmpty());
            EXPECT_TRUE(editor.table.modified);
            EXPECT_TRUE(dialogs.atRest());
        }
    }
    // Without a phone nothing is sent, saved or counted.
    EXPECT_EQ(SaveToPhone(editor, nullptr, hooks), SaveToPhoneOutcome::NoPhone);
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("M27"));
    EXPECT_TRUE(editor.table.modified);
    // Sent and read back whole, the restart and the statistic follow.
    phone = FakePhone();
    phone.stored = before;
    EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::Sent);
    EXPECT_EQ(phone.restarts, 1);
    EXPECT_EQ(editor.state.statisticList.Items.size(), 1);
    EXPECT_FALSE(editor.table.modified);
}

TEST_F(PhoneCommandsTest, NoWriteWithoutABackupUnlessTheUserSaysSo)
{
    addRow("hello");
    // The phone's dictionary cannot be read: the user is asked.
    phone.failingDownloads = 1;
    dialogs.answers = {false};
    EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::NoBackup);
    EXPECT_EQ(dialogs.questions.back().text, QString::fromLatin1(kNoBackupQuestionText));
    EXPECT_TRUE(phone.uploads.isEmpty());
    phone.failingDownloads = 1;
    dialogs.answers = {true};
    EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::Sent);
    EXPECT_EQ(phone.uploads.size(), 1);
    EXPECT_TRUE(ring().list().isEmpty());

    // A full disk: the backup cannot be kept, so nothing is sent. (The
    // phone's file is larger than the one sent, which still fits.)
    editor.state.settings.UsersDictionarySize = 6000;
    phone.stored = dictionaryOf({"old", "words"});
    editor.state.settings.UsersDictionarySize = 5100;
    const QByteArray larger = phone.stored;
    editor.table.modified = true;
    {
        FileSizeLimit full(5500);
        EXPECT_EQ(SaveToPhone(editor, &phone, hooks), SaveToPhoneOutcome::NoBackup);
    }
    EXPECT_TRUE(dialogs.messages.last().startsWith(QString::fromLatin1(kBackupFailedText).section(QLatin1Char('%'), 0, 0)));
    EXPECT_EQ(phone.uploads.size(), 1);
    EXPECT_EQ(phone.stored, larger);
    EXPECT_TRUE(ring().list().isEmpty());
    EXPECT_EQ(QDir(ring().folder()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_TRUE(editor.table.modified);

    // An empty dictionary replaces the phone's words only after a Yes.
    editor.table.replaceAll({});
    for (const bool yes : {false, true}) {
        dialogs.answers = {yes};
        EXPECT_EQ(SaveToPhone(editor, &phone, hooks), yes ? SaveToPhoneOutcome::Sent : SaveToPhoneOutcome::Declined);
        EXPECT_EQ(dialogs.questions.back().text, QString::fromLatin1(kEmptyOverWordsText).arg(2));
        EXPECT_EQ(phone.uploads.size(), yes ? 2 : 1);
    }
    EXPECT_TRUE(dialogs.atRest());
}

TEST_F(PhoneCommandsTest, RestoreSendsOnlyAnUnchangedWholeDictionary)
{
    const QByteArray a = phone.stored;
    const PhoneBackup kept = ring().keep(a, QDateTime::currentDateTimeUtc());
    phone.stored = dictionaryOf({"today"});
    const QByteArray today = phone.stored;

    EXPECT_EQ(RestorePhoneBackup(editor, &phone, hooks, kept), RestoreOutcome::Restored);
    EXPECT_EQ(phone.stored, a);
    // What the phone held before the restore was kept first.
    EXPECT_EQ(backedUp(), (QByteArrayList{today, a}));
    EXPECT_EQ(RestorePhoneBackup(editor, nullptr, hooks, kept), RestoreOutcome::NoPhone);

    // A backup changed on disk, or bytes that are no dictionary, never reach
    // the phone.
    const PhoneBackup garbage = ring().keep(QByteArray(5100, 'x'), QDateTime::currentDateTimeUtc());
    EXPECT_EQ(garbage.words, 0);
    QByteArray altered = a;
    altered[20] = 'Z';
    QFile f(kept.path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(altered);
    f.close();
    phone.uploads.clear();
    for (const PhoneBackup& b : {kept, garbage})
        EXPECT_EQ(RestorePhoneBackup(editor, &phone, hooks, b), RestoreOutcome::BadBackup);
    EXPECT_TRUE(phone.uploads.isEmpty());
    EXPECT_TRUE(dialogs.messages.last().contains(QStringLiteral("not a dictionary the phone can take")));
}

TEST(PhoneBackupFiles, DictionaryChecksAndRingIndexAreSafe)
{
    QByteArray d(5100, '\0');
    d[0] = '\x07';
    d[1] = '\xDA';
    d[2] = char((5100 - 19) >> 8);
    d[3] = char((5100 - 19) & 0xFF);
    d[7] = 2; // two records: a word "ab" (L 7+1) and an unknown kind of 4 bytes
    const char records[] = {8, 1, 0, 1, 2, 'a', 'b', 0, 4, 0, 9, 0};
    d.replace(16, sizeof records, records, sizeof records);
    EXPECT_EQ(dictionaryBytesProblem(d), QString());
    EXPECT_EQ(dictionaryWordCount(d), 1);
    const std::pair<const char*, std::function<void(QByteArray&)>> damaged[] = {
        {"too short", [](QByteArray& x) { x.truncate(18); }},
        {"cut short", [](QByteArray& x) { x.truncate(5099); }},
        {"too long", [](QByteArray& x) { x.resize(65536); }},
        {"no mark", [](QByteArray& x) { x[1] = 0; }},
        {"record past the end", [](QByteArray& x) { x[7] = 3; }},
        {"length below the word", [](QByteArray& x) { x[16] = 6; }},
        {"length zero", [](QByteArray& x) { x[24] = 0; }},
    };
    for (const auto& [what, damage] : damaged) {
        QByteArray x = d;
        damage(x);
        EXPECT_FALSE(dictionaryBytesProblem(x).isEmpty()) << what;
    }

    QTemporaryDir root;
    PhoneBackupRing ring(root.path(), QStringLiteral("../../etc"), 3);
    EXPECT_EQ(ring.key(), QStringLiteral("etc"));
    EXPECT_EQ(PhoneBackupRing(root.path(), QStringLiteral("./"), 3).key(), QStringLiteral("unknown-phone"));
    const PhoneBackup b = ring.keep(d, QDateTime::currentDateTimeUtc());
    EXPECT_EQ(PhoneBackupRing::bytesOf(b), d);
    // An index edited to point outside the ring's folder names nothing.
    QFile index(ring.folder() + QStringLiteral("index.json"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    QByteArray json = index.readAll();
    index.close();
    json.replace(QFileInfo(b.path).fileName().toUtf8(), "../../outside.iud");
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(json);
    index.close();
    EXPECT_TRUE(ring.list().isEmpty());
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
    phone.phoneImei.clear();
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
