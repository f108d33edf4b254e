// Where a virtual phone keeps its files: its file system and the settings
// that shape it (".phone/model", ".phone/faults", ...). Names are relative
// ("a/iTAP_User_Dictionary"), their parts joined by "/", and never hold "."
// or ".." parts. The phone only ever asks for bytes, so it runs the same over
// a host folder (phone/linux/FolderStorage.h) and over memory (the tests).
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexlon::phone::sim {

class IPhoneStorage {
public:
    virtual ~IPhoneStorage() = default;
    // The whole file, or nothing when there is no such file.
    virtual std::optional<std::vector<uint8_t>> read(const std::string& name) = 0;
    // Makes the file exist and be empty; false when it cannot be made.
    virtual bool create(const std::string& name) = 0;
    // Adds the bytes at the end of the file; false when they were not all
    // stored.
    virtual bool append(const std::string& name, std::span<const uint8_t> bytes) = 0;
};

// The first line of a text file, without the spaces around it; nothing when
// there is no such file.
inline std::optional<std::string> readFirstLine(IPhoneStorage& storage, const std::string& name)
{
    const auto bytes = storage.read(name);
    if (!bytes)
        return std::nullopt;
    std::string line(bytes->begin(), std::find(bytes->begin(), bytes->end(), uint8_t{'\n'}));
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!line.empty() && space(line.back()))
        line.pop_back();
    std::size_t start = 0;
    while (start < line.size() && space(line[start]))
        ++start;
    return line.substr(start);
}

// Files held in memory.
class MemoryStorage final : public IPhoneStorage {
public:
    std::optional<std::vector<uint8_t>> read(const std::string& name) override
    {
        const auto it = files_.find(name);
        if (it == files_.end())
            return std::nullopt;
        return it->second;
    }
    bool create(const std::string& name) override
    {
        files_[name].clear();
        return true;
    }
    bool append(const std::string& name, std::span<const uint8_t> bytes) override
    {
        auto& file = files_[name];
        file.insert(file.end(), bytes.begin(), bytes.end());
        return true;
    }
    void put(const std::string& name, std::vector<uint8_t> bytes) { files_[name] = std::move(bytes); }

private:
    std::map<std::string, std::vector<uint8_t>> files_;
};

} // namespace vexlon::phone::sim
