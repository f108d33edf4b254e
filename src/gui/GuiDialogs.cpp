#include "gui/GuiDialogs.h"

#include "core/base/Errors.h"

#include "gui/ModalRunner.h"
#include "gui/SharedDialogs.h"

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>

namespace vexlon::gui {

namespace {
const QString kTitle = QStringLiteral("Vexlon");
}

void setStatusLine(QLabel& label, const QString& text, bool good)
{
    label.setText(text);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, good ? QColor(0, 128, 0) : QColor(255, 0, 0));
    label.setPalette(palette);
}

void GuiDialogs::attach(QWidget* owner, QLabel* activity, QProgressBar* bar, QLabel* statusLine)
{
    m_owner = owner;
    m_activity = activity;
    m_bar = bar;
    m_statusLine = statusLine;
}

bool GuiDialogs::confirm(const QString& text, ConfirmKind kind)
{
    QMessageBox box(kind == ConfirmKind::Warning ? QMessageBox::Warning : QMessageBox::Question, kTitle, text,
                    QMessageBox::Yes | QMessageBox::No, m_owner);
    box.setObjectName(QStringLiteral("ConfirmBox"));
    box.setDefaultButton(QMessageBox::Yes);
    return runModal(box) == QMessageBox::Yes;
}

Answer GuiDialogs::ask(const QString& text, ConfirmKind kind)
{
    QMessageBox box(kind == ConfirmKind::Warning ? QMessageBox::Warning : QMessageBox::Question, kTitle, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_owner);
    box.setObjectName(QStringLiteral("AskBox"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (runModal(box)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void GuiDialogs::message(const QString& text)
{
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Ok, m_owner);
    box.setObjectName(QStringLiteral("MessageBox"));
    runModal(box);
}

void GuiDialogs::error(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, kTitle, text, QMessageBox::Ok, m_owner);
    box.setObjectName(QStringLiteral("ErrorBox"));
    runModal(box);
}

void GuiDialogs::runReportingErrors(const std::function<void()>& body)
{
    try {
        body();
    } catch (const VexlonError& e) {
        error(e.message());
    } catch (const std::exception& e) {
        error(QString::fromLocal8Bit(e.what()));
    }
}

uint8_t GuiDialogs::chooseLanguage(const QString& prompt, const QString& okCaption, const QString& cancelCaption,
                                   const QStringList& languageNames)
{
    return ChooseLanguage(prompt, okCaption, cancelCaption, languageNames, m_owner);
}

void GuiDialogs::progressText(const QString& text)
{
    if (!m_activity)
        return;
    m_activity->setText(text);
    m_activity->repaint();
}

void GuiDialogs::progress(int position, int maximum)
{
    if (!m_bar)
        return;
    // Called once per row by long operations: only touch the bar when the
    // shown value changes, so 10,000 rows cost no more than 100 repaints.
    const int oldMax = m_bar->maximum();
    const int oldPos = m_bar->value();
    const int max = maximum < 0 ? 0 : maximum;
    m_bar->setMaximum(max);
    m_bar->setValue(qBound(0, position, max));
    const auto percent = [](int pos, int m) { return m > 0 ? static_cast<int>(qint64(pos) * 100 / m) : 0; };
    if (oldMax != max || percent(oldPos, oldMax) != percent(m_bar->value(), max))
        m_bar->repaint();
}

void GuiDialogs::dictionaryStatus(const QString& text, bool fits)
{
    if (m_statusLine)
        setStatusLine(*m_statusLine, text, fits);
}

void GuiDialogs::setStatusBar(QStatusBar* bar)
{
    m_statusBar = bar;
}

void GuiDialogs::report(const QString& text)
{
    if (m_statusBar)
        m_statusBar->showMessage(text);
}

} // namespace vexlon::gui
