// What the phone can store of a word in a language: every character needs a
// phone code of that language, and a letter the language's table does not
// list is stored as its code-page byte, which the phone may not show as that
// letter.
#pragma once

#include "core/base/ProgramState.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <memory>

namespace vexlon {

struct LetterNote {
    qsizetype position = 0;
    QChar letter;
    // False: the phone cannot store the character at all, and the word
    // cannot be written to a dictionary file.
    bool storable = true;
    QString reason;
};

class CharTranslator;

// Checks many words with one set of translation tables, rebuilt when the
// code translation mode of the settings changes.
class LetterChecker {
public:
    explicit LetterChecker(const ProgramState& state);
    ~LetterChecker();
    QVector<LetterNote> check(QStringView word, const QByteArray& languageIdText);
    qsizetype firstUnstorable(QStringView word, const QByteArray& languageIdText);

private:
    CharTranslator& translator();

    const ProgramState& m_state;
    int32_t m_mode = 0;
    std::unique_ptr<CharTranslator> m_translator;
};

// The characters of a word that are worth a note in the language whose ID
// text is given (a text that is not hexadecimal is read as no language the
// structure has), in word order, one note per character.
QVector<LetterNote> CheckLetters(const ProgramState& state, QStringView word, const QByteArray& languageIdText);

// The first character of the word the phone cannot store in that language,
// or -1.
qsizetype FirstUnstorableLetter(const ProgramState& state, QStringView word, const QByteArray& languageIdText);

// The message for a word whose character at position the phone cannot store
// in the language id.
QString unstorableLetterText(const ProgramState& state, QStringView word, qsizetype position, uint8_t id);

} // namespace vexlon
