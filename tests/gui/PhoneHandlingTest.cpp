// Phones of the virtual backend arriving, restarting and leaving: the status
// line follows them, Alt+O, Alt+S and its click reach the phone; the editor's
// command line (options, the path, the folder of --simulate, the answers
// given before any window opens) and the window that `vexlon --simulate
// FOLDER` makes over a phone in a folder.
#include "GuiSupport.h"

#include "gui/LaunchOptions.h"
#include "gui/PhoneHandling.h"
#include "phone/P2KBlocks.h"
#include "phone/sim/VirtualBackend.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <unistd.h>

namespace vexlon::test {

namespace sim = phone::sim;

// Each test attaches its phones, holding the sample, then starts the window.
class PhoneWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        gui::setPhoneBackendFactory([this] {
            auto backend = std::make_unique<sim::VirtualBackend>();
            backend_ = backend.get();
            for (const auto& [storage, mode] : phones)
                backend->addPhone(mode, storage);
            return backend;
        });
    }
    void TearDown() override { gui::setPhoneBackendFactory({}); }
    void attach(sim::PhoneMode mode = sim::PhoneMode::P2K)
    {
        QFile sample(path("samples/sample.iud"));
        ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
        const QByteArray bytes = sample.readAll();
        phones.push_back({std::make_shared<sim::MemoryStorage>(), mode});
        phones.back().first->put(kDictionary, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    QString status() { return form->Label4->text() + form->Label4->palette().color(QPalette::WindowText).name(); }

    static constexpr const char* kDictionary = "a/iTAP_User_Dictionary";
    std::vector<std::pair<std::shared_ptr<sim::MemoryStorage>, sim::PhoneMode>> phones;
    sim::VirtualBackend* backend_ = nullptr;
};

// Alt+O reads the phone, Alt+S writes it and restarts it, a click on the
// status line shows what the phone tells about itself; an upload the phone
// refuses part-way is reported and the table keeps its changed mark.
TEST_F(PhoneWindow, AttachedPhoneOpensSavesRestartsAndReportsAFailedUpload)
{
    attach();
    start();
    state().settings.ReloadPhone = true;
    EXPECT_EQ(status(), texts().MESSAGES(20) + " MOTORAZR V3#008000");
    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_GT(table().count(), 10);
    table().setCell(0, ColWord, "changed");
    key(Qt::Key_S, Qt::AltModifier);
    const auto sent = phones.at(0).first->read(kDictionary).value_or(std::vector<uint8_t>());
    EXPECT_NE(std::string(sent.begin(), sent.end()).find("changed"), std::string::npos);
    EXPECT_EQ(backend_->phone(0).restarts(), 1);

    QCoreApplication::processEvents(); // back on the bus after the restart
    answers.expect([](QDialog& d) {
        EXPECT_TRUE(d.findChild<QPlainTextEdit*>()->toPlainText().startsWith("Phone Model-> MOTORAZR V3\n"));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(form->Label4, Qt::LeftButton);
    EXPECT_EQ(answers.shown, QStringList{"PhoneInformation"});

    backend_->phone(0).injectFault(
        sim::Fault(sim::FaultKind::ErrorStatus).forCommand(phone::p2k::kCmdFileSystem, phone::p2k::kFsWrite).after(2));
    table().modified = true;
    answers.expectBox(QMessageBox::Ok);
    answers.expectBox(QMessageBox::No);
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(answers.shown.value(1), kPhoneWriteFailedText);
    // The phone's dictionary from before the write is offered back.
    EXPECT_TRUE(answers.shown.value(2).startsWith(QStringLiteral("Restore the newest backup of this phone")))
        << answers.shown.value(2).toStdString();
    EXPECT_TRUE(table().modified);
}

// Two phones are reported; once one leaves, the status line says so, Alt+O
// reads nothing and says so, and its click does nothing.
TEST_F(PhoneWindow, TwoPhonesAreReportedAndRemovalLeavesNoPhone)
{
    attach();
    attach();
    answers.expectBox(QMessageBox::Ok);
    start();
    EXPECT_EQ(answers.shown, QStringList{texts().MESSAGES(19)});
    backend_->phone(0).unplug();
    QTRY_COMPARE(status(), texts().MESSAGES(21) + "#ff0000");
    fill({row("kept", "1")});
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_O, Qt::AltModifier);
    QTest::mouseClick(form->Label4, Qt::LeftButton);
    EXPECT_EQ(answers.shown, (QStringList{texts().MESSAGES(19), kPhoneNotReadyForReadText}));
    EXPECT_EQ(words(), "kept");
}

// The window as `vexlon --simulate FOLDER FILE` makes it: the virtual phone
// keeps its files in FOLDER (its dictionary a copy of the sample) and its
// ".phone/" files there set it up.
class SimulatedPhoneWindow : public PhoneWindow {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder() + "/a") && QDir().mkpath(folder() + "/.phone"));
        ASSERT_TRUE(QFile::copy(path("samples/sample.iud"), folder() + "/a/iTAP_User_Dictionary"));
    }
    QString folder() const { return path("phone"); }
    void setUpPhone(const QString& name, const QByteArray& text)
    {
        QFile file(folder() + "/.phone/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size());
    }
    // A new window from the arguments after the program name.
    void launchWith(const QStringList& arguments)
    {
        form.reset();
        const gui::LaunchOptions options = gui::parseLaunchOptions(arguments);
        ASSERT_EQ(options.action, gui::LaunchOptions::Action::Run) << options.error.toStdString();
        gui::useSimulatedPhone(options.simulateFolder);
        start(options.fileArguments);
    }
    QString rows()
    {
        QStringList out;
        for (const DictRow& r : table().rows())
            out << r.word + QString::fromLatin1(' ' + r.number + ' ' + r.languageId + ' ' + r.status);
        return out.join(',');
    }
    QString ready(const char* model = "MOTORAZR V3") { return texts().MESSAGES(20) + ' ' + model + "#008000"; }
};

