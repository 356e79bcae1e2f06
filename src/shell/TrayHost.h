#pragma once

#include <QIcon>
#include <QString>

class QWidget;

// What the tray commands need of the main window. The main window implements
// it; tests stand in for it.
class TrayHost
{
public:
    virtual ~TrayHost() = default;

    // The window that owns the tray menu (may be null).
    virtual QWidget* trayOwnerWindow() = 0;
    // The window's icon, which the tray shows too.
    virtual QIcon windowIcon() const = 0;

    // Shows the window, not modal.
    virtual void showWindow() = 0;
    // Gives the window its normal state; a hidden window stays hidden.
    virtual void setNormalState() = 0;
    // Raises and activates the window if it is shown.
    virtual void bringToFront() = 0;

    // The socket's state: 0 is closed, any other value counts as open.
    virtual int socketState() const = 0;
    // The connect and disconnect buttons' commands.
    virtual void cCon_Click() = 0;
    virtual void cDisCon_Click() = 0;
    // Frames and sends one request; reports its own failures.
    virtual void SendCommand(const QString& command) = 0;
    // The window's closing step, its question included. False when the user
    // chose to stay.
    virtual bool Form_QueryUnload() = 0;
};
