#include "tray/fTray.h"

#include "common/RussianFormat.h"
#include "tray/QtTrayIconBackend.h"

#include <QApplication>
#include <QCursor>
#include <QStyle>
#include <QStyleHints>

#include <chrono>
#include <cmath>
#include <limits>
#include <optional>

namespace {

qint64 steadyMsecs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The icon the tray shows until its owner gives it one.
QIcon ownIcon()
{
    QIcon icon = QGuiApplication::windowIcon();
    if (icon.isNull() && qobject_cast<QApplication*>(QCoreApplication::instance()))
        icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    return icon;
}

std::optional<double> numericKey(const QVariant& vKey)
{
    switch (vKey.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Float:
    case QMetaType::Double:
        return vKey.toDouble();
    case QMetaType::QString:
        return RussianFormat::toDouble(vKey.toString());
    default:
        return std::nullopt;
    }
}

std::string describe(const QVariant& vKey)
{
    return vKey.toString().toStdString();
}

} // namespace

fTray::fTray(std::unique_ptr<TrayIconBackend> backend, std::unique_ptr<PopupMenu> menu, QObject* parent)
    : QObject(parent), m_backend(std::move(backend)), m_menu(std::move(menu)), m_clock(steadyMsecs)
{
    if (!m_backend)
        m_backend = std::make_unique<QtTrayIconBackend>();
    if (!m_menu)
        m_menu = std::make_unique<PopupMenu>();
    connect(m_backend.get(), &TrayIconBackend::activated, this, &fTray::onActivated);
    connect(m_menu.get(), &PopupMenu::itemChosen, this, &fTray::onItemChosen);
}

fTray::~fTray()
{
    Unload();
}

void fTray::Initialise(QWidget* hWndOwner)
{
    m_menu->setOwnerWindow(hWndOwner);
    m_tip.clear();
    m_icon = TrayIconHandle(ownIcon());
    m_backend->setIcon(m_icon.icon());
    m_backend->setToolTip(QString());
    // Whichever way the menu opens — through ShowMenu, popped up by an XEmbed
    // tray, or drawn by the desktop shell of a StatusNotifierItem host — it is
    // this one menu, and its aboutToShow reaches the owner every time.
    m_backend->setContextMenu(m_menu->menu());
    // With no notification area there is nothing to add the icon to; trying
    // anyway only makes Qt warn. The owner learns it from
    // notificationAreaAvailable() and keeps its window reachable.
    if (m_backend->isAvailable())
        m_backend->show();
    m_loaded = true;
}

QString fTray::ToolTip() const
{
    const qsizetype nul = m_tip.indexOf(QChar(0));
    return nul < 0 ? m_tip : m_tip.left(nul);
}

void fTray::ToolTip(const QString& sTip)
{
    QString field = sTip.left(kTipLength);
    // A cut between the two halves of a surrogate pair would leave half a
    // character behind.
    if (field.size() < sTip.size() && !field.isEmpty() && field.back().isHighSurrogate())
        field.chop(1);
    m_tip = field;
    m_backend->setToolTip(ToolTip());
}

TrayIconHandle fTray::IconHandle() const
{
    return m_icon;
}

void fTray::IconHandle(const TrayIconHandle& hIcon)
{
    if (hIcon == m_icon)
        return;
    m_icon = hIcon;
    m_backend->setIcon(m_icon.icon());
}

void fTray::ImageList(const QList<QIcon>& ils)
{
    m_menu->setImageList(ils);
}

PopupMenu* fTray::PopupMenuObject() const
{
    return m_menu.get();
}

int fTray::AddMenuItem(const QString& sCaption, const QString& sKey, bool bDefault, int lItemData,
                       int lParentIndex, int lIconIndex, bool bChecked, bool bEnabled)
{
    const int index =
        m_menu->addItem(sCaption, QString(), lItemData, lParentIndex, lIconIndex, bChecked, bEnabled, sKey);
    if (index <= 0)
        return 0;
    if (bDefault)
        m_menu->setDefault(index, true);
    return index;
}

void fTray::EnableMenuItem(int lIndex, bool bState)
{
    if (!IsValidIndex(lIndex))
        throw SubscriptOutOfRange("EnableMenuItem: no menu item " + std::to_string(lIndex));
    m_menu->setEnabled(lIndex, bState);
}

void fTray::RemoveMenuItem(int iIndex)
{
    if (!IsValidIndex(iIndex))
        throw SubscriptOutOfRange("RemoveMenuItem: no menu item " + std::to_string(iIndex));
    m_menu->removeItem(iIndex);
}

bool fTray::Default(const QVariant& vKey) const
{
    return m_menu->isDefault(requireItem(vKey, "Default"));
}

void fTray::Default(const QVariant& vKey, bool bState)
{
    m_menu->setDefault(requireItem(vKey, "Default"), bState);
}

