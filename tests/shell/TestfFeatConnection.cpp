#include "fFeat.h"

#include "ErrorBox.h"
#include "ScriptedDialogs.h"
#include "ServerSession.h"
#include "SilentListener.h"
#include "TcpClientSocket.h"
#include "TempSettings.h"
#include "WirePeer.h"
#include "fTray.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;
using Dialogs::Answer;

namespace {

const QString kRefused = u"Соединение не установлено!\rВозможно сервер занят или недоступен\r\r"
                         u"Повторить попытку подключения?"_qs;
const QString kLost = u"Потеряно соединение с сервером!\rВозможно сервер занят или недоступен\r\r"
                      u"Подключиться повторно?"_qs;

// One main window against a real server on 127.0.0.1, every box scripted,
// the settings on a temporary store, and the end of the program recorded
// instead of carried out.
struct Rig
{
    explicit Rig(std::chrono::milliseconds connectTimeout = 20s, TrayCommands::TrayFactory makeTray = {})
        : window(makeSocket(connectTimeout), std::move(makeTray))
    {
        window.tPort->setText(QString::number(peer.port()));
        window.setEndProgramHandler([this] { ++ended; });
    }

    static std::unique_ptr<ClientSocket> makeSocket(std::chrono::milliseconds timeout)
    {
        auto socket = std::make_unique<TcpClientSocket>();
        socket->setConnectTimeout(timeout);
        return socket;
    }

    // The log as the program keeps it, CR LF between lines.
    QString log() const { return window.session().statusLog().text(); }
    QStringList logLines() const { return log().split(u"\r\n"_qs); }
    bool itemEnabled(int index) const
    {
        return window.trayCommands().tray()->PopupMenuObject()->isEnabled(index);
    }
    QString connectingLine() const
    {
        return u"Подключаемся к серверу: "_qs + window.tIP->text() + u" через порт "_qs +
               window.tPort->text();
    }

    TempSettings settings;
    ScriptedDialogs dialogs;
    WirePeer peer;
    fFeat window;
    int ended = 0;
};

// A port on 127.0.0.1 where nothing listens.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

} // namespace

// The main window's connection to the server: start-up, the socket's events,
// the buttons and tray items, and every box of the connection.
class TestfFeatConnection : public QObject
{
    Q_OBJECT

private slots:
    void startUpRunsInOrder()
    {
        struct Moment
        {
            bool trayExists = false;
            QString font;
            QString log;
            bool asking = false;
        };
        Moment atTray, atConnect;
        fFeat* seen = nullptr;
        Rig rig(20s, [&] {
            atTray = {seen->trayCommands().tray() != nullptr, seen->tFont->text(),
                      seen->session().statusLog().text(), seen->bUnLoadQues};
            return std::make_unique<fTray>();
        });
        seen = &rig.window;
        QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_qs)
            .setValue(u"UserInterface/Brastel.FontSize"_qs, u"abc"_qs);
        connect(rig.window.lStatus, &QPlainTextEdit::textChanged, this, [&] {
            if (atConnect.log.isEmpty())
                atConnect = {rig.window.trayCommands().tray() != nullptr, rig.window.tFont->text(), rig.log(),
                             rig.window.bUnLoadQues};
        });

        rig.window.Form_Load();

