// Every writer on a disk that fills up part-way: the old file stays byte for
// byte, no temporary file is left, and the failure is raised.
#include "core/app/StartUp.h"
#include "core/base/Errors.h"
#include "core/base/Settings.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/ItudFile.h"
#include "core/lists/ListFiles.h"
#include "support/CoreFixture.h"

#include <QDir>
#include <functional>

using namespace vexlon;
using namespace vexlon::test;

namespace {

class FailedWrites : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        state.settings.iTAPModification = 1;
        write(QStringLiteral("phConfig.cfg"), QByteArray("\x01\x02\x03", 3));
        for (int i = 0; i < 700; ++i)
            add("word" + QByteArray::number(i), i % 2 ? "01" : "02");
        state.settings.UsersDictionarySize = 0xFFFF;
    }
    QStringList filesIn(const QString& folder) const
    {
        return QDir(file(folder)).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

struct Writer {
    const char* name;
    QString target; // relative to the program directory
    std::function<void()> write;
};

} // namespace

TEST_F(FailedWrites, EveryWriterKeepsTheOldFileWhenTheDiskFills)
{
    state.whiteList.Count = 0;
    TSTATLST statistic;
    TLST white;
    for (int i = 0; i < 2000; ++i) {
        statistic.Items.append({"statword" + QByteArray::number(i), i, 1, "English"});
        if (i < 500)
            white.Items.append({"whiteword" + QByteArray::number(i), i, 2, "Russian"});
    }
    statistic.Count = int(statistic.Items.size());
    white.Count = int(white.Items.size());
    write(QStringLiteral("in.iud"), QByteArray(5100, '\0'));

    const Writer writers[] = {
        {"dictionary file", QStringLiteral("out.iud"), [&] { WriteDictionaryFile(state, table, file("out.iud")); }},
        {"CSV file", QStringLiteral("out.csv"), [&] { WriteCsvFile(state, table, file("out.csv")); }},
        {"white list", QString::fromLatin1(kWhiteListFile), [&] { WriteListFile(white, file(kWhiteListFile)); }},
        {"statistic list", QString::fromLatin1(kStatisticFile),
         [&] { WriteListFile(statistic, file(kStatisticFile)); }},
        {"settings", QStringLiteral("Vexlon.ini"), [&] { SaveSettings(state.settings, file("Vexlon.ini")); }},
        {"trailer file", QString::fromLatin1(kTrailerFile),
         [&] {
             state.settings.UsersDictionarySize = 5100;
             ReadDictionaryFile(state, table, file("in.iud"));
         }},
    };
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.name);
        // With room the writer works; its size gives the failure points.
        w.write();
        const auto size = rlim_t(read(w.target).size());
        ASSERT_GT(size, 2u);
        // An old file of each size class: smaller and larger than a write
        // buffer, so that neither a buffered nor a direct write can hide.
        for (const int oldSize : {3, 20000}) {
            const QByteArray old = w.target == QLatin1String(kTrailerFile) ? QByteArray("\x01\x02\x03", 3)
                                                                           : QByteArray(oldSize, 'o');
            write(w.target, old);
            const QStringList before = filesIn(QFileInfo(w.target).path());
            for (const rlim_t limit : {rlim_t(0), rlim_t(1), size / 2, size - 1}) {
                SCOPED_TRACE(limit);
                {
                    FileSizeLimit full(limit);
                    EXPECT_THROW(w.write(), FileError);
                }
                EXPECT_EQ(read(w.target), old);
                EXPECT_EQ(filesIn(QFileInfo(w.target).path()), before);
            }
        }
    }
}

TEST_F(FailedWrites, ABackupOrSettingsFileThatCannotBeWrittenIsToldAndWorkGoesOn)
{
    state.settings.BackupCopy = true;
    state.settings.UsersDictionarySize = 5100;
    QByteArray dictionary(5100, '\0'); // no records
    dictionary[5099] = '\x09';
    write(QStringLiteral("in.iud"), dictionary);
    {
        // Room for the three trailer bytes, not for the backup.
        FileSizeLimit full(3);
        EXPECT_TRUE(ReadDictionaryFile(state, table, file("in.iud")));
    }
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("No backup copy was made.")));
    EXPECT_FALSE(QFileInfo::exists(file(kBackupFile)));
    EXPECT_EQ(filesIn(QStringLiteral("TempFile")), QStringList());
    EXPECT_EQ(read(QString::fromLatin1(kTrailerFile)), QByteArray("\0\0\x09", 3));
    // With room the backup is made as before.
    EXPECT_TRUE(ReadDictionaryFile(state, table, file("in.iud")));
    EXPECT_EQ(read(QString::fromLatin1(kBackupFile)), dictionary);

    // A settings file that cannot be written does not stop the start-up,
    // which still loads the pack of the language list.
    write(QStringLiteral("iTAP_Lang_structure.dat"), testLangStructure());
    QDir(dir.path()).mkpath(QStringLiteral("Languages"));
    write(QStringLiteral("Languages/Languages.ini"), "Vexlon LANGUAGELIST FILE\r\nx\r\nVEXLON2011TST\r\n1\r\nEnglish\r\nen.lng\r\n");
    write(QStringLiteral("Languages/en.lng"), "h1\r\nh2\r\nh3\r\nh4\r\nh5\r\n1\r\nNew\r\n");
    write(QString::fromLatin1(kWhiteListFile),
          "Vexlon list file\r\nList Type;Black/White list\r\nLastUpdate;x\r\nWord Amount;1\r\nkeep;1;01;English\r\n");
    Editor editor, again;
    for (Editor* e : {&editor, &again}) {
        e->state.programDirectory = state.programDirectory;
        e->state.dialogs = &dialogs;
    }
    QStringList errors;
    StartUpHooks hooks;
    hooks.showError = [&errors](const QString& text) { errors << text; };
    int associations = 0;
    hooks.registerFileAssociation = [&associations] { ++associations; };
    StartUpResult result;
    {
        FileSizeLimit full(0);
        result = RunStartUp(editor, UiTexts(), hooks);
    }
    EXPECT_TRUE(result.completed);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().startsWith(QStringLiteral("Cannot write file"))) << errors.first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(file(QString::fromLatin1(kSettingsFileName))));
    EXPECT_EQ(editor.state.texts.ui, QStringList {"New"});
    EXPECT_EQ(associations, 0); // not asked for by the settings
    // The lists were still read, so nothing later writes an empty list over them.
    EXPECT_EQ(entries(editor.state.whiteList), (QList<QByteArray> {"1", "keep/1/1"}));

    // With room the defaults are written; without a language structure the
    // program is to end, once the other steps have run.
    QFile::remove(file(QStringLiteral("iTAP_Lang_structure.dat")));
    dialogs.messages.clear();
    result = RunStartUp(again, UiTexts(), hooks);
    EXPECT_TRUE(result.terminate && result.completed);
    EXPECT_EQ(dialogs.messages.mid(0, 2), (QStringList {QString::fromLatin1(kCriticalStructureMessage), QString::fromLatin1(kSettingsErrorMessage)}));
    TSettings written;
    ASSERT_TRUE(LoadSettings(file(QString::fromLatin1(kSettingsFileName)), written));
    EXPECT_EQ(written.UsersDictionarySize, again.state.settings.UsersDictionarySize);
    EXPECT_EQ(again.state.whiteList.Count, 1);
}
