// The fitness side behind the real connection: a ServerSession over a
// TcpClientSocket talking to a scripted server on 127.0.0.1, driven through
// the window as a user would, from the catalogue to the 25th dish.
#include "Cp1251.h"
#include "ErrorBox.h"
#include "FitnessController.h"
#include "ScriptedDialogs.h"
#include "ServerSession.h"
#include "TcpClientSocket.h"
#include "TempSettings.h"
#include "fEnergy.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace {

const QByteArray kTerminator("\x3C\xA5\x3E");

// The server's end: accepts one connection, cuts what the client sends into
// requests, and answers when told to.
class ScriptedServer
{
public:
    ScriptedServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            m_peer = m_server.nextPendingConnection();
            QObject::connect(m_peer, &QTcpSocket::readyRead, [this] { read(); });
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    QString port() const { return QString::number(m_server.serverPort()); }

    // Every byte the client sent, and the requests cut out of it.
    const QByteArray& bytes() const { return m_bytes; }
    const QStringList& requests() const { return m_requests; }

    // Waits (on the event loop) until the client has sent `count` requests.
    bool waitForRequests(int count)
    {
        return QTest::qWaitFor([&] { return m_requests.size() >= count; }, 10000);
    }

    // Sends replies, each framed, in one write.
    void reply(const QStringList& messages)
    {
        QByteArray out;
        for (const QString& message : messages)
            out += Cp1251::encode(message) + kTerminator;
        m_peer->write(out);
        m_peer->flush();
    }

private:
    void read()
    {
        const QByteArray chunk = m_peer->readAll();
        m_bytes += chunk;
        m_pending += chunk;
        for (qsizetype end; (end = m_pending.indexOf(kTerminator)) >= 0;) {
            m_requests << Cp1251::decode(m_pending.left(end));
            m_pending.remove(0, end + kTerminator.size());
        }
    }

    QTcpServer m_server;
    QPointer<QTcpSocket> m_peer;
    QByteArray m_bytes;
    QByteArray m_pending;
    QStringList m_requests;
};

QString normRow(const QString& group, const QString& kfa, const QString& age, const QString& energy)
{
    return u"1<Sc>"_qs + group + u"<Sc>"_qs + kfa + u"<Sc>"_qs + age + u"<Sc>"_qs + energy;
}

} // namespace

class TestFitnessSession : public QObject
{
    Q_OBJECT

private slots:
    void fromTheCatalogueToTheTwentyFifthDish()
    {
        TempSettings settings;
        ScriptedDialogs dialogs;
        ScriptedServer server;
        QVERIFY(server.listen());

        auto* socket = new TcpClientSocket;
        ServerSession session(socket);
        FitnessController fitness(session);
        session.setReplyTarget(&fitness);

        QSignalSpy connected(socket, &ClientSocket::Connected);
        socket->Connect(u"127.0.0.1"_qs, server.port());
        QVERIFY(connected.wait(10000));
        // What the main window sends once the connection is made.
        session.SendCommand(u"$GetDishTables"_qs);
        QVERIFY(server.waitForRequests(1));
        QCOMPARE(server.bytes(), QByteArray("$GetDishTables") + kTerminator);

        // The catalogue loads the window, which asks for the men's norms, and
        // the first collection's dishes are asked for at once.
        server.reply({u"$BB=Хлеб<TB>12<TB>x<EB>Супы"_qs});
        QVERIFY(server.waitForRequests(3));
        QCOMPARE(server.requests(),
                 (QStringList{u"$GetDishTables"_qs, u"$Get_Man_Norm"_qs, u"$GetDishes=Хлеб"_qs}));
        QVERIFY(server.bytes().endsWith(QByteArray("$GetDishes=") + Cp1251::encode(u"Хлеб") + kTerminator));
        fEnergy* window = fitness.window();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        auto* lBases = window->findChild<QListWidget*>(u"lBases"_qs);
        auto* lDishes = window->findChild<QListWidget*>(u"lDishes"_qs);
        auto* cKFA = window->findChild<QComboBox*>(u"cKFA"_qs);
        auto* cVozr = window->findChild<QComboBox*>(u"cVozr"_qs);
        auto* tOut = window->findChild<QLineEdit*>(u"tOut"_qs);
        auto* lHS = window->findChild<QLabel*>(u"lHS"_qs);
        auto* cAdd = window->findChild<QPushButton*>(u"cAdd"_qs);
        QCOMPARE(lBases->count(), 2);
        QCOMPARE(lBases->currentItem()->text(), u"Хлеб"_qs);

        // Norms and dishes in one arrival.
        const QString menNorms = QStringList{normRow(u"I"_qs, u"1,4"_qs, u"18-29"_qs, u"2450"_qs),
                                             normRow(u"II"_qs, u"1,6"_qs, u"18-29"_qs, u"2800"_qs)}
                                     .join(u"<Str>"_qs);
        server.reply({u"$Man_Norm="_qs + menNorms, u"$Dishes=Батон<BL>Борщ"_qs});
        QVERIFY(QTest::qWaitFor([&] { return lDishes->count() == 2 && cKFA->count() == 2; }, 10000));
        QCOMPARE(cVozr->currentText(), u"18-29"_qs);
        QCOMPARE(fitness.GetFullGroup(), u"Мужчины I (1,4), 18-29 лет (2450 ккал)"_qs);

        // The user picks a dish; its composition comes back.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::mouseClick(lDishes->viewport(), Qt::LeftButton, {},
                          lDishes->visualItemRect(lDishes->item(1)).center());
        QVERIFY(server.waitForRequests(4));
        QCOMPARE(server.requests().last(), u"$GetHSDishes=Хлеб<Str>Борщ"_qs);
        server.reply({u"$HSDishes=10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>150/50"_qs});
        QVERIFY(QTest::qWaitFor([&] { return !tOut->text().isEmpty(); }, 10000));
        QCOMPARE(tOut->text(), u"150/50"_qs);
        QCOMPARE(lHS->text(), u"Белки-10,0г, Жиры-5,0г, Углеводы-50,0г, Калорийность-284ккал"_qs);
        QVERIFY(session.statusLog().text().contains(u"Получили ХС рецептуры... "_qs));

