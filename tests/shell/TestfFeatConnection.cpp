#include "shell/fFeat.h"

#include "common/ErrorBox.h"
#include "protocol/ServerSession.h"
#include "protocol/TcpClientSocket.h"
#include "support/ScriptedDialogs.h"
#include "support/SilentPort.h"
#include "support/TempSettings.h"
#include "support/WirePeer.h"
#include "tray/fTray.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace std::chrono_literals;
using Dialogs::Answer;

namespace {

const QString kBusy = u"\rВозможно сервер занят или недоступен"_s;
// cCon, cDisCon, tray items 4 "Включить" and 5 "Выключить".
const QList<bool> kConnected{false, true, false, true};
const QList<bool> kNotConnected{true, false, true, false};
const QList<bool> kAsCreated{true, true, true, true};

// One main window against a real server on 127.0.0.1, every box scripted and
// the settings on a temporary store.
struct Rig
{
    explicit Rig(std::chrono::milliseconds connectTimeout = 20s) : window(socket(connectTimeout))
    {
        window.tPort->setText(QString::number(peer.port()));
    }
    static std::unique_ptr<ClientSocket> socket(std::chrono::milliseconds timeout)
    {
        auto socket = std::make_unique<TcpClientSocket>();
        socket->setConnectTimeout(timeout);
        return socket;
    }
    // Start-up, until the first request has arrived.
    bool start()
    {
        window.Form_Load();
        return QTest::qWaitFor([this] { return peer.requests().size() == 1; });
    }

    // The log as the program keeps it, CR LF between lines.
    QString log() const { return window.session().statusLog().text(); }
    qsizetype logCount(const QString& line) const { return log().split(u"\r\n"_s).count(line); }
    qsizetype connectingLines() const
    {
        return logCount(u"Подключаемся к серверу: 127.0.0.1 через порт "_s + window.tPort->text());
    }
    QList<bool> ui() const
    {
        const PopupMenu* menu = window.trayCommands().tray()->PopupMenuObject();
        return {window.cCon->isEnabled(), window.cDisCon->isEnabled(), menu->isEnabled(4),
                menu->isEnabled(5)};
    }
    int state() const { return window.socketState(); }

    TempSettings settings;
    ScriptedDialogs dialogs;
    WirePeer peer;
    fFeat window;
};

} // namespace

class TestfFeatConnection : public QObject
{
    Q_OBJECT

private slots:
    void startUpConnectsAndAsksForTheCatalogue()
    {
        Rig rig;
        QString atConnect; // what the connect step finds done before it
        connect(rig.window.lStatus, &QPlainTextEdit::textChanged, this, [&] {
            if (atConnect.isEmpty())
                atConnect = u"tray %1, font %2, asking %3"_s.arg(rig.window.trayCommands().tray() != nullptr)
                                .arg(rig.window.tFont->text())
                                .arg(rig.window.bUnLoadQues);
        });
        rig.window.Form_Load();
        QCOMPARE(atConnect, u"tray 1, font 24, asking 0"_s);
        QVERIFY(rig.window.bUnLoadQues);
        // The first line follows an empty one: the heading already ends in a break.
        QCOMPARE(rig.log(), u"Лог сервера:\r\n\r\nПодключаемся к серверу: 127.0.0.1 через порт "_s +
                                rig.window.tPort->text());
        QCOMPARE(rig.ui(), kAsCreated);

        QTRY_COMPARE(rig.peer.requests(), QStringList{u"$GetDishTables"_s});
        // Framed with the terminator, in Windows-1251: "<", 0xA5, ">".
        QCOMPARE(rig.peer.rawRequests(0), QByteArray("$GetDishTables<\xA5>"));
        QVERIFY(rig.window.lStatus->toPlainText().endsWith(u"\nПодключислись к серверу!"_s));
        QCOMPARE(rig.ui(), kConnected);
    }

    void disconnectIsSilent()
    {
        Rig rig;
        QVERIFY(rig.start());
        const QString logBefore = rig.log();
        QTest::mouseClick(rig.window.cDisCon, Qt::LeftButton);
        QCOMPARE(rig.ui(), kNotConnected);
        QCOMPARE(rig.state(), int(ClientSocket::sckClosed));
        QTRY_COMPARE(rig.peer.closedCount(), 1);
        QCoreApplication::processEvents(); // a closed event would ask its question now
        QCOMPARE(rig.log(), logBefore);
    }

