// The main window over the Linux device access on a USB bus emulated by
// umockdev: the status line follows the phone's arrival, restart and
// removal as their uevents come in, Open from Phone and Save to Phone move
// the dictionary through libusb, and a phone attached in AT mode is switched
// over its modem tty.
#include "EmulatedBus.h"

#include "gui/GuiSupport.h"
#include "gui/PhoneHandling.h"

namespace vexlon::test {

namespace {

class WindowOnBus : public MainWindowTest {
protected:
    void SetUp() override
    {
        if (const std::string why = EmulatedBus::unavailableReason(); !why.empty())
            GTEST_SKIP() << why;
        gui::setPhoneBackendFactory({}); // the window makes the Linux backend
        bus = std::make_unique<EmulatedBus>();
        QFile sample(path("samples/sample.iud"));
        ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
        const QByteArray bytes = sample.readAll();
        storage->put(kDictionary, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    void TearDown() override
    {
        form.reset();
        if (bus) {
            EXPECT_TRUE(bus->unknownIoctls().empty());
        }
        bus.reset();
    }
    QString status() { return form->Label4->text() + form->Label4->palette().color(QPalette::WindowText).name(); }
    QString ready() { return texts().MESSAGES(20) + " MOTORAZR V3#008000"; }
    QString none() { return texts().MESSAGES(21) + "#ff0000"; }
    // Lets the bus and the window's event loop run until `done` (a bounded
    // wait).
    template <class F>
    void runUntil(F done)
    {
        for (int i = 0; i < 200 && !done(); ++i) {
            bus->pump();
            QTest::qWait(50);
        }
    }
    // ... until the status line says `expected`, and returns what it says.
    QString statusOnceItIs(const QString& expected)
    {
        runUntil([&] { return status() == expected; });
        return status();
    }
    std::size_t commandsSeen()
    {
        return bus->withPhone([](phone::sim::VirtualPhone& p) { return p.commands().size(); });
    }
    std::vector<uint8_t> onPhone()
    {
        return bus->withPhone([](phone::sim::VirtualPhone& p) { return p.storage().read(kDictionary).value_or(std::vector<uint8_t>{}); });
    }

    static constexpr const char* kDictionary = "a/iTAP_User_Dictionary";
    std::unique_ptr<EmulatedBus> bus;
    std::shared_ptr<phone::sim::MemoryStorage> storage = std::make_shared<phone::sim::MemoryStorage>();
};

// Nothing attached, then the phone arrives: ready. Alt+O reads its
// dictionary, Alt+S writes the changed table and restarts it; the phone
// leaves and comes back under a new node and is ready again; unplugged, the
// status line says there is no phone.
TEST_F(WindowOnBus, PhoneArrivesIsReadWrittenRestartedAndLeaves)
{
    start();
    EXPECT_EQ(status(), none());
    bus->plugInPhone(phone::sim::PhoneMode::P2K, storage);
    EXPECT_EQ(statusOnceItIs(ready()), ready());

    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_GT(table().count(), 10);
    EXPECT_FALSE(table().modified);
    table().setCell(0, ColWord, "changed");
    state().settings.ReloadPhone = true;
    const std::string node = bus->p2kNode();
    key(Qt::Key_S, Qt::AltModifier);
    const auto sent = onPhone();
    EXPECT_NE(std::string(sent.begin(), sent.end()).find("changed"), std::string::npos);
    EXPECT_EQ(bus->withPhone([](phone::sim::VirtualPhone& p) { return p.restarts(); }), 1);

    // The restarted phone leaves and comes back; the window opens it anew
    // and asks for its model.
    const std::size_t sentBefore = commandsSeen();
    runUntil([&] { return commandsSeen() > sentBefore; });
    EXPECT_NE(bus->p2kNode(), node);
    EXPECT_EQ(statusOnceItIs(ready()), ready());
    fill({row("kept", "1")});
    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(table().row(0).word, "changed");

    bus->unplugPhone();
    EXPECT_EQ(statusOnceItIs(none()), none());
    fill({row("kept", "1")});
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(answers.shown, QStringList{kPhoneNotReadyForReadText});
    EXPECT_EQ(words(), "kept");
}

// A phone attached in AT mode when the window starts is switched through its
// modem tty and becomes the ready phone in P2K mode.
TEST_F(WindowOnBus, PhoneInATModeIsSwitchedAndBecomesReady)
{
    bus->plugInPhone(phone::sim::PhoneMode::AT, storage);
    start();
    EXPECT_EQ(statusOnceItIs(ready()), ready());
    const auto writes = bus->withPhone([](phone::sim::VirtualPhone& p) { return p.atWrites(); });
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(std::string(writes[0].begin(), writes[0].end()), "AT+Mode=8\r\n");
    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_GT(table().count(), 10);
}

} // namespace

} // namespace vexlon::test
