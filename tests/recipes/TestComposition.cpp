#include "Composition.h"
#include "CompositionDisplay.h"
#include "Energy.h"

#include <QTest>

class TestComposition : public QObject
{
    Q_OBJECT

private slots:
    void readsAComposition()
    {
        const auto record =
            Composition::parse(u"10<Sc>5<Sc>20,5<Sc>30<Sc>7<Str>Борщ<Sc>150/50<Sc>x<Str>ignored"_qs);
        QVERIFY(record);
        QCOMPARE(record->protein(), 10.0);
        QCOMPARE(record->fat(), 5.0);
        QCOMPARE(record->carb1(), 20.5);
        QCOMPARE(record->carb2(), 30.0);
        QCOMPARE(record->dishName(), u"Борщ"_qs);
        QCOMPARE(record->weightText(), u"150/50"_qs);
        QCOMPARE(record->weight(), 200.0);
        QCOMPARE(record->values().size(), 5);
        QCOMPARE(record->identity().size(), 3);
    }

    void refusesWhatCannotBeLoaded_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("one row") << u"10<Sc>5<Sc>20<Sc>30"_qs;
        QTest::newRow("three values") << u"10<Sc>5<Sc>20<Str>Борщ<Sc>200"_qs;
        QTest::newRow("value not a number") << u"10<Sc>x<Sc>20<Sc>30<Str>Борщ<Sc>200"_qs;
        QTest::newRow("value with a point") << u"10.5<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_qs;
        QTest::newRow("no weight cell") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ"_qs;
        QTest::newRow("weight not a number") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>2x0"_qs;
        QTest::newRow("weight zero") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>0"_qs;
        QTest::newRow("weight of empty parts") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>/"_qs;
        QTest::newRow("weight negative") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>-200"_qs;
        QTest::newRow("weight overflows") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>1e308/1e308"_qs;
    }
    void refusesWhatCannotBeLoaded()
    {
        QFETCH(QString, text);
        QVERIFY(!Composition::parse(text));
    }

    void energy_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("rounded");
        QTest::addColumn<double>("kkal");
        QTest::newRow("ones") << QStringList{u"1"_qs, u"1"_qs, u"1"_qs, u"1"_qs} << false << 20.9;
        QTest::newRow("ones rounded") << QStringList{u"1"_qs, u"1"_qs, u"1"_qs, u"1"_qs} << true << 21.0;
        QTest::newRow("borshch") << QStringList{u"10"_qs, u"5"_qs, u"20"_qs, u"30"_qs} << false << 284.0;
        QTest::newRow("factors apart") << QStringList{u"1"_qs, u"0"_qs, u"0"_qs, u"0"_qs} << false << 4.0;
        QTest::newRow("fat") << QStringList{u"0"_qs, u"1"_qs, u"0"_qs, u"0"_qs} << false << 9.0;
        QTest::newRow("rounded down") << QStringList{u"0"_qs, u"0"_qs, u"0"_qs, u"0,5"_qs} << true << 2.0;
        // 2.5 is exact in binary: banker's rounding would give 2.
        QTest::newRow("half away from zero")
            << QStringList{u"0,625"_qs, u"0"_qs, u"0"_qs, u"0"_qs} << true << 3.0;
        QTest::newRow("negative half away from zero")
            << QStringList{u"-0,625"_qs, u"0"_qs, u"0"_qs, u"0"_qs} << true << -3.0;
        QTest::newRow("decimal comma") << QStringList{u"2,5"_qs, u"0"_qs, u"0"_qs, u"0"_qs} << false << 10.0;
        QTest::newRow("further cells unused")
            << QStringList{u"1"_qs, u"1"_qs, u"1"_qs, u"1"_qs, u"1000"_qs} << false << 20.9;
        QTest::newRow("missing cells count 0") << QStringList{u"1"_qs} << false << 4.0;
        QTest::newRow("unreadable cells count 0")
            << QStringList{u"x"_qs, u"1"_qs, u""_qs, u"y"_qs} << false << 9.0;
    }
    void energy()
    {
        QFETCH(QStringList, values);
        QFETCH(bool, rounded);
        QFETCH(double, kkal);
        QCOMPARE(CalcKkal(values, rounded), kkal);
    }

    void display_data()
    {
        QTest::addColumn<QString>("composition");
        QTest::addColumn<bool>("fromDispatcher");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("tOut");
        QTest::addColumn<QString>("lHS");
        const QString borshch = u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_qs;
        const QString full = u"Белки-10,0г, Жиры-5,0г, Углеводы-50,0г, Калорийность-284ккал"_qs;
        const QString half = u"Белки-5,0г, Жиры-2,5г, Углеводы-25,0г, Калорийность-142ккал"_qs;
        using O = CompositionDisplay::Outcome;
        QTest::newRow("arrival shows the recipe weight")
            << borshch << true << u"100"_qs << int(O::Shown) << u"200"_qs << full;
        QTest::newRow("typed weight scales")
            << borshch << false << u"100"_qs << int(O::Shown) << u"100"_qs << half;
        QTest::newRow("empty box takes the recipe weight")
            << borshch << false << QString() << int(O::Shown) << u"200"_qs << full;
        QTest::newRow("composite recipe weight") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>150/50"_qs << false
                                                 << u"100"_qs << int(O::Shown) << u"100"_qs << half;
        QTest::newRow("composite typed weight")
            << borshch << false << u"50/50"_qs << int(O::Shown) << u"50/50"_qs << half;
        QTest::newRow("zero typed weight") << borshch << false << u"0"_qs << int(O::Shown) << u"0"_qs
                                           << u"Белки-0,0г, Жиры-0,0г, Углеводы-0,0г, Калорийность-0ккал"_qs;
        QTest::newRow("rounding of the line")
            << u"0,25<Sc>0,15<Sc>0,05<Sc>0<Str>Чай<Sc>100"_qs << true << QString() << int(O::Shown)
            << u"100"_qs << u"Белки-0,3г, Жиры-0,2г, Углеводы-0,1г, Калорийность-3ккал"_qs;
        QTest::newRow("not loaded") << QString() << false << u"100"_qs << int(O::NotLoaded) << QString()
                                    << QString();
        QTest::newRow("cannot be loaded") << u"10<Sc>5<Str>Борщ<Sc>200"_qs << true << QString()
                                          << int(O::LoadFailed) << QString() << QString();
        QTest::newRow("recipe weight zero") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>0"_qs << false << u"100"_qs
                                            << int(O::LoadFailed) << QString() << QString();
        QTest::newRow("typed weight unreadable")
            << borshch << false << u"1,2,3"_qs << int(O::WeightUnreadable) << QString() << QString();
    }
    void display()
    {
        QFETCH(QString, composition);
        QFETCH(bool, fromDispatcher);
        QFETCH(QString, typed);
        QFETCH(int, outcome);
        QFETCH(QString, tOut);
        QFETCH(QString, lHS);
        const auto result = CompositionDisplay::form_HS_Dish(composition, fromDispatcher, typed);
        QCOMPARE(int(result.outcome()), outcome);
        QCOMPARE(result.tOut(), tOut);
        QCOMPARE(result.lHS(), lHS);
    }
};

QTEST_GUILESS_MAIN(TestComposition)
#include "TestComposition.moc"
