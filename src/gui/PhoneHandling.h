// The main window's phone link: the AT-mode and P2K-mode components over
// the device access of the system, their arrival and removal events served
// on the GUI event loop (the watchers' descriptors, and a timer for
// watchers that must be polled or that never signal), and the current
// phone that the phone commands talk to.
#pragma once

#include "core/app/PhoneCommands.h"
#include "phone/DeviceAccess.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace vexlon::phone {
class TMotoATMode;
class TMotoP2KMode;
class TMotoP2KModemItem;
} // namespace vexlon::phone

namespace vexlon::gui {

class TMainForm;

// Makes the device access the editor uses (the Linux backend unless a test
// installs another). The factory is not owned.
using PhoneBackendFactory = std::function<std::unique_ptr<phone::IDeviceBackend>()>;
void setPhoneBackendFactory(PhoneBackendFactory factory);

class PhoneHandling : public QObject, public PhoneLink {
    Q_OBJECT
public:
    explicit PhoneHandling(TMainForm& form);
    ~PhoneHandling() override;

    // The start-up: phones already attached in AT mode, then in P2K mode.
    void start();
    PhoneLink* link() { return this; }
    phone::TMotoP2KModemItem* currentPhone() const;
    // Serves every pending notification of both components now.
    void processDeviceChanges();

    void Phone_AT_Arrival();
    void Phone_P2K_arrival();
    void Phone_P2K_Remove();
    void MotoATMode1Remove();

    // PhoneLink
    bool hasCurrentPhone() override;
    bool isOpen() override;
    bool open() override;
    QString model() override;
    QString imei() override;
    QString flexVersion() override;
    bool download(const QString& phoneFile, QByteArray& bytes, int chunk, const TransferProgress& progress) override;
    bool upload(const QByteArray& bytes, const QString& phoneFile, int chunk, const TransferProgress& progress) override;
    bool restart() override;

private:
    void watch(int fd, int pollMs);
    void closeAll();

    TMainForm& m_form;
    std::unique_ptr<phone::IDeviceBackend> m_backend;
    std::unique_ptr<phone::TMotoP2KMode> MotoP2KMode1;
    std::unique_ptr<phone::TMotoATMode> MotoATMode1;
    // The current phone, never used once its item has left the list.
    phone::TMotoP2KModemItem* m_current = nullptr;
    uint32_t m_currentDevInst = 0;
    std::vector<QSocketNotifier*> m_notifiers;
    QTimer m_poll;
};

} // namespace vexlon::gui
