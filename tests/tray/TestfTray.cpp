#include "fTray.h"

#include "FakeTrayIconBackend.h"
#include "QtTrayIconBackend.h"
#include "ScriptedPopupMenu.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

// An fTray over a scripted desktop and a scripted menu, with the pieces
// still in reach.
struct Rig
{
    explicit Rig(bool available = true)
    {
        auto backendOwned = std::make_unique<FakeTrayIconBackend>(available);
        auto menuOwned = std::make_unique<ScriptedPopupMenu>();
        backend = backendOwned.get();
        menu = menuOwned.get();
        tray = std::make_unique<fTray>(std::move(backendOwned), std::move(menuOwned));
        tray->setClock([this] { return now; });
    }

    // The tray's nine items, as the main window adds them.
    void addNine()
    {
        const QStringList keys{u"about"_qs, QString(),       u"feat"_qs, u"on"_qs,   u"off"_qs,
                               QString(),   u"send_mess"_qs, QString(),  u"close"_qs};
        for (const QString& key : keys)
            tray->AddMenuItem(key.isEmpty() ? u"-"_qs : key, key, key == u"feat");
    }

    // Every flag of every item, to show that a failed call changed nothing.
    QString snapshot() const
    {
        QString out;
        for (int i = 1; i <= menu->count(); ++i)
            out += u"%1:%2%3%4%5 "_qs.arg(i)
                       .arg(menu->key(i))
                       .arg(menu->isEnabled(i) ? u'E' : u'-')
                       .arg(menu->isChecked(i) ? u'C' : u'-')
                       .arg(menu->isDefault(i) ? u'D' : u'-');
        return out;
    }

    FakeTrayIconBackend* backend = nullptr;
    ScriptedPopupMenu* menu = nullptr;
    std::unique_ptr<fTray> tray;
    qint64 now = 100000;
};

// The events in the order raised, e.g. "down1 up1 dbl1".
struct EventLog
{
    explicit EventLog(fTray& tray)
    {
        QObject::connect(&tray, &fTray::SysTrayMouseDown, [this](int b) { events << u"down%1"_qs.arg(b); });
        QObject::connect(&tray, &fTray::SysTrayMouseUp, [this](int b) { events << u"up%1"_qs.arg(b); });
        QObject::connect(&tray, &fTray::SysTrayMouseMove, [this] { events << u"move"_qs; });
        QObject::connect(&tray, &fTray::SysTrayDoubleClick, [this](int b) { events << u"dbl%1"_qs.arg(b); });
        QObject::connect(&tray, &fTray::MenuClick,
                         [this](int i, const QString& key) { events << u"menu%1:%2"_qs.arg(i).arg(key); });
    }
    QString text() const { return events.join(u' '); }
    QStringList events;
};

using Activation = QPair<QSystemTrayIcon::ActivationReason, int>; // reason, milliseconds after the first

} // namespace

class TestfTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(400); }

    void initialiseAddsTheIconWithAnEmptyTip()
    {
        Rig rig;
        QWidget owner;
        rig.tray->Initialise(&owner);
        QCOMPARE(rig.backend->calls.size(), 4);
        QVERIFY(rig.backend->calls[0].startsWith(u"icon "_qs));
        QCOMPARE(rig.backend->calls.mid(1), (QStringList{u"tip "_qs, u"menu"_qs, u"show"_qs}));
        QVERIFY(!rig.backend->icon.isNull());
        QCOMPARE(rig.tray->IconHandle().value(), rig.backend->icon.cacheKey());
        QCOMPARE(rig.tray->ToolTip(), QString());
        QCOMPARE(rig.backend->contextMenu, rig.menu->menu());
        QCOMPARE(rig.menu->ownerWindow(), &owner);
        QCOMPARE(rig.tray->PopupMenuObject(), rig.menu);
        QCOMPARE(rig.menu->count(), 0);
        QVERIFY(rig.tray->notificationAreaAvailable());
    }

    void unloadingRemovesTheIcon()
    {
        Rig rig;
        rig.tray->Initialise(nullptr);
        rig.backend->calls.clear();
        rig.tray->Unload();
        QCOMPARE(rig.backend->calls, (QStringList{u"no menu"_qs, u"hide"_qs}));
        QVERIFY(!rig.tray->notificationAreaAvailable());
        rig.tray->Unload();
        QCOMPARE(rig.backend->calls.size(), 2);
    }

    void destroyingUnloads()
    {
        QStringList journal;
        auto backend = std::make_unique<FakeTrayIconBackend>();
        backend->journal = &journal;
        {
            fTray tray(std::move(backend));
            tray.Initialise(nullptr);
            journal.clear();
        }
        QCOMPARE(journal, (QStringList{u"no menu"_qs, u"hide"_qs}));
    }

    void withoutANotificationAreaNothingIsShown()
    {
        Rig rig(false);
        rig.tray->Initialise(nullptr);
        QVERIFY(!rig.backend->calls.contains(u"show"_qs));
        QVERIFY(!rig.tray->notificationAreaAvailable());
        // The menu and its operations still work.
        rig.addNine();
        rig.tray->EnableMenuItem(4, false);
        QVERIFY(!rig.menu->isEnabled(4));
        // A notification area that goes away later counts as gone.
        Rig later;
        later.tray->Initialise(nullptr);
        later.backend->available = false;
        QVERIFY(!later.tray->notificationAreaAvailable());
    }

    void realIconWithoutNotificationAreaStaysQuiet()
    {
        // The offscreen platform has no notification area, like a headless
        // session: the real icon must not complain, now or on later calls.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QTest::failOnWarning(QRegularExpression(u".*"_qs));
        fTray tray;
        tray.Initialise(nullptr);
        tray.ToolTip(u"Сервер рецептур :: 1.0.0"_qs);
        tray.IconHandle(TrayIconHandle(QIcon(QPixmap(16, 16))));
        QCOMPARE(tray.AddMenuItem(u"Выход"_qs, u"close"_qs), 1);
        QVERIFY(!tray.notificationAreaAvailable());
        tray.Unload();
    }

    void addMenuItemReturnsTheIndexAndSetsTheDefault()
    {
        Rig rig;
        rig.tray->Initialise(nullptr);
        QCOMPARE(rig.tray->AddMenuItem(u"О программе..."_qs, u"about"_qs, false, 0, 0, -1, false, true), 1);
        QCOMPARE(rig.tray->AddMenuItem(u"-"_qs, QString(), false, 0, 0, -1, false, true), 2);
        QCOMPARE(rig.tray->AddMenuItem(u"Настройки"_qs, u"feat"_qs, true, 0, 0, -1, false, true), 3);
        QCOMPARE(rig.tray->AddMenuItem(u"Отмечен"_qs, u"x"_qs, false, 0, 0, -1, true, false), 4);
        QVERIFY(rig.tray->Default(3));
        QVERIFY(!rig.tray->Default(1));
        QVERIFY(rig.tray->Checked(4));
        QVERIFY(!rig.menu->isEnabled(4));
        // Refused by the menu: 0, and the default stays where it was.
        QCOMPARE(rig.tray->AddMenuItem(u"Вложенный"_qs, u"sub"_qs, true, 0, 1, -1, false, true), 0);
        QCOMPARE(rig.menu->count(), 4);
        QVERIFY(rig.tray->Default(u"feat"_qs));
    }

    void operationsNamingNoItemFailWithError9_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QVariant>("vKey");
        QTest::newRow("enable 0") << u"enable"_qs << QVariant(0);
        QTest::newRow("enable -1") << u"enable"_qs << QVariant(-1);
        QTest::newRow("enable past the end") << u"enable"_qs << QVariant(10);
        QTest::newRow("remove 0") << u"remove"_qs << QVariant(0);
        QTest::newRow("remove past the end") << u"remove"_qs << QVariant(10);
        QTest::newRow("default unknown key") << u"default"_qs << QVariant(u"nothing"_qs);
        QTest::newRow("default key of other case") << u"default"_qs << QVariant(u"Feat"_qs);
        QTest::newRow("set default unknown key") << u"setDefault"_qs << QVariant(u"FEAT"_qs);
        QTest::newRow("checked unknown key") << u"checked"_qs << QVariant(u"Close"_qs);
        QTest::newRow("set checked key with a blank") << u"setChecked"_qs << QVariant(u"feat "_qs);
        QTest::newRow("set checked 0 text") << u"setChecked"_qs << QVariant(u"0"_qs);
        QTest::newRow("checked fraction") << u"checked"_qs << QVariant(u"2,5"_qs);
        QTest::newRow("checked past the end text") << u"checked"_qs << QVariant(u"10"_qs);
        QTest::newRow("default huge") << u"default"_qs << QVariant(1e12);
    }

    void operationsNamingNoItemFailWithError9()
    {
        QFETCH(QString, operation);
        QFETCH(QVariant, vKey);
        Rig rig;
        rig.tray->Initialise(nullptr);
        rig.addNine();
        const QString before = rig.snapshot();
        try {
            if (operation == u"enable")
                rig.tray->EnableMenuItem(vKey.toInt(), false);
            else if (operation == u"remove")
                rig.tray->RemoveMenuItem(vKey.toInt());
            else if (operation == u"default")
                rig.tray->Default(vKey);
            else if (operation == u"setDefault")
                rig.tray->Default(vKey, true);
            else if (operation == u"checked")
                rig.tray->Checked(vKey);
            else
                rig.tray->Checked(vKey, true);
            QFAIL("no error raised");
        } catch (const SubscriptOutOfRange& error) {
            QCOMPARE(error.number(), 9);
        }
        QCOMPARE(rig.snapshot(), before);
    }

    void keysDesignateItems_data()
    {
        QTest::addColumn<QVariant>("vKey");
        QTest::addColumn<int>("index");
        QTest::newRow("number") << QVariant(5) << 5;
        QTest::newRow("numeric text") << QVariant(u"3"_qs) << 3;
        QTest::newRow("numeric text beats a key of that text") << QVariant(u"4"_qs) << 4;
        QTest::newRow("numeric text with blanks") << QVariant(u" 7 "_qs) << 7;
        QTest::newRow("whole number with comma") << QVariant(u"9,0"_qs) << 9;
        QTest::newRow("double") << QVariant(1.0) << 1;
        QTest::newRow("key") << QVariant(u"feat"_qs) << 3;
        QTest::newRow("first of two equal keys") << QVariant(u"off"_qs) << 5;
        QTest::newRow("key that is a point number") << QVariant(u"1.5"_qs) << 8;
    }

    void keysDesignateItems()
    {
        QFETCH(QVariant, vKey);
        QFETCH(int, index);
        Rig rig;
        rig.tray->Initialise(nullptr);
        const QStringList keys{u"about"_qs, QString(), u"feat"_qs, u"on"_qs,   u"off"_qs,
                               u"3"_qs,     u"off"_qs, u"1.5"_qs,  u"close"_qs};
        for (const QString& key : keys)
            rig.tray->AddMenuItem(u"item"_qs, key);
        rig.tray->Checked(vKey, true);
        for (int i = 1; i <= rig.menu->count(); ++i)
            QCOMPARE(rig.menu->isChecked(i), i == index);
        QVERIFY(rig.tray->Checked(vKey));
        rig.tray->Default(vKey, true);
        QVERIFY(rig.menu->isDefault(index));
        rig.tray->Default(vKey, false);
        QVERIFY(!rig.tray->Default(vKey));
    }

    void enableAndRemoveByIndex()
    {
        Rig rig;
        rig.tray->Initialise(nullptr);
        rig.addNine();
        rig.tray->EnableMenuItem(4, false);
        rig.tray->EnableMenuItem(5, true);
        QVERIFY(!rig.menu->isEnabled(4));
        QVERIFY(rig.menu->isEnabled(5));
        rig.tray->RemoveMenuItem(1);
        QCOMPARE(rig.menu->count(), 8);
        QCOMPARE(rig.menu->key(1), QString());
        QCOMPARE(rig.menu->key(2), u"feat"_qs);
    }

    void toolTipIsCutToItsField_data()
    {
        QTest::addColumn<QString>("sTip");
        QTest::addColumn<QString>("shown");
        const QString sixtyFour = QString(60, u'ж') + u"1234"_qs;
        QTest::newRow("short") << u"Сервер рецептур :: 1.0.0"_qs << u"Сервер рецептур :: 1.0.0"_qs;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("exactly 64") << sixtyFour << sixtyFour;
        QTest::newRow("65 cut") << sixtyFour + u'5' << sixtyFour;
        QTest::newRow("long cut") << QString(200, u'x') << QString(64, u'x');
        QTest::newRow("up to a NUL") << u"до\u0000после"_qs << u"до"_qs;
        QTest::newRow("no half characters") << QString(63, u'a') + u"😀b"_qs << QString(63, u'a');
        QTest::newRow("whole pair at the end") << QString(62, u'a') + u"😀b"_qs << QString(62, u'a') + u"😀"_qs;
    }

    void toolTipIsCutToItsField()
    {
        QFETCH(QString, sTip);
        QFETCH(QString, shown);
        Rig rig;
        rig.tray->Initialise(nullptr);
        rig.backend->tips.clear();
        rig.tray->ToolTip(sTip);
        QCOMPARE(rig.tray->ToolTip(), shown);
        QCOMPARE(rig.backend->tips, QStringList{shown});
        // Every write is sent, even of the same text.
        rig.tray->ToolTip(sTip);
        QCOMPARE(rig.backend->tips.size(), 2);
    }

    void anEqualIconHandleSendsNothing()
    {
        Rig rig;
        rig.tray->Initialise(nullptr);
        rig.backend->calls.clear();
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::green);
        const QIcon icon(pixmap);
        rig.tray->IconHandle(TrayIconHandle(icon));
        QCOMPARE(rig.backend->calls, QStringList{u"icon %1"_qs.arg(icon.cacheKey())});
        rig.tray->IconHandle(TrayIconHandle(icon));
        const QIcon copy = icon;
        rig.tray->IconHandle(TrayIconHandle(copy));
        rig.tray->IconHandle(rig.tray->IconHandle());
        QCOMPARE(rig.backend->calls.size(), 1);
        QCOMPARE(rig.tray->IconHandle(), TrayIconHandle(icon));
        QPixmap other(16, 16);
        other.fill(Qt::red);
        rig.tray->IconHandle(TrayIconHandle(QIcon(other)));
        QCOMPARE(rig.backend->calls.size(), 2);
    }

    void showMenuRaisesMenuClickForTheChoice_data()
    {
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("events");
        QTest::newRow("settings") << 3 << u"menu3:feat"_qs;
        QTest::newRow("exit") << 9 << u"menu9:close"_qs;
        QTest::newRow("separator has no key") << 2 << u"menu2:"_qs;
        QTest::newRow("dismissed") << 0 << QString();
    }

    void showMenuRaisesMenuClickForTheChoice()
    {
        QFETCH(int, chosen);
        QFETCH(QString, events);
        Rig rig;
        rig.tray->Initialise(nullptr);
        rig.addNine();
        EventLog log(*rig.tray);
        rig.menu->expectShow(chosen);
        rig.tray->ShowMenu();
        QCOMPARE(rig.menu->shownAt, QList<QPoint>{QCursor::pos()});
        QCOMPARE(log.text(), events);
        QCOMPARE(rig.menu->pending(), 0);
    }

    void realMenuChoiceRaisesMenuClick()
    {
        auto backendOwned = std::make_unique<FakeTrayIconBackend>();
        fTray tray(std::move(backendOwned));
        tray.Initialise(nullptr);
        tray.AddMenuItem(u"О программе..."_qs, u"about"_qs);
        tray.AddMenuItem(u"-"_qs);
        tray.AddMenuItem(u"Настройки"_qs, u"feat"_qs, true);
        EventLog log(tray);
        QMenu* menu = tray.PopupMenuObject()->menu();
        QTimer::singleShot(0, menu, [menu] {
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        tray.ShowMenu();
        QCOMPARE(log.text(), u"menu3:feat"_qs);
        QTimer::singleShot(0, menu, [menu] { QTest::keyClick(menu, Qt::Key_Escape); });
        tray.ShowMenu();
        QCOMPARE(log.text(), u"menu3:feat"_qs);
    }

    void activationsBecomeMouseEvents_data()
    {
        QTest::addColumn<QList<Activation>>("activations");
        QTest::addColumn<QString>("events");
        using R = QSystemTrayIcon;
        QTest::newRow("right click") << QList<Activation>{{R::Context, 0}} << u"down2 up2"_qs;
        QTest::newRow("left click") << QList<Activation>{{R::Trigger, 0}} << u"down1 up1"_qs;
        QTest::newRow("middle click") << QList<Activation>{{R::MiddleClick, 0}} << QString();
        QTest::newRow("unknown") << QList<Activation>{{R::Unknown, 0}} << QString();
        QTest::newRow("XEmbed double-click: Trigger then DoubleClick")
            << QList<Activation>{{R::Trigger, 0}, {R::DoubleClick, 150}} << u"down1 up1 dbl1 up1"_qs;
        QTest::newRow("double-click as two Triggers")
            << QList<Activation>{{R::Trigger, 0}, {R::Trigger, 150}} << u"down1 up1 dbl1 up1"_qs;
        QTest::newRow("two Triggers at the interval")
            << QList<Activation>{{R::Trigger, 0}, {R::Trigger, 400}} << u"down1 up1 dbl1 up1"_qs;
        QTest::newRow("two slow clicks")
            << QList<Activation>{{R::Trigger, 0}, {R::Trigger, 401}} << u"down1 up1 down1 up1"_qs;
        QTest::newRow("two Triggers and a DoubleClick make one double-click")
            << QList<Activation>{{R::Trigger, 0}, {R::Trigger, 100}, {R::DoubleClick, 110}}
            << u"down1 up1 dbl1 up1"_qs;
        QTest::newRow("third click starts afresh")
            << QList<Activation>{{R::Trigger, 0}, {R::Trigger, 100}, {R::Trigger, 200}}
            << u"down1 up1 dbl1 up1 down1 up1"_qs;
        QTest::newRow("two double-clicks in a row") << QList<Activation>{{R::Trigger, 0},
                                                                         {R::DoubleClick, 100},
                                                                         {R::Trigger, 200},
                                                                         {R::DoubleClick, 300}}
                                                    << u"down1 up1 dbl1 up1 down1 up1 dbl1 up1"_qs;
        QTest::newRow("right click between left clicks")
            << QList<Activation>{{R::Trigger, 0}, {R::Context, 100}, {R::Trigger, 200}}
            << u"down1 up1 down2 up2 down1 up1"_qs;
    }

    void activationsBecomeMouseEvents()
    {
        QFETCH(QList<Activation>, activations);
        QFETCH(QString, events);
        Rig rig;
        rig.tray->Initialise(nullptr);
        EventLog log(*rig.tray);
        const qint64 start = rig.now;
        for (const auto& [reason, at] : activations) {
            rig.now = start + at;
            rig.backend->activate(reason);
        }
        QCOMPARE(log.text(), events);
    }

    void aMenuOpenedByThePlatformIsNotOpenedTwice()
    {
        Rig rig;
        rig.tray->Initialise(nullptr);
        rig.addNine();
        EventLog log(*rig.tray);
        // The owner answers a right press with ShowMenu; the scripted menu
        // would fail the test if it were asked to open.
        connect(rig.tray.get(), &fTray::SysTrayMouseDown, rig.tray.get(), [&](int eButton) {
            if (eButton == fTray::kRightButton)
                rig.tray->ShowMenu();
        });
        QSignalSpy aboutToShow(rig.menu, &PopupMenu::aboutToShow);
        rig.backend->rightClickAsXEmbed(QPoint(30, 30));
        QCOMPARE(aboutToShow.size(), 1);
        QVERIFY(rig.menu->shownAt.isEmpty());
        QVERIFY(rig.menu->isOpen());
        // The choice made in that menu still reaches the owner.
        rig.menu->menu()->actions().at(6)->trigger();
        QCOMPARE(log.text(), u"down2 up2 menu7:send_mess"_qs);
        rig.menu->menu()->hide();
    }
};

QTEST_MAIN(TestfTray)
#include "TestfTray.moc"
