#include "TrayCommands.h"

#include "FakeTrayIconBackend.h"
#include "ScriptedDialogs.h"
#include "ScriptedPopupMenu.h"
#include "TrayHost.h"
#include "fTray.h"

#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <stdexcept>

namespace {

// The main window as the tray commands see it: every call is written down,
// and any step can be made to fail.
class FakeHost final : public TrayHost
{
public:
    FakeHost()
    {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::darkCyan);
        icon = QIcon(pixmap);
    }

    QWidget* trayOwnerWindow() override { return &owner; }
    QIcon windowIcon() const override { return icon; }
    void showWindow() override { step(u"show"_qs); }
    void setNormalState() override { step(u"normal"_qs); }
    void bringToFront() override { step(u"front"_qs); }
    int socketState() const override { return state; }
    void cCon_Click() override { step(u"connect"_qs); }
    void cDisCon_Click() override { step(u"disconnect"_qs); }
    void SendCommand(const QString& command) override { step(u"send "_qs + command); }
    bool Form_QueryUnload() override
    {
        step(u"close"_qs);
        return onClose ? onClose() : false;
    }

    QWidget owner;
    QIcon icon;
    int state = 0;
    QStringList calls;
    QStringList failing;
    std::function<bool()> onClose;

private:
    void step(const QString& name)
    {
        calls << name;
        if (failing.contains(name))
            throw std::runtime_error("step failed");
    }
};

// Records the input box's title too, and hands every box on to the script.
class TitleRecorder final : public Dialogs::Backend
{
public:
    explicit TitleRecorder(ScriptedDialogs& script) : m_script(script) { Dialogs::setBackend(this); }
    ~TitleRecorder() override { Dialogs::setBackend(&m_script); }
    TitleRecorder(const TitleRecorder&) = delete;
    TitleRecorder& operator=(const TitleRecorder&) = delete;

    Dialogs::Answer message(const Dialogs::Box& box) override { return m_script.message(box); }
    QString input(const QString& prompt, const QString& title) override
    {
        inputTitles << title;
        return m_script.input(prompt, title);
    }
    QString saveFileName(const QString& caption, const QString& path, const QString& filter) override
    {
        return m_script.saveFileName(caption, path, filter);
    }

    QStringList inputTitles;

private:
    ScriptedDialogs& m_script;
};

// TrayCommands over a scripted desktop and menu.
struct Rig
{
    explicit Rig(bool available = true)
        : commands([this, available] {
              auto backendOwned = std::make_unique<FakeTrayIconBackend>(available);
              auto menuOwned = std::make_unique<ScriptedPopupMenu>();
              backend = backendOwned.get();
              menu = menuOwned.get();
              return std::make_unique<fTray>(std::move(backendOwned), std::move(menuOwned));
          })
    {
        commands.Show_Tray(host);
        host.calls.clear();
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

// What a right press does before the menu opens.
const QStringList kPress{u"normal"_qs, u"front"_qs};

} // namespace

class TestTrayCommands : public QObject
{
    Q_OBJECT

private slots:
    void showTrayMakesTheCallsInOrder()
    {
        Rig rig;
        const QStringList calls = rig.backend->calls;
        QCOMPARE(calls.size(), 6);
        // Initialise: own icon, empty tip, the menu, the icon added; then the
        // window's icon and the tooltip.
        QCOMPARE(calls.mid(1, 3), (QStringList{u"tip "_qs, u"menu"_qs, u"show"_qs}));
        QCOMPARE(calls[4], u"icon %1"_qs.arg(rig.host.icon.cacheKey()));
        QCOMPARE(calls[5], u"tip Сервер рецептур :: 1.0.0"_qs);
        QCOMPARE(rig.commands.tray()->ToolTip(), u"Сервер рецептур :: 1.0.0"_qs);
        QCOMPARE(rig.commands.tray()->IconHandle().value(), rig.host.icon.cacheKey());
        QCOMPARE(rig.menu->ownerWindow(), &rig.host.owner);
        QVERIFY(rig.commands.notificationAreaAvailable());
        QVERIFY(rig.host.calls.isEmpty());
    }

