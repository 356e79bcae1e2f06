#include "NumberHelpers.h"
#include "Payload.h"

#include <QTest>

class TestNumberHelpers : public QObject
{
    Q_OBJECT

private slots:
    void sumsWeightParts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("sum");
        QTest::newRow("slash") << u"150/50"_qs << 200.0;
        QTest::newRow("backslash") << u"150\\50"_qs << 200.0;
        QTest::newRow("point") << u"12.5"_qs << 12.5;
        QTest::newRow("comma") << u"12,5"_qs << 12.5;
        QTest::newRow("trailing slash") << u"100/"_qs << 100.0;
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("three parts") << u"1/2/3"_qs << 6.0;
        QTest::newRow("mixed") << u"0,5\\1.5/"_qs << 2.0;
        QTest::newRow("only slashes") << u"//"_qs << 0.0;
    }
    void sumsWeightParts()
    {
        QFETCH(QString, text);
        QFETCH(double, sum);
        QCOMPARE(GetOutSum(text), sum);
    }

    void refusesPartsThatAreNotNumbers()
    {
        for (const QString& text : {u"15a/2"_qs, u"1,2,3"_qs, u"abc"_qs, u"1..2"_qs, u"150/5x"_qs})
            QVERIFY_THROWS_EXCEPTION(NotANumber, GetOutSum(text));
    }

    void filtersNumberKeys()
    {
        for (int code : {8, 13, 1, 26})
            QVERIFY(CheckNumKey(code, false) && CheckNumKey(code, true));
        for (char c : {'0', '5', '9', ','})
            QVERIFY(CheckNumKey(c, false) && CheckNumKey(c, true));
        for (char c : {'/', '\\'}) {
            QVERIFY(CheckNumKey(c, true));
            QVERIFY(!CheckNumKey(c, false));
        }
        for (int code : {int('.'), int('-'), int(' '), 27, int('a'), 0x0416 /* Ж */})
            QVERIFY(!CheckNumKey(code, true) && !CheckNumKey(code, false));
    }

    void splitsPayloadsKeepingEmptyElements()
    {
        QCOMPARE(splitPayload(QString(), u"<BL>"_qs), QStringList());
        QCOMPARE(splitPayload(u"Батон<BL>"_qs, u"<BL>"_qs), (QStringList{u"Батон"_qs, QString()}));
        QCOMPARE(splitPayload(u"а<BL><BL>б"_qs, u"<BL>"_qs), (QStringList{u"а"_qs, QString(), u"б"_qs}));
        // Separators are exact: letter case counts.
        QCOMPARE(splitPayload(u"а<bl>б"_qs, u"<BL>"_qs), QStringList{u"а<bl>б"_qs});
        QCOMPARE(elementAt({u"x"_qs}, 3), QString());
    }
};

QTEST_GUILESS_MAIN(TestNumberHelpers)
#include "TestNumberHelpers.moc"
