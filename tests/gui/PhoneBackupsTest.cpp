// The phone backups window over a virtual phone: what Save to Phone keeps
// shows in it, and a backup goes back to the phone, into the editor and into
// a file; restoring is offered only for the attached phone's own backups.
#include "GuiSupport.h"

#include "core/app/PhoneBackups.h"
#include "gui/PhoneBackupsForm.h"
#include "gui/PhoneHandling.h"
#include "gui/SettingsDialog.h"
#include "phone/sim/VirtualBackend.h"

#include <QFileDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>

namespace vexlon::test {

namespace sim = phone::sim;

class PhoneBackupsWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        QFile file(path("samples/sample.iud"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        sample = file.readAll();
        storage->put(kDictionary, std::vector<uint8_t>(sample.begin(), sample.end()));
        gui::setPhoneBackendFactory([this] {
            auto backend = std::make_unique<sim::VirtualBackend>();
            backend_ = backend.get();
            backend->addPhone(sim::PhoneMode::P2K, storage);
            return backend;
        });
        start();
        state().phoneBackupFolder = path("backups");
        // The phone stays on the bus after a write.
        state().settings.ReloadPhone = false;
    }
    void TearDown() override { gui::setPhoneBackendFactory({}); }
    QByteArray onPhone() const
    {
        const auto bytes = storage->read(kDictionary).value_or(std::vector<uint8_t>());
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    static QByteArray fileBytes(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }

    static constexpr const char* kDictionary = "a/iTAP_User_Dictionary";
    std::shared_ptr<sim::MemoryStorage> storage = std::make_shared<sim::MemoryStorage>();
    sim::VirtualBackend* backend_ = nullptr;
    QByteArray sample;
};

// Save to Phone keeps the phone's dictionary; Alt+B opens the window, which
// lists it. Restore asks first (No by default, and No sends nothing), then
// writes the backup and keeps what it replaced; Save As writes the same
// bytes; Open in Editor asks about unsaved words (No keeps them) and then
// loads the backup under a title that says what it is.
TEST_F(PhoneBackupsWindow, SavedDictionaryIsKeptAndGoesBackToPhoneEditorAndFile)
{
    fill({row("alpha", "1"), row("beta", "2")}, true);
    key(Qt::Key_S, Qt::AltModifier);
    const QByteArray sent = onPhone();
    ASSERT_NE(sent, sample);
    answers.expect([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "PhoneBackupsForm");
        return int(QDialog::Rejected);
    });
    key(Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(answers.shown, QStringList{"PhoneBackupsForm"});

    gui::PhoneBackupsForm window(*form);
    ASSERT_EQ(window.backups().size(), 1);
    EXPECT_EQ(PhoneBackupRing::bytesOf(window.backups().at(0)), sample);
    EXPECT_EQ(window.Table->item(0, 0)->text(), window.phoneKey() + " (attached)");
    EXPECT_EQ(window.Table->item(0, 2)->text().toInt(), dictionaryWordCount(sample));
    EXPECT_TRUE(window.RestoreButton->isEnabled());

    answers.expect([&window](QDialog& d) {
        auto& box = dynamic_cast<QMessageBox&>(d);
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::No));
        EXPECT_TRUE(box.text().contains(describeBackup(window.backups().at(0))));
        return int(QMessageBox::No);
    });
    window.RestoreButton->click();
    EXPECT_EQ(onPhone(), sent);
    answers.expectBox(QMessageBox::Yes);
    window.RestoreButton->click();
    EXPECT_EQ(onPhone(), sample);
    ASSERT_EQ(window.backups().size(), 2);
    EXPECT_EQ(PhoneBackupRing::bytesOf(window.backups().at(0)), sent);
    ASSERT_NE(window.selectedBackup(), nullptr);
    EXPECT_EQ(window.selectedBackup()->path, window.backups().at(1).path); // still the restored one

    answers.expect([this](QDialog& d) {
        dynamic_cast<QFileDialog&>(d).selectFile(path("copy"));
        return int(QDialog::Accepted);
    });
    window.SaveAsButton->click();
    EXPECT_EQ(fileBytes(path("copy.iud")), sample);

