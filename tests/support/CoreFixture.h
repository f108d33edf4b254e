// A program state over a temporary program directory: the test languages,
// default settings, scripted dialogs, numbered UI texts and a table, with the
// directory's files read and written by name; and a disk that fills up.
#pragma once

#include "core/base/Dialogs.h"
#include "core/base/CodePage1251.h"
#include "core/base/ProgramState.h"
#include "core/base/Settings.h"
#include "core/dictionary/DictionaryTable.h"
#include "core/dictionary/LangStructure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <deque>
#include <gtest/gtest.h>
#include <stdexcept>
#include <utility>
#include <sys/resource.h>
#include <vector>

namespace vexlon::test {

// A language structure file's bytes: each language as (id, name, {code, unit} pairs).
struct TestLanguage {
    uint8_t id;
    QByteArray name;
    std::vector<std::pair<uint8_t, char16_t>> chars;
};
inline QByteArray langStructureBytes(const std::vector<TestLanguage>& languages, uint16_t version = 1)
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
        const TestLanguage& l = languages[i];
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

// Dialogs that answer from queues the test fills and record, in order,
// everything the core showed, the progress display included.
class ScriptedDialogs : public IDialogs {
public:
    struct Question {
        QString text;
        ConfirmKind kind;
    };

    // Next answers to confirm and chooseLanguage. An unscripted question
    // fails the test through an exception.
    std::deque<bool> answers;
    std::deque<uint8_t> languages;

    std::vector<Question> questions;
    QStringList messages;
    QStringList languagePrompts;
    QStringList captions;        // every non-empty activity caption, in order
    std::vector<std::pair<int, int>> progressCalls; // position, maximum
    QString caption;             // the caption showing now
    int statusRefreshes = 0;

    bool confirm(const QString& text, ConfirmKind kind) override
    {
        questions.push_back({text, kind});
        if (answers.empty())
            throw std::logic_error("unscripted question: " + text.toStdString());
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    // The next questions that can be called off are called off.
    int cancels = 0;
    Answer ask(const QString& text, ConfirmKind kind) override
    {
        if (cancels == 0)
            return IDialogs::ask(text, kind);
        --cancels;
        questions.push_back({text, kind});
        return Answer::Cancel;
    }
    void message(const QString& text) override { messages << text; }
    QStringList reports; // what the status bar was told
    void report(const QString& text) override { reports << text; }
    uint8_t chooseLanguage(const QString& prompt, const QString&, const QString&, const QStringList&) override
    {
        languagePrompts << prompt;
        if (languages.empty())
            throw std::logic_error("unscripted language choice: " + prompt.toStdString());
        const uint8_t l = languages.front();
        languages.pop_front();
        return l;
    }
    void progressText(const QString& text) override
    {
        caption = text;
        if (!text.isEmpty())
            captions << text;
    }
    void progress(int position, int maximum) override { progressCalls.push_back({position, maximum}); }
    void dictionaryStatus(const QString&, bool) override { ++statusRefreshes; }

    // The progress display is at rest: no caption, and the last bar call
    // (if any) was the reset to 0 of 100.
    bool atRest() const
    {
        return caption.isEmpty() && (progressCalls.empty() || progressCalls.back() == std::pair(0, 100));
    }
};

// A disk that fills up, for this process and without root: with RLIMIT_FSIZE
// lowered and SIGXFSZ ignored, a write that would grow a file past the limit
// is cut short and the next one fails with EFBIG, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved {};
    void (*m_oldHandler)(int) = nullptr;
};

// The test languages: English 01, Russian 02 (phone codes 0x80 and 0x81 for
// U+0410 and U+0431) and German 0A.
inline QByteArray testLangStructure()
{
    return langStructureBytes({{0x01, "English", {}}, {0x02, "Russian", {{0x80, u'\u0410'}, {0x81, u'\u0431'}}}, {0x0A, "German", {}}});
}

class CoreFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        state.programDirectory = dir.path() + QLatin1Char('/');
        state.dialogs = &dialogs;
        // The per-user data folder (the phone backups) of this test alone.
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + QStringLiteral("/user-data")));
        SetDefaultSettings(state.settings);
        QDir(dir.path()).mkpath(QStringLiteral("Lists"));
        QDir(dir.path()).mkpath(QStringLiteral("TempFile"));
        ASSERT_TRUE(ParseLangStructure(testLangStructure(), state.langStructure));
        for (int i = 0; i < 20; ++i)
            state.texts.stat << QStringLiteral("STAT%1").arg(i);
        for (int i = 0; i < 35; ++i)
            state.texts.messages << QStringLiteral("M%1").arg(i);
    }

    QString file(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A word given as Windows-1251 bytes.
    static QString cp(const QByteArray& bytes) { return cp1251::toUnicode(bytes); }
    // Words are given as Windows-1251 bytes.
    static DictRow row(const QByteArray& word, const QByteArray& id = "01", const QByteArray& status = status::UsersDictionary,
                       const QByteArray& number = "1")
    {
        return DictRow {cp1251::toUnicode(word), number, id, "L" + id, status};
    }
    // A word as Windows-1251 bytes (a character the code page lacks as "?").
    static QByteArray bytes(const QString& word)
    {
        QByteArray out;
        if (cp1251::encodeWord(word, out) >= 0)
            return cp1251::fromUnicode(word);
        return out;
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
    // One column of every row of a table, to compare whole columns.
    static QList<QByteArray> column(const DictionaryTable& t, int c)
    {
        QList<QByteArray> out;
        for (const DictRow& r : t.rows())
            out << (c == ColWord ? bytes(r.word) : r.cell(c));
        return out;
    }
    QList<QByteArray> column(int c) const { return column(table, c); }
    QList<QByteArray> words() const { return column(table, ColWord); }
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
            out << bytes(item.Word) + '/' + QByteArray::number(number) + '/' + QByteArray::number(item.LanguageID);
        }
        return out;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ProgramState state;
    DictionaryTable table;
};

} // namespace vexlon::test
