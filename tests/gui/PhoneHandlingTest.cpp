// The main window with phones of the virtual backend attached, arriving and
// leaving.
#include "GuiSupport.h"

#include "gui/PhoneHandling.h"
#include "phone/sim/VirtualPhone.h"

#include <QLabel>
#include <QTest>
#include <filesystem>
#include <fstream>

namespace vexlon::test {

namespace sim = phone::sim;

class PhoneWindow : public testing::Test {
protected:
    void SetUp() override
    {
        writeSettings(dir, [](TSettings& s) { s.ReloadPhone = false; });
        gui::setPhoneBackendFactory([this] {
            auto backend = std::make_unique<sim::VirtualBackend>();
            backend_ = backend.get();
            for (const auto& [folder, mode] : phones)
                backend->addPhone(folder, mode);
            return backend;
        });
    }
    void TearDown() override { gui::setPhoneBackendFactory({}); }

    std::filesystem::path phoneFolder(const char* name, const QByteArray& dictionary)
    {
        const std::filesystem::path folder = (dir.dir() + QString::fromLatin1(name)).toStdString();
        std::filesystem::create_directories(folder / "a");
        std::ofstream(folder / "a" / "iTAP_User_Dictionary", std::ios::binary)
            .write(dictionary.constData(), dictionary.size());
        return folder;
    }
    QByteArray sampleDictionary()
    {
        QFile f(dir.path("samples/sample.iud"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    void start()
    {
        form = std::make_unique<gui::TMainForm>(QStringList{}, dir.dir());
        form->show();
        form->ListView1->setFocus();
    }
    const UiTexts& texts() { return form->editor().state.texts; }

    ProgramDir dir;
    ScriptedAnswerer answers;
    std::vector<std::pair<std::filesystem::path, sim::PhoneMode>> phones;
    sim::VirtualBackend* backend_ = nullptr;
    std::unique_ptr<gui::TMainForm> form;
};

TEST_F(PhoneWindow, AttachedPhoneIsReadyAndItsDictionaryOpensAndSaves)
{
    phones.push_back({phoneFolder("phone1", sampleDictionary()), sim::PhoneMode::P2K});
    start();
    EXPECT_EQ(form->Label4->text(), texts().MESSAGES(20) + QStringLiteral(" MOTORAZR V3"));
    EXPECT_EQ(form->Label4->palette().color(QPalette::WindowText), QColor(0, 128, 0));

    QTest::keyClick(form->ListView1, Qt::Key_O, Qt::AltModifier);
    EXPECT_GT(form->editor().table.count(), 10);
    EXPECT_FALSE(form->editor().table.modified);
    EXPECT_TRUE(answers.shown.isEmpty()) << answers.shown.join(QLatin1Char('\n')).toStdString();

    // Change a word and send the dictionary back.
    form->editor().table.setCell(0, ColWord, "changed");
    QTest::keyClick(form->ListView1, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(answers.shown.isEmpty()) << answers.shown.join(QLatin1Char('\n')).toStdString();
    std::ifstream in(phones.front().first / "a" / "iTAP_User_Dictionary", std::ios::binary);
    const std::string sent((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(sent.size(), 5100u);
    EXPECT_NE(sent.find("changed"), std::string::npos);
}

TEST_F(PhoneWindow, TwoPhonesAreReportedAndRemovalLeavesNoPhone)
{
    phones.push_back({phoneFolder("phone1", sampleDictionary()), sim::PhoneMode::P2K});
    phones.push_back({phoneFolder("phone2", sampleDictionary()), sim::PhoneMode::P2K});
    answers.expectBox(QMessageBox::Ok);
    start();
    ASSERT_EQ(answers.texts().size(), 1);
    EXPECT_EQ(answers.texts().first(), texts().MESSAGES(19));
    EXPECT_EQ(form->Label4->palette().color(QPalette::WindowText), QColor(0, 128, 0));

    backend_->phone(0).unplug();
    QTRY_COMPARE(form->Label4->text(), texts().MESSAGES(21));
    EXPECT_EQ(form->Label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // Without a ready phone Open from Phone does nothing to the table.
    form->editor().table.replaceAll({row("kept", "1")});
    QTest::keyClick(form->ListView1, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(words(form->editor().table), QByteArrayList{"kept"});
}

TEST_F(PhoneWindow, PhoneInAtModeIsSwitchedAndArrivesAsP2K)
{
    phones.push_back({phoneFolder("phone1", sampleDictionary()), sim::PhoneMode::AT});
    start();
    QTRY_COMPARE(form->Label4->text(), texts().MESSAGES(20) + QStringLiteral(" MOTORAZR V3"));
}

} // namespace vexlon::test
