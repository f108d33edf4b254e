// The language structure file "iTAP_Lang_structure.dat": the phone's
// languages, their display names and their character tables, and the
// translation between phone character codes and 8-bit text.
#pragma once

#include "core/base/VexlonTypes.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace vexlon {

// Fills structure from the file; false (structure unchanged) when the file is
// missing, its version is not 1, or an offset or count points past its end.
bool LoadLangStructure(const QString& path, TiTAPStructure& structure);
// The same over the file's bytes.
bool ParseLangStructure(const QByteArray& bytes, TiTAPStructure& structure);

// The name of the first language with the id, or "Unknown".
QByteArray LanguageName(const TiTAPStructure& structure, uint8_t id);

// Mode 0 translates through the language's table; mode 1, and any other
// value, passes bytes through unchanged.
uint8_t DecodeChar(const TiTAPStructure& structure, int32_t mode, uint8_t id, uint8_t code);
uint8_t EncodeChar(const TiTAPStructure& structure, int32_t mode, uint8_t id, uint8_t character);

// The same translations for whole dictionaries: each language's table is
// turned into two 256-entry maps the first time it is needed, so reading or
// writing a full dictionary costs one lookup per character.
class CharTranslator {
public:
    CharTranslator(const TiTAPStructure& structure, int32_t mode);
    uint8_t decode(uint8_t id, uint8_t code);
    uint8_t encode(uint8_t id, uint8_t character);

private:
    using Map = std::array<uint8_t, 256>;
    const Map& decodeMap(uint8_t id);
    const Map& encodeMap(uint8_t id);

    const TiTAPStructure& m_structure;
    bool m_translate;
    std::array<std::optional<Map>, 256> m_decode;
    std::array<std::optional<Map>, 256> m_encode;
};

} // namespace vexlon
