#include "FeatGeometry.h"

#include <QTest>

class TestFeatGeometry : public QObject
{
    Q_OBJECT

private slots:
    void twipsToPixels_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<qreal>("dpi");
        QTest::addColumn<int>("pixels");

        QTest::newRow("15 twips at 96 dpi") << 15 << 96.0 << 1;
        QTest::newRow("client width at 96 dpi") << 7335 << 96.0 << 489;
        QTest::newRow("client height at 96 dpi") << 4575 << 96.0 << 305;
        QTest::newRow("at 120 dpi") << 1440 << 120.0 << 120;
        QTest::newRow("at 144 dpi") << 7335 << 144.0 << 734; // 733.5 rounds up
        QTest::newRow("half pixel rounds up") << 5 << 144.0 << 1;
        QTest::newRow("under a half rounds down") << 4 << 144.0 << 0;
        QTest::newRow("over a half rounds up") << 97 << 96.0 << 6;
        QTest::newRow("zero") << 0 << 96.0 << 0;
    }

    void twipsToPixels()
    {
        QFETCH(int, twips);
        QFETCH(qreal, dpi);
        QTEST(FeatGeometry::toPixels(twips, dpi), "pixels");
    }

    void rectangleScalesEachAxisByItsOwnDensity()
    {
        QCOMPARE(FeatGeometry::toPixels(QRect(120, 120, 870, 195), 96.0, 96.0), QRect(8, 8, 58, 13));
        QCOMPARE(FeatGeometry::toPixels(QRect(1440, 1440, 1440, 1440), 96.0, 192.0), QRect(96, 192, 96, 192));
    }

    void tableIsInTabOrder()
    {
        const QStringList expected{u"Label1"_qs,  u"tIP"_qs,     u"Label2"_qs, u"tPort"_qs, u"cLocal"_qs,
                                   u"cCon"_qs,    u"cDisCon"_qs, u"lSend"_qs,  u"tCom"_qs,  u"cSend"_qs,
                                   u"lStatus"_qs, u"lFont"_qs,   u"tFont"_qs,  u"Label3"_qs};
        QStringList names;
        for (const auto& control : FeatGeometry::controls())
            names << control.name;
        QCOMPARE(names, expected);
    }

    // The manual command facility is laid out beyond the client area; every
    // other control lies inside it.
    void onlyTheCommandFacilityLiesOutside()
    {
        const QRect client = FeatGeometry::clientTwips();
        QCOMPARE(client.size(), QSize(7335, 4575));
        for (const auto& control : FeatGeometry::controls()) {
            const bool facility =
                control.name == u"lSend" || control.name == u"tCom" || control.name == u"cSend";
            QVERIFY2(client.contains(control.twips) != facility, qPrintable(control.name));
            if (facility)
                QVERIFY2(!client.intersects(control.twips), qPrintable(control.name));
        }
    }
};

QTEST_GUILESS_MAIN(TestFeatGeometry)
#include "TestFeatGeometry.moc"
