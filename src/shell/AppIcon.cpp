#include "shell/AppIcon.h"

using namespace Qt::StringLiterals;

namespace AppIcon {

QString desktopId()
{
    return QStringLiteral(QUORVEL_APP_ID);
}

QIcon icon()
{
    QIcon builtIn;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(u":/icons/hicolor/%1x%1/apps/%2.png"_s.arg(size).arg(desktopId()));
    return QIcon::fromTheme(desktopId(), builtIn);
}

} // namespace AppIcon
