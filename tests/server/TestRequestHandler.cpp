#include "server/RequestHandler.h"

#include "server/DemoDatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The replies themselves are checked on the wire, in TestDemoServer.
class TestRequestHandler : public QObject
{
    Q_OBJECT

private slots:
    // A failing database answers "$Err_inquiry" and tells the log, never
    // with an empty catalogue or dish list the client would take for real.
    void failingDatabaseIsNotAnEmptyAnswer_data()
    {
        QTest::addColumn<QString>("request");
        QTest::newRow("catalogue") << u"$GetDishTables"_s;
        QTest::newRow("dishes") << u"$GetDishes=Фрукты"_s;
        QTest::newRow("composition") << u"$GetHSDishes=Фрукты<Str>Fig"_s;
        QTest::newRow("norms") << u"$Get_Man_Norm"_s;
    }
    void failingDatabaseIsNotAnEmptyAnswer()
    {
        QFETCH(QString, request);
        DemoDatabase closed;
        const RequestHandler::Outcome outcome = RequestHandler(closed, {}).handle(request);
        QVERIFY(outcome.action == RequestHandler::Action::Reply);
        QCOMPARE(outcome.text, u"$Err_inquiry"_s);
        QVERIFY2(outcome.logNote.startsWith(u"database failure: "_s), qPrintable(outcome.logNote));
    }
};

QTEST_GUILESS_MAIN(TestRequestHandler)
#include "TestRequestHandler.moc"
