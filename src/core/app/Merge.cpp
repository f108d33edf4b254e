#include "core/app/Merge.h"

#include "core/app/DictionaryFiles.h"
#include "core/app/History.h"
#include "core/base/CodePage1251.h"
#include "core/base/Convert.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "core/dictionary/Cleaning.h"
#include "core/dictionary/CsvTextFiles.h"
#include "core/dictionary/Editing.h"
#include "core/dictionary/ItudFile.h"
#include "core/dictionary/KeyboardFiles.h"
#include "core/dictionary/LangStructure.h"
#include "core/dictionary/Letters.h"
#include "core/dictionary/TableOps.h"
#include "core/dictionary/WordIndex.h"
#include "core/lists/Statistics.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace vexlon {

namespace {

// A source that is missing is an error, never an empty source.
void requireFile(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        const QString reason = unreachableNameReason(path);
        throw FileError::cannotOpen(path, reason.isEmpty() ? QStringLiteral("No such file or directory") : reason);
    }
}

QByteArray readSource(const QString& path)
{
    requireFile(path);
    return readWholeFile(path, kMaxDictionaryFileBytes);
}

// The language of a word that came without one: given, or chosen by the
// user; nothing when the user chose none.
std::optional<uint8_t> languageFor(const ProgramState& state, const QString& what, std::optional<uint8_t> given)
{
    if (given)
        return given;
    const QStringList names = languageChoices(state.langStructure);
    const uint8_t chosen = state.ui().chooseLanguage(QStringLiteral("The language of %1:").arg(what),
                                                     state.texts.MESSAGES(7), state.texts.MESSAGES(8), names);
    if (chosen == kNoLanguage || chosen >= state.langStructure.Languages.size())
        return std::nullopt;
    return state.langStructure.Languages.at(chosen).ID;
}

DictRow incomingRow(const ProgramState& state, const QString& word, uint8_t id, const char* status)
{
    DictRow row;
    row.word = word;
    row.languageId = byteToHex(id);
    row.language = LanguageName(state.langStructure, id);
    row.status = status;
    return row;
}

MergeItem incomingItem(DictRow row, const QString& source, int line)
{
    MergeItem item;
    item.row = std::move(row);
    item.source = source;
    item.line = line;
    return item;
}

void addSkips(MergePlan& plan, const QString& source, const QVector<SkippedLine>& skipped)
{
    for (const SkippedLine& s : skipped)
        plan.skipped.append(MergeSkip {source, s.line, s.text, s.reason});
}

// The language of a row as the byte a record keeps, or nothing when its ID
// text is not hexadecimal.
std::optional<uint8_t> rowLanguage(const DictRow& row)
{
    const std::optional<int32_t> id = tryHexToInt(row.languageId);
    if (!id)
        return std::nullopt;
    return static_cast<uint8_t>(*id & 0xFF);
}

// Takes the rows of the open dictionary that a fit proposal added out of
// the plan.
void dropExistingRows(MergePlan& plan)
{
    plan.items.erase(std::remove_if(plan.items.begin(), plan.items.end(), [](const MergeItem& i) { return i.isExisting(); }),
                     plan.items.end());
}

QString languageText(const DictRow& row)
{
    return QStringLiteral("%1 (%2)").arg(cp1251::toUnicode(row.language), QString::fromLatin1(row.languageId));
}

} // namespace

SourceKind guessSourceKind(const QString& path, const QByteArray& bytes)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("iud"))
        return SourceKind::Dictionary;
    if (suffix == QLatin1String("csv"))
        return SourceKind::Csv;
    if (looksLikeZip(bytes) || looksLikeGboardText(bytes))
        return SourceKind::Gboard;
    // A word list gives one word a line; a text gives every word between
    // blanks.
    QByteArray text = bytes;
    const QString decoded = decodeText(text, takeEncoding(text));
    for (QStringView line : QStringTokenizer(decoded, QLatin1Char('\n'))) {
        if (line.trimmed().contains(QLatin1Char(' ')) || line.trimmed().contains(QLatin1Char('\t')))
            return SourceKind::Text;
    }
    return SourceKind::WordList;
}

QString sourceKindName(SourceKind kind)
{
    switch (kind) {
    case SourceKind::Dictionary: return QStringLiteral("dictionary");
    case SourceKind::Csv: return QStringLiteral("csv");
    case SourceKind::Text: return QStringLiteral("text");
    case SourceKind::WordList: return QStringLiteral("words");
    case SourceKind::Gboard: return QStringLiteral("gboard");
    }
    return {};
}

