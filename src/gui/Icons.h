// The editor's own pictures, drawn at run time in any size: the program
// icon and the images of the tool buttons.
#pragma once

#include <QIcon>
#include <QImage>

namespace vexlon::gui {

enum class IconKind {
    Program,
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

} // namespace vexlon::gui
