#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class TrayHost;
class fTray;

// The main window's side of the tray icon: creates it with its nine menu
// items and runs the commands of its menu, its double-click and its presses.
class TrayCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayCommands)

public:
    // Menu items by their position, separators counted.
    enum Item : int
    {
        ItemAbout = 1,
        ItemFeat = 3,
        ItemOn = 4,
        ItemOff = 5,
        ItemSendMess = 7,
        ItemClose = 9,
    };

    using TrayFactory = std::function<std::unique_ptr<fTray>()>;

    // Without a factory the tray uses the desktop's notification area.
    explicit TrayCommands(TrayFactory makeTray = {}, QObject* parent = nullptr);
    ~TrayCommands() override;

    // Creates the tray object for `host` (which must outlive it): its icon,
    // the tooltip "Сервер рецептур :: <version>" and the nine menu items.
    void Show_Tray(TrayHost& host);

    // The tray object; null before Show_Tray and after unloadTray.
    fTray* tray() const { return m_fTray.get(); }

    // "Включить" and "Выключить" for the connection state, as the buttons
    // show it: connected disables the first and enables the second.
    void setConnectionItems(bool bConnected);

    // Removes the icon and lets go of the tray object, as the closing step
    // does. Safe from inside the tray's own events ("Выход" runs the closing
    // step from within MenuClick): the object itself lives on, unloaded,
    // until this one is destroyed.
    void unloadTray();

    // Whether the icon is really in a notification area. The main window
    // hides itself on minimising only then.
    bool notificationAreaAvailable() const;

    // The tray's events, as the main window answers them.
    void m_fTray_MenuClick(int lIndex, const QString& sKey);
    void m_fTray_SysTrayDoubleClick(int eButton);
    void m_fTray_SysTrayMouseDown(int eButton);

    // The tooltip for the program's version.
    static QString toolTipText();

private:
    void refreshConnectionItems();

    TrayFactory m_makeTray;
    TrayHost* m_host = nullptr;
    std::unique_ptr<fTray> m_fTray;
    std::unique_ptr<fTray> m_unloaded;
};
