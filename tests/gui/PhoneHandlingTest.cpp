// Phones of the virtual backend arriving, restarting and leaving: the status
// line follows them, Alt+O, Alt+S and its click reach the phone.
#include "GuiSupport.h"

#include "gui/PhoneHandling.h"
#include "phone/P2KBlocks.h"
#include "phone/sim/VirtualBackend.h"

#include <QPlainTextEdit>

namespace vexlon::test {

namespace sim = phone::sim;

// Each test attaches its phones, holding the sample, then starts the window.
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
    void attach(sim::PhoneMode mode = sim::PhoneMode::P2K)
    {
        QFile sample(path("samples/sample.iud"));
        ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
        const QByteArray bytes = sample.readAll();
        phones.push_back({std::make_shared<sim::MemoryStorage>(), mode});
        phones.back().first->put(kDictionary, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    QString status() { return form->Label4->text() + form->Label4->palette().color(QPalette::WindowText).name(); }

    static constexpr const char* kDictionary = "a/iTAP_User_Dictionary";
    std::vector<std::pair<std::shared_ptr<sim::MemoryStorage>, sim::PhoneMode>> phones;
    sim::VirtualBackend* backend_ = nullptr;
};

// Alt+O reads the phone, Alt+S writes it and restarts it, a click on the
// status line shows what the phone tells about itself; an upload the phone
// refuses part-way is reported and the table keeps its changed mark.
TEST_F(PhoneWindow, AttachedPhoneOpensSavesRestartsAndReportsAFailedUpload)
{
    attach();
    start();
    state().settings.ReloadPhone = true;
    EXPECT_EQ(status(), texts().MESSAGES(20) + " MOTORAZR V3#008000");
    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_GT(table().count(), 10);
    table().setCell(0, ColWord, "changed");
    key(Qt::Key_S, Qt::AltModifier);
    const auto sent = phones.at(0).first->read(kDictionary).value_or(std::vector<uint8_t>());
    EXPECT_NE(std::string(sent.begin(), sent.end()).find("changed"), std::string::npos);
    EXPECT_EQ(backend_->phone(0).restarts(), 1);

    QCoreApplication::processEvents(); // back on the bus after the restart
    answers.expect([](QDialog& d) {
        EXPECT_TRUE(d.findChild<QPlainTextEdit*>()->toPlainText().startsWith("Phone Model-> MOTORAZR V3\n"));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(form->Label4, Qt::LeftButton);
    EXPECT_EQ(answers.shown, QStringList{"PhoneInformation"});

    backend_->phone(0).injectFault(
        sim::Fault(sim::FaultKind::ErrorStatus).forCommand(phone::p2k::kCmdFileSystem, phone::p2k::kFsWrite).after(2));
    table().modified = true;
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(answers.shown.value(1), kPhoneWriteFailedText);
    EXPECT_TRUE(table().modified);
}

// Two phones are reported; once one leaves, the status line says so, and Alt+O and its click do nothing.
TEST_F(PhoneWindow, TwoPhonesAreReportedAndRemovalLeavesNoPhone)
{
    attach();
    attach();
    answers.expectBox(QMessageBox::Ok);
    start();
    EXPECT_EQ(answers.shown, QStringList{texts().MESSAGES(19)});
    backend_->phone(0).unplug();
    QTRY_COMPARE(status(), texts().MESSAGES(21) + "#ff0000");
    fill({row("kept", "1")});
    key(Qt::Key_O, Qt::AltModifier);
    QTest::mouseClick(form->Label4, Qt::LeftButton);
    EXPECT_EQ(words() + QString::number(answers.shown.size()), "kept1");
}

} // namespace vexlon::test
