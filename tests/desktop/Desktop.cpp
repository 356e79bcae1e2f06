#include "desktop/Desktop.h"

#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kStartMs = 60000; // Xvfb's start alone took over 10 s on a loaded machine.
// Whether a notification area owns the tray selection of screen 0: Qt looks for its owner
// once, when a tray icon is made. A connection that failed gives no replies.
bool trayIsOwned(const QString& display)
{
    xcb_connection_t* x = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    static const char name[] = "_NET_SYSTEM_TRAY_S0";
    auto* atom = xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, sizeof name - 1, name), nullptr);
    auto* owner =
        atom ? xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, atom->atom), nullptr) : nullptr;
    const bool owned = owner && owner->owner != XCB_NONE;
    std::free(owner);
    std::free(atom);
    xcb_disconnect(x);
    return owned;
}

} // namespace

Desktop::Desktop()
{
    // Xvfb picks a free display number itself and writes it to its output, so
    // tests side by side never share a display. Without -noreset it starts over
    // whenever its last client leaves, as the first probe below does before
    // openbox connects; a client arriving during that restart is refused.
    // Scaled by QT_SCALE_FACTOR, the screen keeps the room of 1024 x 768 in
    // the pixels the program lays out in.
    const double scale = qMax(1.0, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    const QString screen = u"%1x%2x24"_s.arg(qRound(1024 * scale)).arg(qRound(768 * scale));
    QProcess& server = start(
        u"Xvfb"_s,
        {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, screen, u"-nolisten"_s, u"tcp"_s, u"-noreset"_s},
        QProcessEnvironment::systemEnvironment());
    const auto answers = [&](const QStringList& probe, const QString& answer) {
        return QTest::qWaitFor([&] { return x(probe.first(), probe.mid(1)).contains(answer); }, kStartMs);
    };
    const auto failure = [&]() -> QString {
        if (!server.waitForStarted(kStartMs) ||
            !QTest::qWaitFor([&] { return server.canReadLine() || server.waitForReadyRead(100); }, kStartMs))
            return u"Xvfb did not start (install it with scripts/setup.sh): "_s + server.errorString();
        m_display = u':' + QString::fromLatin1(server.readLine()).trimmed();
        // Ask for the root window outright: an unreachable display prints
        // nothing, which a check for "not found" would take for success.
        if (!answers({u"xprop"_s, u"-root"_s, u"-len"_s, u"1"_s}, u"="_s))
            return u"display "_s + m_display + u" cannot be reached."_s;
        start(u"openbox"_s, {u"--sm-disable"_s}, environment());
        if (!answers({u"xprop"_s, u"-root"_s, u"_NET_SUPPORTING_WM_CHECK"_s}, u"window id"_s))
            return u"openbox did not start."_s;
        start(u"trayer"_s, {u"--edge"_s, u"top"_s, u"--align"_s, u"right"_s, u"--widthtype"_s, u"request"_s},
              environment());
        if (!QTest::qWaitFor([&] { return trayIsOwned(m_display); }, kStartMs))
            return u"trayer did not take the notification area."_s;
        return QString();
    }();
    if (!failure.isEmpty())
        m_error = failure + u" Xvfb said: "_s + QString::fromLocal8Bit(server.readAllStandardError());
}

Desktop::~Desktop()
{
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(3000))
            (*it)->kill();
        (*it)->waitForFinished(3000);
    }
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

QString Desktop::startDemoServer()
{
    QProcess& server = start(QStringLiteral(BRASTEL_DEMO_BINARY), {u"--port"_s, u"0"_s},
                             QProcessEnvironment::systemEnvironment());
    // Its first line: "Listening on ADDR:PORT".
    if (!QTest::qWaitFor([&] { return server.canReadLine(); }, kStartMs))
        return QString();
    return QString::fromUtf8(server.readLine()).trimmed().section(u':', -1);
}

QProcess& Desktop::startProgram(const QString& port, const QString& home, QProcessEnvironment environment)
{
    for (const QString& name : {u"HOME"_s, u"XDG_CONFIG_HOME"_s, u"XDG_RUNTIME_DIR"_s})
        environment.insert(name, home);
    return start(QStringLiteral(QUORVEL_BINARY), {u"--server"_s, u"127.0.0.1:"_s + port}, environment);
}

QString Desktop::x(const QString& tool, const QStringList& arguments) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(tool, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString Desktop::title(const QString& window) const
{
    // In UTF-8 as the window manager shows it; xdotool's search by name would
    // also match the icon name, which Qt sets without what the platform appends.
    return x(u"xdotool"_s, {u"getwindowname"_s, window});
}

bool Desktop::isMapped(const QString& window) const
{
    return x(u"xwininfo"_s, {u"-id"_s, window}).contains(u"Map State: IsViewable"_s);
}