// The phone of the folder is ready when the window shows (telling the model
// its folder gives it) and the file named after the options opens; Open
// from Phone fills the table with the same words, Save to Phone writes them
// into the folder and restarts the phone, which comes back and is read again.
TEST_F(SimulatedPhoneWindow, FolderPhoneIsReadyReadWrittenAndBackAfterARestart)
{
    setUpPhone("model", "V3 IN A FOLDER\n");
    ASSERT_TRUE(QFile::copy(path("samples/sample.iud"), path("my dict.iud")));
    launchWith({"--simulate", folder(), path("my"), "dict.iud"});
    EXPECT_EQ(status(), ready("V3 IN A FOLDER"));
    QTRY_VERIFY(table().count() > 10);
    const QString fromFile = rows();

    fill({row("kept", "1")});
    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(rows(), fromFile);

    state().settings.ReloadPhone = true;
    table().setCell(0, ColWord, "changed");
    key(Qt::Key_S, Qt::AltModifier);
    QFile written(folder() + "/a/iTAP_User_Dictionary");
    EXPECT_TRUE(written.open(QIODevice::ReadOnly) && written.readAll().contains("changed"));
    // The phone left and came back under a new identity: the window reads
    // the new one once it has heard of both.
    QCoreApplication::processEvents();
    EXPECT_EQ(status(), ready("V3 IN A FOLDER"));
    fill({row("kept", "1")});
    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(table().count() == fromFile.count(',') + 1 && table().row(0).word == "changed") << rows().toStdString();
}

// The folder's ".phone/mode" attaches the phone in AT mode, which the window
// switches to P2K mode, or not at all.
TEST_F(SimulatedPhoneWindow, FolderSaysHowThePhoneIsAttached)
{
    setUpPhone("mode", "AT\n");
    launchWith({"--simulate", folder()});
    QTRY_COMPARE(status(), ready());

    setUpPhone("mode", "none\n");
    launchWith({"--simulate", folder()});
    EXPECT_EQ(status(), texts().MESSAGES(21) + "#ff0000");
}

using gui::LaunchOptions;
using Action = LaunchOptions::Action;

