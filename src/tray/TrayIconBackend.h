#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class QIcon;
class QMenu;

// The platform's notification icon as fTray sees it. The real one wraps
// QSystemTrayIcon; tests script one to play the desktop's part.
class TrayIconBackend : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayIconBackend)

public:
    using QObject::QObject;
    ~TrayIconBackend() override = default;

    // Whether the desktop has a notification area right now.
    virtual bool isAvailable() const = 0;
    // Adds the icon to the notification area (or takes it away).
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
    virtual void setIcon(const QIcon& icon) = 0;
    virtual void setToolTip(const QString& tip) = 0;
    // The menu the desktop may open by itself on a right-click (nullptr: none).
    // Not owned.
    virtual void setContextMenu(QMenu* menu) = 0;

signals:
    // A press, click or double-click on the icon, as the platform reports it.
    void activated(QSystemTrayIcon::ActivationReason reason);
};
