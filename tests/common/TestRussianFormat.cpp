#include "common/RussianFormat.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace RussianFormat;

class TestRussianFormat : public QObject
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
        QTest::newRow("point") << u"1.4"_s << qQNaN();
        QTest::newRow("empty") << QString() << qQNaN();
        QTest::newRow("digit groups") << u"2 450"_s << qQNaN();
        QTest::newRow("overflow") << u"1E999"_s << qQNaN();
    }
    void readsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(isNumeric(text), !qIsNaN(value));
        QCOMPARE(toDouble(text).value_or(qQNaN()), value);
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
        QFETCH(QString, text);
        QCOMPARE(decimals < 0 ? shortest(value) : fixed(value, decimals), text);
    }

    void writesTheRussianLongDate() { QCOMPARE(longDate(QDate(2026, 12, 6)), u"6 декабря 2026 г."_s); }
};

QTEST_GUILESS_MAIN(TestRussianFormat)
#include "TestRussianFormat.moc"
