// The main window with phones of the virtual backend arriving, restarting
// and leaving: the phone status line follows them, Alt+O, Alt+S and a click
// on the status line reach the phone, and a failure is shown. What the
// phone commands decide is pinned by the core's and the command line's
// phone tests.
#include "GuiSupport.h"

#include "gui/PhoneHandling.h"
#include "phone/P2KBlocks.h"
#include "phone/sim/VirtualBackend.h"

#include <QPlainTextEdit>

namespace vexlon::test {

namespace sim = phone::sim;

class PhoneWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        gui::setPhoneBackendFactory([this] {
            auto backend = std::make_unique<sim::VirtualBackend>();
            backend_ = backend.get();
            for (const auto& [storage, mode] : phones)
                backend->addPhone(mode, storage);
            return backend;
        });
    }
    void TearDown() override { gui::setPhoneBackendFactory({}); }

    // A phone that holds the sample dictionary.
    void attach(sim::PhoneMode mode = sim::PhoneMode::P2K)
    {
        QFile sample(dir.path("samples/sample.iud"));
        ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
        const QByteArray bytes = sample.readAll();
        auto storage = std::make_shared<sim::MemoryStorage>();
        storage->put(kDictionary, std::vector<uint8_t>(bytes.begin(), bytes.end()));
        phones.push_back({storage, mode});
    }
    QByteArray onPhone()
    {
        const auto bytes = phones.at(0).first->read(kDictionary).value_or(std::vector<uint8_t>());
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    }

    static constexpr const char* kDictionary = "a/iTAP_User_Dictionary";
    QString ready() { return texts().MESSAGES(20) + QStringLiteral(" MOTORAZR V3"); }
    QColor statusColour() { return form->Label4->palette().color(QPalette::WindowText); }

    std::vector<std::pair<std::shared_ptr<sim::MemoryStorage>, sim::PhoneMode>> phones;
    sim::VirtualBackend* backend_ = nullptr;
};

TEST_F(PhoneWindow, AttachedPhoneOpensSavesRestartsAndReportsAFailedUpload)
{
    attach();
    start([](TSettings& s) { s.ReloadPhone = true; });
    EXPECT_EQ(form->Label4->text(), ready());
    EXPECT_EQ(statusColour(), QColor(0, 128, 0));

    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_GT(table().count(), 10);
    table().setCell(0, ColWord, "changed");
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(answers.shown.isEmpty()) << answers.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(onPhone().contains("changed"));
    EXPECT_EQ(backend_->phone(0).restarts(), 1);

    // Back on the bus, the phone tells about itself on a status line click.
    QCoreApplication::processEvents();
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("PhoneInformation"));
        EXPECT_EQ(d.findChild<QPlainTextEdit*>()->toPlainText(),
                  QStringLiteral("Phone Model-> MOTORAZR V3\nPhone IMEI: 35000012345678\nPhone Flex: R374_G_0E.30.49R\n"
                                 "iTAP Users Dictionary file size-> 5100 bytes"));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(form->Label4, Qt::LeftButton);
    EXPECT_EQ(answers.shown, QStringList{QStringLiteral("PhoneInformation")});

    // An upload the phone refuses part-way is reported.
    backend_->phone(0).injectFault(
        sim::Fault(sim::FaultKind::ErrorStatus).forCommand(phone::p2k::kCmdFileSystem, phone::p2k::kFsWrite).after(2));
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(answers.shown.value(1), QString::fromLatin1(kPhoneWriteFailedText));
}

// Two phones are reported; when the phone leaves, the status line says so
// and Open from Phone and the information do nothing.
TEST_F(PhoneWindow, TwoPhonesAreReportedAndRemovalLeavesNoPhone)
{
    attach();
    attach();
    answers.expectBox(QMessageBox::Ok);
    start();
    EXPECT_EQ(answers.shown, QStringList{texts().MESSAGES(19)});
    EXPECT_EQ(statusColour(), QColor(0, 128, 0));

    backend_->phone(0).unplug();
    QTRY_COMPARE(form->Label4->text(), texts().MESSAGES(21));
    EXPECT_EQ(statusColour(), QColor(255, 0, 0));
    fill({row("kept", "1")});
    key(Qt::Key_O, Qt::AltModifier);
    QTest::mouseClick(form->Label4, Qt::LeftButton);
    EXPECT_EQ(words(table()), QByteArrayList{"kept"});
    EXPECT_EQ(answers.shown.size(), 1);
}

TEST_F(PhoneWindow, PhoneInAtModeIsSwitchedAndArrivesAsP2K)
{
    attach(sim::PhoneMode::AT);
    start();
    QTRY_COMPARE(form->Label4->text(), ready());
}

} // namespace vexlon::test
