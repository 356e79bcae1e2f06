#pragma once

#include "tray/TrayIconBackend.h"

#include <QSystemTrayIcon>

// The notification icon of the running desktop, through QSystemTrayIcon.
class QtTrayIconBackend final : public TrayIconBackend
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtTrayIconBackend)

public:
    explicit QtTrayIconBackend(QObject* parent = nullptr);
    ~QtTrayIconBackend() override;

    bool isAvailable() const override;
    void show() override;
    void hide() override;
    bool isVisible() const override;
    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& tip) override;
    void setContextMenu(QMenu* menu) override;

private:
    QSystemTrayIcon m_icon;
};