        // 1. The tray, before anything else.
        QCOMPARE(atTray.font, QString());
        QCOMPARE(atTray.log, u"Лог сервера:\r\n"_qs);
        QVERIFY(!atTray.asking);
        // 2. The font size, then 3. the connection attempt.
        QVERIFY(atConnect.trayExists);
        QCOMPARE(atConnect.font, u"24"_qs);
        QVERIFY(!atConnect.asking);
        // 4. Only then does closing ask.
        QVERIFY(rig.window.bUnLoadQues);
        QCOMPARE(rig.window.trayCommands().tray()->ToolTip(), u"Сервер рецептур :: 1.0.0"_qs);
        // A stored size that is not a number is shown as 24 and kept.
        QCOMPARE(QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_qs)
                     .value(u"UserInterface/Brastel.FontSize"_qs)
                     .toString(),
                 u"abc"_qs);

        // The first line follows an empty one: the heading already ends in a break.
        const QString connecting =
            u"Подключаемся к серверу: 127.0.0.1 через порт "_qs + QString::number(rig.peer.port());
        QCOMPARE(rig.log(), u"Лог сервера:\r\n\r\n"_qs + connecting);
        QCOMPARE(rig.window.lStatus->toPlainText(), u"Лог сервера:\n\n"_qs + connecting);

        QTRY_COMPARE(rig.peer.requests(), QStringList{u"$GetDishTables"_qs});
        QCOMPARE(rig.log(), u"Лог сервера:\r\n\r\n"_qs + connecting + u"\r\nПодключислись к серверу!"_qs);
        QVERIFY(rig.dialogs.boxes().isEmpty());
    }

    void connectedStateAndTheFirstRequest()
    {
        Rig rig;
        rig.window.Form_Load();
        // Before the connected event nothing changes.
        QVERIFY(rig.window.cCon->isEnabled());
        QVERIFY(rig.window.cDisCon->isEnabled());
        QVERIFY(rig.itemEnabled(TrayCommands::ItemOn));
        QVERIFY(rig.itemEnabled(TrayCommands::ItemOff));

        QTRY_COMPARE(rig.peer.requests().size(), 1);
        QVERIFY(!rig.window.cCon->isEnabled());
        QVERIFY(rig.window.cDisCon->isEnabled());
        QVERIFY(!rig.itemEnabled(TrayCommands::ItemOn));
        QVERIFY(rig.itemEnabled(TrayCommands::ItemOff));
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckConnected));
        // Framed with the terminator, in Windows-1251: "<", 0xA5, ">".
        QCOMPARE(rig.peer.rawRequestsOf(0), QByteArray("$GetDishTables<\xA5>"));
    }

    void disconnectIsSilent()
    {
        Rig rig;
        rig.window.Form_Load();
        QTRY_COMPARE(rig.peer.requests().size(), 1);
        const QString logBefore = rig.log();
        QSignalSpy closed(&rig.peer, &WirePeer::connectionClosed);

        QTest::mouseClick(rig.window.cDisCon, Qt::LeftButton);

        QVERIFY(closed.wait());
        QCoreApplication::processEvents();
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckClosed));
        QVERIFY(rig.window.cCon->isEnabled());
        QVERIFY(!rig.window.cDisCon->isEnabled());
        QVERIFY(rig.itemEnabled(TrayCommands::ItemOn));
        QVERIFY(!rig.itemEnabled(TrayCommands::ItemOff));
        QCOMPARE(rig.log(), logBefore);
        QVERIFY(rig.dialogs.boxes().isEmpty());
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
        rig.window.Form_Load();
        QTRY_COMPARE(rig.peer.requests().size(), 1);

        // The buttons must show the lost connection before the question does.
        int boxesWhenEnabled = -1;
        struct EnabledWatch : QObject
        {
            std::function<void()> onChange;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::EnabledChange)
                    onChange();
                return false;
            }
        } watch;
        watch.onChange = [&] {
            if (rig.window.cCon->isEnabled() && boxesWhenEnabled < 0)
                boxesWhenEnabled = int(rig.dialogs.boxes().size());
        };
        rig.window.cCon->installEventFilter(&watch);

        rig.dialogs.expectBox(answer);
        rig.peer.close(0);
        QTRY_COMPARE(rig.dialogs.boxes().size(), 1);
        rig.window.cCon->removeEventFilter(&watch);

        const Dialogs::Box box = rig.dialogs.boxes().first();
        QCOMPARE(box.text, kLost);
        QCOMPARE(box.icon, Dialogs::Icon::Question);
        QCOMPARE(box.buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(box.title, u"Quorvel"_qs);
        QCOMPARE(boxesWhenEnabled, 0);

        if (answer == Answer::Yes) {
            QTRY_COMPARE(rig.peer.requests().size(), 2);
            QCOMPARE(rig.peer.connectionCount(), 2);
            QCOMPARE(rig.peer.requestsOf(1), QStringList{u"$GetDishTables"_qs});
            QCOMPARE(rig.logLines().count(rig.connectingLine()), 2);
            QVERIFY(!rig.window.cCon->isEnabled());
            QVERIFY(rig.window.cDisCon->isEnabled());
        } else {
            QCOMPARE(rig.window.socketState(), int(ClientSocket::sckClosed));
            QVERIFY(rig.window.cCon->isEnabled());
            QVERIFY(!rig.window.cDisCon->isEnabled());
            QVERIFY(rig.itemEnabled(TrayCommands::ItemOn));
            QVERIFY(!rig.itemEnabled(TrayCommands::ItemOff));
            QCOMPARE(rig.logLines().count(rig.connectingLine()), 1);
            QCOMPARE(rig.peer.connectionCount(), 1);
        }
    }

    void refusalAsksAgainUntilNo()
    {
        Rig rig;
        rig.window.tPort->setText(QString::number(closedPort()));
        rig.dialogs.expectBox(Answer::Yes);
        rig.dialogs.expectBox(Answer::Yes);
        rig.dialogs.expectBox(Answer::No);

        rig.window.Form_Load();

        QTRY_COMPARE(rig.dialogs.boxes().size(), 3);
        for (const Dialogs::Box& box : rig.dialogs.boxes()) {
            QCOMPARE(box.text, kRefused);
            QCOMPARE(box.icon, Dialogs::Icon::Question);
            QCOMPARE(box.buttons, Dialogs::Buttons::YesNo);
            QCOMPARE(box.title, u"Quorvel"_qs);
        }
        // The first attempt and the two the user asked for.
        QCOMPARE(rig.logLines().count(rig.connectingLine()), 3);
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckClosed));
        // An error changes no button or tray item: both as created.
        QVERIFY(rig.window.cCon->isEnabled());
        QVERIFY(rig.window.cDisCon->isEnabled());
        QVERIFY(rig.itemEnabled(TrayCommands::ItemOn));
        QVERIFY(rig.itemEnabled(TrayCommands::ItemOff));
    }

    void errorOutsideTheTableIsShownByNumber()
    {
        Rig rig;
        // Not a valid host name: the lookup fails at once, with no query
        // leaving this computer (11001, host not found).
        rig.window.tIP->setText(u"no such host"_qs);
        rig.dialogs.expectBox(Answer::Ok);

        rig.window.cCon_Click();

        QTRY_COMPARE(rig.dialogs.boxes().size(), 1);
        const Dialogs::Box box = rig.dialogs.boxes().first();
        QVERIFY2(box.text.startsWith(u"11001\r"_qs), qPrintable(box.text));
        QVERIFY(box.text.size() > 6); // the description follows the break
        QCOMPARE(box.title, u"Ошибка!"_qs);
        QCOMPARE(box.icon, Dialogs::Icon::Critical);
        QCOMPARE(box.buttons, Dialogs::Buttons::Ok);
        // The socket is left in its error state, which the tray shows as open.
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckError));
        QVERIFY(rig.window.cCon->isEnabled());
        QVERIFY(rig.window.cDisCon->isEnabled());
        // "Отключить" resets it.
        QTest::mouseClick(rig.window.cDisCon, Qt::LeftButton);
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckClosed));
    }

    void silentServerTimesOut()
    {
        SilentListener silent;
        QVERIFY(silent.isReady());
        Rig rig(150ms);
        rig.window.tPort->setText(QString::number(silent.port()));
        rig.dialogs.expectBox(Answer::Ok);

        rig.window.cCon_Click();
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckConnecting));

        QTRY_COMPARE(rig.dialogs.boxes().size(), 1);
        const Dialogs::Box box = rig.dialogs.boxes().first();
        QCOMPARE(box.text, errorBoxText(u"Истекло время ожидания\rВозможно сервер занят или недоступен\r"
                                        u"Повторите попытку подключения позже"_qs,
                                        u"fConnect"_qs, u"wC_Error"_qs, 10060));
        QCOMPARE(box.title, u"Ventaro"_qs);
        QCOMPARE(box.icon, Dialogs::Icon::Critical);
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckClosed));
    }

    void connectingAgainWhilePendingKeepsOnlyTheNewAttempt()
    {
        SilentListener silent;
        QVERIFY(silent.isReady());
        Rig rig(150ms);
        rig.window.tPort->setText(QString::number(silent.port()));
        rig.window.cCon_Click();
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckConnecting));
        QVERIFY(rig.window.cCon->isEnabled()); // still pending: the button stays enabled

        rig.window.tPort->setText(QString::number(rig.peer.port()));
        QTest::mouseClick(rig.window.cCon, Qt::LeftButton);

        QTRY_COMPARE(rig.peer.requests(), QStringList{u"$GetDishTables"_qs});
        // The abandoned attempt's timer would have fired by now; it must not.
        QTest::qWait(400);
        QCOMPARE(rig.peer.requests().size(), 1);
        QCOMPARE(rig.peer.connectionCount(), 1);
        QCOMPARE(rig.logLines().count(u"Подключислись к серверу!"_qs), 1);
        QVERIFY(rig.dialogs.boxes().isEmpty());
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckConnected));
    }

    void brokenTextIsNotGluedToTheNextConnection()
    {
        Rig rig;
        rig.window.Form_Load();
        QTRY_COMPARE(rig.peer.requests().size(), 1);
        // Half a message, then the server goes away.
        rig.peer.send(0, u"$Mess=половина"_qs);
        rig.dialogs.expectBox(Answer::No);
        rig.peer.close(0);
        QTRY_COMPARE(rig.dialogs.boxes().size(), 1);
        QCOMPARE(rig.window.session().bufferedBytes(), qsizetype(14));

        QTest::mouseClick(rig.window.cCon, Qt::LeftButton);
        QTRY_COMPARE(rig.peer.connectionCount(), 2);
        QTRY_COMPARE(rig.peer.requestsOf(1).size(), 1);
        rig.peer.send(1, u"Привет<Ґ>"_qs);
        // Glued, it would have read as "$Mess=половинаПривет" and opened a box.
        QTRY_COMPARE(rig.logLines().last(), u"Неизвестная команда сервера: Привет"_qs);
        QCOMPARE(rig.dialogs.boxes().size(), 1);
    }

    void unusableHostOrPortFailsAtOnce_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("mentions");

        QTest::newRow("port with a letter") << u"127.0.0.1"_qs << u"4o0"_qs << u"«4o0»"_qs;
        QTest::newRow("port zero") << u"127.0.0.1"_qs << u"0"_qs << u"«0»"_qs;
        QTest::newRow("port too big") << u"127.0.0.1"_qs << u"65536"_qs << u"«65536»"_qs;
        QTest::newRow("no port") << u"127.0.0.1"_qs << QString() << u"от 1 до 65535"_qs;
        QTest::newRow("no host") << QString() << u"400"_qs << u"адрес"_qs;
    }

    void unusableHostOrPortFailsAtOnce()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, mentions);
        Rig rig;
        rig.window.tIP->setText(host);
        rig.window.tPort->setText(port);
        const QString logBefore = rig.log();
        rig.dialogs.expectBox(Answer::Ok);

        QTest::mouseClick(rig.window.cCon, Qt::LeftButton);

        QCOMPARE(rig.dialogs.boxes().size(), 1);
        const Dialogs::Box box = rig.dialogs.boxes().first();
        QVERIFY2(box.text.startsWith(u"Не удалось начать подключение к серверу.\r"_qs), qPrintable(box.text));
        QVERIFY2(box.text.contains(mentions), qPrintable(box.text));
        QCOMPARE(box.icon, Dialogs::Icon::Critical);
        QCOMPARE(rig.log(), logBefore); // no attempt, no "connecting" line
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckClosed));
        QCOMPARE(rig.peer.connectionCount(), 0);
    }

    void localPutsTheOwnAddressWithoutConnecting()
    {
        Rig rig;
        const QString logBefore = rig.log();
        QTest::mouseClick(rig.window.cLocal, Qt::LeftButton);
        QCOMPARE(rig.window.tIP->text(), rig.window.wC().LocalIP());
        QVERIFY(!rig.window.tIP->text().isEmpty());
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckClosed));
        QCOMPARE(rig.log(), logBefore);
    }

    void manualCommandIsSentUnchanged_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::newRow("one line") << u"$GetDishes=Супы"_qs << u"$GetDishes=Супы"_qs;
        QTest::newRow("two lines") << u"$Mess=раз\nдва"_qs << u"$Mess=раз\r\nдва"_qs;
    }

    void manualCommandIsSentUnchanged()
    {
        QFETCH(QString, typed);
        Rig rig;
        rig.window.Form_Load();
        QTRY_COMPARE(rig.peer.requests().size(), 1);
        rig.window.tCom->setPlainText(typed);
        QTest::mouseClick(rig.window.cSend, Qt::LeftButton);
        QTRY_COMPARE(rig.peer.requests().size(), 2);
        QTEST(rig.peer.requests().last(), "sent");
    }

    void manualCommandWithoutConnection()
    {
        Rig rig;
        rig.window.tCom->setPlainText(u"$Get_Man_Norm"_qs);
        rig.dialogs.expectBox(Answer::Ok);
        QTest::mouseClick(rig.window.cSend, Qt::LeftButton);
        QCOMPARE(rig.dialogs.boxTexts(), QStringList{ServerSession::notConnectedText()});
    }

    void closingAfterStartUp_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("Yes") << Answer::Yes;
        QTest::newRow("No") << Answer::No;
    }

    void closingAfterStartUp()
    {
        QFETCH(Answer, answer);
        Rig rig;
        rig.window.Form_Load();
        rig.window.show();
        QTRY_COMPARE(rig.peer.requests().size(), 1);
        rig.dialogs.expectBox(answer);

        rig.window.close();

        QCOMPARE(rig.dialogs.boxTexts(), QStringList{u"Выходим. Уверены?"_qs});
        if (answer == Answer::Yes) {
            QCOMPARE(rig.ended, 1);
            QVERIFY(!rig.window.trayCommands().tray()); // the icon is gone
        } else {
            QCOMPARE(rig.ended, 0);
            QVERIFY(rig.window.trayCommands().tray());
            QVERIFY(rig.window.isVisible());
        }
        // Either way the connection is left as it was: the program's end drops it.
        QCOMPARE(rig.window.socketState(), int(ClientSocket::sckConnected));
    }

    void closingWithoutTheQuestion()
    {
        Rig rig;
        rig.window.Form_Load();
        rig.window.bUnLoadQues = false; // the fitness window has asked already
        rig.window.close();
        QVERIFY(rig.dialogs.boxes().isEmpty());
        QCOMPARE(rig.ended, 1);
        QVERIFY(!rig.window.trayCommands().tray());
    }

    void trayHostSteps()
    {
        Rig rig;
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.window.setNotificationAreaCheck([] { return true; });
        rig.window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(!rig.window.isVisible());
        // Normal state alone does not show a hidden window.
        rig.window.setNormalState();
        QVERIFY(!rig.window.isVisible());
        QVERIFY(!rig.window.isMinimized());
        rig.window.bringToFront();
        QVERIFY(!rig.window.isVisible());
        rig.window.showWindow();
        QVERIFY(rig.window.isVisible());
        QCOMPARE(rig.window.trayOwnerWindow(), &rig.window);
        QCOMPARE(rig.window.socketState(), 0);
    }
};

QTEST_MAIN(TestfFeatConnection)
#include "TestfFeatConnection.moc"
