// The three text tables of the active UI language pack. They are empty until
// a pack is loaded; an entry the pack lacks reads as the empty text.
#pragma once

#include <QString>
#include <QStringList>

namespace vexlon {

struct UiTexts {
    QStringList ui;
    QStringList messages;
    QStringList stat;

    QString UI(int n) const { return entry(ui, n); }
    QString MESSAGES(int n) const { return entry(messages, n); }
    QString STAT(int n) const { return entry(stat, n); }

private:
    static QString entry(const QStringList& table, int n)
    {
        return n >= 0 && n < table.size() ? table.at(n) : QString();
    }
};

} // namespace vexlon
