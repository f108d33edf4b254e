// `vexlon-cli --simulate FOLDER phone ...` in-process over the virtual phone:
// what reaches the phone, the exit statuses and what the user is told.
// What the transfers do byte by byte is pinned by the phone's own tests.
#include "core/dictionary/ItudFile.h"
#include "support/CliFixture.h"

#include <QDir>

using namespace vexlon;
using namespace vexlon::test;

namespace {

class PhoneCli : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("phone/a")) && QDir(dir.path()).mkpath(QStringLiteral("phone/.phone")));
    }
    int phone(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--simulate", path("phone"), "phone"});
        return run(args);
    }
    QString phoneFile() const { return QStringLiteral("phone/a/iTAP_User_Dictionary"); }
    // A dictionary file of the words, as the editor writes it.
    QByteArray dictionary(const QByteArrayList& words)
    {
        DictionaryTable t;
        for (const QByteArray& w : words)
            t.append(row(w, "01", status::UsersDictionary, QByteArray::number(t.count() + 1)));
        WriteDictionaryFile(state, t, file(QStringLiteral("made.iud")));
        return read(QStringLiteral("made.iud"));
    }
};

} // namespace

TEST_F(PhoneCli, ReadAndWriteMoveTheDictionaryOrSayWhyNot)
{
    const QByteArray onPhone = dictionary({"hello", "world"});
    write(phoneFile(), onPhone);
    ASSERT_EQ(phone({"read", path("copy.iud")}), cli::ExitOk) << err.str();
    EXPECT_EQ(read(QStringLiteral("copy.iud")), onPhone);

    // Any format the editor opens is sent as the dictionary the editor
    // would build from it, never as its own bytes.
    writeCsv(QStringLiteral("in.csv"), {"alpha", "beta"});
    ASSERT_EQ(phone({"write", path("in.csv")}), cli::ExitOk) << err.str();
    EXPECT_EQ(read(phoneFile()), dictionary({"alpha", "beta"}));
    EXPECT_EQ(out.str(), "Wrote " + path("in.csv") + " to the phone\n");

    QFile::remove(file(phoneFile()));
    // The phone has no dictionary file: nothing arrives, nothing is written.
    write(QStringLiteral("copy.iud"), "earlier");
    EXPECT_EQ(phone({"read", path("copy.iud")}), cli::ExitPhone);
    EXPECT_TRUE(errSays("File Open Phone Failed - Error Status"));
    EXPECT_EQ(read(QStringLiteral("copy.iud")), QByteArray("earlier"));
    // A target that cannot be written is a file error.
    write(phoneFile(), dictionary({"hello"}));
    EXPECT_EQ(phone({"read", path("phone")}), cli::ExitError);
    EXPECT_TRUE(errSays("Cannot create file")) << err.str();

    // A phone whose memory fills up part-way: a failed write, no restart.
    write(QStringLiteral("phone/.phone/storage"), "2500\n");
    EXPECT_EQ(phone({"write", path("in.csv"), "--restart"}), cli::ExitPhone);
    EXPECT_TRUE(errSays("may now be incomplete") && errSays("File Write Phone Failed - Error Status")) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(read(phoneFile()).size(), 2500);
}

// What Save to Phone refuses is refused with the exit statuses of convert,
// and the phone's dictionary is not touched.
TEST_F(PhoneCli, WriteRefusesWhatSaveToPhoneRefuses)
{
    const QByteArray onPhone = dictionary({"kept"});
    write(phoneFile(), onPhone);
    writeCsv(QStringLiteral("long.csv"), {"alpha", QByteArray(250, 'w')});
    EXPECT_EQ(phone({"write", path("long.csv")}), cli::ExitProblem);
    state.settings.UsersDictionarySize = 30;
    SaveSettings(state.settings, file(QStringLiteral("Vexlon.ini")));
    writeCsv(QStringLiteral("many.csv"), {"alpha", "bravo", "charlie"});
    EXPECT_EQ(phone({"write", path("many.csv")}), cli::ExitFull);
    EXPECT_EQ(phone({"write", path("missing.csv")}), cli::ExitError);
    EXPECT_EQ(read(phoneFile()), onPhone);
}

TEST_F(PhoneCli, InfoListSwitchNoPhoneAndUsage)
{
    write(phoneFile(), QByteArray(4321, '\0'));
    write(QStringLiteral("phone/.phone/model"), "V3i");
    ASSERT_EQ(phone({"info"}), cli::ExitOk) << err.str();
    EXPECT_EQ(out.str(), "Phone Model-> V3i\nPhone IMEI: 35000012345678\nPhone Flex: R374_G_0E.30.49R\n"
                         "iTAP Users Dictionary file size-> 4321 bytes\n");
    QFile::remove(file(phoneFile()));
    ASSERT_EQ(phone({"info"}), cli::ExitOk) << err.str();
    EXPECT_NE(out.str().find("file size-> could not be read"), std::string::npos);
    write(QStringLiteral("phone/.phone/faults"), "ErrorStatus\n");
    EXPECT_EQ(phone({"info"}), cli::ExitPhone);
    EXPECT_TRUE(errSays("Nothing could be read from the phone."));
    QFile::remove(file(QStringLiteral("phone/.phone/faults")));

    ASSERT_EQ(phone({"list"}), cli::ExitOk);
    EXPECT_EQ(out.str().rfind("P2K\t", 0), 0u);
    EXPECT_NE(out.str().find("\tMotorola Test Command Interface (virtual phone)\tsim:phone1:"), std::string::npos);

    write(QStringLiteral("phone/.phone/mode"), "AT\n");
    ASSERT_EQ(phone({"list"}), cli::ExitOk);
    EXPECT_EQ(out.str().rfind("AT\t", 0), 0u);
    EXPECT_EQ(phone({"info"}), cli::ExitPhone);
    EXPECT_TRUE(errSays("no phone in P2K mode"));
    EXPECT_EQ(phone({"switch"}), cli::ExitOk) << err.str();
    EXPECT_NE(out.str().find("Sent AT+Mode=8"), std::string::npos);

    write(QStringLiteral("phone/.phone/mode"), "none\n");
    using Args = std::vector<std::string>;
    for (const Args& args : {Args{"list"}, Args{"info"}, Args{"read", path("x")}, Args{"restart"}, Args{"switch"}})
        EXPECT_TRUE(phone(args) == cli::ExitPhone && errSays("no phone")) << args[0] << ": " << err.str();
    for (const Args& args : {Args{}, Args{"read", "a", "b"}, Args{"write", "--restart"}, Args{"list", "x"}, Args{"frobnicate"}})
        EXPECT_TRUE(phone(args) == cli::ExitError && errSays("usage")) << err.str();
    EXPECT_EQ(run({"--simulate", path("no-such-folder"), "phone", "list"}), cli::ExitPhone);
}

