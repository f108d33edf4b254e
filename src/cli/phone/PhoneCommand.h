// `vexlon-cli phone ...`: list, inspect, read, write, restart and switch
// phones from the command line, over real USB or the virtual phone.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace vexlon::cli {

struct PhoneOptions {
    std::string simulateFolder;   // --simulate FOLDER: virtual phone over FOLDER instead of real USB
    bool trace = false;           // --trace
    std::string dataDir;          // program directory
    // Replaces a file with bytes only when all of them were written; false
    // with the reason otherwise (the old file stays whole).
    std::function<bool(const std::string& path, const std::vector<uint8_t>& bytes, std::string& reason)> saveFile;
};

// args: the words after "phone", e.g. {"read", "out.iud"}. Returns the exit
// status: 0 done, 1 failed (no phone, transfer failed), 2 usage or a file
// that could not be read or written.
int runPhoneCommand(const PhoneOptions& options, const std::vector<std::string>& args,
                    std::ostream& out, std::ostream& err);

} // namespace vexlon::cli
