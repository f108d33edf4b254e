// The small dialogs that several windows share, built anew each time they
// are used: the language chooser and the Find dialog.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <optional>

class QWidget;

namespace vexlon::gui {

// The language chooser: a prompt, the language names (the first one
// selected) and two buttons. The index of the chosen name, or 255 when the
// dialog was closed otherwise than with okCaption's button or no name was
// chosen.
uint8_t ChooseLanguage(const QString& prompt, const QString& okCaption, const QString& cancelCaption,
                       const QStringList& languageNames, QWidget* owner);

// The Find dialog: the text typed, or nothing when the dialog was closed
// otherwise than by its button or the text was empty.
std::optional<QString> AskFindText(const QString& title, const QString& prompt, const QString& buttonCaption,
                                   QWidget* owner);

} // namespace vexlon::gui