// Every write keeps the phone's dictionary first; a write the phone breaks
// in any way is a failure, and the kept dictionary can be written back.
TEST_F(PhoneCli, AMisbehavingPhoneNeverLeavesTheUserWithoutTheDictionary)
{
    const QByteArray kept = dictionary({"hello", "world"});
    writeCsv(QStringLiteral("in.csv"), {"alpha", "beta"});
    const QByteArray sent = dictionary({"alpha", "beta"});
    EXPECT_EQ(phone({"backups"}), cli::ExitOk);
    EXPECT_TRUE(errSays("no phone backups are kept yet"));
    const char* const faults[] = {
        "DropAtSend sub=write after=2",            // unplugged in mid-write
        "NeverAnnounce sub=write after=1",         // no answer
        "ShortFetch sub=write bytes=10",           // a short answer
        "WrongSequence sub=write after=3",         // another exchange's answer
        "StaleAnswer sub=write after=4",
        "CorruptStore offset=7 repeat=1",          // acknowledged, stored otherwise
    };
    for (const char* fault : faults) {
        SCOPED_TRACE(fault);
        write(phoneFile(), kept);
        write(QStringLiteral("phone/.phone/faults"), QByteArray(fault) + '\n');
        EXPECT_EQ(phone({"write", path("in.csv"), "--restart"}), cli::ExitPhone) << err.str();
        EXPECT_EQ(out.str(), "");
        EXPECT_TRUE(errSays("Restore the newest backup of this phone") || errSays("is kept as a backup")) << err.str();
        EXPECT_NE(read(phoneFile()), sent);
        QFile::remove(file(QStringLiteral("phone/.phone/faults")));
        // The phone's dictionary before the write is the newest backup.
        ASSERT_EQ(phone({"restore"}), cli::ExitOk) << err.str();
        EXPECT_EQ(read(phoneFile()), kept);
    }
    ASSERT_EQ(phone({"backups"}), cli::ExitOk);
    EXPECT_EQ(out.str().rfind("PHONE\tN\tTIME\tWORDS\tBYTES\tSHA-256\tFILE\n35000012345678\t1\t", 0), 0u) << out.str();
    EXPECT_NE(out.str().find("\t2\t5100\t"), std::string::npos);

    // With --yes the backup is written back at once.
    write(QStringLiteral("phone/.phone/faults"), "CorruptStore offset=7 repeat=1\n");
    EXPECT_EQ(run({"--yes", "--simulate", path("phone"), "phone", "write", path("in.csv")}), cli::ExitPhone);
    EXPECT_EQ(read(phoneFile()), kept);
    // A backup the phone could not take is never sent.
    EXPECT_EQ(phone({"restore", "99"}), cli::ExitPhone);
    EXPECT_TRUE(errSays("there is no backup 99"));
    for (const char* bad : {"0", "x", "-1"})
        EXPECT_EQ(phone({"restore", bad}), cli::ExitError) << bad;
}

TEST_F(PhoneCli, TraceShowsEveryExchange)
{
    write(phoneFile(), dictionary({"old"}));
    writeCsv(QStringLiteral("in.csv"), {"alpha"});
    ASSERT_EQ(run({"--simulate", path("phone"), "--trace", "phone", "write", path("in.csv"), "--restart"}), cli::ExitOk)
        << err.str();
    const QList<QByteArray> traced = QByteArray::fromStdString(err.str()).split('\n');
    // The IMEI (which names the backup ring); the backup read: open, three
    // reads (5100 bytes in chunks of 4000, then the end), close; the write:
    // open, six writes (chunks of 1000), close; the read-back as the backup
    // read; the restart. Each a packet and an answer, the whole packet in
    // lower-case hexadecimal.
    ASSERT_EQ(traced.size(), 2 * 20 + 1) << err.str(); // and the empty end
    EXPECT_EQ(traced[0], "P2K> 4102000008001000000100200008000000040001000000090000");
    EXPECT_TRUE(traced[2].startsWith("P2K> 41020000080027000002004a001f000000000000000000ff")) << traced[2].toStdString();
    // The write opens the file for writing as the seventh command.
    EXPECT_EQ(traced[12], "P2K> 41020000080027000007004a001f00000000000000000000"
                          "2f612f695441505f557365725f44696374696f6e6172790000");
    EXPECT_EQ(traced[13], "P2K< 00");
    EXPECT_TRUE(traced[28].startsWith("P2K> 4102000008002700000f004a001f000000000000000000ff")) << traced[28].toStdString();
    // The restart: command 0x0022 with no data, sequence number 20.
    EXPECT_EQ(traced[38], "P2K> 410200000800080000140022000000000000");
}
