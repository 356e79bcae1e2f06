#pragma once

#include "tray/TrayIconBackend.h"

#include <QMenu>
#include <QPointer>
#include <QStringList>

// Plays the desktop's notification area: records what fTray sends ("show", "hide",
// "icon <cache key>", "tip <text>", "menu", "no menu") and raises activations.
class FakeTrayIconBackend final : public TrayIconBackend
{
    Q_OBJECT

public:
    bool isAvailable() const override { return available; }
    void show() override { setVisible(true); }
    void hide() override { setVisible(false); }
    bool isVisible() const override { return visible; }
    void setIcon(const QIcon& icon) override { calls << QStringLiteral("icon %1").arg(icon.cacheKey()); }
    void setToolTip(const QString& tip) override { calls << QStringLiteral("tip ") + tip; }
    void setContextMenu(QMenu* menu) override
    {
        contextMenu = menu;
        calls << (menu ? QStringLiteral("menu") : QStringLiteral("no menu"));
    }

    void activate(QSystemTrayIcon::ActivationReason reason) { emit activated(reason); }

    bool available = true;
    bool visible = false;
    QStringList calls;
    QPointer<QMenu> contextMenu;

private:
    void setVisible(bool shown)
    {
        visible = shown;
        calls << (shown ? QStringLiteral("show") : QStringLiteral("hide"));
    }
};
