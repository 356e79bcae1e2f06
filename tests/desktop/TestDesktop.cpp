#include "desktop/Desktop.h"

#include "common/Translations.h"
#include "fitness/FitnessController.h"
#include "fitness/RationReportSource.h"
#include "fitness/fEnergy.h"
#include "fitness/layout/FitnessLayout.h"
#include "fitness/layout/Twips.h"
#include "protocol/ServerSession.h"
#include "shell/Application.h"
#include "shell/fFeat.h"
#include "support/HostileServer.h"
#include "support/TempSettings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QImage>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

Desktop* g_desktop = nullptr;

QString xdotool(const QStringList& arguments)
{
    return g_desktop->x(u"xdotool"_s, arguments);
}

// The fitness window's controls in the order of FitnessLayout::Control.
const QStringList kFitnessControls{u"cMan"_s,      u"cGirl"_s,  u"lKFA"_s,    u"cKFA"_s,    u"lVozr"_s,
                                   u"cVozr"_s,     u"lBases"_s, u"lDishes"_s, u"lFindBB"_s, u"lFindD"_s,
                                   u"lOut"_s,      u"tOut"_s,   u"cClear"_s,  u"lHS"_s,     u"cAdd"_s,
                                   u"cClearall"_s, u"cPrint"_s};

// Answers the next message box of this program with a real click on
// `button` once it is on screen, after `look` has seen it.
void answerBox(QObject* context, QMessageBox::StandardButton button,
               const std::function<void(QMessageBox&)>& look)
{
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop(); // before waiting, which runs this timer's loop
        poll->deleteLater();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QTest::qWait(300); // the window manager's frame
        look(*box);
        const QAbstractButton* chosen = box->button(button);
        const QPoint centre = chosen->mapToGlobal(chosen->rect().center());
        xdotool(
            {u"mousemove"_s, QString::number(centre.x()), QString::number(centre.y()), u"click"_s, u"1"_s});
    });
    poll->start(100);
}

} // namespace

// What only real fonts, frames, dialogs and a tray show: the program's windows
// in this process first, then the real program driven as a user drives it.
class TestDesktop : public QObject
{
    Q_OBJECT

    TempSettings m_settings;
    QString m_port; // of the demo recipe server

private slots:
    void initTestCase()
    {
        QProcess& server = g_desktop->start(QStringLiteral(BRASTEL_DEMO_BINARY), {u"--port"_s, u"0"_s},
                                            QProcessEnvironment::systemEnvironment());
        QVERIFY(QTest::qWaitFor([&] { return server.canReadLine(); }, 30000));
        // Its first line: "Listening on ADDR:PORT".
        m_port = QString::fromUtf8(server.readLine()).trimmed().section(u':', -1);
        QVERIFY(m_port.toInt() > 0);
    }

    // The exit question in Russian under its own title (whole captions of
    // every window: TestLargeFonts).
    void mainWindowAsksInRussian()
    {
        fFeat window;
        window.bUnLoadQues = true;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList seen;
        answerBox(this, QMessageBox::No, [&](QMessageBox& box) {
            for (QAbstractButton* button : box.buttons())
                seen << button->text();
            seen << g_desktop->title(QString::number(box.winId()));
        });
        QVERIFY(!window.Form_QueryUnload());
        seen.sort();
        QCOMPARE(seen, (QStringList{u"Да"_s, u"Нет"_s, u"Сервер рецептур"_s}));
    }

    // A "$Mess=" of a megabyte from a hostile server: its box keeps to the
    // screen, and its button takes a real click.
    void hugeServerMessageFitsTheScreen()
    {
        HostileServer hostile("$Mess=" + QByteArray("line of text\r\n").repeated(80000) + "<\xA5>");
        fFeat window;
        window.setServerAddress(QString(), hostile.port());
        QRect boxFrame, screen;
        answerBox(this, QMessageBox::Ok, [&](QMessageBox& box) {
            boxFrame = box.frameGeometry();
            screen = box.screen()->availableGeometry();
        });
        window.Form_Load();
        QVERIFY(
            QTest::qWaitFor([&] { return !boxFrame.isNull() && !QApplication::activeModalWidget(); }, 30000));
        QVERIFY2(screen.contains(boxFrame),
                 qPrintable(QDebug::toString(boxFrame) + u" on "_s + QDebug::toString(screen)));
    }

