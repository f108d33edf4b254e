// The main window's table view over 10,900 rows: filling the model, sorting
// through the core and scrolling from top to bottom, as the view paints.
#include "gui/DictionaryModel.h"

#include "core/dictionary/TableOps.h"

#include <QApplication>
#include <QHeaderView>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTableView>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 10900;

QVector<vexlon::DictRow> makeRows()
{
    QRandomGenerator random(7);
    QVector<vexlon::DictRow> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        vexlon::DictRow row;
        const int length = 3 + int(random.bounded(8));
        for (int c = 0; c < length; ++c)
            row.word.append(char('a' + random.bounded(26)));
        row.number = QByteArray::number(kRows - i);
        row.languageId = i % 3 ? "01" : "0A";
        row.language = i % 3 ? "English" : "Russian";
        row.status = "Users Dictionary";
        rows.append(row);
    }
    return rows;
}

struct View {
    vexlon::DictionaryTable table;
    vexlon::gui::DictionaryModel model{table};
    QTableView view;
    View()
    {
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.verticalHeader()->setDefaultSectionSize(20);
        view.setModel(&model);
        view.resize(600, 420);
        view.show();
    }
};

void BM_FillModel(benchmark::State& state)
{
    View v;
    const QVector<vexlon::DictRow> rows = makeRows();
    for (auto _ : state) {
        v.table.replaceAll(rows);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FillModel)->Unit(benchmark::kMillisecond);

void BM_SortByColumn(benchmark::State& state)
{
    View v;
    const QVector<vexlon::DictRow> rows = makeRows();
    const int column = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        v.table.replaceAll(rows);
        state.ResumeTiming();
        vexlon::SortByColumn(v.table, column);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SortByColumn)->Arg(vexlon::ColWord)->Arg(vexlon::ColNumber)->Arg(vexlon::ColLanguageId)->Unit(benchmark::kMillisecond);

void BM_ScrollThrough(benchmark::State& state)
{
    View v;
    v.table.replaceAll(makeRows());
    QCoreApplication::processEvents();
    QScrollBar* bar = v.view.verticalScrollBar();
    for (auto _ : state) {
        for (int value = 0; value <= bar->maximum(); value += bar->pageStep() * 10) {
            bar->setValue(value);
            v.view.viewport()->repaint();
        }
    }
    state.counters["pages"] = double(bar->maximum()) / std::max(1, bar->pageStep());
}
BENCHMARK(BM_ScrollThrough)->Unit(benchmark::kMillisecond);

} // namespace
