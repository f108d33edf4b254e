// A P2K item over a virtual phone that misbehaves: whatever goes wrong in an exchange, a transfer reports failure and
// never hands on bytes the phone did not send for it; and the faults file that arms such a phone.
#include "phone/P2KBlocks.h"

#include "phone/PhoneTestSupport.h"

#include <algorithm>
#include <random>

using namespace vexlon::phone;
using namespace vexlon::phone::p2k;
using namespace vexlon::phone::test;
using vexlon::phone::sim::Fault;
using enum vexlon::phone::sim::FaultKind;

namespace {

const std::string kDictionary = "/a/iTAP_User_Dictionary";
const std::string kStored = "a/iTAP_User_Dictionary";

Bytes randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&generator] { return static_cast<uint8_t>(generator()); });
    return bytes;
}

Bytes prefix(const Bytes& bytes, std::ptrdiff_t n) { return Bytes(bytes.begin(), bytes.begin() + n); }

// One phone, its component and its open item, with the item's reports.
struct Rig {
    explicit Rig(std::shared_ptr<sim::MemoryStorage> files = std::make_shared<sim::MemoryStorage>(),
                 bool configured = false)
        : storage(std::move(files)),
          phone(configured ? backend.addConfiguredPhone(storage) : backend.addPhone(sim::PhoneMode::P2K, storage))
    {
        component.SetOnDebug(log.handler<TMotoP2KModemItem>());
        EXPECT_TRUE(item().OpenPhone());
        log.clear();
    }
    TMotoP2KModemItem& item() { return *component.DeviseList().Items(0); }
    std::string firstError() const
    {
        const auto it = std::find_if(log.reports.begin(), log.reports.end(),
                                     [](const Report& r) { return r.type == dtError; });
        return it == log.reports.end() ? std::string() : it->text;
    }

    ReportLog log; // outlives the component, which reports while closing
    std::shared_ptr<sim::MemoryStorage> storage;
    sim::VirtualBackend backend;
    sim::VirtualPhone& phone;
    TMotoP2KMode component{backend};
};

} // namespace

// Each fault hits the second chunk (or the one its `after` names) of an upload of 2500 bytes in chunks of 1000 and of
// a download of 10000 bytes in chunks of 4000.
TEST(phoneFaults, TransfersThatGoWrongFailAndKeepOnlyGoodBytes)
{
    const Bytes upload = randomBytes(2500, 7);
    const Bytes file = randomBytes(10000, 8);
    const std::string rejected = "Execute Command Failed - ";
    // What; the fault; the first error report; bytes the phone holds after the upload; bytes the download keeps.
    const std::tuple<const char*, Fault, std::string, std::ptrdiff_t, std::ptrdiff_t> cases[] = {
        {"unplugged as the chunk is sent", Fault(DropAtSend).after(1), "", 1000, 4000},
        {"no answer announced", Fault(NeverAnnounce).after(1), "", 2000, 4000},
        {"status cut short", Fault(ShortStatus).after(1), rejected + "status block of 6 bytes, 8 needed", 2000, 4000},
        {"status without its count", Fault(ShortStatus).delivering(4).after(1), "", 2000, 4000},
        {"answer cut short", Fault(ShortFetch).after(1), rejected + "answer block of ", 2000, 4000},
        {"answer with another sequence number", Fault(WrongSequence).after(1),
         rejected + "answer to sequence number ", 2000, 4000},
        {"answer with another command code", Fault(WrongCommand).after(1),
         rejected + "answer to command 004B, 004A sent", 2000, 4000},
        {"the answer before delivered again", Fault(StaleAnswer).after(1), rejected + "answer to sequence number ",
         2000, 4000},
        {"an answer delivered twice", Fault(RepeatAnswer), rejected + "answer to sequence number ", 2000, 4000},
        {"error status after two chunks", Fault(ErrorStatus).after(2), "", 2000, 8000},
    };
    for (const auto& [what, fault, report, stored, kept] : cases) {
        SCOPED_TRACE(what);
        for (const uint32_t sub : {kFsWrite, kFsRead}) {
            Rig rig;
            rig.storage->put(kStored, file);
            rig.phone.injectFault(Fault(fault).forCommand(kCmdFileSystem, sub));
            Bytes got;
            const bool ok = sub == kFsWrite ? rig.item().FileUploadPhone(upload, kDictionary, 1000, {})
                                            : rig.item().FileDownloadPhone(kDictionary, got, 4000, 0, {});
            EXPECT_FALSE(ok);
            if (sub == kFsWrite)
                EXPECT_EQ(rig.storage->read(kStored), prefix(upload, stored));
            else
                EXPECT_EQ(got, prefix(file, kept)); // what came before the fault, never bytes of another answer
            EXPECT_TRUE(rig.firstError().starts_with(report)) << rig.firstError();
            EXPECT_EQ(report.empty(), rig.firstError().find(rejected) == std::string::npos) << rig.firstError();
        }
    }
}

