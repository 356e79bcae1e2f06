#include "desktop/Desktop.h"

#include "common/Translations.h"
#include "common/Twips.h"
#include "fitness/FitnessController.h"
#include "fitness/fEnergy.h"
#include "fitness/layout/FitnessLayout.h"
#include "protocol/ServerSession.h"
#include "shell/Application.h"
#include "shell/fFeat.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"
#include "support/WirePeer.h"

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
#include <QWindow>

using namespace Qt::Literals::StringLiterals;

namespace {

// For a sanitized build on a loaded machine; the conditions end waits sooner.
constexpr int kWaitMs = 60000;

QString xdotool(const QStringList& arguments)
{
    return g_desktop->x(u"xdotool"_s, arguments);
}

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
        // Framed (as the platform knows it: QWidget's copy is renewed only on a
        // move), or the button is not where the click goes; clicked anyway, not to hang.
        const bool framed =
            QTest::qWaitFor([box] { return !box->windowHandle()->frameMargins().isNull(); }, kWaitMs);
        look(*box);
        const QAbstractButton* chosen = box->button(button);
        const QPoint centre = chosen->mapToGlobal(chosen->rect().center());
        xdotool(
            {u"mousemove"_s, QString::number(centre.x()), QString::number(centre.y()), u"click"_s, u"1"_s});
        QVERIFY2(framed, "the window manager did not frame the box");
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
        installRussianTranslations(*qApp);
        m_port = g_desktop->startDemoServer();
        QVERIFY(m_port.toInt() > 0);
    }

    // A "$Mess=" of a megabyte from a hostile server: its box keeps to the
    // screen, and its button takes a real click.
    void hugeServerMessageFitsTheScreen()
    {
        WirePeer hostile;
        fFeat window;
        window.setServerAddress(QString(), QString::number(hostile.port()));
        QRect boxFrame, screen;
        answerBox(this, QMessageBox::Ok, [&](QMessageBox& box) {
            boxFrame = box.frameGeometry();
            screen = box.screen()->availableGeometry();
        });
        window.Form_Load();
        QVERIFY(QTest::qWaitFor([&] { return hostile.connectionCount() == 1; }, kWaitMs));
        hostile.sendBytes(0, "$Mess=" + QByteArray("line of text\r\n").repeated(80000) + "<\xA5>");
        QVERIFY(QTest::qWaitFor([&] { return !boxFrame.isNull() && !QApplication::activeModalWidget(); },
                                kWaitMs));
        QVERIFY2(screen.contains(boxFrame),
                 qPrintable(QDebug::toString(boxFrame) + u" on "_s + QDebug::toString(screen)));
    }

    // The fitness window, opened on the catalogue's arrival: from the first show
    // on, its controls sit where the layout rules put them for its outer frame.
    void fitnessLayoutFollowsTheRules()
    {
        ScriptedDialogs dialogs; // a box, e.g. a connection that failed, fails the test and does not wait
        fFeat window;
        window.setServerAddress(QString(), m_port);
        FitnessController fitness(window.session());
        connectFitness(window, fitness);
        window.Form_Load();
        QVERIFY(QTest::qWaitFor([&] { return fitness.window() && fitness.window()->isVisible(); }, kWaitMs));
        fEnergy& energy = *fitness.window();
        QVERIFY(QTest::qWaitForWindowExposed(&energy));

        // The rules keep what they computed from one size to the next.
        FitnessLayout expected = FitnessLayout::design();
        const double dpi = energy.logicalDpiY();
        // Labels size themselves to their caption; the rules place their
        // neighbours by the size they have.
        const QStringList selfSizing{u"lKFA"_s, u"lVozr"_s, u"lOut"_s, u"lFindBB"_s, u"lFindD"_s};
        QStringList wrong;
        // Controls as the rules say for the frame now; `expected` keeps the rules' state when they are.
        const auto matches = [&](const QString& size) {
            FitnessLayout rules = expected;
            wrong.clear();
            const Twips::Table names = rules.placements();
            for (int i = 0; i < FitnessLayout::ControlCount; ++i) {
                FitnessLayout::Geometry geometry = rules.geometry(FitnessLayout::Control(i));
                const QWidget* widget = energy.findChild<QWidget*>(names[i].name);
                geometry.width = Twips::fromPixels(widget->width(), dpi);
                geometry.height = Twips::fromPixels(widget->height(), dpi);
                if (selfSizing.contains(names[i].name))
                    rules.setGeometry(FitnessLayout::Control(i), geometry);
            }
            // The button column is as wide as the font needs for "Добавить (25)".
            rules.setButtonColumnWidth(
                Twips::fromPixels(energy.findChild<QWidget*>(u"cAdd"_s)->width(), dpi));
            const QRect frame = energy.frameGeometry();
            // Twice, as the window lays out before its frame exists and again
            // once it does: lHS takes its width from where it stood before.
            for (int pass = 0; pass < 2; ++pass)
                rules.apply(Twips::fromPixels(frame.width(), dpi), Twips::fromPixels(frame.height(), dpi));
            // Every control, the ration button too.
            for (const Twips::Placement& control : rules.placements()) {
                const QWidget* widget = energy.findChild<QWidget*>(control.name);
                const QRect rect = Twips::toPixels(control.twips, dpi, dpi);
                const QRect actual = selfSizing.contains(control.name) ? QRect(widget->pos(), rect.size())
                                                                       : widget->geometry();
                if (actual != rect)
                    wrong << control.name + u" at "_s + size + u": "_s + QDebug::toString(actual) +
                                 u" instead of "_s + QDebug::toString(rect);
            }
            if (wrong.isEmpty())
                expected = rules;
            return wrong.isEmpty();
        };
        // The window lays out again on each answer of the window manager; a fault stays wrong.
        const auto settles = [&](const QString& size, const std::function<bool()>& answered) {
            return QTest::qWaitFor([&] { return answered() && matches(size); }, kWaitMs);
        };
        QVERIFY2(settles(u"first show"_s, [&] { return !energy.windowHandle()->frameMargins().isNull(); }),
                 qPrintable(wrong.join(u"; "_s)));
        const QSize shown = energy.size();
        energy.resize(1, 1); // as small as the window manager lets it be
        QVERIFY2(settles(u"smallest size"_s, [&] { return energy.size() != shown; }),
                 qPrintable(wrong.join(u"; "_s)));
        energy.showMaximized();
        const QRect screen = energy.screen()->availableGeometry();
        QVERIFY2(settles(u"maximised"_s, [&] { return energy.frameGeometry().size() == screen.size(); }),
                 qPrintable(wrong.join(u"; "_s)));
        window.session().setReplyTarget(nullptr);
    }

    // The real program: captions as designed with nothing appended by the
    // platform; minimising hides it in the tray, a press there leaves it
    // hidden, and the double-click and "Настройки" bring it back.
    void realProgramHidesToTheTrayAndComesBack()
    {
        QTemporaryDir home;
        QProcess& quorvel = g_desktop->startProgram(m_port, home.path(), g_desktop->environment());
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
        QVERIFY2(QTest::qWaitFor(up, kWaitMs), qPrintable(titles.join(u", "_s)));
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
            QList<QStringList> clicks; // xdotool's arguments for each click on the tray icon
            QStringList menuKeys;      // for the menu a right press opens
            bool showsIt;
            const char* failure;
        } steps[] = {
            // Then the menu, opened and closed: once it is seen, the press before it was handled.
            {{{u"1"_s}, {u"3"_s}}, {u"Escape"_s}, false, "a left press or the menu showed the hidden window"},
            {{{u"--repeat"_s, u"2"_s, u"1"_s}}, {}, true, "a double-click left it hidden"}, // 100 ms apart
            {{{u"3"_s}}, {u"Down"_s, u"Down"_s, u"Return"_s}, true, "\"Настройки\" did not bring it back"},
        };
        // The program's windows on screen: the menu is the one a right press adds.
        const auto shown = [] {
            return xdotool({u"search"_s, u"--onlyvisible"_s, u"--class"_s, u"quorvel"_s});
        };
        const auto mapped = [&] { return g_desktop->isMapped(main); };
        for (const auto& step : steps) {
            if (mapped()) {
                xdotool({u"windowminimize"_s, main});
                QVERIFY2(QTest::qWaitFor(withdrawn, kWaitMs), "minimise did not hide");
            }
            const QString before = shown();
            xdotool({u"mousemove"_s, u"--window"_s, icon, u"4"_s, u"4"_s});
            for (const QStringList& click : step.clicks)
                xdotool(QStringList{u"click"_s} + click);
            if (!step.menuKeys.isEmpty()) {
                QVERIFY2(QTest::qWaitFor([&] { return shown().size() > before.size(); }, kWaitMs),
                         "no menu on a right press");
                xdotool(QStringList{u"key"_s, u"--delay"_s, u"100"_s} + step.menuKeys);
            }
            if (!step.showsIt) {
                // The program has handled the keys once the menu is gone; a
                // window it had shown would be back by then.
                QVERIFY2(QTest::qWaitFor([&] { return shown() == before; }, kWaitMs) && !mapped(),
                         step.failure);
                continue;
            }
            QVERIFY2(QTest::qWaitFor(mapped, kWaitMs), step.failure);
            // Painted: a picture that is one colour all over never was.
            const QString file = u"TestDesktop-main.png"_s; // kept for a look after a failure
            const auto painted = [&] {
                g_desktop->x(u"import"_s, {u"-window"_s, main, file});
                const QImage picture = QImage(file).convertToFormat(QImage::Format_RGB32);
                return picture != picture.copy(0, 0, 1, 1).scaled(picture.size()) &&
                       xdotool({u"getactivewindow"_s}).toULongLong() == main.toULongLong() &&
                       frameCorner() == where;
            };
            QVERIFY2(QTest::qWaitFor(painted, kWaitMs), step.failure);
        }
        // A logout's SIGTERM ends it at once, status 0.
        quorvel.terminate();
        QVERIFY(quorvel.waitForFinished(kWaitMs) && quorvel.exitStatus() == QProcess::NormalExit);
        QCOMPARE(quorvel.exitCode(), 0);
    }
};

int main(int argc, char* argv[])
{
    return runOnDesktop<QApplication, TestDesktop>(argc, argv);
}

#include "TestDesktop.moc"
