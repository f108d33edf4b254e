// vexlon-cli run in-process over a program directory the test builds: the
// test languages, default settings, empty lists and a trailer
// file; standard output and error captured.
#pragma once

#include "cli/Cli.h"
#include "core/base/Settings.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/lists/ListFiles.h"
#include "support/CoreFixture.h"

#include <QFileInfo>
#include <sstream>

namespace vexlon::test {

class CliFixture : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        write(QStringLiteral("iTAP_Lang_structure.dat"), testLangStructure());
        SaveSettings(state.settings, file(QStringLiteral("Vexlon.ini")));
        for (const char* name : {kWhiteListFile, kBlackListFile, kStatisticFile})
            writeListFile(name, {});
        write(QStringLiteral("phConfig.cfg"), QByteArray(3, '\0'));
    }
    void writeListFile(const char* name, const QList<QByteArray>& entries)
    {
        QByteArray bytes = "Vexlon list file\r\nList Type;x\r\nLastUpdate;x\r\nWord Amount;" + QByteArray::number(entries.size()) + "\r\n";
        for (const QByteArray& e : entries)
            bytes += e + "\r\n";
        write(QString::fromLatin1(name), bytes);
    }
    void writeCsv(const QString& name, const QList<QByteArray>& words)
    {
        QByteArray bytes = "Vexlon CSV format users dictionary file\r\nx\r\nWord Amount;" + QByteArray::number(words.size()) + "\r\n";
        for (const QByteArray& w : words)
            bytes += w + ";01;\r\n";
        write(name, bytes);
    }
    int run(std::vector<std::string> args)
    {
        out.str(std::string());
        err.str(std::string());
        args.insert(args.begin(), {"--data-dir", dir.path().toStdString()});
        return cli::runCli(args, out, err);
    }
    bool errSays(const std::string& text) const { return err.str().find(text) != std::string::npos; }
    std::string path(const char* name) const { return file(QString::fromLatin1(name)).toStdString(); }
    // The words of a CSV dictionary the tool wrote.
    QList<QByteArray> csvWords(const char* name)
    {
        DictionaryTable t;
        EXPECT_TRUE(ReadCsvFile(state, t, file(QString::fromLatin1(name)))) << name;
        return column(t, ColWord);
    }
    bool exists(const char* name) const { return QFileInfo::exists(file(QString::fromLatin1(name))); }

    std::ostringstream out;
    std::ostringstream err;
};

} // namespace vexlon::test