std::optional<SourceKind> sourceKindFromName(const QString& name)
{
    for (SourceKind kind : {SourceKind::Dictionary, SourceKind::Csv, SourceKind::Text, SourceKind::WordList, SourceKind::Gboard}) {
        if (sourceKindName(kind) == name)
            return kind;
    }
    return std::nullopt;
}

QString fateText(Fate fate)
{
    switch (fate) {
    case Fate::LacksLetters: return QStringLiteral("letters its language lacks");
    case Fate::Present: return QStringLiteral("already present");
    case Fate::BlackListed: return QStringLiteral("black-listed");
    case Fate::TooShort: return QStringLiteral("shorter than the minimum length");
    case Fate::CaseOnly: return QStringLiteral("differs only in case");
    case Fate::OtherLanguage: return QStringLiteral("same word in another language");
    case Fate::New: return QStringLiteral("new");
    case Fate::DoesNotFit: return QStringLiteral("does not fit");
    }
    return {};
}

namespace {

bool readMergeSource(Editor& editor, const QString& path, SourceKind kind, MergePlan& plan, std::optional<uint8_t> language);

} // namespace

bool ReadMergeSource(Editor& editor, const QString& path, SourceKind kind, MergePlan& plan, std::optional<uint8_t> language)
{
    try {
        return readMergeSource(editor, path, kind, plan, language);
    } catch (const FileError&) {
        throw; // names the file already
    } catch (const VexlonError& e) {
        // With several sources, the user learns which one it was.
        throw VexlonError(QStringLiteral("File \"%1\": %2").arg(printable(path), e.message()));
    }
}

namespace {

bool readMergeSource(Editor& editor, const QString& path, SourceKind kind, MergePlan& plan, std::optional<uint8_t> language)
{
    const ProgramState& state = editor.state;
    const QString source = QFileInfo(path).fileName();
    const QString what = QStringLiteral("the words of \"%1\"").arg(printable(source));
    MergePlan read = plan;
    read.sources.append(source);

    auto takeRows = [&](const QVector<DictRow>& rows) {
        for (int i = 0; i < rows.size(); ++i) {
            DictRow row = rows.at(i);
            row.selected = false;
            read.items.append(incomingItem(std::move(row), source, i + 1));
        }
    };

    switch (kind) {
    case SourceKind::Dictionary: {
        // Only the words are taken: unlike opening, reading a source keeps
        // the saved trailer and the backup copy as they are, and a file of
        // another size (another phone's) is as good a source as any.
        takeRows(ParseDictionary(readSource(path), state));
        break;
    }
    case SourceKind::Csv: {
        DictionaryTable table;
        requireFile(path);
        ReadCsvFile(state, table, path);
        takeRows(table.rows());
        break;
    }
    case SourceKind::Text: {
        DictionaryTable table;
        requireFile(path);
        ReadTextFile(state, table, path);
        std::optional<uint8_t> id;
        int index = 0;
        for (const DictRow& row : table.rows()) {
            ++index;
            if (row.word.isEmpty())
                continue;
            if (!id && !(id = languageFor(state, what, language)))
                return false;
            read.items.append(incomingItem(incomingRow(state, row.word, *id, status::TextFile), source, index));
        }
        break;
    }
    case SourceKind::WordList: {
        const KeyboardWords words = ParseWordList(readSource(path));
        addSkips(read, source, words.skipped);
        std::optional<uint8_t> id;
        for (const KeyboardWord& word : words.words) {
            if (!id && !(id = languageFor(state, what, language)))
                return false;
            read.items.append(incomingItem(incomingRow(state, word.word, *id, status::TextFile), source, word.line));
        }
        break;
    }
    case SourceKind::Gboard: {
        QByteArray bytes = readSource(path);
        if (looksLikeZip(bytes))
            bytes = ExtractGboardText(bytes);
        const KeyboardWords words = ParseGboardText(bytes);
        addSkips(read, source, words.skipped);
        // Each locale the structure has no language for is asked once.
        QHash<QString, uint8_t> chosen;
        for (const KeyboardWord& word : words.words) {
            std::optional<uint8_t> id = languageOfLocale(state.langStructure, word.locale);
            if (!id) {
                const QString locale = word.locale.trimmed();
                auto it = chosen.constFind(locale);
                if (it == chosen.constEnd()) {
                    const QString whose = locale.isEmpty()
                                              ? QStringLiteral("the words of \"%1\" without a locale").arg(printable(source))
                                              : QStringLiteral("the words of \"%1\" with the locale \"%2\"")
                                                    .arg(printable(source), printable(locale));
                    const std::optional<uint8_t> answer = languageFor(state, whose, language);
                    if (!answer)
                        return false;
                    it = chosen.insert(locale, *answer);
                }
                id = it.value();
            }
            read.items.append(incomingItem(incomingRow(state, word.word, *id, status::TextFile), source, word.line));
        }
        break;
    }
    }
    plan = std::move(read);
    return true;
}

} // namespace

