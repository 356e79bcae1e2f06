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

#include <QApplication>
#include <QDebug>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

Desktop* g_desktop = nullptr;

// The fitness window's controls in the order of FitnessLayout::Control.
const QStringList kFitnessControls{u"cMan"_s,      u"cGirl"_s,  u"lKFA"_s,    u"cKFA"_s,    u"lVozr"_s,
                                   u"cVozr"_s,     u"lBases"_s, u"lDishes"_s, u"lFindBB"_s, u"lFindD"_s,
                                   u"lOut"_s,      u"tOut"_s,   u"cClear"_s,  u"lHS"_s,     u"cAdd"_s,
                                   u"cClearall"_s, u"cPrint"_s};

// Answers the next message box of this program with `button` once it is on
// screen, after `look` has seen it; `answered` is set then.
void answerBox(QObject* context, QMessageBox::StandardButton button, bool& answered,
               const std::function<void(QMessageBox&)>& look)
{
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [=, &answered] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop(); // before waiting, which runs this timer's loop
        poll->deleteLater();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QTest::qWait(300); // the window manager's frame
        look(*box);
        answered = true;
        // A real click, where the window manager put the button.
        const QAbstractButton* chosen = box->button(button);
        const QPoint centre = chosen->mapToGlobal(chosen->rect().center());
        g_desktop->x(u"xdotool"_s, {u"mousemove"_s, QString::number(centre.x()), QString::number(centre.y()),
                                    u"click"_s, u"1"_s});
    });
    poll->start(100);
}

} // namespace

// On a real X server with a window manager and a notification area: what
// only real fonts, frames, dialogs and a tray show. The program's windows in
// this process first, then the real program driven as a user drives it.
class TestDesktop : public QObject
{
    Q_OBJECT

    TempSettings m_settings;
    QString m_main; // the real program's main window
    QString m_icon; // and its tray icon

