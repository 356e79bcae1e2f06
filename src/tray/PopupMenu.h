#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QAction;
class QMenu;
class QPoint;
class QWidget;

// The tray's popup menu: a list of items over a QMenu, numbered from 1 in the
// order they were added (separators count). An item whose caption is "-" is a
// separator line. The default item is drawn bold; there is at most one, as in
// a Windows menu. Operations given an index that names no item do nothing and
// read as empty or false: fTray checks indexes before it calls.
class PopupMenu : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PopupMenu)

public:
    explicit PopupMenu(QObject* parent = nullptr);
    ~PopupMenu() override;

    void setOwnerWindow(QWidget* hWndOwner);
    QWidget* ownerWindow() const;

    // Item icons are indexes into this list; -1 or any index outside it means
    // no icon.
    void setImageList(const QList<QIcon>& images);

    // Adds an item and returns its index. `text2` is shown right-aligned, as
    // a shortcut text would be. Sub-menus are not offered: an item given a
    // parent (lParentIndex other than 0) is refused and 0 returned.
    int addItem(const QString& sCaption, const QString& text2, int lItemData, int lParentIndex,
                int lIconIndex, bool bChecked, bool bEnabled, const QString& sKey);
    int count() const;
    void removeItem(int lIndex);

    QString key(int lIndex) const;
    QString caption(int lIndex) const;
    bool isChecked(int lIndex) const;
    void setChecked(int lIndex, bool bState);
    bool isEnabled(int lIndex) const;
    void setEnabled(int lIndex, bool bState);
    bool isDefault(int lIndex) const;
    void setDefault(int lIndex, bool bState);

    // Opens the menu at a screen point and waits: the chosen item's index, or
    // 0 when the menu is dismissed. Virtual so tests can choose without a popup.
    virtual int showAt(const QPoint& point);
    // True while the menu is open, whoever opened it.
    virtual bool isOpen() const;

    // The QMenu itself, for the platform to open as the icon's context menu.
    QMenu* menu() const;

signals:
    // The menu is about to open, through showAt() or by the platform.
    void aboutToShow();
    // An item was chosen while the platform, not showAt(), had opened the menu.
    void itemChosen(int lIndex);

private:
    struct Item
    {
        QString key;
        int iconIndex = -1;
        bool checked = false;
        bool isDefault = false;
        QAction* action = nullptr; // owned by m_menu
    };

    bool isValid(int lIndex) const { return lIndex > 0 && lIndex <= m_items.size(); }
    int indexOf(const QAction* action) const;
    void applyCheck(const Item& item);
    void applyIcon(const Item& item);
    void applyDefault();
    void onTriggered(QAction* action);

    std::unique_ptr<QMenu> m_menu;
    QList<Item> m_items;
    QList<QIcon> m_images;
    QPointer<QWidget> m_owner;
    bool m_inShowAt = false;
};
