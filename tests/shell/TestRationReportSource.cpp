#include "RationReportSource.h"

#include "FitnessController.h"
#include "ScriptedDialogs.h"
#include "ServerLink.h"
#include "TempSettings.h"

#include <QTest>

namespace {

class RecordingLink final : public ServerLink
{
public:
    void SendCommand(const QString& command) override { sent << command; }
    void AddStatus(const QString& line) override { log << line; }
    QStringList sent;
    QStringList log;
};

} // namespace

// The report reads the fitness side through this adapter; every reader must
// reach the ration and the group as they are when the page is composed.
class TestRationReportSource : public QObject
{
    Q_OBJECT

private slots:
    void emptyRationAndNoGroup()
    {
        TempSettings settings;
        RecordingLink link;
        FitnessController fitness(link);
        const RationReportSource source(fitness);
        QCOMPARE(source.rationUpperBound(), 1);
        QVERIFY(source.rationIsEmpty());
        QCOMPARE(source.GetDishName(1), QString());
        QCOMPARE(source.GetDishWeight(1), u"0"_qs);
        QCOMPARE(source.GetDishKkal(1), 0.0);
        QCOMPARE(source.GetFullGroup(), QString());
        QCOMPARE(source.GetFizEnergy(), 0.0);
    }

    void readersFollowTheRation_data()
    {
        QTest::addColumn<int>("i");
        QTest::newRow("below the first") << 0;
        QTest::newRow("first") << 1;
        QTest::newRow("second") << 2;
        QTest::newRow("above the last") << 3;
    }

    void readersFollowTheRation()
    {
        QFETCH(int, i);
        TempSettings settings;
        RecordingLink link;
        FitnessController fitness(link);
        const RationReportSource source(fitness);
        RationEntries& ration = fitness.recipeData().rationEntries();
        // Read after the source was made: it keeps no copy.
        QCOMPARE(ration.add(u"10<Sc>5<Sc>20<Sc>3<Str>Борщ<Sc>250"_qs, u"500"_qs),
                 RationEntries::AddResult::Added);
        QCOMPARE(ration.add(u"2,5<Sc>1<Sc>30<Sc>0<Str>Батон<Sc>100"_qs, u"50"_qs),
                 RationEntries::AddResult::Added);

        QCOMPARE(source.rationUpperBound(), 2);
        QVERIFY(!source.rationIsEmpty());
        QCOMPARE(source.GetDishName(i), ration.GetDishName(i));
        QCOMPARE(source.GetDishWeight(i), ration.GetDishWeight(i));
        QCOMPARE(source.GetDishProtein(i), ration.GetDishProtein(i));
        QCOMPARE(source.GetDishFat(i), ration.GetDishFat(i));
        QCOMPARE(source.GetDishCarb1(i), ration.GetDishCarb1(i));
        QCOMPARE(source.GetDishCarb2(i), ration.GetDishCarb2(i));
        QCOMPARE(source.GetDishKkal(i), ration.GetDishKkal(i));
        if (i == 1) {
            QCOMPARE(source.GetDishName(1), u"Борщ"_qs);
            QCOMPARE(source.GetDishWeight(1), u"500"_qs);
            QCOMPARE(source.GetDishProtein(1), 20.0);
            QCOMPARE(source.GetDishCarb1(1), 40.0);
        } else if (i == 2) {
            QCOMPARE(source.GetDishName(2), u"Батон"_qs);
            QCOMPARE(source.GetDishFat(2), 0.5);
        }
    }

    void groupAndNeedComeFromTheLoadedWindow()
    {
        TempSettings settings;
        ScriptedDialogs dialogs;
        RecordingLink link;
        FitnessController fitness(link);
        const RationReportSource source(fitness);
        fitness.energy(); // loads the window, which asks for the men's norms
        QVERIFY(link.sent.contains(u"$Get_Man_Norm"_qs));
        fitness.receiveNorm(u"1<Sc>Мужчины<Sc>1,4<Sc>18-29<Sc>2450"_qs);
        QCOMPARE(source.GetFullGroup(), fitness.GetFullGroup());
        QVERIFY2(source.GetFullGroup().contains(u"18-29"_qs), qPrintable(source.GetFullGroup()));
        QCOMPARE(source.GetFizEnergy(), 2450.0);
    }
};

QTEST_MAIN(TestRationReportSource)
#include "TestRationReportSource.moc"
