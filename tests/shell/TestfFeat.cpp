#include "shell/fFeat.h"

#include "common/ErrorBox.h"
#include "common/Settings.h"
#include "common/Twips.h"
#include "fitness/FitnessController.h"
#include "fitness/fEnergy.h"
#include "protocol/ServerSession.h"
#include "protocol/TcpClientSocket.h"
#include "report/fPreView.h"
#include "shell/Application.h"
#include "support/RecordingLink.h"
#include "support/ScriptedDialogs.h"
#include "support/SilentPort.h"
#include "support/TempSettings.h"
#include "support/WirePeer.h"
#include "tray/fTray.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <array>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;
using Dialogs::Answer;

namespace {

const QString kBusy = u"\rВозможно сервер занят или недоступен"_s;
// cCon, cDisCon, tray items 4 "Включить" and 5 "Выключить".
const QList<bool> kConnected{false, true, false, true};
const QList<bool> kNotConnected{true, false, true, false};
const QList<bool> kAsCreated{true, true, true, true};

// The main window on a temporary store, boxes scripted, its end counted, a server on 127.0.0.1.
struct Rig
{
    explicit Rig(std::chrono::milliseconds connectTimeout = 20s) : window(std::make_unique<TcpClientSocket>())
    {
        static_cast<TcpClientSocket&>(window.session().socket()).setConnectTimeout(connectTimeout);
        window.setEndProgramHandler([this] { ++ended; });
    }
    template <typename T = QWidget> T* control(const char* name) const
    {
        return window.findChild<T*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
    }
    void usePort(const QString& port) { window.setServerAddress(QString(), port); }
    // Shown with its tray, as after start-up, without connecting.
    bool show()
    {
        window.trayCommands().Show_Tray(window);
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
    // Start-up against the peer, until the first request has arrived.
    bool start()
    {
        usePort(QString::number(peer.port()));
        window.Form_Load();
        return QTest::qWaitFor([this] { return peer.requests().size() == 1; });
    }

    QString log() const { return window.session().statusLog().text(); }
    QList<bool> ui() const
    {
        const PopupMenu* menu = window.trayCommands().tray()->PopupMenuObject();
        return {control("cCon")->isEnabled(), control("cDisCon")->isEnabled(), menu->isEnabled(4),
                menu->isEnabled(5)};
    }
    int state() const { return window.socketState(); }
    void click(const char* button) { QTest::mouseClick(control(button), Qt::LeftButton); }

    TempSettings settings;
    ScriptedDialogs dialogs;
    WirePeer peer;
    fFeat window;
    int ended = 0;
};

} // namespace

class TestfFeat : public QObject
{
    Q_OBJECT

private slots:
    void controlsAsDesigned()
    {
        Rig rig;
        QVERIFY(rig.show());
        const fFeat& window = rig.window;
        QCOMPARE(window.windowTitle(), u"Клиент"_s);
        QVERIFY(!window.windowIcon().isNull());
        QStringList texts;
        for (const QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const char* property = qobject_cast<const QPlainTextEdit*>(control) ? "plainText" : "text";
            texts << control->objectName() + u'=' + control->property(property).toString();
        }
        QCOMPARE(texts.join(u", "),
                 u"Label1=IP-сервера:, tIP=127.0.0.1, Label2=Порт сервера:, tPort=400, "
                 u"cLocal=Локально, cCon=Подключить, cDisCon=Отключить, lSend=Отсылка команд:, "
                 u"tCom=, cSend=Send!, lStatus=Лог сервера:\n, lFont=Размер шрифта, tFont=, "
                 u"Label3=пт."_s);
        QCOMPARE(rig.ui(), kAsCreated);
        const QScreen* screen = window.screen();
        QCOMPARE(window.size(), Twips::toPixels(QRectF(0, 0, 7335, 4575), screen->logicalDotsPerInchX(),
                                                screen->logicalDotsPerInchY())
                                    .size());
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(rig.control("cCon")->font().pointSize(), 8); // the design's 8 pt, not the desktop's
        // The manual command facility lies beyond the client area, hidden, so
        // that neither Tab nor a screen reader walks into it.
        for (const char* facility : {"lSend", "tCom", "cSend"})
            QVERIFY(!window.rect().intersects(rig.control(facility)->geometry()) &&
                    !rig.control(facility)->isVisible());
        rig.control("tIP")->setFocus();
        for (const char* next : {"tPort", "cLocal", "cCon", "cDisCon", "lStatus", "tFont", "tIP"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), rig.control(next));
        }
        // "Локально" fills in this computer's plain IPv4 address, and does not connect.
        const QString logBefore = rig.log();
        rig.click("cLocal");
        const QString local = rig.control<QLineEdit>("tIP")->text();
        QVERIFY(local == rig.window.wC().LocalIP() &&
                QHostAddress(local).protocol() == QHostAddress::IPv4Protocol);
        QCOMPARE(rig.log(), logBefore);
        QCOMPARE(rig.state(), int(ClientSocket::sckClosed));
    }

