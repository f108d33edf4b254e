// Reading and writing dictionary files grows linearly with their size, up to
// the largest users dictionary of 65535 bytes, in both modifications.
#include "core/base/Dialogs.h"
#include "core/base/ProgramState.h"
#include "core/base/Settings.h"
#include "core/dictionary/ItudFile.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vexlon;

struct Setup {
    SilentDialogs dialogs {true};
    ProgramState state;
    QVector<DictRow> rows;

    Setup(int size, int mode)
    {
        state.dialogs = &dialogs;
        SetDefaultSettings(state.settings);
        state.settings.UsersDictionarySize = size;
        state.settings.iTAPModification = mode;
        TLanguages cyr;
        cyr.ID = 2;
        cyr.Name = "Russian";
        for (int i = 0; i < 64; ++i) {
            cyr.Codes.append(static_cast<uint8_t>(0x80 + i));
            cyr.Chars.append(static_cast<uint16_t>(0x0410 + i));
        }
        cyr.CharCount = 64;
        state.langStructure.Languages = {cyr};
        state.langStructure.Count = 1;
        // Five-letter words (10-byte records), half Cyrillic, to fill the file.
        int used = 0;
        for (int i = 0; used + 10 <= size - 19; ++i) {
            DictRow row;
            for (int c = 0; c < 5; ++c)
                row.word.append(static_cast<char>(i % 2 ? 0xC0 + (i + c) % 64 : 'a' + (i + c) % 26));
            row.number = QByteArray::number(i + 1);
            row.languageId = i % 2 ? "02" : "01";
            rows.append(row);
            used += 10;
        }
    }
};

template <int Mode>
void BM_WriteDictionary(benchmark::State& st)
{
    Setup s(static_cast<int>(st.range(0)), Mode);
    for (auto _ : st)
        benchmark::DoNotOptimize(BuildDictionary(s.rows, s.state, "\0\0\0"));
    st.SetComplexityN(st.range(0));
    st.SetBytesProcessed(st.iterations() * st.range(0));
    st.counters["words"] = static_cast<double>(s.rows.size());
}

template <int Mode>
void BM_ReadDictionary(benchmark::State& st)
{
    Setup s(static_cast<int>(st.range(0)), Mode);
    const QByteArray file = BuildDictionary(s.rows, s.state, "\0\0\0");
    for (auto _ : st)
        benchmark::DoNotOptimize(ParseDictionary(file, s.state));
    st.SetComplexityN(st.range(0));
    st.SetBytesProcessed(st.iterations() * st.range(0));
    st.counters["words"] = static_cast<double>(s.rows.size());
}

// Mode 0 translates every character through the language tables; mode 1
// copies bytes.
void sizes(benchmark::internal::Benchmark* b)
{
    for (int size : {4096, 8192, 16384, 32768, 65535})
        b->Arg(size);
    b->Complexity(benchmark::oN);
}

BENCHMARK_TEMPLATE(BM_WriteDictionary, 0)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_WriteDictionary, 1)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_ReadDictionary, 0)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_ReadDictionary, 1)->Apply(sizes);

} // namespace

BENCHMARK_MAIN();
