#include "core/dictionary/Letters.h"

#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/dictionary/LangStructure.h"

namespace vexlon {

namespace {

std::optional<uint8_t> languageOf(const QByteArray& languageIdText)
{
    const std::optional<int32_t> id = tryHexToInt(languageIdText);
    if (!id)
        return std::nullopt;
    return static_cast<uint8_t>(*id & 0xFF);
}

QString letterName(QChar c)
{
    return QStringLiteral("\"%1\" (U+%2)")
        .arg(c.isPrint() ? QString(c) : QString(), QString::number(c.unicode(), 16).rightJustified(4, QLatin1Char('0')).toUpper());
}

QString languageText(const ProgramState& state, uint8_t id)
{
    return QStringLiteral("%1 (%2)").arg(cp1251::toUnicode(LanguageName(state.langStructure, id)), QString::fromLatin1(byteToHex(id)));
}

QString cannotStoreReason(const ProgramState& state, QChar c, uint8_t id)
{
    if (state.settings.iTAPModification == 0)
        return QStringLiteral("the phone has no code for %1 in %2").arg(letterName(c), languageText(state, id));
    return QStringLiteral("%1 is not in Windows-1251, which iTAP Modification 2 stores").arg(letterName(c));
}

} // namespace

LetterChecker::LetterChecker(const ProgramState& state) : m_state(state)
{
}

LetterChecker::~LetterChecker() = default;

CharTranslator& LetterChecker::translator()
{
    if (!m_translator || m_mode != m_state.settings.iTAPModification) {
        m_mode = m_state.settings.iTAPModification;
        m_translator = std::make_unique<CharTranslator>(m_state.langStructure, m_mode);
    }
    return *m_translator;
}

QVector<LetterNote> LetterChecker::check(QStringView word, const QByteArray& languageIdText)
{
    QVector<LetterNote> notes;
    CharTranslator& t = translator();
    const uint8_t code = languageOf(languageIdText).value_or(0xFF);
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word.at(i);
        if (cp1251::isKeptCode(c)) {
            notes.append({i, c, true, QStringLiteral("the phone code %1 stands for no letter here and is kept as it is")
                                          .arg(cp1251::keptCodesText(QString(c)))});
        } else if (!t.encode(code, c)) {
            notes.append({i, c, false, cannotStoreReason(m_state, c, code)});
        } else if (c.isLetter() && t.hasLetterTable(code) && !t.isLanguageLetter(code, c)) {
            notes.append({i, c, true, QStringLiteral("%1 is not a letter of %2; it is stored as its Windows-1251 byte")
                                          .arg(letterName(c), languageText(m_state, code))});
        }
    }
    return notes;
}

qsizetype LetterChecker::firstUnstorable(QStringView word, const QByteArray& languageIdText)
{
    QByteArray codes;
    return translator().encodeWord(languageOf(languageIdText).value_or(0xFF), word, codes);
}

QVector<LetterNote> CheckLetters(const ProgramState& state, QStringView word, const QByteArray& languageIdText)
{
    return LetterChecker(state).check(word, languageIdText);
}

qsizetype FirstUnstorableLetter(const ProgramState& state, QStringView word, const QByteArray& languageIdText)
{
    return LetterChecker(state).firstUnstorable(word, languageIdText);
}

QString unstorableLetterText(const ProgramState& state, QStringView word, qsizetype position, uint8_t id)
{
    return QStringLiteral("The word \"%1\" cannot be written to the phone's dictionary: %2. Change the letter or the "
                          "word's language, or save the words as a CSV file in UTF-8.")
        .arg(printable(cp1251::shown(word)), cannotStoreReason(state, word.at(position), id));
}

} // namespace vexlon
