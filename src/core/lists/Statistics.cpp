#include "core/lists/Statistics.h"

#include "core/base/Convert.h"
#include "core/dictionary/LangStructure.h"
#include "core/dictionary/TableOps.h"
#include "core/dictionary/WordIndex.h"
#include "core/lists/ListCommands.h"
#include "core/lists/ListFiles.h"

#include <QSet>
#include <algorithm>
#include <limits>

namespace vexlon {

void CountRatingUp(int32_t& rating)
{
    // In the order ratings compare in, both the largest positive rating and
    // the largest 32-bit value (-1) are the top; neither may pass it.
    if (rating != std::numeric_limits<int32_t>::max() && rating != -1)
        ++rating;
}

int CompareRatings(int32_t a, int32_t b)
{
    const auto x = static_cast<uint32_t>(a);
    const auto y = static_cast<uint32_t>(b);
    return y > x ? 1 : (y < x ? -1 : 0);
}

bool AddToStatistic(ProgramState& state, const QString& word, uint8_t languageId)
{
    TSTATLST& list = state.statisticList;
    for (TSTATLST_ITEM& item : list.Items) {
        if (item.Word == word && item.LanguageID == languageId) {
            CountRatingUp(item.Rating);
            return true;
        }
    }
    TSTATLST_ITEM item;
    item.Word = word;
    item.Rating = 1;
    item.LanguageID = languageId;
    item.LanguageTitle = LanguageName(state.langStructure, languageId);
    list.Items.append(item);
    list.Count = static_cast<int>(list.Items.size());
    return false;
}

void UpdateStatistic(ProgramState& state, const DictionaryTable& table)
{
    TSTATLST& list = state.statisticList;
    int refused = 0;
    QString firstRefused;
    {
        ProgressScope progress(state.ui(), state.texts.STAT(16));
        // The first entry of each pair, as the search from the top finds it.
        FirstEntryIndex index;
        index.reserve(list.Items.size() + table.count());
        index.build(list.Items);
        const int last = table.count() - 1;
        // Rows of one language follow each other; the ID text of the row
        // before is not read again.
        QByteArray idText;
        uint8_t id = 0;
        // New entries of a language share its title.
        QByteArray title;
        int titleId = -1;
        list.Items.reserve(list.Items.size() + table.count());
        for (int i = 0; i < table.count(); ++i) {
            const DictRow& row = table.row(i);
            if (i == 0 || row.languageId != idText) {
                id = static_cast<uint8_t>(rowLanguageId(row) & 0xFF);
                idText = row.languageId;
            }
            progress.show(i, last);
            // A word the list file cannot hold is never recorded as a new entry.
            const bool storable = listCanStore(row.word);
            const int at = storable ? index.findOrAppend(row.word, id, static_cast<int>(list.Items.size()))
                                    : index.find(row.word, id);
            if (at >= 0) {
                CountRatingUp(list.Items[at].Rating);
                continue;
            }
            if (!storable) {
                if (refused++ == 0)
                    firstRefused = row.word;
                continue;
            }
            TSTATLST_ITEM item;
            item.Word = row.word;
            item.Rating = 1;
            item.LanguageID = id;
            if (titleId != id) {
                title = LanguageName(state.langStructure, id);
                titleId = id;
            }
            item.LanguageTitle = title;
            list.Items.append(std::move(item));
            list.Count = static_cast<int>(list.Items.size());
        }
    }
    if (refused > 0)
        state.ui().message(unstorableWordsText(refused, firstRefused));
}

int CompareByRating(const QByteArray& ratingA, const QByteArray& ratingB)
{
    return CompareRatings(strToInt(ratingA), strToInt(ratingB));
}

void SortStatisticByRating(TSTATLST& list)
{
    std::stable_sort(list.Items.begin(), list.Items.end(), [](const TSTATLST_ITEM& a, const TSTATLST_ITEM& b) {
        return CompareRatings(a.Rating, b.Rating) < 0;
    });
}

int statisticWordCost(const QString& word)
{
    return recordSize(word.size());
}

void FillDictionaryFromStatistic(const ProgramState& state, DictionaryTable& table)
{
    const int32_t type = state.settings.StatisticType;
    const TSTATLST& list = state.statisticList;
    auto entryRow = [&](const TSTATLST_ITEM& item, int line, const QByteArray& number) {
        DictRow row;
        row.word = item.Word;
        row.number = number;
        row.languageId = byteToHex(item.LanguageID);
        row.language = LanguageName(state.langStructure, item.LanguageID);
        row.status = QStringLiteral("Reiting: %1; Line: %2").arg(item.Rating).arg(line).toLatin1();
        return row;
    };
    {
        UpdateScope update(table);
        if (type == 0) {
            table.clear();
            ApplyWhiteList(state, table);
            const int32_t free = FreeBytes(state, table);
            int64_t used = 0;
            QVector<DictRow> rows = table.rows();
            for (qsizetype i = 0; i < list.Items.size() && used < free; ++i) {
                rows.append(entryRow(list.Items.at(i), static_cast<int>(i) + 1, "00"));
                used += statisticWordCost(list.Items.at(i).Word);
            }
            table.replaceAll(std::move(rows));
        } else if (type == 1) {
            ApplyWhiteList(state, table);
            const QByteArray number = QByteArray::number(table.count() + 1);
            const int32_t free = FreeBytes(state, table);
            int64_t used = 0;
            QSet<QString> present;
            present.reserve(table.count());
            for (const DictRow& row : table.rows())
                present.insert(row.word);
            QVector<DictRow> rows = table.rows();
            for (qsizetype i = 0; i < list.Items.size(); ++i) {
                const TSTATLST_ITEM& item = list.Items.at(i);
                if (present.contains(item.Word))
                    continue;
                if (used >= free)
                    break;
                rows.append(entryRow(item, static_cast<int>(i) + 1, number));
                present.insert(item.Word);
                used += statisticWordCost(item.Word);
            }
            table.replaceAll(std::move(rows));
        }
    }
    // The estimate lets the last word overshoot: take rows off the bottom
    // until a byte is free again. An empty table that still does not fit
    // (a capacity below 20 bytes) ends the trimming.
    int32_t free = FreeBytes(state, table);
    if (free < 1 && !table.isEmpty()) {
        UpdateScope update(table);
        QVector<DictRow> rows = table.rows();
        while (free < 1 && !rows.isEmpty()) {
            free += recordSize(rows.constLast().word.size());
            rows.removeLast();
        }
        table.replaceAll(std::move(rows));
    }
    RefreshDictionaryStatus(state, table);
}

} // namespace vexlon