    // The stored size as shown; then, typed over the selection a click leaves, what it shows and stores.
    // Stored (null: nothing; showing alone stores nothing), typed, shown, stored after. Minus, letter, point
    // and blank are refused; delete leaves the store's text; a text ending in a slash is not a number.
    void fontSize()
    {
        for (const auto& [stored, typed, shown, storedAfter] :
             {std::array{QString(), QString(), u"24"_s, QString()},
              {u"12,0"_s, QString(), u"12"_s, u"12,0"_s},
              {u"abc"_s, u"-1a. 6"_s, u"16"_s, u"16"_s},
              {u"abc"_s, u"\x7f"_s, QString(), u"abc"_s},
              {u"abc"_s, u"14/"_s, u"14/"_s, u"14"_s}}) {
            Rig rig;
            QVERIFY(rig.show());
            auto* tFont = rig.control<QLineEdit>("tFont");
            if (!stored.isNull())
                SaveReg(RegSection::UserInterface, u"Brastel.FontSize"_s, stored);
            rig.window.Show_Font();
            if (!typed.isEmpty()) {
                // Focus by a click, which on its own would only place the caret.
                tFont->setFocus(Qt::MouseFocusReason);
                QCOMPARE(tFont->selectedText(), u"24"_s);
            }
            for (const QChar c : typed) {
                if (c == u'\x7f') // as a keyboard sends it, character and all
                    QTest::sendKeyEvent(QTest::Click, tFont, Qt::Key_Delete, QString(c), Qt::NoModifier);
                else
                    QTest::keyClick(tFont, c.toLatin1());
            }
            QCOMPARE(tFont->text(), shown);
            QCOMPARE(GetReg(RegSection::UserInterface, u"Brastel.FontSize"_s, QString()), storedAfter);
        }
    }

    void aStoreThatCannotBeWrittenIsReportedOnce()
    {
        Rig rig;
        QFile blocker(rig.settings.folder() + u"/file"_s);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        SettingsStore::useFolder(blocker.fileName());
        rig.dialogs.expectBox();
        auto* tFont = rig.control<QLineEdit>("tFont");
        tFont->setText(u"1"_s);
        tFont->setText(u"12"_s); // the program goes on, asking nothing more
        QCOMPARE(rig.dialogs.boxes().size(), 1);
        QVERIFY(rig.dialogs.boxTexts().first().startsWith(
            u"Не удалось сохранить настройку Brastel.FontSize\r"_s));
        QCOMPARE(tFont->text(), u"12"_s);
    }

    // Not asking is the fitness window's way out, below. Offscreen, with no notification area,
    // minimising keeps the window in reach; hiding to a real tray is checked on a real desktop.
    void minimisingAndClosing()
    {
        Rig rig;
        QVERIFY(rig.show());
        rig.window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(rig.window.isMinimized() && rig.window.isVisible());
        rig.window.bUnLoadQues = true;
        rig.dialogs.expectBox(Answer::No);
        QVERIFY(!rig.window.close());
        QVERIFY(rig.window.isVisible() && rig.window.trayCommands().tray());
        rig.dialogs.expectBox(Answer::Yes);
        QVERIFY(rig.window.close());
        QCOMPARE(rig.ended, 1);
        QVERIFY(!rig.window.isVisible() && !rig.window.trayCommands().tray());
        const Dialogs::Box& box = rig.dialogs.boxes().first();
        QCOMPARE(box.title + u": "_s + box.text, u"Сервер рецептур: Выходим. Уверены?"_s);
        QCOMPARE(box.buttons, Dialogs::Buttons::YesNo);
    }

