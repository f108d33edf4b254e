// The language structure loader and the translations over what it loaded.
#include "FuzzSupport.h"

#include "core/dictionary/LangStructure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vexlon;
    TiTAPStructure s;
    if (!ParseLangStructure(fuzz::bytes(data, size), s))
        return 0;
    if (s.Languages.size() != s.Count)
        __builtin_trap();
    CharTranslator t(s, 0);
    for (const TLanguages& l : s.Languages) {
        if (l.Codes.size() != l.CharCount || l.Chars.size() != l.CharCount || l.Name.size() > 13)
            __builtin_trap();
        (void)LanguageName(s, l.ID);
        for (int b = 0; b < 256; b += 7) {
            // Every code comes back as itself.
            const std::optional<uint8_t> back = t.encode(l.ID, t.decode(l.ID, static_cast<uint8_t>(b)));
            if (!back || *back != b)
                __builtin_trap();
        }
    }
    return 0;
}