    QString xdotool(const QStringList& arguments) { return g_desktop->x(u"xdotool"_s, arguments); }
    void click(const QString& button, int count = 1)
    {
        xdotool({u"mousemove"_s, u"--window"_s, m_icon, u"4"_s, u"4"_s, u"click"_s, u"--repeat"_s,
                 QString::number(count), u"--delay"_s, u"80"_s, button});
    }
    // The tray menu, opened by a right press and driven by its keys.
    void chooseFromMenu(const QStringList& keys)
    {
        click(u"3"_s);
        QTest::qWait(700);
        xdotool(QStringList{u"key"_s, u"--delay"_s, u"100"_s} + keys);
    }
    bool staysHidden()
    {
        QTest::qWait(1000);
        return !g_desktop->isMapped(m_main);
    }
    bool comesBackPaintedAndActive(const QRect& where)
    {
        if (!QTest::qWaitFor([&] { return g_desktop->isMapped(m_main); }, 5000))
            return false;
        QTest::qWait(500);
        const QImage picture = g_desktop->picture(m_main);
        picture.save(u"TestDesktop-main.png"_s); // for a look after a failure
        return isPainted(picture) && xdotool({u"getactivewindow"_s}).toULongLong() == m_main.toULongLong() &&
               g_desktop->frame(m_main).topLeft() == where.topLeft();
    }
    void minimise()
    {
        xdotool({u"windowminimize"_s, m_main});
        // Iconified at once, then withdrawn once the program has hidden it: a
        // press in between would find it still shown, merely minimised.
        const auto hidden = [&] {
            return !g_desktop->isMapped(m_main) &&
                   !g_desktop->x(u"xprop"_s, {u"-id"_s, m_main, u"WM_STATE"_s}).contains(u"Iconic"_s);
        };
        QVERIFY2(QTest::qWaitFor(hidden, 5000), "minimise did not hide");
    }

private slots:
    // Whole captions, nothing overlapping, and the exit question in Russian
    // under its own title.
    void mainWindowShowsWholeCaptionsAndAsksInRussian()
    {
        fFeat window;
        window.bUnLoadQues = true;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QList<QWidget*> shown;
        for (QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (window.rect().contains(control->geometry().topLeft()))
                shown << control;
        }
        QCOMPARE(shown.size(), 11); // all but the manual command facility
        for (QWidget* control : shown) {
            QVERIFY2(window.rect().contains(control->geometry()), qPrintable(control->objectName()));
            if (qobject_cast<QLabel*>(control) || qobject_cast<QPushButton*>(control))
                QVERIFY2(control->width() >= control->sizeHint().width(), qPrintable(control->objectName()));
            for (QWidget* other : shown)
                QVERIFY2(other == control || !control->geometry().intersects(other->geometry()),
                         qPrintable(control->objectName() + u" overlaps "_s + other->objectName()));
        }
        QStringList seen;
        bool answered = false;
        answerBox(this, QMessageBox::No, answered, [&](QMessageBox& box) {
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
        QRect boxFrame;
        QRect screen;
        bool answered = false;
        answerBox(this, QMessageBox::Ok, answered, [&](QMessageBox& box) {
            boxFrame = box.frameGeometry();
            screen = box.screen()->availableGeometry();
        });
        window.Form_Load();
        QVERIFY(QTest::qWaitFor([&] { return answered && !QApplication::activeModalWidget(); }, 30000));
        QVERIFY2(screen.contains(boxFrame),
                 qPrintable(QDebug::toString(boxFrame) + u" on "_s + QDebug::toString(screen)));
    }

    // The fitness window opens when the catalogue arrives from the demo server;
    // at every size its controls sit where the layout rules put them.
    void fitnessLayoutFollowsTheRules()
    {
        const QString port = g_desktop->startDemoServer(QStringLiteral(BRASTEL_DEMO_BINARY));
        QVERIFY(!port.isEmpty());
        fFeat window;
        window.setServerAddress(QString(), port);
        FitnessController fitness(window.session());
        const RationReportSource report(fitness);
        connectFitness(window, fitness, report);
        window.Form_Load();
        QVERIFY(QTest::qWaitFor([&] { return fitness.window() && fitness.window()->isVisible(); }, 20000));
        fEnergy& energy = *fitness.window();
        QVERIFY(QTest::qWaitForWindowExposed(&energy));
        QCOMPARE(g_desktop->title(QString::number(energy.winId())), u"Запрос калорийности с сервера"_s);

        // The rules keep what they computed from one size to the next.
        FitnessLayout expected = FitnessLayout::design();
        const double dpi = energy.logicalDpiY();
        const auto check = [&](const char* size) {
            QTest::qWait(700); // the window manager's answer and the frame
            QStringList wrong;
            // Labels size themselves to their caption; the rules place their
            // neighbours by the size they have.
            const auto selfSizing = [](const QString& name) {
                return name == u"lKFA" || name == u"lVozr" || name == u"lOut" || name.startsWith(u"lFind");
            };
            for (int i = 0; i < FitnessLayout::ControlCount; ++i) {
                if (!selfSizing(kFitnessControls[i]))
                    continue;
                FitnessLayout::Geometry geometry = expected.geometry(FitnessLayout::Control(i));
                const QWidget* label = energy.findChild<QWidget*>(kFitnessControls[i]);
                geometry.width = Twips::fromPixels(label->width(), dpi);
                geometry.height = Twips::fromPixels(label->height(), dpi);
                expected.setGeometry(FitnessLayout::Control(i), geometry);
            }
            const QRect frame = energy.frameGeometry();
            // Twice, as the window lays out before its frame exists and again
            // once it does: lHS takes its width from where it stood before.
            for (int pass = 0; pass < 2; ++pass)
                expected.apply(Twips::fromPixels(frame.width(), dpi), Twips::fromPixels(frame.height(), dpi));
            for (int i = 0; i < FitnessLayout::ControlCount; ++i) {
                const QWidget* widget = energy.findChild<QWidget*>(kFitnessControls[i]);
                const QRect rect = expected.pixelRect(FitnessLayout::Control(i), dpi);
                const QRect actual =
                    selfSizing(kFitnessControls[i]) ? QRect(widget->pos(), rect.size()) : widget->geometry();
                if (actual != rect)
                    wrong << u"%1 at %2 %3x%4: "_s.arg(kFitnessControls[i], QLatin1String(size))
                                     .arg(frame.width())
                                     .arg(frame.height()) +
                                 QDebug::toString(actual) + u" instead of "_s + QDebug::toString(rect);
            }
            return wrong;
        };
        QStringList mismatches = check("first show");
        energy.resize(1, 1); // as small as the window manager lets it be
        mismatches << check("smallest size");
        energy.showMaximized();
        mismatches << check("maximised");
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u"; "_s)));
        window.session().setReplyTarget(nullptr);
    }

    // The real program: captions as designed with nothing appended by the
    // platform; minimising hides it in the tray, a press there leaves it
    // hidden, and the double-click and "Настройки" bring it back.
    void realProgramHidesToTheTrayAndComesBack()
    {
        const QString port = g_desktop->startDemoServer(QStringLiteral(BRASTEL_DEMO_BINARY));
        QVERIFY(!port.isEmpty());
        QTemporaryDir home; // the program's settings go here, never to the user's
        QProcessEnvironment environment = g_desktop->environment();
        environment.insert(u"HOME"_s, home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
        environment.insert(u"XDG_RUNTIME_DIR"_s, home.path());
        QProcess& quorvel = g_desktop->start(QStringLiteral(QUORVEL_BINARY),
                                             {u"--server"_s, u"127.0.0.1:"_s + port}, environment);
        // The fitness window opens when the catalogue arrives.
        QVERIFY(QTest::qWaitFor(
            [&] { return !g_desktop->windowsTitled(u"Запрос калорийности с сервера"_s).isEmpty(); }, 20000));
        QVERIFY(
            QTest::qWaitFor([&] { return !(m_icon = g_desktop->trayIcon(u"quorvel"_s)).isEmpty(); }, 10000));
        m_main = g_desktop->windowsTitled(u"Клиент"_s).value(0);
        QCOMPARE(g_desktop->title(m_main), u"Клиент"_s);

        const QRect where = g_desktop->frame(m_main);
        minimise();
        click(u"1"_s);
        QVERIFY2(staysHidden(), "a left press showed the hidden window");
        chooseFromMenu({u"Escape"_s});
        QVERIFY2(staysHidden(), "opening the menu showed the hidden window");
        click(u"1"_s, 2);
        QVERIFY2(comesBackPaintedAndActive(where), "the double-click did not bring the window back");
        minimise();                                          // hides again
        chooseFromMenu({u"Down"_s, u"Down"_s, u"Return"_s}); // "Настройки"
        QVERIFY2(comesBackPaintedAndActive(where), "\"Настройки\" did not bring the window back");
        QCOMPARE(quorvel.state(), QProcess::Running);
    }
};

int main(int argc, char* argv[])
{
    Desktop desktop;
    if (!desktop.isReady()) {
        qCritical("%s", qPrintable(desktop.error()));
        return 1;
    }
    g_desktop = &desktop;
    const QProcessEnvironment environment = desktop.environment();
    for (const QString& name : {u"DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
        qputenv(name.toLatin1(), environment.value(name).toUtf8());
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QApplication app(argc, argv);
    installRussianTranslations(app);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestDesktop.moc"
