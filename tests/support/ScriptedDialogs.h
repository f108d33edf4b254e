// A dialog interface for tests: answers come from queues the test fills,
// and everything the core showed is recorded in order, so a test can check
// the questions, the messages and that the progress display was reset on
// every way out of a command.
#pragma once

#include "core/base/Dialogs.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <stdexcept>
#include <vector>

namespace vexlon::test {

class ScriptedDialogs : public IDialogs {
public:
    struct Question {
        QString text;
        ConfirmKind kind;
    };
    struct Progress {
        int position;
        int maximum;
    };

    // Next answers to confirm and chooseLanguage. An unscripted question
    // fails the test through an exception unless a default is set.
    std::deque<bool> answers;
    std::deque<uint8_t> languages;
    bool defaultAnswer = false;
    bool strict = true;

    std::vector<Question> questions;
    QStringList messages;
    QStringList languagePrompts;
    QStringList captions;        // every non-empty activity caption, in order
    std::vector<Progress> progressCalls;
    QString caption;             // the caption showing now
    QString statusText;
    bool statusFits = true;
    int statusRefreshes = 0;

    bool confirm(const QString& text, ConfirmKind kind) override
    {
        questions.push_back({text, kind});
        if (answers.empty()) {
            if (strict)
                throw std::logic_error("unscripted question: " + text.toStdString());
            return defaultAnswer;
        }
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void message(const QString& text) override { messages << text; }
    uint8_t chooseLanguage(const QString& prompt, const QString&, const QString&, const QStringList&) override
    {
        languagePrompts << prompt;
        if (languages.empty()) {
            if (strict)
                throw std::logic_error("unscripted language choice: " + prompt.toStdString());
            return kNoLanguage;
        }
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
    void dictionaryStatus(const QString& text, bool fits) override
    {
        statusText = text;
        statusFits = fits;
        ++statusRefreshes;
    }

    // The progress display is at rest: no caption, and the last bar call
    // (if any) was the reset to 0 of 100.
    bool atRest() const
    {
        return caption.isEmpty()
            && (progressCalls.empty() || (progressCalls.back().position == 0 && progressCalls.back().maximum == 100));
    }
    bool showed(const QString& c) const { return captions.contains(c); }
    void clearRecords()
    {
        questions.clear();
        messages.clear();
        languagePrompts.clear();
        captions.clear();
        progressCalls.clear();
    }
};

} // namespace vexlon::test
