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
        QTest::addColumn<double>("sum"); // NaN: refused as not a number
        QTest::newRow("slash") << u"150/50"_qs << 200.0;
        QTest::newRow("backslash") << u"150\\50"_qs << 200.0;
        QTest::newRow("point") << u"12.5"_qs << 12.5;
        QTest::newRow("comma") << u"12,5"_qs << 12.5;
        QTest::newRow("trailing slash") << u"100/"_qs << 100.0;
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("three parts") << u"1/2/3"_qs << 6.0;
        QTest::newRow("letter") << u"15a/2"_qs << qQNaN();
        QTest::newRow("bad last part") << u"150/5x"_qs << qQNaN();
    }
    void sumsWeightParts()
    {
        QFETCH(QString, text);
        QFETCH(double, sum);
        if (qIsNaN(sum))
            QVERIFY_THROWS_EXCEPTION(NotANumber, GetOutSum(text));
        else
            QCOMPARE(GetOutSum(text), sum);
    }

    void filtersNumberKeys()
    {
        for (int code : {8, 13, 26, int('0'), int('9'), int(',')})
            QVERIFY(CheckNumKey(code, false) && CheckNumKey(code, true));
        for (int code : {int('/'), int('\\')})
            QVERIFY(CheckNumKey(code, true) && !CheckNumKey(code, false));
        for (int code : {int('.'), int('-'), int(' '), 27, int('a'), 0x0416 /* Ж */})
            QVERIFY(!CheckNumKey(code, true) && !CheckNumKey(code, false));
    }

    void splitsPayloadsKeepingEmptyElements()
    {
        QCOMPARE(splitPayload(QString(), u"<BL>"_qs), QStringList());
        QCOMPARE(splitPayload(u"а<BL><BL>б<BL>"_qs, u"<BL>"_qs), (QStringList{u"а"_qs, {}, u"б"_qs, {}}));
        QCOMPARE(splitPayload(u"а<bl>б"_qs, u"<BL>"_qs), QStringList{u"а<bl>б"_qs}); // exact separators
        QCOMPARE(elementAt({u"x"_qs}, 3), QString());
    }
};

QTEST_GUILESS_MAIN(TestNumberHelpers)
#include "TestNumberHelpers.moc"
