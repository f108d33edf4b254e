// The main window's wiring: start-up, keys, buttons, menu items, clicks and
// dialogs reach their commands, and what a command decides reaches the user;
// the rules that live in the dialogs themselves: the settings dialog's field
// checks, and the per-user file association.
#include "GuiSupport.h"

#include "core/app/PhoneCommands.h"
#include "core/app/StartUp.h"
#include "core/base/LanguagePacks.h"
#include "core/dictionary/TableOps.h"
#include "core/lists/ListFiles.h"
#include "gui/CellDelegate.h"
#include "gui/FileAssociation.h"
#include "gui/SettingsDialog.h"
#include "gui/UsageGauge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>

namespace vexlon::test {

class MainWindow : public MainWindowTest {
protected:
    // The dialogs shown, the rows (starred when selected), the modified mark.
    QString outcome() { return answers.shown.join(',') + '|' + words(true) + '|' + QString::number(table().modified); }
};

// Each toolbar button and the key its hint names run the same command (every
// dialog cancelled, a question answered Yes); each popup item's key works.
TEST_F(MainWindow, ToolbarButtonsAndTheKeysTheirHintsNameRunTheSameCommand)
{
    answers.otherwise = [](QDialog& d) { return qobject_cast<QMessageBox*>(&d) ? int(QMessageBox::Yes) : int(QDialog::Rejected); };
    const std::tuple<QToolButton*, QKeyCombination, QString> cases[] = {
        // Cancelled or refused, nothing counts as saved or loaded.
        {form->ToolButton2, Qt::CTRL | Qt::Key_O, texts().MESSAGES(26) + ",OpenDialog1|bb 2,aa 1|1"},
        {form->ToolButton3, Qt::CTRL | Qt::Key_S, "SaveDialog1|aa 1,bb 2|1"},
        {form->ToolButton4, Qt::ALT | Qt::Key_O, texts().MESSAGES(26) + ',' + kPhoneNotReadyForReadText + "|bb 2,aa 1|1"},
        {form->ToolButton5, Qt::ALT | Qt::Key_S, texts().MESSAGES(27) + "|aa 1,bb 2|1"},
        {form->ToolButton6, QKeyCombination(Qt::Key_F5), "TSettingForm|bb 2,aa 1|1"},
        {form->ToolButton7, QKeyCombination(Qt::Key_F2), "TBLACKFORM|bb 2,aa 1|1"},
        {form->ToolButton8, QKeyCombination(Qt::Key_F3), "TWHITEFORM|bb 1,aa 2|1"},
        {form->ToolButton9, QKeyCombination(Qt::Key_F4), "TST|bb 2,aa 1|1"},
        {form->ToolButton10, QKeyCombination(Qt::Key_F8), "TAPF|bb 2,aa 1|1"}};
    for (const auto& [button, combination, expected] : cases) {
        EXPECT_EQ(button->toolTip(), QKeySequence(combination).toString());
        for (bool byKey : {true, false}) {
            fill({row("bb", "2"), row("aa", "1")}, true);
            answers.shown.clear();
            byKey ? key(combination.key(), combination.keyboardModifiers()) : button->click();
            EXPECT_EQ(outcome(), expected) << button->objectName().toStdString() << (byKey ? " key" : " button");
        }
    }
    EXPECT_EQ(QFileInfo(path("TempFile/PhULFile.iud")).size(), 5100); // built without a phone
    answers.shown.clear();
    key(Qt::Key_O, Qt::ControlModifier | Qt::AltModifier); // neither Ctrl+O nor Alt+O: still changed
    answers.expectBox(QMessageBox::No);
    form->ToolButton1->click(); // New asks before discarding changes
    EXPECT_EQ(outcome(), texts().MESSAGES(26) + "|bb 2,aa 1|1");
    answers.otherwise = [](QDialog&) { return int(QDialog::Rejected); };
    QStringList keys;
    for (QAction* item : form->PopupMenu1->actions() + form->Cleaning1->actions()) {
        if (item->shortcut().isEmpty() || item == form->Undo1 || item == form->Redo1)
            continue; // the Cleaning submenu, and undo (tested on its own)
        keys << item->shortcut().toString();
        QSignalSpy triggered(item, &QAction::triggered);
        key(item->shortcut()[0].key(), item->shortcut()[0].keyboardModifiers());
        EXPECT_EQ(triggered.count(), 1) << keys.last().toStdString();
    }
    EXPECT_EQ(keys.join(' '), "Ctrl+N Ctrl+D Ctrl+L Ctrl+Del Ctrl+U Ctrl+B Ctrl+W Ctrl+Alt+S Ctrl+Alt+N Ctrl+Alt+L Ctrl+Alt+E Ctrl+Alt+I "
                              "Ctrl+Alt+B Ctrl+Alt+A");
}

// Keys, header clicks and double clicks on fresh rows, the rows given selected,
// a question answered `reply`, the Find dialog "ap"; each status line click
// opens a gauge.
TEST_F(MainWindow, TableKeysAndClicksReachTheirCommandsAndShowTheirResults)
{
    const QVector<DictRow> fruit = {row("apple", "1"), row("Apricot", "2"), row("apex", "3")};
    const QVector<DictRow> mixed = {row("bee", "10"), row("ant", "9", "Locked"), row("cat12", "zz")};
    const auto press = [this](QKeyCombination k) { return [this, k] { key(k.key(), k.keyboardModifiers()); }; };
    const auto header = [this](int c) { return [this, c] { clickHeader(form->ListView1, c); }; };
    const std::tuple<const QVector<DictRow>&, QList<int>, std::function<void()>, QMessageBox::StandardButton, QString> steps[] = {
        {fruit, {}, press(QKeyCombination(Qt::Key_A)), {}, "|apple 1,Apricot 2*,apex 3|0"}, // a letter finds, never selects all
        {fruit, {}, press(Qt::CTRL | Qt::Key_A), {}, "|apple 1*,Apricot 2*,apex 3*|0"},
        {fruit, {}, press(QKeyCombination(Qt::Key_F7)), {}, "FindInTable|apple 1*,Apricot 2,apex 3*|0"},
        {fruit, {1}, press(Qt::CTRL | Qt::Key_Down), {}, "|apple 1,apex 2,Apricot 3*|1"},
        {mixed, {0}, header(ColWord), {}, "|ant 9,bee 10*,cat12 zz|0"},
        {mixed, {}, header(ColNumber), {}, "'zz' is not a valid integer value|bee 10,ant 9,cat12 zz|0"},
        {mixed, {0, 1}, press(Qt::CTRL | Qt::Key_Delete), {}, texts().MESSAGES(13) + "|ant 9*,cat12 zz|1"},
        {mixed, {}, press(QKeyCombination(Qt::Key_F6)), QMessageBox::No, texts().MESSAGES(18) + "|bee 10,ant 9,cat12 zz|0"},
        {mixed, {}, press(QKeyCombination(Qt::Key_F6)), QMessageBox::Yes, texts().MESSAGES(18) + "|bee 1,ant 2,cat12 3|1"},
        {mixed, {}, [&] { doubleClickWord(form->ListView1, 1); EXPECT_FALSE(form->ListView1->findChild<QLineEdit*>()); }, {},
         "|bee 10,ant 9*,cat12 zz|0"}}; // a locked word is not edited

    for (const auto& [rows, selected, act, reply, expected] : steps) {
        fill(rows);
        selectRows(form->ListView1, selected);
        answers.shown.clear();
        answers.otherwise = [reply = reply](QDialog& d) {
            if (auto* find = d.findChild<QLineEdit*>(QStringLiteral("Edit1")))
                find->setText(QStringLiteral("ap"));
            return qobject_cast<QMessageBox*>(&d) ? int(reply ? reply : QMessageBox::Ok) : int(QDialog::Accepted);
        };
        act();
        EXPECT_EQ(outcome(), expected);
    }
    QTest::mouseClick(form->Label3, Qt::LeftButton);
    QTest::mouseClick(form->Label3, Qt::LeftButton);
    const QList<gui::UsageGaugeWindow*> gauges = form->findChildren<gui::UsageGaugeWindow*>();
    ASSERT_EQ(gauges.size(), 2);
    EXPECT_EQ(gauges.first()->values().free, FreeBytes(state(), table()));
    QTest::keyClick(gauges.first(), Qt::Key_Escape); // closes that one only
    EXPECT_TRUE(QTest::qWaitFor([this] { return form->findChildren<gui::UsageGaugeWindow*>().size() == 1; }));
}

// F5's settings dialog: Cancel changes nothing, Apply takes the second pack at once; either writes the file.
TEST_F(MainWindow, SettingsDialogReappliesThePackAndWritesTheSettingsWhateverClosedIt)
{
    for (const auto& [button, changed] : {std::pair{"Button2", 0}, std::pair{"Button1", 1}}) {
        QFile::remove(path("Vexlon.ini"));
        answers.expect([button = button](QDialog& d) {
            d.findChild<QCheckBox*>(QStringLiteral("CheckBox4"))->setChecked(true);
            d.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
            d.findChild<QPushButton*>(button)->click();
            return d.result();
        });
        changed ? form->ToolButton6->click() : key(Qt::Key_F5);
        TSettings written;
        EXPECT_TRUE(LoadSettings(path("Vexlon.ini"), written) && written.WhiteListOn == changed && written.Language == changed);
    }
    EXPECT_EQ(form->ToolButton1->text(), texts().UI(0)); // the second pack's caption
}

// Qt's own texts (a question's buttons, the file dialog) follow the chosen
// pack: Russian after the Russian pack, English again after the English one.
TEST_F(MainWindow, QtTextsSpeakThePacksLanguage)
{
    const auto qtTexts = [this](int pack) {
        answers.expect([pack](QDialog& d) {
            d.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(pack);
            d.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
            return d.result();
        });
        key(Qt::Key_F5);
        QString seen;
        fill({row("aa", "1")}, true);
        answers.expect([&seen](QDialog& d) {
            const auto& box = static_cast<QMessageBox&>(d);
            seen = box.button(QMessageBox::Yes)->text() + ' ' + box.button(QMessageBox::No)->text();
            return int(QMessageBox::Yes);
        });
        answers.expect([&seen](QDialog& d) {
            const auto* label = d.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
            seen += '|' + (label ? label->text() : QStringLiteral("no file name label"));
            return int(QDialog::Rejected);
        });
        key(Qt::Key_O, Qt::ControlModifier);
        return seen;
    };
    EXPECT_EQ(qtTexts(1), QStringLiteral("&Да &Нет|&Имя файла:"));
    EXPECT_EQ(qtTexts(0), QStringLiteral("&Yes &No|File &name:"));
}

// Open and Save start in the folder last used for dictionaries, after a
// restart too; before any use, and when that folder is gone, in the user's
// documents (or home) folder.
TEST_F(MainWindow, FileDialogsStartInTheLastFolderUsed)
{
    QString started;
    const auto openDialogStart = [this, &started] {
        answers.expect([&started](QDialog& d) {
            started = static_cast<QFileDialog&>(d).directory().absolutePath();
            return int(QDialog::Rejected);
        });
        key(Qt::Key_O, Qt::ControlModifier);
        return started;
    };
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fallback = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    EXPECT_EQ(openDialogStart(), QDir(fallback).absolutePath());
    const QString folder = path("my dicts");
    QDir().mkpath(folder);
    answers.otherwise = [](QDialog&) { return int(QMessageBox::Ok); };
    answers.expect([&](QDialog& d) {
        started = static_cast<QFileDialog&>(d).directory().absolutePath();
        static_cast<QFileDialog&>(d).selectFile(folder + QStringLiteral("/saved.iud"));
        return int(QDialog::Accepted);
    });
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(started, QDir(fallback).absolutePath()); // Save before any use
    ASSERT_TRUE(QFileInfo::exists(folder + QStringLiteral("/saved.iud")));
    answers.otherwise = nullptr;

    ASSERT_TRUE(form->close());
    start(); // a new run over the same configuration
    EXPECT_EQ(openDialogStart(), QDir(folder).absolutePath());
    const QSettings onDisk(QSettings(QStringLiteral("Vexlon"), QStringLiteral("vexlon")).fileName(), QSettings::IniFormat);
    EXPECT_EQ(onDisk.value(QStringLiteral("Folders/Dictionary")).toString(), QDir(folder).absolutePath());
    QDir(folder).removeRecursively();
    EXPECT_EQ(openDialogStart(), QDir(fallback).absolutePath());
}

// On a wide window the short columns keep widths that fit them and the status
// takes the rest; the user's widths come back in the next run.
TEST_F(MainWindow, ColumnsFitTheirContentsAndKeepTheUsersWidths)
{
    form->resize(1600, 700);
    QHeaderView* header = form->ListView1->horizontalHeader();
    EXPECT_LT(header->sectionSize(ColLanguageId) * 10, header->width());
    EXPECT_LT(header->sectionSize(ColNumber) * 10, header->width());
    EXPECT_GT(header->sectionSize(ColStatus), header->sectionSize(ColWord));
    header->resizeSection(ColLanguageId, 150);
    ASSERT_TRUE(form->close());
    start();
    EXPECT_EQ(form->ListView1->horizontalHeader()->sectionSize(ColLanguageId), 150);
}

// A tab inside a word is shown as a sign and the word stays as it is; a text
// the cell cuts is shown whole in its tooltip, a text that fits has none.
TEST_F(MainWindow, CellsShowTabsAndCutTextsWhole)
{
    const QByteArray longStatus = "Users Dictionary; " + QByteArray(300, 'x');
    fill({row("a\tb", "1"), row("ab", "2", longStatus.constData())});
    const QAbstractItemModel* model = form->ListView1->model();
    const auto delegateOf = [this](const QModelIndex& index) {
        return qobject_cast<gui::CellDelegate*>(form->ListView1->itemDelegateForIndex(index));
    };
    const QModelIndex word = model->index(0, ColWord);
    ASSERT_TRUE(delegateOf(word));
    EXPECT_EQ(delegateOf(word)->displayText(word.data(), QLocale()), QStringLiteral("a\u2192b"));
    EXPECT_EQ(table().row(0).word, QStringLiteral("a\tb"));
    const QModelIndex status = model->index(1, ColStatus);
    const QModelIndex number = model->index(1, ColNumber);
    EXPECT_EQ(delegateOf(number)->cellToolTip(form->ListView1, number), QString());
    EXPECT_EQ(delegateOf(status)->cellToolTip(form->ListView1, status), QString::fromLatin1(longStatus));
}

class StartUp : public MainWindowTest {
protected:
    void SetUp() override {} // each test breaks its files, then launches
    QString header(int column) { return form->model()->headerData(column, Qt::Horizontal).toString(); }
};

// Each file that cannot be read is reported; without the language list the
// built-in captions stay.
TEST_F(StartUp, MissingFilesAreReportedAndTheWindowGoesOn)
{
    QFile::remove(path("Vexlon.ini"));
    QDir(path("Lists")).removeRecursively();
    QFile::remove(path("Languages/Languages.ini"));
    launch({kSettingsErrorMessage, kLanguageListErrorMessage, listReadErrorText(ListKind::Statistic),
            listReadErrorText(ListKind::White), listReadErrorText(ListKind::Black)});
    EXPECT_EQ(form->Label3->text() + form->ToolButton1->text() + '/' + header(2),
              dictionaryStatusLine(state(), table()).text + "New Dictionary/language ID");
}

// Nothing to report: the pack's captions and both status lines are shown;
// the path's pieces split at blanks are joined and the file opens once shown.
TEST_F(StartUp, CompleteDataStartsSilentlyAndOpensTheCommandLineFileOnceShown)
{
    QDir().mkpath(path("my dicts"));
    ASSERT_TRUE(QFile::copy(path("samples/sample.iud"), path("my dicts/my sample.iud")));
    launch({}, {path("my"), "dicts/my", "sample.iud"});
    EXPECT_EQ(QStringList({form->ToolButton1->text(), header(1), form->Add1->text(), form->Label1->text()}),
              QStringList({texts().UI(0), texts().UI(11), texts().UI(16), texts().UI(30)}));
    EXPECT_EQ(form->Label3->text() + '/' + form->Label4->text(), dictionaryStatusLine(state(), table()).text + '/' + texts().MESSAGES(21));
    EXPECT_EQ(table().count(), 0);
    form->show();
    QTRY_VERIFY(table().count() > 0 && form->model()->rowCount() == table().count());
}

using SettingsDialog = MainWindowTest;

// Only digits can be typed; leaving a field checks its range, and a refused
// value is reported and replaced. The standard size wins over a typed one.
TEST_F(SettingsDialog, DigitsOnlyRangeChecksAndTheStandardSize)
{
    TSettings settings = state().settings;
    settings.UsersDictionaryModified = 1;
    gui::TSettingForm form(settings, state().languageList, state().langStructure, texts(), nullptr);
    answers.otherwise = [](QDialog&) { return int(QMessageBox::Ok); };
    form.Edit1->setText(QStringLiteral("5a1"));
    EXPECT_EQ(form.Edit1->text() + '|' + answers.shown.join(','), "51|" + texts().MESSAGES(5));
    // The length is refused with the field's own caption and its range.
    const QStringList size{texts().MESSAGES(4)}, length{QStringLiteral("Delete words which length less then: 2\u2013255")}, none;
    const struct {
        QLineEdit* edit;
        const char *typed, *after;
        QStringList shown;
    } cases[] = {{form.Edit1, "26", "5100", size}, {form.Edit1, "65536", "5100", size},
                 {form.Edit1, "27", "27", none},   {form.Edit1, "65535", "65535", none},
                 {form.Edit2, "", "2", length},    {form.Edit2, "1", "2", length},
                 {form.Edit2, "256", "2", length}, {form.Edit2, "7", "7", none},
                 {form.Edit2, "7x", "7", {texts().MESSAGES(5)}}};
    for (const auto& c : cases) {
        answers.shown.clear();
        c.edit->setText(QString::fromLatin1(c.typed));
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(c.edit, &out);
        EXPECT_TRUE(c.edit->text() == QString::fromLatin1(c.after) && answers.shown == c.shown) << c.typed;
    }
    // The focus that a message takes is no leaving of the field: one message,
    // and what is left stays for the user to finish.
    answers.shown.clear();
    answers.otherwise = [&form](QDialog&) {
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(form.Edit2, &out);
        return int(QMessageBox::Ok);
    };
    form.Edit2->setText(QStringLiteral("x"));
    EXPECT_EQ(form.Edit2->text() + '|' + answers.shown.join(','), '|' + texts().MESSAGES(5));
    form.Edit2->setText(QStringLiteral("7"));
    form.Button1->click();
    EXPECT_TRUE(settings.UsersDictionarySize == 65535 && settings.MinWordLength == 7);

    gui::TSettingForm standard(settings, state().languageList, state().langStructure, texts(), nullptr);
    standard.RadioButton1->click();
    EXPECT_FALSE(standard.Edit1->isEnabled());
    standard.Button1->click();
    EXPECT_TRUE(settings.UsersDictionaryModified == 0 && settings.UsersDictionarySize == 5100);

    // In the Russian pack's words.
    ASSERT_TRUE(LoadLanguagePack(state().languageList, 1, state().texts));
    gui::TSettingForm russian(settings, state().languageList, state().langStructure, texts(), nullptr);
    answers.shown.clear();
    russian.Edit2->setText(QStringLiteral("1"));
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(russian.Edit2, &out);
    EXPECT_EQ(answers.shown, QStringList{QStringLiteral("Удалять слова короче чем: 2\u2013255")});
}

TEST(FileAssociation, WritesMimePackageAndDesktopEntryPerUser)
{
    QTemporaryDir home;
    const QString data = home.path() + QStringLiteral("/share");
    ASSERT_TRUE(gui::RegisterFileAssociation(QStringLiteral("/opt/vexlon/bin/vexlon"), data, false));
    QFile mime(data + QStringLiteral("/mime/packages/vexlon.xml"));
    EXPECT_TRUE(mime.open(QIODevice::ReadOnly) && mime.readAll().contains("<glob pattern=\"*.iud\"/>"));
    QFile desktop(data + QStringLiteral("/applications/vexlon.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QByteArray entry = desktop.readAll();
    EXPECT_TRUE(entry.contains("\nExec=/opt/vexlon/bin/vexlon %f\n"));
    EXPECT_TRUE(entry.contains(QByteArray("MimeType=") + gui::kDictionaryMimeType + ";"));
    // A path with blanks or quotes is quoted as the desktop entry format wants.
    EXPECT_EQ(gui::desktopExecLine(QStringLiteral("/my apps/vexlon")), QStringLiteral("\"/my apps/vexlon\" %f"));
    EXPECT_EQ(gui::desktopExecLine(QStringLiteral("/a$b/vexlon")), QStringLiteral("\"/a\\\\$b/vexlon\" %f"));
    // A folder that cannot be written is a failure, not a crash.
    EXPECT_FALSE(gui::RegisterFileAssociation(QStringLiteral("/x"), QStringLiteral("/proc/no-such"), false));
}

} // namespace vexlon::test
