#include "gui/AboutBox.h"

#include "core/base/CodePage1251.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

namespace vexlon::gui {

namespace {

QLabel* line(QWidget* parent, const char* name, const QString& text, bool bold, const QColor& colour, int pointDelta = 0)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont f = label->font();
    f.setBold(bold);
    if (pointDelta != 0)
        f.setPointSize(f.pointSize() + pointDelta);
    label->setFont(f);
    if (colour.isValid()) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, colour);
        label->setPalette(pal);
    }
    return label;
}

QFrame* rule(QWidget* parent, const char* name)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFixedHeight(1);
    frame->setAutoFillBackground(true);
    QPalette pal = frame->palette();
    pal.setColor(QPalette::Window, Qt::black);
    frame->setPalette(pal);
    return frame;
}

} // namespace

TAPF::TAPF(const QString& programDirectory, QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("TAPF"));
    setWindowTitle(QStringLiteral("Vexlon - About Program..."));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    resize(362, 400);
    setMinimumSize(360, 400);
    setMaximumSize(600, 720);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(line(this, "Label1", QStringLiteral("Vexlon"), true, QColor(), 8));
    layout->addWidget(line(this, "Label2", QStringLiteral("version 2.01"), false, QColor()));

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    m_memo->setFrameShape(QFrame::NoFrame);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setBackgroundRole(QPalette::Window);
    QPalette memoPalette = m_memo->palette();
    memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::Window));
    m_memo->setPalette(memoPalette);
    const QString readMe = programDirectory + QStringLiteral("ReadMe.txt");
    if (QFileInfo(readMe).isFile()) {
        try {
            QStringList lines;
            for (const QByteArray& l : splitLines(readWholeFile(readMe)))
                lines.append(cp1251::toUnicode(l));
            m_memo->setPlainText(lines.join(QLatin1Char('\n')));
        } catch (const VexlonError&) {
            // An unreadable ReadMe leaves the memo empty, as a missing one does.
        }
    }
    layout->addWidget(m_memo, 1);

    layout->addWidget(rule(this, "Label5"));
    layout->addWidget(line(this, "Label3", QStringLiteral("Contact information:"), true, QColor()));
    layout->addWidget(line(this, "Label4", QStringLiteral("Report problems to the Vexlon project"), true, QColor(255, 0, 0)));
    layout->addWidget(rule(this, "Label10"));
    layout->addWidget(line(this, "Label6", QStringLiteral("Thanks to:"), true, QColor(255, 0, 0)));
    layout->addWidget(line(this, "Label7", QStringLiteral("everyone who still keeps a P2K phone working"), false, QColor(0, 128, 0)));
    layout->addWidget(line(this, "Label8", QStringLiteral("the testers of the dictionary formats"), false, QColor(0, 0, 255)));
    layout->addWidget(line(this, "Label9", QStringLiteral("the Qt and ICU projects"), false, QColor(0, 0, 0)));
    auto* credit = line(this, "StaticText3", QStringLiteral("Phone link: Vexlon's own P2K and AT-mode components"), false, QColor());
    layout->addWidget(credit);
    layout->addWidget(rule(this, "Label11"));
    layout->addWidget(line(this, "Label12", QStringLiteral("Keep your words."), true, QColor()));

    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

} // namespace vexlon::gui
