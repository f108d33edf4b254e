// vexlon-cli on a disk that fills up and on inputs far larger than any
// dictionary: exit status 2, a message naming the file, the old file byte
// for byte, and memory that stays small. The memory runs happen in a child
// process with its address space limited.
#include "core/base/TextFile.h"
#include "support/CliFixture.h"

#include <QDir>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vexlon;
using namespace vexlon::test;

namespace {

class CliFailures : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        QList<QByteArray> words;
        for (int i = 0; i < 300; ++i)
            words << "word" + QByteArray::number(i);
        writeCsv(QStringLiteral("in.csv"), words);
    }
    // Writes size bytes made of pattern repeated.
    void writeLarge(const QString& name, const QByteArray& pattern, qint64 size) const
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray block;
        while (block.size() < (1 << 20))
            block += pattern;
        for (qint64 done = 0; done < size; done += block.size())
            f.write(block.constData(), qMin<qint64>(block.size(), size - done));
    }
    // Runs the tool in a child whose address space is limited to limitMb;
    // the child's exit status, or -1 when it died.
    int runLimited(const std::vector<std::string>& args, rlim_t limitMb, const std::string& mustSay = {})
    {
        std::fflush(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            rlimit limit {limitMb << 20, limitMb << 20};
            setrlimit(RLIMIT_AS, &limit);
            const int rc = run(args);
            if (!mustSay.empty() && err.str().find(mustSay) == std::string::npos)
                _exit(100);
            _exit(rc);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

} // namespace

TEST_F(CliFailures, AFullDiskFailsWithStatus2AndKeepsTheOldFile)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"old.iud", {"convert", path("in.csv"), path("old.iud")}},
        {"old.csv", {"convert", path("in.csv"), path("old.csv"), "--to", "csv"}},
        {"Lists/Statistic.csv", {"count", path("in.csv")}},
        {"phone.iud", {"--simulate", path("phone"), "phone", "read", path("phone.iud")}},
    };
    QDir(dir.path()).mkpath(QStringLiteral("phone/a"));
    write(QStringLiteral("phone/a/iTAP_User_Dictionary"), QByteArray(5100, 'p'));
    for (const auto& [name, args] : cases) {
        const QString target = QString::fromLatin1(name);
        const QByteArray old = read(target).isEmpty() ? QByteArray(5100, 'o') : read(target);
        write(target, old);
        for (const rlim_t limit : {rlim_t(0), rlim_t(100), rlim_t(4096)}) {
            const int rc = [&] {
                FileSizeLimit full(limit);
                return run(args);
            }();
            EXPECT_EQ(rc, cli::ExitError) << name << ' ' << limit << out.str();
            EXPECT_TRUE(errSays("Cannot write file")) << err.str();
            EXPECT_EQ(read(target), old) << name << ' ' << limit;
        }
    }
}

TEST_F(CliFailures, HugeInputsAreRefusedWithoutTakingTheMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    const qint64 hundredMb = qint64(100) << 20;
    writeLarge(QStringLiteral("huge.csv"), "w;01;\r\n", hundredMb);
    writeLarge(QStringLiteral("blanks.txt"), " ", hundredMb);
    writeLarge(QStringLiteral("words.txt"), "some words in a line\r\n", hundredMb);
    for (const char* name : {"huge.csv", "blanks.txt", "words.txt"})
        EXPECT_EQ(runLimited({"show", path(name), "--as", "all"}, 1024, path(name)), cli::ExitError) << name;
    writeLarge(QStringLiteral("Lists/Statistic.csv"), "w;1;01;\r\n", hundredMb);
    EXPECT_EQ(runLimited({"list", "show", "statistic"}, 1024, "ERROR[03]"), cli::ExitError);

    // Under the size limits, a file of blanks or a CSV file that would make
    // more rows than a table takes is refused before the rows are made.
    writeLarge(QStringLiteral("blanks.txt"), " ", kMaxDictionaryFileBytes - 1);
    EXPECT_EQ(runLimited({"show", path("blanks.txt"), "--as", "txt"}, 1024, "words"), cli::ExitError);
    // What a table does take is read in memory that grows with it.
    QByteArray csv = "Vexlon CSV format users dictionary file\r\nx\r\nWord Amount;200000\r\n";
    for (int i = 0; i < 200000; ++i)
        csv += "w" + QByteArray::number(i) + ";01;\r\n";
    write(QStringLiteral("big.csv"), csv);
    EXPECT_EQ(runLimited({"show", path("big.csv")}, 1024), cli::ExitOk);
}