    void startUpConnectsAsksForTheCatalogueAndDisconnectsSilently()
    {
        Rig rig;
        QString atConnect; // what the connect step finds done before it
        connect(rig.control<QPlainTextEdit>("lStatus"), &QPlainTextEdit::textChanged, this, [&] {
            if (atConnect.isEmpty())
                atConnect = u"tray %1, font %2, asking %3"_s.arg(rig.window.trayCommands().tray() != nullptr)
                                .arg(rig.control<QLineEdit>("tFont")->text())
                                .arg(rig.window.bUnLoadQues);
        });
        QVERIFY(rig.start());
        QCOMPARE(atConnect, u"tray 1, font 24, asking 0"_s);
        QVERIFY(rig.window.bUnLoadQues);
        // Framed with the terminator, in Windows-1251: "<", 0xA5, ">".
        QCOMPARE(rig.peer.rawRequests(0), QByteArray("$GetDishTables<\xA5>"));
        // The first line follows an empty one: the heading already ends in a break.
        QTRY_COMPARE(rig.log(), u"Лог сервера:\r\n\r\nПодключаемся к серверу: 127.0.0.1 через порт %1\r\n"
                                u"Подключислись к серверу!"_s.arg(rig.peer.port()));
        QCOMPARE(rig.ui(), kConnected);

        rig.control<QPlainTextEdit>("tCom")->setPlainText(u"$Mess=раз\nдва"_s);
        rig.click("cSend");
        // A multi-line box's line breaks go out as the program's own CR LF.
        QTRY_COMPARE(rig.peer.requests().value(1), u"$Mess=раз\r\nдва"_s);

        const QString logBefore = rig.log();
        rig.click("cDisCon");
        QCOMPARE(rig.ui(), kNotConnected);
        QCOMPARE(rig.state(), int(ClientSocket::sckClosed));
        QTRY_COMPARE(rig.peer.closedCount(), 1);
        QCoreApplication::processEvents(); // a closed event would ask its question now
        QCOMPARE(rig.log(), logBefore);
    }

    // Every way a connection fails: the target (host:port or "silent"), the answers, the start of every
    // box ("title: text"), the "connecting" lines in the log and the socket state after.
    void failures()
    {
        QTcpServer gone; // a port where nothing listens any more
        gone.listen(QHostAddress::LocalHost, 0);
        const QString goneAt = u"127.0.0.1:%1"_s.arg(gone.serverPort());
        gone.close();
        const QString timedOut = u"Ventaro: "_s + errorBoxText(u"Истекло время ожидания"_s + kBusy +
                                                                   u"\rПовторите попытку подключения позже"_s,
                                                               u"fConnect"_s, u"wC_Error"_s, 10060);
        for (const auto& [target, answers, box, attempts, state] :
             {std::tuple{goneAt, QList{Answer::Yes, Answer::Yes, Answer::No},
                         u"Quorvel: Соединение не установлено!"_s + kBusy +
                             u"\r\rПовторить попытку подключения?"_s,
                         3, ClientSocket::sckClosed},
              {u"silent"_s, QList{Answer::Ok}, timedOut, 1, ClientSocket::sckClosed},
              // No lookup leaves this computer; left in its error state, shown as open.
              {u"no such host:400"_s, QList{Answer::Ok}, u"Ошибка!: 11001\r"_s, 1, ClientSocket::sckError},
              {u"127.0.0.1:4o0"_s, QList{Answer::Ok},
               u"Quorvel: Не удалось начать подключение к серверу.\rПорт сервера «4o0»"_s, 0,
               ClientSocket::sckClosed}}) {
            SilentPort silent;
            Rig rig(target == u"silent" ? 150ms : 20s);
            if (target == u"silent")
                rig.usePort(silent.port());
            else
                rig.window.setServerAddress(target.section(u':', 0, 0), target.section(u':', 1));
            for (const Answer answer : answers)
                rig.dialogs.expectBox(answer);
            rig.window.Form_Load();
            QTRY_COMPARE(rig.dialogs.boxes().size(), answers.size());
            for (const Dialogs::Box& shown : rig.dialogs.boxes()) {
                QVERIFY2((shown.title + u": "_s + shown.text).startsWith(box), qPrintable(shown.text));
                QCOMPARE(shown.buttons, answers.size() > 1 ? Dialogs::Buttons::YesNo : Dialogs::Buttons::Ok);
            }
            QCOMPARE(int(rig.log().count(u"\r\nПодключаемся к серверу: "_s)), attempts);
            QCOMPARE(rig.state(), int(state));
            QCOMPARE(rig.ui(), kAsCreated); // an error changes no button or item
            rig.click("cDisCon");
            QCOMPARE(rig.state(), int(ClientSocket::sckClosed));
        }
    }

