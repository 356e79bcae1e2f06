#include "shell/TrayCommands.h"

#include "common/Dialogs.h"
#include "common/Version.h"
#include "protocol/ProtocolWords.h"
#include "shell/TrayHost.h"
#include "tray/fTray.h"

#include <exception>

using namespace Qt::StringLiterals;

namespace {

struct MenuItemSpec
{
    QString caption;
    QString key;
    bool isDefault;
};

// The menu, top to bottom; positions are the Item numbers.
const MenuItemSpec kMenu[] = {
    {u"О программе..."_s, u"about"_s, false},
    {u"-"_s, QString(), false},
    {u"Настройки"_s, u"feat"_s, true},
    {u"Включить"_s, u"on"_s, false},
    {u"Выключить"_s, u"off"_s, false},
    {u"-"_s, QString(), false},
    {u"Отправить сообщение администратору"_s, u"send_mess"_s, false},
    {u"-"_s, QString(), false},
    {u"Выход"_s, u"close"_s, false},
};

// The window steps run from the tray carry on with the next step when one
// fails: a window that cannot be raised must not keep the menu from opening.
template <typename Step> void carryingOn(Step step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace

TrayCommands::TrayCommands(TrayFactory makeTray, QObject* parent)
    : QObject(parent), m_makeTray(std::move(makeTray))
{
}

TrayCommands::~TrayCommands() = default;

void TrayCommands::Show_Tray(TrayHost& host)
{
    unloadTray();
    m_host = &host;
    m_fTray = m_makeTray ? m_makeTray() : std::make_unique<fTray>();
    fTray* tray = m_fTray.get();
    connect(tray, &fTray::MenuClick, this, &TrayCommands::m_fTray_MenuClick);
    connect(tray, &fTray::SysTrayDoubleClick, this, &TrayCommands::m_fTray_SysTrayDoubleClick);
    connect(tray, &fTray::SysTrayMouseDown, this, &TrayCommands::m_fTray_SysTrayMouseDown);
    // A StatusNotifierItem host opens the menu itself, with no press reaching
    // us first, so the items are set from the socket whenever the menu is
    // about to show, whoever opens it.
    connect(tray->PopupMenuObject(), &PopupMenu::aboutToShow, this,
            [this] { carryingOn([this] { refreshConnectionItems(); }); });

    tray->Initialise(host.trayOwnerWindow());
    tray->IconHandle(TrayIconHandle(host.windowIcon()));
    tray->ToolTip(toolTipText());
    for (const auto& item : kMenu)
        tray->AddMenuItem(item.caption, item.key, item.isDefault, 0, 0, -1, false, true);
}

void TrayCommands::setConnectionItems(bool bConnected)
{
    if (!m_fTray)
        return;
    try {
        m_fTray->EnableMenuItem(ItemOn, !bConnected);
        m_fTray->EnableMenuItem(ItemOff, bConnected);
    } catch (const SubscriptOutOfRange&) {
        // Only someone removing items behind our back gets here; a socket
        // event is no place to fail for it.
    }
}

void TrayCommands::unloadTray()
{
    if (!m_fTray)
        return;
    m_fTray->Unload();
    disconnect(m_fTray.get(), nullptr, this, nullptr);
    disconnect(m_fTray->PopupMenuObject(), nullptr, this, nullptr);
    m_unloaded = std::move(m_fTray);
}

bool TrayCommands::notificationAreaAvailable() const
{
    return m_fTray && m_fTray->notificationAreaAvailable();
}

void TrayCommands::m_fTray_MenuClick(int /*lIndex*/, const QString& sKey)
{
    if (!m_host)
        return;
    if (sKey == u"about") {
        Dialogs::message(u"Сервер рецептур :: Фитнесс-расчет\rКлиентская часть"_s, Dialogs::Buttons::Ok,
                         Dialogs::Icon::Information, u"Ventaro 5 версия"_s);
    } else if (sKey == u"feat") {
        // Showing alone is not enough: a window hidden by minimising keeps its
        // minimised state, and shown that way it would stay out of sight.
        carryingOn([this] { m_host->showWindow(); });
        carryingOn([this] { m_host->setNormalState(); });
        carryingOn([this] { m_host->bringToFront(); });
    } else if (sKey == u"on") {
        m_host->cCon_Click();
    } else if (sKey == u"off") {
        m_host->cDisCon_Click();
    } else if (sKey == u"send_mess") {
        const QString sMess =
            Dialogs::input(u"Введите текст сообщения:"_s, u"Отправка сообщения администратору"_s);
        if (!sMess.isEmpty())
            m_host->SendCommand(Proto::Mess + sMess);
    } else if (sKey == u"close") {
        m_host->Form_QueryUnload();
    }
}

void TrayCommands::m_fTray_SysTrayDoubleClick(int /*eButton*/)
{
    if (!m_host)
        return;
    carryingOn([this] { m_host->showWindow(); });
    carryingOn([this] { m_host->setNormalState(); });
    carryingOn([this] { m_host->bringToFront(); });
}

void TrayCommands::m_fTray_SysTrayMouseDown(int eButton)
{
    if (!m_host || !m_fTray)
        return;
    carryingOn([this] { m_host->setNormalState(); });
    carryingOn([this] { m_host->bringToFront(); });
    carryingOn([this] { refreshConnectionItems(); });
    if (eButton == fTray::kRightButton)
        m_fTray->ShowMenu();
}

QString TrayCommands::toolTipText()
{
    return u"Сервер рецептур :: %1.%2.%3"_s.arg(Version::kMajor).arg(Version::kMinor).arg(Version::kRevision);
}

void TrayCommands::refreshConnectionItems()
{
    if (m_host)
        setConnectionItems(m_host->socketState() != 0);
}
