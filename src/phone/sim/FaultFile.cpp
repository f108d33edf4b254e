// Fault kinds by name, and the ".phone/faults" file that arms them.
#include "phone/sim/VirtualPhone.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <set>

namespace vexlon::phone::sim {

namespace {

struct KindName {
    const char* name;
    FaultKind kind;
};

constexpr KindName kKindNames[] = {
    {"NeverAnnounce", FaultKind::NeverAnnounce}, {"AnnounceCount", FaultKind::AnnounceCount},
    {"DeclareLength", FaultKind::DeclareLength}, {"FailSend", FaultKind::FailSend},
    {"FailStatus", FaultKind::FailStatus},       {"FailFetch", FaultKind::FailFetch},
    {"TimeOutSend", FaultKind::TimeOutSend},     {"TimeOutStatus", FaultKind::TimeOutStatus},
    {"TimeOutFetch", FaultKind::TimeOutFetch},   {"DropAtSend", FaultKind::DropAtSend},
    {"DropAtStatus", FaultKind::DropAtStatus},   {"DropAtFetch", FaultKind::DropAtFetch},
    {"ErrorStatus", FaultKind::ErrorStatus},     {"CorruptAnswer", FaultKind::CorruptAnswer},
    {"WrongSequence", FaultKind::WrongSequence}, {"WrongCommand", FaultKind::WrongCommand},
    {"StaleAnswer", FaultKind::StaleAnswer},     {"RepeatAnswer", FaultKind::RepeatAnswer},
    {"ShortStatus", FaultKind::ShortStatus},     {"ShortFetch", FaultKind::ShortFetch},
    {"CorruptStore", FaultKind::CorruptStore},   {"ATReply", FaultKind::ATReply},
};

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return out;
}

// A whole number in the given base, at most max; nothing for anything else.
std::optional<uint64_t> number(std::string_view text, uint64_t max, int base = 10)
{
    if (base == 16 && (text.starts_with("0x") || text.starts_with("0X")))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 12)
        return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    if (value > max)
        return std::nullopt;
    return value;
}

// The words of a line; a value may be quoted ("text=\"NO CARRIER\"") to hold
// blanks. Nothing when a quote is not closed.
std::optional<std::vector<std::string>> words(std::string_view line)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        std::string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || !std::isspace(static_cast<unsigned char>(line[i]))); ++i) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                word.push_back(line[i]);
        }
        if (quoted)
            return std::nullopt;
        out.push_back(std::move(word));
    }
    return out;
}

// Which kinds take a parameter beyond command, sub, after and repeat.
bool takes(const std::string& key, FaultKind kind)
{
    if (key == "after" || key == "repeat")
        return true;
    if (key == "command" || key == "sub")
        return kind != FaultKind::ATReply;
    if (key == "count")
        return kind == FaultKind::AnnounceCount;
    if (key == "length")
        return kind == FaultKind::DeclareLength;
    if (key == "offset")
        return kind == FaultKind::CorruptAnswer || kind == FaultKind::CorruptStore;
    if (key == "drop")
        return kind == FaultKind::CorruptStore;
    if (key == "bytes")
        return kind == FaultKind::ShortStatus || kind == FaultKind::ShortFetch;
    return kind == FaultKind::ATReply && (key == "text" || key == "switch");
}

const std::set<std::string> kKeys = {"command", "sub",   "after", "repeat", "count", "length",
                                     "offset",  "drop",  "bytes", "text",   "switch"};

