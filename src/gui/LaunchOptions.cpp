#include "gui/LaunchOptions.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

#ifdef VEXLON_HAVE_PHONE
#include "gui/PhoneHandling.h"
#include "phone/linux/FolderStorage.h"
#include "phone/sim/VirtualBackend.h"
#endif

namespace vexlon::gui {

namespace {

const QString kSimulate = QStringLiteral("--simulate");

LaunchOptions failure(const QString& text)
{
    LaunchOptions options;
    options.action = LaunchOptions::Action::Fail;
    options.error = QStringLiteral("vexlon: ") + text;
    return options;
}

#ifdef VEXLON_HAVE_PHONE
// Why folder cannot hold the virtual phone's files; empty when it can.
QString folderProblem(const QString& folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.exists())
        return QStringLiteral("the folder of the virtual phone does not exist: %1").arg(folder);
    if (!info.isDir())
        return QStringLiteral("the virtual phone needs a folder, and this is not one: %1").arg(folder);
    if (!info.isReadable() || !info.isExecutable())
        return QStringLiteral("the folder of the virtual phone cannot be read: %1").arg(folder);
    return {};
}
#endif

} // namespace

LaunchOptions parseLaunchOptions(const QStringList& arguments)
{
    LaunchOptions options;
    bool simulate = false;
    qsizetype i = 0;
    for (; i < arguments.size(); ++i) {
        const QString& word = arguments.at(i);
        if (word == QLatin1String("--")) {
            ++i;
            break;
        }
        if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            options.action = LaunchOptions::Action::Help;
        } else if (word == QLatin1String("--version")) {
            if (options.action != LaunchOptions::Action::Help)
                options.action = LaunchOptions::Action::Version;
        } else if (word == kSimulate) {
            if (i + 1 >= arguments.size())
                return failure(QStringLiteral("--simulate needs the folder of the virtual phone (see vexlon --help)"));
            simulate = true;
            options.simulateFolder = arguments.at(++i);
        } else if (word.startsWith(kSimulate + QLatin1Char('='))) {
            simulate = true;
            options.simulateFolder = word.mid(kSimulate.size() + 1);
        } else {
            break;
        }
    }
    options.fileArguments = arguments.mid(i);
    if (options.action != LaunchOptions::Action::Run || !simulate)
        return options;
#ifndef VEXLON_HAVE_PHONE
    return failure(QStringLiteral("this program is built without the phone link, so --simulate is not available"));
#else
    const QString problem = folderProblem(options.simulateFolder);
    if (!problem.isEmpty())
        return failure(problem);
    options.simulateFolder = QFileInfo(options.simulateFolder).absoluteFilePath();
    return options;
#endif
}

QString launchHelp()
{
    return QStringLiteral(
        "usage: vexlon [--simulate FOLDER] [--] [FILE]\n"
        "Edits the user dictionary of the predictive text of Motorola P2K phones.\n"
        "FILE, a dictionary file (.iud), is opened at start; all arguments after\n"
        "the options are joined with blanks into one path.\n"
        "  --simulate FOLDER  talk to the virtual phone whose files are in FOLDER\n"
        "                     instead of the phones on USB (FOLDER/.phone/mode,\n"
        "                     storage and faults set it up, as for vexlon-cli)\n"
        "  --help             show this text\n"
        "  --version          show the version\n"
        "See vexlon(1); vexlon-cli(1) does the same work without a window.\n");
}

void useSimulatedPhone(const QString& folder)
{
#ifdef VEXLON_HAVE_PHONE
    const std::filesystem::path path(QFile::encodeName(folder).toStdString());
    setPhoneBackendFactory([path]() -> std::unique_ptr<phone::IDeviceBackend> {
        auto backend = std::make_unique<phone::sim::VirtualBackend>();
        backend->addConfiguredPhone(std::make_shared<phone::lnx::FolderStorage>(path));
        for (const std::string& problem : backend->configurationProblems())
            std::fprintf(stderr, "vexlon: warning: virtual phone: %s\n", problem.c_str());
        return backend;
    });
#else
    (void)folder;
#endif
}

} // namespace vexlon::gui
