// A program state over a temporary program directory, with dialogs that
// answer from a script and record what the core showed.
#pragma once

#include "app/base/ProgramState.h"
#include "app/base/Settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

namespace vexlon::test {

class RecordingDialogs : public IDialogs {
public:
    std::deque<bool> answers;       // next answers to confirm; No when empty
    QStringList questions;
    QStringList messages;
    int progressResets = 0;
    QString lastCaption;
    int captionsShown = 0;

    bool confirm(const QString& text, ConfirmKind) override
    {
        questions << text;
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void message(const QString& text) override { messages << text; }
    uint8_t chooseLanguage(const QString&, const QString&, const QString&, const QStringList&) override { return kNoLanguage; }
    void progressText(const QString& text) override
    {
        lastCaption = text;
        if (!text.isEmpty())
            ++captionsShown;
    }
    void progress(int position, int maximum) override
    {
        if (position == 0 && maximum == 100)
            ++progressResets;
    }
    // The display is back at rest: no caption, bar reset.
    bool atRest() const { return lastCaption.isEmpty(); }
};

// Builds a language structure file's bytes: each language as (id, name,
// {code, unicode} pairs).
struct LangSpec {
    uint8_t id;
    QByteArray name;
    std::vector<std::pair<uint8_t, char16_t>> chars;
};
inline QByteArray langStructureBytes(const std::vector<LangSpec>& languages, uint16_t version = 1)
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
        const LangSpec& l = languages[i];
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

class CoreFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        state.programDirectory = dir.path() + QLatin1Char('/');
        state.dialogs = &dialogs;
        SetDefaultSettings(state.settings);
        QDir(dir.path()).mkpath(QStringLiteral("TempFile"));
        QDir(dir.path()).mkpath(QStringLiteral("Lists"));
        for (int i = 0; i < 17; ++i)
            state.texts.stat << QStringLiteral("STAT%1").arg(i);
        for (int i = 0; i < 31; ++i)
            state.texts.messages << QStringLiteral("M%1:").arg(i);
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

    QTemporaryDir dir;
    RecordingDialogs dialogs;
    ProgramState state;
};

} // namespace vexlon::test