    // The fitness window, opened on the catalogue's arrival: from the first show
    // on, its controls sit where the layout rules put them for its outer frame.
    void fitnessLayoutFollowsTheRules()
    {
        fFeat window;
        window.setServerAddress(QString(), m_port);
        FitnessController fitness(window.session());
        const RationReportSource report(fitness);
        connectFitness(window, fitness, report);
        window.Form_Load();
        QVERIFY(QTest::qWaitFor([&] { return fitness.window() && fitness.window()->isVisible(); }, 20000));
        fEnergy& energy = *fitness.window();
        QVERIFY(QTest::qWaitForWindowExposed(&energy));

        // The rules keep what they computed from one size to the next.
        FitnessLayout expected = FitnessLayout::design();
        const double dpi = energy.logicalDpiY();
        // Labels size themselves to their caption; the rules place their
        // neighbours by the size they have.
        const QStringList selfSizing{u"lKFA"_s, u"lVozr"_s, u"lOut"_s, u"lFindBB"_s, u"lFindD"_s};
        QStringList wrong;
        const auto check = [&](const QString& size) {
            QTest::qWait(700); // the window manager's answer and the frame
            for (int i = 0; i < FitnessLayout::ControlCount; ++i) {
                FitnessLayout::Geometry geometry = expected.geometry(FitnessLayout::Control(i));
                const QWidget* widget = energy.findChild<QWidget*>(kFitnessControls[i]);
                geometry.width = Twips::fromPixels(widget->width(), dpi);
                geometry.height = Twips::fromPixels(widget->height(), dpi);
                if (selfSizing.contains(kFitnessControls[i]))
                    expected.setGeometry(FitnessLayout::Control(i), geometry);
            }
            // The button column is as wide as the font needs for "Добавить (25)".
            expected.setButtonColumnWidth(
                Twips::fromPixels(energy.findChild<QWidget*>(u"cAdd"_s)->width(), dpi));
            const QRect frame = energy.frameGeometry();
            // Twice, as the window lays out before its frame exists and again
            // once it does: lHS takes its width from where it stood before.
            for (int pass = 0; pass < 2; ++pass)
                expected.apply(Twips::fromPixels(frame.width(), dpi), Twips::fromPixels(frame.height(), dpi));
            for (int i = 0; i < FitnessLayout::ControlCount; ++i) {
                const QWidget* widget = energy.findChild<QWidget*>(kFitnessControls[i]);
                const QRect rect = expected.pixelRect(FitnessLayout::Control(i), dpi);
                const QRect actual = selfSizing.contains(kFitnessControls[i])
                                         ? QRect(widget->pos(), rect.size())
                                         : widget->geometry();
                if (actual != rect)
                    wrong << kFitnessControls[i] + u" at "_s + size + u": "_s + QDebug::toString(actual) +
                                 u" instead of "_s + QDebug::toString(rect);
            }
        };
        check(u"first show"_s);
        energy.resize(1, 1); // as small as the window manager lets it be
        check(u"smallest size"_s);
        energy.showMaximized();
        check(u"maximised"_s);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; "_s)));
        window.session().setReplyTarget(nullptr);
    }

