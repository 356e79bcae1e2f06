#include "fitness/RationReportSource.h"

#include "fitness/FitnessController.h"
#include "protocol/ServerLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class SilentLink final : public ServerLink
{
public:
    void SendCommand(const QString&) override {}
    void AddStatus(const QString&) override {}
};

} // namespace

class TestRationReportSource : public QObject
{
    Q_OBJECT

private slots:
    // Read as they stand when the page is composed, each reader its own value.
    void readersFollowTheRationAndTheGroup()
    {
        TempSettings settings;
        ScriptedDialogs dialogs;
        SilentLink link;
        FitnessController fitness(link);
        const RationReportSource source(fitness);
        QVERIFY(source.rationIsEmpty());
        RationEntries& ration = fitness.recipeData().rationEntries();
        ration.add(u"10<Sc>5<Sc>20<Sc>3<Str>Борщ<Sc>250"_s, u"500"_s);
        ration.add(u"2,5<Sc>1<Sc>30<Sc>0<Str>Батон<Sc>100"_s, u"50"_s);
        QVERIFY(!source.rationIsEmpty());
        QCOMPARE(source.rationUpperBound(), 2);
        QCOMPARE(source.GetDishName(2) + u' ' + source.GetDishWeight(1), u"Батон 500"_s);
        // Scaled from 250 g to 500 g.
        const QList<double> values{source.GetDishProtein(1), source.GetDishFat(1), source.GetDishCarb1(1),
                                   source.GetDishCarb2(1), source.GetDishKkal(1)};
        QCOMPARE(values, (QList<double>{20.0, 10.0, 40.0, 6.0, ration.GetDishKkal(1)}));
        fitness.energy();
        fitness.receiveNorm(u"1<Sc>Мужчины<Sc>1,4<Sc>18-29<Sc>2450"_s);
        QCOMPARE(source.GetFullGroup(), fitness.GetFullGroup());
        QVERIFY(source.GetFullGroup().contains(u"18-29"_s));
        QCOMPARE(source.GetFizEnergy(), 2450.0);
    }
};

QTEST_MAIN(TestRationReportSource)
#include "TestRationReportSource.moc"
