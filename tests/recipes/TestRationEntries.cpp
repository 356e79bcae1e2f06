#include "RationEntries.h"
#include "RecipeData.h"

#include <QTest>

namespace {
const QString kBorshch = u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_qs;
const QString kComposite = u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>150/50"_qs;
} // namespace

class TestRationEntries : public QObject
{
    Q_OBJECT

private slots:
    void emptyRationGivesDefaults_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("entry 1") << 1;
        QTest::newRow("above the upper bound") << 2;
        QTest::newRow("far above") << 26;
        QTest::newRow("below 1") << 0;
        QTest::newRow("negative") << -5;
    }
    void emptyRationGivesDefaults()
    {
        QFETCH(int, index);
        const RationEntries ration;
        QVERIFY(ration.isEmpty());
        QCOMPARE(ration.upperBound(), 1);
        QCOMPARE(ration.GetDishName(index), QString());
        QCOMPARE(ration.GetDishWeight(index), u"0"_qs);
        QCOMPARE(ration.GetDishProtein(index), 0.0);
        QCOMPARE(ration.GetDishFat(index), 0.0);
        QCOMPARE(ration.GetDishCarb1(index), 0.0);
        QCOMPARE(ration.GetDishCarb2(index), 0.0);
        QCOMPARE(ration.GetDishKkal(index), 0.0);
    }

    void scalesToTheTypedWeight_data()
    {
        QTest::addColumn<QString>("composition");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("entry");
        QTest::newRow("half") << kBorshch << u"100"_qs << u"5<Sc>2,5<Sc>10<Sc>15<Str>Борщ<Sc>100"_qs;
        QTest::newRow("composite typed weight sums to the recipe's")
            << kBorshch << u"150/50"_qs << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>150/50"_qs;
        QTest::newRow("composite recipe weight")
            << kComposite << u"100"_qs << u"5<Sc>2,5<Sc>10<Sc>15<Str>Борщ<Sc>100"_qs;
        QTest::newRow("typed with a point is kept as typed")
            << kBorshch << u"50.0"_qs << u"2,5<Sc>1,25<Sc>5<Sc>7,5<Str>Борщ<Sc>50.0"_qs;
        QTest::newRow("further cells scaled when numeric, kept otherwise")
            << u"10<Sc>5<Sc>20<Sc>30<Sc>8<Sc>н/д<Sc><Str>Борщ<Sc>200<Sc>extra"_qs << u"100"_qs
            << u"5<Sc>2,5<Sc>10<Sc>15<Sc>4<Sc>н/д<Sc><Str>Борщ<Sc>100<Sc>extra"_qs;
        QTest::newRow("only two rows are kept")
            << kBorshch + u"<Str>третья<Sc>строка"_qs << u"200"_qs << kBorshch;
        QTest::newRow("multiply first, then divide")
            << u"0,1<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>11"_qs << u"6"_qs
            << u"0,0545454545454546<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>6"_qs; // dividing first gives ...545
        QTest::newRow("shortest form") << u"1<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>3"_qs << u"1"_qs
                                       << u"0,333333333333333<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>1"_qs;
    }
    void scalesToTheTypedWeight()
    {
        QFETCH(QString, composition);
        QFETCH(QString, typed);
        QFETCH(QString, entry);
        RationEntries ration;
        QCOMPARE(ration.add(composition, typed), RationEntries::AddResult::Added);
        QCOMPARE(ration.upperBound(), 1);
        QVERIFY(!ration.isEmpty());
        QCOMPARE(ration.entry(1), entry);
    }

    void accessorsReadAnEntry()
    {
        RationEntries ration;
        QCOMPARE(ration.add(kBorshch, u"100"_qs), RationEntries::AddResult::Added);
        QCOMPARE(ration.add(u"1<Sc>1<Sc>1<Sc>1<Str>Чай<Sc>10"_qs, u"10"_qs), RationEntries::AddResult::Added);
        QCOMPARE(ration.upperBound(), 2);
        QCOMPARE(ration.GetDishName(1), u"Борщ"_qs);
        QCOMPARE(ration.GetDishWeight(1), u"100"_qs);
        QCOMPARE(ration.GetDishProtein(1), 5.0);
        QCOMPARE(ration.GetDishFat(1), 2.5);
        QCOMPARE(ration.GetDishCarb1(1), 10.0);
        QCOMPARE(ration.GetDishCarb2(1), 15.0);
        QCOMPARE(ration.GetDishKkal(1), 142.0); // half of 284
        QCOMPARE(ration.GetDishName(2), u"Чай"_qs);
        QCOMPARE(ration.GetDishKkal(2), 21.0); // 20.9 rounded
        QCOMPARE(ration.GetDishName(3), QString());
        QCOMPARE(ration.GetDishWeight(3), u"0"_qs);
    }

    void kkalOfAnEntryIsRoundedHalfAwayFromZero()
    {
        RationEntries ration;
        // Protein 0,625 g at its own weight: 2.5 kcal, which rounds to 3.
        QCOMPARE(ration.add(u"0,625<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>1"_qs, u"1"_qs),
                 RationEntries::AddResult::Added);
        QCOMPARE(ration.GetDishKkal(1), 3.0);
    }

    void holdsTwentyFiveDishes()
    {
        RationEntries ration;
        for (int i = 1; i <= RationEntries::MaxEntries; ++i) {
            QCOMPARE(ration.add(kBorshch, QString::number(i)), RationEntries::AddResult::Added);
            QCOMPARE(ration.upperBound(), i);
        }
        const QString last = ration.entry(25);
        QCOMPARE(ration.add(kBorshch, u"100"_qs), RationEntries::AddResult::Full);
        QCOMPARE(ration.upperBound(), 25);
        QCOMPARE(ration.entry(25), last);
        QCOMPARE(ration.GetDishWeight(25), u"25"_qs);
        QCOMPARE(ration.GetDishWeight(1), u"1"_qs);
    }

    void resetStartsAgainAtEntry1()
    {
        RationEntries ration;
        ration.add(kBorshch, u"100"_qs);
        ration.add(kBorshch, u"100"_qs);
        ration.reset();
        QVERIFY(ration.isEmpty());
        QCOMPARE(ration.upperBound(), 1);
        QCOMPARE(ration.add(kBorshch, u"50"_qs), RationEntries::AddResult::Added);
        QCOMPARE(ration.upperBound(), 1);
        QCOMPARE(ration.GetDishWeight(1), u"50"_qs);
    }

    void refusedAddsChangeNothing_data()
    {
        QTest::addColumn<QString>("composition");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("result");
        using R = RationEntries::AddResult;
        QTest::newRow("no recipe") << QString() << u"100"_qs << int(R::NoRecipe);
        QTest::newRow("no identity row")
            << u"10<Sc>5<Sc>20<Sc>30"_qs << u"100"_qs << int(R::RecipeUnreadable);
        QTest::newRow("recipe weight zero")
            << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>0"_qs << u"100"_qs << int(R::RecipeUnreadable);
        QTest::newRow("recipe weight unreadable")
            << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>2,,0"_qs << u"100"_qs << int(R::RecipeUnreadable);
        QTest::newRow("value unreadable")
            << u"10<Sc>жир<Sc>20<Sc>30<Str>Борщ<Sc>200"_qs << u"100"_qs << int(R::RecipeUnreadable);
        QTest::newRow("typed weight unreadable") << kBorshch << u"1,,5"_qs << int(R::WeightUnreadable);
        QTest::newRow("typed weight empty") << kBorshch << QString() << int(R::WeightUnreadable);
        QTest::newRow("typed weight zero") << kBorshch << u"0/0"_qs << int(R::WeightUnreadable);
        QTest::newRow("typed weight negative") << kBorshch << u"-5"_qs << int(R::WeightUnreadable);
    }
    void refusedAddsChangeNothing()
    {
        QFETCH(QString, composition);
        QFETCH(QString, typed);
        QFETCH(int, result);
        RationEntries ration;
        QCOMPARE(ration.add(composition, typed), RationEntries::AddResult(result));
        QVERIFY(ration.isEmpty());
        QCOMPARE(ration.add(kBorshch, u"100"_qs), RationEntries::AddResult::Added);
        const QString before = ration.entry(1);
        QCOMPARE(ration.add(composition, typed), RationEntries::AddResult(result));
        QCOMPARE(ration.upperBound(), 1);
        QCOMPARE(ration.entry(1), before);
    }

    void recipeDataStartsClean()
    {
        RecipeData data;
        QVERIFY(data.CurrentHS().isEmpty());
        QVERIFY(data.rationEntries().isEmpty());
        data.setCurrentHS(kBorshch);
        data.rationEntries().add(data.CurrentHS(), u"100"_qs);
        QCOMPARE(data.rationEntries().GetDishName(1), u"Борщ"_qs);
        QCOMPARE(static_cast<const RecipeData&>(data).rationEntries().upperBound(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRationEntries)
#include "TestRationEntries.moc"
