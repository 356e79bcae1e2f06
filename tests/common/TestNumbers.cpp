#include "common/NumberHelpers.h"
#include "common/Payload.h"
#include "common/RussianFormat.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

// Numbers as the program reads and writes them, and the payloads they come in.
class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    // The machine's own locale must not matter.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void readsNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // NaN: not a number
        QTest::newRow("decimal comma") << u"10,5"_s << 10.5;
        QTest::newRow("blanks around") << u" 24 "_s << 24.0;
        QTest::newRow("sign and exponent as written") << u"-1,5E+03"_s << -1500.0;
        QTest::newRow("exponent without a sign") << u"2,5E2"_s << 250.0;
        QTest::newRow("point") << u"1.4"_s << qQNaN();
        QTest::newRow("empty") << QString() << qQNaN();
        QTest::newRow("digit groups") << u"2 450"_s << qQNaN();
        QTest::newRow("overflow") << u"1E999"_s << qQNaN();
    }
    void readsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(RussianFormat::isNumeric(text), !qIsNaN(value));
        QCOMPARE(RussianFormat::toDouble(text).value_or(qQNaN()), value);
    }

    void writesNumbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals"); // -1: the shortest form
        QTest::addColumn<QString>("text");
        QTest::newRow("no group separator") << 2450.0 << -1 << u"2450"_s;
        QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << -1 << u"0,3"_s;
        QTest::newRow("minus zero") << -0.0 << -1 << u"0"_s;
        QTest::newRow("15 digits") << 1.0 / 3 << -1 << u"0,333333333333333"_s;
        QTest::newRow("exponent") << 123456789012345678.0 << -1 << u"1,23456789012346E+17"_s;
        QTest::newRow("12.5 up") << 12.5 << 0 << u"13"_s;
        QTest::newRow("-12.5 away from zero") << -12.5 << 0 << u"-13"_s;
        QTest::newRow("0.15 just below half") << 0.15 << 1 << u"0,2"_s;
        QTest::newRow("carry through nines") << 9.96 << 1 << u"10,0"_s;
        QTest::newRow("tiny negative, no sign") << -0.0004 << 1 << u"0,0"_s;
        QTest::newRow("large") << 1e17 << 0 << u"100000000000000000"_s;
    }
    void writesNumbers()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QTEST(decimals < 0 ? RussianFormat::shortest(value) : RussianFormat::fixed(value, decimals), "text");
        QCOMPARE(RussianFormat::longDate(QDate(2026, 12, 6)), u"6 декабря 2026 г."_s);
    }

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

QTEST_GUILESS_MAIN(TestNumbers)
#include "TestNumbers.moc"
