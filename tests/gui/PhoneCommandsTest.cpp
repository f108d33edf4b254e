// The phone's status line for no phone, a phone not yet opened and a ready
// phone (the virtual phone in PhoneHandlingTest drives the transfers).
#include "GuiSupport.h"

#include "gui/PhoneCommands.h"

namespace vexlon::test {

namespace {

class FakePhone : public gui::PhoneLink {
public:
    bool opened = false;
    bool hasCurrentPhone() override { return true; }
    bool isOpen() override { return opened; }
    bool open() override { return opened = true; }
    QString model() override { return QStringLiteral("V3x"); }
    QString imei() override { return {}; }
    QString flexVersion() override { return {}; }
    bool download(const QString&, QByteArray&, int, const gui::TransferProgress&) override { return false; }
    bool upload(const QByteArray&, const QString&, int, const gui::TransferProgress&) override { return false; }
    bool restart() override { return false; }
};

} // namespace

TEST(PhoneStatus, NoPhoneFoundPhoneAndReadyPhone)
{
    ProgramDir dir;
    writeSettings(dir);
    ScriptedAnswerer answers;
    gui::TMainForm form({}, dir.dir());
    const ProgramState& state = form.editor().state;
    FakePhone phone;
    EXPECT_EQ(gui::phoneStatus(state, nullptr).text, state.texts.MESSAGES(21));
    gui::PhoneStatus s = gui::phoneStatus(state, &phone);
    EXPECT_EQ(s.text, state.texts.MESSAGES(20));
    EXPECT_FALSE(s.green || s.ready);
    phone.opened = true;
    s = gui::phoneStatus(state, &phone);
    EXPECT_EQ(s.text, state.texts.MESSAGES(20) + QStringLiteral(" V3x"));
    EXPECT_TRUE(s.green && s.ready);
}

} // namespace vexlon::test
