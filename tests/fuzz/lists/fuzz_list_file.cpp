// Feeds arbitrary bytes to the list file reader as both kinds of list. The
// reader may refuse the bytes or raise its conversion and range errors; it
// must never read out of bounds, allocate for a count it cannot fill, or
// leave a list whose count differs from its entries.
#include "core/base/Errors.h"
#include "core/lists/ListFiles.h"

#include <cstdint>
#include <cstdlib>

using namespace vexlon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const TiTAPStructure structure = [] {
        TiTAPStructure s;
        TLanguages english;
        english.ID = 1;
        english.Name = "English";
        s.Languages.append(english);
        s.Count = 1;
        return s;
    }();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TLST list;
    try {
        ParseListFile(bytes, list, structure);
    } catch (const VexlonError&) {
    }
    if (list.Count != list.Items.size())
        std::abort();
    TSTATLST stat;
    try {
        if (ParseListFile(bytes, stat, structure)) {
            // What was read writes out and reads back the same.
            TSTATLST again;
            if (!ParseListFile(ListFileContent(stat, "now"), again, structure) || again.Count != stat.Count)
                std::abort();
        }
    } catch (const VexlonError&) {
    }
    if (stat.Count != stat.Items.size())
        std::abort();
    return 0;
}
