// The word rules at the largest sizes: a full dictionary of 65535 bytes
// (about 10,900 words) and a statistic list of 1,000,000 entries. Each
// benchmark runs the plain reference and the indexed version on the same
// input in the same run and reports the ratio of their times as "speedup".
#include "core/dictionary/Cleaning.h"
#include "core/dictionary/ReferenceRules.h"
#include "core/dictionary/Validation.h"
#include "core/lists/ReferenceLists.h"
#include "core/lists/Statistics.h"
#include "support/RandomTables.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>

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

double seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times the reference once and the indexed version once per iteration;
// the ratio is reported.
void compare(benchmark::State& bench, const std::function<void()>& plain, const std::function<void()>& fast)
{
    double plainTime = 0;
    double fastTime = 0;
    for (auto _ : bench) {
        plainTime += seconds(plain);
        const double once = seconds(fast);
        fastTime += once;
        bench.SetIterationTime(once);
    }
    bench.counters["reference_s"] = plainTime / static_cast<double>(bench.iterations());
    bench.counters["indexed_s"] = fastTime / static_cast<double>(bench.iterations());
    bench.counters["speedup"] = fastTime > 0 ? plainTime / fastTime : 0;
}

void BM_RemoveDuplicates(benchmark::State& bench)
{
    const QVector<DictRow> rows = test::largeTable(1);
    compare(
        bench,
        [&] {
            DictionaryTable t;
            t.replaceAll(rows);
            reference::RemoveDuplicates(t);
            benchmark::DoNotOptimize(t.count());
        },
        [&] {
            DictionaryTable t;
            t.replaceAll(rows);
            RemoveDuplicates(benchState(), t);
            benchmark::DoNotOptimize(t.count());
        });
}

void BM_CleanAll(benchmark::State& bench)
{
    const QVector<DictRow> rows = test::largeTable(2);
    ProgramState& state = benchState();
    const CleanRules rules = rulesForItem(state.settings, CleaningItem::All);
    compare(
        bench,
        [&] {
            DictionaryTable t;
            t.replaceAll(rows);
            reference::CleanDictionary(state.settings, state.langStructure, state.blackList, t, rules);
        },
        [&] {
            DictionaryTable t;
            t.replaceAll(rows);
            CleanDictionary(state, t, rules);
        });
}

void BM_PreSaveCheck(benchmark::State& bench)
{
    // A clean table, so that both walk every row.
    DictionaryTable t;
    t.replaceAll(test::largeTable(3));
    RemoveDuplicates(benchState(), t);
    compare(
        bench, [&] { benchmark::DoNotOptimize(reference::DictionaryHasProblem(t)); },
        [&] { benchmark::DoNotOptimize(DictionaryHasProblem(benchState(), t)); });
}

void BM_UpdateStatisticMillion(benchmark::State& bench)
{
    ProgramState& state = benchState();
    DictionaryTable t;
    t.replaceAll(test::largeTable(4));
    TSTATLST big;
    big.Items.reserve(1000000);
    for (int i = 0; i < 1000000; ++i)
        big.Items.append({QStringLiteral("w") + QString::number(i), 1, 1, "x"});
    big.Count = 1000000;
    // The reference would walk the million entries for every word; it is
    // timed on a sample of the rows and scaled to the whole table.
    DictionaryTable sample;
    const int sampleRows = 50;
    for (int i = 0; i < sampleRows; ++i)
        sample.append(t.row(i));
    compare(
        bench,
        [&] {
            TSTATLST copy = big;
            reference::UpdateStatistic(copy, state.langStructure, sample);
        },
        [&] {
            state.statisticList = big;
            UpdateStatistic(state, t);
        });
    bench.counters["speedup"] = bench.counters["speedup"] * (static_cast<double>(t.count()) / sampleRows);
    bench.counters["reference_s"] = bench.counters["reference_s"] * (static_cast<double>(t.count()) / sampleRows);
}

void BM_FillAddFromMillion(benchmark::State& bench)
{
    ProgramState& state = benchState();
    state.settings.StatisticType = 1;
    const QVector<DictRow> rows = test::largeTable(5, 5000);
    TSTATLST big;
    big.Items.reserve(1000000);
    // The words of the table come first, so both skip many entries.
    for (int i = 0; i < 1000000; ++i)
        big.Items.append({i < rows.size() ? rows[i].word : QStringLiteral("s") + QString::number(i), 1000000 - i, 1, "x"});
    big.Count = 1000000;
    state.statisticList = big;
    compare(
        bench,
        [&] {
            DictionaryTable t;
            t.replaceAll(rows);
            reference::FillAddFromStatistic(state.settings, big, state.langStructure, t);
        },
        [&] {
            DictionaryTable t;
            t.replaceAll(rows);
            FillDictionaryFromStatistic(state, t);
        });
}

} // namespace

BENCHMARK(BM_RemoveDuplicates)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CleanAll)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreSaveCheck)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateStatisticMillion)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillAddFromMillion)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
