#pragma once

#include <QIcon>
#include <QString>

// The program's icon, a plate with a green leaf on a dark blue tile, drawn in
// dist/ as SVG. The main window and the tray icon show the same picture.
namespace AppIcon {

// The reverse-DNS name of the desktop entry, the icon and the metainfo.
QString desktopId();

// The icon of the installed theme (so that a theme may restyle it), else the
// copy built into the program.
QIcon icon();

} // namespace AppIcon