void AssessMerge(const Editor& editor, MergePlan& plan)
{
    const ProgramState& state = editor.state;
    const DictionaryTable& table = editor.table;
    dropExistingRows(plan);

    // What the dictionary holds: exact pairs, case-folded pairs and the
    // languages of each exact word.
    QHash<QString, QString> exact;  // word-and-language key -> the word
    QHash<QString, QString> folded; // folded word-and-language key -> the note
    QHash<QString, QString> anyLanguage; // word -> the language it has
    auto remember = [&](const DictRow& row, bool incoming) {
        const QString language = languageKey(row.languageId);
        exact.insert(language + row.word, row.word);
        const QString foldedKey = language + row.word.toCaseFolded();
        if (!folded.contains(foldedKey))
            folded.insert(foldedKey, (incoming ? QStringLiteral("An earlier word of the sources is \"%1\".")
                                               : QStringLiteral("The dictionary holds \"%1\"."))
                                         .arg(row.word));
        if (!anyLanguage.contains(row.word))
            anyLanguage.insert(row.word, languageText(row));
    };
    for (const DictRow& row : table.rows())
        remember(row, false);

    FirstEntryIndex black;
    black.build(state.blackList.Items);
    LetterChecker letters(state);
    const int minimum = state.settings.MinWordLength;

    for (MergeItem& item : plan.items) {
        const DictRow& row = item.row;
        const QString language = languageKey(row.languageId);
        const std::optional<uint8_t> id = rowLanguage(row);
        item.note.clear();
        item.checkable = true;
        const qsizetype unstorable = letters.firstUnstorable(row.word, row.languageId);
        if (unstorable >= 0) {
            item.assessed = Fate::LacksLetters;
            item.checkable = false;
            item.note = id ? unstorableLetterText(state, row.word, unstorable, *id)
                           : QStringLiteral("The language ID \"%1\" is not a number.").arg(QString::fromLatin1(row.languageId));
        } else if (row.word.size() > kMaxWordLength) {
            item.assessed = Fate::LacksLetters;
            item.checkable = false;
            item.note = QStringLiteral("Longer than the %1 characters a dictionary record holds.").arg(kMaxWordLength);
        } else if (exact.contains(language + row.word)) {
            item.assessed = Fate::Present;
            item.checkable = false;
        } else if (id && black.contains(row.word, *id)) {
            item.assessed = Fate::BlackListed;
        } else if (row.word.size() < minimum || row.word.size() < 2) {
            item.assessed = Fate::TooShort;
            item.checkable = row.word.size() >= 2;
            item.note = QStringLiteral("The minimum length is %1.").arg(minimum);
        } else if (const auto it = folded.constFind(language + row.word.toCaseFolded()); it != folded.constEnd()) {
            item.assessed = Fate::CaseOnly;
            item.note = it.value();
        } else if (const auto other = anyLanguage.constFind(row.word); other != anyLanguage.constEnd()) {
            item.assessed = Fate::OtherLanguage;
            item.note = QStringLiteral("The dictionary holds it in %1.").arg(other.value());
        } else {
            item.assessed = Fate::New;
        }
        item.fate = item.assessed;
        item.checked = item.fate == Fate::New || item.fate == Fate::OtherLanguage;
        // A later copy of a word taken is already present; so is a copy of
        // one the user would have to check, so that checking it never adds
        // the word twice.
        if (item.fate != Fate::LacksLetters && item.fate != Fate::Present)
            remember(row, true);
    }
}

