// A virtual phone's storage in a host folder: the storage's
// "a/iTAP_User_Dictionary" is FOLDER/a/iTAP_User_Dictionary. Used by
// `vexlon-cli --simulate FOLDER` and the window's tests, so that a phone's
// files can be looked at and changed with any tool.
#pragma once

#include "phone/sim/PhoneStorage.h"

#include <filesystem>

namespace vexlon::phone::lnx {

class FolderStorage final : public sim::IPhoneStorage {
public:
    explicit FolderStorage(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Regular files only; a file larger than the phone could hold (64 MiB)
    // is not read.
    std::optional<std::vector<uint8_t>> read(const std::string& name) override;
    // Makes the folders above the file as needed.
    bool create(const std::string& name) override;
    bool append(const std::string& name, std::span<const uint8_t> bytes) override;

    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};

} // namespace vexlon::phone::lnx
