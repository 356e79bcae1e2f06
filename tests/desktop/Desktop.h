#pragma once

#include <QProcess>
#include <QTest>

#include <memory>
#include <vector>

// A real X desktop: Xvfb on a display number it picks itself, the openbox
// window manager and a trayer notification area, all stopped when it goes.
class Desktop final
{
public:
    Desktop();
    ~Desktop();

    // Why the desktop could not be started; empty when it runs.
    QString error() const { return m_error; }
    // The environment for a program on this desktop: no session bus, so Qt
    // uses the XEmbed notification area that trayer hosts.
    QProcessEnvironment environment() const;

    // Starts `program` on this desktop; stopped with the desktop.
    QProcess& start(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment);

    // Starts the demo recipe server on 127.0.0.1 and gives its port; empty when it did not start.
    QString startDemoServer();
    // Starts the real program against `port`, its settings kept in `home`, never the user's.
    QProcess& startProgram(const QString& port, const QString& home, QProcessEnvironment environment);

    // Runs an X tool to its end and gives its standard output, trimmed.
    QString x(const QString& tool, const QStringList& arguments) const;
    // The caption as the window manager shows it.
    QString title(const QString& window) const;
    bool isMapped(const QString& window) const;

private:
    std::vector<std::unique_ptr<QProcess>> m_processes; // stopped newest first
    QString m_display;
    QString m_error;
};

inline Desktop* g_desktop = nullptr;

// A desktop test's main(): `Test` runs in an `App` on a desktop of its own,
// which `g_desktop` reaches.
template <typename App, typename Test> int runOnDesktop(int argc, char* argv[])
{
    Desktop desktop;
    if (!desktop.error().isEmpty()) {
        qCritical("%s", qPrintable(desktop.error()));
        return 1;
    }
    g_desktop = &desktop;
    qputenv("DISPLAY", desktop.environment().value(QStringLiteral("DISPLAY")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    App app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