// A phone whose answers never carry the command's sequence number and code
// (another answer layout) is not held to them: its transfers work.
TEST(phoneFaults, APhoneWhoseAnswersCarryNoHeaderIsNotChecked)
{
    for (const sim::FaultKind kind : {WrongSequence, WrongCommand}) {
        Rig rig;
        rig.phone.injectFault(Fault(kind));
        const Bytes content = randomBytes(2500, 3);
        EXPECT_TRUE(rig.item().FileUploadPhone(content, kDictionary, 1000, {}));
        EXPECT_EQ(rig.storage->read(kStored), content);
        EXPECT_EQ(rig.firstError(), "");
    }
}

// A status byte altered into an error is a refusal; file data altered on the way cannot be told from file data.
TEST(phoneFaults, AnAlteredStatusByteIsARefusal)
{
    for (const uint32_t sub : {kFsOpen, kFsWrite}) {
        Rig rig;
        rig.phone.injectFault(Fault(CorruptAnswer).forCommand(kCmdFileSystem, sub));
        EXPECT_FALSE(rig.item().FileUploadPhone(Bytes(10, 1), kDictionary, 1000, {}));
        EXPECT_TRUE(rig.firstError().ends_with("Failed - Error Status")) << rig.firstError();
    }
}

// The phone acknowledges every write but stores other bytes: the upload reports success, and only reading the file
// back shows the difference. Armed by the builder and by the faults file alike.
TEST(phoneFaults, AcknowledgedButCorruptedWritesShowOnReadBack)
{
    const Bytes content = randomBytes(2500, 9);
    Bytes flipped = content;
    flipped[1010] = static_cast<uint8_t>(~flipped[1010]);
    Bytes shortened = content;
    shortened.erase(shortened.begin() + 1997, shortened.begin() + 2000);
    const std::tuple<const char*, std::optional<Fault>, std::string, Bytes> cases[] = {
        {"a byte of the second chunk inverted", Fault(sim::FaultKind::CorruptStore).altering(10).after(1), "",
         flipped},
        {"the tail of the second chunk dropped", Fault(CorruptStore).altering(5000).droppingTail(3).after(1), "",
         shortened},
        {"armed from the faults file", {}, "CorruptStore offset=10 after=1 repeat=1\n", flipped},
    };
    for (const auto& [what, fault, faultsFile, expected] : cases) {
        SCOPED_TRACE(what);
        auto storage = std::make_shared<sim::MemoryStorage>();
        storage->put(".phone/faults", Bytes(faultsFile.begin(), faultsFile.end()));
        Rig rig(storage, true);
        if (fault)
            rig.phone.injectFault(*fault);
        EXPECT_TRUE(rig.item().FileUploadPhone(content, kDictionary, 1000, {}));
        Bytes readBack;
        EXPECT_TRUE(rig.item().FileDownloadPhone(kDictionary, readBack, 4000, 0, {}));
        EXPECT_EQ(readBack, expected);
        EXPECT_TRUE(rig.backend.configurationProblems().empty());
    }
}

