// phone list|info|read OUT|write IN [--restart]|restart|switch|backups|restore [N]
//
// The phone commands over real USB or, with --simulate FOLDER, the virtual
// phone. Reading and writing the dictionary and the phone information are
// the editor's own commands, run through a PhoneLink over the first phone
// in P2K mode.
#include "cli/FileNames.h"
#include "cli/PhoneCommand.h"

#include "cli/Cli.h"
#include "cli/ShowCommand.h"

#include "core/app/PhoneCommands.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "phone/MotoATMode.h"
#include "phone/MotoP2KMode.h"
#include "phone/P2KBlocks.h"
#include "phone/linux/FolderStorage.h"
#include "phone/sim/VirtualBackend.h"

#ifdef VEXLON_HAVE_LINUX_BACKEND
#include "phone/linux/LinuxBackend.h"
#endif

#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

namespace vexlon::cli {

namespace {

namespace fs = std::filesystem;
using namespace vexlon::phone;

constexpr int kExitOk = ExitOk;
constexpr int kExitFailed = ExitPhone;
constexpr int kExitUsage = ExitError;

constexpr const char* kDictionaryFile = "/a/iTAP_User_Dictionary";
constexpr int32_t kDownloadChunk = 4000;

const char* const kUsage =
    "usage: vexlon-cli [--simulate FOLDER] [--trace] phone COMMAND\n"
    "  list                  phones attached in AT and P2K mode\n"
    "  info                  model, IMEI, flex version and dictionary size\n"
    "  read OUT              read the phone's user dictionary into OUT\n"
    "  write IN [--restart]  open IN as show does and save it to the phone as the editor does\n"
    "  restart               restart the phone\n"
    "  backups               the dictionaries kept of each phone before it was written (newest first)\n"
    "  restore [N]           write backup N (1, the newest, unless given) of the attached phone back to it\n"
    "  switch                switch AT-mode phones to P2K mode\n";

// Everything one command needs: the backend, both components and the
// error reports they made on the way.
class PhoneSession {
public:
    PhoneSession(std::unique_ptr<IDeviceBackend> backend, bool trace, std::ostream& err)
        : backend_(std::move(backend)), err_(err), at_(*backend_), p2k_(*backend_)
    {
        at_.SetOnDebug([this](TMotoATModemItem*, const std::string& text, TDebugType type, bool) {
            if (type == dtError)
                errors_.push_back(text);
        });
        p2k_.SetOnDebug([this](TMotoP2KModemItem*, const std::string& text, TDebugType type, bool) {
            if (type == dtError)
                errors_.push_back(text);
        });
        if (trace) {
            p2k_.SetOnExchange([this](TMotoP2KModemItem*, TP2KExchangeDirection direction,
                                      std::span<const uint8_t> bytes) {
                err_ << (direction == TP2KExchangeDirection::Sent ? "P2K> " : "P2K< ")
                     << p2k::toHex(bytes) << '\n';
            });
        }
    }

    TMotoATMode& at() { return at_; }
    TMotoP2KMode& p2k() { return p2k_; }
    void addError(const std::string& text) { errors_.push_back(text); }
    std::size_t errorCount() const { return errors_.size(); }

    // Prints the reports made since `from` as the reason of a failure.
    void printErrorsSince(std::size_t from)
    {
        for (std::size_t i = from; i < errors_.size(); ++i)
            err_ << "vexlon-cli: phone: " << errors_[i] << '\n';
    }

