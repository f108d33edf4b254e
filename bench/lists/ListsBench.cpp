// The steps behind count, fill and opening a dictionary, in one process:
//   CountText/0 makes every row of a 5 MB text of 200,000 different words
//     and then removes the repeats, as a load of a text file does;
//   CountText/1 folds the repeats while the text is read; both then count
//     into an empty statistic list and make the list file's bytes;
//   SortAndFill orders a 200,000-entry statistic list by rating and makes a
//     65,535-byte dictionary of it;
//   OpenFullDictionary removes repeated and short words from the rows of a
//     full 65,535-byte dictionary and renumbers them, as every load does;
//   StatisticWindowRows makes and drops the statistic window's rows of
//     200,000 entries.
// Time per iteration; peak_MiB is how far the resident memory of a child
// process that does the work once rises above what it started with.
#include "core/base/CodePage1251.h"
#include "core/base/Dialogs.h"
#include "core/dictionary/Cleaning.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/TableOps.h"
#include "core/lists/ListFiles.h"
#include "core/lists/StatisticSession.h"
#include "core/lists/Statistics.h"
#include "core/lists/TextCounting.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vexlon;

namespace {

ProgramState& benchState()
{
    static SilentDialogs dialogs;
    static ProgramState state = [] {
        ProgramState s;
        s.dialogs = &dialogs;
        s.settings.UsersDictionarySize = 65535;
        return s;
    }();
    return state;
}

// How far the resident memory of a child that runs work once rises above
// what it held when it started (the benchmark's own data), in MiB.
double peakMiB(const std::function<void()>& work)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        long pages = 0;
        long resident = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
                resident = 0;
            std::fclose(statm);
        }
        const double base = static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0;
        work();
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        const double rise = (static_cast<double>(usage.ru_maxrss) - base) / 1024.0;
        if (write(pipeEnds[1], &rise, sizeof rise) != sizeof rise)
            _exit(1);
        _exit(0);
    }
    close(pipeEnds[1]);
    double rise = -1;
    if (read(pipeEnds[0], &rise, sizeof rise) != sizeof rise)
        rise = -1;
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return rise;
}

// A seeded word of 3 to 10 Latin or Cyrillic (Windows-1251) letters.
QByteArray randomWord(QRandomGenerator& random)
{
    QByteArray w;
    const bool cyrillic = random.bounded(2) == 0;
    for (int i = 3 + static_cast<int>(random.bounded(8)); i > 0; --i)
        w.append(cyrillic ? static_cast<char>(0xE0 + random.bounded(32)) : static_cast<char>('a' + random.bounded(26)));
    return w;
}

// 5 MB in Windows-1251: each of 200,000 words once, then words drawn with
// a falling frequency; one in eight with a capital first letter.
const QString& textFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        QRandomGenerator random(1251);
        QByteArrayList words;
        for (int i = 0; i < 200000; ++i)
            words << randomWord(random);
        QByteArray text;
        qsizetype k = 0;
        while (text.size() < 5 * 1024 * 1024) {
            QByteArray w = k < words.size() ? words.at(k) : words.at(static_cast<qsizetype>(
                               random.bounded(2) == 0 ? random.bounded(2000) : random.bounded(200000)));
            if (random.bounded(8) == 0)
                w[0] = static_cast<char>(static_cast<uchar>(w[0]) - 0x20); // a..z and а..я both sit 0x20 above their capitals
            text += w;
            text += (++k % 12 == 0) ? "\r\n" : " ";
        }
        const QString p = dir.path() + QStringLiteral("/text5.txt");
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
        return p;
    }();
    return path;
}

void countText(bool folded)
{
    ProgramState& state = benchState();
    DictionaryTable t;
    if (folded)
        ReadTextFileFolded(state, t, textFile());
    else
        ReadTextFile(state, t, textFile());
    RemoveDuplicates(state, t);
    RemoveShortWords(state, t, state.settings.MinWordLength);
    RenumberRows(state, t, 0, t.count() - 1);
    state.statisticList = TSTATLST();
    UpdateStatistic(state, t);
    benchmark::DoNotOptimize(ListFileContent(state.statisticList, "now").size());
}

void BM_CountText(benchmark::State& bench)
{
    const bool folded = bench.range(0) == 1;
    textFile();
    for (auto _ : bench)
        countText(folded);
    bench.counters["peak_MiB"] = peakMiB([&] { countText(folded); });
    bench.counters["entries"] = static_cast<double>(benchState().statisticList.Count);
}
BENCHMARK(BM_CountText)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

TSTATLST bigStatistic()
{
    QRandomGenerator random(7);
    TSTATLST list;
    list.Items.reserve(200000);
    for (int i = 0; i < 200000; ++i)
        list.Items.append({cp1251::toUnicode(randomWord(random)), static_cast<int32_t>(random.bounded(300)) + 1, 0xFF, "Unknown"});
    list.Count = 200000;
    return list;
}

void BM_SortAndFill(benchmark::State& bench)
{
    const TSTATLST list = bigStatistic();
    ProgramState& state = benchState();
    state.settings.StatisticType = 0;
    auto work = [&] {
        state.statisticList = list;
        SortStatisticByRating(state.statisticList);
        DictionaryTable t;
        FillDictionaryFromStatistic(state, t);
        benchmark::DoNotOptimize(t.count());
    };
    for (auto _ : bench)
        work();
    bench.counters["peak_MiB"] = peakMiB(work);
}
BENCHMARK(BM_SortAndFill)->Unit(benchmark::kMillisecond);

void BM_OpenFullDictionary(benchmark::State& bench)
{
    ProgramState& state = benchState();
    state.settings.StatisticType = 0;
    state.statisticList = bigStatistic();
    SortStatisticByRating(state.statisticList);
    DictionaryTable full;
    FillDictionaryFromStatistic(state, full);
    auto work = [&] {
        DictionaryTable t;
        t.replaceAll(full.rows());
        RemoveDuplicates(state, t);
        RemoveShortWords(state, t, state.settings.MinWordLength);
        RenumberRows(state, t, 0, t.count() - 1);
        benchmark::DoNotOptimize(t.count());
    };
    for (auto _ : bench)
        work();
    bench.counters["rows"] = full.count();
}
BENCHMARK(BM_OpenFullDictionary)->Unit(benchmark::kMicrosecond);

// The rows of the statistic window over 200,000 entries, in rating order,
// made and dropped again (opening and closing the window, without the view).
void BM_StatisticWindowRows(benchmark::State& bench)
{
    ProgramState& state = benchState();
    state.statisticList = bigStatistic();
    auto work = [&] {
        StatisticSession session(state);
        benchmark::DoNotOptimize(session.rows().size());
    };
    for (auto _ : bench)
        work();
    bench.counters["peak_MiB"] = peakMiB(work);
}
BENCHMARK(BM_StatisticWindowRows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
