#include "gui/PhoneHandling.h"

#include "core/base/Errors.h"
#include "gui/MainForm.h"
#include "phone/MotoATMode.h"
#include "phone/MotoP2KMode.h"
#include "phone/PhoneTypes.h"
#include "phone/linux/LinuxBackend.h"

#include <QSocketNotifier>

namespace vexlon::gui {

namespace {

PhoneBackendFactory& backendFactory()
{
    static PhoneBackendFactory factory;
    return factory;
}

std::string local8(const QString& path)
{
    return path.toLocal8Bit().toStdString();
}

// Without a watcher signal, device changes are still looked for this often.
constexpr int kPollFallbackMs = 2000;

} // namespace

void setPhoneBackendFactory(PhoneBackendFactory factory)
{
    backendFactory() = std::move(factory);
}

PhoneHandling::PhoneHandling(TMainForm& form) : m_form(form)
{
    m_backend = backendFactory() ? backendFactory()() : phone::lnx::makeLinuxBackend();
    MotoP2KMode1 = std::make_unique<phone::TMotoP2KMode>(*m_backend);
    MotoATMode1 = std::make_unique<phone::TMotoATMode>(*m_backend);
    MotoP2KMode1->OnArrival = [this](phone::TMotoP2KMode&) { Phone_P2K_arrival(); };
    MotoP2KMode1->OnRemove = [this](phone::TMotoP2KMode&) { Phone_P2K_Remove(); };
    MotoATMode1->OnArrival = [this](phone::TMotoATMode&) { Phone_AT_Arrival(); };
    MotoATMode1->OnRemove = [this](phone::TMotoATMode&) { MotoATMode1Remove(); };

    watch(MotoP2KMode1->NotifyFd(), MotoP2KMode1->NotifyPollIntervalMs());
    watch(MotoATMode1->NotifyFd(), MotoATMode1->NotifyPollIntervalMs());
    // A watcher that registered fine may still never signal (containers):
    // the timer asks both components regularly whatever their descriptors do.
    connect(&m_poll, &QTimer::timeout, this, &PhoneHandling::processDeviceChanges);
    m_poll.start(qMin(kPollFallbackMs, m_poll.interval() > 0 ? m_poll.interval() : kPollFallbackMs));
}

PhoneHandling::~PhoneHandling()
{
    m_poll.stop();
    for (QSocketNotifier* n : m_notifiers)
        delete n;
    m_current = nullptr;
    MotoATMode1.reset();
    MotoP2KMode1.reset();
}

void PhoneHandling::watch(int fd, int pollMs)
{
    if (pollMs > 0 && (m_poll.interval() <= 0 || pollMs < m_poll.interval()))
        m_poll.setInterval(pollMs);
    if (fd < 0)
        return;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
    connect(notifier, &QSocketNotifier::activated, this, &PhoneHandling::processDeviceChanges);
    m_notifiers.push_back(notifier);
}

void PhoneHandling::processDeviceChanges()
{
    MotoATMode1->ProcessDeviceChanges();
    MotoP2KMode1->ProcessDeviceChanges();
}

void PhoneHandling::start()
{
    m_current = nullptr;
    m_currentDevInst = 0;
    Phone_AT_Arrival();
    Phone_P2K_arrival();
}

phone::TMotoP2KModemItem* PhoneHandling::currentPhone() const
{
    if (!m_current)
        return nullptr;
    // The item may have left the list with its device: look it up again.
    phone::TMotoP2KModemItem* item = MotoP2KMode1->DeviseList().FindByDevInst(m_currentDevInst);
    return item == m_current ? item : nullptr;
}

void PhoneHandling::Phone_AT_Arrival()
{
    MotoATMode1->DeviseList().Refresh();
    for (int i = 0; i < MotoATMode1->DeviseList().Count(); ++i) {
        phone::TMotoATModemItem* item = MotoATMode1->DeviseList().Items(i);
        item->OpenPhone();
        item->SwitchMode(0);
    }
}

void PhoneHandling::Phone_P2K_arrival()
{
    auto& list = MotoP2KMode1->DeviseList();
    list.Refresh();
    if (list.Count() > 1)
        m_form.dialogs().message(m_form.editor().state.texts.MESSAGES(19));
    m_current = list.Items(0);
    m_currentDevInst = m_current ? m_current->ModemInfo().DevInst : 0;
    if (m_current)
        m_current->OpenPhone();
    m_form.PhoneStatusUpdate();
}

void PhoneHandling::closeAll()
{
    auto& p2k = MotoP2KMode1->DeviseList();
    for (int i = 0; i < p2k.Count(); ++i) {
        if (p2k.Items(i)->IsOpen())
            p2k.Items(i)->ClosePhone();
    }
    auto& at = MotoATMode1->DeviseList();
    for (int i = 0; i < at.Count(); ++i) {
        if (at.Items(i)->IsOpen())
            at.Items(i)->ClosePhone();
    }
}

void PhoneHandling::Phone_P2K_Remove()
{
    closeAll();
    m_form.PhoneStatusUpdate();
    setStatusLine(*m_form.Label4, m_form.editor().state.texts.MESSAGES(21), false);
}

void PhoneHandling::MotoATMode1Remove()
{
    Phone_P2K_Remove();
}

bool PhoneHandling::hasCurrentPhone()
{
    return currentPhone() != nullptr;
}

bool PhoneHandling::isOpen()
{
    phone::TMotoP2KModemItem* item = currentPhone();
    return item && item->IsOpen();
}

bool PhoneHandling::open()
{
    phone::TMotoP2KModemItem* item = currentPhone();
    return item && item->OpenPhone();
}

QString PhoneHandling::model()
{
    phone::TMotoP2KModemItem* item = currentPhone();
    return item ? QString::fromStdString(item->GetPhoneModel()) : QString();
}

QString PhoneHandling::imei()
{
    phone::TMotoP2KModemItem* item = currentPhone();
    return item ? QString::fromStdString(item->GetPhoneIMEI()) : QString();
}

QString PhoneHandling::flexVersion()
{
    phone::TMotoP2KModemItem* item = currentPhone();
    return item ? QString::fromStdString(item->GetPhoneFlexVersion()) : QString();
}

bool PhoneHandling::download(const QString& phoneFile, QByteArray& bytes, int chunk, const TransferProgress& progress)
{
    bytes.clear();
    phone::TMotoP2KModemItem* item = currentPhone();
    if (!item)
        return false;
    std::vector<uint8_t> read;
    const bool complete = item->FileDownloadPhone(local8(phoneFile), read, chunk, 0,
                                                  [&progress](int32_t done, int32_t total) { return progress ? progress(done, total) : true; });
    bytes = QByteArray(reinterpret_cast<const char*>(read.data()), qsizetype(read.size()));
    return complete;
}

bool PhoneHandling::upload(const QByteArray& bytes, const QString& phoneFile, int chunk, const TransferProgress& progress)
{
    phone::TMotoP2KModemItem* item = currentPhone();
    if (!item)
        return false;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    return item->FileUploadPhone(std::span<const uint8_t>(data, std::size_t(bytes.size())), local8(phoneFile), chunk,
                                 [&progress](int32_t done, int32_t total) { return progress ? progress(done, total) : true; });
}

bool PhoneHandling::restart()
{
    phone::TMotoP2KModemItem* item = currentPhone();
    return item && item->RestartPhone();
}

} // namespace vexlon::gui
