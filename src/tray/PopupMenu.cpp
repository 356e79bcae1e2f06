#include "tray/PopupMenu.h"

#include <QAction>
#include <QFont>
#include <QMenu>
#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace {
const QString kSeparatorCaption = u"-"_s;
}

PopupMenu::PopupMenu(QObject* parent) : QObject(parent), m_menu(std::make_unique<QMenu>())
{
    connect(m_menu.get(), &QMenu::aboutToShow, this, &PopupMenu::aboutToShow);
    connect(m_menu.get(), &QMenu::triggered, this, &PopupMenu::onTriggered);
}

PopupMenu::~PopupMenu() = default;

// A Win32 menu routes its messages through an owner window; a Qt popup needs
// none, so the owner is only recorded for whoever drives the menu.
void PopupMenu::setOwnerWindow(QWidget* hWndOwner)
{
    m_owner = hWndOwner;
}

QWidget* PopupMenu::ownerWindow() const
{
    return m_owner;
}

void PopupMenu::setImageList(const QList<QIcon>& images)
{
    m_images = images;
    for (const auto& item : std::as_const(m_items))
        applyIcon(item);
}

int PopupMenu::addItem(const QString& sCaption, const QString& text2, int lItemData, int lParentIndex,
                       int lIconIndex, bool bChecked, bool bEnabled, const QString& sKey)
{
    if (lParentIndex != 0)
        return 0;
    auto* action = new QAction(m_menu.get());
    if (sCaption == kSeparatorCaption) {
        action->setSeparator(true);
    } else {
        action->setText(text2.isEmpty() ? sCaption : sCaption + u'\t' + text2);
    }
    action->setData(lItemData);
    action->setEnabled(bEnabled);
    m_menu->addAction(action);
    m_items.append(Item{sKey, lIconIndex, bChecked, false, action});
    applyCheck(m_items.last());
    applyIcon(m_items.last());
    return int(m_items.size());
}

int PopupMenu::count() const
{
    return int(m_items.size());
}

void PopupMenu::removeItem(int lIndex)
{
    if (!isValid(lIndex))
        return;
    const Item item = m_items.takeAt(lIndex - 1);
    m_menu->removeAction(item.action);
    delete item.action;
    applyDefault();
}

QString PopupMenu::key(int lIndex) const
{
    return isValid(lIndex) ? m_items[lIndex - 1].key : QString();
}

QString PopupMenu::caption(int lIndex) const
{
    if (!isValid(lIndex))
        return QString();
    const QAction* action = m_items[lIndex - 1].action;
    return action->isSeparator() ? kSeparatorCaption : action->text().section(u'\t', 0, 0);
}

bool PopupMenu::isChecked(int lIndex) const
{
    return isValid(lIndex) && m_items[lIndex - 1].checked;
}

void PopupMenu::setChecked(int lIndex, bool bState)
{
    if (!isValid(lIndex))
        return;
    m_items[lIndex - 1].checked = bState;
    applyCheck(m_items[lIndex - 1]);
}

bool PopupMenu::isEnabled(int lIndex) const
{
    return isValid(lIndex) && m_items[lIndex - 1].action->isEnabled();
}

void PopupMenu::setEnabled(int lIndex, bool bState)
{
    if (isValid(lIndex))
        m_items[lIndex - 1].action->setEnabled(bState);
}

bool PopupMenu::isDefault(int lIndex) const
{
    return isValid(lIndex) && m_items[lIndex - 1].isDefault;
}

void PopupMenu::setDefault(int lIndex, bool bState)
{
    if (!isValid(lIndex))
        return;
    if (bState) {
        for (auto& item : m_items)
            item.isDefault = false;
    }
    m_items[lIndex - 1].isDefault = bState;
    applyDefault();
}

int PopupMenu::showAt(const QPoint& point)
{
    if (isOpen())
        return 0;
    const QAction* chosen = nullptr;
    {
        const QScopedValueRollback guard(m_inShowAt, true);
        chosen = m_menu->exec(point);
    }
    // Qt flips a checkable action when it is chosen; the menu's own flags
    // are the truth, as in a Windows menu that never checks by itself.
    for (const auto& item : std::as_const(m_items))
        applyCheck(item);
    return indexOf(chosen);
}

bool PopupMenu::isOpen() const
{
    return m_inShowAt || m_menu->isVisible();
}

QMenu* PopupMenu::menu() const
{
    return m_menu.get();
}

int PopupMenu::indexOf(const QAction* action) const
{
    if (!action)
        return 0;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i].action == action)
            return int(i + 1);
    }
    return 0;
}

void PopupMenu::applyCheck(const Item& item)
{
    // Only a checked item reserves room for the mark, so an unchecked menu
    // looks like a plain one.
    item.action->setCheckable(item.checked);
    item.action->setChecked(item.checked);
}

void PopupMenu::applyIcon(const Item& item)
{
    const bool hasIcon = item.iconIndex >= 0 && item.iconIndex < m_images.size();
    item.action->setIcon(hasIcon ? m_images[item.iconIndex] : QIcon());
}

void PopupMenu::applyDefault()
{
    QAction* defaultAction = nullptr;
    for (const auto& item : std::as_const(m_items)) {
        QFont font = item.action->font();
        font.setBold(item.isDefault);
        item.action->setFont(font);
        if (item.isDefault)
            defaultAction = item.action;
    }
    m_menu->setDefaultAction(defaultAction);
}

void PopupMenu::onTriggered(QAction* action)
{
    // Inside showAt() the choice is its return value; reporting it here too
    // would run the command twice.
    if (m_inShowAt)
        return;
    for (const auto& item : std::as_const(m_items))
        applyCheck(item);
    if (const int index = indexOf(action); index > 0)
        emit itemChosen(index);
}
