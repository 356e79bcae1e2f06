#include "shell/FeatGeometry.h"

#include <QTest>

class TestFeatGeometry : public QObject
{
    Q_OBJECT

private slots:
    void twipsBecomePixelsOfEachAxisRoundingHalvesUp()
    {
        QCOMPARE(FeatGeometry::toPixels(7335, 96.0), 489);
        QCOMPARE(FeatGeometry::toPixels(7335, 144.0), 734); // 733.5
        QCOMPARE(FeatGeometry::toPixels(4, 144.0), 0);      // 0.4
        QCOMPARE(FeatGeometry::toPixels(QRect(1440, 1440, 1440, 1440), 96.0, 192.0), QRect(96, 192, 96, 192));
    }

    void captionsGrowAndPushTheirRowAlong_data()
    {
        QTest::addColumn<QList<QRect>>("rects");
        QTest::addColumn<QList<int>>("needed");
        QTest::addColumn<QList<QRect>>("fitted");
        const QRect label(0, 0, 50, 10), box(60, 0, 100, 10), button(170, 0, 40, 20), below(0, 30, 50, 10);
        QTest::newRow("room enough") << QList{label, box} << QList{40, 0} << QList{label, box};
        QTest::newRow("grows into the gap")
            << QList{label, box} << QList{55, 0} << QList{QRect(0, 0, 55, 10), box};
        QTest::newRow("pushes the row along, not the next row")
            << QList{label, box, button, below} << QList{80, 0, 0, 80}
            << QList{QRect(0, 0, 80, 10), box.translated(25, 0), button.translated(20, 0),
                     QRect(0, 30, 80, 10)};
        QTest::newRow("order of the table kept")
            << QList{button, label} << QList{60, 200} << QList{QRect(205, 0, 60, 20), QRect(0, 0, 200, 10)};
    }

    void captionsGrowAndPushTheirRowAlong()
    {
        QFETCH(QList<QRect>, rects);
        QFETCH(QList<int>, needed);
        QTEST(FeatGeometry::fitCaptions(rects, needed, 5), "fitted");
    }
};

QTEST_GUILESS_MAIN(TestFeatGeometry)
#include "TestFeatGeometry.moc"
