#include "PopupMenu.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

QPixmap filled(Qt::GlobalColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return pixmap;
}

// Adds caption/key pairs as the tray does: no data, no parent, no icon,
// unchecked, enabled.
void fill(PopupMenu& menu, const QStringList& captionsAndKeys)
{
    for (qsizetype i = 0; i + 1 < captionsAndKeys.size(); i += 2)
        menu.addItem(captionsAndKeys[i], QString(), 0, 0, -1, false, true, captionsAndKeys[i + 1]);
}

QAction* actionAt(const PopupMenu& menu, int index)
{
    return menu.menu()->actions().value(index - 1);
}

// Presses keys in the menu once its own event loop runs.
void pressLater(QMenu* menu, QList<Qt::Key> keys)
{
    QTimer::singleShot(0, menu, [menu, keys] {
        for (const Qt::Key key : keys)
            QTest::keyClick(menu, key);
    });
}

} // namespace

class TestPopupMenu : public QObject
{
    Q_OBJECT

private slots:
    void itemsAreNumberedFromOneSeparatorsIncluded()
    {
        PopupMenu menu;
        QCOMPARE(menu.count(), 0);
        QCOMPARE(menu.addItem(u"Первый"_qs, QString(), 0, 0, -1, false, true, u"one"_qs), 1);
        QCOMPARE(menu.addItem(u"-"_qs, QString(), 0, 0, -1, false, true, QString()), 2);
        QCOMPARE(menu.addItem(u"Третий"_qs, QString(), 0, 0, -1, false, true, u"three"_qs), 3);
        QCOMPARE(menu.count(), 3);
        QCOMPARE(menu.key(1), u"one"_qs);
        QCOMPARE(menu.key(3), u"three"_qs);
        QCOMPARE(menu.caption(2), u"-"_qs);
        QVERIFY(actionAt(menu, 2)->isSeparator());
        QVERIFY(!actionAt(menu, 1)->isSeparator());
        QCOMPARE(actionAt(menu, 3)->text(), u"Третий"_qs);
        // A caption merely starting with a dash is an item, not a line.
        QCOMPARE(menu.addItem(u"-x"_qs, QString(), 0, 0, -1, false, true, QString()), 4);
        QVERIFY(!actionAt(menu, 4)->isSeparator());
    }

    void secondTextIsShownAfterTheCaption()
    {
        PopupMenu menu;
        menu.addItem(u"Печать"_qs, u"Ctrl+P"_qs, 7, 0, -1, false, true, u"print"_qs);
        QCOMPARE(actionAt(menu, 1)->text(), u"Печать\tCtrl+P"_qs);
        QCOMPARE(menu.caption(1), u"Печать"_qs);
        QCOMPARE(actionAt(menu, 1)->data().toInt(), 7);
    }

    void anItemWithAParentIsRefused()
    {
        PopupMenu menu;
        fill(menu, {u"a"_qs, u"a"_qs});
        QCOMPARE(menu.addItem(u"b"_qs, QString(), 0, 1, -1, false, true, u"b"_qs), 0);
        QCOMPARE(menu.count(), 1);
        QCOMPARE(menu.menu()->actions().size(), 1);
    }

    void removingRenumbersTheItemsBelow()
    {
        PopupMenu menu;
        fill(menu, {u"a"_qs, u"a"_qs, u"b"_qs, u"b"_qs, u"c"_qs, u"c"_qs});
        menu.setDefault(3, true);
        menu.removeItem(2);
        QCOMPARE(menu.count(), 2);
        QCOMPARE(menu.key(2), u"c"_qs);
        QVERIFY(menu.isDefault(2));
        QCOMPARE(menu.menu()->actions().size(), 2);
        menu.removeItem(2);
        QCOMPARE(menu.menu()->defaultAction(), nullptr);
        // Indexes that name no item change nothing.
        menu.removeItem(0);
        menu.removeItem(5);
        QCOMPARE(menu.count(), 1);
    }