    void aPendingAttemptIsAbandonedForANewOneAndAnAbortedOneClosed()
    {
        SilentPort silent;
        Rig rig(150ms);
        rig.usePort(silent.port());
        rig.window.cCon_Click();
        QCOMPARE(rig.state(), int(ClientSocket::sckConnecting));
        rig.usePort(QString::number(rig.peer.port()));
        rig.click("cCon");
        QTRY_COMPARE(rig.peer.requests(), QStringList{u"$GetDishTables"_s});
        QTest::qWait(400); // the abandoned attempt's timer would have fired by now
        QCOMPARE(rig.peer.requests().size(), 1);
        QCOMPARE(rig.log().count(u"\r\nПодключислись к серверу!"_s), 1);
        QCOMPARE(rig.state(), int(ClientSocket::sckConnected));
        // That connection aborted (10053) is told and closed; the buttons stay as they were.
        rig.dialogs.expectBox();
        bool cancelDisplay = false;
        emit rig.window.session().socket().Error(10053, u"reset"_s, &cancelDisplay);
        QCOMPARE(rig.dialogs.boxTexts(), QStringList{errorBoxText(u"Сервер отклонил соединение\r(reset)"_s,
                                                                  u"fConnect"_s, u"wC_Error"_s, 10053)});
        QVERIFY(cancelDisplay && rig.state() == ClientSocket::sckClosed && !rig.control("cCon")->isEnabled());
        QTRY_COMPARE(rig.peer.closedCount(), 1);
    }

    // A server that goes away is asked about: Yes reconnects, with nothing
    // of a half-read message glued to the new connection and the whole ones
    // waiting behind a box handled; No stays closed.
    void aServerThatGoesAway()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.dialogs.expectBox(Answer::Yes); // the question, asked while "стоп" is still open
        rig.dialogs.expectBox();
        rig.dialogs.onBox = [&rig](const Dialogs::Box& box) {
            if (box.text != u"стоп")
                return;
            QVERIFY(QTest::qWaitFor([&rig] { return rig.window.session().bufferedBytes() == 5 + 14; }));
            rig.peer.close(0);
            QVERIFY(QTest::qWaitFor([&rig] { return rig.peer.requests(1).size() == 1; }));
        };
        rig.peer.send(0, u"$Mess=стоп<Ґ>$u<Ґ>$Mess=половина"_s);
        QTRY_COMPARE(rig.peer.requests(1), QStringList{u"$GetDishTables"_s});
        QCOMPARE(rig.ui(), kConnected);
        rig.peer.send(1, u"Привет<Ґ>"_s);
        // Glued, it would have read as "$Mess=половинаПривет" and opened a box.
        QTRY_VERIFY(rig.log().endsWith(u": $u\r\nНеизвестная команда сервера: Привет"_s));
        rig.dialogs.expectBox(Answer::No);
        rig.peer.close(1);
        QTRY_COMPARE(rig.dialogs.boxes().size(), 3);
        for (const Dialogs::Box& box : rig.dialogs.boxes().mid(1)) {
            QCOMPARE(box.title + u": "_s + box.text,
                     u"Quorvel: Потеряно соединение с сервером!"_s + kBusy + u"\r\rПодключиться повторно?"_s);
            QCOMPARE(box.buttons, Dialogs::Buttons::YesNo);
        }
        QCOMPARE(rig.state(), int(ClientSocket::sckClosed));
        QCOMPARE(rig.ui(), kNotConnected);
    }

    // Joined as the program joins them: the fitness window's "&Печать" opens
    // a preview, and ending the whole program there asks nothing more.
    void joinedToTheFitnessWindow()
    {
        TempSettings settings;
        ScriptedDialogs dialogs;
        fFeat window;
        RecordingLink link;
        FitnessController fitness{link};
        connectFitness(window, fitness);
        window.trayCommands().Show_Tray(window);
        window.bUnLoadQues = true;
        fitness.energy().show();
        dialogs.expectBox(); // the ration is empty
        QTest::mouseClick(fitness.window()->findChild<QPushButton*>(u"cPrint"_s), Qt::LeftButton);
        QList<fPreView*> previews;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* preview = qobject_cast<fPreView*>(top); preview && preview->isVisible())
                previews << preview;
        }
        QCOMPARE(previews.size(), 1);
        qDeleteAll(previews);
        dialogs.expectBox(Answer::Yes);
        QTimer::singleShot(0, fitness.window(), &QWidget::close);
        QTimer guard; // a loop left running fails
        guard.callOnTimeout([] { QCoreApplication::exit(1); });
        guard.start(20s);
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(dialogs.boxTexts(), (QStringList{u"Не выбраны рецептуры!"_s, u"Закрыть всю программу?"_s}));
        QVERIFY(!window.trayCommands().tray());
        window.session().setReplyTarget(nullptr);
    }
};

QTEST_MAIN(TestfFeat)
#include "TestfFeat.moc"
