// Whole runs of vexlon-cli, each in its own process, with the CPU time and
// the peak resident memory of that process, as a user meets them:
//   count    a 5 MB text of 200,000 different words into a new statistic list,
//            beside the same byte work done by a plain Python script;
//   fill     a dictionary of 65,535 bytes from that 200,000-entry list,
//            beside `list show statistic` of the same list;
//   show     a full 65,535-byte dictionary with empty word lists, beside an
//            empty one.
// Each benchmark reports cpu_s and peak_MiB of one run (the mean over the
// iterations) and the ratio of the pair's CPU times measured in the same
// iterations. Set VEXLON_BENCH_CLI to time another build of the tool.
#include "core/base/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace vexlon;

namespace {

struct Run {
    double cpu = 0;     // user + system seconds
    double peakMiB = 0; // largest resident set
    int status = -1;
};

// Runs a program with its output thrown away.
Run run(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    Run result;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        rusage usage {};
        int status = 0;
        wait4(pid, &status, 0, &usage);
        result.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
            + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        result.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

// A program directory of the shipped data with a users dictionary of
// 65,535 bytes, the 5 MB text, and the statistic list it gives.
class Setup {
public:
    static Setup& get()
    {
        static Setup setup;
        return setup;
    }
    // VEXLON_BENCH_CLI names another build of the tool, to compare two.
    std::string cli = std::getenv("VEXLON_BENCH_CLI") ? std::getenv("VEXLON_BENCH_CLI") : VEXLON_CLI;
    std::string dir;
    std::string text;
    std::string statistic;
    std::string emptyStatistic;
    bool ok = false;
    std::string failure = "the benchmark's files could not be made";

    std::vector<std::string> vexlon(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {cli, "--data-dir", dir});
        return args;
    }
    void useStatistic(const std::string& list) const
    {
        QFile::remove(QString::fromStdString(dir + "/Lists/Statistic.csv"));
        QFile::copy(QString::fromStdString(list), QString::fromStdString(dir + "/Lists/Statistic.csv"));
    }

private:
    Setup()
    {
        dir = m_dir.path().toStdString() + "/program";
        const QString bin = QStringLiteral(VEXLON_BIN_DIR);
        QDir().mkpath(QString::fromStdString(dir + "/Lists"));
        QDir().mkpath(QString::fromStdString(dir + "/TempFile"));
        for (const char* f : {"iTAP_Lang_structure.dat", "phConfig.cfg"})
            QFile::copy(bin + QLatin1Char('/') + QLatin1String(f), QString::fromStdString(dir + '/' + f));
        QDir().mkpath(QString::fromStdString(dir + "/Languages"));
        for (const QString& f : QDir(bin + QStringLiteral("/Languages")).entryList(QDir::Files))
            QFile::copy(bin + QStringLiteral("/Languages/") + f, QString::fromStdString(dir + "/Languages/") + f);
        for (const char* list : {"WhiteList.csv", "BlackList.csv"})
            QFile::copy(bin + QStringLiteral("/Lists/") + QLatin1String(list), QString::fromStdString(dir + "/Lists/") + QLatin1String(list));
        emptyStatistic = m_dir.path().toStdString() + "/EmptyStatistic.csv";
        QFile::copy(bin + QStringLiteral("/Lists/Statistic.csv"), QString::fromStdString(emptyStatistic));
        TSettings settings;
        SetDefaultSettings(settings);
        settings.UsersDictionarySize = 65535;
        SaveSettings(settings, QString::fromStdString(dir + "/Vexlon.ini"));
        text = m_dir.path().toStdString() + "/text5.txt";
        if (run({PYTHON, SCRIPTS "/make_text.py", text, "5", "200000"}).status != 0) {
            failure = "make_text.py failed";
            return;
        }
        QFile::remove(QString::fromStdString(dir + "/Lists/Statistic.csv"));
        if (run(vexlon({"count", text})).status != 0) {
            failure = "the first count failed";
            return;
        }
        statistic = m_dir.path().toStdString() + "/Statistic200k.csv";
        QFile::copy(QString::fromStdString(dir + "/Lists/Statistic.csv"), QString::fromStdString(statistic));
        useStatistic(statistic);
        if (run(vexlon({"fill", m_dir.path().toStdString() + "/full.iud", "--type", "0"})).status != 0) {
            failure = "fill failed";
            return;
        }
        useStatistic(emptyStatistic);
        if (run(vexlon({"fill", m_dir.path().toStdString() + "/empty.iud", "--type", "0"})).status != 0)
            return;
        ok = true;
    }
    QTemporaryDir m_dir;

public:
    std::string full() const { return m_dir.path().toStdString() + "/full.iud"; }
    std::string empty() const { return m_dir.path().toStdString() + "/empty.iud"; }
    std::string scratch() const { return m_dir.path().toStdString() + "/scratch"; }
};

// Times two commands in turn in every iteration; the first is the one
// measured, the second its yardstick.
void pair(benchmark::State& bench, const std::function<void()>& beforeFirst, const std::vector<std::string>& first,
          const std::function<void()>& beforeSecond, const std::vector<std::string>& second)
{
    if (!Setup::get().ok) {
        bench.SkipWithError(Setup::get().failure.c_str());
        return;
    }
    Run a;
    Run b;
    for (auto _ : bench) {
        beforeFirst();
        const Run x = run(first);
        beforeSecond();
        const Run y = run(second);
        if (x.status != 0 || y.status != 0) {
            bench.SkipWithError("a command failed");
            return;
        }
        a.cpu += x.cpu;
        a.peakMiB = std::max(a.peakMiB, x.peakMiB);
        b.cpu += y.cpu;
        b.peakMiB = std::max(b.peakMiB, y.peakMiB);
        bench.SetIterationTime(x.cpu);
    }
    const auto n = static_cast<double>(bench.iterations());
    bench.counters["cpu_s"] = a.cpu / n;
    bench.counters["peak_MiB"] = a.peakMiB;
    bench.counters["other_cpu_s"] = b.cpu / n;
    bench.counters["other_peak_MiB"] = b.peakMiB;
    bench.counters["cpu_ratio"] = b.cpu > 0 ? a.cpu / b.cpu : 0;
}

// count (5 MB, 200,000 words) against the Python script.
void BM_CountAgainstScript(benchmark::State& bench)
{
    const Setup& s = Setup::get();
    pair(
        bench, [&] { QFile::remove(QString::fromStdString(s.dir + "/Lists/Statistic.csv")); }, s.vexlon({"count", s.text}), [] {},
        {PYTHON, SCRIPTS "/naive_count.py", s.text, s.scratch()});
}
BENCHMARK(BM_CountAgainstScript)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// fill from 200,000 entries against list show statistic of the same list.
void BM_FillAgainstListShow(benchmark::State& bench)
{
    const Setup& s = Setup::get();
    pair(
        bench, [&] { s.useStatistic(s.statistic); }, s.vexlon({"fill", s.scratch() + ".iud", "--type", "0"}), [] {},
        s.vexlon({"list", "show", "statistic"}));
}
BENCHMARK(BM_FillAgainstListShow)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// show of a full dictionary against show of an empty one, with empty lists.
void BM_ShowFullAgainstEmpty(benchmark::State& bench)
{
    const Setup& s = Setup::get();
    pair(
        bench, [&] { s.useStatistic(s.emptyStatistic); }, s.vexlon({"show", s.full()}), [] {}, s.vexlon({"show", s.empty()}));
}
BENCHMARK(BM_ShowFullAgainstEmpty)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
