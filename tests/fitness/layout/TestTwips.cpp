#include "fitness/layout/Twips.h"

#include <QTest>

#include <limits>

class TestTwips : public QObject
{
    Q_OBJECT

private slots:
    void twipsToPixels_data()
    {
        QTest::addColumn<float>("twips");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("half goes up") << 7.5f << 96.0 << 1;
        QTest::newRow("negative half goes down") << -7.5f << 96.0 << -1;
        QTest::newRow("120 dpi") << 7605.f << 120.0 << 634;
        QTest::newRow("no dpi") << 100.f << 0.0 << 0;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 96.0 << 0;
        QTest::newRow("huge stays an int") << 3e38f << 96.0 << std::numeric_limits<int>::max() / 2;
    }
    void twipsToPixels()
    {
        QFETCH(float, twips);
        QFETCH(double, dpi);
        QFETCH(int, pixels);
        QCOMPARE(Twips::toPixels(twips, dpi), pixels);
    }

    void pixelsToTwipsAndBack()
    {
        QCOMPARE(Twips::fromPixels(768, 96), 11520.f);
        QCOMPARE(Twips::fromPixels(10, 0), 0.f);
        for (const double dpi : {96.0, 120.0, 144.0, 192.0}) {
            for (int px = -50; px <= 4000; ++px)
                QCOMPARE(Twips::toPixels(Twips::fromPixels(px, dpi), dpi), px);
        }
    }
};

QTEST_APPLESS_MAIN(TestTwips)
#include "TestTwips.moc"