    // The phone to work with: the first P2K phone, opened.
    TMotoP2KModemItem* openCurrentPhone()
    {
        auto& list = p2k_.DeviseList();
        if (list.Count() == 0) {
            err_ << "vexlon-cli: no phone in P2K mode is attached";
            if (at_.DeviseList().Count() > 0)
                err_ << " (a phone in AT mode is; run 'vexlon-cli phone switch' first)";
            err_ << '\n';
            return nullptr;
        }
        if (list.Count() > 1)
            err_ << "vexlon-cli: more than one phone in P2K mode is attached; using the first\n";
        TMotoP2KModemItem* phone = list.Items(0);
        const std::size_t before = errorCount();
        if (!phone->OpenPhone()) {
            err_ << "vexlon-cli: cannot open the phone " << phone->ModemInfo().DevicePath << '\n';
            printErrorsSince(before);
            return nullptr;
        }
        return phone;
    }

private:
    std::unique_ptr<IDeviceBackend> backend_;
    std::ostream& err_;
    std::vector<std::string> errors_;
    TMotoATMode at_;
    TMotoP2KMode p2k_;
};

int runList(PhoneSession& session, std::ostream& out, std::ostream& err)
{
    int count = 0;
    auto print = [&out, &count](const char* mode, const TUSBDevise& info) {
        out << mode << '\t' << info.DevInst << '\t' << info.DeviceDesc << '\t' << info.DevicePath
            << '\n';
        ++count;
    };
    auto& atList = session.at().DeviseList();
    for (int i = 0; i < atList.Count(); ++i)
        print("AT", atList.Items(i)->ModemInfo());
    auto& p2kList = session.p2k().DeviseList();
    for (int i = 0; i < p2kList.Count(); ++i)
        print("P2K", p2kList.Items(i)->ModemInfo());
    if (count == 0) {
        err << "vexlon-cli: no phone is attached\n";
        return kExitFailed;
    }
    return kExitOk;
}

// The first phone in P2K mode as the editor's commands see it.
class CliPhoneLink : public PhoneLink {
public:
    explicit CliPhoneLink(TMotoP2KModemItem& item) : item_(item) {}
    bool hasCurrentPhone() override { return true; }
    bool isOpen() override { return item_.IsOpen(); }
    bool open() override { return item_.OpenPhone(); }
    QString model() override { return QString::fromStdString(item_.GetPhoneModel()); }
    QString imei() override { return QString::fromStdString(item_.GetPhoneIMEI()); }
    QString flexVersion() override { return QString::fromStdString(item_.GetPhoneFlexVersion()); }
    bool download(const QString& phoneFile, QByteArray& bytes, int chunk, const TransferProgress&) override
    {
        std::vector<uint8_t> read;
        const bool complete = item_.FileDownloadPhone(phoneFile.toStdString(), read, chunk, 0, {});
        bytes = QByteArray(reinterpret_cast<const char*>(read.data()), qsizetype(read.size()));
        return complete;
    }
    bool upload(const QByteArray& bytes, const QString& phoneFile, int chunk, const TransferProgress&) override
    {
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
        return item_.FileUploadPhone(std::span<const uint8_t>(data, std::size_t(bytes.size())), phoneFile.toStdString(),
                                     chunk, {});
    }
    bool restart() override { return item_.RestartPhone(); }

private:
    TMotoP2KModemItem& item_;
};

PhoneCommandHooks hooksFor(CliPhoneLink& link)
{
    PhoneCommandHooks hooks;
    hooks.statusUpdate = [&link] { return link.isOpen(); };
    return hooks;
}

int runInfo(Session& cli, PhoneSession& session)
{
    TMotoP2KModemItem* phone = session.openCurrentPhone();
    if (!phone)
        return kExitFailed;
    const std::size_t before = session.errorCount();
    CliPhoneLink link(*phone);
    try {
        for (const QString& line : PhoneInformation(cli.editor, &link, hooksFor(link)))
            cli.out << line.toStdString() << '\n';
    } catch (const VexlonError& e) {
        cli.err << "vexlon-cli: " << e.message().toStdString() << '\n';
        session.printErrorsSince(before);
        return kExitFailed;
    }
    return kExitOk;
}

int runRead(Session& cli, PhoneSession& session, const std::string& outName)
{
    TMotoP2KModemItem* phone = session.openCurrentPhone();
    if (!phone)
        return kExitFailed;
    const std::size_t before = session.errorCount();
    CliPhoneLink link(*phone);
    QByteArray bytes;
    if (!link.download(QString::fromLatin1(kDictionaryFile), bytes, kDownloadChunk, {}) || bytes.isEmpty()) {
        cli.err << "vexlon-cli: reading " << kDictionaryFile << " from the phone failed; " << outName
                << " was not written\n";
        if (session.errorCount() == before)
            cli.err << "vexlon-cli: the phone sent no data\n";
        session.printErrorsSince(before);
        return kExitFailed;
    }
    // OUT is replaced only by the whole dictionary, so a failed read or
    // write never destroys an earlier copy.
    try {
        NamedFile out(outName);
        out.write([&](const QString& name) { writeFileSafely(name, bytes); });
    } catch (const FileError& e) {
        cli.err << "vexlon-cli: " << e.message().toStdString() << '\n';
        return kExitUsage;
    }
    cli.out << "Read " << bytes.size() << " bytes into " << outName << '\n';
    return kExitOk;
}

// Opens IN as `show` does and saves it to the phone as Save to Phone does:
// what Save to Phone refuses is refused here with the exit statuses of
// `convert`, and nothing reaches the phone.
int runWrite(Session& cli, PhoneSession& session, const std::string& inName, bool restart)
{
    if (!openAsShow(cli, {inName, {}, false}))
        return ExitError;
    TMotoP2KModemItem* phone = session.openCurrentPhone();
    if (!phone)
        return kExitFailed;
    Editor& editor = cli.editor;
    editor.state.settings.ReloadPhone = restart;
    const std::size_t before = session.errorCount();
    CliPhoneLink link(*phone);
    switch (SaveToPhone(editor, &link, hooksFor(link))) {
    case SaveToPhoneOutcome::Sent:
        break;
    case SaveToPhoneOutcome::HasProblem:
        cli.err << "vexlon-cli: the dictionary has empty, one-letter, too long or repeated words; nothing was sent\n";
        return ExitProblem;
    case SaveToPhoneOutcome::Full:
        cli.err << "vexlon-cli: the words do not fit into the users dictionary; nothing was sent\n";
        return ExitFull;
    case SaveToPhoneOutcome::NoBackup:
        cli.err << "vexlon-cli: no backup of the phone's dictionary was kept; nothing was sent\n";
        session.printErrorsSince(before);
        return kExitFailed;
    case SaveToPhoneOutcome::Declined:
        cli.err << "vexlon-cli: " << inName << " has no words; the phone's words were kept (--yes sends it)\n";
        return kExitFailed;
    case SaveToPhoneOutcome::NotVerified:
        cli.err << "vexlon-cli: the dictionary read back from the phone is not the one sent\n";
        session.printErrorsSince(before);
        return kExitFailed;
    case SaveToPhoneOutcome::NotSent:
    case SaveToPhoneOutcome::NoPhone:
        session.printErrorsSince(before);
        return kExitFailed;
    }
    if (session.errorCount() != before) {
        // Sent whole, but the restart asked for failed.
        cli.err << "vexlon-cli: the phone could not be restarted\n";
        session.printErrorsSince(before);
        return kExitFailed;
    }
    cli.out << "Wrote " << inName << " to the phone\n";
    return kExitOk;
}

// Every backup of every phone, newest first within each phone; needs no
// phone.
int runBackups(Session& cli)
{
    const QList<QList<PhoneBackup>> rings = PhoneBackupRing::allRings(phoneBackupRoot(cli.editor.state));
    if (rings.isEmpty()) {
        cli.err << "vexlon-cli: no phone backups are kept yet (in "
                << phoneBackupRoot(cli.editor.state).toStdString() << ")\n";
        return kExitOk;
    }
    cli.out << "PHONE\tN\tTIME\tWORDS\tBYTES\tSHA-256\tFILE\n";
    for (const QList<PhoneBackup>& ring : rings) {
        for (qsizetype i = 0; i < ring.size(); ++i) {
            const PhoneBackup& b = ring[i];
            cli.out << b.phone.toStdString() << '\t' << i + 1 << '\t'
                    << b.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString() << '\t'
                    << b.words << '\t' << b.size << '\t' << b.sha256.left(16).toStdString() << '\t'
                    << b.path.toStdString() << '\n';
        }
    }
    return kExitOk;
}

// Writes backup N (1: the newest) of the attached phone back to it.
int runRestore(Session& cli, PhoneSession& session, int number)
{
    TMotoP2KModemItem* phone = session.openCurrentPhone();
    if (!phone)
        return kExitFailed;
    const std::size_t before = session.errorCount();
    CliPhoneLink link(*phone);
    const PhoneBackupRing ring = PhoneBackupsOf(cli.editor.state, link);
    const QList<PhoneBackup> backups = ring.list();
    if (number < 1 || number > backups.size()) {
        cli.err << "vexlon-cli: the phone " << ring.key().toStdString() << " has " << backups.size()
                << (backups.size() == 1 ? " backup" : " backups") << "; there is no backup " << number
                << " (see 'vexlon-cli phone backups')\n";
        return kExitFailed;
    }
    const PhoneBackup backup = backups[number - 1];
    switch (RestorePhoneBackup(cli.editor, &link, hooksFor(link), backup)) {
    case RestoreOutcome::Restored:
        cli.out << "Restored the backup of " << describeBackup(backup).toStdString() << " to the phone\n";
        return kExitOk;
    case RestoreOutcome::BadBackup:
        return kExitUsage;
    case RestoreOutcome::NoBackup:
        cli.err << "vexlon-cli: no backup of the phone's present dictionary was kept; nothing was sent\n";
        break;
    case RestoreOutcome::NotVerified:
        cli.err << "vexlon-cli: the dictionary read back from the phone is not the backup sent\n";
        break;
    case RestoreOutcome::NotRestored:
    case RestoreOutcome::NoPhone:
        break;
    }
    session.printErrorsSince(before);
    return kExitFailed;
}

int runRestart(PhoneSession& session, TMotoP2KModemItem& phone, std::ostream& err)
{
    const std::size_t before = session.errorCount();
    if (!phone.RestartPhone()) {
        err << "vexlon-cli: the phone could not be restarted\n";
        session.printErrorsSince(before);
        return kExitFailed;
    }
    return kExitOk;
}

int runSwitch(PhoneSession& session, std::ostream& out, std::ostream& err)
{
    auto& list = session.at().DeviseList();
    if (list.Count() == 0) {
        err << "vexlon-cli: no phone in AT mode is attached\n";
        return kExitFailed;
    }
    // Collect the items first: a switched phone leaves the AT list.
    std::vector<TMotoATModemItem*> items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Items(i));
    int status = kExitOk;
    for (TMotoATModemItem* item : items) {
        const std::string desc = item->ModemInfo().DeviceDesc;
        const std::size_t before = session.errorCount();
        if (item->OpenPhone())
            item->SwitchMode(0);
        if (session.errorCount() != before) {
            err << "vexlon-cli: switching " << desc << " failed\n";
            session.printErrorsSince(before);
            status = kExitFailed;
        } else {
            out << "Sent AT+Mode=8 to " << desc << '\n';
        }
    }
    return status;
}

struct ParsedCommand {
    std::string verb;
    std::string file;
    bool restart = false;
    int number = 1;
};

std::optional<ParsedCommand> parse(const std::vector<std::string>& args)
{
    if (args.empty())
        return std::nullopt;
    ParsedCommand command;
    command.verb = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command.verb == "list" || command.verb == "info" || command.verb == "restart"
        || command.verb == "switch" || command.verb == "backups")
        return rest.empty() ? std::optional(command) : std::nullopt;
    if (command.verb == "restore") {
        if (rest.size() > 1)
            return std::nullopt;
        if (rest.size() == 1) {
            bool ok = false;
            command.number = QString::fromStdString(rest[0]).toInt(&ok);
            if (!ok || command.number < 1)
                return std::nullopt;
        }
        return command;
    }
    if (command.verb == "read") {
        if (rest.size() != 1 || rest[0].empty())
            return std::nullopt;
        command.file = rest[0];
        return command;
    }
    if (command.verb == "write") {
        for (const auto& word : rest) {
            if (word == "--restart" && !command.restart)
                command.restart = true;
            else if (command.file.empty() && !word.empty() && word.rfind("--", 0) != 0)
                command.file = word;
            else
                return std::nullopt;
        }
        if (command.file.empty())
            return std::nullopt;
        return command;
    }
    return std::nullopt;
}

