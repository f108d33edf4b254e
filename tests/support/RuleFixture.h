// A program state over a temporary program directory with a small language
// structure, scripted dialogs and numbered UI texts, for the word rule tests.
#pragma once

#include "core/base/ProgramState.h"
#include "core/base/Settings.h"
#include "core/dictionary/DictionaryTable.h"
#include "core/dictionary/LangStructure.h"
#include "support/LangStructureBytes.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDirFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vexlon::test {

// The bytes of a language structure file with the given (id, name) pairs and
// no character tables.
inline QByteArray smallLangStructure(const std::vector<std::pair<uint8_t, QByteArray>>& languages)
{
    std::vector<LangSpec> entries;
    for (const auto& [id, name] : languages)
        entries.push_back({id, name, {}});
    return langStructureBytes(entries);
}

inline std::vector<std::pair<uint8_t, QByteArray>> testLanguages()
{
    return {{0x01, "English"}, {0x02, "Russian"}, {0x0A, "German"}};
}

class RuleFixture : public TempDirFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        state.programDirectory = dir.path() + QLatin1Char('/');
        state.dialogs = &dialogs;
        SetDefaultSettings(state.settings);
        QDir(dir.path()).mkpath(QStringLiteral("Lists"));
        QDir(dir.path()).mkpath(QStringLiteral("TempFile"));
        ASSERT_TRUE(ParseLangStructure(smallLangStructure(testLanguages()), state.langStructure));
        for (int i = 0; i < 20; ++i)
            state.texts.stat << QStringLiteral("STAT%1").arg(i);
        for (int i = 0; i < 35; ++i)
            state.texts.messages << QStringLiteral("M%1").arg(i);
    }

    static DictRow row(const QByteArray& word, const QByteArray& id = "01", const QByteArray& status = status::UsersDictionary,
                       const QByteArray& number = "1")
    {
        DictRow r;
        r.word = word;
        r.number = number;
        r.languageId = id;
        r.language = "L" + id;
        r.status = status;
        return r;
    }
    void add(const QByteArray& word, const QByteArray& id = "01", const QByteArray& status = status::UsersDictionary)
    {
        table.append(row(word, id, status, QByteArray::number(table.count() + 1)));
    }
    void select(std::initializer_list<int> indexes, bool on = true)
    {
        for (int i : indexes)
            table.setSelected(i, on);
    }
    // Sets a list's entries and its count together.
    template <class List>
    static void setItems(List& list, decltype(List::Items) items)
    {
        list.Items = std::move(items);
        list.Count = static_cast<int>(list.Items.size());
    }
    QList<QByteArray> words() const
    {
        QList<QByteArray> out;
        for (const DictRow& r : table.rows())
            out << r.word;
        return out;
    }
    // A list's count and entries as "word/number/id" texts, to compare whole lists.
    template <class List>
    static QList<QByteArray> entries(const List& list)
    {
        QList<QByteArray> out {QByteArray::number(list.Count)};
        for (const auto& item : list.Items) {
            int32_t number = 0;
            if constexpr (requires { item.Rating; })
                number = item.Rating;
            else
                number = item.Number;
            out << item.Word + '/' + QByteArray::number(number) + '/' + QByteArray::number(item.LanguageID);
        }
        return out;
    }

    ScriptedDialogs dialogs;
    ProgramState state;
    DictionaryTable table;
};

} // namespace vexlon::test
