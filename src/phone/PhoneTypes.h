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

} // namespace vexlon::phone