    table().modified = true;
    answers.expectBox(QMessageBox::No);
    window.OpenButton->click();
    EXPECT_EQ(words(), "alpha,beta");
    answers.expectBox(QMessageBox::Yes);
    window.OpenButton->click();
    EXPECT_GT(table().count(), 10);
    EXPECT_FALSE(table().modified);
    EXPECT_TRUE(form->windowTitle().startsWith("Backup of phone " + window.phoneKey() + ", ")) << form->windowTitle().toStdString();
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

// Without backups the window says so; a backup of another phone cannot be
// restored and says why; without a phone nothing can be restored; Save As
// never writes into the backups' folder; a backup whose file changed is
// neither saved nor opened, and the user is told.
TEST_F(PhoneBackupsWindow, RestoreIsOfferedOnlyForTheAttachedPhoneAndChangedBackupsAreRefused)
{
    {
        gui::PhoneBackupsForm empty(*form);
        EXPECT_EQ(empty.findChild<QStackedWidget*>()->currentWidget(), empty.EmptyLabel);
        EXPECT_FALSE(empty.RestoreButton->isEnabled() || empty.OpenButton->isEnabled() || empty.SaveAsButton->isEnabled());
    }
    const QString root = phoneBackupRoot(state());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // "100..." sorts before the attached phone's key.
    PhoneBackupRing(root, "100000000000009", 10).keep(sample, now);
    PhoneBackupsOf(state(), *form->phoneLink()).keep(sample, now);
    gui::PhoneBackupsForm window(*form);
    ASSERT_EQ(window.backups().size(), 2);
    EXPECT_EQ(window.backups().at(0).phone, window.phoneKey());
    EXPECT_TRUE(window.RestoreButton->isEnabled());
    window.Table->selectRow(1);
    EXPECT_FALSE(window.RestoreButton->isEnabled());
    EXPECT_TRUE(window.RestoreButton->toolTip().contains("another phone (100000000000009)"));
    EXPECT_TRUE(window.OpenButton->isEnabled() && window.SaveAsButton->isEnabled());

    backend_->phone(0).unplug();
    window.Table->selectRow(1);
    QTRY_COMPARE(window.backups().at(0).phone, QString("100000000000009")); // the window saw the phone go
    EXPECT_EQ(window.phoneKey(), QString());
    EXPECT_FALSE(window.RestoreButton->isEnabled());
    EXPECT_TRUE(window.RestoreButton->toolTip().startsWith("No phone is ready"));

    // Nothing is written among the backups themselves.
    answers.expect([&root](QDialog& d) {
        dynamic_cast<QFileDialog&>(d).selectFile(root + "100000000000009/index.json");
        return int(QDialog::Accepted);
    });
    answers.expectBox(QMessageBox::Ok);
    window.SaveAsButton->click();
    EXPECT_TRUE(answers.shown.last().contains("The folder of the phone backups")) << answers.shown.last().toStdString();
    window.refresh();
    EXPECT_EQ(window.backups().size(), 2);

    const auto errorBox = [](QDialog& d) {
        EXPECT_EQ(d.objectName(), "ErrorBox");
        return int(QMessageBox::Ok);
    };
    QFile changed(window.backups().at(0).path);
    ASSERT_TRUE(changed.open(QIODevice::ReadWrite) && changed.seek(20) && changed.write("x") == 1);
    changed.close();
    answers.expect([this](QDialog& d) {
        dynamic_cast<QFileDialog&>(d).selectFile(path("copy.iud"));
        return int(QDialog::Accepted);
    });
    answers.expect(errorBox);
    window.SaveAsButton->click();
    EXPECT_FALSE(QFileInfo::exists(path("copy.iud")));
    fill({row("kept", "1")}, true);
    answers.expect(errorBox);
    window.OpenButton->click();
    EXPECT_EQ(words(), "kept");
    EXPECT_TRUE(answers.shown.last().contains("checksum")) << answers.shown.join('|').toStdString();
}

// The settings dialog shows how many backups each phone keeps and stores
// what the user chose, within 1..1000.
using PhoneBackupSetting = MainWindowTest;
TEST_F(PhoneBackupSetting, SettingsDialogKeepsTheCountInRange)
{
    TSettings settings = state().settings;
    settings.PhoneBackupCount = 3;
    gui::TSettingForm dialog(settings, state().languageList, state().langStructure, texts(), nullptr);
    EXPECT_EQ(dialog.PhoneBackupCountBox->value(), 3);
    dialog.PhoneBackupCountBox->setValue(5000);
    dialog.Button1->click();
    EXPECT_EQ(settings.PhoneBackupCount, kMaxPhoneBackupCount);
}

} // namespace vexlon::test