    void flagsShowOnTheMenu_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("isDefault");
        QTest::newRow("plain") << false << true << false;
        QTest::newRow("checked") << true << true << false;
        QTest::newRow("disabled") << false << false << false;
        QTest::newRow("default") << false << true << true;
        QTest::newRow("all") << true << false << true;
    }

    void flagsShowOnTheMenu()
    {
        QFETCH(bool, checked);
        QFETCH(bool, enabled);
        QFETCH(bool, isDefault);
        PopupMenu menu;
        fill(menu, {u"a"_qs, u"a"_qs});
        QCOMPARE(menu.addItem(u"b"_qs, QString(), 0, 0, -1, checked, enabled, u"b"_qs), 2);
        menu.setDefault(2, isDefault);
        QAction* action = actionAt(menu, 2);
        QCOMPARE(menu.isChecked(2), checked);
        QCOMPARE(action->isChecked(), checked);
        QCOMPARE(menu.isEnabled(2), enabled);
        QCOMPARE(action->isEnabled(), enabled);
        QCOMPARE(menu.isDefault(2), isDefault);
        QCOMPARE(action->font().bold(), isDefault);
        QCOMPARE(menu.menu()->defaultAction() == action, isDefault);

        menu.setChecked(2, !checked);
        menu.setEnabled(2, !enabled);
        menu.setDefault(2, !isDefault);
        QCOMPARE(action->isChecked(), !checked);
        QCOMPARE(action->isEnabled(), !enabled);
        QCOMPARE(action->font().bold(), !isDefault);
        QCOMPARE(menu.isChecked(2), !checked);
        QCOMPARE(menu.isEnabled(2), !enabled);
        QCOMPARE(menu.isDefault(2), !isDefault);
        QVERIFY(!menu.isChecked(1) && menu.isEnabled(1) && !menu.isDefault(1));
    }

    void thereIsOneDefaultItem()
    {
        PopupMenu menu;
        fill(menu, {u"a"_qs, u"a"_qs, u"b"_qs, u"b"_qs});
        menu.setDefault(1, true);
        menu.setDefault(2, true);
        QVERIFY(!menu.isDefault(1));
        QVERIFY(!actionAt(menu, 1)->font().bold());
        QVERIFY(menu.isDefault(2));
        QCOMPARE(menu.menu()->defaultAction(), actionAt(menu, 2));
    }

    void iconsComeFromTheImageList()
    {
        PopupMenu menu;
        menu.addItem(u"no icon"_qs, QString(), 0, 0, -1, false, true, u"a"_qs);
        menu.addItem(u"second image"_qs, QString(), 0, 0, 1, false, true, u"b"_qs);
        menu.addItem(u"past the end"_qs, QString(), 0, 0, 2, false, true, u"c"_qs);
        QVERIFY(actionAt(menu, 2)->icon().isNull());
        const QList<QIcon> images{QIcon(filled(Qt::red)), QIcon(filled(Qt::blue))};
        menu.setImageList(images);
        QVERIFY(actionAt(menu, 1)->icon().isNull());
        QCOMPARE(actionAt(menu, 2)->icon().cacheKey(), images[1].cacheKey());
        QVERIFY(actionAt(menu, 3)->icon().isNull());
    }

    void showAtReturnsTheChosenItem_data()
    {
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<int>("chosen");
        // Items: 1 "a", 2 separator, 3 "b" disabled, 4 "c".
        QTest::newRow("first") << QList<Qt::Key>{Qt::Key_Down, Qt::Key_Return} << 1;
        QTest::newRow("skips separator and disabled")
            << QList<Qt::Key>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << 4;
        QTest::newRow("dismissed") << QList<Qt::Key>{Qt::Key_Down, Qt::Key_Escape} << 0;
    }

    void showAtReturnsTheChosenItem()
    {
        QFETCH(QList<Qt::Key>, keys);
        QFETCH(int, chosen);
        PopupMenu menu;
        fill(menu, {u"a"_qs, u"a"_qs, u"-"_qs, QString(), u"b"_qs, u"b"_qs, u"c"_qs, u"c"_qs});
        menu.setEnabled(3, false);
        QSignalSpy aboutToShow(&menu, &PopupMenu::aboutToShow);
        QSignalSpy chosenElsewhere(&menu, &PopupMenu::itemChosen);
        QVERIFY(!menu.isOpen());
        pressLater(menu.menu(), keys);
        QCOMPARE(menu.showAt(QPoint(40, 40)), chosen);
        QCOMPARE(aboutToShow.size(), 1);
        // The choice is showAt's answer and nothing else.
        QCOMPARE(chosenElsewhere.size(), 0);
        QVERIFY(!menu.isOpen());
    }

    void choosingACheckedItemLeavesItChecked()
    {
        PopupMenu menu;
        menu.addItem(u"a"_qs, QString(), 0, 0, -1, true, true, u"a"_qs);
        pressLater(menu.menu(), {Qt::Key_Down, Qt::Key_Return});
        QCOMPARE(menu.showAt(QPoint(10, 10)), 1);
        QVERIFY(menu.isChecked(1));
        QVERIFY(actionAt(menu, 1)->isChecked());
    }

    void aChoiceInAMenuOpenedElsewhereIsReported()
    {
        PopupMenu menu;
        fill(menu, {u"a"_qs, u"a"_qs, u"-"_qs, QString(), u"c"_qs, u"c"_qs});
        QSignalSpy aboutToShow(&menu, &PopupMenu::aboutToShow);
        QSignalSpy chosen(&menu, &PopupMenu::itemChosen);
        menu.menu()->popup(QPoint(5, 5));
        QCOMPARE(aboutToShow.size(), 1);
        QVERIFY(menu.isOpen());
        actionAt(menu, 3)->trigger();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().toInt(), 3);
        menu.menu()->hide();
    }

    void operationsOnNoItemChangeNothing()
    {
        PopupMenu menu;
        fill(menu, {u"a"_qs, u"a"_qs});
        for (const int index : {0, -1, 2}) {
            menu.setEnabled(index, false);
            menu.setChecked(index, true);
            menu.setDefault(index, true);
            QVERIFY(!menu.isChecked(index));
            QVERIFY(!menu.isEnabled(index));
            QVERIFY(!menu.isDefault(index));
            QVERIFY(menu.key(index).isEmpty());
        }
        QVERIFY(menu.isEnabled(1) && !menu.isChecked(1) && !menu.isDefault(1));
        QCOMPARE(menu.menu()->defaultAction(), nullptr);
    }
};

QTEST_MAIN(TestPopupMenu)
#include "TestPopupMenu.moc"
