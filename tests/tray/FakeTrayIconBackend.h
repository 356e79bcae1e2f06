#pragma once

#include "TrayIconBackend.h"

#include <QIcon>
#include <QPointer>
#include <QStringList>

class QMenu;

// Plays the desktop's notification area for fTray: records what is sent to
// it, in order, and raises the activations a desktop would.
class FakeTrayIconBackend final : public TrayIconBackend
{
    Q_OBJECT

public:
    explicit FakeTrayIconBackend(bool available = true);

    bool isAvailable() const override { return available; }
    void show() override;
    void hide() override;
    bool isVisible() const override { return visible; }
    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& tip) override;
    void setContextMenu(QMenu* menu) override;

    // A click as the platform reports it.
    void activate(QSystemTrayIcon::ActivationReason reason) { emit activated(reason); }
    // A right-click on an XEmbed tray: Qt pops the context menu up at `point`
    // itself and only then reports Context.
    void rightClickAsXEmbed(const QPoint& point);

    bool available = true;
    bool visible = false;
    // Everything sent, oldest first: "show", "hide", "icon <cache key>",
    // "tip <text>", "menu" / "no menu".
    QStringList calls;
    // Also receives every call, and may outlive the backend.
    QStringList* journal = nullptr;
    QList<qint64> icons;
    QStringList tips;
    QIcon icon;
    QPointer<QMenu> contextMenu;

private:
    void record(const QString& call);
};