// One line's fault; the text of what is wrong with it otherwise.
std::optional<Fault> parseLine(const std::vector<std::string>& line, std::string& problem)
{
    const auto kind = faultKindNamed(line.front());
    if (!kind) {
        problem = "unknown fault \"" + line.front() + "\"";
        return std::nullopt;
    }
    const std::string name = faultKindName(*kind);
    Fault fault(*kind);
    fault.times = -1; // a line arms its fault for every matching command unless it says otherwise
    std::set<std::string> seen;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const std::string& word = line[i];
        const std::size_t eq = word.find('=');
        const std::string key = lower(word.substr(0, eq));
        if (eq == std::string::npos || !kKeys.contains(key)) {
            problem = "\"" + word + "\" is no parameter (key=value) that a fault takes";
            return std::nullopt;
        }
        if (!takes(key, *kind)) {
            problem = name + " takes no \"" + key + "\"";
            return std::nullopt;
        }
        if (!seen.insert(key).second) {
            problem = "\"" + key + "\" given twice";
            return std::nullopt;
        }
        const std::string value = word.substr(eq + 1);
        const auto bad = [&](const char* wanted) {
            problem = key + "=" + value + ": " + wanted;
            return std::nullopt;
        };
        if (key == "command") {
            const auto v = number(value, 0xFFFF, 16);
            if (!v)
                return bad("needs a command code of up to four hexadecimal digits (004A)");
            fault.command = static_cast<uint16_t>(*v);
        } else if (key == "sub") {
            static const std::pair<const char*, uint32_t> subs[] = {
                {"open", p2k::kFsOpen}, {"read", p2k::kFsRead}, {"write", p2k::kFsWrite}, {"close", p2k::kFsClose}};
            const auto named = std::find_if(std::begin(subs), std::end(subs),
                                            [&](const auto& s) { return lower(value) == s.first; });
            const auto v = named != std::end(subs) ? std::optional<uint64_t>(named->second) : number(value, UINT32_MAX);
            if (!v)
                return bad("needs open, read, write, close or a subcommand number");
            fault.subcommand = static_cast<uint32_t>(*v);
        } else if (key == "after") {
            const auto v = number(value, INT_MAX);
            if (!v)
                return bad("needs a whole number, 0 or more");
            fault.skip = static_cast<int>(*v);
        } else if (key == "repeat") {
            if (lower(value) == "all" || value == "-1") {
                fault.times = -1;
            } else {
                const auto v = number(value, INT_MAX);
                if (!v || *v == 0)
                    return bad("needs a whole number, 1 or more, or all");
                fault.times = static_cast<int>(*v);
            }
        } else if (key == "count") {
            const auto v = number(value, 255);
            if (!v)
                return bad("needs a number of answers, 0 to 255");
            fault.count = static_cast<uint8_t>(*v);
        } else if (key == "length") {
            const auto v = number(value, 0xFFFF);
            if (!v)
                return bad("needs a length, 0 to 65535");
            fault.declaredLength = static_cast<uint16_t>(*v);
        } else if (key == "offset" || key == "drop" || key == "bytes") {
            const auto v = number(value, 0xFFFF);
            if (!v)
                return bad("needs a number of bytes, 0 to 65535");
            const auto bytes = static_cast<std::size_t>(*v);
            if (key == "offset")
                fault.offset = bytes;
            else if (key == "drop")
                fault.dropTail = bytes;
            else
                fault.bytes = bytes;
        } else if (key == "text") {
            fault.reply = value;
        } else {
            const std::string v = lower(value);
            if (v == "yes" || v == "now")
                fault.atSwitch = ATSwitch::Now;
            else if (v == "late")
                fault.atSwitch = ATSwitch::Late;
            else if (v == "no" || v == "never")
                fault.atSwitch = ATSwitch::Never;
            else
                return bad("needs yes, late or no");
        }
    }
    // A subcommand belongs to the file-system command.
    if (fault.subcommand) {
        if (fault.command && *fault.command != p2k::kCmdFileSystem) {
            problem = "sub applies to the file-system command 004A only";
            return std::nullopt;
        }
        fault.command = p2k::kCmdFileSystem;
    }
    return fault;
}

} // namespace

const char* faultKindName(FaultKind kind)
{
    for (const auto& [name, k] : kKindNames)
        if (k == kind)
            return name;
    return "?";
}

std::optional<FaultKind> faultKindNamed(std::string_view name)
{
    const std::string wanted = lower(name);
    for (const auto& [text, kind] : kKindNames)
        if (lower(text) == wanted)
            return kind;
    return std::nullopt;
}

FaultFile parseFaultFile(std::string_view text)
{
    FaultFile file;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        const auto parts = words(raw);
        std::string problem;
        if (!parts)
            problem = "a quote is not closed";
        else if (parts->empty() || parts->front().starts_with('#'))
            continue;
        else if (auto fault = parseLine(*parts, problem))
            file.faults.push_back(std::move(*fault));
        if (!problem.empty())
            file.problems.push_back("line " + std::to_string(lineNumber) + ": " + problem);
    }
    return file;
}

} // namespace vexlon::phone::sim