        // Twenty-five dishes at growing weights; the weight box and Enter.
        for (int i = 1; i <= 25; ++i) {
            tOut->setFocus();
            tOut->selectAll();
            QTest::keyClicks(tOut, QString::number(i * 10));
            if (i % 2)
                QTest::mouseClick(cAdd, Qt::LeftButton);
            else
                QTest::keyClick(tOut, Qt::Key_Return);
            QCOMPARE(cAdd->text(), QStringLiteral("Добавить (%1)").arg(i));
        }
        dialogs.expectBox();
        QTest::mouseClick(cAdd, Qt::LeftButton);
        QCOMPARE(
            dialogs.boxTexts(),
            QStringList{errorBoxText(u"Один отчет может содержать не больше 25 рецептур!"_qs, {}, {}, 0)});

        const RationEntries& ration = fitness.recipeData().rationEntries();
        QCOMPARE(ration.upperBound(), 25);
        QCOMPARE(ration.GetDishName(25), u"Борщ"_qs);
        QCOMPARE(ration.GetDishWeight(25), u"250"_qs);
        QCOMPARE(ration.GetDishProtein(1), 0.5);   // 10 g of 200 g at 10 g
        QCOMPARE(ration.GetDishProtein(20), 10.0); // at 200 g
        QCOMPARE(ration.GetDishKkal(20), 284.0);

        // Switching to women asks twice (each box's handler asks) and the
        // women's table replaces the men's.
        QTest::mouseClick(window->findChild<QCheckBox*>(u"cGirl"_qs), Qt::LeftButton);
        QVERIFY(server.waitForRequests(6));
        QCOMPARE(server.requests().mid(4), (QStringList{u"$Get_Girl_Norm"_qs, u"$Get_Girl_Norm"_qs}));
        server.reply({u"$Girl_Norm="_qs + normRow(u"I"_qs, u"1,3"_qs, u"18-29"_qs, u"2000"_qs)});
        QVERIFY(QTest::qWaitFor([&] { return cKFA->currentText() == u"1,3"_qs; }, 10000));
        QCOMPARE(fitness.GetFullGroup(), u"Женщины I (1,3), 18-29 лет (2000 ккал)"_qs);
        QCOMPARE(fitness.GetFizEnergy(), 2000.0);

        // Nothing else went over the wire: adding is the client's own business.
        QCOMPARE(server.requests().size(), 6);
        QCOMPARE(dialogs.pending(), 0);
    }
};

QTEST_MAIN(TestFitnessSession)
#include "TestFitnessSession.moc"
