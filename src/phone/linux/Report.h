// How the Linux pieces tell what went wrong: one line of text per failure,
// handed to whoever made them (in the end the components' debug event).
#pragma once

#include <functional>
#include <string>

namespace vexlon::phone::lnx {

using ReportFn = std::function<void(const std::string& text)>;

} // namespace vexlon::phone::lnx
