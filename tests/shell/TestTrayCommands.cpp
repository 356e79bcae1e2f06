#include "shell/TrayCommands.h"

#include "shell/TrayHost.h"
#include "support/ScriptedDialogs.h"
#include "tray/FakeTrayIconBackend.h"
#include "tray/ScriptedPopupMenu.h"
#include "tray/fTray.h"

#include <QTest>

#include <functional>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// The main window as the tray commands see it: steps written down, any made to fail.
class FakeHost final : public TrayHost
{
public:
    QWidget* trayOwnerWindow() override { return nullptr; }
    QIcon windowIcon() const override { return icon; }
    void showWindow() override { step(u"show"_s); }
    void setNormalState() override { step(u"normal"_s); }
    void bringToFront() override { step(u"front"_s); }
    int socketState() const override { return state; }
    void cCon_Click() override { step(u"connect"_s); }
    void cDisCon_Click() override { step(u"disconnect"_s); }
    void SendCommand(const QString& command) override { step(u"send "_s + command); }
    bool Form_QueryUnload() override
    {
        step(u"close"_s);
        return onClose();
    }

    QIcon icon{QPixmap(32, 32)};
    int state = 0;
    QStringList calls;
    QStringList failing;
    std::function<bool()> onClose = [] { return false; };

private:
    void step(const QString& name)
    {
        calls << name;
        if (failing.contains(name))
            throw std::runtime_error("step failed");
    }
};

// TrayCommands over a scripted desktop and menu, its tray shown.
struct Rig
{
    Rig()
        : commands([this] {
              return std::make_unique<fTray>(
                  std::unique_ptr<TrayIconBackend>(backend = new FakeTrayIconBackend),
                  std::unique_ptr<PopupMenu>(menu = new ScriptedPopupMenu));
          })
    {
        commands.Show_Tray(host);
    }

    // A right-click on the icon choosing item `index` (0: dismissing the menu).
    void choose(int index)
    {
        menu->expectShow(index);
        backend->activate(QSystemTrayIcon::Context);
    }
    QList<bool> items45() const { return {menu->isEnabled(4), menu->isEnabled(5)}; }

    FakeHost host;
    FakeTrayIconBackend* backend = nullptr;
    ScriptedPopupMenu* menu = nullptr;
    TrayCommands commands;
};

// What every press on the icon does first, and what showing the window takes.
const QStringList kPress{u"normal"_s, u"front"_s};
const QStringList kShow{u"show"_s, u"normal"_s, u"front"_s};

} // namespace

class TestTrayCommands : public QObject
{
    Q_OBJECT

private slots:
    void showTrayGivesTheIconTipAndNineItems()
    {
        Rig rig;
        // After Initialise's four steps: the window's icon, then the tooltip.
        QCOMPARE(rig.backend->calls.mid(4), (QStringList{u"icon %1"_s.arg(rig.host.icon.cacheKey()),
                                                         u"tip Сервер рецептур :: 1.0.0"_s}));
        QStringList items;
        for (int i = 1; i <= rig.menu->count(); ++i) {
            items << rig.menu->caption(i) + u'|' + rig.menu->key(i) +
                         (rig.menu->isDefault(i) ? u"|default"_s : u""_s);
            QVERIFY(rig.menu->isEnabled(i) && !rig.menu->isChecked(i));
        }
        QCOMPARE(items.join(u", "), u"О программе...|about, -|, Настройки|feat|default, Включить|on, "
                                    u"Выключить|off, -|, Отправить сообщение администратору|send_mess, -|, "
                                    u"Выход|close"_s);
    }

    // Each item in turn, the boxes they ask for answered in order; only an empty message is not sent.
    void menuCommands()
    {
        ScriptedDialogs dialogs;
        dialogs.expectBox(); // "О программе..."
        for (const QString& answer : {u"Нет связи"_s, u" "_s, QString()})
            dialogs.expectInput(answer);
        Rig rig;
        for (const auto& [index, calls] : {std::pair{1, QStringList()},
                                           {2, QStringList()},
                                           {3, kShow},
                                           {4, QStringList{u"connect"_s}},
                                           {5, QStringList{u"disconnect"_s}},
                                           {7, QStringList{u"send $Mess=Нет связи"_s}},
                                           {7, QStringList{u"send $Mess= "_s}},
                                           {7, QStringList()},
                                           {9, QStringList{u"close"_s}},
                                           {0, QStringList()}}) {
            rig.host.calls.clear();
            rig.choose(index);
            QCOMPARE(rig.host.calls, kPress + calls);
        }
        QCOMPARE(dialogs.pending(), 0);
        const Dialogs::Box& about = dialogs.boxes().value(0);
        QCOMPARE(dialogs.boxes().size(), 1);
        QCOMPARE(about.title + u": "_s + about.text,
                 u"Ventaro 5 версия: Сервер рецептур :: Фитнесс-расчет\rКлиентская часть"_s);
        QCOMPARE(dialogs.prompts(), QStringList(3, u"Введите текст сообщения:"_s));
        // Keys are compared exactly; any other key does nothing.
        rig.host.calls.clear();
        for (const QString& key : {u"About"_s, u"close "_s, QString(), u"quit"_s})
            rig.commands.m_fTray_MenuClick(1, key);
        QVERIFY(rig.host.calls.isEmpty());
    }

    void exitUnloadsTheTrayOnlyWhenConfirmed()
    {
        Rig rig;
        bool confirmed = false;
        // The closing step unloads the tray from inside the tray's own menu event.
        rig.host.onClose = [&] {
            if (confirmed)
                rig.commands.unloadTray();
            return confirmed;
        };
        rig.choose(TrayCommands::ItemClose);
        QVERIFY(rig.commands.tray() && rig.backend->visible);
        confirmed = true;
        rig.choose(TrayCommands::ItemClose);
        QVERIFY(!rig.commands.tray() && !rig.backend->visible);
        rig.commands.setConnectionItems(true); // a later socket event finds no tray
    }

    // Items 4 and 5 follow the socket on any press, or as the menu shows: any state but closed is open.
    void pressRefreshesItems45FromTheSocket()
    {
        for (const int state : {6, 0, 9}) {
            Rig fresh; // both items enabled
            fresh.host.state = state;
            fresh.backend->activate(QSystemTrayIcon::Trigger); // a left click opens no menu
            QCOMPARE(fresh.items45(), (QList<bool>{state == 0, state != 0}));
        }
        Rig rig;
        // A StatusNotifierItem host draws the menu itself: only aboutToShow reaches the program.
        rig.host.state = 7;
        rig.host.calls.clear();
        rig.menu->menu()->popup(QPoint(20, 20));
        QCOMPARE(rig.items45(), (QList<bool>{false, true}));
        rig.menu->menu()->actions().at(4)->trigger();
        rig.menu->menu()->hide();
        QCOMPARE(rig.host.calls, QStringList{u"disconnect"_s});
    }

    void failingWindowStepsDoNotStopTheNext()
    {
        Rig rig;
        rig.host.failing = kShow;
        // An XEmbed double-click: a click, then DoubleClick.
        rig.backend->activate(QSystemTrayIcon::Trigger);
        rig.backend->activate(QSystemTrayIcon::DoubleClick);
        QCOMPARE(rig.host.calls, kPress + kShow);
        rig.host.state = 7;
        rig.choose(0);
        QCOMPARE(rig.menu->enabledWhenShown.value(0).mid(3, 2), (QList<bool>{false, true}));
    }
};

QTEST_MAIN(TestTrayCommands)
#include "TestTrayCommands.moc"
