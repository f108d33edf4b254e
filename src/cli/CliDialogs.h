// The dialog interface of the command-line tool: every question is answered
// with a fixed answer, every message goes to standard error, progress is not
// shown.
#pragma once

#include "core/base/Dialogs.h"

#include <ostream>

namespace vexlon::cli {

class CliDialogs : public IDialogs {
public:
    CliDialogs(std::ostream& err, bool answerYes) : m_err(err), m_answerYes(answerYes) {}

    bool confirm(const QString& text, ConfirmKind kind) override;
    void message(const QString& text) override;
    uint8_t chooseLanguage(const QString& prompt, const QString& okCaption, const QString& cancelCaption,
                           const QStringList& languageNames) override;
    void progressText(const QString&) override {}
    void progress(int, int) override {}

private:
    std::ostream& m_err;
    bool m_answerYes;
};

} // namespace vexlon::cli
