#include "FakeTrayIconBackend.h"

#include <QMenu>

FakeTrayIconBackend::FakeTrayIconBackend(bool isAvailable) : available(isAvailable) {}

void FakeTrayIconBackend::show()
{
    visible = true;
    record(u"show"_qs);
}

void FakeTrayIconBackend::hide()
{
    visible = false;
    record(u"hide"_qs);
}

void FakeTrayIconBackend::setIcon(const QIcon& newIcon)
{
    icon = newIcon;
    icons << newIcon.cacheKey();
    record(u"icon %1"_qs.arg(newIcon.cacheKey()));
}

void FakeTrayIconBackend::setToolTip(const QString& tip)
{
    tips << tip;
    record(u"tip "_qs + tip);
}

void FakeTrayIconBackend::setContextMenu(QMenu* menu)
{
    contextMenu = menu;
    record((menu ? u"menu"_qs : u"no menu"_qs));
}

void FakeTrayIconBackend::rightClickAsXEmbed(const QPoint& point)
{
    if (contextMenu)
        contextMenu->popup(point);
    emit activated(QSystemTrayIcon::Context);
}

void FakeTrayIconBackend::record(const QString& call)
{
    calls << call;
    if (journal)
        *journal << call;
}
