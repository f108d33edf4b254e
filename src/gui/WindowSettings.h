// Where the windows keep their size, place, column widths and sort between
// runs: the user's configuration of the program, one group per window.
#pragma once

#include <QSettings>

namespace vexlon::gui {

class WindowSettings : public QSettings {
public:
    explicit WindowSettings(const QString& window) : QSettings(QStringLiteral("Vexlon"), QStringLiteral("vexlon"))
    {
        beginGroup(window);
    }
};

} // namespace vexlon::gui
