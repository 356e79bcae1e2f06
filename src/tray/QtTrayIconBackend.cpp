#include "tray/QtTrayIconBackend.h"

QtTrayIconBackend::QtTrayIconBackend(QObject* parent) : TrayIconBackend(parent)
{
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIconBackend::activated);
}

QtTrayIconBackend::~QtTrayIconBackend() = default;

bool QtTrayIconBackend::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIconBackend::show()
{
    m_icon.show();
}

void QtTrayIconBackend::hide()
{
    m_icon.hide();
}

bool QtTrayIconBackend::isVisible() const
{
    return m_icon.isVisible();
}

void QtTrayIconBackend::setIcon(const QIcon& icon)
{
    m_icon.setIcon(icon);
}

void QtTrayIconBackend::setToolTip(const QString& tip)
{
    m_icon.setToolTip(tip);
}

void QtTrayIconBackend::setContextMenu(QMenu* menu)
{
    m_icon.setContextMenu(menu);
}
