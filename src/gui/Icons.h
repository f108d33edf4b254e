// The editor's own pictures: the images of the tool buttons, drawn at run
// time in any size, and the program icon, which is data/icons/vexlon.svg
// compiled into the editor.
#pragma once

#include <QIcon>
#include <QImage>

namespace vexlon::gui {

enum class IconKind {
    NewDictionary,
    OpenDictionary,
    SaveDictionary,
    OpenFromPhone,
    SaveToPhone,
    Settings,
    BlackList,
    WhiteList,
    Statistic,
    About,
};

QImage drawIcon(IconKind kind, int size);
QIcon makeIcon(IconKind kind, int size);
QIcon programIcon();

} // namespace vexlon::gui
