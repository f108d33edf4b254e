// `vexlon-cli phone ...`: list, inspect, read, write, restart and switch
// phones from the command line, over real USB or the virtual phone.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vexlon::cli {

struct PhoneOptions {
    std::string simulateFolder;   // --simulate FOLDER: virtual phone over FOLDER instead of real USB
    bool trace = false;           // --trace
    std::string dataDir;          // program directory (for TempFile/trash.iud of `phone info`)
};

// args: the words after "phone", e.g. {"read", "out.iud"}. Returns the exit
// status: 0 done, 1 failed (no phone, transfer failed, file error), 2 usage.
int runPhoneCommand(const PhoneOptions& options, const std::vector<std::string>& args,
                    std::ostream& out, std::ostream& err);

} // namespace vexlon::cli
