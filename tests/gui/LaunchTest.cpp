// The editor's command line: which words are options and which the path,
// the folder of --simulate, and the answers given before any window opens.
#include "GuiSupport.h"

#include "gui/LaunchOptions.h"

#include <QProcess>
#include <unistd.h>

namespace vexlon::test {

using gui::LaunchOptions;
using Action = LaunchOptions::Action;

// Options come first; "--" or the first other word ends them, and the rest
// is the path, whatever it looks like.
TEST(LaunchOptions, OptionsComeBeforeTheWordsOfThePath)
{
    QTemporaryDir dir;
    const QString phone = dir.path();
    const QString relative = QDir::current().relativeFilePath(phone);
    ASSERT_TRUE(QFileInfo(relative).isRelative());
    struct Case {
        QStringList arguments;
        Action action;
        QString folder;
        QStringList files;
    };
    const Case cases[] = {
        {{}, Action::Run, {}, {}},
        {{"my", "dict.iud"}, Action::Run, {}, {"my", "dict.iud"}},
        {{"--simulate", phone, "my", "dict.iud"}, Action::Run, phone, {"my", "dict.iud"}},
        {{"--simulate=" + relative}, Action::Run, phone, {}},
        {{"--simulate", "/no/such/folder", "--simulate", relative, "a"}, Action::Run, phone, {"a"}},
        {{"--simulate", phone, "--", "--simulate", "x"}, Action::Run, phone, {"--simulate", "x"}},
        {{"my", "--simulate", phone}, Action::Run, {}, {"my", "--simulate", phone}},
        {{"--", "--help"}, Action::Run, {}, {"--help"}},
        {{"--help"}, Action::Help, {}, {}},
        {{"-h", "file"}, Action::Help, {}, {"file"}},
        {{"--version", "--help"}, Action::Help, {}, {}},
        {{"--version"}, Action::Version, {}, {}},
        {{"--simulate", "/no/such/folder", "--help"}, Action::Help, {}, {}},
    };
    for (const Case& c : cases) {
        const LaunchOptions options = gui::parseLaunchOptions(c.arguments);
        const QString name = c.arguments.join(' ');
        EXPECT_EQ(options.action, c.action) << name.toStdString() << ": " << options.error.toStdString();
        if (c.action == Action::Run) {
            EXPECT_EQ(options.simulateFolder, c.folder) << name.toStdString();
            EXPECT_EQ(options.fileArguments, c.files) << name.toStdString();
        }
    }
    EXPECT_TRUE(gui::launchHelp().contains("--simulate FOLDER"));
}

// A folder that is missing, is a file or cannot be read, and --simulate
// without one, fail with a message that names the folder.
TEST(LaunchOptions, BadFolderOfTheVirtualPhoneFails)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("plain"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QStringList bad = {dir.filePath("missing"), file.fileName(), QString()};
    // The super-user reads every folder: the last case needs another user.
    if (geteuid() != 0) {
        ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
        QFile::setPermissions(dir.filePath("locked"), QFileDevice::WriteOwner);
        bad << dir.filePath("locked");
    }
    for (const QString& folder : bad) {
        const LaunchOptions options = gui::parseLaunchOptions({"--simulate", folder, "file.iud"});
        EXPECT_EQ(options.action, Action::Fail) << folder.toStdString();
        EXPECT_TRUE(options.error.startsWith("vexlon: ")) << options.error.toStdString();
        EXPECT_TRUE(options.error.endsWith(": " + folder)) << options.error.toStdString();
    }
    const LaunchOptions missing = gui::parseLaunchOptions({"--simulate"});
    EXPECT_EQ(missing.action, Action::Fail);
    EXPECT_TRUE(missing.error.contains("--simulate needs the folder")) << missing.error.toStdString();
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
    EXPECT_EQ(err, "vexlon: the folder of the virtual phone does not exist: " + missing + "\n");
    EXPECT_EQ(out, "");
    EXPECT_EQ(run({"--simulate"}, out, err), gui::kLaunchUsageExit);
    EXPECT_TRUE(err.startsWith("vexlon: --simulate needs")) << err.toStdString();
    EXPECT_EQ(run({"--help"}, out, err), 0);
    EXPECT_EQ(out, gui::launchHelp());
}

} // namespace vexlon::test