    void closedByTheServer_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("Yes reconnects") << Answer::Yes;
        QTest::newRow("No stays closed") << Answer::No;
    }

    void closedByTheServer()
    {
        QFETCH(Answer, answer);
        Rig rig;
        QVERIFY(rig.start());
        rig.dialogs.expectBox(answer);
        rig.peer.close(0);
        QTRY_COMPARE(rig.dialogs.boxes().size(), 1);
        const Dialogs::Box box = rig.dialogs.boxes().first();
        QCOMPARE(box.text, u"Потеряно соединение с сервером!"_s + kBusy + u"\r\rПодключиться повторно?"_s);
        QCOMPARE(box.title, u"Quorvel"_s);
        QCOMPARE(box.buttons, Dialogs::Buttons::YesNo);
        if (answer == Answer::Yes) {
            QTRY_COMPARE(rig.peer.requests(1), QStringList{u"$GetDishTables"_s});
            QCOMPARE(rig.ui(), kConnected);
        } else {
            QCOMPARE(rig.ui(), kNotConnected);
            QCOMPARE(rig.state(), int(ClientSocket::sckClosed));
        }
        QCOMPARE(rig.connectingLines(), answer == Answer::Yes ? 2 : 1);
    }

    void refusalAsksAgainUntilNo()
    {
        Rig rig;
        QTcpServer gone; // a port where nothing listens any more
        gone.listen(QHostAddress::LocalHost, 0);
        rig.window.tPort->setText(QString::number(gone.serverPort()));
        gone.close();
        for (const Answer answer : {Answer::Yes, Answer::Yes, Answer::No})
            rig.dialogs.expectBox(answer);
        rig.window.Form_Load();
        QTRY_COMPARE(rig.dialogs.boxes().size(), 3);
        for (const Dialogs::Box& box : rig.dialogs.boxes())
            QCOMPARE(box.text,
                     u"Соединение не установлено!"_s + kBusy + u"\r\rПовторить попытку подключения?"_s);
        QCOMPARE(rig.dialogs.boxes().last().buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(rig.connectingLines(), 3); // the first attempt and the two asked for
        QCOMPARE(rig.state(), int(ClientSocket::sckClosed));
        QCOMPARE(rig.ui(), kAsCreated); // an error changes no button or item
    }

    void errorOutsideTheTableIsShownByNumber()
    {
        Rig rig;
        // Not a valid host name: the lookup fails at once, with no query
        // leaving this computer (11001, host not found).
        rig.window.tIP->setText(u"no such host"_s);
        rig.dialogs.expectBox();
        rig.window.Form_Load();
        QTRY_COMPARE(rig.dialogs.boxes().size(), 1);
        const Dialogs::Box box = rig.dialogs.boxes().first();
        QVERIFY2(box.text.startsWith(u"11001\r"_s) && box.text.size() > 6, qPrintable(box.text));
        QCOMPARE(box.title, u"Ошибка!"_s);
        // Left in its error state, which the tray shows as open; "Отключить" resets it.
        QCOMPARE(rig.state(), int(ClientSocket::sckError));
        QCOMPARE(rig.ui(), kAsCreated);
        QTest::mouseClick(rig.window.cDisCon, Qt::LeftButton);
        QCOMPARE(rig.state(), int(ClientSocket::sckClosed));
    }

    void silentServerTimesOutAndOnlyTheNewAttemptCounts()
    {
        SilentPort silent;
        Rig rig(150ms);
        const QString peerPort = rig.window.tPort->text();
        rig.window.tPort->setText(silent.port());
        rig.dialogs.expectBox();
        rig.window.cCon_Click();
        QCOMPARE(rig.state(), int(ClientSocket::sckConnecting));
        QTRY_COMPARE(rig.dialogs.boxTexts(),
                     QStringList{errorBoxText(u"Истекло время ожидания"_s + kBusy +
                                                  u"\rПовторите попытку подключения позже"_s,
                                              u"fConnect"_s, u"wC_Error"_s, 10060)});
        QCOMPARE(rig.state(), int(ClientSocket::sckClosed));

        // Pressed again while an attempt is pending, "Подключить" starts afresh.
        rig.window.cCon_Click();
        rig.window.tPort->setText(peerPort);
        QTest::mouseClick(rig.window.cCon, Qt::LeftButton);
        QTRY_COMPARE(rig.peer.requests(), QStringList{u"$GetDishTables"_s});
        QTest::qWait(400); // the abandoned attempt's timer would have fired by now
        QCOMPARE(rig.peer.requests().size(), 1);
        QCOMPARE(rig.logCount(u"Подключислись к серверу!"_s), 1);
        QCOMPARE(rig.state(), int(ClientSocket::sckConnected));
    }

    void brokenTextIsNotGluedToTheNextConnection()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.peer.send(0, u"$Mess=половина"_s); // half a message, then the server goes away
        rig.dialogs.expectBox(Answer::No);
        rig.peer.close(0);
        QTRY_COMPARE(rig.dialogs.boxes().size(), 1);
        QCOMPARE(rig.window.session().bufferedBytes(), qsizetype(14));
        QTest::mouseClick(rig.window.cCon, Qt::LeftButton);
        QTRY_COMPARE(rig.peer.requests(1).size(), 1);
        rig.peer.send(1, u"Привет<Ґ>"_s);
        // Glued, it would have read as "$Mess=половинаПривет" and opened a box.
        QTRY_VERIFY(rig.log().endsWith(u"\r\nНеизвестная команда сервера: Привет"_s));
    }

    void unusablePortFailsAtOnceAndLocalDoesNotConnect()
    {
        Rig rig;
        const QString logBefore = rig.log();
        rig.window.tPort->setText(u"4o0"_s);
        rig.dialogs.expectBox();
        QTest::mouseClick(rig.window.cCon, Qt::LeftButton);
        const QString text = rig.dialogs.boxes().value(0).text;
        QVERIFY2(text.startsWith(u"Не удалось начать подключение к серверу.\r"_s) &&
                     text.contains(u"«4o0»"_s),
                 qPrintable(text));
        QTest::mouseClick(rig.window.cLocal, Qt::LeftButton);
        QCOMPARE(rig.window.tIP->text(), rig.window.wC().LocalIP());
        QVERIFY(!rig.window.tIP->text().isEmpty());
        QCOMPARE(rig.log(), logBefore); // no attempt, no "connecting" line
        QCOMPARE(rig.state(), int(ClientSocket::sckClosed));
    }

    void manualCommandIsSentUnchanged()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.window.tCom->setPlainText(u"$Mess=раз\nдва"_s);
        QTest::mouseClick(rig.window.cSend, Qt::LeftButton);
        // A multi-line box's line breaks go out as the program's own CR LF.
        QTRY_COMPARE(rig.peer.requests().value(1), u"$Mess=раз\r\nдва"_s);
    }
};

QTEST_MAIN(TestfFeatConnection)
#include "TestfFeatConnection.moc"
