// Shared by the phone tests: a recorder of component reports, and whether a descriptor is readable.
#pragma once

#include "phone/MotoP2KMode.h"
#include "phone/sim/VirtualBackend.h"

#include <gtest/gtest.h>

#include <poll.h>

namespace vexlon::phone::test {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

inline bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

struct Report {
    std::string text;
    TDebugType type;
    bool subError;
    bool operator==(const Report&) const = default;
};

struct ReportLog {
    std::vector<Report> reports;
    Texts texts;
    template <class Item> auto handler()
    {
        return [this](Item*, const std::string& text, TDebugType type, bool sub) {
            reports.push_back({text, type, sub});
            texts.push_back(text);
        };
    }
    std::string last() const { return texts.empty() ? std::string() : texts.back(); }
    void clear() { reports.clear(), texts.clear(); }
};

} // namespace vexlon::phone::test
