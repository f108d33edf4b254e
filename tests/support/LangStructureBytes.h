// The bytes of a language structure file, built by hand for tests.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <utility>
#include <vector>

namespace vexlon::test {

// Builds a language structure file's bytes: each language as (id, name,
// {code, unicode} pairs).
struct LangSpec {
    uint8_t id;
    QByteArray name;
    std::vector<std::pair<uint8_t, char16_t>> chars;
};
inline QByteArray langStructureBytes(const std::vector<LangSpec>& languages, uint16_t version = 1)
{
    QByteArray out(32, '\0');
    out[16] = static_cast<char>(version >> 8);
    out[17] = static_cast<char>(version & 0xFF);
    out[20] = static_cast<char>(languages.size());
    out.append(QByteArray(static_cast<qsizetype>(2 * languages.size()), '\0'));
    for (size_t i = 0; i < languages.size(); ++i) {
        const auto offset = static_cast<uint16_t>(out.size());
        out[static_cast<qsizetype>(32 + 2 * i)] = static_cast<char>(offset >> 8);
        out[static_cast<qsizetype>(33 + 2 * i)] = static_cast<char>(offset & 0xFF);
        const LangSpec& l = languages[i];
        out.append(static_cast<char>(l.id));
        QByteArray name(14, '\0');
        name[0] = static_cast<char>(l.name.size());
        for (qsizetype c = 0; c < l.name.size() && c < 13; ++c)
            name[1 + c] = l.name[c];
        out.append(name);
        out.append(static_cast<char>(l.chars.size()));
        for (auto [code, unit] : l.chars) {
            out.append(static_cast<char>(code));
            out.append(static_cast<char>(unit & 0xFF));
            out.append(static_cast<char>(unit >> 8));
        }
    }
    return out;
}

} // namespace vexlon::test
