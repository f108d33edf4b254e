// Shared by the phone tests: a recorder of component reports and a P2K component over one virtual phone.
#pragma once

#include "phone/MotoP2KMode.h"
#include "phone/sim/VirtualBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <poll.h>

namespace vexlon::phone::test {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

inline Bytes randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&generator] { return static_cast<uint8_t>(generator()); });
    return bytes;
}

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
    template <class Item>
    auto handler()
    {
        return [this](Item*, const std::string& text, TDebugType type, bool sub) {
            reports.push_back({text, type, sub});
        };
    }
    Texts texts() const
    {
        Texts result;
        for (const auto& r : reports)
            result.push_back(r.text);
        return result;
    }
    std::string last() const { return reports.empty() ? std::string() : reports.back().text; }
    void clear() { reports.clear(); }
};

// A P2K component over one virtual phone whose item is open, with its reports and its exchanges recorded.
class P2KPhoneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        component.SetOnDebug(log.handler<TMotoP2KModemItem>());
        component.SetOnExchange([this](TMotoP2KModemItem*, TP2KExchangeDirection direction,
                                       std::span<const uint8_t> bytes) {
            exchanges.emplace_back(direction, Bytes(bytes.begin(), bytes.end()));
        });
        ASSERT_EQ(component.DeviseList().Count(), 1);
        ASSERT_TRUE(item().OpenPhone());
        log.clear();
    }
    TMotoP2KModemItem& item() { return *component.DeviseList().Items(0); }
    sim::VirtualClock& clock() { return backend.virtualClock(); }

    ReportLog log; // outlives the component, which reports while closing
    std::vector<std::pair<TP2KExchangeDirection, Bytes>> exchanges;
    std::shared_ptr<sim::MemoryStorage> storage = std::make_shared<sim::MemoryStorage>();
    sim::VirtualBackend backend;
    sim::VirtualPhone& phone = backend.addPhone(sim::PhoneMode::P2K, storage);
    TMotoP2KMode component{backend};
};

} // namespace vexlon::phone::test
