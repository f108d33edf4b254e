// The CSV and text dictionary readers, and the CSV writer over what they read.
#include "FuzzSupport.h"

#include "core/base/Errors.h"
#include "core/dictionary/CsvTextFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vexlon;
    fuzz::Scratch& s = fuzz::scratch();
    const QString path = s.put("input.csv", data, size);
    DictionaryTable table;
    try {
        ReadCsvFile(s.state, table, path);
    } catch (const VexlonError&) {
        // a count or language ID that is not a number
    }
    ReadTextFile(s.state, table, path);
    try {
        (void)BuildCsvFile(table.rows(), QStringLiteral("now"));
    } catch (const VexlonError&) {
        // a word holding ";"
    }
    return 0;
}
