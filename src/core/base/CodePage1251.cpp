#include "core/base/CodePage1251.h"

#include <QDateTime>
#include <QHash>
#include <QStringDecoder>
#include <QStringList>
#include <array>

namespace vexlon::cp1251 {

namespace {

constexpr const char* kCodePage = "windows-1251";

// The 256 characters of the code page, read once from ICU, and the way back.
struct CodePage {
    std::array<char16_t, 256> toUnit {};
    QHash<char16_t, uint8_t> fromUnit;
    // The way back for the characters below kDirect (ASCII, Latin-1 and the
    // Cyrillic block, where almost every word lies) without a hash lookup:
    // the byte, or -1.
    static constexpr char16_t kDirect = 0x500;
    std::array<int16_t, kDirect> direct {};

    CodePage()
    {
        QStringDecoder decoder(kCodePage);
        Q_ASSERT(decoder.isValid());
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            decoder.resetState();
            const char16_t unit = s.isEmpty() ? u'\uFFFD' : s.at(0).unicode();
            toUnit[static_cast<size_t>(b)] = unit;
            if (unit != u'\uFFFD' && !fromUnit.contains(unit))
                fromUnit.insert(unit, static_cast<uint8_t>(b));
        }
        direct.fill(-1);
        for (auto it = fromUnit.cbegin(); it != fromUnit.cend(); ++it) {
            if (it.key() < kDirect)
                direct[it.key()] = it.value();
        }
    }

    // The byte of a character, or -1.
    int byteOf(char16_t unit) const
    {
        if (unit < kDirect)
            return direct[unit];
        const auto it = fromUnit.constFind(unit);
        return it == fromUnit.constEnd() ? -1 : it.value();
    }
};

const CodePage& codePage()
{
    static const CodePage page;
    return page;
}

} // namespace

QString toUnicode(QByteArrayView bytes)
{
    const auto& page = codePage();
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<uint8_t>(bytes[i]);
        const char16_t unit = page.toUnit[byte];
        dst[i] = unit == u'\uFFFD' ? keptCode(byte) : QChar(unit);
    }
    return out;
}

qsizetype encodeWord(QStringView word, QByteArray& out)
{
    const auto& page = codePage();
    out.resize(word.size());
    char* dst = out.data();
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word.at(i);
        if (isKeptCode(c)) {
            dst[i] = static_cast<char>(keptCodeByte(c));
            continue;
        }
        const int byte = page.byteOf(c.unicode());
        if (byte < 0) {
            out.truncate(i);
            return i;
        }
        dst[i] = static_cast<char>(byte);
    }
    return -1;
}

bool isEncodable(QChar c)
{
    return isKeptCode(c) || codePage().byteOf(c.unicode()) >= 0;
}

QString shown(QStringView word)
{
    QString out;
    out.reserve(word.size());
    for (QChar c : word) {
        if (isKeptCode(c))
            out += QStringLiteral("\u27E8%1\u27E9").arg(keptCodeByte(c), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString keptCodesText(QStringView word)
{
    QStringList codes;
    for (QChar c : word) {
        if (isKeptCode(c))
            codes << QStringLiteral("%1").arg(keptCodeByte(c), 2, 16, QLatin1Char('0')).toUpper();
    }
    return codes.join(QLatin1Char(' '));
}

uint8_t fromUnit(char16_t unit)
{
    const auto& page = codePage();
    auto it = page.fromUnit.constFind(unit);
    return it == page.fromUnit.constEnd() ? uint8_t('?') : it.value();
}

bool canEncode(char16_t unit)
{
    return codePage().fromUnit.contains(unit);
}

QByteArray fromUnicode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append('?');
            ++i;
            continue;
        }
        out.append(static_cast<char>(fromUnit(c.unicode())));
    }
    return out;
}

const QLocale& locale()
{
    static const QLocale loc = [] {
        QLocale system = QLocale::system();
        if (system.language() == QLocale::C)
            return QLocale(QLocale::English, QLocale::UnitedStates);
        return system;
    }();
    return loc;
}

const QCollator& collator()
{
    static const QCollator coll = [] {
        QCollator c(locale());
        c.setCaseSensitivity(Qt::CaseSensitive);
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return coll;
}

QString toLower(QStringView word)
{
    const QString whole = locale().toLower(word.toString());
    if (whole.size() == word.size()) {
        // Kept codes and any character whose lower case changes its length
        // keep themselves.
        QString out = whole;
        for (qsizetype i = 0; i < out.size(); ++i) {
            if (isKeptCode(word.at(i)))
                out[i] = word.at(i);
        }
        return out;
    }
    QString out;
    out.reserve(word.size());
    for (QChar c : word) {
        const QString lower = isKeptCode(c) ? QString(c) : locale().toLower(QString(c));
        out += lower.size() == 1 ? lower : QString(c);
    }
    return out;
}

int compare(QStringView a, QStringView b)
{
    const int r = collator().compare(a, b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

QString nowStamp()
{
    const QDateTime now = QDateTime::currentDateTime();
    QString timeFormat = QLocale::system().timeFormat(QLocale::LongFormat);
    // The long time format of the desktop's regional settings carries no
    // time zone; drop Qt's zone token.
    timeFormat.remove(QLatin1String(" t")).remove(QLatin1Char('t'));
    const QString date = QLocale::system().toString(now.date(), QLocale::ShortFormat);
    const QString time = QLocale::system().toString(now.time(), timeFormat.trimmed());
    return date + QLatin1String(" at ") + time;
}

} // namespace vexlon::cp1251