std::unique_ptr<IDeviceBackend> makeBackend(const GlobalOptions& options, std::ostream& err)
{
    if (!options.simulateFolder.empty()) {
        std::error_code ec;
        if (!fs::is_directory(options.simulateFolder, ec)) {
            err << "vexlon-cli: the folder of the virtual phone does not exist: "
                << options.simulateFolder << '\n';
            return nullptr;
        }
        auto sim = std::make_unique<sim::VirtualBackend>();
        sim->addConfiguredPhone(std::make_shared<lnx::FolderStorage>(options.simulateFolder));
        for (const std::string& problem : sim->configurationProblems())
            err << "vexlon-cli: warning: virtual phone: " << problem << '\n';
        return sim;
    }
#ifdef VEXLON_HAVE_LINUX_BACKEND
    const bool trace = options.trace;
    return lnx::makeLinuxBackend([&err, trace](const std::string& text) {
        if (trace)
            err << "usb: " << text << '\n';
    });
#else
    err << "vexlon-cli: USB support is not built into this program (use --simulate FOLDER)\n";
    return nullptr;
#endif
}

} // namespace

int runPhone(Session& cli, const std::vector<std::string>& args)
{
    std::ostream& out = cli.out;
    std::ostream& err = cli.err;
    const auto command = parse(args);
    if (!command) {
        err << kUsage;
        return kExitUsage;
    }
    if (command->verb == "backups")
        return runBackups(cli);
    try {
        auto backend = makeBackend(cli.options, err);
        if (!backend)
            return kExitFailed;
        PhoneSession session(std::move(backend), cli.options.trace, err);
        const std::string& verb = command->verb;
        if (verb == "list")
            return runList(session, out, err);
        if (verb == "info")
            return runInfo(cli, session);
        if (verb == "read")
            return runRead(cli, session, command->file);
        if (verb == "write")
            return runWrite(cli, session, command->file, command->restart);
        if (verb == "switch")
            return runSwitch(session, out, err);
        if (verb == "restore")
            return runRestore(cli, session, command->number);
        TMotoP2KModemItem* phone = session.openCurrentPhone();
        if (!phone)
            return kExitFailed;
        return runRestart(session, *phone, err);
    } catch (const FileError& e) {
        err << "vexlon-cli: " << e.message().toStdString() << '\n';
        return kExitUsage;
    } catch (const std::exception& e) {
        err << "vexlon-cli: " << e.what() << '\n';
        return kExitFailed;
    }
}

} // namespace vexlon::cli
