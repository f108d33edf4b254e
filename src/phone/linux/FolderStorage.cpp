#include "phone/linux/FolderStorage.h"

#include <fstream>
#include <system_error>

namespace vexlon::phone::lnx {

namespace {
constexpr std::uintmax_t kLargestFile = 64u << 20;
}

std::optional<std::vector<uint8_t>> FolderStorage::read(const std::string& name)
{
    const auto path = folder_ / name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kLargestFile)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

bool FolderStorage::create(const std::string& name)
{
    const auto path = folder_ / name;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(out);
}

bool FolderStorage::append(const std::string& name, std::span<const uint8_t> bytes)
{
    std::ofstream out(folder_ / name, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}

} // namespace vexlon::phone::lnx
