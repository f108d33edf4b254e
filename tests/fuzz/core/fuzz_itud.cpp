// The dictionary file reader, and the writer over whatever it read.
#include "FuzzSupport.h"

#include "core/base/Errors.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/LangStructure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vexlon;
    fuzz::Scratch& s = fuzz::scratch();
    if (s.state.langStructure.Languages.isEmpty()) {
        TLanguages l;
        l.ID = 2;
        l.Name = "Cyr";
        for (int i = 0; i < 64; ++i) {
            l.Codes.append(static_cast<uint8_t>(0x80 + i));
            l.Chars.append(static_cast<uint16_t>(0x0410 + i));
        }
        l.CharCount = 64;
        s.state.langStructure.Languages.append(l);
        s.state.langStructure.Count = 1;
    }
    const QByteArray input = fuzz::bytes(data, size);
    for (int mode : {0, 1}) {
        s.state.settings.iTAPModification = mode;
        const QVector<DictRow> rows = ParseDictionary(input, s.state);
        try {
            const QByteArray out = BuildDictionary(rows, s.state, DictionaryTrailer(input));
            if (out.size() != s.state.settings.UsersDictionarySize)
                __builtin_trap();
            // What was written reads back as the same words.
            const QVector<DictRow> again = ParseDictionary(out, s.state);
            if (mode == 1 && again.size() != rows.size())
                __builtin_trap();
        } catch (const VexlonError&) {
            // too many or too long words: refused, as it should be
        }
    }
    return 0;
}
