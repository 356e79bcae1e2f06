#include "fTray.h"

#include "FakeTrayIconBackend.h"
#include "ScriptedPopupMenu.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QStyleHints>
#include <QTest>

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
        QObject::connect(&tray, &fTray::SysTrayMouseDown, [this](int b) { events << u"down%1"_qs.arg(b); });
        QObject::connect(&tray, &fTray::SysTrayMouseUp, [this](int b) { events << u"up%1"_qs.arg(b); });
        QObject::connect(&tray, &fTray::SysTrayDoubleClick, [this](int b) { events << u"dbl%1"_qs.arg(b); });
        QObject::connect(&tray, &fTray::MenuClick,
                         [this](int i, const QString& key) { events << u"menu%1:%2"_qs.arg(i).arg(key); });
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
        QCOMPARE(rig.backend->calls, (QStringList{u"icon %1"_qs.arg(rig.tray.IconHandle().value()),
                                                  u"tip "_qs, u"menu"_qs, u"show"_qs}));
        QVERIFY(rig.tray.IconHandle().value() != 0);
        QCOMPARE(rig.backend->contextMenu, rig.menu->menu());
        QVERIFY(rig.tray.notificationAreaAvailable());
        rig.backend->available = false; // the desktop's area went away
        QVERIFY(!rig.tray.notificationAreaAvailable());
        rig.backend->calls.clear();
        rig.tray.Unload();
        rig.tray.Unload();
        QCOMPARE(rig.backend->calls, (QStringList{u"no menu"_qs, u"hide"_qs}));
    }

    void withoutANotificationAreaNothingIsShownOrWarned()
    {
        Rig rig(false);
        QVERIFY(!rig.backend->calls.contains(u"show"_qs));
        QVERIFY(!rig.tray.notificationAreaAvailable());
        // The real icon on the offscreen platform, which has no notification
        // area, like a headless session: no warning, now or on later calls.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QTest::failOnWarning(QRegularExpression(u".*"_qs));
        fTray real;
        real.Initialise(nullptr);
        real.ToolTip(u"Сервер рецептур :: 1.0.0"_qs);
        real.IconHandle(TrayIconHandle(QIcon(QPixmap(16, 16))));
        QCOMPARE(real.AddMenuItem(u"Выход"_qs, u"close"_qs), 1);
        QVERIFY(!real.notificationAreaAvailable());
        real.Unload();
    }

    void itemsAreAddedAndChangedByIndex()
    {
        Rig rig;
        QCOMPARE(rig.tray.AddMenuItem(u"a"_qs, u"a"_qs), 1);
        QCOMPARE(rig.tray.AddMenuItem(u"-"_qs), 2);
        QCOMPARE(rig.tray.AddMenuItem(u"b"_qs, u"b"_qs, true, 0, 0, -1, true, false), 3);
        QVERIFY(rig.tray.Default(3) && rig.tray.Checked(3) && !rig.menu->isEnabled(3));
        // Refused by the menu (a sub-item): 0, and the default stays where it was.
        QCOMPARE(rig.tray.AddMenuItem(u"c"_qs, u"c"_qs, true, 0, 1), 0);
        for (const int index : {0, -1, 4}) {
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.EnableMenuItem(index, false));
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.RemoveMenuItem(index));
        }
        QCOMPARE(rig.menu->count(), 3);
        rig.tray.EnableMenuItem(3, true);
        rig.tray.EnableMenuItem(1, false);
        rig.tray.RemoveMenuItem(1);
        QCOMPARE(rig.menu->key(2), u"b"_qs);
        QVERIFY(rig.tray.Default(2) && rig.menu->isEnabled(2));
    }

    void keysDesignateItems_data()
    {
        QTest::addColumn<QVariant>("vKey");
        QTest::addColumn<int>("index"); // 0: none, error 9
        QTest::newRow("number") << QVariant(5) << 5;
        QTest::newRow("numeric text beats a key of that text") << QVariant(u"3"_qs) << 3;
        QTest::newRow("numeric text with blanks") << QVariant(u" 7 "_qs) << 7;
        QTest::newRow("whole number with comma") << QVariant(u"9,0"_qs) << 9;
        QTest::newRow("key") << QVariant(u"feat"_qs) << 3;
        QTest::newRow("first of two equal keys") << QVariant(u"off"_qs) << 5;
        QTest::newRow("point number is a key") << QVariant(u"1.5"_qs) << 8;
        QTest::newRow("other case") << QVariant(u"Feat"_qs) << 0;
        QTest::newRow("unknown key") << QVariant(u"nothing"_qs) << 0;
        QTest::newRow("fraction") << QVariant(u"2,5"_qs) << 0;
        QTest::newRow("past the end") << QVariant(u"10"_qs) << 0;
        QTest::newRow("huge") << QVariant(1e12) << 0;
    }

    void keysDesignateItems()
    {
        QFETCH(QVariant, vKey);
        QFETCH(int, index);
        Rig rig;
        rig.add({u"about"_qs, u"-"_qs, u"feat"_qs, u"on"_qs, u"off"_qs, u"3"_qs, u"off"_qs, u"1.5"_qs,
                 u"close"_qs});
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
        const QString sixtyFour = QString(60, u'ж') + u"1234"_qs;
        QTest::newRow("short") << u"Сервер рецептур :: 1.0.0"_qs << u"Сервер рецептур :: 1.0.0"_qs;
        QTest::newRow("exactly 64") << sixtyFour << sixtyFour;
        QTest::newRow("65 cut") << sixtyFour + u'5' << sixtyFour;
        QTest::newRow("up to a NUL") << u"до\u0000после"_qs << u"до"_qs;
        QTest::newRow("no half characters") << QString(63, u'a') + u"😀b"_qs << QString(63, u'a');
    }

    void toolTipIsCutToItsField()
    {
        QFETCH(QString, sTip);
        QFETCH(QString, shown);
        Rig rig;
        rig.backend->calls.clear();
        rig.tray.ToolTip(sTip);
        QCOMPARE(rig.tray.ToolTip(), shown);
        QCOMPARE(rig.backend->calls, QStringList{u"tip "_qs + shown});
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
        QCOMPARE(rig.backend->calls, QStringList{u"icon %1"_qs.arg(icon.cacheKey())});
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
        QTest::newRow("right click") << u"C0"_qs << u"down2 up2"_qs;
        QTest::newRow("left click") << u"T0"_qs << u"down1 up1"_qs;
        QTest::newRow("middle click") << u"M0"_qs << QString();
        QTest::newRow("XEmbed double-click") << u"T0 D150"_qs << u"down1 up1 dbl1 up1"_qs;
        QTest::newRow("two Triggers at the interval") << u"T0 T400"_qs << u"down1 up1 dbl1 up1"_qs;
        QTest::newRow("two slow clicks") << u"T0 T401"_qs << u"down1 up1 down1 up1"_qs;
        QTest::newRow("two Triggers and a DoubleClick") << u"T0 T100 D110"_qs << u"down1 up1 dbl1 up1"_qs;
        QTest::newRow("third click starts afresh")
            << u"T0 T100 T200"_qs << u"down1 up1 dbl1 up1 down1 up1"_qs;
        QTest::newRow("right click between left clicks")
            << u"T0 C100 T200"_qs << u"down1 up1 down2 up2 down1 up1"_qs;
    }

    void activationsBecomeMouseEvents()
    {
        QFETCH(QString, activations);
        Rig rig;
        const qint64 start = rig.now;
        for (const QString& activation : activations.split(u' ')) {
            rig.now = start + activation.mid(1).toInt();
            rig.backend->activate(QSystemTrayIcon::ActivationReason(u"?CDTM"_qs.indexOf(activation.front())));
        }
        QTEST(rig.log(), "events");
    }

    void showMenuRaisesMenuClickForTheChoiceOnly()
    {
        Rig rig;
        rig.add({u"about"_qs, u"-"_qs, u"feat"_qs});
        for (const int chosen : {3, 2, 0}) {
            rig.menu->expectShow(chosen);
            rig.tray.ShowMenu();
        }
        QCOMPARE(rig.menu->enabledWhenShown.size(), 3);
        QCOMPARE(rig.log(), u"menu3:feat menu2:"_qs); // dismissed: nothing
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
        QCOMPARE(rig.log(), u"menu3:feat menu2: down2 up2 menu3:feat"_qs);
    }
};

QTEST_MAIN(TestfTray)
#include "TestfTray.moc"
