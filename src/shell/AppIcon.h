#pragma once

#include <QIcon>
#include <QPixmap>

// The program's icon: a plate with a green leaf on a dark tile, drawn rather
// than shipped so that it is sharp at 16 and 32 pixels. The main window and
// the tray icon show the same picture.
namespace AppIcon {

QPixmap pixmap(int size);
// 16 x 16 and 32 x 32.
QIcon icon();

} // namespace AppIcon
