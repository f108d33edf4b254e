#include "core/base/Convert.h"

#include "core/base/CodePage1251.h"
#include "core/base/Errors.h"

namespace vexlon {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<int32_t> tryStrToInt(QByteArrayView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;
    uint64_t value = 0;
    for (; i < n; ++i) {
        const int d = hex ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0)
            return std::nullopt;
        value = value * (hex ? 16u : 10u) + static_cast<uint64_t>(d);
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    if (hex) {
        const auto bits = static_cast<uint32_t>(value);
        const auto result = static_cast<int32_t>(bits);
        return negative ? static_cast<int32_t>(0u - bits) : result;
    }
    if (negative) {
        if (value > 0x80000000ull)
            return std::nullopt;
        return static_cast<int32_t>(-static_cast<int64_t>(value));
    }
    if (value > 0x7FFFFFFFull)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

int32_t strToInt(QByteArrayView text)
{
    if (auto v = tryStrToInt(text))
        return *v;
    throw ConvertError(cp1251::toUnicode(text));
}

std::optional<int32_t> tryHexToInt(QByteArrayView text)
{
    // Only digits may follow the "$": no blank, sign or second prefix.
    if (text.isEmpty())
        return std::nullopt;
    for (char c : text) {
        if (hexDigit(c) < 0)
            return std::nullopt;
    }
    QByteArray prefixed("$");
    prefixed.append(text.data(), text.size());
    return tryStrToInt(prefixed);
}

int32_t hexToInt(QByteArrayView text)
{
    if (auto v = tryHexToInt(text))
        return *v;
    throw ConvertError(cp1251::toUnicode(text));
}

bool StrToBool(QByteArrayView text)
{
    return text == QByteArrayView("true");
}

QByteArray BoolToStr(bool value)
{
    return value ? QByteArray("true") : QByteArray("false");
}

QByteArray byteToHex(uint8_t value)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray out(2, '0');
    out[0] = digits[value >> 4];
    out[1] = digits[value & 0x0F];
    return out;
}

} // namespace vexlon
