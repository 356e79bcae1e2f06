#include "Twips.h"

#include <QTest>

#include <limits>

class TestTwips : public QObject
{
    Q_OBJECT

private slots:
    void pixelsToTwips_data()
    {
        QTest::addColumn<double>("pixels");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<float>("twips");
        QTest::newRow("one pixel at 96 dpi") << 1.0 << 96.0 << 15.f;
        QTest::newRow("768 pixels at 96 dpi") << 768.0 << 96.0 << 11520.f;
        QTest::newRow("one pixel at 120 dpi") << 1.0 << 120.0 << 12.f;
        QTest::newRow("one pixel at 144 dpi") << 1.0 << 144.0 << 10.f;
        QTest::newRow("negative") << -3.0 << 96.0 << -45.f;
        QTest::newRow("no dpi") << 10.0 << 0.0 << 0.f;
    }
    void pixelsToTwips()
    {
        QFETCH(double, pixels);
        QFETCH(double, dpi);
        QFETCH(float, twips);
        QCOMPARE(Twips::fromPixels(pixels, dpi), twips);
    }

    void twipsToPixels_data()
    {
        QTest::addColumn<float>("twips");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("exact") << 11520.f << 96.0 << 768;
        QTest::newRow("below half") << 22.f << 96.0 << 1;
        QTest::newRow("half goes up") << 7.5f << 96.0 << 1;
        QTest::newRow("negative half goes down") << -7.5f << 96.0 << -1;
        QTest::newRow("negative") << -3695.f << 96.0 << -246;
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

    void roundTripAtCommonDensities_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::newRow("96") << 96.0;
        QTest::newRow("120") << 120.0;
        QTest::newRow("144") << 144.0;
        QTest::newRow("192") << 192.0;
    }
    void roundTripAtCommonDensities()
    {
        QFETCH(double, dpi);
        for (int px = -50; px <= 4000; ++px)
            QCOMPARE(Twips::toPixels(Twips::fromPixels(px, dpi), dpi), px);
    }
};

QTEST_APPLESS_MAIN(TestTwips)
#include "TestTwips.moc"