MergeCapacity mergeCapacity(const Editor& editor, const MergePlan& plan)
{
    MergeCapacity capacity;
    capacity.size = editor.state.settings.UsersDictionarySize;
    capacity.freeBefore = FreeBytes(editor.state, editor.table);
    capacity.wordsBefore = editor.table.count();
    int64_t free = capacity.freeBefore;
    for (const MergeItem& item : plan.items) {
        if (item.isExisting() && !item.checked) {
            free += recordSize(item.row.word.size());
            ++capacity.removed;
        } else if (!item.isExisting() && item.checked) {
            free -= recordSize(item.row.word.size());
            ++capacity.added;
        }
    }
    capacity.freeAfter = static_cast<int32_t>(std::clamp<int64_t>(free, INT32_MIN, INT32_MAX));
    capacity.wordsAfter = capacity.wordsBefore + capacity.added - capacity.removed;
    return capacity;
}

bool ProposeFit(const Editor& editor, MergePlan& plan)
{
    // Take back an earlier proposal.
    dropExistingRows(plan);
    for (MergeItem& item : plan.items) {
        if (item.fate == Fate::DoesNotFit) {
            item.fate = item.assessed;
            item.checked = true;
        }
    }
    int64_t free = FreeBytes(editor.state, editor.table);
    for (const MergeItem& item : plan.items) {
        if (item.checked)
            free -= recordSize(item.row.word.size());
    }
    if (free > 0)
        return true;

    // The candidates: every row of the merged dictionary that is not
    // protected, the dictionary's rows first, then the checked incoming
    // words; position orders them in that sequence.
    struct Candidate {
        int position;
        int item;     // incoming item, or -1
        int tableRow; // dictionary row, or -1
        int32_t rating;
        qsizetype length;
    };
    QHash<QString, int32_t> ratings;
    for (const TSTATLST_ITEM& entry : editor.state.statisticList.Items) {
        const QString key = wordKey(entry.Word, entry.LanguageID);
        if (!ratings.contains(key))
            ratings.insert(key, entry.Rating);
    }
    auto ratingOf = [&](const DictRow& row) -> int32_t {
        const std::optional<uint8_t> id = rowLanguage(row);
        return id ? ratings.value(wordKey(row.word, *id), 0) : 0;
    };
    QVector<Candidate> candidates;
    int position = 0;
    for (int r = 0; r < editor.table.count(); ++r, ++position) {
        const DictRow& row = editor.table.row(r);
        if (!row.isProtected())
            candidates.append(Candidate {position, -1, r, ratingOf(row), row.word.size()});
    }
    for (int i = 0; i < plan.items.size(); ++i, ++position) {
        const MergeItem& item = plan.items.at(i);
        if (item.checked && !item.row.isProtected())
            candidates.append(Candidate {position, i, -1, ratingOf(item.row), item.row.word.size()});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (const int byRating = CompareRatings(a.rating, b.rating); byRating != 0)
            return byRating > 0; // the lower rating first
        // The user's own words go only after the incoming words of their
        // rating.
        if ((a.item >= 0) != (b.item >= 0))
            return a.item >= 0;
        if (a.length != b.length)
            return a.length > b.length;
        return a.position > b.position;
    });

    QVector<MergeItem> leftOut;
    for (const Candidate& candidate : candidates) {
        if (free > 0)
            break;
        if (candidate.item >= 0) {
            MergeItem& item = plan.items[candidate.item];
            item.checked = false;
            item.fate = Fate::DoesNotFit;
            free += recordSize(item.row.word.size());
        } else {
            MergeItem item;
            item.row = editor.table.row(candidate.tableRow);
            item.row.selected = false;
            item.tableRow = candidate.tableRow;
            item.line = candidate.tableRow + 1;
            item.fate = Fate::DoesNotFit;
            item.assessed = Fate::Present;
            item.checked = false;
            item.note = QStringLiteral("A word of the open dictionary.");
            leftOut.append(item);
            free += recordSize(item.row.word.size());
        }
    }
    std::sort(leftOut.begin(), leftOut.end(), [](const MergeItem& a, const MergeItem& b) { return a.tableRow < b.tableRow; });
    plan.items += leftOut;
    return free > 0;
}

