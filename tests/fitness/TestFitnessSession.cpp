// The road of a session over a real loopback connection, driven through the
// window as a user would, from the catalogue to the 25th dish.
#include "common/ErrorBox.h"
#include "fitness/FitnessController.h"
#include "fitness/fEnergy.h"
#include "protocol/ServerSession.h"
#include "protocol/TcpClientSocket.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"
#include "support/WirePeer.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFitnessSession : public QObject
{
    Q_OBJECT

    WirePeer m_server;

    // The requests sent so far, once there are at least `count`; a timeout
    // shows as a missing request in the caller's comparison.
    QStringList requests(int count)
    {
        (void)QTest::qWaitFor([&] { return m_server.requests().size() >= count; }, 10000);
        return m_server.requests();
    }
    void reply(const QString& messages) { m_server.send(0, messages + u"<Ґ>"_s); }

private slots:
    void fromTheCatalogueToTheTwentyFifthDish()
    {
        TempSettings settings;
        ScriptedDialogs dialogs;
        auto* socket = new TcpClientSocket;
        ServerSession session(socket);
        FitnessController fitness(session);
        session.setReplyTarget(&fitness);
        QSignalSpy connected(socket, &ClientSocket::Connected);
        socket->Connect(u"127.0.0.1"_s, QString::number(m_server.port()));
        QVERIFY(connected.wait(10000));
        QTRY_COMPARE(m_server.connectionCount(), 1);

        session.SendCommand(u"$GetDishTables"_s); // as the main window does once connected
        QCOMPARE(requests(1), QStringList{u"$GetDishTables"_s});
        QCOMPARE(m_server.rawRequests(0), QByteArray("$GetDishTables<\xA5>"));

        // The catalogue loads the window, which asks for the men's norms, and
        // the first collection's dishes are asked for at once.
        reply(u"$BB=Хлеб<TB>12<TB>x<EB>Супы"_s);
        QCOMPARE(requests(3).mid(1), (QStringList{u"$Get_Man_Norm"_s, u"$GetDishes=Хлеб"_s}));
        QVERIFY(m_server.rawRequests(0).endsWith("$GetDishes=\xD5\xEB\xE5\xE1<\xA5>"));
        fEnergy* window = fitness.window();
        QVERIFY(window && window->isVisible());
        auto* lDishes = window->findChild<QListWidget*>(u"lDishes"_s);
        auto* tOut = window->findChild<QLineEdit*>(u"tOut"_s);
        auto* cAdd = window->findChild<QPushButton*>(u"cAdd"_s);

        reply(u"$Man_Norm=1<Sc>I<Sc>1,4<Sc>18-29<Sc>2450<Ґ>$Dishes=Батон<BL>Борщ"_s);
        QVERIFY(QTest::qWaitFor([&] { return lDishes->count() == 2; }, 10000));
        QCOMPARE(fitness.GetFullGroup(), u"Мужчины I (1,4), 18-29 лет (2450 ккал)"_s);

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::mouseClick(lDishes->viewport(), Qt::LeftButton, {},
                          lDishes->visualItemRect(lDishes->item(1)).center());
        QCOMPARE(requests(4).last(), u"$GetHSDishes=Хлеб<Str>Борщ"_s);
        reply(u"$HSDishes=10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>150/50"_s);
        QVERIFY(QTest::qWaitFor([&] { return !tOut->text().isEmpty(); }, 10000));
        QCOMPARE(tOut->text(), u"150/50"_s);
        QCOMPARE(window->findChild<QLabel*>(u"lHS"_s)->text(),
                 u"Белки-10,0г, Жиры-5,0г, Углеводы-50,0г, Калорийность-284ккал"_s);

        // Twenty-five dishes at growing weights, by the button and by Enter.
        for (int i = 1; i <= 25; ++i) {
            tOut->setFocus();
            tOut->selectAll();
            QTest::keyClicks(tOut, QString::number(i * 10));
            if (i % 2)
                QTest::mouseClick(cAdd, Qt::LeftButton);
            else
                QTest::keyClick(tOut, Qt::Key_Return);
            QCOMPARE(cAdd->text(), u"Добавить (%1)"_s.arg(i));
        }
        dialogs.expectBox();
        QTest::mouseClick(cAdd, Qt::LeftButton);
        QCOMPARE(dialogs.boxTexts(), QStringList{errorBoxText(
                                         u"Один отчет может содержать не больше 25 рецептур!"_s, {}, {}, 0)});
        QCOMPARE(cAdd->text(), u"Добавить (25)"_s);
        const RationEntries& ration = fitness.recipeData().rationEntries();
        QCOMPARE(ration.upperBound(), 25);
        QCOMPARE(ration.GetDishWeight(25), u"250"_s);
        QCOMPARE(ration.GetDishProtein(20), 10.0); // at 200 g, the recipe's own total
        QCOMPARE(requests(4).size(), 4);           // adding is the client's own business
    }
};

QTEST_MAIN(TestFitnessSession)
#include "TestFitnessSession.moc"