TEST(phoneFaults, TheFaultsFileArmsWhatItSaysAndNamesWhatItCannot)
{
    const std::string text = "# a comment, then a blank line\n\n"
                             "ErrorStatus command=004A sub=3 after=2 repeat=1\n"
                             "NeverAnnounce\r\n"
                             "corruptstore offset=10 drop=2\n"
                             "ATReply text=\"NO CARRIER\" switch=late repeat=all\n"
                             "DropAtSend command=0x20 after=5\n"
                             "ErrorStatus sub=write\n"
                             "AnnounceCount count=3\n"
                             "DeclareLength length=300\n"
                             "ShortFetch bytes=20\n"
                             "Bogus\n"
                             "ErrorStatus after=-1\n"
                             "ErrorStatus count=2\n"
                             "FailSend command=XYZ\n"
                             "ErrorStatus repeat=0\n"
                             "ATReply switch=maybe\n"
                             "ATReply command=004A\n"
                             "ErrorStatus command=0020 sub=1\n"
                             "ErrorStatus after=1 after=2\n"
                             "ATReply text=\"open\n"
                             "ErrorStatus after\n";
    const sim::FaultFile file = sim::parseFaultFile(text);
    using Armed = std::tuple<std::string, std::optional<uint16_t>, std::optional<uint32_t>, int, int, std::size_t>;
    std::vector<Armed> armed;
    for (const Fault& f : file.faults) {
        const std::size_t extra = f.count + f.declaredLength + f.offset * 100 + f.dropTail + f.bytes.value_or(0);
        armed.emplace_back(sim::faultKindName(f.kind), f.command, f.subcommand, f.skip, f.times, extra);
    }
    EXPECT_EQ(armed, (std::vector<Armed>{{"ErrorStatus", 0x004A, 3, 2, 1, 0},
                                         {"NeverAnnounce", {}, {}, 0, -1, 0},
                                         {"CorruptStore", {}, {}, 0, -1, 1002},
                                         {"ATReply", {}, {}, 0, -1, 0},
                                         {"DropAtSend", 0x0020, {}, 5, -1, 0},
                                         {"ErrorStatus", 0x004A, kFsWrite, 0, -1, 0},
                                         {"AnnounceCount", {}, {}, 0, -1, 3},
                                         {"DeclareLength", {}, {}, 0, -1, 300},
                                         {"ShortFetch", {}, {}, 0, -1, 20}}));
    ASSERT_EQ(file.faults.size(), 9u);
    EXPECT_EQ(std::pair(file.faults[3].reply, file.faults[3].atSwitch), std::pair(std::string("NO CARRIER"),
                                                                                  sim::ATSwitch::Late));
    EXPECT_EQ(file.problems,
              (Texts{"line 12: unknown fault \"Bogus\"", "line 13: after=-1: needs a whole number, 0 or more",
                     "line 14: ErrorStatus takes no \"count\"",
                     "line 15: command=XYZ: needs a command code of up to four hexadecimal digits (004A)",
                     "line 16: repeat=0: needs a whole number, 1 or more, or all",
                     "line 17: switch=maybe: needs yes, late or no", "line 18: ATReply takes no \"command\"",
                     "line 19: sub applies to the file-system command 004A only", "line 20: \"after\" given twice",
                     "line 21: a quote is not closed",
                     "line 22: \"after\" is no parameter (key=value) that a fault takes"}));

    // A phone set up from its folder: the good lines armed, the bad ones (and a bad mode) listed for the host.
    auto storage = std::make_shared<sim::MemoryStorage>();
    const std::string faults = "ErrorStatus command=004A sub=write after=2 repeat=1\nErrorStatuz\n";
    storage->put(".phone/faults", Bytes(faults.begin(), faults.end()));
    storage->put(".phone/mode", Bytes{'p', '2', 'k', '!'});
    Rig rig(storage, true);
    EXPECT_EQ(rig.backend.configurationProblems(),
              (Texts{".phone/mode: \"p2k!\" is not AT, P2K or none; the phone is attached in P2K mode",
                     ".phone/faults line 2: unknown fault \"ErrorStatuz\"; the line is not armed"}));
    EXPECT_FALSE(rig.item().FileUploadPhone(randomBytes(2500, 3), kDictionary, 1000, {}));
    EXPECT_EQ(storage->read(kStored)->size(), 2000u);
    EXPECT_TRUE(rig.item().FileUploadPhone(randomBytes(2500, 3), kDictionary, 1000, {})); // repeat=1: once only
}
