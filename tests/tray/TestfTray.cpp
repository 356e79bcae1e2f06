#include "tray/fTray.h"

#include "tray/FakeTrayIconBackend.h"
#include "tray/ScriptedPopupMenu.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QStyleHints>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// An initialised fTray over a scripted desktop and menu, on a clock the test
// sets, with every event it raises written down ("down1 up1 dbl1 menu3:feat").
struct Rig
{
    explicit Rig(bool available = true)
        : backend(new FakeTrayIconBackend(available)), menu(new ScriptedPopupMenu),
          tray(std::unique_ptr<TrayIconBackend>(backend), std::unique_ptr<PopupMenu>(menu))
    {
        tray.setClock([this] { return now; });
        tray.Initialise(nullptr);
        QObject::connect(&tray, &fTray::SysTrayMouseDown, [this](int b) { events << u"down%1"_s.arg(b); });
        QObject::connect(&tray, &fTray::SysTrayMouseUp, [this](int b) { events << u"up%1"_s.arg(b); });
        QObject::connect(&tray, &fTray::SysTrayDoubleClick, [this](int b) { events << u"dbl%1"_s.arg(b); });
        QObject::connect(&tray, &fTray::MenuClick,
                         [this](int i, const QString& key) { events << u"menu%1:%2"_s.arg(i).arg(key); });
    }

    // Items keyed as given ("-" a separator without key).
    void add(const QStringList& keys)
    {
        for (const QString& key : keys)
            tray.AddMenuItem(key, key == u"-" ? QString() : key);
    }
    QString log() const { return events.join(u' '); }

    FakeTrayIconBackend* backend;
    ScriptedPopupMenu* menu;
    fTray tray;
    qint64 now = 100000;
    QStringList events;
};

} // namespace

class TestfTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(400); }

    void initialiseAddsTheIconAndUnloadRemovesIt()
    {
        Rig rig;
        QCOMPARE(rig.backend->calls, (QStringList{u"icon %1"_s.arg(rig.tray.IconHandle().value()), u"tip "_s,
                                                  u"menu"_s, u"show"_s}));
        QVERIFY(rig.tray.IconHandle().value() != 0);
        QCOMPARE(rig.backend->contextMenu, rig.menu->menu());
        QVERIFY(rig.tray.notificationAreaAvailable());
        rig.backend->available = false; // the desktop's area went away
        QVERIFY(!rig.tray.notificationAreaAvailable());
        rig.backend->calls.clear();
        rig.tray.Unload();
        rig.tray.Unload();
        QCOMPARE(rig.backend->calls, (QStringList{u"no menu"_s, u"hide"_s}));
    }

    void withoutANotificationAreaNothingIsShownOrWarned()
    {
        Rig rig(false);
        QVERIFY(!rig.backend->calls.contains(u"show"_s));
        QVERIFY(!rig.tray.notificationAreaAvailable());
        // The real icon on the offscreen platform, which has no notification
        // area, like a headless session: no warning, now or on later calls.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QTest::failOnWarning(QRegularExpression(u".*"_s));
        fTray real;
        real.Initialise(nullptr);
        real.ToolTip(u"Сервер рецептур :: 1.0.0"_s);
        real.IconHandle(TrayIconHandle(QIcon(QPixmap(16, 16))));
        QCOMPARE(real.AddMenuItem(u"Выход"_s, u"close"_s), 1);
        QVERIFY(!real.notificationAreaAvailable());
        real.Unload();
    }

    void itemsAreAddedAndChangedByIndex()
    {
        Rig rig;
        QCOMPARE(rig.tray.AddMenuItem(u"a"_s, u"a"_s), 1);
        QCOMPARE(rig.tray.AddMenuItem(u"-"_s), 2);
        QCOMPARE(rig.tray.AddMenuItem(u"b"_s, u"b"_s, true, 0, 0, -1, true, false), 3);
        QVERIFY(rig.tray.Default(3) && rig.tray.Checked(3) && !rig.menu->isEnabled(3));
        // Refused by the menu (a sub-item): 0, and the default stays where it was.
        QCOMPARE(rig.tray.AddMenuItem(u"c"_s, u"c"_s, true, 0, 1), 0);
        for (const int index : {0, -1, 4}) {
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.EnableMenuItem(index, false));
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.RemoveMenuItem(index));
        }
        QCOMPARE(rig.menu->count(), 3);
        rig.tray.EnableMenuItem(3, true);
        rig.tray.EnableMenuItem(1, false);
        rig.tray.RemoveMenuItem(1);
        QCOMPARE(rig.menu->key(2), u"b"_s);
        QVERIFY(rig.tray.Default(2) && rig.menu->isEnabled(2));
    }

    void keysDesignateItems_data()
    {
        QTest::addColumn<QVariant>("vKey");
        QTest::addColumn<int>("index"); // 0: none, error 9
        QTest::newRow("number") << QVariant(5) << 5;
        QTest::newRow("numeric text beats a key of that text") << QVariant(u"3"_s) << 3;
        QTest::newRow("numeric text with blanks") << QVariant(u" 7 "_s) << 7;
        QTest::newRow("whole number with comma") << QVariant(u"9,0"_s) << 9;
        QTest::newRow("key") << QVariant(u"feat"_s) << 3;
        QTest::newRow("first of two equal keys") << QVariant(u"off"_s) << 5;
        QTest::newRow("point number is a key") << QVariant(u"1.5"_s) << 8;
        QTest::newRow("other case") << QVariant(u"Feat"_s) << 0;
        QTest::newRow("unknown key") << QVariant(u"nothing"_s) << 0;
        QTest::newRow("fraction") << QVariant(u"2,5"_s) << 0;
        QTest::newRow("past the end") << QVariant(u"10"_s) << 0;
        QTest::newRow("huge") << QVariant(1e12) << 0;
    }

    void keysDesignateItems()
    {
        QFETCH(QVariant, vKey);
        QFETCH(int, index);
        Rig rig;
        rig.add({u"about"_s, u"-"_s, u"feat"_s, u"on"_s, u"off"_s, u"3"_s, u"off"_s, u"1.5"_s, u"close"_s});
        if (index == 0) {
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.Checked(vKey, true));
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.Checked(vKey));
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.Default(vKey, true));
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.Default(vKey));
        } else {
            rig.tray.Checked(vKey, true);
            rig.tray.Default(vKey, true);
            QVERIFY(rig.tray.Checked(vKey) && rig.tray.Default(vKey));
        }
        for (int i = 1; i <= rig.menu->count(); ++i) {
            QCOMPARE(rig.menu->isChecked(i), i == index);
            QCOMPARE(rig.menu->isDefault(i), i == index);
        }
    }

    void toolTipIsCutToItsField_data()
    {
        QTest::addColumn<QString>("sTip");
        QTest::addColumn<QString>("shown");
        const QString sixtyFour = QString(60, u'ж') + u"1234"_s;
        QTest::newRow("short") << u"Сервер рецептур :: 1.0.0"_s << u"Сервер рецептур :: 1.0.0"_s;
        QTest::newRow("exactly 64") << sixtyFour << sixtyFour;
        QTest::newRow("65 cut") << sixtyFour + u'5' << sixtyFour;
        QTest::newRow("up to a NUL") << u"до\u0000после"_s << u"до"_s;
        QTest::newRow("no half characters") << QString(63, u'a') + u"😀b"_s << QString(63, u'a');
    }

    void toolTipIsCutToItsField()
    {
        QFETCH(QString, sTip);
        QFETCH(QString, shown);
        Rig rig;
        rig.backend->calls.clear();
        rig.tray.ToolTip(sTip);
        QCOMPARE(rig.tray.ToolTip(), shown);
        QCOMPARE(rig.backend->calls, QStringList{u"tip "_s + shown});
    }

    void anEqualIconHandleSendsNothing()
    {
        Rig rig;
        rig.backend->calls.clear();
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::green);
        const QIcon icon(pixmap);
        const QIcon copy = icon;
        rig.tray.IconHandle(TrayIconHandle(icon));
        rig.tray.IconHandle(TrayIconHandle(copy));
        QCOMPARE(rig.backend->calls, QStringList{u"icon %1"_s.arg(icon.cacheKey())});
        pixmap.fill(Qt::red);
        rig.tray.IconHandle(TrayIconHandle(QIcon(pixmap)));
        QCOMPARE(rig.backend->calls.size(), 2);
    }

    void activationsBecomeMouseEvents_data()
    {
        // Activations as Qt reports them, each with its time in milliseconds:
        // C Context, D DoubleClick, T Trigger, M MiddleClick (their enum values 1 to 4).
        QTest::addColumn<QString>("activations");
        QTest::addColumn<QString>("events");
        QTest::newRow("right click") << u"C0"_s << u"down2 up2"_s;
        QTest::newRow("left click") << u"T0"_s << u"down1 up1"_s;
        QTest::newRow("middle click") << u"M0"_s << QString();
        QTest::newRow("XEmbed double-click") << u"T0 D150"_s << u"down1 up1 dbl1 up1"_s;
        QTest::newRow("two Triggers at the interval") << u"T0 T400"_s << u"down1 up1 dbl1 up1"_s;
        QTest::newRow("two slow clicks") << u"T0 T401"_s << u"down1 up1 down1 up1"_s;
        QTest::newRow("two Triggers and a DoubleClick") << u"T0 T100 D110"_s << u"down1 up1 dbl1 up1"_s;
        QTest::newRow("third click starts afresh") << u"T0 T100 T200"_s << u"down1 up1 dbl1 up1 down1 up1"_s;
        QTest::newRow("right click between left clicks")
            << u"T0 C100 T200"_s << u"down1 up1 down2 up2 down1 up1"_s;
    }

    void activationsBecomeMouseEvents()
    {
        QFETCH(QString, activations);
        Rig rig;
        const qint64 start = rig.now;
        for (const QString& activation : activations.split(u' ')) {
            rig.now = start + activation.mid(1).toInt();
            rig.backend->activate(QSystemTrayIcon::ActivationReason(u"?CDTM"_s.indexOf(activation.front())));
        }
        QTEST(rig.log(), "events");
    }

    void showMenuRaisesMenuClickForTheChoiceOnly()
    {
        Rig rig;
        rig.add({u"about"_s, u"-"_s, u"feat"_s});
        for (const int chosen : {3, 2, 0}) {
            rig.menu->expectShow(chosen);
            rig.tray.ShowMenu();
        }
        QCOMPARE(rig.menu->enabledWhenShown.size(), 3);
        QCOMPARE(rig.log(), u"menu3:feat menu2:"_s); // dismissed: nothing
        // A right press that an XEmbed tray has already answered with the
        // menu: the owner's ShowMenu must not open a second one (the
        // scripted menu would fail the test), and the choice still arrives.
        connect(&rig.tray, &fTray::SysTrayMouseDown, &rig.tray, [&](int eButton) {
            if (eButton == fTray::kRightButton)
                rig.tray.ShowMenu();
        });
        rig.backend->rightClickAsXEmbed();
        QVERIFY(rig.menu->isOpen());
        rig.menu->menu()->actions().at(2)->trigger();
        rig.menu->menu()->hide();
        QCOMPARE(rig.log(), u"menu3:feat menu2: down2 up2 menu3:feat"_s);
    }
};

QTEST_MAIN(TestfTray)
#include "TestfTray.moc"
