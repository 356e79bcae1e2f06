#include "Application.h"

#include "FitnessController.h"
#include "RationReportSource.h"
#include "ScriptedDialogs.h"
#include "ServerSession.h"
#include "TempSettings.h"
#include "WirePeer.h"
#include "fEnergy.h"
#include "fFeat.h"
#include "fPreView.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using Dialogs::Answer;

namespace {

// The program as runQuorvel puts it together, against a server on
// 127.0.0.1 that has sent its catalogue, so the fitness window is open.
struct Program
{
    Program()
    {
        window.tPort->setText(QString::number(peer.port()));
        connectFitness(window, fitness, report);
    }
    ~Program() { window.session().setReplyTarget(nullptr); }

    // Loads the main window and plays the server's first reply.
    bool start()
    {
        window.Form_Load();
        window.show();
        if (!QTest::qWaitFor([&] { return peer.requests().size() == 1; }))
            return false;
        peer.send(0, u"$BB=Хлеб<TB>1<EB>Супы<TB>2<Ґ>"_qs);
        return QTest::qWaitFor([&] { return fitness.window() && fitness.window()->isVisible(); }) &&
               QTest::qWaitFor([&] { return peer.requests().size() == 3; });
    }

    // Runs the application's own event loop until the program ends, as
    // runQuorvel does; `step` runs inside it. A guard ends a loop that the
    // program fails to end by itself, with status 1.
    static int runUntilEnd(const std::function<void()>& step)
    {
        QTimer::singleShot(0, step);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(20000);
        return QCoreApplication::exec();
    }

    TempSettings settings;
    ScriptedDialogs dialogs;
    WirePeer peer;
    fFeat window;
    FitnessController fitness{window.session()};
    const RationReportSource report{fitness};
};

} // namespace

// How the program's parts are joined: replies reach the fitness side, and
// ending the program from either window ends it once, with one question.
class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void repliesReachTheFitnessWindow()
    {
        Program program;
        QVERIFY(program.start());
        // The catalogue loaded the window (which asked for the men's norms)
        // and selected the first collection.
        QCOMPARE(program.peer.requests(),
                 (QStringList{u"$GetDishTables"_qs, u"$Get_Man_Norm"_qs, u"$GetDishes=Хлеб"_qs}));
        QVERIFY(program.dialogs.boxes().isEmpty());
    }

    // The fitness window is open, but its "Закрыть всю программу?" never
    // appears: the program ends without running other windows' closing steps.
    void mainWindowEndsTheProgramAtOnce()
    {
        Program program;
        QVERIFY(program.start());
        program.dialogs.expectBox(Answer::Yes);

        const int status = Program::runUntilEnd([&] { program.window.close(); });

        QCOMPARE(status, 0);
        QCOMPARE(program.dialogs.boxTexts(), QStringList{u"Выходим. Уверены?"_qs});
        QVERIFY(program.fitness.window());
        QVERIFY(program.fitness.window()->isVisible());
        QVERIFY(!program.window.trayCommands().tray());
    }

    // Confirmed in the fitness window, the end does not ask again.
    void fitnessWindowEndsTheProgramWithoutAskingAgain()
    {
        Program program;
        QVERIFY(program.start());
        program.dialogs.expectBox(Answer::Yes);

        const int status = Program::runUntilEnd([&] { program.fitness.window()->close(); });

        QCOMPARE(status, 0);
        QCOMPARE(program.dialogs.boxTexts(), QStringList{u"Закрыть всю программу?"_qs});
        QVERIFY(!program.window.bUnLoadQues);
        QVERIFY(!program.window.trayCommands().tray());
    }

    void printOpensAPreviewOfTheRation()
    {
        Program program;
        QVERIFY(program.start());
        // The ration is empty, and the preview reads it through the wiring.
        program.dialogs.expectBox(Answer::Ok);
        auto* print = program.fitness.window()->findChild<QPushButton*>(u"cPrint"_qs);
        QVERIFY(print);
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(program.dialogs.boxTexts(), QStringList{u"Не выбраны рецептуры!"_qs});
        fPreView* preview = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* candidate = qobject_cast<fPreView*>(top))
                preview = candidate;
        }
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        delete preview;
    }
};

QTEST_MAIN(TestApplication)
#include "TestApplication.moc"
