#include "recipes/Catalogue.h"
#include "recipes/Composition.h"
#include "recipes/CompositionDisplay.h"
#include "recipes/Energy.h"
#include "recipes/RationEntries.h"

#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {
const QString kBorshch = u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_s;
using R = RationEntries;
using Edit = std::function<bool(R&)>;
} // namespace

class TestRecipes : public QObject
{
    Q_OBJECT

private slots:
    // The names, then the counts of empty records and of names before the first
    // of them, or for dishes whether the server has none.
    void catalogue_data()
    {
        QTest::addColumn<bool>("dishes");
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QString>("expected");
        QTest::newRow("separator at each end") << false << u"<EB>А<EB>"_s << u"А 2 0"_s;
        QTest::newRow("empty records among names")
            << false << u"А<EB>Б<EB><EB>В<EB><EB>Г"_s << u"А|Б|В|Г 2 2"_s;
        QTest::newRow("empty first field is an entry") << false << u"<TB>12<EB> Б "_s << u"| Б  0 2"_s;
        QTest::newRow("separators are case-sensitive") << false << u"А<eb>Б"_s << u"А<eb>Б 0 1"_s;
        QTest::newRow("no dishes") << true << QString() << u" 0"_s;
        QTest::newRow("empty dishes kept") << true << u"а<BL><BL>б<BL>"_s << u"а||б| 0"_s;
        QTest::newRow("marker") << true << u"$NO_DISHES"_s << u"База не содержит рецептур 1"_s;
        QTest::newRow("marker with a blank is a name") << true << u"$NO_DISHES "_s << u"$NO_DISHES  0"_s;
    }
    void catalogue()
    {
        QFETCH(bool, dishes);
        QFETCH(QString, payload);
        const auto names = Catalogue::collectionNames(payload);
        const auto dishNames = Catalogue::dishNames(payload);
        QTEST(dishes ? u"%1 %2"_s.arg(dishNames.names.join(u'|')).arg(dishNames.noDishes)
                     : u"%1 %2 %3"_s.arg(names.names.join(u'|'))
                           .arg(names.emptyRecords)
                           .arg(names.namesBeforeFirstEmpty),
              "expected");
    }

    void refusesWhatCannotBeLoaded()
    {
        const QString borshch = u"<Str>Борщ<Sc>"_s;
        for (const QString& text :
             {u"10<Sc>5<Sc>20"_s + borshch + u"200"_s,               // three values
              u"10.5<Sc>5<Sc>20<Sc>30"_s + borshch + u"200"_s,       // a value with a point
              u"10<Sc>5<Sc>20<Sc>30"_s + borshch + u"-200"_s,        // weight negative
              u"10<Sc>5<Sc>20<Sc>30"_s + borshch + u"1e308/1e308"_s, // weight overflows
              u"1<Sc>0<Sc>1e308<Sc>1e308"_s + borshch + u"200"_s,    // carbohydrates overflow
              u"0<Sc>1e308<Sc>0<Sc>0"_s + borshch + u"200"_s})       // energy overflows
            QVERIFY2(!Composition::parse(text), qPrintable(text));
    }

