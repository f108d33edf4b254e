// Text to number conversions with the rules of the platform's integer
// conversion: leading blanks, an optional sign, decimal digits or a "$"/"0x"
// hexadecimal numeral, nothing after the digits. A failure throws
// ConvertError naming the text.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

namespace vexlon {

// Decimal or prefixed hexadecimal; 32-bit signed (hexadecimal up to FFFFFFFF
// wraps into the negative range).
std::optional<int32_t> tryStrToInt(QByteArrayView text);
int32_t strToInt(QByteArrayView text);

// The text read as hexadecimal digits, as if prefixed with "$" (a language ID
// or row number text of the dictionary table).
std::optional<int32_t> tryHexToInt(QByteArrayView text);
int32_t hexToInt(QByteArrayView text);

// "true" exactly is true; everything else is false.
bool StrToBool(QByteArrayView text);
QByteArray BoolToStr(bool value);

// Two upper-case hexadecimal digits of a byte ("0A", "FF").
QByteArray byteToHex(uint8_t value);

} // namespace vexlon