bool fTray::Checked(const QVariant& vKey) const
{
    return m_menu->isChecked(requireItem(vKey, "Checked"));
}

void fTray::Checked(const QVariant& vKey, bool bState)
{
    m_menu->setChecked(requireItem(vKey, "Checked"), bState);
}

void fTray::ShowMenu()
{
    // An XEmbed tray pops the context menu up itself on the right press that
    // led here; a second menu on top of it would swallow the choice.
    if (m_menu->isOpen())
        return;
    // No foreground dance is needed: a Qt popup grabs the mouse and closes by
    // itself when the user clicks elsewhere.
    const int lIndex = m_menu->showAt(QCursor::pos());
    if (IsValidIndex(lIndex))
        emit MenuClick(lIndex, m_menu->key(lIndex));
}

void fTray::Unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    m_backend->setContextMenu(nullptr);
    m_backend->hide();
}

bool fTray::notificationAreaAvailable() const
{
    return m_loaded && m_backend->isAvailable() && m_backend->isVisible();
}

void fTray::setClock(std::function<qint64()> msecsNow)
{
    m_clock = std::move(msecsNow);
}

bool fTray::IsValidIndex(int lIndex) const
{
    return lIndex > 0 && lIndex <= m_menu->count();
}

int fTray::FindMenuIndex(const QVariant& vKey) const
{
    if (const auto number = numericKey(vKey)) {
        // A fractional or huge number designates no item rather than whatever
        // it would round to.
        const double value = *number;
        if (!std::isfinite(value) || value != std::trunc(value) || value < 0 ||
            value > std::numeric_limits<int>::max())
            return 0;
        return int(value);
    }
    const QString sKey = vKey.toString();
    for (int i = 1; i <= m_menu->count(); ++i) {
        if (m_menu->key(i) == sKey)
            return i;
    }
    return 0;
}

int fTray::requireItem(const QVariant& vKey, const char* operation) const
{
    const int index = FindMenuIndex(vKey);
    if (!IsValidIndex(index))
        throw SubscriptOutOfRange(std::string(operation) + ": no menu item designated by \"" +
                                  describe(vKey) + '"');
    return index;
}

// Qt reports a press and its release as one activation, so each activation
// raises the press and the release together. Which is which:
//
//  Context      right-click on every backend: SysTrayMouseDown(2), then
//               SysTrayMouseUp(2). The owner answers the press with ShowMenu;
//               where the platform has already opened the context menu
//               (XEmbed pops it up before reporting Context) ShowMenu leaves
//               it be. A StatusNotifierItem host draws the menu through the
//               desktop shell and may report nothing at all; the menu's
//               aboutToShow is the owner's cue then.
//  Trigger      left click: SysTrayMouseDown(1), SysTrayMouseUp(1). Some
//               desktops send a double-click as two Triggers, and a
//               StatusNotifierItem host never sends DoubleClick, so a second
//               Trigger within the double-click interval is the second press
//               of a double-click and is reported as Windows reports it:
//               SysTrayDoubleClick(1), SysTrayMouseUp(1).
//  DoubleClick  an XEmbed tray's second press (after a Trigger):
//               SysTrayDoubleClick(1), SysTrayMouseUp(1) — unless two
//               Triggers have just reported this same double-click.
//  MiddleClick  nothing, as a middle-button click raises nothing.
void fTray::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    const qint64 now = m_clock();
    const qint64 interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    const auto within = [&](qint64 then) { return then >= 0 && now - then <= interval; };
    switch (reason) {
    case QSystemTrayIcon::Context:
        m_firstClickAt = -1;
        emit SysTrayMouseDown(kRightButton);
        emit SysTrayMouseUp(kRightButton);
        break;
    case QSystemTrayIcon::Trigger:
        if (within(m_firstClickAt)) {
            m_firstClickAt = -1;
            m_doubleClickAt = now;
            emit SysTrayDoubleClick(kLeftButton);
            emit SysTrayMouseUp(kLeftButton);
        } else {
            m_firstClickAt = now;
            m_doubleClickAt = -1;
            emit SysTrayMouseDown(kLeftButton);
            emit SysTrayMouseUp(kLeftButton);
        }
        break;
    case QSystemTrayIcon::DoubleClick: {
        const bool alreadyReported = within(m_doubleClickAt);
        m_firstClickAt = -1;
        m_doubleClickAt = -1;
        if (alreadyReported)
            break;
        emit SysTrayDoubleClick(kLeftButton);
        emit SysTrayMouseUp(kLeftButton);
        break;
    }
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void fTray::onItemChosen(int lIndex)
{
    if (IsValidIndex(lIndex))
        emit MenuClick(lIndex, m_menu->key(lIndex));
}
