// Helpers shared by the phone tests: a temporary folder and a recorder of
// component reports.
#pragma once

#include "phone/PhoneTypes.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace vexlon::phone::test {

class TempDir {
public:
    TempDir()
    {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path()
                / ("vexlon-phone-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::vector<uint8_t> randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(generator());
    return bytes;
}

inline void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const std::filesystem::path& path, const std::string& text)
{
    writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::vector<uint8_t> readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Report {
    std::string text;
    TDebugType type;
    bool subError;
    bool operator==(const Report&) const = default;
};

// Records the reports of the components' debug events.
struct ReportLog {
    std::vector<Report> reports;
    template <class Item>
    auto handler()
    {
        return [this](Item*, const std::string& text, TDebugType type, bool sub) {
            reports.push_back({text, type, sub});
        };
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const auto& r : reports)
            result.push_back(r.text);
        return result;
    }
    std::string last() const { return reports.empty() ? std::string() : reports.back().text; }
    void clear() { reports.clear(); }
};

} // namespace vexlon::phone::test
