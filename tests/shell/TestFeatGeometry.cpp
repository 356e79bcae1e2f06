#include "FeatGeometry.h"

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
};

QTEST_GUILESS_MAIN(TestFeatGeometry)
#include "TestFeatGeometry.moc"
