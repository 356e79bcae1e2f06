#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStringList>

#include <memory>
#include <vector>

// A real X desktop for one test: Xvfb on a display number it picks itself,
// the openbox window manager and a trayer notification area. Everything it
// starts is stopped when it goes. The X tools (xdotool, xprop, xwininfo,
// import) are run against it.
class Desktop final
{
public:
    Desktop();
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    bool isReady() const { return m_ready; }
    QString error() const { return m_error; }
    // The environment for a program on this desktop: no session bus, so Qt
    // uses the XEmbed notification area that trayer hosts.
    QProcessEnvironment environment() const;

    // Starts `program` on this desktop; stopped with the desktop.
    QProcess& start(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment);

    // Starts the demo recipe server `program` on a free loopback port and
    // gives that port; empty when it did not say where it listens.
    QString startDemoServer(const QString& program);

    // Runs an X tool to its end and gives its standard output, trimmed.
    QString x(const QString& tool, const QStringList& arguments) const;
    // The windows whose caption is `title` exactly.
    QStringList windowsTitled(const QString& title) const;
    bool isMapped(const QString& window) const;
    // The window's outer frame on the screen (as placed by the window manager).
    QRect frame(const QString& window) const;
    QString title(const QString& window) const;
    // The picture of the window's area of the screen.
    QImage picture(const QString& window) const;
    // The notification-area icon of the program whose windows have WM_CLASS `className`.
    QString trayIcon(const QString& className) const;

private:
    bool startDesktop();
    std::vector<std::unique_ptr<QProcess>> m_processes; // stopped newest first
    QString m_display;
    QString m_error;
    bool m_ready = false;
};

// A picture that is one colour all over was never painted.
bool isPainted(const QImage& picture);
