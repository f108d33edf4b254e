#include "MkData.h"

#include "core/base/Dialogs.h"
#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/ProgramState.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/LangStructure.h"

#include <QHash>
#include <QRegularExpression>

namespace vexlon::mkdata {

QVector<SampleWord> parseSampleSource(const QStringList& lines, const QString& source)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QVector<SampleWord> words;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        SampleWord word;
        word.word = line.section(blanks, 0, 0);
        word.language = line.section(blanks, 1).trimmed();
        word.line = i + 1;
        if (word.language.isEmpty())
            throw SourceError(source, word.line, QStringLiteral("the word \"%1\" has no language").arg(word.word));
        words.append(word);
    }
    if (words.isEmpty())
        throw SourceError(source, 0, QStringLiteral("holds no word"));
    return words;
}

QVector<DictRow> sampleRows(const QVector<SampleWord>& words, const TiTAPStructure& structure, const QString& source)
{
    QHash<QString, int> firstLine; // language id + lower-case word -> line
    QVector<DictRow> rows;
    rows.reserve(words.size());
    for (const SampleWord& sample : words) {
        const TLanguages* language = nullptr;
        const QByteArray languageName = cp1251::fromUnicode(sample.language);
        for (const TLanguages& candidate : structure.Languages) {
            if (candidate.Name == languageName) {
                language = &candidate;
                break;
            }
        }
        if (!language)
            throw SourceError(source, sample.line, QStringLiteral("no language is named \"%1\"").arg(sample.language));
        if (sample.word.size() < 2)
            throw SourceError(source, sample.line, QStringLiteral("\"%1\" is shorter than two letters").arg(sample.word));
        if (sample.word.size() > kMaxWordLength)
            throw SourceError(source, sample.line, QStringLiteral("the word is longer than %1 letters").arg(kMaxWordLength));
        for (const QChar c : sample.word) {
            if (!language->Chars.contains(c.unicode()))
                throw SourceError(source, sample.line, QStringLiteral("\"%1\" in \"%2\" is not a letter of %3")
                                                           .arg(c)
                                                           .arg(sample.word, sample.language));
        }
        const QString key = QString::fromLatin1(byteToHex(language->ID)) + QLatin1Char(':') + cp1251::toLower(sample.word);
        if (firstLine.contains(key))
            throw SourceError(source, sample.line, QStringLiteral("\"%1\" (%2) repeats the word of line %3")
                                                       .arg(sample.word, sample.language)
                                                       .arg(firstLine.value(key)));
        firstLine.insert(key, sample.line);

        DictRow row;
        row.word = sample.word;
        row.number = QByteArray::number(rows.size() + 1);
        row.languageId = byteToHex(language->ID);
        row.language = LanguageName(structure, language->ID);
        row.status = status::UsersDictionary;
        rows.append(row);
    }
    return rows;
}

QByteArray buildSampleDictionary(const QVector<DictRow>& rows, const TiTAPStructure& structure, const QByteArray& trailer)
{
    SilentDialogs dialogs;
    ProgramState state;
    state.settings = TSettings {};
    state.langStructure = structure;
    state.dialogs = &dialogs;
    return BuildDictionary(rows, state, trailer);
}

} // namespace vexlon::mkdata
