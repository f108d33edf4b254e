// Every writer of the program on a disk that fills up part-way, and the
// device writer on a device that refuses part-way: the old file stays byte
// for byte, no temporary file is left, and the failure is raised.
#include "core/app/StartUp.h"
#include "core/base/Errors.h"
#include "core/base/Settings.h"
#include "core/base/TextFile.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/ItudFile.h"
#include "core/lists/ListFiles.h"
#include "support/FailingWrites.h"
#include "support/RuleFixture.h"

#include <QDir>
#include <functional>

using namespace vexlon;
using namespace vexlon::test;

namespace {

class FailedWrites : public RuleFixture {
protected:
    void SetUp() override
    {
        RuleFixture::SetUp();
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

TEST(DeviceWriter, EveryShortWriteIsAFailure)
{
    const QByteArray content(5000, 'x');
    for (const qint64 failAfter : {qint64(0), qint64(1), qint64(4096), qint64(4999)}) {
        FailDevice device(failAfter);
        QString reason;
        EXPECT_FALSE(writeAllChecked(device, content, reason)) << failAfter;
        EXPECT_EQ(reason, QStringLiteral("No space left on device"));
    }
    FailDevice roomy(5000);
    QString reason;
    EXPECT_TRUE(writeAllChecked(roomy, content, reason));
    EXPECT_EQ(roomy.written, content);
}

TEST_F(FailedWrites, EveryWriterKeepsTheOldFileWhenTheDiskFills)
{
    state.whiteList.Count = 0;
    TSTATLST statistic;
    for (int i = 0; i < 2000; ++i)
        statistic.Items.append({"statword" + QByteArray::number(i), i, 1, "English"});
    statistic.Count = int(statistic.Items.size());
    TLST white;
    for (int i = 0; i < 500; ++i)
        white.Items.append({"whiteword" + QByteArray::number(i), i, 2, "Russian"});
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

TEST_F(FailedWrites, ABackupThatCannotBeWrittenIsToldAndTheReadGoesOn)
{
    state.settings.BackupCopy = true;
    state.settings.UsersDictionarySize = 5100;
    QByteArray dictionary(5100, '\0');
    dictionary[7] = 0; // no records
    dictionary[5099] = '\x09';
    write(QStringLiteral("in.iud"), dictionary);
    {
        // Room for the three trailer bytes, not for the backup.
        FileSizeLimit full(3);
        EXPECT_TRUE(ReadDictionaryFile(state, table, file("in.iud")));
    }
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().startsWith(QStringLiteral("No backup copy was made.")));
    EXPECT_FALSE(QFileInfo::exists(file(kBackupFile)));
    EXPECT_EQ(filesIn(QStringLiteral("TempFile")), QStringList());
    EXPECT_EQ(read(QString::fromLatin1(kTrailerFile)), QByteArray("\0\0\x09", 3));
    // With room the backup is made as before.
    EXPECT_TRUE(ReadDictionaryFile(state, table, file("in.iud")));
    EXPECT_EQ(read(QString::fromLatin1(kBackupFile)), dictionary);
}

TEST_F(FailedWrites, OversizedInputsAreRefusedNamingTheFile)
{
    // A file larger than its kind may be is refused before it is read.
    QFile big(file("big.csv"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(kMaxDictionaryFileBytes + 1));
    big.close();
    try {
        ReadCsvFile(state, table, file("big.csv"));
        FAIL() << "read";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.message().contains(file("big.csv"))) << e.message().toStdString();
    }
    // A file of blanks under the size limit that would make more rows than a
    // table takes is refused before a row is made.
    write(QStringLiteral("blanks.txt"), QByteArray(kMaxWordsInFile + 1, ' '));
    EXPECT_THROW(ReadTextFile(state, table, file("blanks.txt")), VexlonError);
    EXPECT_EQ(table.count(), 700);
    // A conversion error names the file and the line and shows control
    // characters as escapes.
    write(QStringLiteral("bad.csv"), "Vexlon CSV format users dictionary file\r\nx\r\nWord Amount;2\r\na;01;\r\nb;\x1b[2J;\r\n");
    try {
        ReadCsvFile(state, table, file("bad.csv"));
        FAIL() << "read";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("File \"%1\", line 5: '\\x1B[2J' is not a valid integer value").arg(file("bad.csv")));
    }
}

TEST_F(FailedWrites, ASettingsFileThatCannotBeWrittenDoesNotStopTheStartUp)
{
    write(QStringLiteral("iTAP_Lang_structure.dat"), smallLangStructure(testLanguages()));
    write(QString::fromLatin1(kWhiteListFile),
          "Vexlon list file\r\nList Type;Black/White list\r\nLastUpdate;x\r\nWord Amount;1\r\nkeep;1;01;English\r\n");
    Editor editor;
    editor.state.programDirectory = state.programDirectory;
    editor.state.dialogs = &dialogs;
    QStringList errors;
    StartUpHooks hooks;
    hooks.showError = [&errors](const QString& text) { errors << text; };
    StartUpResult result;
    {
        FileSizeLimit full(0);
        result = RunStartUp(editor, UiTexts(), hooks);
    }
    EXPECT_TRUE(result.completed);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().startsWith(QStringLiteral("Cannot write file"))) << errors.first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(file(QString::fromLatin1(kSettingsFileName))));
    // The lists were still read, so nothing later writes an empty list over them.
    ASSERT_EQ(editor.state.whiteList.Count, 1);
    EXPECT_EQ(editor.state.whiteList.Items[0].Word, QByteArray("keep"));
}
