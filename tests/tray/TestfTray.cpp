#include "tray/fTray.h"

#include "tray/FakeTrayIconBackend.h"
#include "tray/ScriptedPopupMenu.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QAction* actionAt(const PopupMenu& menu, int index)
{
    return menu.menu()->actions().value(index - 1);
}

// An initialised fTray on a scripted desktop and menu and the test's clock; events as "down1 up1 menu3:feat".
struct Rig
{
    explicit Rig(bool available = true)
        : backend(new FakeTrayIconBackend), menu(new ScriptedPopupMenu),
          tray(std::unique_ptr<TrayIconBackend>(backend), std::unique_ptr<PopupMenu>(menu))
    {
        backend->available = available;
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

    void initialisedMenuItemsNumberedFromOneUnloaded()
    {
        Rig rig;
        QCOMPARE(rig.backend->calls, (QStringList{u"icon %1"_s.arg(rig.tray.IconHandle().value()), u"tip "_s,
                                                  u"menu"_s, u"show"_s}));
        QVERIFY(!Rig(false).backend->calls.contains(u"show"_s)); // no notification area
        QCOMPARE(rig.tray.AddMenuItem(u"a"_s, u"a"_s), 1);
        QCOMPARE(rig.tray.AddMenuItem(u"-"_s), 2);
        QCOMPARE(rig.tray.AddMenuItem(u"b"_s, u"b"_s, true, 0, 0, -1, true, false), 3);
        QCOMPARE(rig.menu->addItem(u"-x"_s, u"Ctrl+X"_s, 7, 0, -1, false, true, u"x"_s), 4);
        // Refused by the menu (a sub-item): 0, and the default stays where it was.
        QCOMPARE(rig.tray.AddMenuItem(u"c"_s, u"c"_s, true, 0, 1), 0);
        QCOMPARE(rig.menu->menu()->actions().size(), 4);
        QVERIFY(actionAt(*rig.menu, 2)->isSeparator());
        // Only "-" itself is a line; a second text follows the caption.
        QCOMPARE(actionAt(*rig.menu, 4)->text(), u"-x\tCtrl+X"_s);
        QCOMPARE(rig.menu->caption(4), u"-x"_s);
        QAction* b = actionAt(*rig.menu, 3);
        QVERIFY(rig.tray.Default(3) && rig.tray.Checked(3) && b->isChecked() && !b->isEnabled());
        QVERIFY(b->font().bold() && rig.menu->menu()->defaultAction() == b);
        rig.menu->setDefault(1, true);
        QVERIFY(!b->font().bold() && actionAt(*rig.menu, 1)->font().bold());
        rig.tray.Checked(3, false);
        rig.tray.Default(3, true);
        QVERIFY(!b->isChecked() && !actionAt(*rig.menu, 1)->font().bold());
        for (const int index : {0, -1, 5}) {
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.EnableMenuItem(index, false));
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.RemoveMenuItem(index));
        }
        rig.tray.EnableMenuItem(3, true);
        rig.tray.RemoveMenuItem(1);
        QVERIFY(b->isEnabled() && actionAt(*rig.menu, 2) == b && rig.tray.Default(2));
        // An item's icon is its index into the image list, handed over before or after the item.
        QCOMPARE(rig.tray.AddMenuItem(u"d"_s, u"d"_s, false, 0, 0, 1), 4);
        const QList<QIcon> images{QIcon(QPixmap(8, 8)), QIcon(QPixmap(16, 16))};
        rig.tray.ImageList(images);
        QCOMPARE(actionAt(*rig.menu, 4)->icon().cacheKey(), images[1].cacheKey());
        QVERIFY(b->icon().isNull());
        rig.backend->calls.clear();
        rig.tray.Unload();
        rig.tray.Unload();
        QCOMPARE(rig.backend->calls, (QStringList{u"no menu"_s, u"hide"_s}));
    }

    // A real menu driven by keys: separators and disabled items skipped, or dismissed.
    void showAtReturnsTheChosenItem()
    {
        for (const QList<Qt::Key>& keys :
             {QList{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}, QList{Qt::Key_Down, Qt::Key_Escape}}) {
            PopupMenu menu;
            for (const QString& key : {u"a"_s, u"-"_s, u"b"_s, u"-"_s, u"c"_s})
                menu.addItem(key, QString(), 0, 0, -1, key == u"c", key != u"b", key);
            QSignalSpy aboutToShow(&menu, &PopupMenu::aboutToShow);
            QSignalSpy chosenElsewhere(&menu, &PopupMenu::itemChosen);
            QTimer::singleShot(0, menu.menu(), [&] {
                for (const Qt::Key key : keys)
                    QTest::keyClick(menu.menu(), key);
            });
            QCOMPARE(menu.showAt(QPoint(40, 40)), keys.size() == 3 ? 5 : 0);
            QCOMPARE(aboutToShow.size(), 1);
            QCOMPARE(chosenElsewhere.size(), 0); // or the command would run twice
            QVERIFY(!menu.isOpen());
            // Qt flips a checkable item when it is chosen; the menu's flag rules.
            QVERIFY(actionAt(menu, 5)->isChecked());
        }
    }

    // An item by number, whole numeric text, or else its key: exact case, the first of equals.
    void keysDesignateItems()
    {
        Rig rig;
        rig.add({u"about"_s, u"-"_s, u"feat"_s, u"on"_s, u"off"_s, u"3"_s, u"off"_s, u"1.5"_s, u"close"_s});
        for (const QVariant& vKey :
             {QVariant(u"Feat"_s), QVariant(u"2,5"_s), QVariant(u"10"_s), QVariant(1e12)})
            QVERIFY_THROWS_EXCEPTION(SubscriptOutOfRange, rig.tray.Default(vKey, true));
        QStringList defaults; // after each step, none set at first
        for (const QVariant& vKey : {QVariant(), QVariant(5), QVariant(u"3"_s), QVariant(u" 9,0 "_s),
                                     QVariant(u"feat"_s), QVariant(u"off"_s), QVariant(u"1.5"_s)}) {
            if (vKey.isValid())
                rig.tray.Default(vKey, true);
            QString items;
            for (int i = 1; i <= rig.menu->count(); ++i) {
                if (rig.menu->isDefault(i))
                    items += QString::number(i);
            }
            defaults << items;
        }
        QCOMPARE(defaults.join(u' '), u" 5 3 9 3 5 8"_s);
    }

    // Cut to 64 characters, never halving one, and at a NUL.
    void toolTipIsCutToItsField()
    {
        const QString sixtyFour = QString(60, u'ж') + u"1234"_s;
        const QString highHalf = u"ab"_s + QChar(0xd83d); // only a cut can halve a character
        for (const auto& [sTip, shown] : {std::pair{sixtyFour + u'5', sixtyFour},
                                          {u"до\u0000после"_s, u"до"_s},
                                          {QString(63, u'a') + u"😀b"_s, QString(63, u'a')},
                                          {highHalf, highHalf}}) {
            Rig rig;
            rig.backend->calls.clear();
            rig.tray.ToolTip(sTip);
            QCOMPARE(rig.tray.ToolTip(), shown);
            QCOMPARE(rig.backend->calls, QStringList{u"tip "_s + shown});
        }
    }

    // Each activation with its time in ms: C Context, D DoubleClick, T Trigger, M MiddleClick.
    void activationsBecomeMouseEvents()
    {
        for (const auto& [activations, events] : {std::pair{u"M0"_s, QString()},
                                                  {u"T0 D150"_s, u"down1 up1 dbl1 up1"_s},
                                                  {u"T0 T400"_s, u"down1 up1 dbl1 up1"_s},
                                                  {u"T0 T401"_s, u"down1 up1 down1 up1"_s},
                                                  {u"T0 T100 D110 T200"_s, u"down1 up1 dbl1 up1 down1 up1"_s},
                                                  {u"T0 C100 T200"_s, u"down1 up1 down2 up2 down1 up1"_s}}) {
            Rig rig;
            const qint64 start = rig.now;
            for (const QString& activation : activations.split(u' ')) {
                rig.now = start + activation.mid(1).toInt();
                rig.backend->activate(
                    QSystemTrayIcon::ActivationReason(u"?CDTM"_s.indexOf(activation.front())));
            }
            QCOMPARE(rig.log(), events);
        }
    }

    // An XEmbed tray opened the menu on a right press already: the owner's ShowMenu opens
    // no second one (the scripted menu would fail), and the choice arrives once.
    void aMenuTheTrayOpenedIsNotOpenedTwice()
    {
        Rig rig;
        rig.add({u"about"_s, u"-"_s, u"feat"_s});
        rig.menu->expectShow(0); // dismissed: no choice
        rig.tray.ShowMenu();
        connect(&rig.tray, &fTray::SysTrayMouseDown, &rig.tray, [&](int eButton) {
            if (eButton == fTray::kRightButton)
                rig.tray.ShowMenu();
        });
        rig.backend->contextMenu->popup(QPoint(20, 20)); // XEmbed: the menu first, then Context
        rig.backend->activate(QSystemTrayIcon::Context);
        QVERIFY(rig.menu->isOpen());
        rig.menu->menu()->actions().at(2)->trigger();
        rig.menu->menu()->hide();
        QCOMPARE(rig.log(), u"down2 up2 menu3:feat"_s);
    }
};

QTEST_MAIN(TestfTray)
#include "TestfTray.moc"
