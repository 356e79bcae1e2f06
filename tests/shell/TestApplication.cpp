#include "shell/Application.h"

#include "fitness/FitnessController.h"
#include "fitness/RationReportSource.h"
#include "fitness/fEnergy.h"
#include "protocol/ServerLink.h"
#include "protocol/ServerSession.h"
#include "report/fPreView.h"
#include "shell/fFeat.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

class SilentLink final : public ServerLink
{
public:
    void SendCommand(const QString&) override {}
    void AddStatus(const QString&) override {}
};

// The program's windows as runQuorvel joins them, loaded and shown, the
// fitness window's requests going nowhere.
struct Program
{
    Program()
    {
        connectFitness(window, fitness, report);
        window.trayCommands().Show_Tray(window);
        window.bUnLoadQues = true;
        window.show();
        fitness.energy().show();
    }
    ~Program() { window.session().setReplyTarget(nullptr); }

    // Runs the application's event loop, as runQuorvel does, until the
    // program ends it; a guard ends a loop left running with status 1.
    static int runUntilEnd(const std::function<void()>& step)
    {
        QTimer::singleShot(0, step);
        QTimer guard;
        guard.callOnTimeout([] { QCoreApplication::exit(1); });
        guard.start(20000);
        return QCoreApplication::exec();
    }

    TempSettings settings;
    ScriptedDialogs dialogs;
    fFeat window;
    SilentLink link;
    FitnessController fitness{link};
    const RationReportSource report{fitness};
};

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void endingTheProgram_data()
    {
        QTest::addColumn<bool>("fromFitness");
        QTest::addColumn<QString>("question");
        // No other window's closing step runs: the fitness window's question never appears.
        QTest::newRow("main window") << false << u"Выходим. Уверены?"_s;
        // Confirmed there, the end does not ask again.
        QTest::newRow("fitness window") << true << u"Закрыть всю программу?"_s;
    }

    void endingTheProgram()
    {
        QFETCH(bool, fromFitness);
        QFETCH(QString, question);
        Program program;
        program.dialogs.expectBox(Dialogs::Answer::Yes);
        const int status = Program::runUntilEnd([&] {
            if (fromFitness)
                program.fitness.window()->close();
            else
                program.window.close();
        });
        QCOMPARE(status, 0);
        QCOMPARE(program.dialogs.boxTexts(), QStringList{question});
        QVERIFY(!program.window.trayCommands().tray());
    }

    void printOpensAPreviewOfTheRation()
    {
        Program program;
        program.dialogs.expectBox(); // the ration is empty
        QTest::mouseClick(program.fitness.window()->findChild<QPushButton*>(u"cPrint"_s), Qt::LeftButton);
        QCOMPARE(program.dialogs.boxTexts(), QStringList{u"Не выбраны рецептуры!"_s});
        QList<fPreView*> previews;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* preview = qobject_cast<fPreView*>(top); preview && preview->isVisible())
                previews << preview;
        }
        QCOMPARE(previews.size(), 1);
        qDeleteAll(previews);
    }

    // What the report reads as the page is composed, each reader its own value.
    void reportReadsTheRationAndTheGroup()
    {
        Program program;
        const RationReportSource& source = program.report;
        QVERIFY(source.rationIsEmpty());
        RationEntries& ration = program.fitness.recipeData().rationEntries();
        ration.add(u"10<Sc>5<Sc>20<Sc>3<Str>Борщ<Sc>250"_s, u"500"_s);
        ration.add(u"2,5<Sc>1<Sc>30<Sc>0<Str>Батон<Sc>100"_s, u"50"_s);
        QVERIFY(!source.rationIsEmpty());
        QCOMPARE(source.rationUpperBound(), 2);
        QCOMPARE(source.GetDishName(2) + u' ' + source.GetDishWeight(1), u"Батон 500"_s);
        // Scaled from 250 g to 500 g.
        const QList<double> values{source.GetDishProtein(1), source.GetDishFat(1), source.GetDishCarb1(1),
                                   source.GetDishCarb2(1), source.GetDishKkal(1)};
        QCOMPARE(values, (QList<double>{20.0, 10.0, 40.0, 6.0, ration.GetDishKkal(1)}));
        program.fitness.receiveNorm(u"1<Sc>Мужчины<Sc>1,4<Sc>18-29<Sc>2450"_s);
        QVERIFY(source.GetFullGroup().contains(u"18-29"_s));
        QCOMPARE(source.GetFullGroup(), program.fitness.GetFullGroup());
        QCOMPARE(source.GetFizEnergy(), 2450.0);
    }
};

QTEST_MAIN(TestApplication)
#include "TestApplication.moc"