MergeResult ApplyMerge(Editor& editor, const MergePlan& plan)
{
    MergeResult result;
    StepRecorder step(editor, QStringLiteral("Merge"));
    {
        UpdateScope update(editor.table);
        QVector<int> removals;
        for (const MergeItem& item : plan.items) {
            if (item.isExisting() && !item.checked && item.tableRow < editor.table.count())
                removals.append(item.tableRow);
        }
        std::sort(removals.begin(), removals.end(), std::greater<int>());
        removals.erase(std::unique(removals.begin(), removals.end()), removals.end());
        for (int row : removals)
            editor.table.removeAt(row);
        result.removed = static_cast<int>(removals.size());
        // The dictionary's words keep their numbers, and with them their
        // order on the phone; the merged words follow the highest.
        int64_t next = 0;
        for (const DictRow& row : editor.table.rows()) {
            if (const std::optional<int32_t> number = tryStrToInt(row.number); number && *number > next)
                next = *number;
        }
        for (const MergeItem& item : plan.items) {
            if (!item.isExisting() && item.checked) {
                DictRow row = item.row;
                row.number = QByteArray::number(++next);
                editor.table.append(row);
                ++result.added;
            }
        }
        if (result.added > 0 || result.removed > 0)
            editor.table.modified = true;
    }
    RefreshDictionaryStatus(editor.state, editor.table);
    QString report = QStringLiteral("Merge added %1").arg(wordsText(result.added));
    if (result.removed > 0)
        report += QStringLiteral(" and removed %1 of the dictionary").arg(wordsText(result.removed));
    step.setReport(report);
    step.finish();
    return result;
}

namespace {

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString itemResult(const MergeItem& item)
{
    if (item.isExisting())
        return item.checked ? QStringLiteral("kept") : QStringLiteral("removed");
    return item.checked ? QStringLiteral("added") : QStringLiteral("left out");
}

} // namespace

QByteArray BuildMergeReport(const ProgramState& state, const MergePlan& plan)
{
    (void)state;
    QStringList lines;
    lines << QStringLiteral("Source;Line;Word;Language ID;Language;Fate;Result;Note");
    auto line = [&](const QStringList& fields) {
        QStringList quoted;
        for (const QString& field : fields)
            quoted << csvField(field);
        lines << quoted.join(QLatin1Char(';'));
    };
    for (const MergeItem& item : plan.items) {
        line({item.isExisting() ? QStringLiteral("dictionary") : item.source, QString::number(item.line), item.row.word,
              QString::fromLatin1(item.row.languageId), cp1251::toUnicode(item.row.language), fateText(item.fate),
              itemResult(item), item.note});
    }
    for (const MergeSkip& skip : plan.skipped)
        line({skip.source, QString::number(skip.line), skip.text, QString(), QString(), QStringLiteral("not read"),
              QStringLiteral("skipped"), skip.reason});
    QByteArray bytes(kUtf8Bom);
    for (const QString& text : lines)
        bytes += text.toUtf8() + "\r\n";
    return bytes;
}

bool MergeCommand(Editor& editor, const QStringList& paths, const std::function<bool(MergePlan&)>& preview)
{
    if (paths.isEmpty())
        return false;
    MergePlan plan;
    for (const QString& path : paths) {
        if (!ReadMergeSource(editor, path, guessSourceKind(path, readSource(path)), plan))
            return false;
    }
    AssessMerge(editor, plan);
    if (!mergeCapacity(editor, plan).fitsAfter())
        ProposeFit(editor, plan);
    if (!preview(plan))
        return false;
    const MergeResult result = ApplyMerge(editor, plan);
    return result.added > 0 || result.removed > 0;
}

QByteArray ExportDictionary(const ProgramState& state, const DictionaryTable& table, ExportFormat format)
{
    if (format == ExportFormat::WordList) {
        QStringList words;
        for (const DictRow& row : table.rows())
            words << row.word;
        return BuildWordList(words);
    }
    QHash<int, QString> locales;
    QVector<KeyboardWord> words;
    words.reserve(table.count());
    for (int i = 0; i < table.count(); ++i) {
        const DictRow& row = table.row(i);
        KeyboardWord word;
        word.word = row.word;
        word.line = i + 1;
        if (const std::optional<uint8_t> id = rowLanguage(row)) {
            auto it = locales.constFind(*id);
            if (it == locales.constEnd())
                it = locales.insert(*id, localeOfLanguage(state.langStructure, *id));
            word.locale = it.value();
        }
        words.append(word);
    }
    const QByteArray text = BuildGboardText(words);
    return format == ExportFormat::GboardZip ? BuildGboardZip(text) : text;
}

void ExportDictionaryFile(const ProgramState& state, const DictionaryTable& table, ExportFormat format, const QString& path)
{
    writeFileSafely(path, ExportDictionary(state, table, format));
}

} // namespace vexlon