    void energy()
    {
        QCOMPARE(CalcKkal({u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1000"_s}, false), 20.9); // 5th cell unused
        QCOMPARE(CalcKkal({u"1"_s, u"10"_s, u"100"_s, u"1000"_s}, false), 4574.0);
        // 2.5 is exact in binary: banker's rounding would give 2.
        QCOMPARE(CalcKkal({u"0,625"_s}, true), 3.0);
        QCOMPARE(CalcKkal({u"-0,625"_s}, true), -3.0);
        QCOMPARE(CalcKkal({u"x"_s, u"1"_s, u""_s, u"y"_s}, false), 9.0); // unreadable cells count 0
    }

    // The weight and the line under the lists; none when scaled past the double range.
    void display_data()
    {
        QTest::addColumn<QString>("composition");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const QString half = u"|Белки-5,0г, Жиры-2,5г, Углеводы-25,0г, Калорийность-142ккал"_s;
        QTest::newRow("composite recipe weight")
            << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>100/50"_s << u"75"_s << u"75"_s + half;
        QTest::newRow("composite typed weight") << kBorshch << u"50/50"_s << u"50/50"_s + half;
        QTest::newRow("nothing typed: the recipe's weight, halves away from zero")
            << u"0,25<Sc>0,15<Sc>0,05<Sc>0<Str>Чай<Sc>100"_s << QString()
            << u"100|Белки-0,3г, Жиры-0,2г, Углеводы-0,1г, Калорийность-3ккал"_s;
        QTest::newRow("scaled past the range")
            << u"1e300<Sc>0<Sc>1e300<Sc>0<Str>Соль<Sc>1"_s << u"1e10"_s << QString();
    }
    void display()
    {
        QFETCH(QString, composition);
        QFETCH(QString, typed);
        const auto result = CompositionDisplay::form_HS_Dish(composition, false, typed);
        const bool shown = result.outcome() == CompositionDisplay::Outcome::Shown;
        QCOMPARE(result.outcome() == CompositionDisplay::Outcome::WeightUnreadable, !shown);
        QTEST(shown ? result.tOut() + u'|' + result.lHS() : QString(), "shown");
    }

    // An add after Чай 1: the entry it makes, or none when refused.
    void addScalesToTheTypedWeight_data()
    {
        QTest::addColumn<QString>("composition");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<R::AddResult>("result");
        QTest::addColumn<QString>("entry");
        const auto added = R::AddResult::Added, badWeight = R::AddResult::WeightUnreadable;
        QTest::newRow("half") << kBorshch << u"100"_s << added << u"5<Sc>2,5<Sc>10<Sc>15<Str>Борщ<Sc>100"_s;
        QTest::newRow("composite typed weight sums to the recipe's")
            << kBorshch << u"150/50"_s << added << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>150/50"_s;
        QTest::newRow("further cells scaled when numeric, kept otherwise")
            << u"10<Sc>5<Sc>20<Sc>30<Sc>8<Sc>н/д<Sc><Str>Борщ<Sc>200<Sc>extra"_s << u"100"_s << added
            << u"5<Sc>2,5<Sc>10<Sc>15<Sc>4<Sc>н/д<Sc><Str>Борщ<Sc>100<Sc>extra"_s;
        QTest::newRow("only two rows are kept")
            << kBorshch + u"<Str>третья"_s << u"200"_s << added << kBorshch;
        QTest::newRow("multiply first, then divide") // dividing first gives ...545
            << u"0,1<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>11"_s << u"6"_s << added
            << u"0,0545454545454546<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>6"_s;
        QTest::newRow("-0 typed: no negative zeros")
            << kBorshch << u"-0"_s << added << u"0<Sc>0<Sc>0<Sc>0<Str>Борщ<Sc>-0"_s;
        QTest::newRow("no weight") << kBorshch << QString() << badWeight << QString();
        QTest::newRow("recipe unreadable") << u"10<Sc>жир<Sc>20<Sc>30<Str>Борщ<Sc>200"_s << u"100"_s
                                           << R::AddResult::RecipeUnreadable << QString();
        // A value, or the energy of finite values, scaled past the double range.
        QTest::newRow("value past the range")
            << u"1e300<Sc>0<Sc>0<Sc>0<Str>Соль<Sc>1"_s << u"1e10"_s << badWeight << QString();
        QTest::newRow("energy past the range")
            << u"0<Sc>1e307<Sc>0<Sc>0<Str>Соль<Sc>1"_s << u"10"_s << badWeight << QString();
    }
    void addScalesToTheTypedWeight()
    {
        QFETCH(QString, composition);
        QFETCH(QString, typed);
        QFETCH(QString, entry);
        R ration;
        ration.add(u"0,625<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>1"_s, u"1"_s);
        QTEST(ration.add(composition, typed), "result");
        QCOMPARE(ration.entry(1), u"0,625<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>1"_s);
        QCOMPARE(ration.entry(2), entry);
        QCOMPARE(ration.upperBound(), entry.isEmpty() ? 1 : 2);
    }

    // Each edit on the ration Борщ 100, Чай 1, Каша 50, as names and weights.
    void editing_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("after");
        const QString unchanged = u"Борщ 100|Чай 1|Каша 50"_s;
        QTest::newRow("remove two, out of order, twice named, one outside") << Edit([](R& r) {
            r.remove({3, 1, 3, 9});
            return true;
        }) << u"Чай 1"_s;
        QTest::newRow("remove all leaves the empty ration") << Edit([](R& r) {
            r.remove({1, 2, 3});
            return r.isEmpty() && r.count() == 0 && r.GetDishWeight(1) == u"0"_s; // one empty entry
        }) << QString();
        // Protein 0,625 g: 2.5 kcal, which rounds away from zero to 3.
        QTest::newRow("accessors, 0 outside") << Edit([](R& r) {
            const QList<double> values{r.GetDishProtein(1), r.GetDishFat(1),  r.GetDishCarb1(1),
                                       r.GetDishCarb2(1),   r.GetDishKkal(1), r.GetDishKkal(2)};
            return values == QList<double>{5, 2.5, 10, 15, 142, 3} &&
                   r.GetDishName(0) + r.GetDishWeight(4) == u"0"_s &&
                   r.GetDishProtein(0) + r.GetDishKkal(4) + r.GetDishCarb2(0) == 0;
        }) << unchanged;
        QTest::newRow("down") << Edit([](R& r) { return r.move(1, 1); }) << u"Чай 1|Борщ 100|Каша 50"_s;
        QTest::newRow("up") << Edit([](R& r) { return r.move(3, -1); }) << u"Борщ 100|Каша 50|Чай 1"_s;
        QTest::newRow("not past the top") << Edit([](R& r) { return !r.move(1, -1); }) << unchanged;
        QTest::newRow("not past the end") << Edit([](R& r) { return !r.move(3, 1); }) << unchanged;
        QTest::newRow("new weight rescales in proportion") << Edit([](R& r) {
            return r.setWeight(1, u"150/50"_s) == R::AddResult::Added && r.GetDishProtein(1) == 10.0;
        }) << u"Борщ 150/50|Чай 1|Каша 50"_s;
        for (const QString& bad : {u"0"_s, u"abc"_s}) {
            QTest::addRow("weight \"%s\" refused", qPrintable(bad)) << Edit([bad](R& r) {
                return r.setWeight(1, bad) == R::AddResult::WeightUnreadable && r.GetDishProtein(1) == 5.0;
            }) << unchanged;
        }
        QTest::newRow("replace") << Edit([](R& r) { return r.replace({kBorshch}); }) << u"Борщ 200"_s;
        QTest::newRow("replace by 26 refused")
            << Edit([](R& r) { return !r.replace(QStringList(26, kBorshch)); }) << unchanged;
    }
    void editing()
    {
        QFETCH(Edit, edit);
        R ration;
        ration.add(kBorshch, u"100"_s);
        ration.add(u"0,625<Sc>0<Sc>0<Sc>0<Str>Чай<Sc>1"_s, u"1"_s);
        ration.add(u"1<Sc>1<Sc>1<Sc>1<Str>Каша<Sc>100"_s, u"50"_s);
        QVERIFY(edit(ration));
        QStringList dishes;
        for (int i = 1; i <= ration.count(); ++i)
            dishes << ration.GetDishName(i) + u' ' + ration.GetDishWeight(i);
        QTEST(dishes.join(u'|'), "after");
    }
};

QTEST_GUILESS_MAIN(TestRecipes)
#include "TestRecipes.moc"
