#include "common/NumberHelpers.h"
#include "common/Payload.h"
#include "common/RussianFormat.h"

#include <QLocale>
#include <QTest>

#include <tuple>

using namespace Qt::StringLiterals;

// Numbers as the program reads and writes them, and the payloads they come in.
class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    // The machine's own locale must not matter.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void readsNumbers()
    {
        const std::pair<QString, double> cases[] = {
            // NaN: not a number
            {u"10,5"_s, 10.5},   {u" 24 "_s, 24.0},    {u"-1,5E+03"_s, -1500}, {u"2,5E2"_s, 250},
            {u"1.4"_s, qQNaN()}, {QString(), qQNaN()}, {u"2 450"_s, qQNaN()},  {u"1E999"_s, qQNaN()}};
        for (const auto& [text, value] : cases) {
            QCOMPARE(RussianFormat::isNumeric(text), !qIsNaN(value));
            QCOMPARE(RussianFormat::toDouble(text).value_or(qQNaN()), value);
        }
    }

    void writesNumbers()
    {
        const std::tuple<double, int, QString> cases[] = {
            // decimals -1: the shortest form
            {2450.0, -1, u"2450"_s},
            {0.1 + 0.2, -1, u"0,3"_s},
            {-0.0, -1, u"0"_s},
            {1.0 / 3, -1, u"0,333333333333333"_s},
            {123456789012345678.0, -1, u"1,23456789012346E+17"_s},
            {12.5, 0, u"13"_s},
            {-12.5, 0, u"-13"_s}, // away from zero
            {0.15, 1, u"0,2"_s},  // just below half in binary
            {9.96, 1, u"10,0"_s},
            {-0.0004, 1, u"0,0"_s},
            {1e17, 0, u"100000000000000000"_s}};
        for (const auto& [value, decimals, text] : cases)
            QCOMPARE(decimals < 0 ? RussianFormat::shortest(value) : RussianFormat::fixed(value, decimals),
                     text);
        QCOMPARE(RussianFormat::longDate(QDate(2026, 12, 6)), u"6 декабря 2026 г."_s);
    }

    void sumsWeightParts()
    {
        const std::pair<QString, double> cases[] = {
            // NaN: refused as not a number
            {u"150\\50"_s, 200}, {u"12.5"_s, 12.5}, {u"12,5"_s, 12.5},     {u"100/"_s, 100},
            {QString(), 0},      {u"1/2/3"_s, 6},   {u"15a/2"_s, qQNaN()}, {u"150/5x"_s, qQNaN()}};
        for (const auto& [text, sum] : cases) {
            if (qIsNaN(sum))
                QVERIFY_THROWS_EXCEPTION(NotANumber, GetOutSum(text));
            else
                QCOMPARE(GetOutSum(text), sum);
        }
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
