// Types shared by the AT-mode and P2K-mode components.
#pragma once

#include <stdexcept>
#include <string>

namespace vexlon::phone {

// Kind of a report of the phone components.
enum TDebugType {
    dtInformation = 0,
    dtError = 1,
};

// A local file of a whole-file transfer could not be created, opened,
// read or written. Raised to the caller of the transfer; the phone file
// has been closed by then.
class LocalFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace vexlon::phone