// Options come first; "--" or the first other word ends them, and the rest
// is the path, whatever it looks like. A folder that is missing, is a file or
// cannot be read, and --simulate without one, fail with a message that
// names the folder.
TEST(LaunchOptions, OptionsComeBeforeTheWordsOfThePathAndNeedAGoodFolder)
{
    QTemporaryDir dir;
    const QString phone = dir.path(), relative = QDir::current().relativeFilePath(phone);
    ASSERT_TRUE(QFileInfo(relative).isRelative());
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString missing = dir.filePath("missing"), locked = dir.filePath("locked");
    ASSERT_TRUE(QDir(phone).mkdir("locked") && QFile::setPermissions(locked, QFileDevice::WriteOwner));
    const struct {
        QStringList arguments;
        Action action;
        QString folder; // Fail: the end of the message
        QStringList files;
    } cases[] = {
        {{}, Action::Run, {}, {}},
        {{"my", "dict.iud"}, Action::Run, {}, {"my", "dict.iud"}},
        {{"--simulate", phone, "my", "dict.iud"}, Action::Run, phone, {"my", "dict.iud"}},
        {{"--simulate=" + relative}, Action::Run, phone, {}},
        {{"--simulate", missing, "--simulate", relative, "a"}, Action::Run, phone, {"a"}},
        {{"--simulate", phone, "--", "--simulate", "x"}, Action::Run, phone, {"--simulate", "x"}},
        {{"my", "--simulate", phone}, Action::Run, {}, {"my", "--simulate", phone}},
        {{"--", "--help"}, Action::Run, {}, {"--help"}},
        {{"--help"}, Action::Help, {}, {}},
        {{"-h", "file"}, Action::Help, {}, {"file"}},
        {{"--version", "--help"}, Action::Help, {}, {}},
        {{"--version"}, Action::Version, {}, {}},
        {{"--simulate", missing, "--help"}, Action::Help, {}, {}},
        {{"--simulate", missing, "file.iud"}, Action::Fail, ": " + missing, {}},
        {{"--simulate", plain.fileName(), "file.iud"}, Action::Fail, ": " + plain.fileName(), {}},
        {{"--simulate", "", "file.iud"}, Action::Fail, ": ", {}},
        // The super-user reads every folder.
        {{"--simulate", locked, "file.iud"}, geteuid() ? Action::Fail : Action::Run, geteuid() ? ": " + locked : locked, {"file.iud"}},
        {{"--simulate"}, Action::Fail, "--simulate needs the folder", {}},
    };
    for (const auto& c : cases) {
        const LaunchOptions options = gui::parseLaunchOptions(c.arguments);
        const std::string name = c.arguments.join(' ').toStdString() + ": " + options.error.toStdString();
        EXPECT_EQ(options.action, c.action) << name;
        if (c.action == Action::Run)
            EXPECT_TRUE(options.simulateFolder == c.folder && options.fileArguments == c.files) << name;
        if (c.action == Action::Fail)
            EXPECT_TRUE(options.error.startsWith("vexlon: ") &&
                        (c.folder.startsWith(':') ? options.error.endsWith(c.folder) : options.error.contains(c.folder))) << name;
    }
    EXPECT_TRUE(gui::launchHelp().contains("--simulate FOLDER"));
}

// The program answers help and a bad folder on its own, before it makes the
// application: a platform that does not exist would stop it otherwise.
TEST(LaunchOptions, ProgramAnswersWithoutAWindow)
{
    const QString program = QStringLiteral(VEXLON_BIN_DIR "/vexlon");
    ASSERT_TRUE(QFileInfo(program).isExecutable()) << "build the vexlon target first";
    const auto run = [&program](const QStringList& arguments, QString& out, QString& err) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "no-such-platform");
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        out = QString::fromLocal8Bit(process.readAllStandardOutput());
        err = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    };
    QString out, err;
    QTemporaryDir dir;
    const QString missing = dir.filePath("no phone here");
    EXPECT_EQ(run({"--simulate", missing, "some", "file.iud"}, out, err), gui::kLaunchUsageExit);
    EXPECT_EQ(out + '|' + err, "|vexlon: the folder of the virtual phone does not exist: " + missing + "\n");
    EXPECT_EQ(run({"--simulate"}, out, err), gui::kLaunchUsageExit);
    EXPECT_TRUE(err.startsWith("vexlon: --simulate needs")) << err.toStdString();
    EXPECT_EQ(run({"--help"}, out, err), 0);
    EXPECT_EQ(out, gui::launchHelp());
}

} // namespace vexlon::test
