#include "common/NumberHelpers.h"
#include "common/Payload.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestNumberHelpers : public QObject
{
    Q_OBJECT

private slots:
    void sumsWeightParts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("sum"); // NaN: refused as not a number
        QTest::newRow("slash") << u"150/50"_s << 200.0;
        QTest::newRow("backslash") << u"150\\50"_s << 200.0;
        QTest::newRow("point") << u"12.5"_s << 12.5;
        QTest::newRow("comma") << u"12,5"_s << 12.5;
        QTest::newRow("trailing slash") << u"100/"_s << 100.0;
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("three parts") << u"1/2/3"_s << 6.0;
        QTest::newRow("letter") << u"15a/2"_s << qQNaN();
        QTest::newRow("bad last part") << u"150/5x"_s << qQNaN();
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
        QCOMPARE(splitPayload(QString(), u"<BL>"_s), QStringList());
        QCOMPARE(splitPayload(u"а<BL><BL>б<BL>"_s, u"<BL>"_s), (QStringList{u"а"_s, {}, u"б"_s, {}}));
        QCOMPARE(splitPayload(u"а<bl>б"_s, u"<BL>"_s), QStringList{u"а<bl>б"_s}); // exact separators
        QCOMPARE(elementAt({u"x"_s}, 3), QString());
    }
};

QTEST_GUILESS_MAIN(TestNumberHelpers)
#include "TestNumberHelpers.moc"
