#include "recipes/RationEntries.h"

#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {
const QString kBorshch = u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_s;

// Protein, fat, the two carbohydrate fractions and kcal of entry i.
QList<double> numbers(const RationEntries& ration, int i)
{
    return {ration.GetDishProtein(i), ration.GetDishFat(i), ration.GetDishCarb1(i), ration.GetDishCarb2(i),
            ration.GetDishKkal(i)};
}
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
        QTest::newRow("below 1") << 0;
    }
    void emptyRationGivesDefaults()
    {
        QFETCH(int, index);
        const RationEntries ration;
        QCOMPARE(ration.GetDishName(index), QString());
        QCOMPARE(ration.GetDishWeight(index), u"0"_s);
        QCOMPARE(numbers(ration, index), QList<double>(5, 0.0));
    }

    void scalesToTheTypedWeight_data()
    {
        QTest::addColumn<QString>("composition");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("entry");
        QTest::newRow("half") << kBorshch << u"100"_s << u"5<Sc>2,5<Sc>10<Sc>15<Str>Борщ<Sc>100"_s;
        QTest::newRow("composite typed weight sums to the recipe's")
            << kBorshch << u"150/50"_s << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>150/50"_s;
        QTest::newRow("composite recipe weight") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>150/50"_s << u"100"_s
                                                 << u"5<Sc>2,5<Sc>10<Sc>15<Str>Борщ<Sc>100"_s;
        QTest::newRow("further cells scaled when numeric, kept otherwise")
            << u"10<Sc>5<Sc>20<Sc>30<Sc>8<Sc>н/д<Sc><Str>Борщ<Sc>200<Sc>extra"_s << u"100"_s
            << u"5<Sc>2,5<Sc>10<Sc>15<Sc>4<Sc>н/д<Sc><Str>Борщ<Sc>100<Sc>extra"_s;
        QTest::newRow("only two rows are kept") << kBorshch + u"<Str>третья"_s << u"200"_s << kBorshch;
        QTest::newRow("multiply first, then divide")
            << u"0,1<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>11"_s << u"6"_s
            << u"0,0545454545454546<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>6"_s; // dividing first gives ...545
        QTest::newRow("0/0 typed: an all-zero entry")
            << kBorshch << u"0/0"_s << u"0<Sc>0<Sc>0<Sc>0<Str>Борщ<Sc>0/0"_s;
        QTest::newRow("-0 typed: no negative zeros")
            << kBorshch << u"-0"_s << u"0<Sc>0<Sc>0<Sc>0<Str>Борщ<Sc>-0"_s;
        QTest::newRow("shortest form") << u"1<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>3"_s << u"1"_s
                                       << u"0,333333333333333<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>1"_s;
    }
    void scalesToTheTypedWeight()
    {
        QFETCH(QString, composition);
        QFETCH(QString, typed);
        QFETCH(QString, entry);
        RationEntries ration;
        QCOMPARE(ration.add(composition, typed), RationEntries::AddResult::Added);
        QCOMPARE(ration.upperBound(), 1);
        QCOMPARE(ration.entry(1), entry);
    }

    void accessorsReadTheEntries()
    {
        RationEntries ration;
        ration.add(kBorshch, u"100"_s);
        // Protein 0,625 g: 2.5 kcal, which rounds away from zero to 3.
        ration.add(u"0,625<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>1"_s, u"1"_s);
        QCOMPARE(ration.upperBound(), 2);
        QCOMPARE(ration.GetDishName(1), u"Борщ"_s);
        QCOMPARE(ration.GetDishWeight(1), u"100"_s);
        QCOMPARE(numbers(ration, 1), (QList<double>{5, 2.5, 10, 15, 142}));
        QCOMPARE(ration.GetDishKkal(2), 3.0);
        QCOMPARE(ration.GetDishWeight(3), u"0"_s);
    }

    void refusedAddsChangeNothing()
    {
        using R = RationEntries::AddResult;
        RationEntries ration;
        QCOMPARE(ration.add(kBorshch, QString()), R::WeightUnreadable);
        QVERIFY(ration.isEmpty());
        ration.add(kBorshch, u"100"_s);
        const QString before = ration.entry(1);
        QCOMPARE(ration.add(kBorshch, u"-5"_s), R::WeightUnreadable); // pasted: the key filter stops "-"
        QCOMPARE(ration.add(u"10<Sc>жир<Sc>20<Sc>30<Str>Борщ<Sc>200"_s, u"100"_s), R::RecipeUnreadable);
        // A value, or the energy of finite values, scaled past the double range.
        QCOMPARE(ration.add(u"1e300<Sc>0<Sc>0<Sc>0<Str>Соль<Sc>1"_s, u"1e10"_s), R::WeightUnreadable);
        QCOMPARE(ration.add(u"0<Sc>1e307<Sc>0<Sc>0<Str>Соль<Sc>1"_s, u"10"_s), R::WeightUnreadable);
        QCOMPARE(ration.upperBound(), 1);
        QCOMPARE(ration.entry(1), before);
    }

    // Each edit on the ration Борщ 100, Чай 1, Каша 50, as names and weights.
    void editing_data()
    {
        QTest::addColumn<std::function<bool(RationEntries&)>>("edit");
        QTest::addColumn<QString>("after");
        using R = RationEntries;
        const auto ok = [](R::AddResult r) { return r == R::AddResult::Added; };
        QTest::newRow("remove two, out of order, twice named, one outside") << std::function([](R& r) {
            r.remove({3, 1, 3, 9});
            return true;
        }) << u"Чай 1"_s;
        QTest::newRow("remove all leaves the empty ration") << std::function([](R& r) {
            r.remove({1, 2, 3});
            return r.isEmpty() && r.count() == 0;
        }) << u""_s;
        QTest::newRow("down") << std::function([](R& r) { return r.move(1, 1); })
                              << u"Чай 1|Борщ 100|Каша 50"_s;
        QTest::newRow("up") << std::function([](R& r) { return r.move(3, -1); })
                            << u"Борщ 100|Каша 50|Чай 1"_s;
        QTest::newRow("not past the top")
            << std::function([](R& r) { return !r.move(1, -1); }) << u"Борщ 100|Чай 1|Каша 50"_s;
        QTest::newRow("not past the end")
            << std::function([](R& r) { return !r.move(3, 1); }) << u"Борщ 100|Чай 1|Каша 50"_s;
        QTest::newRow("new weight rescales in proportion") << std::function([ok](R& r) {
            return ok(r.setWeight(1, u"150/50"_s)) && r.GetDishProtein(1) == 10.0;
        }) << u"Борщ 150/50|Чай 1|Каша 50"_s;
        for (const QString& bad : {u"0"_s, u"-5"_s, u"abc"_s, QString()}) {
            QTest::addRow("weight \"%s\" refused", qPrintable(bad)) << std::function([bad](R& r) {
                return r.setWeight(1, bad) == R::AddResult::WeightUnreadable && r.GetDishProtein(1) == 5.0;
            }) << u"Борщ 100|Чай 1|Каша 50"_s;
        }
        QTest::newRow("replace") << std::function([](R& r) { return r.replace({kBorshch}); })
                                 << u"Борщ 200"_s;
        QTest::newRow("replace by 26 refused")
            << std::function([](R& r) { return !r.replace(QStringList(26, kBorshch)); })
            << u"Борщ 100|Чай 1|Каша 50"_s;
    }
    void editing()
    {
        QFETCH(std::function<bool(RationEntries&)>, edit);
        QFETCH(QString, after);
        RationEntries ration;
        ration.add(kBorshch, u"100"_s);
        ration.add(u"0,625<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>1"_s, u"1"_s);
        ration.add(u"1<Sc>1<Sc>1<Sc>1<Str>Каша<Sc>100"_s, u"50"_s);
        QVERIFY(edit(ration));
        QStringList dishes;
        for (int i = 1; i <= ration.count(); ++i)
            dishes << ration.GetDishName(i) + u' ' + ration.GetDishWeight(i);
        QCOMPARE(dishes.join(u'|'), after);
    }
};

QTEST_GUILESS_MAIN(TestRationEntries)
#include "TestRationEntries.moc"
