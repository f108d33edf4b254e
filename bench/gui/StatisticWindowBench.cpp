// The statistic window over 200,000 words: opening it (the rows in rating
// order, the model and the view on the screen), sorting by a header click,
// and Save, which drops the marked rows, sorts by rating and writes the list
// file.
#include "core/base/Dialogs.h"
#include "core/dictionary/LangStructure.h"
#include "gui/ModalRunner.h"
#include "gui/lists/ListTableModel.h"
#include "gui/lists/StatisticForm.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vexlon;

namespace {

constexpr int kEntries = 200000;

// Answers every box of the window (the "saved" message) at once.
class OkAnswerer : public gui::DialogAnswerer {
public:
    int answer(QDialog&) override { return QMessageBox::Ok; }
};

struct Bench {
    QTemporaryDir dir;
    SilentDialogs dialogs {true};
    ProgramState state;
    DictionaryTable table;

    Bench()
    {
        state.programDirectory = dir.path() + QLatin1Char('/');
        state.dialogs = &dialogs;
        QDir(dir.path()).mkpath(QStringLiteral("Lists"));
        LoadLangStructure(QStringLiteral(VEXLON_BIN_DIR "/iTAP_Lang_structure.dat"), state.langStructure);
        const uint8_t ids[] = {0x01, 0x02, 0x0A, 0x1E};
        QRandomGenerator random(11);
        state.statisticList.Items.reserve(kEntries);
        for (int i = 0; i < kEntries; ++i) {
            TSTATLST_ITEM item;
            const int length = 3 + int(random.bounded(9));
            for (int c = 0; c < length; ++c)
                item.Word.append(char('a' + random.bounded(26)));
            item.Rating = int(random.bounded(200)) + 1;
            item.LanguageID = ids[random.bounded(4)];
            item.LanguageTitle = LanguageName(state.langStructure, item.LanguageID);
            state.statisticList.Items.append(item);
        }
        state.statisticList.Count = kEntries;
    }
};

void clickHeader(gui::TST& window, int column)
{
    emit window.view()->horizontalHeader()->sectionClicked(column);
    QCoreApplication::processEvents();
}

void BM_OpenStatisticWindow(benchmark::State& bench)
{
    Bench b;
    for (auto _ : bench) {
        gui::TST window(b.state, b.table);
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.tableModel()->rowCount());
    }
}
BENCHMARK(BM_OpenStatisticWindow)->Unit(benchmark::kMillisecond);

void BM_SortStatisticWindow(benchmark::State& bench)
{
    Bench b;
    gui::TST window(b.state, b.table);
    window.show();
    QCoreApplication::processEvents();
    const int column = int(bench.range(0));
    for (auto _ : bench) {
        bench.PauseTiming();
        clickHeader(window, column == 1 ? 0 : 1); // another order first
        bench.ResumeTiming();
        clickHeader(window, column);
    }
}
// Caption (the locale-aware word order), Reiting, Language ID.
BENCHMARK(BM_SortStatisticWindow)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_SaveStatisticWindow(benchmark::State& bench)
{
    Bench b;
    OkAnswerer answerer;
    gui::setDialogAnswerer(&answerer);
    gui::TST window(b.state, b.table);
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : bench) {
        bench.PauseTiming();
        clickHeader(window, 0); // Save puts the rows back in rating order
        bench.ResumeTiming();
        window.ToolButton9Click();
        QCoreApplication::processEvents();
    }
    gui::setDialogAnswerer(nullptr);
    bench.counters["entries"] = double(b.state.statisticList.Count);
}
BENCHMARK(BM_SaveStatisticWindow)->Unit(benchmark::kMillisecond);

} // namespace
