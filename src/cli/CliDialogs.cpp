#include "cli/CliDialogs.h"

namespace vexlon::cli {

bool CliDialogs::confirm(const QString& text, ConfirmKind kind)
{
    (void)kind;
    m_err << text.toStdString() << (m_answerYes ? " [answered Yes]" : " [answered No]") << '\n';
    return m_answerYes;
}

void CliDialogs::message(const QString& text)
{
    m_err << text.toStdString() << '\n';
}

uint8_t CliDialogs::chooseLanguage(const QString& prompt, const QString&, const QString&, const QStringList&)
{
    m_err << prompt.toStdString() << " [no language chosen]\n";
    return kNoLanguage;
}

} // namespace vexlon::cli
