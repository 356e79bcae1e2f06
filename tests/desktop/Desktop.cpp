#include "desktop/Desktop.h"

#include <QTest>

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

namespace {

template <typename Condition> bool waitFor(Condition condition, int milliseconds = 10000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

} // namespace

Desktop::Desktop()
{
    m_ready = startDesktop();
}

Desktop::~Desktop()
{
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(3000)) {
            (*it)->kill();
            (*it)->waitForFinished(3000);
        }
    }
}

bool Desktop::startDesktop()
{
    // Xvfb picks a free display number itself and writes it to its output,
    // so tests running side by side never share a display.
    // Without -noreset the server starts over whenever its last client
    // leaves, which the first probe below does before openbox has connected;
    // a client that arrives during that restart is refused.
    QProcess& server = start(u"Xvfb"_s,
                             {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s, u"-nolisten"_s,
                              u"tcp"_s, u"-noreset"_s},
                             QProcessEnvironment::systemEnvironment());
    const auto serverSaid = [&server] {
        return u" Xvfb said: "_s + QString::fromLocal8Bit(server.readAllStandardError());
    };
    if (!server.waitForStarted(10000) ||
        !waitFor([&] { return server.canReadLine() || server.waitForReadyRead(100); })) {
        m_error = u"Xvfb did not start (install it with scripts/setup.sh): "_s + server.errorString() +
                  serverSaid();
        return false;
    }
    m_display = u':' + QString::fromLatin1(server.readLine()).trimmed();
    // Ask for the root window outright: an unreachable display prints nothing,
    // which a check for "not found" would take for success.
    if (!waitFor([&] { return x(u"xprop"_s, {u"-root"_s, u"-len"_s, u"1"_s}).contains(u'='); })) {
        m_error = u"display "_s + m_display + u" cannot be reached."_s + serverSaid();
        return false;
    }
    start(u"openbox"_s, {u"--sm-disable"_s}, environment());
    if (!waitFor([&] {
            return x(u"xprop"_s, {u"-root"_s, u"_NET_SUPPORTING_WM_CHECK"_s}).contains(u"window id"_s);
        })) {
        m_error = u"openbox did not start."_s + serverSaid();
        return false;
    }
    start(u"trayer"_s, {u"--edge"_s, u"top"_s, u"--align"_s, u"right"_s, u"--widthtype"_s, u"request"_s},
          environment());
    // The notification area exists once its manager owns the tray selection.
    if (!waitFor([&] { return !x(u"xdotool"_s, {u"search"_s, u"--class"_s, u"trayer"_s}).isEmpty(); })) {
        m_error = u"trayer did not start."_s + serverSaid();
        return false;
    }
    QThread::msleep(500);
    return true;
}

QProcessEnvironment Desktop::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, m_display);
    environment.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    return environment;
}

QProcess& Desktop::start(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(program == u"Xvfb" ? QProcess::SeparateChannels
                                                      : QProcess::ForwardedErrorChannel);
    process->start(program, arguments);
    m_processes.push_back(std::move(process));
    return *m_processes.back();
}

QString Desktop::startDemoServer(const QString& program)
{
    QProcess& server = start(program, {u"--port"_s, u"0"_s}, QProcessEnvironment::systemEnvironment());
    if (!QTest::qWaitFor([&] { return server.canReadLine(); }, 30000))
        return QString();
    // Its first line: "Listening on ADDR:PORT".
    return QRegularExpression(u":(\\d+)$"_s)
        .match(QString::fromUtf8(server.readLine()).trimmed())
        .captured(1);
}

QString Desktop::x(const QString& tool, const QStringList& arguments) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(tool, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QStringList Desktop::windowsTitled(const QString& title) const
{
    // xdotool's own match also takes the icon name, which Qt sets without
    // what the platform appends to the caption: compare the caption itself.
    QStringList windows = x(u"xdotool"_s, {u"search"_s, u"--name"_s, title}).split(u'\n', Qt::SkipEmptyParts);
    windows.removeIf([&](const QString& window) { return this->title(window) != title; });
    return windows;
}

bool Desktop::isMapped(const QString& window) const
{
    return x(u"xwininfo"_s, {u"-id"_s, window}).contains(u"Map State: IsViewable"_s);
}

QRect Desktop::frame(const QString& window) const
{
    const QString info = x(u"xwininfo"_s, {u"-id"_s, window, u"-frame"_s});
    const auto number = [&](const QString& label) {
        return QRegularExpression(label + u":\\s+(-?\\d+)"_s).match(info).captured(1).toInt();
    };
    return QRect(number(u"Absolute upper-left X"_s), number(u"Absolute upper-left Y"_s), number(u"Width"_s),
                 number(u"Height"_s));
}

QString Desktop::title(const QString& window) const
{
    // xdotool prints the EWMH title in UTF-8 as the window manager shows it.
    return x(u"xdotool"_s, {u"getwindowname"_s, window});
}

QImage Desktop::picture(const QString& window) const
{
    QTemporaryFile file(u"desktop-XXXXXX.png"_s);
    file.open();
    x(u"import"_s, {u"-window"_s, window, file.fileName()});
    return QImage(file.fileName());
}

QString Desktop::trayIcon(const QString& className) const
{
    // The icon is the program's window that trayer has embedded: its parent
    // is a socket window inside trayer's "panel".
    const auto parentOf = [this](const QString& window) {
        static const QRegularExpression parent(u"Parent window id: (0x[0-9a-f]+)(.*)"_s);
        return parent.match(x(u"xwininfo"_s, {u"-id"_s, window, u"-tree"_s}));
    };
    for (const QString& window :
         x(u"xdotool"_s, {u"search"_s, u"--class"_s, className}).split(u'\n', Qt::SkipEmptyParts)) {
        const QString socket = parentOf(window).captured(1);
        if (!socket.isEmpty() && parentOf(socket).captured(2).contains(u"\"panel\""_s))
            return window;
    }
    return QString();
}

bool isPainted(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QImage uniform(rgb.size(), QImage::Format_RGB32);
    uniform.fill(rgb.isNull() ? 0 : rgb.pixel(0, 0));
    return !rgb.isNull() && rgb != uniform;
}
