// Device discovery and notifications shared by the two phone components:
// enumeration of one device class filtered by description, classification
// of device changes, the device lists and the component frame that keeps
// a list up to date and raises OnArrival / OnRemove.
#pragma once

#include "phone/DeviceAccess.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexlon::phone {

// True when the filter is empty or the upper-cased description contains
// the upper-cased filter.
bool DescriptionMatches(std::string_view description, std::string_view filter);

// Fills devices with every present device of the class whose description
// matches the filter, in the backend's order. Never throws.
void EnumerateDevices(IDeviceBackend& backend, DeviceClass deviceClass, std::string_view filter,
                      TUSBDevises& devices);

// Sets up the arrival/removal watcher of a class. False (and watcher
// empty) when the backend offers none; callers carry on without
// notifications.
bool RegisterDeviceNotify(IDeviceBackend& backend, DeviceClass deviceClass,
                          std::unique_ptr<IDeviceWatcher>& watcher);

// A device list: one item per present device of the component's class,
// identified by ModemInfo().DevInst. Item pointers stay valid until the
// item's device leaves the list (Refresh) or the list is destroyed.
template <class ItemT>
class TModemList {
public:
    TModemList(IDeviceBackend& backend, DeviceClass deviceClass, std::string filter)
        : backend_(backend), class_(deviceClass), filter_(std::move(filter))
    {
        Refresh();
    }
    TModemList(const TModemList&) = delete;
    TModemList& operator=(const TModemList&) = delete;
    ~TModemList() { Clear(); }

    int Count() const { return static_cast<int>(items_.size()); }

    // nullptr when index is outside 0 ... Count() - 1.
    ItemT* Items(int index) const
    {
        if (index < 0 || index >= Count())
            return nullptr;
        return items_[static_cast<std::size_t>(index)].get();
    }

    ItemT* FindByDevInst(uint32_t devInst) const
    {
        for (const auto& item : items_) {
            if (item->ModemInfo().DevInst == devInst)
                return item.get();
        }
        return nullptr;
    }

    // Adds an item for a device not yet listed; nullptr (and no change)
    // when its DevInst is already present.
    ItemT* AddDevice(const TUSBDevise& info)
    {
        if (FindByDevInst(info.DevInst))
            return nullptr;
        items_.push_back(std::make_unique<ItemT>(backend_, info));
        return items_.back().get();
    }

    // Reconciles the list with the present devices: items of vanished
    // devices are destroyed (closing an open handle), new devices are
    // added in enumeration order; present ones keep their item.
    void Refresh()
    {
        TUSBDevises present;
        EnumerateDevices(backend_, class_, filter_, present);
        for (std::size_t i = 0; i < items_.size();) {
            const uint32_t devInst = items_[i]->ModemInfo().DevInst;
            bool stillThere = false;
            for (const auto& device : present)
                stillThere = stillThere || device.DevInst == devInst;
            if (stillThere) {
                ++i;
            } else {
                // Take the item out before destroying it, so that the list
                // is consistent while its close reports run.
                auto gone = std::move(items_[i]);
                items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
                gone.reset();
            }
        }
        for (const auto& device : present)
            AddDevice(device);
    }

    void Clear()
    {
        while (!items_.empty()) {
            auto gone = std::move(items_.back());
            items_.pop_back();
            gone.reset();
        }
    }

private:
    IDeviceBackend& backend_;
    DeviceClass class_;
    std::string filter_;
    std::vector<std::unique_ptr<ItemT>> items_;
};

// The frame both components share: the list, the watcher standing in for
// the hidden notification window, and the events. Derived is the
// component class (sender of the events).
template <class Derived, class ItemT, class DebugEventT>
class TPortvelMode {
public:
    using TNotifyEvent = std::function<void(Derived& Sender)>;
    using ListType = TModemList<ItemT>;

    TPortvelMode(const TPortvelMode&) = delete;
    TPortvelMode& operator=(const TPortvelMode&) = delete;
    virtual ~TPortvelMode()
    {
        watcher_.reset();
        list_.reset();
    }

    ListType& DeviseList() { return *list_; }
    const ListType& DeviseList() const { return *list_; }

    const std::string& About() const { return about_; }

    TNotifyEvent OnArrival;
    TNotifyEvent OnRemove;

    const DebugEventT& OnDebug() const { return onDebug_; }
    void SetOnDebug(DebugEventT handler)
    {
        onDebug_ = std::move(handler);
        AssignItemHandlers();
    }

    // The watcher's descriptor for the host's event loop (-1: none), and
    // the period at which the host must call ProcessDeviceChanges even
    // when the descriptor stays quiet (-1: not needed).
    int NotifyFd() const { return watcher_ ? watcher_->fd() : -1; }
    int NotifyPollIntervalMs() const { return watcher_ ? watcher_->pollIntervalMs() : -1; }
    bool Notifying() const { return watcher_ != nullptr; }

    // Handles every pending notification of the watcher, one after the
    // other. Returns the number handled.
    int ProcessDeviceChanges()
    {
        if (!watcher_)
            return 0;
        std::vector<DeviceChange> changes;
        try {
            changes = watcher_->processPendingEvents();
        } catch (...) {
            return 0;
        }
        int handled = 0;
        for (DeviceChange change : changes) {
            if (change != DeviceChange::None) {
                HandleDeviceChange(change);
                ++handled;
            }
        }
        return handled;
    }

    // One notification: refresh the list, hand the debug handler to every
    // item, then raise OnArrival or OnRemove. Exceptions of the refresh
    // or of the host's handlers are discarded.
    void HandleDeviceChange(DeviceChange kind)
    {
        if (kind == DeviceChange::None)
            return;
        try {
            list_->Refresh();
            AssignItemHandlers();
            Derived& self = static_cast<Derived&>(*this);
            if (kind == DeviceChange::Arrival) {
                if (OnArrival)
                    OnArrival(self);
            } else if (OnRemove) {
                OnRemove(self);
            }
        } catch (...) {
        }
    }

protected:
    TPortvelMode(IDeviceBackend& backend, DeviceClass deviceClass, std::string filter)
        : about_(kAboutText)
    {
        list_ = std::make_unique<ListType>(backend, deviceClass, std::move(filter));
        RegisterDeviceNotify(backend, deviceClass, watcher_);
    }

    // Hands the component's item handlers to every item present.
    virtual void AssignItemHandlers()
    {
        for (int i = 0; i < list_->Count(); ++i)
            list_->Items(i)->SetOnDebugEvent(onDebug_);
    }

private:
    static constexpr const char* kAboutText =
        "Portvel v2.2.0 Reliz\r\n"
        "Phone component set: USB discovery and notifications, the AT-mode modem "
        "and the P2K command interface of Motorola phones.";

    std::string about_;
    DebugEventT onDebug_;
    std::unique_ptr<ListType> list_;
    std::unique_ptr<IDeviceWatcher> watcher_;
};

} // namespace vexlon::phone