    // The real program: captions as designed with nothing appended by the
    // platform; minimising hides it in the tray, a press there leaves it
    // hidden, and the double-click and "Настройки" bring it back.
    void realProgramHidesToTheTrayAndComesBack()
    {
        QTemporaryDir home; // the program's settings go here, never to the user's
        QProcessEnvironment environment = g_desktop->environment();
        for (const QString& name : {u"HOME"_s, u"XDG_CONFIG_HOME"_s, u"XDG_RUNTIME_DIR"_s})
            environment.insert(name, home.path());
        QProcess& quorvel = g_desktop->start(QStringLiteral(QUORVEL_BINARY),
                                             {u"--server"_s, u"127.0.0.1:"_s + m_port}, environment);
        // The tray icon is the program's window that trayer has embedded: its
        // parent is a socket window inside trayer's "panel".
        const auto parentOf = [](const QString& window) {
            // Never an empty id: xwininfo would wait for a click to choose a window.
            const QString tree =
                window.isEmpty() ? QString() : g_desktop->x(u"xwininfo"_s, {u"-id"_s, window, u"-tree"_s});
            return tree.section(u"Parent window id: "_s, 1).section(u'\n', 0, 0); // its id and name
        };
        QString main, icon;
        QStringList titles;
        // Up when the fitness window has opened on the catalogue's arrival.
        const auto up = [&] {
            titles.clear();
            for (const QString& window : xdotool({u"search"_s, u"--class"_s, u"quorvel"_s}).split(u'\n')) {
                titles << g_desktop->title(window);
                if (titles.last() == u"Клиент")
                    main = window;
                if (parentOf(parentOf(window).section(u' ', 0, 0)).contains(u"\"panel\""_s))
                    icon = window;
            }
            return !main.isEmpty() && !icon.isEmpty() && titles.contains(u"Запрос калорийности с сервера"_s);
        };
        QVERIFY2(QTest::qWaitFor(up, 20000), qPrintable(titles.join(u", "_s)));
        const auto frameCorner = [&] {
            static const QRegularExpression corner(
                u"Absolute upper-left X:\\s+-?\\d+\\s+Absolute upper-left Y:\\s+-?\\d+"_s);
            return corner.match(g_desktop->x(u"xwininfo"_s, {u"-id"_s, main, u"-frame"_s})).captured();
        };
        const QString where = frameCorner();
        // Iconified at once on a minimise, then withdrawn once the program has
        // hidden it: a press in between would find it still shown, merely minimised.
        const auto withdrawn = [&] {
            return !g_desktop->isMapped(main) &&
                   !g_desktop->x(u"xprop"_s, {u"-id"_s, main, u"WM_STATE"_s}).contains(u"Iconic"_s);
        };
        const struct
        {
            QStringList click;    // xdotool's arguments for the click on the tray icon
            QStringList menuKeys; // for the menu a right press opens
            bool showsIt;
            const char* failure;
        } steps[] = {
            {{u"1"_s}, {}, false, "a left press showed the hidden window"},
            {{u"3"_s}, {u"Escape"_s}, false, "opening the menu showed the hidden window"},
            {{u"--repeat"_s, u"2"_s, u"1"_s}, {}, true, "a double-click left it hidden"}, // 100 ms apart
            {{u"3"_s}, {u"Down"_s, u"Down"_s, u"Return"_s}, true, "\"Настройки\" did not bring it back"},
        };
        for (const auto& step : steps) {
            if (g_desktop->isMapped(main)) {
                xdotool({u"windowminimize"_s, main});
                QVERIFY2(QTest::qWaitFor(withdrawn, 5000), "minimise did not hide");
            }
            xdotool({u"mousemove"_s, u"--window"_s, icon, u"4"_s, u"4"_s});
            xdotool(QStringList{u"click"_s} + step.click);
            if (!step.menuKeys.isEmpty()) {
                QTest::qWait(700);
                xdotool(QStringList{u"key"_s, u"--delay"_s, u"100"_s} + step.menuKeys);
            }
            const auto mapped = [&] { return g_desktop->isMapped(main); };
            QVERIFY2(QTest::qWaitFor(mapped, step.showsIt ? 5000 : 1000) == step.showsIt, step.failure);
            if (!step.showsIt)
                continue;
            QTest::qWait(500);
            // Painted: a picture that is one colour all over never was.
            const QString file = u"TestDesktop-main.png"_s; // kept for a look after a failure
            g_desktop->x(u"import"_s, {u"-window"_s, main, file});
            const QImage picture = QImage(file).convertToFormat(QImage::Format_RGB32);
            QVERIFY2(picture != picture.copy(0, 0, 1, 1).scaled(picture.size()) &&
                         xdotool({u"getactivewindow"_s}).toULongLong() == main.toULongLong() &&
                         frameCorner() == where,
                     step.failure);
        }
        QCOMPARE(quorvel.state(), QProcess::Running);
    }
};

int main(int argc, char* argv[])
{
    Desktop desktop;
    if (!desktop.error().isEmpty()) {
        qCritical("%s", qPrintable(desktop.error()));
        return 1;
    }
    g_desktop = &desktop;
    qputenv("DISPLAY", desktop.environment().value(u"DISPLAY"_s).toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QApplication app(argc, argv);
    installRussianTranslations(app);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestDesktop.moc"
