// The main window with phones of the virtual backend attached, arriving,
// restarting and leaving, driven with the keys and clicks a user has.
#include "GuiSupport.h"

#include "gui/PhoneHandling.h"
#include "phone/P2KBlocks.h"
#include "phone/sim/VirtualPhone.h"

#include <QPlainTextEdit>

namespace vexlon::test {

namespace sim = phone::sim;

class PhoneWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        QFile f(dir.path("samples/sample.iud"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        sample = f.readAll();
        gui::setPhoneBackendFactory([this] {
            auto backend = std::make_unique<sim::VirtualBackend>();
            backend_ = backend.get();
            for (const auto& [folder, mode] : phones)
                backend->addPhone(folder.toStdString(), mode);
            return backend;
        });
    }
    void TearDown() override { gui::setPhoneBackendFactory({}); }

    // A phone whose folder holds the sample dictionary.
    void attach(const char* name, sim::PhoneMode mode = sim::PhoneMode::P2K)
    {
        const QString folder = dir.dir() + QString::fromLatin1(name);
        QDir().mkpath(folder + QStringLiteral("/a"));
        writeFile(folder + QStringLiteral("/a/iTAP_User_Dictionary"), sample);
        phones.push_back({folder, mode});
    }
    QByteArray onPhone(int i = 0)
    {
        QFile f(phones.at(i).first + QStringLiteral("/a/iTAP_User_Dictionary"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    QString ready() { return texts().MESSAGES(20) + QStringLiteral(" MOTORAZR V3"); }
    QColor statusColour() { return form->Label4->palette().color(QPalette::WindowText); }

    QByteArray sample;
    std::vector<std::pair<QString, sim::PhoneMode>> phones;
    sim::VirtualBackend* backend_ = nullptr;
};

TEST_F(PhoneWindow, AttachedPhoneOpensSavesRestartsAndReportsAFailedUpload)
{
    attach("phone1");
    start([](TSettings& s) { s.ReloadPhone = true; });
    EXPECT_EQ(form->Label4->text(), ready());
    EXPECT_EQ(statusColour(), QColor(0, 128, 0));

    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_GT(table().count(), 10);
    EXPECT_FALSE(table().modified);

    // Changed and sent back: the phone restarts and is ready again.
    table().setCell(0, ColWord, "changed");
    table().modified = true;
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(answers.shown.isEmpty()) << answers.shown.join(QLatin1Char('\n')).toStdString();
    const QByteArray sent = onPhone();
    EXPECT_EQ(sent.size(), 5100);
    EXPECT_TRUE(sent.contains("changed"));
    EXPECT_FALSE(table().modified);
    EXPECT_TRUE(std::any_of(state().statisticList.Items.cbegin(), state().statisticList.Items.cend(),
                            [](const auto& i) { return i.Word == "changed"; })); // the statistic learns the words sent
    EXPECT_EQ(backend_->phone(0).restarts(), 1);
    // Back on the bus, the phone answers again: a click on its status line
    // shows what it says of itself.
    QCoreApplication::processEvents();
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("PhoneInformation"));
        EXPECT_EQ(d.findChild<QPlainTextEdit*>()->toPlainText(),
                  QStringLiteral("Phone Model-> MOTORAZR V3\nPhone IMEI: 35000012345678\nPhone Flex: R374_G_0E.30.49R\n"
                                 "iTAP Users Dictionary file size-> 5100 bytes"));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(form->Label4, Qt::LeftButton);
    EXPECT_EQ(answers.shown.size(), 1) << answers.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path("TempFile/trash.iud")));

    // An upload the phone refuses part-way is reported as a failure; the
    // phone is not restarted on a half-written dictionary, and the table
    // still counts as unsaved.
    table().modified = true;
    backend_->phone(0).injectFault(
        sim::Fault(sim::FaultKind::ErrorStatus).forCommand(phone::p2k::kCmdFileSystem, phone::p2k::kFsWrite).after(2));
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(answers.texts().value(1), QString::fromLatin1(kPhoneWriteFailedText));
    EXPECT_EQ(backend_->phone(0).restarts(), 1);
    EXPECT_TRUE(table().modified);

    // A read that breaks off changes nothing and says so.
    const QByteArrayList before = words(table());
    backend_->phone(0).injectFault(
        sim::Fault(sim::FaultKind::DropAtFetch).forCommand(phone::p2k::kCmdFileSystem, phone::p2k::kFsRead).after(1));
    answers.expectBox(QMessageBox::Ok);
    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(answers.texts().value(2), QString::fromLatin1(kPhoneReadFailedText));
    EXPECT_EQ(words(table()), before);
    EXPECT_TRUE(table().modified);
}

TEST_F(PhoneWindow, ProblemsAndOverfullTablesAreNeverSent)
{
    attach("phone1");
    start([](TSettings& s) { s.ReloadPhone = false; });
    fill({row("a", "1"), row("hello", "2")});
    answers.expectBox(QMessageBox::No);
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(answers.texts(), QStringList{texts().MESSAGES(16)});

    // More words than the phone's file holds: refused like Save Dictionary.
    state().settings.UsersDictionarySize = 40;
    fill({row("hello", "1"), row("world", "2"), row("again", "3")});
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(answers.shown.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(dir.path("TempFile/PhULFile.iud")));
    EXPECT_EQ(onPhone(), sample);
}

TEST_F(PhoneWindow, TwoPhonesAreReportedAndRemovalLeavesNoPhone)
{
    attach("phone1");
    attach("phone2");
    answers.expectBox(QMessageBox::Ok);
    start();
    EXPECT_EQ(answers.texts(), QStringList{texts().MESSAGES(19)});
    EXPECT_EQ(statusColour(), QColor(0, 128, 0));

    backend_->phone(0).unplug();
    QTRY_COMPARE(form->Label4->text(), texts().MESSAGES(21));
    EXPECT_EQ(statusColour(), QColor(255, 0, 0));
    // Without a ready phone Open from Phone and the information do nothing.
    fill({row("kept", "1")});
    key(Qt::Key_O, Qt::AltModifier);
    QTest::mouseClick(form->Label4, Qt::LeftButton);
    EXPECT_EQ(words(table()), QByteArrayList{"kept"});
    EXPECT_EQ(answers.shown.size(), 1);
}

TEST_F(PhoneWindow, PhoneInAtModeIsSwitchedAndArrivesAsP2K)
{
    attach("phone1", sim::PhoneMode::AT);
    start();
    QTRY_COMPARE(form->Label4->text(), ready());
}

} // namespace vexlon::test
