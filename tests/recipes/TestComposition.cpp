#include "recipes/Composition.h"
#include "recipes/CompositionDisplay.h"
#include "recipes/Energy.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kBorshch = u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_s;
const QString kHalf = u"Белки-5,0г, Жиры-2,5г, Углеводы-25,0г, Калорийность-142ккал"_s;
} // namespace

class TestComposition : public QObject
{
    Q_OBJECT

private slots:
    void refusesWhatCannotBeLoaded_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("three values") << u"10<Sc>5<Sc>20<Str>Борщ<Sc>200"_s;
        QTest::newRow("value with a point") << u"10.5<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_s;
        QTest::newRow("no weight cell") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ"_s;
        QTest::newRow("weight not a number") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>2x0"_s;
        QTest::newRow("weight of empty parts") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>/"_s;
        QTest::newRow("weight negative") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>-200"_s;
        QTest::newRow("weight overflows") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>1e308/1e308"_s;
        QTest::newRow("carbohydrates overflow") << u"1<Sc>0<Sc>1e308<Sc>1e308<Str>Борщ<Sc>200"_s;
        QTest::newRow("energy overflows") << u"0<Sc>1e308<Sc>0<Sc>0<Str>Борщ<Sc>200"_s;
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
        const QStringList ones{u"1"_s, u"1"_s, u"1"_s, u"1"_s};
        QTest::newRow("ones") << ones << false << 20.9;
        QTest::newRow("ones rounded") << ones << true << 21.0;
        QTest::newRow("each factor apart")
            << QStringList{u"1"_s, u"10"_s, u"100"_s, u"1000"_s} << false << 4574.0;
        // 2.5 is exact in binary: banker's rounding would give 2.
        QTest::newRow("half away from zero")
            << QStringList{u"0,625"_s, u"0"_s, u"0"_s, u"0"_s} << true << 3.0;
        QTest::newRow("negative half away from zero")
            << QStringList{u"-0,625"_s, u"0"_s, u"0"_s, u"0"_s} << true << -3.0;
        QTest::newRow("further cells unused") << ones + QStringList{u"1000"_s} << false << 20.9;
        QTest::newRow("missing cells count 0") << QStringList{u"1"_s} << false << 4.0;
        QTest::newRow("unreadable cells count 0")
            << QStringList{u"x"_s, u"1"_s, u""_s, u"y"_s} << false << 9.0;
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
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("tOut");
        QTest::addColumn<QString>("lHS");
        QTest::newRow("composite recipe weight")
            << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>100/50"_s << u"75"_s << u"75"_s << kHalf;
        QTest::newRow("composite typed weight") << kBorshch << u"50/50"_s << u"50/50"_s << kHalf;
        QTest::newRow("halves away from zero")
            << u"0,25<Sc>0,15<Sc>0,05<Sc>0<Str>Чай<Sc>100"_s << QString() << u"100"_s
            << u"Белки-0,3г, Жиры-0,2г, Углеводы-0,1г, Калорийность-3ккал"_s;
    }
    void display()
    {
        QFETCH(QString, composition);
        QFETCH(QString, typed);
        QFETCH(QString, tOut);
        QFETCH(QString, lHS);
        const auto result = CompositionDisplay::form_HS_Dish(composition, false, typed);
        QCOMPARE(int(result.outcome()), int(CompositionDisplay::Outcome::Shown));
        QCOMPARE(result.tOut(), tOut);
        QCOMPARE(result.lHS(), lHS);
    }

    // A figure scaled past the double range would show "inf".
    void weightScalingPastTheRangeIsUnreadable()
    {
        const QString salt = u"1e300<Sc>0<Sc>1e300<Sc>0<Str>Соль<Sc>1"_s;
        QCOMPARE(int(CompositionDisplay::form_HS_Dish(salt, false, u"1e10"_s).outcome()),
                 int(CompositionDisplay::Outcome::WeightUnreadable));
        QCOMPARE(int(CompositionDisplay::form_HS_Dish(salt, false, u"10"_s).outcome()),
                 int(CompositionDisplay::Outcome::Shown));
    }
};

QTEST_GUILESS_MAIN(TestComposition)
#include "TestComposition.moc"
