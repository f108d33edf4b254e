// The dialog interface of the editor: questions and messages are message
// boxes titled "Vexlon", the language chooser is the run-time-built
// chooser, and the progress display and dictionary status line are the
// main window's labels and bar, repainted at once because long operations
// keep the event loop from running.
#pragma once

#include "core/base/Dialogs.h"

#include <QPointer>
#include <functional>

class QLabel;
class QProgressBar;
class QStatusBar;
class QWidget;

namespace vexlon::gui {

class GuiDialogs : public IDialogs {
public:
    // Every widget may be null (a dialog without a main window yet).
    void attach(QWidget* owner, QLabel* activity, QProgressBar* bar, QLabel* statusLine);

    bool confirm(const QString& text, ConfirmKind kind) override;
    Answer ask(const QString& text, ConfirmKind kind) override;
    void message(const QString& text) override;
    uint8_t chooseLanguage(const QString& prompt, const QString& okCaption, const QString& cancelCaption,
                           const QStringList& languageNames) override;
    void progressText(const QString& text) override;
    void progress(int position, int maximum) override;
    void dictionaryStatus(const QString& text, bool fits) override;
    // Reports go to the window's status bar, when it has one.
    void setStatusBar(QStatusBar* bar);
    void report(const QString& text) override;

    // An error box for an error that stopped a command.
    void error(const QString& text);
    // Runs a command; an error that stops it is shown in an error box.
    void runReportingErrors(const std::function<void()>& body);

private:
    QPointer<QWidget> m_owner;
    QPointer<QLabel> m_activity;
    QPointer<QProgressBar> m_bar;
    QPointer<QLabel> m_statusLine;
    QPointer<QStatusBar> m_statusBar;
};

// Sets the text of a status line and its colour: green (0, 128, 0) when
// good, pure red otherwise.
void setStatusLine(QLabel& label, const QString& text, bool good);

} // namespace vexlon::gui