    void theNineItems_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("isDefault");
        QTest::newRow("1") << 1 << u"О программе..."_qs << u"about"_qs << false;
        QTest::newRow("2") << 2 << u"-"_qs << QString() << false;
        QTest::newRow("3") << 3 << u"Настройки"_qs << u"feat"_qs << true;
        QTest::newRow("4") << 4 << u"Включить"_qs << u"on"_qs << false;
        QTest::newRow("5") << 5 << u"Выключить"_qs << u"off"_qs << false;
        QTest::newRow("6") << 6 << u"-"_qs << QString() << false;
        QTest::newRow("7") << 7 << u"Отправить сообщение администратору"_qs << u"send_mess"_qs << false;
        QTest::newRow("8") << 8 << u"-"_qs << QString() << false;
        QTest::newRow("9") << 9 << u"Выход"_qs << u"close"_qs << false;
    }

    void theNineItems()
    {
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QString, key);
        QFETCH(bool, isDefault);
        Rig rig;
        QCOMPARE(rig.menu->count(), 9);
        QCOMPARE(rig.menu->caption(index), caption);
        QCOMPARE(rig.menu->key(index), key);
        QCOMPARE(rig.menu->isDefault(index), isDefault);
        QCOMPARE(rig.menu->menu()->actions().at(index - 1)->isSeparator(), caption == u"-");
        // Created enabled, unchecked, without icon or data.
        QVERIFY(rig.menu->isEnabled(index));
        QVERIFY(!rig.menu->isChecked(index));
        QVERIFY(rig.menu->menu()->actions().at(index - 1)->icon().isNull());
        QCOMPARE(rig.menu->menu()->actions().at(index - 1)->data().toInt(), 0);
    }

    void menuCommands_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("settings shows the window restored")
            << 3 << QStringList{u"show"_qs, u"normal"_qs, u"front"_qs};
        QTest::newRow("on connects") << 4 << QStringList{u"connect"_qs};
        QTest::newRow("off disconnects") << 5 << QStringList{u"disconnect"_qs};
        QTest::newRow("exit runs the closing step") << 9 << QStringList{u"close"_qs};
        QTest::newRow("separator does nothing") << 2 << QStringList();
        QTest::newRow("dismissed") << 0 << QStringList();
    }

    void menuCommands()
    {
        QFETCH(int, index);
        QFETCH(QStringList, calls);
        ScriptedDialogs dialogs;
        Rig rig;
        rig.choose(index);
        QCOMPARE(rig.host.calls, kPress + calls);
        QVERIFY(dialogs.boxes().isEmpty());
    }

    void unknownKeysDoNothing_data()
    {
        QTest::addColumn<QString>("sKey");
        QTest::newRow("other case") << u"About"_qs;
        QTest::newRow("blank") << u"close "_qs;
        QTest::newRow("empty") << QString();
        QTest::newRow("unknown") << u"quit"_qs;
    }

    void unknownKeysDoNothing()
    {
        QFETCH(QString, sKey);
        ScriptedDialogs dialogs;
        Rig rig;
        rig.commands.m_fTray_MenuClick(1, sKey);
        QVERIFY(rig.host.calls.isEmpty());
        QVERIFY(dialogs.boxes().isEmpty());
    }

    void aboutShowsItsBox()
    {
        ScriptedDialogs dialogs;
        dialogs.expectBox(Dialogs::Answer::Ok);
        Rig rig;
        rig.choose(1);
        QCOMPARE(dialogs.boxes().size(), 1);
        const Dialogs::Box& box = dialogs.boxes().first();
        QCOMPARE(box.text, u"Сервер рецептур :: Фитнесс-расчет\rКлиентская часть"_qs);
        QCOMPARE(box.title, u"Ventaro 5 версия"_qs);
        QCOMPARE(box.icon, Dialogs::Icon::Information);
        QCOMPARE(box.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(rig.host.calls, kPress);
    }

    void sendMessageSendsOnlyANonEmptyAnswer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("text") << u"Нет связи с кухней"_qs << QStringList{u"send $Mess=Нет связи с кухней"_qs};
        QTest::newRow("blank is text") << u" "_qs << QStringList{u"send $Mess= "_qs};
        QTest::newRow("empty or cancel") << QString() << QStringList();
    }

    void sendMessageSendsOnlyANonEmptyAnswer()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, sent);
        ScriptedDialogs dialogs;
        TitleRecorder titles(dialogs);
        dialogs.expectInput(answer);
        Rig rig;
        rig.choose(7);
        QCOMPARE(dialogs.prompts(), QStringList{u"Введите текст сообщения:"_qs});
        QCOMPARE(titles.inputTitles, QStringList{u"Отправка сообщения администратору"_qs});
        QCOMPARE(rig.host.calls, kPress + sent);
        QCOMPARE(dialogs.pending(), 0);
    }

    void exitAnsweredNoLeavesTheTray()
    {
        Rig rig;
        rig.host.onClose = [] { return false; };
        rig.choose(9);
        QVERIFY(rig.commands.tray());
        QVERIFY(rig.backend->visible);
        QVERIFY(rig.commands.notificationAreaAvailable());
    }

    void exitAnsweredYesUnloadsTheTrayFromInsideItsEvent()
    {
        Rig rig;
        // The closing step unloads the tray while the tray is still inside
        // the menu event that asked for it.
        rig.host.onClose = [&rig] {
            rig.commands.unloadTray();
            return true;
        };
        QStringList journal;
        rig.backend->journal = &journal;
        rig.choose(9);
        QCOMPARE(rig.commands.tray(), nullptr);
        QCOMPARE(journal.mid(journal.size() - 2), (QStringList{u"no menu"_qs, u"hide"_qs}));
        QVERIFY(!rig.commands.notificationAreaAvailable());
        // Later connection events find no tray and do nothing.
        rig.commands.setConnectionItems(true);
        rig.commands.unloadTray();
    }

    void pressRefreshesItems45FromTheSocket_data()
    {
        QTest::addColumn<int>("socketState");
        QTest::addColumn<QList<bool>>("items");
        QTest::newRow("closed") << 0 << QList<bool>{true, false};
        QTest::newRow("connecting") << 6 << QList<bool>{false, true};
        QTest::newRow("connected") << 7 << QList<bool>{false, true};
        QTest::newRow("error") << 9 << QList<bool>{false, true};
    }

    void pressRefreshesItems45FromTheSocket()
    {
        QFETCH(int, socketState);
        QFETCH(QList<bool>, items);
        Rig rig;
        QCOMPARE(rig.items45(), (QList<bool>{true, true}));
        rig.host.state = socketState;
        // A left click: no menu (the scripted one would fail if opened).
        rig.backend->activate(QSystemTrayIcon::Trigger);
        QCOMPARE(rig.host.calls, kPress);
        QCOMPARE(rig.items45(), items);
        QVERIFY(rig.menu->shownAt.isEmpty());

        // A right click: the same, and the menu opens with the items right.
        rig.commands.setConnectionItems(socketState == 0);
        rig.choose(0);
        QCOMPARE(rig.menu->enabledWhenShown.size(), 1);
        QCOMPARE(rig.menu->enabledWhenShown.first().mid(3, 2), items);
    }

    void aMenuOpenedByTheDesktopIsRefreshedToo()
    {
        // A StatusNotifierItem host draws the menu itself: no press reaches
        // the program, only the menu's aboutToShow.
        Rig rig;
        rig.host.state = 7;
        rig.menu->menu()->popup(QPoint(20, 20));
        QCOMPARE(rig.items45(), (QList<bool>{false, true}));
        QVERIFY(rig.host.calls.isEmpty());
        rig.menu->menu()->hide();
        // Its choice runs the command.
        rig.menu->menu()->actions().at(4)->trigger();
        QCOMPARE(rig.host.calls, QStringList{u"disconnect"_qs});
    }

    void anXEmbedRightClickOpensOneMenu()
    {
        // The tray pops the context menu up itself before reporting the
        // press; the press must not open a second one.
        Rig rig;
        rig.host.state = 0;
        rig.backend->rightClickAsXEmbed(QPoint(20, 20));
        QVERIFY(rig.menu->shownAt.isEmpty());
        QCOMPARE(rig.host.calls, kPress);
        QCOMPARE(rig.items45(), (QList<bool>{true, false}));
        rig.menu->menu()->actions().at(3)->trigger();
        QCOMPARE(rig.host.calls, kPress + QStringList{u"connect"_qs});
        rig.menu->menu()->hide();
    }

    void connectionItemsFollowTheConnection()
    {
        Rig rig;
        rig.commands.setConnectionItems(true);
        QCOMPARE(rig.items45(), (QList<bool>{false, true}));
        rig.commands.setConnectionItems(false);
        QCOMPARE(rig.items45(), (QList<bool>{true, false}));
    }

    void doubleClickShowsTheWindow_data()
    {
        QTest::addColumn<QStringList>("failing");
        QTest::newRow("all steps work") << QStringList();
        QTest::newRow("show fails") << QStringList{u"show"_qs};
        QTest::newRow("every step fails") << QStringList{u"show"_qs, u"normal"_qs, u"front"_qs};
    }

    void doubleClickShowsTheWindow()
    {
        QFETCH(QStringList, failing);
        Rig rig;
        rig.host.failing = failing;
        rig.commands.m_fTray_SysTrayDoubleClick(fTray::kRightButton);
        QCOMPARE(rig.host.calls, (QStringList{u"show"_qs, u"normal"_qs, u"front"_qs}));
        // Through the icon: an XEmbed double-click is a click, then DoubleClick.
        rig.host.calls.clear();
        rig.backend->activate(QSystemTrayIcon::Trigger);
        rig.backend->activate(QSystemTrayIcon::DoubleClick);
        QCOMPARE(rig.host.calls, kPress + (QStringList{u"show"_qs, u"normal"_qs, u"front"_qs}));
    }

    void aFailingWindowStepStillOpensTheMenu()
    {
        Rig rig;
        rig.host.failing = {u"normal"_qs, u"front"_qs};
        rig.host.state = 3;
        rig.choose(0);
        QCOMPARE(rig.host.calls, kPress);
        QCOMPARE(rig.items45(), (QList<bool>{false, true}));
        QCOMPARE(rig.menu->shownAt.size(), 1);
    }

    void withoutANotificationAreaTheCommandsStillWork()
    {
        ScriptedDialogs dialogs;
        Rig rig(false);
        QVERIFY(!rig.commands.notificationAreaAvailable());
        QVERIFY(!rig.backend->calls.contains(u"show"_qs));
        QCOMPARE(rig.menu->count(), 9);
        rig.commands.setConnectionItems(true);
        QCOMPARE(rig.items45(), (QList<bool>{false, true}));
    }

    void theRealIconWithoutNotificationAreaStaysQuiet()
    {
        QTest::failOnWarning(QRegularExpression(u".*"_qs));
        FakeHost host;
        TrayCommands commands;
        QCOMPARE(commands.tray(), nullptr);
        QVERIFY(!commands.notificationAreaAvailable());
        commands.Show_Tray(host);
        QVERIFY(commands.tray());
        QVERIFY(!commands.notificationAreaAvailable());
        QCOMPARE(commands.tray()->ToolTip(), u"Сервер рецептур :: 1.0.0"_qs);
        commands.unloadTray();
    }

    void theRealMenuDrivenByKeys()
    {
        // The whole road with the real popup: right-click, arrow down to
        // "О программе...", Enter, the about box.
        ScriptedDialogs dialogs;
        dialogs.expectBox(Dialogs::Answer::Ok);
        FakeHost host;
        FakeTrayIconBackend* backend = nullptr;
        TrayCommands commands([&backend] {
            auto owned = std::make_unique<FakeTrayIconBackend>();
            backend = owned.get();
            return std::make_unique<fTray>(std::move(owned));
        });
        commands.Show_Tray(host);
        host.state = 7;
        QMenu* menu = commands.tray()->PopupMenuObject()->menu();
        QList<bool> seen;
        QTimer::singleShot(0, menu, [&] {
            seen = {menu->actions().at(3)->isEnabled(), menu->actions().at(4)->isEnabled()};
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        backend->activate(QSystemTrayIcon::Context);
        QCOMPARE(seen, (QList<bool>{false, true}));
        QCOMPARE(dialogs.boxTexts(), QStringList{u"Сервер рецептур :: Фитнесс-расчет\rКлиентская часть"_qs});
    }
};

QTEST_MAIN(TestTrayCommands)
#include "TestTrayCommands.moc"
