#include "tray/PopupMenu.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// One enabled, unchecked item per key, as the tray adds them; "-" is a separator.
void fill(PopupMenu& menu, const QStringList& keys)
{
    for (const QString& key : keys)
        menu.addItem(key, QString(), 0, 0, -1, false, true, key == u"-" ? QString() : key);
}

QAction* actionAt(const PopupMenu& menu, int index)
{
    return menu.menu()->actions().value(index - 1);
}

} // namespace

class TestPopupMenu : public QObject
{
    Q_OBJECT

private slots:
    void itemsAreNumberedFromOneSeparatorsIncluded()
    {
        PopupMenu menu;
        fill(menu, {u"a"_s, u"-"_s, u"b"_s});
        QCOMPARE(menu.addItem(u"-x"_s, u"Ctrl+X"_s, 7, 0, -1, false, true, u"x"_s), 4);
        QCOMPARE(menu.key(3), u"b"_s);
        QVERIFY(actionAt(menu, 2)->isSeparator());
        // Only "-" itself is a line; a second text follows the caption.
        QVERIFY(!actionAt(menu, 4)->isSeparator());
        QCOMPARE(actionAt(menu, 4)->text(), u"-x\tCtrl+X"_s);
        QCOMPARE(menu.caption(4), u"-x"_s);
        // Sub-menus are not offered.
        QCOMPARE(menu.addItem(u"c"_s, QString(), 0, 1, -1, false, true, u"c"_s), 0);
        QCOMPARE(menu.count(), 4);
        QCOMPARE(menu.menu()->actions().size(), 4);
    }

    void flagsShowOnTheMenu()
    {
        PopupMenu menu;
        fill(menu, {u"a"_s});
        menu.addItem(u"b"_s, QString(), 0, 0, -1, true, false, u"b"_s);
        QAction* b = actionAt(menu, 2);
        QVERIFY(menu.isChecked(2) && b->isChecked() && !b->isEnabled());
        menu.setChecked(2, false);
        menu.setEnabled(2, true);
        QVERIFY(!menu.isChecked(2) && !b->isChecked() && b->isEnabled());
        // One default item, drawn bold.
        menu.setDefault(1, true);
        menu.setDefault(2, true);
        QVERIFY(!menu.isDefault(1) && !actionAt(menu, 1)->font().bold());
        QVERIFY(b->font().bold());
        QCOMPARE(menu.menu()->defaultAction(), b);
        menu.setDefault(2, false);
        QVERIFY(!b->font().bold());
    }

    void showAtReturnsTheChosenItem_data()
    {
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<int>("chosen");
        QTest::newRow("first") << QList<Qt::Key>{Qt::Key_Down, Qt::Key_Return} << 1;
        QTest::newRow("skips separator and disabled")
            << QList<Qt::Key>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << 5;
        QTest::newRow("dismissed") << QList<Qt::Key>{Qt::Key_Down, Qt::Key_Escape} << 0;
    }

    void showAtReturnsTheChosenItem()
    {
        QFETCH(QList<Qt::Key>, keys);
        PopupMenu menu;
        fill(menu, {u"a"_s, u"-"_s, u"b"_s, u"-"_s, u"c"_s});
        menu.setEnabled(3, false);
        menu.setChecked(1, true);
        QSignalSpy aboutToShow(&menu, &PopupMenu::aboutToShow);
        QSignalSpy chosenElsewhere(&menu, &PopupMenu::itemChosen);
        QTimer::singleShot(0, menu.menu(), [&] {
            for (const Qt::Key key : keys)
                QTest::keyClick(menu.menu(), key);
        });
        QTEST(menu.showAt(QPoint(40, 40)), "chosen");
        QCOMPARE(aboutToShow.size(), 1);
        QCOMPARE(chosenElsewhere.size(), 0); // or the command would run twice
        QVERIFY(!menu.isOpen());
        // Qt flips a checkable item when it is chosen; the menu's flag rules.
        QVERIFY(actionAt(menu, 1)->isChecked());
    }
};

QTEST_MAIN(TestPopupMenu)
#include "TestPopupMenu.moc"
