// The only way the program's commands talk to the user. The editor answers
// with real dialogs, the command-line tool with fixed answers and standard
// error, the tests with scripted answers.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace vexlon {

enum class ConfirmKind { Warning, Confirmation };

// The answer to a question that can also be called off.
enum class Answer { Yes, No, Cancel };

// Returned by chooseLanguage when nothing was chosen.
inline constexpr uint8_t kNoLanguage = 255;

class IDialogs {
public:
    virtual ~IDialogs() = default;

    // Yes/No question titled "Vexlon"; true exactly when Yes closed it.
    virtual bool confirm(const QString& text, ConfirmKind kind) = 0;
    // Yes/No/Cancel question titled "Vexlon", for a command whose Yes and No
    // both change something: Cancel (and closing the question) changes
    // nothing. A front end that cannot offer Cancel answers Yes or No.
    virtual Answer ask(const QString& text, ConfirmKind kind)
    {
        return confirm(text, kind) ? Answer::Yes : Answer::No;
    }
    // Plain information or error message with an OK button.
    virtual void message(const QString& text) = 0;
    // The language chooser: the index of the chosen name, or kNoLanguage.
    virtual uint8_t chooseLanguage(const QString& prompt, const QString& okCaption,
                                   const QString& cancelCaption, const QStringList& languageNames) = 0;
    // The progress display: the activity caption and the bar.
    virtual void progressText(const QString& text) = 0;
    virtual void progress(int position, int maximum) = 0;
    // The dictionary status line: its text, and whether the words still fit
    // (green) or not (red).
    virtual void dictionaryStatus(const QString& text, bool fits) { (void)text; (void)fits; }
    // What a command did, for the status bar ("Cleaning removed 12 words").
    virtual void report(const QString& text) { (void)text; }
};

// For running the core without a user (tools, benchmarks, fuzzing): every
// question gets the same answer, nothing is chosen, messages and progress
// are dropped.
class SilentDialogs : public IDialogs {
public:
    explicit SilentDialogs(bool answer = false) : m_answer(answer) {}
    bool confirm(const QString&, ConfirmKind) override { return m_answer; }
    void message(const QString&) override {}
    uint8_t chooseLanguage(const QString&, const QString&, const QString&, const QStringList&) override { return kNoLanguage; }
    void progressText(const QString&) override {}
    void progress(int, int) override {}

private:
    bool m_answer;
};

// Shows an activity caption for the length of an operation and resets the
// progress display on every way out, errors included.
class ProgressScope {
public:
    ProgressScope(IDialogs& dialogs, const QString& caption) : m_dialogs(dialogs)
    {
        m_dialogs.progressText(caption);
    }
    ~ProgressScope() { reset(m_dialogs); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    void show(int position, int maximum) { m_dialogs.progress(position, maximum); }

    static void reset(IDialogs& dialogs)
    {
        dialogs.progress(0, 100);
        dialogs.progressText(QString());
    }

private:
    IDialogs& m_dialogs;
};

} // namespace vexlon
