#include "RussianFormat.h"

#include <QLocale>
#include <QTest>

using namespace RussianFormat;

class TestRussianFormat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Conversions must not follow the machine's locale.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void readsNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("decimal comma") << u"10,5"_qs << true << 10.5;
        QTest::newRow("whole") << u"2450"_qs << true << 2450.0;
        QTest::newRow("blanks around") << u" 24 "_qs << true << 24.0;
        QTest::newRow("negative") << u"-1,25"_qs << true << -1.25;
        QTest::newRow("leading comma") << u",5"_qs << true << 0.5;
        QTest::newRow("exponent") << u"1,5E3"_qs << true << 1500.0;
        QTest::newRow("point is not a separator") << u"1.4"_qs << false << 0.0;
        QTest::newRow("two commas") << u"1,2,3"_qs << false << 0.0;
        QTest::newRow("empty") << QString() << false << 0.0;
        QTest::newRow("blank") << u"  "_qs << false << 0.0;
        QTest::newRow("letters") << u"abc"_qs << false << 0.0;
        QTest::newRow("trailing slash") << u"12/"_qs << false << 0.0;
        QTest::newRow("digit groups") << u"2 450"_qs << false << 0.0;
        QTest::newRow("lone sign") << u"-"_qs << false << 0.0;
        QTest::newRow("bare exponent") << u"1E"_qs << false << 0.0;
        QTest::newRow("overflow") << u"1E999"_qs << false << 0.0;
    }
    void readsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        QCOMPARE(isNumeric(text), numeric);
        const auto read = toDouble(text);
        QCOMPARE(read.has_value(), numeric);
        if (numeric)
            QCOMPARE(*read, value);
    }

    void writesShortestForm()
    {
        QCOMPARE(shortest(24), u"24"_qs);
        QCOMPARE(shortest(2450), u"2450"_qs); // never "2 450"
        QCOMPARE(shortest(10.5), u"10,5"_qs);
        QCOMPARE(shortest(0.1 + 0.2), u"0,3"_qs);
        QCOMPARE(shortest(-0.0), u"0"_qs);
        QCOMPARE(shortest(5.0 * 100 / 200), u"2,5"_qs);
        QCOMPARE(shortest(1.0 / 3), u"0,333333333333333"_qs);
        QCOMPARE(shortest(123456789012345678.0), u"1,23456789012346E+17"_qs);
        // What shortest() writes, toDouble() reads back.
        for (double v : {0.1, 12.345, 1e-7, 98765.4321, -3.5})
            QCOMPARE(toDouble(shortest(v)).value(), toDouble(shortest(*toDouble(shortest(v)))).value());
    }

    void roundsHalvesAwayFromZero_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("12.5 up") << 12.5 << 0 << u"13"_qs;
        QTest::newRow("13.5 up, not to even") << 13.5 << 0 << u"14"_qs;
        QTest::newRow("-12.5 away from zero") << -12.5 << 0 << u"-13"_qs;
        QTest::newRow("12.4 down") << 12.4 << 0 << u"12"_qs;
        QTest::newRow("0.15 binary below half") << 0.15 << 1 << u"0,2"_qs;
        QTest::newRow("0.25 exact half") << 0.25 << 1 << u"0,3"_qs;
        QTest::newRow("2.675 binary below half") << 2.675 << 1 << u"2,7"_qs;
        QTest::newRow("1.05 binary above half") << 1.05 << 1 << u"1,1"_qs;
        QTest::newRow("carry through nines") << 9.96 << 1 << u"10,0"_qs;
        QTest::newRow("one decimal kept") << 10.0 << 1 << u"10,0"_qs;
        QTest::newRow("20.08 sum") << 10.04 + 10.04 << 1 << u"20,1"_qs;
        QTest::newRow("tiny") << 0.0004 << 1 << u"0,0"_qs;
        QTest::newRow("tiny negative has no sign") << -0.0004 << 1 << u"0,0"_qs;
        QTest::newRow("no group separator") << 123456.0 << 0 << u"123456"_qs;
        QTest::newRow("kcal 284") << 284.0 << 0 << u"284"_qs;
        QTest::newRow("share 12.5") << 250.0 / 2000 * 100 << 0 << u"13"_qs;
        QTest::newRow("large") << 1e17 << 0 << u"100000000000000000"_qs;
    }
    void roundsHalvesAwayFromZero()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(fixed(value, decimals), text);
    }

    void convertsCyrillicCase()
    {
        QCOMPARE(upper(u"$no_dishes хлеб ёж"_qs), u"$NO_DISHES ХЛЕБ ЁЖ"_qs);
        QCOMPARE(lower(u"СУПЫ Ґ"_qs), u"супы ґ"_qs);
    }

    void writesRussianLongDate()
    {
        QCOMPARE(longDate(QDate(2026, 12, 6)), u"6 декабря 2026 г."_qs);
        QCOMPARE(longDate(QDate(2027, 3, 21)), u"21 марта 2027 г."_qs);
    }
};

QTEST_GUILESS_MAIN(TestRussianFormat)
#include "TestRussianFormat.moc"
