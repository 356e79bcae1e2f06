#include "desktop/Desktop.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The real program on a real X desktop, driven as a user drives it: minimise,
// presses on the tray icon, the tray menu, the window titles.
class TestDesktopTray : public QObject
{
    Q_OBJECT

    std::unique_ptr<Desktop> m_desktop;
    QTemporaryDir m_home; // the program's settings go here, never to the user's
    QString m_main;
    QString m_icon;

    QString xdotool(const QStringList& arguments) { return m_desktop->x(u"xdotool"_s, arguments); }
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
    bool stays(bool mapped)
    {
        QTest::qWait(1000);
        return m_desktop->isMapped(m_main) == mapped;
    }
    bool comesBackPaintedAndActive(const QRect& where)
    {
        if (!QTest::qWaitFor([&] { return m_desktop->isMapped(m_main); }, 5000))
            return false;
        QTest::qWait(500);
        const QImage picture = m_desktop->picture(m_main);
        picture.save(u"TestDesktopTray-main.png"_s); // for a look after a failure
        return isPainted(picture) && xdotool({u"getactivewindow"_s}).toULongLong() == m_main.toULongLong() &&
               m_desktop->frame(m_main).topLeft() == where.topLeft();
    }
    void minimise()
    {
        xdotool({u"windowminimize"_s, m_main});
        QVERIFY2(QTest::qWaitFor([&] { return !m_desktop->isMapped(m_main); }, 5000),
                 "minimise did not hide");
    }

private slots:
    void initTestCase()
    {
        m_desktop = std::make_unique<Desktop>();
        QVERIFY2(m_desktop->isReady(), qPrintable(m_desktop->error()));
        const QString port = m_desktop->startDemoServer(QStringLiteral(BRASTEL_DEMO_BINARY));
        QVERIFY(!port.isEmpty());
        QProcessEnvironment environment = m_desktop->environment();
        environment.insert(u"HOME"_s, m_home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        m_desktop->start(QStringLiteral(QUORVEL_BINARY), {u"--server"_s, u"127.0.0.1:"_s + port},
                         environment);
        QVERIFY(QTest::qWaitFor([&] { return !m_desktop->windowsTitled(u"Клиент"_s).isEmpty(); }, 20000));
        m_main = m_desktop->windowsTitled(u"Клиент"_s).first();
        QVERIFY(
            QTest::qWaitFor([&] { return !(m_icon = m_desktop->trayIcon(u"quorvel"_s)).isEmpty(); }, 10000));
    }

    // Captions as designed, with nothing appended by the platform.
    void titlesAreTheDesignedCaptions()
    {
        QCOMPARE(m_desktop->title(m_main), u"Клиент"_s);
        // The fitness window opens when the catalogue arrives.
        QVERIFY(QTest::qWaitFor(
            [&] { return !m_desktop->windowsTitled(u"Запрос калорийности с сервера"_s).isEmpty(); }, 20000));
    }

    void aTrayPressLeavesTheHiddenWindowHidden()
    {
        const QRect where = m_desktop->frame(m_main);
        minimise();
        click(u"1"_s);
        QVERIFY2(stays(false), "a left press showed the hidden window");
        chooseFromMenu({u"Escape"_s});
        QVERIFY2(stays(false), "opening the menu showed the hidden window");
        click(u"1"_s, 2);
        QVERIFY2(comesBackPaintedAndActive(where), "the double-click did not bring the window back");
        minimise();                                          // hides again
        chooseFromMenu({u"Down"_s, u"Down"_s, u"Return"_s}); // "Настройки"
        QVERIFY2(comesBackPaintedAndActive(where), "\"Настройки\" did not bring the window back");
    }

    void exitQuestionHasItsOwnTitle()
    {
        chooseFromMenu({u"Up"_s, u"Return"_s}); // "Выход"
        QVERIFY(
            QTest::qWaitFor([&] { return !m_desktop->windowsTitled(u"Сервер рецептур"_s).isEmpty(); }, 5000));
        xdotool({u"key"_s, u"Escape"_s}); // No: the program goes on
        QVERIFY(
            QTest::qWaitFor([&] { return m_desktop->windowsTitled(u"Сервер рецептур"_s).isEmpty(); }, 5000));
        QVERIFY(m_desktop->isMapped(m_main));
    }

    void cleanupTestCase() { m_desktop.reset(); }
};

QTEST_GUILESS_MAIN(TestDesktopTray)
#include "TestDesktopTray.moc"
