#pragma once

#include "tray/PopupMenu.h"
#include "tray/SubscriptOutOfRange.h"
#include "tray/TrayIconBackend.h"
#include "tray/TrayIconHandle.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QWidget;

// The program's presence in the notification area: one icon with a tooltip,
// a popup menu, and the icon's clicks turned into mouse events. The main
// window creates one at start-up, fills the menu and listens to the events.
//
// Menu items are numbered from 1 in the order they were added, separators
// included. Operations naming no item throw SubscriptOutOfRange (error 9)
// and leave the menu as it was; fTray itself shows nothing.
class fTray final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fTray)

public:
    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 2;
    // Characters the tooltip keeps; longer texts are cut.
    static constexpr int kTipLength = 64;

    // Without a backend the desktop's own icon is used; without a menu a
    // plain PopupMenu.
    explicit fTray(std::unique_ptr<TrayIconBackend> backend = nullptr,
                   std::unique_ptr<PopupMenu> menu = nullptr, QObject* parent = nullptr);
    // Unloads.
    ~fTray() override;

    // Puts the icon (the application's icon, an empty tip) in the
    // notification area and gives the menu its owner. Called once, first.
    void Initialise(QWidget* hWndOwner);

    // The stored tip, up to the first NUL character.
    QString ToolTip() const;
    // Stores at most kTipLength characters of `sTip` and sends them.
    void ToolTip(const QString& sTip);

    TrayIconHandle IconHandle() const;
    // Sends the icon only when its handle differs from the stored one.
    void IconHandle(const TrayIconHandle& hIcon);

    void ImageList(const QList<QIcon>& ils);
    PopupMenu* PopupMenuObject() const;

    // The new item's index, or 0 when the menu did not add it.
    int AddMenuItem(const QString& sCaption, const QString& sKey = QString(), bool bDefault = false,
                    int lItemData = 0, int lParentIndex = 0, int lIconIndex = -1, bool bChecked = false,
                    bool bEnabled = true);
    void EnableMenuItem(int lIndex, bool bState);
    void RemoveMenuItem(int iIndex);

    // `vKey` designates an item: a number, or a text that reads as a whole
    // number, is its index; any other text is matched exactly against the
    // items' keys, first match from index 1 up.
    bool Default(const QVariant& vKey) const;
    void Default(const QVariant& vKey, bool bState);
    bool Checked(const QVariant& vKey) const;
    void Checked(const QVariant& vKey, bool bState);

    // Opens the menu at the mouse cursor and, after it has closed, raises
    // MenuClick for the chosen item. A dismissed menu raises nothing.
    void ShowMenu();

    // Takes the icon out of the notification area. Safe to call twice, and
    // from inside one of this object's own events.
    void Unload();

    // True while the icon is really in a notification area. Without one the
    // owner must not hide its window, or the program would be unreachable.
    bool notificationAreaAvailable() const;

    // The clock that pairs two clicks into a double-click, in milliseconds.
    // Tests replace it so pairing needs no waiting.
    void setClock(std::function<qint64()> msecsNow);

signals:
    void SysTrayMouseDown(int eButton);
    void SysTrayMouseUp(int eButton);
    // Declared for the owner's sake; Qt reports no hovering over a tray
    // icon, so it is never raised here.
    void SysTrayMouseMove();
    void SysTrayDoubleClick(int eButton);
    void MenuClick(int lIndex, const QString& sKey);

private:
    bool IsValidIndex(int lIndex) const;
    int FindMenuIndex(const QVariant& vKey) const;
    int requireItem(const QVariant& vKey, const char* operation) const;
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void onItemChosen(int lIndex);

    std::unique_ptr<TrayIconBackend> m_backend;
    std::unique_ptr<PopupMenu> m_menu;
    QString m_tip;
    TrayIconHandle m_icon;
    bool m_loaded = false;
    std::function<qint64()> m_clock;
    qint64 m_firstClickAt = -1;  // time of a click that may become a double-click
    qint64 m_doubleClickAt = -1; // time of a double-click made of two clicks
};
